#include "settings/catalogue.h"

#include <algorithm>

#include "platform/text.h"
#include "settings/names.h"

namespace settings {

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
    return registry_.getString(registry_.openForRead(RegRoot::LocalMachine, catalogueKeyOf(klid)), name);
}

// Input-method files live in the native system folder; a 32-bit program on 64-bit Windows
// must not take SysWOW64 for it, or it would find no 64-bit input method at all.
bool Catalogue::imeFilePresent(const std::string& klid) const {
    std::string file = imeFile(klid);
    std::string folder = system_.nativeSystemDirectory();
    return !file.empty() && !folder.empty() && system_.isFile(folder + "\\" + file);
}

// An input method is unusable only when its file is certainly missing; where the native
// system folder cannot be looked into, nothing is.
bool Catalogue::isUsable(const std::string& klid) const {
    return !isImeKlid(klid) || system_.nativeSystemDirectory().empty() || imeFilePresent(klid);
}

Catalogue::EntryTexts Catalogue::read(const std::string& klid) const {
    EntryTexts entry;
    RegKey key = registry_.openForRead(RegRoot::LocalMachine, catalogueKeyOf(klid));
    std::string file = registry_.getString(key, "IME File");
    entry.layoutText = registry_.getString(key, "Layout Text");
    entry.layoutDisplayName = registry_.getString(key, "Layout Display Name");
    std::string folder = system_.nativeSystemDirectory();
    entry.folderKnown = !folder.empty();
    if (!file.empty()) entry.imeFilePath = folder + "\\" + file;
    entry.imeFilePresent = !file.empty() && entry.folderKnown && system_.isFile(entry.imeFilePath);
    return entry;
}

std::string Catalogue::classicNameOf(const EntryTexts& entry) const {
    if (entry.imeFilePresent) return GetFileDescription(system_, entry.imeFilePath);
    return entry.layoutText;
}

std::string Catalogue::displayNameOf(const EntryTexts& entry, bool userListRow, const std::string* classic) const {
    if (!entry.layoutDisplayName.empty()) return ResolveDisplayName(system_, entry.layoutDisplayName);
    if (userListRow && version_.isNtFamily() && !entry.layoutText.empty()) {
        return ResolveDisplayName(system_, entry.layoutText);
    }
    return classic ? *classic : classicNameOf(entry);
}

std::string Catalogue::classicName(const std::string& klid) const { return classicNameOf(read(klid)); }

std::string Catalogue::displayName(const std::string& klid, bool userListRow) const {
    return displayNameOf(read(klid), userListRow, nullptr);
}

CatalogueRow Catalogue::namedRow(const std::string& klid, bool userListRow) const {
    EntryTexts entry = read(klid);
    std::string classic = classicNameOf(entry);
    return {klid, classic, displayNameOf(entry, userListRow, &classic)};
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
        EntryTexts entry = read(klid);
        // An input method is unusable only when its file is certainly missing.
        if (isImeKlid(klid) && entry.folderKnown && !entry.imeFilePresent) continue;
        std::string classic = classicNameOf(entry);
        rows.push_back({klid, classic, displayNameOf(entry, false, &classic)});
    }
    return rows;
}

}  // namespace settings
