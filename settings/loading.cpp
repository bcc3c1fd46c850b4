// Loading the settings snapshot from the registry and the running system.
#include <algorithm>

#include "platform/text.h"
#include "settings/settings_model.h"

namespace settings {

using platform::hexText;

const char kPreloadKey[] = "Keyboard Layout\\preload";
const char kHotKeysKey[] = "Control Panel\\Input Method\\Hot Keys";
const char kToggleKey[] = "Keyboard Layout\\Toggle";

namespace {

constexpr uint32_t kLastLoadedRecord = 0x163;

// A 4-byte registry number of any type: its first four bytes, missing ones read as zero; false
// when the value is missing.
bool readNumber(const RegKey& key, const std::string& name, uint32_t& out) {
    platform::RegValue v;
    if (!key.isOpen() || !key.get()->query(name, v)) return false;
    out = numberFromBytes(v.data);
    return true;
}

// A preload value whatever its type, so that a row is kept whenever its value names an entry:
// a REG_DWORD as the KLID's eight hexadecimal digits, any other type as text up to its first zero.
// Only eight hexadecimal digits make a KLID (the registry would take "E0010804\" for the key
// E0010804); any other value is kept as read, to be written back. Nothing when it is missing.
std::optional<PreloadRow> readPreloadValue(const RegKey& key, const std::string& name) {
    platform::RegValue v;
    if (!key.isOpen() || !key.get()->query(name, v)) return std::nullopt;
    bool number = v.type == platform::kRegDword && v.data.size() == 4;
    std::string klid = number ? hexText(numberFromBytes(v.data), 8) : textFromBytes(v.data);
    PreloadRow row;
    if (isKlid(klid)) {
        row.klid = platform::upperAscii(klid);
    } else {
        row.unreadable = v;
    }
    return row;
}

}  // namespace

std::string hotkeyRecordKey(uint32_t number) { return std::string(kHotKeysKey) + "\\00000" + hexText(number, 3); }

std::vector<uint32_t> hotkeyRecords(const Registry& registry, uint32_t first, uint32_t last) {
    std::vector<std::string> names;
    registry.listSubKeys(registry.openForRead(RegRoot::CurrentUser, kHotKeysKey), names);
    // The numbers of the names hotkeyRecordKey gives (in either letter case), each name read once.
    std::vector<uint32_t> listed;
    for (const auto& name : names) {
        uint32_t n = platform::readHex(name.size() > 5 ? name.substr(5) : std::string());
        if (platform::equalsNoCase(name, "00000" + hexText(n, 3))) listed.push_back(n);
    }
    std::vector<uint32_t> numbers;
    for (uint32_t n = first; n <= last; ++n) {
        if (std::find(listed.begin(), listed.end(), n) != listed.end()) numbers.push_back(n);
    }
    return numbers;
}

SettingsModel::SettingsModel(const Registry& registry, platform::System& system, UserPrompts& prompts,
                             ModelTexts texts, bool commandLineMode)
    : registry_(registry),
      system_(system),
      prompts_(prompts),
      texts_(std::move(texts)),
      commandLineMode_(commandLineMode),
      version_(system.version()),
      processes_(registry, system) {
    snapshot.lcid = system.systemDefaultLcid();
    if (version_.isSixFamily()) window.keyChoiceCount = 3;
    if (snapshot.lcid == 0x0411) window.toggleChoiceCount = 1;
}

SettingsModel::~SettingsModel() = default;

Catalogue SettingsModel::catalogue() const {
    return Catalogue(registry_, system_, version_, snapshot.lcid, commandLineMode_ ? &catalogueReads_ : nullptr);
}

std::string SettingsModel::shownNameOf(const CatalogueRow& row) const {
    return loadedIndicatorOption_ ? row.classicName : row.displayName;
}

std::string SettingsModel::toggleKeyOf(int slot) const {
    std::string identifier;
    switch (snapshot.lcid) {
        case 0x0804: identifier = "0000001"; break;
        case 0x0404: identifier = "0000007"; break;
        case 0x0412: identifier = "0000005"; break;
        case 0x0411:
            if (slot != 0) return {};
            identifier = "0000003";
            break;
        default: return {};
    }
    return std::string(kHotKeysKey) + "\\" + identifier + std::to_string(slot);
}

void SettingsModel::load() {
    forgetWhatWasRead();
    loadSettings();
}

void SettingsModel::forgetWhatWasRead() {
    catalogueReads_.forget(registry_.machineChanges());
    processes_.forgetProcessList();
}

void SettingsModel::loadSettings() {
    // 1. Start empty.
    snapshot.rows.clear();
    snapshot.addable.clear();
    snapshot.records.clear();
    snapshot.toggles = {};
    window.listSelection = -1;
    window.addSelection = -1;

    loadIndicatorChoice();
    loadedIndicatorOption_ = snapshot.indicatorOption;
    // The entries the program relies on come back first, so that their rows find them.
    catalogue().repair(texts_.repair);
    loadPreloadRows();

    // Rows without a name have no catalogue entry, or one that names itself nowhere: they are
    // dropped. A value that is no KLID stays where it is.
    auto& rows = snapshot.rows;
    for (size_t i = rows.size(); i-- > 0;) {
        bool nameless = rows[i].named && rows[i].shownName.empty() && !rows[i].unreadable;
        if (nameless) rows.erase(rows.begin() + static_cast<long>(i));
    }

    loadHotkeyRecords();
    loadToggleSlots();

    loadAddableEntries();

    // Caps Lock mode and the status window.
    snapshot.capsLockMode =
        registry_.getNumber(registry_.openForRead(RegRoot::CurrentUser, "Keyboard Layout"), "Attributes") == 0 ? 0 : 1;
    snapshot.showStatus =
        registry_.getString(registry_.openForRead(RegRoot::CurrentUser, "Control Panel\\Input Method"), "Show Status") ==
        "1";

    loadSwitchKeys();

    window.languageSwitchCaption = snapshot.indicatorOption ? texts_.settings.switchIme : texts_.settings.switchInputLanguages;
    window.listEditable = !snapshot.indicatorOption;

    // First add-box item and first row; a fresh list of loaded layouts.
    window.addSelection = snapshot.addable.empty() ? -1 : 0;
    snapshot.layoutSlots.fill(0);
    std::vector<uint32_t> layouts = system_.keyboardLayoutList(kLayoutListRoom);
    std::copy_n(layouts.begin(), std::min(layouts.size(), kLayoutListRoom), snapshot.layoutSlots.begin());
    selectRow(rows.empty() ? -1 : 0);
    window.rememberedIndicator = snapshot.indicatorOption;

    int slot = std::min(window.toggleChoice, window.toggleChoiceCount - 1);
    window.toggleButtonCaption = hotkey::FormatHotkeyText(snapshot.toggles[static_cast<size_t>(slot)].modifierText,
                                                          snapshot.toggles[static_cast<size_t>(slot)].keyText,
                                                          texts_.sides);
    loaded_ = snapshot;
}

bool SettingsModel::changedSinceLoad() const {
    const SettingsSnapshot& a = snapshot;
    const SettingsSnapshot& b = loaded_;
    bool same = a.rows.size() == b.rows.size() && a.records.size() == b.records.size();
    for (size_t i = 0; same && i < a.rows.size(); ++i) {
        same = a.rows[i].klid == b.rows[i].klid && a.rows[i].unreadable == b.rows[i].unreadable &&
               a.rows[i].pendingDisplayName == b.rows[i].pendingDisplayName;
    }
    for (size_t i = 0; same && i < a.records.size(); ++i) {
        const HotkeyRecord &x = a.records[i], &y = b.records[i];
        same = x.modifierText == y.modifierText && x.target == y.target && x.keyText == y.keyText;
    }
    for (size_t i = 0; same && i < a.toggles.size(); ++i) {
        same = a.toggles[i].modifierText == b.toggles[i].modifierText && a.toggles[i].keyText == b.toggles[i].keyText;
    }
    // A switch's key is written only while the switch is on.
    return !same || a.indicatorSwitch != b.indicatorSwitch || a.indicatorOption != b.indicatorOption ||
           a.textServicesOption != b.textServicesOption || a.capsLockMode != b.capsLockMode ||
           a.showStatus != b.showStatus || a.languageSwitch != b.languageSwitch ||
           a.layoutSwitch != b.layoutSwitch || (a.languageSwitch && a.languageKey != b.languageKey) ||
           (a.layoutSwitch && a.layoutKey != b.layoutKey);
}

void SettingsModel::loadIndicatorChoice() {
    snapshot.indicatorOption = processes_.runs("internat.exe");
    snapshot.textServicesOption = processes_.runs("ctfmon.exe");
    if (version_.isSixFamily()) snapshot.textServicesOption = true;
    if (!snapshot.indicatorOption && !snapshot.textServicesOption) {
        snapshot.indicatorOption = true;
        snapshot.indicatorSwitch = false;
    }
    if (snapshot.indicatorOption && snapshot.textServicesOption) snapshot.indicatorOption = false;
}

void SettingsModel::loadPreloadRows() {
    std::vector<PreloadRow> read;
    if (version_.isNtFamily()) {
        RegKey key = registry_.openForRead(RegRoot::CurrentUser, kPreloadKey);
        for (int n = 1; auto row = readPreloadValue(key, std::to_string(n)); ++n) read.push_back(*row);
    } else if (version_.is9x()) {
        for (int n = 1;; ++n) {
            RegKey key = registry_.openForRead(RegRoot::CurrentUser, std::string(kPreloadKey) + "\\" + std::to_string(n));
            if (!key.isOpen()) break;
            if (auto row = readPreloadValue(key, "")) read.push_back(*row);
        }
    }
    Catalogue entries = catalogue();
    for (auto& r : read) {
        // A command-line run shows no list: a row whose entry has a "Layout Text", and so a name,
        // keeps its names unread until a switch looks for one (see nameRows).
        if (commandLineMode_ && entries.hasLayoutText(r.klid)) {
            r.named = false;
        } else if (!r.unreadable) {
            nameRow(r, entries);
        }
        snapshot.rows.push_back(r);
    }
}

void SettingsModel::nameRow(PreloadRow& row, const Catalogue& entries) const {
    CatalogueRow named = entries.namedRow(row.klid, true);
    row.classicName = named.classicName;
    row.displayName = named.displayName;
    row.shownName = shownNameOf(named);
    row.named = true;
}

void SettingsModel::nameRows(int index) {
    Catalogue entries = catalogue();
    for (size_t i = 0; i < snapshot.rows.size(); ++i) {
        auto& row = snapshot.rows[i];
        if (!row.named && (index < 0 || i == static_cast<size_t>(index))) nameRow(row, entries);
    }
}

void SettingsModel::loadHotkeyRecords() {
    for (uint32_t n : hotkeyRecords(registry_, kFirstHotkeyRecord, kLastLoadedRecord)) {
        RegKey key = registry_.openForRead(RegRoot::CurrentUser, hotkeyRecordKey(n));
        // A record that lacks one of its three values binds nothing: it is skipped (and so not
        // written again).
        uint32_t target = 0, modifiers = 0, virtualKey = 0;
        if (!readNumber(key, "Target IME", target) || !readNumber(key, "Key Modifiers", modifiers) ||
            !readNumber(key, "Virtual Key", virtualKey)) {
            continue;
        }
        std::string t = hexText(target, 8);
        if (t.substr(0, 4) == t.substr(4, 4)) t = "0000" + t.substr(0, 4);
        for (const auto& row : snapshot.rows) {
            if (row.klid != t) continue;
            snapshot.records.push_back({hexText(modifiers, 8), t, hexText(virtualKey, 8)});
            break;
        }
    }
    // A row shows its first record: the one the hot-key editor opens and changes.
    for (auto& row : snapshot.rows) {
        for (const auto& record : snapshot.records) {
            if (record.target != row.klid) continue;
            row.hotkeyText = hotkey::FormatHotkeyText(record.modifierText, record.keyText, texts_.sides);
            break;
        }
    }
}

void SettingsModel::loadToggleSlots() {
    for (int slot = 0; slot < 3; ++slot) {
        std::string path = toggleKeyOf(slot);
        if (path.empty()) continue;
        RegKey key = registry_.openForRead(RegRoot::CurrentUser, path);
        if (!key.isOpen()) continue;
        uint32_t modifiers = 0, virtualKey = 0;
        readNumber(key, "Key Modifiers", modifiers);
        readNumber(key, "Virtual Key", virtualKey);
        snapshot.toggles[static_cast<size_t>(slot)] = {hexText(modifiers, 8), hexText(virtualKey, 8)};
    }
}

void SettingsModel::loadAddableEntries() {
    Catalogue entries = catalogue();
    std::vector<std::string> userKlids;
    for (const auto& row : snapshot.rows) userKlids.push_back(row.klid);
    for (const auto& row : entries.addableRows(userKlids, !commandLineMode_)) {
        SettingsSnapshot::AddableRow entry;
        static_cast<CatalogueRow&>(entry) = row;
        entry.itemText = shownNameOf(row);
        entry.named = !commandLineMode_;
        snapshot.addable.push_back(entry);
    }
}

void SettingsModel::nameAddable(int index) {
    Catalogue entries = catalogue();
    for (size_t i = 0; i < snapshot.addable.size(); ++i) {
        auto& entry = snapshot.addable[i];
        if (entry.named || (index >= 0 && i != static_cast<size_t>(index))) continue;
        static_cast<CatalogueRow&>(entry) = entries.namedRow(entry.klid, false);
        entry.itemText = shownNameOf(entry);
        entry.named = true;
    }
}

void SettingsModel::loadSwitchKeys() {
    RegKey key = registry_.openForRead(RegRoot::CurrentUser, kToggleKey);
    std::string hotkey = registry_.getString(key, "hotkey");
    std::string language = registry_.getString(key, "Language Hotkey");
    std::string layout = registry_.getString(key, "Layout Hotkey");
    auto either = [&](const char* v) { return hotkey == v || language == v; };
    bool graveOffered = window.keyChoiceCount > kGrave;

    if (either("1")) {
        snapshot.languageSwitch = true;
        snapshot.languageKey = kAltShift;
    }
    if (either("2")) {
        snapshot.languageSwitch = true;
        snapshot.languageKey = kCtrlShift;
    }
    // "4" is what apply writes for the grave accent; read it back where that key is offered.
    if (either("4") && graveOffered) {
        snapshot.languageSwitch = true;
        snapshot.languageKey = kGrave;
    }
    if (either("3")) snapshot.languageSwitch = false;

    if (layout == "1") {
        snapshot.layoutSwitch = true;
        snapshot.layoutKey = kAltShift;
    } else if (layout == "2") {
        snapshot.layoutSwitch = true;
        snapshot.layoutKey = kCtrlShift;
    } else if (layout == "4" && graveOffered) {
        snapshot.layoutSwitch = true;
        snapshot.layoutKey = kGrave;
    } else if (layout == "3") {
        snapshot.layoutSwitch = false;
        snapshot.layoutKey = kAltShift;
    }

    // The 9x indicator keeps its language key in the key's default value.
    if (snapshot.indicatorOption && version_.is9x()) {
        std::string value = registry_.getString(key, "");
        snapshot.languageSwitch = true;
        if (value == "2") snapshot.languageKey = kCtrlShift;
        if (value == "1") snapshot.languageKey = kAltShift;
    }

    // The text-services monitor's layout key choice is usable whatever the layout switch says.
    window.layoutKeyEnabled = snapshot.textServicesOption;
}

}  // namespace settings
