#include "settings/catalogue.h"

#include "platform/text.h"
#include "settings/names.h"

namespace settings {

namespace {
constexpr size_t kPathRoom = 260;  // characters ExpandEnvironmentStringsA may write
}  // namespace

std::string catalogueKeyOf(const std::string& klid) { return std::string(kLayoutCatalogueKey) + "\\" + klid; }

bool isKlid(std::string_view text) {
    return text.size() == 8 && text.find_first_not_of("0123456789ABCDEFabcdef") == std::string_view::npos;
}

bool isImeKlid(std::string_view klid) { return !klid.empty() && klid[0] != '0'; }

std::string languageOf(std::string_view klid) {
    if (klid.size() <= 4) return {};
    return platform::upperAscii(klid.substr(4, 4));
}

bool Catalogue::exists(const std::string& klid) const {
    return registry_.keyExists(RegRoot::LocalMachine, catalogueKeyOf(klid));
}

std::string Catalogue::value(const std::string& klid, const std::string& name) const {
    if (klid.empty()) return {};
    return registry_.getText(registry_.openForRead(RegRoot::LocalMachine, catalogueKeyOf(klid)), name);
}

void CatalogueReads::forget(uint32_t changes) {
    machineChanges = changes;
    entries.clear();
    listed = false;
    names.clear();
}

Catalogue::Catalogue(const Registry& registry, platform::System& system, WindowsVersion version, uint32_t lcid,
                     CatalogueReads* reads)
    : registry_(registry), system_(system), version_(version), lcid_(lcid), reads_(reads ? *reads : ownReads_) {
    ownReads_.machineChanges = registry.machineChanges();
}

Catalogue::~Catalogue() = default;

CatalogueReads& Catalogue::reads() const {
    if (reads_.machineChanges != registry_.machineChanges()) reads_.forget(registry_.machineChanges());
    return reads_;
}

const CatalogueReads::Entry& Catalogue::stored(const std::string& klid) const {
    CatalogueReads& reads = this->reads();
    for (const auto& entry : reads.entries) {
        if (entry.klid == klid) return entry;
    }
    // A catalogue of its own keeps only the entry asked for last: it serves one step, and a
    // search through every entry it read would grow with the catalogue at each question.
    if (&reads == &ownReads_) reads.entries.clear();
    CatalogueReads::Entry& entry = reads.entries.emplace_back();
    entry.klid = klid;
    if (klid.empty()) return entry;
    RegKey key = registry_.openForRead(RegRoot::LocalMachine, catalogueKeyOf(klid));
    entry.layoutText = registry_.getText(key, "Layout Text");
    entry.layoutDisplayName = registry_.getText(key, "Layout Display Name");
    entry.imeFile = registry_.getText(key, "IME File", &entry.imeFileExpandable);
    return entry;
}

Catalogue::ImeFile Catalogue::checkImeFileOf(const CatalogueReads::Entry& entry, std::string* path) const {
    std::string file = entry.imeFile;
    if (file.empty()) return ImeFile::NotNamed;
    if (entry.imeFileExpandable) {
        file = system_.expandEnvironment(file, kPathRoom);
        if (file.empty()) return ImeFile::Unchecked;
    }
    // A 32-bit program on 64-bit Windows sees SysWOW64 where it asks for system32, where no
    // 64-bit input method is: names in the system folder are looked for in the native one.
    std::string system = system_.systemDirectory() + "\\";
    bool fullPath = file[0] == '\\' || file.find(':') != std::string::npos;
    if (fullPath && platform::equalsNoCase(std::string_view(file).substr(0, system.size()), system)) {
        file = file.substr(system.size());
        fullPath = false;
    }
    // Present where any place has it; absent only where every place certainly lacks it. An empty
    // place is a folder this program cannot look into.
    std::vector<std::string> places;
    if (fullPath) {
        places.push_back(file);
    } else {
        std::string native = system_.nativeSystemDirectory(), wow64 = system_.wow64SystemDirectory();
        places.push_back(native.empty() ? native : native + "\\" + file);
        if (!wow64.empty()) places.push_back(wow64 + "\\" + file);
    }
    ImeFile found = ImeFile::Absent;
    for (const auto& where : places) {
        platform::FileState state = where.empty() ? platform::FileState::Unchecked : system_.fileState(where);
        if (state == platform::FileState::Present) {
            if (path) *path = where;
            return ImeFile::Present;
        }
        if (state == platform::FileState::Unchecked) found = ImeFile::Unchecked;
    }
    return found;
}

Catalogue::ImeFile Catalogue::checkImeFile(const std::string& klid, std::string* path) const {
    return checkImeFileOf(stored(klid), path);
}

bool Catalogue::isUsable(const std::string& klid) const {
    return !isImeKlid(klid) || checkImeFile(klid) == ImeFile::Present;
}

bool Catalogue::lostItsFile(const std::string& klid) const {
    return isImeKlid(klid) && checkImeFile(klid) == ImeFile::Absent;
}

Catalogue::EntryTexts Catalogue::read(const std::string& klid) const {
    const CatalogueReads::Entry& texts = stored(klid);
    EntryTexts entry;
    entry.layoutText = texts.layoutText;
    entry.layoutDisplayName = texts.layoutDisplayName;
    entry.imeFile = checkImeFileOf(texts, &entry.imeFilePath);
    return entry;
}

std::string Catalogue::describedName(const EntryTexts& entry) const {
    if (entry.imeFile == ImeFile::Present) {
        std::string description = GetFileDescription(system_, entry.imeFilePath);
        if (!description.empty()) return description;
    }
    return entry.layoutText;
}

std::string Catalogue::resolvedDisplayName(const EntryTexts& entry, bool userListRow) const {
    std::string display;
    if (!entry.layoutDisplayName.empty()) display = ResolveDisplayName(system_, entry.layoutDisplayName);
    if (display.empty() && userListRow && version_.isNtFamily() && !entry.layoutText.empty()) {
        display = ResolveDisplayName(system_, entry.layoutText);
    }
    return display;
}

// The two names fall back to each other, so that an entry loses its row only when it names
// itself nowhere.
CatalogueRow Catalogue::namedRow(const std::string& klid, bool userListRow) const {
    return rowOf(klid, read(klid), userListRow);
}

CatalogueRow Catalogue::rowOf(const std::string& klid, const EntryTexts& entry, bool userListRow) const {
    std::string described = describedName(entry);
    std::string resolved = resolvedDisplayName(entry, userListRow);
    std::string classic = !described.empty() ? described
                          : userListRow      ? resolvedDisplayName(entry, false)
                                             : resolved;
    return {klid, classic, resolved.empty() ? described : resolved};
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
    CatalogueReads& reads = this->reads();
    if (!reads.listed) registry_.listSubKeys(registry_.openForRead(RegRoot::LocalMachine, kLayoutCatalogueKey), reads.names);
    reads.listed = true;
    return reads.names;
}

std::vector<CatalogueRow> Catalogue::addableRows(const std::vector<std::string>& userKlids, bool named) const {
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
        for (const auto& name : all) {
            std::string language = languageOf(name);
            if (language != "0409" && language != own && language != other && language != "0411" && language != "0412") {
                collected.push_back(platform::upperAscii(name));
            }
        }
    }
    std::vector<CatalogueRow> rows;
    for (const auto& klid : collected) {
        bool listed = false;
        for (const auto& user : userKlids) listed = listed || user == klid;
        if (listed) continue;
        // An input method is offered only when its file is there.
        if (!named) {
            if (isUsable(klid)) rows.push_back({klid, {}, {}});
            continue;
        }
        EntryTexts entry = read(klid);
        if (!isImeKlid(klid) || entry.imeFile == ImeFile::Present) rows.push_back(rowOf(klid, entry, false));
    }
    return rows;
}

}  // namespace settings
