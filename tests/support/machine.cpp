#include "tests/support/machine.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/codepage.h"

namespace testing_support {

void TestMachine::load(const std::string& regText) {
    registry.setCodePage(system.codePage);
    // UTF-8 text survives a round trip through UTF-16; 8-bit text of the code page does not.
    bool utf8 = platform::utf16leToUtf8(platform::utf8ToUtf16le(regText)) == regText;
    std::string text = utf8 ? regText : platform::codePageToUtf8(regText, system.codePage);
    auto result = platform::importRegText(registry, "\xEF\xBB\xBF" + text, system.codePage);
    ASSERT_TRUE(result.ok) << result.describe();
}

std::string TestMachine::exportKeys(const std::vector<platform::RegKeyRef>& keys) {
    return platform::codePageToUtf8(
        platform::exportRegText(registry, keys, platform::RegTextFormat::Regedit4, system.codePage), system.codePage);
}

void TestMachine::addIme(const std::string& file, const std::string& descriptionUtf8) {
    std::string path = systemPath(file);
    system.addFile(path, "MZ");
    platform::MemoryVersionInfo info;
    info.translations = {0x04B00804};
    info.strings["\\StringFileInfo\\080404B0\\FileDescription"] = platform::utf8ToCodePage(descriptionUtf8, system.codePage);
    system.versionInfos[path] = info;
}

std::string fixture(const std::string& name) {
    std::ifstream in(std::string(KESTRINE_SOURCE_DIR) + "/tests/fixtures/" + name, std::ios::binary);
    EXPECT_TRUE(in.good()) << "missing fixture " << name;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace testing_support
