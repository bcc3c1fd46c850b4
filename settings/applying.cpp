// Applying the settings snapshot: everything is written back in a fixed order, the system's
// layouts are reloaded, the language indicator is switched and the snapshot loaded again.
#include <algorithm>

#include "platform/text.h"
#include "settings/settings_model.h"

namespace settings {

using platform::hexText;
using platform::readHex;

namespace {

constexpr uint32_t kLastDeletedRecord = 0x1C8;

// A 32-bit number as the 4 little-endian bytes of a REG_BINARY value.
void setNumberBinary(const Registry& registry, const RegKey& key, const std::string& name, uint32_t value) {
    registry.setValue(key, name, {platform::kRegBinary, bytesFromNumber(value)});
}

// A row's preload value: its KLID, or the value that is none as it was read.
void writePreloadValue(const Registry& registry, const RegKey& key, const std::string& name, const PreloadRow& row) {
    if (row.unreadable) {
        registry.setValue(key, name, *row.unreadable);
    } else {
        registry.setString(key, name, row.klid);
    }
}

// The digit "Keyboard Layout\Toggle" stores for a key choice; empty for no choice.
std::string toggleDigit(int choice) {
    switch (choice) {
        case kCtrlShift: return "2";
        case kAltShift: return "1";
        case kGrave: return "4";
        default: return {};
    }
}

// "<LANGID>:<KLID>", the language being the KLID's low word; empty for a KLID that is not eight
// hexadecimal digits, which the profile is never told about.
std::string profileItem(const std::string& klid) { return isKlid(klid) ? languageOf(klid) + ":" + klid : ""; }

// Whether one of the first `end` rows holds the KLID.
bool holds(const std::vector<PreloadRow>& rows, size_t end, const std::string& klid) {
    for (size_t i = 0; i < end && i < rows.size(); ++i) {
        if (rows[i].klid == klid) return true;
    }
    return false;
}

// Hands each entry of `rows` that no row of `other` holds (or that is `counted`) to
// InstallLayoutOrTip, once, one call per item, so that an item Windows refuses cannot keep the
// others out.
void tellProfile(platform::System& system, const std::vector<PreloadRow>& rows, const std::vector<PreloadRow>& other,
                 uint32_t flags, const std::string& counted) {
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::string& klid = rows[i].klid;
        std::string item = profileItem(klid);
        if (!item.empty() && !holds(rows, i, klid) && (!holds(other, other.size(), klid) || klid == counted)) {
            system.installLayoutOrTip(item, flags);
        }
    }
}

}  // namespace

bool SettingsModel::apply() {
    bool indicator = !commandLineMode_ || switchesIndicator;
    if (!indicator && !changedSinceLoad()) return false;
    // The window applies after the user has had it: the running programs are asked again. A
    // command-line run goes on with the list its load took.
    if (!commandLineMode_) processes_.forgetProcessList();
    // 1. The status window. The system stores the choice itself where it can; Wine does not,
    // and a build without a desktop cannot, so the program writes it as well.
    system_.systemParametersInfo(platform::kSpiSetShowImeUi, snapshot.showStatus ? 1 : 0, nullptr,
                                 platform::kSpifUpdateIniFile);
    registry_.setString(registry_.openOrCreate(RegRoot::CurrentUser, "Control Panel\\Input Method"), "Show Status",
                        snapshot.showStatus ? "1" : "0");

    writePendingDisplayNames();
    writePreloadList();
    writeHotkeyRecords();
    writeToggleSlots();
    writeSwitchKeys();
    writeCapsLockMode();
    system_.systemParametersInfo(platform::kSpiSetInputLangToggle, 0, nullptr, platform::kSpifSendChange);
    // Before the reload: whatever the profile calls do to the running session, the reload then
    // loads and activates the layouts in the list's order.
    updateLanguageProfile();
    reloadLayouts();
    removeUnusableInputMethods();
    if (indicator) switchIndicator();
    loadSettings();
    return true;
}

