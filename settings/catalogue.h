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

using platform::kLayoutCatalogueKey;  // under HKEY_LOCAL_MACHINE
std::string catalogueKeyOf(const std::string& klid);

// Eight hexadecimal digits, the one form of a KLID.
bool isKlid(std::string_view text);
bool isImeKlid(std::string_view klid);
std::string languageOf(std::string_view klid);  // characters 5 to 8, upper case

// An entry that can be added to the user's list.
struct CatalogueRow {
    std::string klid;
    std::string classicName;
    std::string displayName;
};

// What catalogues have read of the catalogue's keys, for an owner that makes one catalogue after
// another while nothing but itself can have changed them. Any change made through the registry
// to HKEY_LOCAL_MACHINE empties it; files are looked at afresh every time.
struct CatalogueReads {
    // An entry's texts as its key holds them.
    struct Entry {
        std::string klid;  // as asked for
        std::string layoutText;
        std::string layoutDisplayName;
        std::string imeFile;
        bool imeFileExpandable = false;
    };
    uint32_t machineChanges = 0;  // the registry's count of changes when these were read
    std::vector<Entry> entries;
    bool listed = false;
    std::vector<std::string> names;  // the entry names, once listed

    void forget(uint32_t changes);  // empty, as read at that count of changes
};

class Catalogue {
public:
    // Without `reads` the catalogue keeps its listing and the entry it read last to itself.
    Catalogue(const Registry& registry, platform::System& system, WindowsVersion version, uint32_t lcid,
              CatalogueReads* reads = nullptr);
    ~Catalogue();
    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;

    bool exists(const std::string& klid) const;
    // A text value of the entry (REG_SZ, or REG_EXPAND_SZ unexpanded); empty when the entry or
    // the value is missing or of another type. An empty KLID (a row whose preload value is none)
    // names no entry: nothing is read for it.
    std::string value(const std::string& klid, const std::string& name) const;
    std::string imeFile(const std::string& klid) const { return stored(klid).imeFile; }
    // An entry with a "Layout Text" has both names, whatever else it holds.
    bool hasLayoutText(const std::string& klid) const { return !stored(klid).layoutText.empty(); }

    // What the entry's "IME File" says of its input-method file. A file name is looked for in
    // the native system folder (input methods live there, also on 64-bit Windows when this
    // program runs under WOW64), and on 64-bit Windows in SysWOW64 as well, where a 32-bit
    // installer puts an input method that 32-bit programs use; a REG_EXPAND_SZ value is expanded
    // first, and a full path is tested where it points.
    enum class ImeFile {
        NotNamed,   // no "IME File", an empty one, or one of a type that is not text
        Unchecked,  // too long to expand, a folder that cannot be looked into, a failed check
        Present,
        Absent,     // names a file that certainly is not there
    };
    ImeFile checkImeFile(const std::string& klid, std::string* path = nullptr) const;
    // An input method is usable (offered for adding) only when its file is present; plain
    // layouts always are.
    bool isUsable(const std::string& klid) const;
    // An input method whose "IME File" names a file that is certainly absent. Only such
    // entries are deleted: one whose file cannot be named or checked is kept.
    bool lostItsFile(const std::string& klid) const;

    // Both names of an entry, its key and file read once. The classic name (shown while the
    // indicator option is on): the input-method file's description, or else the "Layout Text",
    // or else the display name. The display name (shown while the text-services option is on):
    // the resolved "Layout Display Name"; for rows of the user's list on the NT family the
    // resolved "Layout Text" next; or else the classic name. Both are empty only for an entry
    // that names itself nowhere.
    CatalogueRow namedRow(const std::string& klid, bool userListRow) const;

    // Recreates the entries the program relies on, on the NT family, when they are missing.
    void repair(const RepairLayoutTexts& texts) const;

    // The entries that can be added: US English, the Chinese entries (the system's own script
    // first), Japanese, Korean, then on the NT family every other language; without those in
    // the user's list and without unusable input methods. Without `named` the rows hold their
    // KLIDs only, and nothing but the input methods' files is looked at.
    std::vector<CatalogueRow> addableRows(const std::vector<std::string>& userKlids, bool named = true) const;

    // All entry names in enumeration order.
    std::vector<std::string> entries() const;

private:
    // What naming an entry needs, read with one opening of its key.
    struct EntryTexts {
        std::string layoutText;
        std::string layoutDisplayName;
        ImeFile imeFile = ImeFile::NotNamed;
        std::string imeFilePath;  // where the file was looked for
    };
    EntryTexts read(const std::string& klid) const;
    // The entry's texts, read with one opening of its key unless the reads hold them already;
    // valid until the next question to this catalogue.
    const CatalogueReads::Entry& stored(const std::string& klid) const;
    CatalogueReads& reads() const;  // emptied first when the machine has changed since
    CatalogueRow rowOf(const std::string& klid, const EntryTexts& entry, bool userListRow) const;
    ImeFile checkImeFileOf(const CatalogueReads::Entry& entry, std::string* path) const;
    // The file's description, or else the "Layout Text".
    std::string describedName(const EntryTexts& entry) const;
    // The resolved "Layout Display Name", or for rows of the user's list on the NT family the
    // resolved "Layout Text"; empty when neither gives a name.
    std::string resolvedDisplayName(const EntryTexts& entry, bool userListRow) const;

    const Registry& registry_;
    platform::System& system_;
    WindowsVersion version_;
    uint32_t lcid_;
    mutable CatalogueReads ownReads_;
    CatalogueReads& reads_;
};

}  // namespace settings
