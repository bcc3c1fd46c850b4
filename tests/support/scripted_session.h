// The hot-key editor shown by a script instead of a dialog.
#pragma once

#include <functional>
#include <string>

#include "hotkey/hotkey_handlers.h"

namespace testing_support {

// Plays the user's part in the editor: `script` sets the controls as the user would and
// returns false to cancel; then OK is pressed once (a refused OK leaves the editor cancelled).
class ScriptedSession : public hotkey::EditorSession {
public:
    explicit ScriptedSession(settings::UserPrompts& prompts) : prompts_(prompts) {}
    std::function<bool(hotkey::HotkeyEditor&)> script;
    std::string opened;  // the label and the boxes as the editor opened
    bool showModal(hotkey::HotkeyEditor& editor, const hotkey::EditorContext& context) override {
        editor.onShow();
        opened = editor.targetLabel + (editor.enableChecked ? " enabled" : " disabled");
        if (!script || !script(editor)) return false;
        return editor.ok(context, prompts_);
    }

private:
    settings::UserPrompts& prompts_;
};

}  // namespace testing_support