void SettingsModel::writePendingDisplayNames() {
    for (const auto& row : snapshot.rows) {
        if (row.pendingDisplayName.empty() || row.pendingDisplayName == row.classicName ||
            row.pendingDisplayName == row.displayName) {
            continue;
        }
        registry_.setString(registry_.openOrCreate(RegRoot::LocalMachine, catalogueKeyOf(row.klid)),
                            "Layout Display Name", row.pendingDisplayName);
    }
}

// The new list is written over the old one first and only what is left over is deleted
// afterwards, so that a run cut short at any point leaves a list to start with.
void SettingsModel::writePreloadList() {
    const auto& rows = snapshot.rows;
    auto written = [&rows](const std::string& name) {
        for (size_t i = 0; i < rows.size(); ++i) {
            if (name == std::to_string(i + 1)) return true;
        }
        return false;
    };
    std::vector<std::string> names;
    if (version_.isNtFamily()) {
        // One opening for the whole list; without rows a missing key is not made.
        RegKey key = rows.empty() ? RegKey() : registry_.openOrCreate(RegRoot::CurrentUser, kPreloadKey);
        for (size_t i = 0; i < rows.size(); ++i) writePreloadValue(registry_, key, std::to_string(i + 1), rows[i]);
        if (!key.isOpen()) key = registry_.openForWrite(RegRoot::CurrentUser, kPreloadKey);
        registry_.listValueNames(key, names);
        for (const auto& name : names) {
            if (!written(name)) registry_.deleteValue(key, name);
        }
    } else if (version_.is9x()) {
        // One sub-key per row, written over the old ones; then every other numbered sub-key goes,
        // however many rows were loaded, so that none comes back at the next load.
        for (size_t i = 0; i < rows.size(); ++i) {
            RegKey key = registry_.openOrCreate(RegRoot::CurrentUser, std::string(kPreloadKey) + "\\" + std::to_string(i + 1));
            writePreloadValue(registry_, key, "", rows[i]);
        }
        registry_.listSubKeys(registry_.openForRead(RegRoot::CurrentUser, kPreloadKey), names);
        for (const auto& name : names) {
            bool numbered = !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
            if (numbered && !written(name)) {
                registry_.deleteKeyTree(RegRoot::CurrentUser, std::string(kPreloadKey) + "\\" + name);
            }
        }
    }
}

// Records are written over the old ones from 0x100 first; the numbers beyond them are deleted
// afterwards. A record of a row that stays only ever moves to a lower number, which is written
// before its old key is touched, so a cut-short run never loses it. A key that holds another
// record loses its target first and gets it back last: until then it is incomplete, which
// loading skips, so a cut-short run never binds one record's keys to another's target.
void SettingsModel::writeHotkeyRecords() {
    for (size_t j = 0; j < snapshot.records.size(); ++j) {
        HotkeyRecord& record = snapshot.records[j];
        // A plain layout's KLID becomes its layout handle, the language twice.
        if (record.target.substr(0, 4) == "0000" && record.target.size() >= 8) {
            record.target = record.target.substr(4, 4) + record.target.substr(4, 4);
        }
        RegKey key = registry_.openOrCreate(RegRoot::CurrentUser, hotkeyRecordKey(kFirstHotkeyRecord + static_cast<uint32_t>(j)));
        const std::pair<const char*, uint32_t> values[] = {{"Key Modifiers", readHex(record.modifierText)},
                                                           {"Virtual Key", readHex(record.keyText)},
                                                           {"Target IME", readHex(record.target)}};
        bool holdsIt = key.isOpen();
        for (const auto& [name, number] : values) {
            platform::RegValue old;
            holdsIt = holdsIt && key.get()->query(name, old) && old.type == platform::kRegBinary &&
                      old.data == bytesFromNumber(number);
        }
        if (holdsIt) continue;
        registry_.deleteValue(key, "Target IME");
        for (const auto& [name, number] : values) setNumberBinary(registry_, key, name, number);
    }
    for (uint32_t n : hotkeyRecords(registry_, kFirstHotkeyRecord + static_cast<uint32_t>(snapshot.records.size()),
                                    kLastDeletedRecord)) {
        registry_.deleteKey(RegRoot::CurrentUser, hotkeyRecordKey(n));
    }
}

