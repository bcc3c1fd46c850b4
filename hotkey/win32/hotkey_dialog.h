// The hot-key editor dialog: created once at start-up, hidden between uses, shown modally by
// the entry and toggle hot-key handlers.
#pragma once

#include "hotkey/editor_texts.h"
#include "hotkey/hotkey_handlers.h"
#include "toolkit/controls.h"
#include "toolkit/graphics.h"
#include "toolkit/window.h"

namespace hotkey {

class HotkeyDialog : public toolkit::Dialog, public EditorSession {
public:
    HotkeyDialog(settings::UiLanguage language, int fontHeight, settings::UserPrompts& prompts);

    // Creates the hidden dialog under the application window, the owner of the window it opens
    // over (the main window, which it disables while it is shown).
    bool create(HWND over);
    // The window the dialog opens over.
    void setOwner(HWND owner) { owner_ = owner; }
    bool showModal(HotkeyEditor& editor, const EditorContext& context) override;

protected:
    void onInit() override;
    void onShow() override;
    void onOk() override;

private:
    void showEditor();
    void readControls();

    EditorTexts texts_;
    toolkit::Font font_;
    settings::UserPrompts& prompts_;
    HWND owner_ = nullptr;
    HotkeyEditor* editor_ = nullptr;
    const EditorContext* context_ = nullptr;

    toolkit::Label target_;
    toolkit::Button ok_, cancel_;
    toolkit::CheckBox enable_;
    toolkit::GroupBox keyGroup_;
    toolkit::Label plus_;
    toolkit::CheckBox ctrl_, alt_, shift_;
    toolkit::ComboBox key_;
    toolkit::CheckBox left_, right_;
};

}  // namespace hotkey
