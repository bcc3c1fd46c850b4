#include "platform/codepage.h"

#include <cstdint>

namespace platform {
namespace {

void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void appendUtf16(std::string& out, uint32_t cp) {
    auto unit = [&out](uint32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>((u >> 8) & 0xFF);
    };
    if (cp >= 0x10000) {
        cp -= 0x10000;
        unit(0xD800 | (cp >> 10));
        unit(0xDC00 | (cp & 0x3FF));
    } else {
        unit(cp);
    }
}

}  // namespace

std::string utf16leToUtf8(std::string_view bytes) {
    std::string out;
    size_t count = bytes.size() / 2;
    auto unitAt = [&bytes](size_t i) {
        return static_cast<uint32_t>(static_cast<uint8_t>(bytes[2 * i])) |
               (static_cast<uint32_t>(static_cast<uint8_t>(bytes[2 * i + 1])) << 8);
    };
    for (size_t i = 0; i < count; ++i) {
        uint32_t u = unitAt(i);
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < count) {
            uint32_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low < 0xE000) {
                appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        if (u >= 0xD800 && u < 0xE000) u = 0xFFFD;
        appendUtf8(out, u);
    }
    return out;
}

std::string utf8ToUtf16le(std::string_view utf8) {
    std::string out;
    size_t i = 0;
    while (i < utf8.size()) {
        uint8_t b = static_cast<uint8_t>(utf8[i]);
        uint32_t cp = 0xFFFD;
        size_t len = 1;
        if (b < 0x80) {
            cp = b;
        } else if ((b & 0xE0) == 0xC0) {
            cp = b & 0x1F;
            len = 2;
        } else if ((b & 0xF0) == 0xE0) {
            cp = b & 0x0F;
            len = 3;
        } else if ((b & 0xF8) == 0xF0) {
            cp = b & 0x07;
            len = 4;
        }
        if (len > 1) {
            bool ok = i + len <= utf8.size();
            for (size_t k = 1; ok && k < len; ++k) {
                uint8_t c = static_cast<uint8_t>(utf8[i + k]);
                if ((c & 0xC0) != 0x80) ok = false;
                cp = (cp << 6) | (c & 0x3F);
            }
            if (!ok) {
                cp = 0xFFFD;
                len = 1;
            }
        } else if (b >= 0x80) {
            cp = 0xFFFD;
        }
        appendUtf16(out, cp);
        i += len;
    }
    return out;
}

bool isUtf8(std::string_view bytes, bool& multibyte) {
    multibyte = false;
    for (size_t i = 0; i < bytes.size();) {
        uint8_t b = static_cast<uint8_t>(bytes[i]);
        size_t len = b < 0x80 ? 1 : b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
        if (len == 0 || i + len > bytes.size()) return false;
        uint32_t cp = len == 1 ? b : b & (0x7F >> len);
        for (size_t k = 1; k < len; ++k) {
            uint8_t c = static_cast<uint8_t>(bytes[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        // The shortest form only, and no surrogate halves or numbers past the last plane.
        const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < least[len] || (cp >= 0xD800 && cp < 0xE000) || cp > 0x10FFFF) return false;
        multibyte = multibyte || len > 1;
        i += len;
    }
    return true;
}

}  // namespace platform
