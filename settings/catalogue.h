// The machine's keyboard-layout catalogue: one key per keyboard layout or input method, named
// by its KLID (eight hexadecimal digits; characters 5 to 8 are the language, and a first
// character other than "0" marks an input method).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system.h"
#include "settings/registry.h"
#include "settings/settings_texts.h"
#include "settings/windows_version.h"

namespace settings {

extern const char kCatalogueKey[];  // under HKEY_LOCAL_MACHINE
std::string catalogueKeyOf(const std::string& klid);

bool isImeKlid(std::string_view klid);
std::string languageOf(std::string_view klid);  // characters 5 to 8, upper case

// An entry that can be added to the user's list.
struct CatalogueRow {
    std::string klid;
    std::string classicName;
    std::string displayName;
};

class Catalogue {
public:
    Catalogue(const Registry& registry, platform::System& system, WindowsVersion version, uint32_t lcid)
        : registry_(registry), system_(system), version_(version), lcid_(lcid) {}

    bool exists(const std::string& klid) const;
    // A text value of the entry; empty when the entry or the value is missing.
    std::string value(const std::string& klid, const std::string& name) const;
    std::string imeFile(const std::string& klid) const { return value(klid, "IME File"); }
    // True when the entry's input-method file is named and present in the system folder.
    bool imeFilePresent(const std::string& klid) const;
    // An input-method entry whose file is missing is unusable; plain layouts always are usable.
    bool isUsable(const std::string& klid) const;

    // The name shown while the indicator option is on: the input-method file's description,
    // or else the "Layout Text".
    std::string classicName(const std::string& klid) const;
    // The name shown while the text-services option is on. Rows of the user's list on the NT
    // family fall back to the "Layout Text" before the classic name.
    std::string displayName(const std::string& klid, bool userListRow) const;
    // Both names of an entry, its key and file read once.
    CatalogueRow namedRow(const std::string& klid, bool userListRow) const;

    // Recreates the entries the program relies on, on the NT family, when they are missing.
    void repair(const RepairLayoutTexts& texts) const;

    // The entries that can be added: US English, the Chinese entries (the system's own script
    // first), Japanese, Korean, then on the NT family every other language; without those in
    // the user's list and without unusable input methods.
    std::vector<CatalogueRow> addableRows(const std::vector<std::string>& userKlids) const;

    // All entry names in enumeration order.
    std::vector<std::string> entries() const;

private:
    // What naming an entry needs, read with one opening of its key.
    struct EntryTexts {
        std::string layoutText;
        std::string layoutDisplayName;
        std::string imeFilePath;   // in the native system folder; empty without a file name
        bool folderKnown = false;  // the native system folder can be looked into
        bool imeFilePresent = false;
    };
    EntryTexts read(const std::string& klid) const;
    std::string classicNameOf(const EntryTexts& entry) const;
    // Falls back to the classic name, given or else found.
    std::string displayNameOf(const EntryTexts& entry, bool userListRow, const std::string* classic) const;

    const Registry& registry_;
    platform::System& system_;
    WindowsVersion version_;
    uint32_t lcid_;
};

}  // namespace settings
