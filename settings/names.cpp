#include "settings/names.h"

#include "platform/text.h"

namespace settings {

namespace {
constexpr size_t kPathRoom = 260;    // characters ExpandEnvironmentStringsA may write
constexpr size_t kStringRoom = 254;  // characters LoadStringA may write
}  // namespace

std::string GetFileDescription(const platform::System& system, const std::string& path) {
    auto info = system.versionInfo(path);
    if (!info) return {};
    std::vector<uint32_t> translations = info->translations();
    if (translations.empty()) return {};
    uint32_t first = translations.front();
    std::string subBlock = "\\StringFileInfo\\" + platform::hexText(first & 0xFFFF, 4) +
                           platform::hexText(first >> 16, 4) + "\\FileDescription";
    return info->queryString(subBlock).value_or("");
}

std::string ResolveDisplayName(platform::System& system, const std::string& text) {
    if (text.empty() || text[0] != '@') return text;
    std::string reference = text.substr(1);
    size_t comma = reference.find(',');
    std::string path = reference.substr(0, comma);
    int64_t number = comma == std::string::npos ? 0 : platform::readDecimal(reference.substr(comma + 1));
    int64_t id = -number;
    std::string expanded = system.expandEnvironment(path, kPathRoom);
    // A library named without a folder is the system folder's, never one beside this program.
    if (!expanded.empty() && platform::fileNamePart(expanded) == expanded) {
        expanded = system.systemDirectory() + "\\" + expanded;
    }
    if (expanded.empty() || !system.isFile(expanded)) return {};
    // String resources are numbered 0 to 65535; a number outside names no string.
    if (id < 0 || id > 0xFFFF) return {};
    return system.loadString(expanded, static_cast<unsigned>(id), kStringRoom);
}

}  // namespace settings
