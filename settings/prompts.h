// The modal steps in the middle of an operation: a message box that the user must close, or a
// question answered with OK or Cancel. The window answers them with real message boxes; tests
// answer them from a script.
#pragma once

#include <string>

namespace settings {

struct MessageBoxRequest {
    enum class Owner { Application, ActiveWindow };
    enum class Icon { None, Information, Exclamation };

    std::string text;
    std::string caption;
    bool okCancel = false;  // OK and Cancel buttons; otherwise OK only
    Icon icon = Icon::None;
    Owner owner = Owner::Application;
    bool foreground = false;  // MB_SETFOREGROUND
};

class UserPrompts {
public:
    virtual ~UserPrompts() = default;
    // Shows the box and waits until it is closed; true when it was closed with OK.
    virtual bool show(const MessageBoxRequest& request) = 0;
};

}  // namespace settings
