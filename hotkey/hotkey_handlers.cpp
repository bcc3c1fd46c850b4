#include "hotkey/hotkey_handlers.h"

#include <algorithm>

namespace hotkey {

EditorContext HotkeyHandlers::editorContext(int editingSlot) const {
    EditorContext context;
    for (const auto& row : model_.snapshot.rows) context.rowHotkeyTexts.push_back(row.hotkeyText);
    context.selectedRow = model_.window.listSelection;
    context.toggles = model_.snapshot.toggles;
    context.toggleChoiceCount = model_.window.toggleChoiceCount;
    context.editingSlot = editingSlot;
    context.sides = model_.texts().sides;
    context.duplicateMessage = texts_.duplicateMessage;
    context.caption = texts_.caption;
    return context;
}

void HotkeyHandlers::editEntryHotkey() {
    auto& s = model_.snapshot;
    int r = model_.window.listSelection;
    if (r < 0 || r >= static_cast<int>(s.rows.size())) return;
    settings::PreloadRow& row = s.rows[static_cast<size_t>(r)];
    if (row.unreadable) return;  // it names no entry a hot key could switch to
    editor_.targetLabel = row.shownName;

    // The row's record; a hot-key text without a record counts as no hot key.
    auto record = row.hotkeyText.empty() ? s.records.end() : s.records.begin();
    while (record != s.records.end() && record->target != row.klid) ++record;
    bool hadHotkey = record != s.records.end();
    if (hadHotkey) {
        editor_.setUp(record->modifierText, record->keyText);
    } else {
        editor_.enableChecked = false;
    }
    size_t recordIndex = static_cast<size_t>(record - s.records.begin());

    if (session_.showModal(editor_, editorContext(-1))) {
        const std::string& v = editor_.value;
        if (!v.empty() && !hadHotkey) {
            s.records.push_back({modifierTextOf(v), row.klid, keyTextOf(v)});
        } else if (!v.empty()) {
            s.records[recordIndex].modifierText = modifierTextOf(v);
            s.records[recordIndex].keyText = keyTextOf(v);
        } else if (hadHotkey) {
            s.records.erase(s.records.begin() + static_cast<long>(recordIndex));
        }
        row.hotkeyText = v.empty() ? std::string() : editor_.displayText;
    }
    editor_.value.clear();
}

std::string HotkeyHandlers::slotText(int slot) const {
    const settings::ToggleSlot& t = model_.snapshot.toggles[static_cast<size_t>(slot)];
    return FormatHotkeyText(t.modifierText, t.keyText, model_.texts().sides);
}

void HotkeyHandlers::editToggleHotkey() {
    auto& w = model_.window;
    int s = std::max(0, std::min(w.toggleChoice, w.toggleChoiceCount - 1));
    settings::ToggleSlot& slot = model_.snapshot.toggles[static_cast<size_t>(s)];
    editor_.targetLabel = texts_.toggleLabels[static_cast<size_t>(s)];
    editor_.setUp(slot.modifierText, slot.keyText);
    // An empty slot opens with "Enable hotkey" cleared, as an entry without a hot key does.
    if (slot.empty()) editor_.enableChecked = false;
    if (!session_.showModal(editor_, editorContext(s))) return;

    if (!editor_.enableChecked) {
        slot = {};
        w.toggleButtonCaption.clear();
        return;
    }
    const std::string& t = editor_.displayText;
    if (t.empty()) return;
    bool duplicate = false;
    for (const auto& row : model_.snapshot.rows) duplicate = duplicate || row.hotkeyText == t;
    for (int other = 0; other < w.toggleChoiceCount && other < 3; ++other) {
        if (other != s && slotText(other) == t) duplicate = true;
    }
    if (duplicate) {
        settings::MessageBoxRequest box;
        box.text = texts_.duplicateMessage;
        box.caption = texts_.caption;
        box.owner = settings::MessageBoxRequest::Owner::ActiveWindow;
        prompts_.show(box);
        editor_.displayText.clear();
        return;
    }
    slot = {modifierTextOf(editor_.value), keyTextOf(editor_.value)};
    w.toggleButtonCaption = slotText(s);
}

void HotkeyHandlers::toggleSelectionChanged(int slot) {
    auto& w = model_.window;
    if (slot < 0 || slot >= w.toggleChoiceCount || slot >= 3) return;
    w.toggleChoice = slot;
    w.toggleButtonCaption = slotText(slot);
    toggleHover();
}

void HotkeyHandlers::toggleHover() {
    auto& w = model_.window;
    int s = std::max(0, std::min(w.toggleChoice, w.toggleChoiceCount - 1));
    w.status = texts_.toggleLabels[static_cast<size_t>(s)] + ": " + w.toggleButtonCaption;
}

}  // namespace hotkey
