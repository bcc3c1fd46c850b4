// The hot-key editor's behaviour: check boxes for Ctrl, Alt and Shift, a key list, Left and
// Right, and "Enable hotkey". The Win32 dialog shows this state and forwards its events here.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "settings/hotkey_text.h"
#include "settings/prompts.h"
#include "settings/snapshot.h"

namespace hotkey {

// What the editor needs of the main window for its duplicate test.
struct EditorContext {
    std::vector<std::string> rowHotkeyTexts;  // the list's second column, row by row
    int selectedRow = -1;
    std::array<settings::ToggleSlot, 3> toggles;
    int toggleChoiceCount = 3;
    int editingSlot = -1;  // the toggle slot being edited, which is no duplicate of itself
    SidePrefixes sides;
    std::string duplicateMessage;
    std::string caption;  // title of the duplicate message box
};

class HotkeyEditor {
public:
    // Controls. keyIndex 0 is the "none" item; n is row n-1 of the key-name table.
    std::string targetLabel;
    bool enableChecked = false;
    bool ctrl = false, alt = false, shift = false;
    bool left = true, right = true;
    int keyIndex = 0;
    bool controlsEnabled = true;  // Ctrl, Alt, Shift, the key list, Left, Right and "+"
    // A stored key code that the key list cannot show (Esc, say): the list shows "none", and OK
    // keeps this key until the user chooses one.
    std::string keptKey;

    // Results, kept between uses.
    std::string value;        // the editor value: side, modifier and key codes, or empty
    std::string displayText;  // its display text, empty with the value

    // Sets the controls from a stored hot key (either text may be empty).
    void setUp(const std::string& modifierText, const std::string& keyText);
    // The user chose item `index` of the key list.
    void chooseKey(int index);
    // Each time the editor becomes visible.
    void onShow();
    // A click on "Enable hotkey" (which toggles it).
    void clickEnable();
    // OK: computes the value and display text; false when the hot key is refused as a
    // duplicate (the message has been shown and the editor stays open).
    bool ok(const EditorContext& context, settings::UserPrompts& prompts);

private:
    void applyEnableRule();
};

}  // namespace hotkey
