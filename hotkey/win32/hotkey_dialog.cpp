#include "hotkey/win32/hotkey_dialog.h"

#include <vector>

namespace hotkey {

HotkeyDialog::HotkeyDialog(settings::UiLanguage language, int fontHeight, settings::UserPrompts& prompts)
    : texts_(editorTexts(language)), font_("Tahoma", fontHeight), prompts_(prompts) {}

bool HotkeyDialog::create(HWND over) {
    owner_ = over;
    return Dialog::create(GetWindow(over, GW_OWNER), {texts_.title, 193, 189});
}

void HotkeyDialog::onInit() {
    font_.applyTo(hwnd(), false);
    HWND d = hwnd();
    target_.create({d, "", {8, 8}});
    ok_.create({d, texts_.ok, {16, 160, 0, 25}, true});
    cancel_.create({d, texts_.cancel, {112, 160, 0, 25}});
    enable_.create({d, texts_.enableHotkey, {12, 29}});
    keyGroup_.create({d, texts_.keyGroup, {12, 56, 169, 97}});
    HWND g = keyGroup_.hwnd();
    plus_.create({g, "+", {16, 46}});
    ctrl_.create({g, "Ctrl", {11, 16}});
    alt_.create({g, "Alt", {63, 16}});
    shift_.create({g, "Shift", {115, 16}});
    key_.create({g, {30, 42, 109, 0}});
    key_.setBackground(COLOR_WINDOW);
    left_.create({g, texts_.left, {29, 71}, true});
    right_.create({g, texts_.right, {109, 71}, true});
    key_.add(texts_.noKey);
    const auto& keys = KeyNameTable::instance();
    for (size_t i = 0; i < keys.size(); ++i) key_.add(keys.row(i).name);
    key_.select(0);
    key_.onSelectionChanged = [this] {
        if (editor_) editor_->chooseKey(key_.selectedIndex() < 0 ? 0 : key_.selectedIndex());
    };
    setDefaultButton(ok_);
    setCancelButton(cancel_);
    enable_.onClick = [this] {
        if (!editor_) return;
        readControls();
        // The box has already changed; the editor's click changes it again, to the same state.
        editor_->enableChecked = !enable_.isChecked();
        editor_->clickEnable();
        showEditor();
    };
    font_.applyTo(d, true);
}

bool HotkeyDialog::showModal(HotkeyEditor& editor, const EditorContext& context) {
    editor_ = &editor;
    context_ = &context;
    showEditor();
    int result = run(owner_);
    editor_ = nullptr;
    context_ = nullptr;
    return result == IDOK;
}

void HotkeyDialog::onShow() {
    if (!editor_) return;
    editor_->onShow();
    showEditor();
}

void HotkeyDialog::showEditor() {
    const HotkeyEditor& e = *editor_;
    target_.setText(e.targetLabel);
    enable_.setChecked(e.enableChecked);
    ctrl_.setChecked(e.ctrl);
    alt_.setChecked(e.alt);
    shift_.setChecked(e.shift);
    left_.setChecked(e.left);
    right_.setChecked(e.right);
    key_.select(e.keyIndex);
    for (toolkit::Control* c : std::vector<toolkit::Control*>{&ctrl_, &alt_, &shift_, &key_, &left_, &right_, &plus_}) {
        c->enable(e.controlsEnabled);
    }
}

void HotkeyDialog::readControls() {
    HotkeyEditor& e = *editor_;
    e.enableChecked = enable_.isChecked();
    e.ctrl = ctrl_.isChecked();
    e.alt = alt_.isChecked();
    e.shift = shift_.isChecked();
    e.left = left_.isChecked();
    e.right = right_.isChecked();
    e.keyIndex = key_.selectedIndex() < 0 ? 0 : key_.selectedIndex();
}

void HotkeyDialog::onOk() {
    if (!editor_ || !context_) {
        end(IDCANCEL);
        return;
    }
    readControls();
    if (editor_->ok(*context_, prompts_)) end(IDOK);
}

}  // namespace hotkey
