// Conversion between UTF-8 / UTF-16 and the 8-bit ANSI code pages (936 GBK, 950 Big5,
// 1252 Western, ...). Code page 65001 is UTF-8 itself. Characters a code page lacks
// become '?'; bytes that are not valid in the source code page become '?'.
#pragma once

#include <string>
#include <string_view>

namespace platform {

constexpr unsigned kCodePageUtf8 = 65001;

std::string utf8ToCodePage(std::string_view utf8, unsigned codePage);
std::string codePageToUtf8(std::string_view bytes, unsigned codePage);

// UTF-16LE (as bytes, no byte-order mark) and UTF-8. Unpaired surrogates become U+FFFD.
std::string utf16leToUtf8(std::string_view bytes);
std::string utf8ToUtf16le(std::string_view utf8);

// True when the bytes are well-formed UTF-8 (shortest forms, no surrogates, nothing above
// U+10FFFF); `multibyte` tells whether any character took more than one byte.
bool isUtf8(std::string_view bytes, bool& multibyte);

}  // namespace platform
