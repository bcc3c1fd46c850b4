// The hot keys of the list's entries and of the three toggle actions, as the main window
// shows and edits them through the hot-key editor.
#pragma once

#include <array>
#include <string>

#include "hotkey/hotkey_editor.h"
#include "settings/settings_model.h"

namespace hotkey {

// Shows the editor modally over the main window: the Win32 dialog, or a script in tests.
class EditorSession {
public:
    virtual ~EditorSession() = default;
    // True when the editor was closed with OK.
    virtual bool showModal(HotkeyEditor& editor, const EditorContext& context) = 0;
};

struct HandlerTexts {
    std::array<std::string, 3> toggleLabels;  // the toggle chooser's items, in slot order
    std::string duplicateMessage;
    std::string caption;  // the application's caption
};

class HotkeyHandlers {
public:
    HotkeyHandlers(settings::SettingsModel& model, HotkeyEditor& editor, EditorSession& session,
                   settings::UserPrompts& prompts, HandlerTexts texts)
        : model_(model), editor_(editor), session_(session), prompts_(prompts), texts_(std::move(texts)) {}

    // The Hotkey button, or a double-click right of the name column: edits the selected row's
    // hot key. Nothing happens with no row selected.
    void editEntryHotkey();
    // The toggle hot-key button: edits the hot key of the chooser's action.
    void editToggleHotkey();
    // The chooser's selection changed to `slot`.
    void toggleSelectionChanged(int slot);
    // The pointer moves over the chooser or the toggle hot-key button.
    void toggleHover();

    // What the editor compares with, from the window's current state.
    EditorContext editorContext(int editingSlot) const;

private:
    std::string slotText(int slot) const;

    settings::SettingsModel& model_;
    HotkeyEditor& editor_;
    EditorSession& session_;
    settings::UserPrompts& prompts_;
    HandlerTexts texts_;
};

// A double-click at x (from the left edge of the first row) inside the name column opens the
// entry's properties; anywhere else it edits the entry's hot key.
inline bool doubleClickOpensProperties(int x, int nameColumnWidth) { return x >= 0 && x < nameColumnWidth; }

}  // namespace hotkey
