// Code-page conversion for the Windows build. UTF-8 is decoded and encoded here rather than
// with CP_UTF8, which Windows 95 does not know; the ANSI side goes through
// MultiByteToWideChar and WideCharToMultiByte.
#include "platform/codepage.h"

#include <windows.h>

#include <vector>

namespace platform {
namespace {

std::vector<wchar_t> wideFromUtf16le(const std::string& bytes) {
    std::vector<wchar_t> w(bytes.size() / 2, L'\0');
    for (size_t i = 0; i < w.size(); ++i) {
        w[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                    (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    }
    return w;
}

std::string utf16leFromWide(const std::vector<wchar_t>& w) {
    std::string bytes;
    bytes.reserve(w.size() * 2);
    for (wchar_t c : w) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}

}  // namespace

std::string utf8ToCodePage(std::string_view utf8, unsigned codePage) {
    if (codePage == kCodePageUtf8) return std::string(utf8);
    std::vector<wchar_t> w = wideFromUtf16le(utf8ToUtf16le(utf8));
    if (w.empty()) return {};
    int n = WideCharToMultiByte(codePage, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                nullptr, nullptr);
    if (n <= 0) return {};
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr,
                        nullptr);
    return s;
}

std::string codePageToUtf8(std::string_view bytes, unsigned codePage) {
    if (codePage == kCodePageUtf8 || bytes.empty()) return std::string(bytes);
    int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0) return {};
    std::vector<wchar_t> w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), w.data(), n);
    return utf16leToUtf8(utf16leFromWide(w));
}

}  // namespace platform
