// Code-page conversion for the native build, through glibc's iconv.
#include "platform/codepage.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <map>

namespace platform {
namespace {

std::string iconvName(unsigned codePage) {
    if (codePage == kCodePageUtf8) return "UTF-8";
    return "CP" + std::to_string(codePage);
}

// Converts with one '?' for each character that cannot be converted or decoded.
std::string convert(std::string_view in, const std::string& from, const std::string& to) {
    // Every code page here keeps ASCII as it is: most texts need no conversion at all.
    bool ascii = std::all_of(in.begin(), in.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (from == to || ascii) return std::string(in);
    // Opening a conversion costs far more than most conversions: each pair is opened once.
    static struct Opened : std::map<std::pair<std::string, std::string>, iconv_t> {
        ~Opened() {
            for (auto& entry : *this) {
                if (entry.second != reinterpret_cast<iconv_t>(-1)) iconv_close(entry.second);
            }
        }
    } opened;
    auto it = opened.find({from, to});
    if (it == opened.end()) it = opened.emplace(std::make_pair(from, to), iconv_open(to.c_str(), from.c_str())).first;
    iconv_t cd = it->second;
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
    std::string out;
    std::string src(in);
    char* inPtr = src.data();
    size_t inLeft = src.size();
    char buffer[256];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL: skip one input byte (or one UTF-8 character) and mark it.
            size_t skip = 1;
            if (from == "UTF-8") {
                while (skip < inLeft && (static_cast<unsigned char>(inPtr[skip]) & 0xC0) == 0x80) ++skip;
            }
            out += '?';
            inPtr += skip;
            inLeft -= skip;
        }
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    return out;
}

}  // namespace

std::string utf8ToCodePage(std::string_view utf8, unsigned codePage) {
    return convert(utf8, "UTF-8", iconvName(codePage));
}

std::string codePageToUtf8(std::string_view bytes, unsigned codePage) {
    return convert(bytes, iconvName(codePage), "UTF-8");
}

}  // namespace platform
