// The model's message boxes as real Win32 message boxes.
#pragma once

#include <windows.h>

#include "settings/prompts.h"

namespace ui {

// Gives the application window, making it when first asked.
using ApplicationWindow = HWND (*)();

class MessagePrompts : public settings::UserPrompts {
public:
    // Boxes "owned by the application" get this window as owner.
    void setApplicationWindow(ApplicationWindow window) { application_ = window; }
    bool show(const settings::MessageBoxRequest& request) override;

private:
    ApplicationWindow application_ = nullptr;
};

}  // namespace ui
