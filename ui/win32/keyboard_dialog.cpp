#include "ui/win32/keyboard_dialog.h"

#include "ui/win32/dialog_font.h"

namespace ui {

KeyboardDialog::KeyboardDialog(const settings::Registry& registry, platform::System& system)
    : layouts_(registry, system),
      texts_(keyboardDialogTexts(settings::uiLanguageFor(system.systemDefaultLcid()))),
      font_("Tahoma", dialogFontHeight(settings::WindowsVersion(system.version()))) {}

bool KeyboardDialog::create(HWND over) { return Dialog::create(GetWindow(over, GW_OWNER), {texts_.title, 255, 124}); }

void KeyboardDialog::onInit() {
    font_.applyTo(hwnd(), false);
    HWND d = hwnd();
    inputMethod_.create({d, "", {15, 8}});
    currentLabel_.create({d, texts_.currentLabel, {15, 32}});
    newLabel_.create({d, texts_.newLabel, {15, 64}});
    ok_.create({d, texts_.ok, {51, 96}, true});
    cancel_.create({d, texts_.cancel, {147, 96}});
    current_.create({d, "", {79, 28, 169, 0}, true});
    current_.setBackground(COLOR_INFOBK);
    choice_.create({d, {80, 61, 169, 0}});
    choice_.setBackground(COLOR_WINDOW);
    for (const auto& layout : layouts_.layouts()) choice_.add(layout.name);
    choice_.select(-1);
    setDefaultButton(ok_);
    setCancelButton(cancel_);
    font_.applyTo(d, true);
}

void KeyboardDialog::showFor(HWND owner, const std::string& rowText, const std::string& klid) {
    layouts_.show(rowText, klid);
    run(owner);
}

void KeyboardDialog::onShow() {
    inputMethod_.setText(layouts_.inputMethodLabel());
    current_.setText(layouts_.currentLayout());
    choice_.select(layouts_.choice);
}

void KeyboardDialog::onOk() {
    layouts_.close(choice_.selectedIndex(), true);
    end(IDOK);
}

void KeyboardDialog::onCancel() {
    layouts_.close(choice_.selectedIndex(), false);
    end(IDCANCEL);
}

}  // namespace ui
