// Key paths split as the registry splits them (declared in registry_store.h). A file of its own,
// so that a program that never splits a path does not carry the code.
#include "platform/registry_store.h"

namespace platform {

namespace {

// The lead bytes of the double-byte code pages: a byte after one is the second half of a
// character, whatever its value.
bool isLeadByte(unsigned codePage, unsigned char c) {
    switch (codePage) {
        case 932: return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        case 936:
        case 949:
        case 950: return c >= 0x81 && c <= 0xFE;
        default: return false;
    }
}

}  // namespace

bool splitKeyPath(std::string_view path, unsigned codePage, std::vector<std::string_view>& parts) {
    parts.clear();
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '\\') {
            if (isLeadByte(codePage, static_cast<unsigned char>(path[i])) && i + 1 < path.size()) ++i;
            continue;
        }
        std::string_view part(path.data() + start, i - start);
        start = i + 1;
        if (part.empty()) return path.empty() || (i == path.size() && !parts.empty());
        if (part.size() > 255) return false;
        parts.push_back(part);
    }
    return true;
}

}  // namespace platform
