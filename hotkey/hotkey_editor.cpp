#include "hotkey/hotkey_editor.h"

#include "platform/text.h"

namespace hotkey {

void HotkeyEditor::setUp(const std::string& modifierText, const std::string& keyText) {
    if (modifierText.empty()) {
        ctrl = alt = shift = false;
        left = right = false;
    } else {
        std::string_view code = textPart(modifierText, 7, 2);
        if (!modifierName(code).empty()) {
            int bits = static_cast<int>(platform::readHex(code));
            alt = (bits & 1) != 0;
            ctrl = (bits & 2) != 0;
            shift = (bits & 4) != 0;
        }
        std::string_view side = textPart(modifierText, 5, 2);
        if (side == "40") left = false, right = true;
        if (side == "80") left = true, right = false;
        if (side == "C0") left = right = true;
    }
    keyIndex = 0;
    keptKey.clear();
    if (!keyText.empty()) {
        enableChecked = true;
        std::string code = platform::upperAscii(textPart(keyText, 7, 2));
        int row = KeyNameTable::instance().findCode(code);
        if (row >= 0) {
            keyIndex = row + 1;
        } else {
            keptKey = code;
        }
    }
}

void HotkeyEditor::chooseKey(int index) {
    keyIndex = index;
    keptKey.clear();
}

void HotkeyEditor::applyEnableRule() {
    controlsEnabled = enableChecked;
    if (!enableChecked) {
        ctrl = alt = shift = false;
        left = right = false;
        keyIndex = 0;
        keptKey.clear();
    }
}

void HotkeyEditor::onShow() { applyEnableRule(); }

void HotkeyEditor::clickEnable() {
    enableChecked = !enableChecked;
    applyEnableRule();
    if (enableChecked) left = right = true;
}

bool HotkeyEditor::ok(const EditorContext& context, settings::UserPrompts& prompts) {
    std::string v;
    std::string t;
    int bits = (alt ? 1 : 0) | (ctrl ? 2 : 0) | (shift ? 4 : 0);
    if (bits != 0) {
        v = platform::hexText(static_cast<uint32_t>(bits), 2);
        t = modifierName(v);
        if (left && right) {
            v = "C0" + v;
        } else if (right) {
            v = "40" + v;
            t = context.sides.right + t;
        } else if (left) {
            v = "80" + v;
            t = context.sides.left + t;
        }
        if (!left && !right) v.clear();
    }
    // A kept key has no name: the text shows no key part, as the formatter shows it.
    const auto& keys = KeyNameTable::instance();
    std::string keyCode = keyIndex == 0 ? keptKey : std::string();
    std::string keyPart;
    if (keyIndex > 0 && keyIndex <= static_cast<int>(keys.size())) {
        const KeyName& key = keys.row(static_cast<size_t>(keyIndex - 1));
        keyCode = key.code;
        keyPart = "+" + key.name;
    }
    bool noKey = keyCode.empty();
    if (noKey) v.clear();
    if (!v.empty()) {
        v += keyCode;
        t += keyPart;
    } else {
        t.clear();
    }
    if (noKey || !enableChecked) {
        v.clear();
        t.clear();
    }
    value = v;
    displayText = t;
    if (t.empty()) return true;

    bool duplicate = false;
    for (size_t r = 0; r < context.rowHotkeyTexts.size(); ++r) {
        if (static_cast<int>(r) != context.selectedRow && context.rowHotkeyTexts[r] == t) duplicate = true;
    }
    for (int s = 0; s < context.toggleChoiceCount && s < 3; ++s) {
        if (s == context.editingSlot) continue;
        const auto& slot = context.toggles[static_cast<size_t>(s)];
        if (FormatHotkeyText(slot.modifierText, slot.keyText, context.sides) == t) duplicate = true;
    }
    if (!duplicate) return true;
    // Owned by the editor, which stays open under it: the editor waits until the box is closed.
    settings::MessageBoxRequest box;
    box.text = context.duplicateMessage;
    box.caption = context.caption;
    box.owner = settings::MessageBoxRequest::Owner::ActiveWindow;
    prompts.show(box);
    value.clear();
    displayText.clear();
    return false;
}

}  // namespace hotkey
