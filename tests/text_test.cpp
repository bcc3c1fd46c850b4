#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>

#include "platform/codepage.h"
#include "platform/text.h"

namespace {

std::string bytes(std::initializer_list<int> list) {
    std::string out;
    for (int b : list) out += static_cast<char>(b);
    return out;
}

// Characters at the edges of each UTF-8 length and beyond the Basic Multilingual Plane go
// through UTF-16 and back unchanged; what is not text becomes U+FFFD, one for each bad unit.
TEST(Unicode, RoundTripsEveryPlaneAndReplacesWhatIsNotText) {
    const std::string text = bytes({0x7F, 0xC2, 0x80, 0xEF, 0xBF, 0xBF, 0xF0, 0x90, 0x80, 0x80, 0xF0, 0x9F, 0x98, 0x80});
    const std::string utf16 = bytes({0x7F, 0, 0x80, 0, 0xFF, 0xFF, 0x00, 0xD8, 0x00, 0xDC, 0x3D, 0xD8, 0x00, 0xDE});
    EXPECT_EQ(utf16, platform::utf8ToUtf16le(text));
    EXPECT_EQ(text, platform::utf16leToUtf8(utf16));
    // A lead byte without its trail byte, a lone trail byte; unpaired surrogates.
    EXPECT_EQ(bytes({0xFD, 0xFF, 'A', 0, 0xFD, 0xFF}), platform::utf8ToUtf16le(bytes({0xC3, 'A', 0x80})));
    EXPECT_EQ(bytes({0xEF, 0xBF, 0xBD, 'A', 0xEF, 0xBF, 0xBD}),
              platform::utf16leToUtf8(bytes({0x00, 0xD8, 'A', 0, 0x00, 0xDC})));
}

TEST(Numbers, DecimalsSaturateAndHexMayStartWithADollar) {
    EXPECT_EQ(std::numeric_limits<int32_t>::min(), platform::readDecimal("-99999999999"));
    EXPECT_EQ(std::numeric_limits<int32_t>::max(), platform::readDecimal("99999999999"));
    EXPECT_EQ(0x1Fu, platform::readHex("$1f"));
    EXPECT_EQ(0u, platform::readHex(""));
    EXPECT_EQ(0xAu, platform::readHex(std::string_view("AF", 1))) << "a text ends where its view does";
}

}  // namespace
