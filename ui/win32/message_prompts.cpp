#include "ui/win32/message_prompts.h"

namespace ui {

bool MessagePrompts::show(const settings::MessageBoxRequest& request) {
    using Request = settings::MessageBoxRequest;
    UINT flags = request.okCancel ? MB_OKCANCEL : MB_OK;
    if (request.icon == Request::Icon::Information) flags |= MB_ICONINFORMATION;
    if (request.icon == Request::Icon::Exclamation) flags |= MB_ICONEXCLAMATION;
    if (request.foreground) flags |= MB_SETFOREGROUND;
    HWND active = GetActiveWindow();
    HWND owner = request.owner == Request::Owner::Application ? (application_ ? application_() : nullptr) : active;
    bool ok = MessageBoxA(owner, request.text.c_str(), request.caption.c_str(), flags) == IDOK;
    // A box owned by the hidden application window hands the activation to that window when it
    // closes, and the keyboard no longer reaches the window the user was working in: give it back.
    if (active && active != owner && GetActiveWindow() != active && IsWindow(active) && IsWindowVisible(active) &&
        IsWindowEnabled(active)) {
        SetForegroundWindow(active);
        SetActiveWindow(active);
    }
    return ok;
}

}  // namespace ui
