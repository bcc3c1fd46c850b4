#include "ui/win32/message_prompts.h"

namespace ui {

bool MessagePrompts::show(const settings::MessageBoxRequest& request) {
    using Request = settings::MessageBoxRequest;
    UINT flags = request.okCancel ? MB_OKCANCEL : MB_OK;
    if (request.icon == Request::Icon::Information) flags |= MB_ICONINFORMATION;
    if (request.icon == Request::Icon::Exclamation) flags |= MB_ICONEXCLAMATION;
    if (request.foreground) flags |= MB_SETFOREGROUND;
    HWND owner = request.owner == Request::Owner::Application ? application_ : GetActiveWindow();
    return MessageBoxA(owner, request.text.c_str(), request.caption.c_str(), flags) == IDOK;
}

}  // namespace ui
