#include "settings/catalogue.h"

#include <algorithm>

#include "platform/text.h"
#include "settings/names.h"

namespace settings {

namespace {
constexpr size_t kPathRoom = 260;  // characters ExpandEnvironmentStringsA may write
}  // namespace

const char kCatalogueKey[] = "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts";

std::string catalogueKeyOf(const std::string& klid) { return std::string(kCatalogueKey) + "\\" + klid; }

bool isImeKlid(std::string_view klid) { return !klid.empty() && klid[0] != '0'; }

std::string languageOf(std::string_view klid) {
    if (klid.size() <= 4) return {};
    return platform::upperAscii(klid.substr(4, 4));
}

bool Catalogue::exists(const std::string& klid) const {
    return registry_.keyExists(RegRoot::LocalMachine, catalogueKeyOf(klid));
}

std::string Catalogue::value(const std::string& klid, const std::string& name) const {
    return registry_.getText(registry_.openForRead(RegRoot::LocalMachine, catalogueKeyOf(klid)), name);
}

Catalogue::ImeFile Catalogue::checkImeFile(const std::string& klid, std::string* path) const {
    bool expandable = false;
    std::string file = registry_.getText(registry_.openForRead(RegRoot::LocalMachine, catalogueKeyOf(klid)),
                                         "IME File", &expandable);
    if (file.empty()) return ImeFile::NotNamed;
    if (expandable) {
        file = system_.expandEnvironment(file, kPathRoom);
        if (file.empty()) return ImeFile::Unchecked;
    }
    bool fullPath = file[0] == '\\' || file.find(':') != std::string::npos;
    if (!fullPath) file = system_.systemDirectory() + "\\" + file;
    if (path) *path = file;
    return system_.isFile(file) ? ImeFile::Present : ImeFile::Absent;
}

bool Catalogue::isUsable(const std::string& klid) const {
    return !isImeKlid(klid) || checkImeFile(klid) == ImeFile::Present;
}

bool Catalogue::lostItsFile(const std::string& klid) const {
    return isImeKlid(klid) && checkImeFile(klid) == ImeFile::Absent;
}

std::string Catalogue::describedName(const std::string& klid) const {
    std::string path;
    if (checkImeFile(klid, &path) == ImeFile::Present) {
        std::string description = GetFileDescription(system_, path);
        if (!description.empty()) return description;
    }
    return value(klid, "Layout Text");
}

std::string Catalogue::resolvedDisplayName(const std::string& klid, bool userListRow) const {
    std::string display = value(klid, "Layout Display Name");
    if (!display.empty()) display = ResolveDisplayName(system_, display);
    if (display.empty() && userListRow && version_.isNtFamily()) {
        std::string text = value(klid, "Layout Text");
        if (!text.empty()) display = ResolveDisplayName(system_, text);
    }
    return display;
}

std::string Catalogue::classicName(const std::string& klid) const {
    std::string name = describedName(klid);
    return name.empty() ? resolvedDisplayName(klid, false) : name;
}

std::string Catalogue::displayName(const std::string& klid, bool userListRow) const {
    std::string name = resolvedDisplayName(klid, userListRow);
    return name.empty() ? describedName(klid) : name;
}

void Catalogue::repair(const RepairLayoutTexts& texts) const {
    if (!version_.isNtFamily()) return;
    auto recreate = [this](const std::string& klid, const std::string& layoutText) {
        if (registry_.keyExists(RegRoot::LocalMachine, catalogueKeyOf(klid))) return;
        RegKey key = registry_.openOrCreate(RegRoot::LocalMachine, catalogueKeyOf(klid));
        registry_.setString(key, "Layout File", "KBDUS.DLL");
        registry_.setString(key, "Layout Text", layoutText);
    };
    recreate("00000409", texts.us);
    if (lcid_ == 0x0404) recreate("00000404", texts.traditionalChinese);
    if (lcid_ == 0x0804) recreate("00000804", texts.simplifiedChinese);
}

std::vector<std::string> Catalogue::entries() const {
    std::vector<std::string> names;
    registry_.listSubKeys(registry_.openForRead(RegRoot::LocalMachine, kCatalogueKey), names);
    return names;
}

std::vector<CatalogueRow> Catalogue::addableRows(const std::vector<std::string>& userKlids) const {
    std::vector<std::string> all = entries();
    std::vector<std::string> collected;
    auto collect = [&](const std::string& language) {
        for (const auto& name : all) {
            if (languageOf(name) == language) collected.push_back(platform::upperAscii(name));
        }
    };
    for (const auto& name : all) {
        if (name == "00000409") collected.push_back(name);
    }
    std::string own = lcid_ == 0x0404 ? "0404" : "0804";
    std::string other = lcid_ == 0x0404 ? "0804" : "0404";
    collect(own);
    collect(other);
    collect("0411");
    collect("0412");
    if (version_.isNtFamily()) {
        const std::string known[] = {"0409", "0404", "0804", "0411", "0412"};
        for (const auto& name : all) {
            if (std::find(std::begin(known), std::end(known), languageOf(name)) == std::end(known)) {
                collected.push_back(platform::upperAscii(name));
            }
        }
    }
    std::vector<CatalogueRow> rows;
    for (const auto& klid : collected) {
        if (std::find(userKlids.begin(), userKlids.end(), klid) != userKlids.end()) continue;
        if (!isUsable(klid)) continue;
        rows.push_back({klid, "", ""});
    }
    for (auto& row : rows) {
        row.classicName = classicName(row.klid);
        row.displayName = displayName(row.klid, false);
    }
    return rows;
}

}  // namespace settings
