// The settings snapshot: everything the program edits, read from the registry and the running
// system by loading and written back by applying, and the state of the main window's controls
// that loading and list editing set. The window shows this model and the command line edits
// it, through the same operations.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry_store.h"
#include "settings/catalogue.h"

namespace settings {

constexpr size_t kLayoutSlots = 31;     // keyboard-layout handles, slot i going with row i
constexpr size_t kLayoutListRoom = 30;  // handles asked of GetKeyboardLayoutList

// One entry of the user's ordered list of input locales, with its line in the window's list.
struct PreloadRow {
    std::string klid;  // upper case; empty for a value that is no KLID
    std::string classicName;
    std::string displayName;
    std::string pendingDisplayName;  // a new name typed by the user, written by apply
    std::string hotkeyText;          // the list's second column
    std::string shownName;           // the list's first column
    bool named = true;               // false while a command-line load has left its names unread
    // A preload value that is no KLID (eight hexadecimal digits), as read: the row names nothing,
    // shows nothing and keeps its place, and apply writes the value back as it was.
    std::optional<platform::RegValue> unreadable;
};

// A direct-switch hot key: pressing it switches to the target entry.
struct HotkeyRecord {
    std::string modifierText;  // 8 hexadecimal digits
    std::string target;        // the KLID of the target entry
    std::string keyText;       // 8 hexadecimal digits
};

// A toggle hot key of the input-method framework; both texts empty when there is none.
struct ToggleSlot {
    std::string modifierText;
    std::string keyText;
    bool empty() const { return modifierText.empty() && keyText.empty(); }
};

// Key choices of the language and layout switches.
enum KeyChoice { kCtrlShift = 0, kAltShift = 1, kGrave = 2 };

struct SettingsSnapshot {
    uint32_t lcid = 0;
    std::vector<PreloadRow> rows;
    std::array<uint32_t, kLayoutSlots> layoutSlots{};
    // The entries that can be added, parallel to the add box; itemText is the add box's text.
    struct AddableRow : CatalogueRow {
        std::string itemText;
        bool named = true;  // false while a command-line load has left its names unread
    };
    std::vector<AddableRow> addable;
    std::vector<HotkeyRecord> records;
    std::array<ToggleSlot, 3> toggles;

    // Which language indicator runs: the indicator switch turns it on or off, and one of the
    // two options chooses internat.exe (indicator option) or ctfmon.exe (text-services option).
    bool indicatorSwitch = true;
    bool indicatorOption = true;
    bool textServicesOption = false;
    int capsLockMode = 0;  // 0: Caps Lock releases capitals; 1: Shift does
    bool showStatus = false;
    bool languageSwitch = false;
    int languageKey = kCtrlShift;
    bool layoutSwitch = false;
    int layoutKey = kCtrlShift;
};

// The state of the main window's controls beyond the snapshot's values.
struct WindowState {
    std::string languageSwitchCaption;
    bool languageSwitchEnabled = true;
    // Follows the layout switch's clicks, but a style change or loading with the text-services
    // option on enables it whatever the layout switch says.
    bool layoutKeyEnabled = true;
    int keyChoiceCount = 2;  // 3 (with the grave accent) on the 6.x generation

    int listSelection = -1;  // -1: no row selected
    int addSelection = -1;   // -1: no item selected
    bool listEditable = false;  // in-place renaming of the first column
    bool listFocusRequested = false;

    int toggleChoice = 0;
    int toggleChoiceCount = 3;  // 1 under the Japanese locale
    std::string toggleButtonCaption;

    std::string status;  // the status line
    bool rememberedIndicator = true;

    // The "Install IME" group's name and file edits.
    std::string installName;
    std::string installFile;
};

// What the window's controls show that follows from a selection or a snapshot field: derived
// from the model each time the window is shown, so that no path through the program can leave
// one behind.
struct ControlStates {
    bool up = false, down = false, remove = false, add = false, property = false;
    bool styleGroup = false, indicatorOption = false, textServicesOption = false;
    bool languageKey = false, layoutSwitch = false, capsLock = false;
    bool registryDelete = false;  // only for an input method: plain layouts stay in the catalogue
    bool install = false;
    std::string selectedEntry;  // the add box's item, which the registry Delete button removes
};

}  // namespace settings
