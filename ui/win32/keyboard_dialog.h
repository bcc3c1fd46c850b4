// The keyboard-layout dialog: which layout an input method sits on, and a choice of another.
#pragma once

#include <memory>

#include "toolkit/controls.h"
#include "toolkit/graphics.h"
#include "toolkit/window.h"
#include "ui/keyboard_layouts.h"
#include "ui/texts.h"

namespace ui {

class KeyboardDialog : public toolkit::Dialog {
public:
    KeyboardDialog(const settings::Registry& registry, platform::System& system);

    // Creates the hidden dialog, with its language taken from the system's locale again, under the
    // application window, the owner of the window it opens over (see showFor).
    bool create(HWND over);
    // Shows the dialog modally for a row; OK writes the chosen layout into the catalogue.
    void showFor(HWND owner, const std::string& rowText, const std::string& klid);

protected:
    void onInit() override;
    void onShow() override;
    void onOk() override;
    void onCancel() override;

private:
    KeyboardLayouts layouts_;
    KeyboardDialogTexts texts_;
    toolkit::Font font_;
    toolkit::Label inputMethod_, currentLabel_, newLabel_;
    toolkit::Button ok_, cancel_;
    toolkit::Edit current_;
    toolkit::ComboBox choice_;
};

}  // namespace ui
