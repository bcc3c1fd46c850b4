// The model's message boxes as real Win32 message boxes.
#pragma once

#include <windows.h>

#include "settings/prompts.h"

namespace ui {

class MessagePrompts : public settings::UserPrompts {
public:
    // Boxes "owned by the application" get this window as owner.
    void setApplicationWindow(HWND window) { application_ = window; }
    bool show(const settings::MessageBoxRequest& request) override;

private:
    HWND application_ = nullptr;
};

}  // namespace ui
