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

bool setNumberBinary(const Registry& registry, const RegKey& key, const std::string& name, uint32_t value) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    return registry.setBinary(key, name, bytes, sizeof bytes);
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

}  // namespace

void SettingsModel::apply() {
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
    reloadLayouts();
    removeUnusableInputMethods();
    switchIndicator();
    load();
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

void SettingsModel::writePreloadList() {
    const auto& rows = snapshot.rows;
    if (version_.isNtFamily()) {
        RegKey key = registry_.openForWrite(RegRoot::CurrentUser, kPreloadKey);
        std::vector<std::string> names;
        registry_.listValueNames(key, names);
        for (const auto& name : names) registry_.deleteValue(key, name);
        for (size_t i = 0; i < rows.size(); ++i) {
            registry_.setString(registry_.openOrCreate(RegRoot::CurrentUser, kPreloadKey), std::to_string(i + 1),
                                rows[i].klid);
        }
    } else if (version_.is9x()) {
        // The old list is one sub-key per row. The 9x registry deletes a key with its sub-keys;
        // a registry that refuses (as the NT family and Wine do) would keep the old sub-keys
        // and bring rows back at the next load, so the sub-keys go first.
        if (snapshot.rowCountAtLoad > 0) deleteKeyTree(registry_.store(), RegRoot::CurrentUser, kPreloadKey);
        for (size_t i = 0; i < rows.size(); ++i) {
            RegKey key = registry_.openOrCreate(RegRoot::CurrentUser, std::string(kPreloadKey) + "\\" + std::to_string(i + 1));
            registry_.setString(key, "", rows[i].klid);
        }
    }
}

void SettingsModel::writeHotkeyRecords() {
    for (uint32_t n = kFirstHotkeyRecord; n <= kLastDeletedRecord; ++n) {
        if (registry_.keyExists(RegRoot::CurrentUser, hotkeyRecordKey(n))) registry_.deleteKey(RegRoot::CurrentUser, hotkeyRecordKey(n));
    }
    for (size_t j = 0; j < snapshot.records.size(); ++j) {
        HotkeyRecord& record = snapshot.records[j];
        RegKey key = registry_.openOrCreate(RegRoot::CurrentUser, hotkeyRecordKey(kFirstHotkeyRecord + static_cast<uint32_t>(j)));
        setNumberBinary(registry_, key, "Key Modifiers", readHex(record.modifierText));
        setNumberBinary(registry_, key, "Virtual Key", readHex(record.keyText));
        // A plain layout's KLID becomes its layout handle, the language twice.
        if (record.target.substr(0, 4) == "0000" && record.target.size() >= 8) {
            record.target = record.target.substr(4, 4) + record.target.substr(4, 4);
        }
        setNumberBinary(registry_, key, "Target IME", readHex(record.target));
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
        system_.loadKeyboardLayout(snapshot.rows[i].klid, platform::kKlfReorder);
    }
    refill();
    system_.activateKeyboardLayout(slots[0], platform::kKlfActivate);
    system_.systemParametersInfo(platform::kSpiSetDefaultInputLang, 0, &slots[0], platform::kSpifSendChange);
}

void SettingsModel::removeUnusableInputMethods() {
    Catalogue entries = catalogue();
    for (const auto& klid : entries.entries()) {
        if (isImeKlid(klid) && !entries.isUsable(klid)) registry_.deleteKey(RegRoot::LocalMachine, catalogueKeyOf(klid));
    }
}

}  // namespace settings