void SettingsModel::writeToggleSlots() {
    for (int slot = 0; slot < 3; ++slot) {
        // Locales without toggle keys of their own get nothing written: there is no key that the
        // input-method framework or the next load would read.
        std::string path = toggleKeyOf(slot);
        if (path.empty()) continue;
        const ToggleSlot& toggle = snapshot.toggles[static_cast<size_t>(slot)];
        RegKey key = registry_.openOrCreate(RegRoot::CurrentUser, path);
        setNumberBinary(registry_, key, "Key Modifiers", readHex(toggle.modifierText));
        setNumberBinary(registry_, key, "Virtual Key", readHex(toggle.keyText));
        setNumberBinary(registry_, key, "Target IME", 0);
    }
}

void SettingsModel::writeSwitchKeys() {
    RegKey key = registry_.openOrCreate(RegRoot::CurrentUser, kToggleKey);
    if (snapshot.languageSwitch) {
        std::string digit = toggleDigit(snapshot.languageKey);
        if (!digit.empty()) {
            registry_.setString(key, "hotkey", digit);
            registry_.setString(key, "Language Hotkey", digit);
            if (version_.is9x()) registry_.setString(key, "", digit);
        }
    } else {
        registry_.setString(key, "hotkey", "3");
        registry_.setString(key, "Language Hotkey", "3");
    }
    if (snapshot.layoutSwitch) {
        std::string digit = toggleDigit(snapshot.layoutKey);
        if (!digit.empty()) registry_.setString(key, "Layout Hotkey", digit);
    } else {
        registry_.setString(key, "Layout Hotkey", "3");
    }
}

void SettingsModel::writeCapsLockMode() {
    if (!version_.isNtFamily()) return;
    RegKey key = registry_.openOrCreate(RegRoot::CurrentUser, "Keyboard Layout");
    if (snapshot.capsLockMode == 0) {
        registry_.setNumber(key, "Attributes", 0);
        system_.activateKeyboardLayout(0, platform::kKlfReset);
    } else {
        registry_.setNumber(key, "Attributes", platform::kKlfShiftLock);
        system_.activateKeyboardLayout(0, platform::kKlfReset | platform::kKlfShiftLock);
    }
}

void SettingsModel::reloadLayouts() {
    auto& slots = snapshot.layoutSlots;
    auto refill = [&] {
        slots.fill(0);
        std::vector<uint32_t> layouts = system_.keyboardLayoutList(kLayoutListRoom);
        std::copy_n(layouts.begin(), std::min(layouts.size(), kLayoutListRoom), slots.begin());
    };
    refill();
    for (uint32_t layout : slots) {
        if (layout != 0) system_.unloadKeyboardLayout(layout);
    }
    for (size_t i = snapshot.rows.size(); i-- > 0;) {
        if (!snapshot.rows[i].unreadable) system_.loadKeyboardLayout(snapshot.rows[i].klid, platform::kKlfReorder);
    }
    refill();
    system_.activateKeyboardLayout(slots[0], platform::kKlfActivate);
    system_.systemParametersInfo(platform::kSpiSetDefaultInputLang, 0, &slots[0], platform::kSpifSendChange);
}

void SettingsModel::updateLanguageProfile(const std::string& installed) {
    const auto &before = loaded_.rows, &after = snapshot.rows;
    platform::RealVersion v = system_.realVersion();
    if (v.major < 6 || (v.major == 6 && v.minor < 2) || after.empty()) return;
    // Enabled first and made the default before the old default is disabled.
    tellProfile(system_, after, before, 0, installed);
    std::string head = profileItem(after[0].klid);
    if (!head.empty() && (before.empty() || before[0].klid != after[0].klid || after[0].klid == installed)) {
        system_.setDefaultLayoutOrTip(head, 0);
    }
    tellProfile(system_, before, after, platform::kIlotUninstall, {});
}

void SettingsModel::removeUnusableInputMethods() {
    Catalogue entries = catalogue();
    for (const auto& klid : entries.entries()) {
        if (entries.lostItsFile(klid)) registry_.deleteKey(RegRoot::LocalMachine, catalogueKeyOf(klid));
    }
}

}  // namespace settings
