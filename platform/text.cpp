#include "platform/text.h"

#include <limits>

namespace platform {

char toUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

char toLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string upperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = toUpperAscii(c);
    return out;
}

std::string lowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = toLowerAscii(c);
    return out;
}

int compareNoCase(std::string_view a, std::string_view b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        if (a[i] == b[i]) continue;  // most characters compared are the same: no need to fold them
        auto x = static_cast<unsigned char>(toUpperAscii(a[i]));
        auto y = static_cast<unsigned char>(toUpperAscii(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return (a.size() > b.size()) - (a.size() < b.size());  // the shorter first; equal: 0
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && compareNoCase(a, b) == 0;
}

std::string trimControls(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
    return std::string(text.substr(begin, end - begin));
}

int32_t readDecimal(std::string_view text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > std::numeric_limits<int32_t>::max()) {
            value = static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1;
        }
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

uint32_t readHex(std::string_view text) {
    size_t i = 0;
    if (!text.empty() && text[0] == '$') i = 1;
    uint32_t value = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        uint32_t digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<uint32_t>(c - '0');
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<uint32_t>(c - 'A' + 10);
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<uint32_t>(c - 'a' + 10);
        } else {
            break;
        }
        value = (value << 4) | digit;
    }
    return value;
}

std::string hexText(uint32_t value, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out(static_cast<size_t>(digits), '0');
    for (int i = digits - 1; i >= 0 && value != 0; --i) {
        out[static_cast<size_t>(i)] = kDigits[value & 0xF];
        value >>= 4;
    }
    return out;
}

std::string fileNamePart(std::string_view path) {
    size_t cut = path.find_last_of(":\\/");
    if (cut == std::string_view::npos) return std::string(path);
    return std::string(path.substr(cut + 1));
}

std::string folderOf(std::string_view path) {
    size_t cut = path.rfind('\\');
    return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut + 1));
}

}  // namespace platform
