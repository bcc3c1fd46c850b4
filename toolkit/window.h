// Top-level windows: the program's fixed-size main window and the modal dialog, in the shape of
// 7-Zip's CModalDialog. Both pass their children's notifications to the child objects, press the
// default button on Enter and the cancel button on Esc (through the message loop's
// IsDialogMessage), and keep the keyboard focus across deactivation.
#pragma once

#include "toolkit/control.h"

namespace toolkit {

class Button;

// What a window and a dialog share: the default and the cancel button, the font the window
// answers to WM_GETFONT (new controls take it) and the focus remembered while inactive.
class TopLevel : public WindowBase {
public:
    // Enter presses it; it is drawn with the heavy border.
    void setDefaultButton(Button& button);
    // Esc presses it (and, in a dialog, the close box).
    void setCancelButton(Button& button);

    // Centres the window on the desktop's work area (the screen without the task bar).
    void centre();
    void setTitle(const std::string& title) { setText(title); }

protected:
    ~TopLevel() = default;
    // Reflection to the child objects and the messages every top-level window answers alike.
    bool handleCommon(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Enter with no default button handler, Esc, the close box of a dialog.
    virtual void defaultPressed() {}
    virtual void cancelPressed() {}
    void resizeClient(int width, int height);
    void forgetWindow();

    Button* defaultButton_ = nullptr;
    Button* cancelButton_ = nullptr;
    HFONT font_ = nullptr;
    HWND savedFocus_ = nullptr;
};

// A fixed-size top-level window: caption with system menu and minimise box, no maximise box,
// not resizable, client area of the given size.
class Window : public TopLevel {
public:
    struct Args {
        std::string title;
        int clientWidth = 0;
        int clientHeight = 0;
        const char* iconResource = nullptr;  // icon resource name, such as "MAINICON"
        HWND owner = nullptr;
        std::string className = "toolkit.window";
        bool quitOnDestroy = false;  // the program's main window ends the message loop
    };

    Window() = default;
    ~Window();
    // Creates the window hidden; show() and centre() it when its controls are built.
    bool create(const Args& a);

    // A command of the system menu, with the identifier as sent (compare application
    // commands exactly, system ones after masking with 0xFFF0). True: handled, the default
    // handling is skipped.
    std::function<bool(UINT command)> onSystemCommand;
    // The close box, Alt+F4 or close(): without a handler the window is destroyed.
    std::function<void()> onClose;
    std::function<void()> onDestroy;

    // Asks the window to close, as its close box does.
    void close() { SendMessageA(hwnd_, WM_CLOSE, 0, 0); }
    void destroy();
    // Appends an item to the system menu (MF_SEPARATOR, MF_STRING, MF_CHECKED...).
    void appendSystemMenu(UINT flags, UINT command, const std::string& text);

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT msg, WPARAM wParam, LPARAM lParam);
    void cancelPressed() override;
    bool quitOnDestroy_ = false;
};

// A modal dialog created once, hidden between uses and shown with run(). Derive from it, build
// the controls in onInit, and end it with end(code).
class Dialog : public TopLevel {
public:
    struct Args {
        std::string title;
        int clientWidth = 0;
        int clientHeight = 0;
    };

    Dialog() = default;
    virtual ~Dialog();

    // Creates the hidden dialog window, owned by owner, centred on the screen, and calls onInit.
    bool create(HWND owner, const Args& a);
    // Shows the dialog modally: the owner is disabled and a nested message loop runs until
    // end() is called; then the owner is enabled again and the dialog hidden. Returns the code
    // given to end(); IDCANCEL when the dialog went away otherwise (WM_QUIT, destroyed); -1
    // when it cannot run (not created, or already running).
    int run(HWND owner);
    void end(int code);
    bool isRunning() const { return running_; }

protected:
    // Once, when the dialog window exists: build the controls here.
    virtual void onInit() {}
    // Before every showing.
    virtual void onShow() {}
    // The default button (or Enter) when its onClick is not set.
    virtual void onOk() { end(IDOK); }
    // Esc, the close box, or the cancel button when its onClick is not set.
    virtual void onCancel() { end(IDCANCEL); }

private:
    static INT_PTR CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool handle(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void defaultPressed() override { onOk(); }
    void cancelPressed() override;

    Args args_;
    bool running_ = false;
    bool ended_ = false;
    int result_ = IDCANCEL;
};

}  // namespace toolkit
