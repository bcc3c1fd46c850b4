// Byte-text helpers shared by every layer. Texts are 8-bit in the system's code page;
// case folding touches only the ASCII letters A to Z, so multi-byte characters stay intact.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

char toUpperAscii(char c);
char toLowerAscii(char c);
std::string upperAscii(std::string_view text);
std::string lowerAscii(std::string_view text);
bool equalsNoCase(std::string_view a, std::string_view b);
int compareNoCase(std::string_view a, std::string_view b);

// Removes every character with a code of 32 or less from both ends.
std::string trimControls(std::string_view text);

// An optional "-" or "+", then decimal digits up to the first other character; no digits
// give 0, and no leading blank is skipped. Saturates instead of overflowing.
int32_t readDecimal(std::string_view text);

// Hexadecimal digits from the start up to the first other character (a leading "$" is
// skipped; both letter cases count); an empty text gives 0. Keeps the low 32 bits.
uint32_t readHex(std::string_view text);

// The number as exactly `digits` upper-case hexadecimal digits.
std::string hexText(uint32_t value, int digits);

// The text after the last ":", "\" or "/".
std::string fileNamePart(std::string_view path);

// The folder of a path up to and including its last "\"; empty when it has none.
std::string folderOf(std::string_view path);

}  // namespace platform
