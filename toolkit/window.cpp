#include "toolkit/window.h"

#include <vector>

#include "toolkit/controls.h"
#include "toolkit/message_loop.h"

namespace toolkit {
namespace {

bool canTakeFocus(HWND top, HWND hwnd) {
    return hwnd && IsWindow(hwnd) && IsChild(top, hwnd) && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd);
}

}  // namespace

// ---- TopLevel

void TopLevel::setDefaultButton(Button& button) {
    if (defaultButton_ && defaultButton_ != &button && defaultButton_->exists()) defaultButton_->setDefaultLook(false);
    defaultButton_ = &button;
    SendMessageA(hwnd_, DM_SETDEFID, static_cast<WPARAM>(button.id()), 0);
    button.setDefaultLook(true);
}

void TopLevel::setCancelButton(Button& button) { cancelButton_ = &button; }

void TopLevel::centre() {
    RECT work{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
        work = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    RECT r{};
    GetWindowRect(hwnd_, &r);
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TopLevel::resizeClient(int width, int height) {
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_STYLE)), GetMenu(hwnd_) != nullptr,
                       static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_EXSTYLE)));
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TopLevel::forgetWindow() {
    if (!hwnd_) return;
    removeNavigableWindow(hwnd_);
    RemovePropA(hwnd_, kFontHeightProperty);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
}

bool TopLevel::handleCommon(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (reflectToControl(msg, wParam, lParam, result)) return true;
    switch (msg) {
    case WM_COMMAND: {
        // Reached only when no child object took the command: the default or cancel button
        // without a click handler, or Enter / Esc / the close box sent by the dialog manager
        // with no control attached.
        auto control = reinterpret_cast<HWND>(lParam);
        int id = LOWORD(wParam);
        bool isDefault = defaultButton_ && control && control == defaultButton_->hwnd();
        bool isCancel = cancelButton_ && control && control == cancelButton_->hwnd();
        if (isDefault || (!control && id == IDOK)) {
            if (defaultButton_ && defaultButton_->onClick) {
                if (defaultButton_->isEnabled()) defaultButton_->onClick();
            } else {
                defaultPressed();
            }
            result = 0;
            return true;
        }
        if (isCancel || (!control && id == IDCANCEL)) {
            if (cancelButton_ && cancelButton_->onClick) {
                if (cancelButton_->isEnabled()) cancelButton_->onClick();
            } else {
                cancelPressed();
            }
            result = 0;
            return true;
        }
        return false;
    }
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wParam);
        result = 0;
        return true;
    case WM_GETFONT:
        result = reinterpret_cast<LRESULT>(font_);
        return true;
    default:
        return false;
    }
}

// ---- Window

Window::~Window() {
    if (!hwnd_) return;
    HWND hwnd = hwnd_;
    forgetWindow();
    DestroyWindow(hwnd);
}

bool Window::create(const Args& a) {
    if (hwnd_ || !registerWindowClass(a.className, &Window::proc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))) return false;
    quitOnDestroy_ = a.quitOnDestroy;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT r{0, 0, a.clientWidth, a.clientHeight};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    CreateWindowExA(0, a.className.c_str(), a.title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT, r.right - r.left,
                    r.bottom - r.top, a.owner, nullptr, instance, this);
    if (!hwnd_) return false;
    addNavigableWindow(hwnd_);
    if (a.iconResource) {
        // Shared icons of the system's standard sizes: nothing to free.
        HANDLE big = LoadImageA(instance, a.iconResource, IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                GetSystemMetrics(SM_CYICON), LR_SHARED);
        HANDLE small = LoadImageA(instance, a.iconResource, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                  GetSystemMetrics(SM_CYSMICON), LR_SHARED);
        if (big) SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
        if (small) SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    }
    return true;
}

void Window::destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void Window::appendSystemMenu(UINT flags, UINT command, const std::string& text) {
    HMENU menu = GetSystemMenu(hwnd_, FALSE);
    if (!menu) return;
    AppendMenuA(menu, flags, command, (flags & MF_SEPARATOR) ? nullptr : text.c_str());
}

void Window::cancelPressed() {}

LRESULT CALLBACK Window::proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        self->forgetWindow();
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    return self->handle(msg, wParam, lParam);
}

LRESULT Window::handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = hwnd_;
    LRESULT result = 0;
    if (handleCommon(msg, wParam, lParam, result)) return result;
    switch (msg) {
    case DM_GETDEFID:
        // IsDialogMessage asks which button Enter presses.
        if (defaultButton_ && defaultButton_->exists()) return MAKELRESULT(defaultButton_->id(), DC_HASDEFID);
        return 0;
    case WM_ACTIVATE:
        // A plain window forgets its focused control when deactivated; keep it, as dialogs do.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(hwnd, focus)) savedFocus_ = focus;
            return 0;
        }
        if (!HIWORD(wParam)) {
            HWND target = canTakeFocus(hwnd, savedFocus_) ? savedFocus_ : GetNextDlgTabItem(hwnd, nullptr, FALSE);
            if (canTakeFocus(hwnd, target)) {
                SetFocus(target);
                return 0;
            }
        }
        break;
    case WM_SYSCOMMAND:
        if (onSystemCommand && onSystemCommand(static_cast<UINT>(wParam))) return 0;
        break;
    case WM_CLOSE:
        if (onClose) {
            onClose();
        } else {
            DestroyWindow(hwnd);
        }
        return 0;
    case WM_DESTROY:
        if (onDestroy) onDestroy();
        if (quitOnDestroy_) PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// ---- Dialog

Dialog::~Dialog() {
    if (!hwnd_) return;
    HWND hwnd = hwnd_;
    forgetWindow();
    DestroyWindow(hwnd);
}

bool Dialog::create(HWND owner, const Args& a) {
    if (hwnd_) return false;
    initCommonControls();
    args_ = a;
    // An empty in-memory template: no controls, no font, a modal frame without caption icon.
    // Its size is set in pixels once the window exists.
    std::vector<DWORD> buffer(16, 0);
    auto* tmpl = reinterpret_cast<DLGTEMPLATE*>(buffer.data());
    tmpl->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | DS_MODALFRAME | DS_3DLOOK;
    tmpl->dwExtendedStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    // After the header come three empty words: no menu, the standard class, no title.
    CreateDialogIndirectParamA(GetModuleHandleA(nullptr), tmpl, owner, &Dialog::proc, reinterpret_cast<LPARAM>(this));
    return hwnd_ != nullptr;
}

int Dialog::run(HWND owner) {
    if (!hwnd_ || running_) return -1;
    running_ = true;
    ended_ = false;
    result_ = IDCANCEL;
    if (owner && GetWindow(hwnd_, GW_OWNER) != owner) {
        SetWindowLongPtrA(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    }
    onShow();
    // Enable the owner again before hiding the dialog, so that the owner, not some other
    // program, is activated afterwards.
    bool disabledOwner = owner && IsWindowEnabled(owner);
    if (disabledOwner) EnableWindow(owner, FALSE);
    ShowWindow(hwnd_, SW_SHOW);
    SetActiveWindow(hwnd_);
    if (HWND first = GetNextDlgTabItem(hwnd_, nullptr, FALSE)) {
        SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
    }
    MSG msg;
    while (!ended_ && hwnd_) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
            break;
        }
        if (got == -1) break;
        if (!translateDialogMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (disabledOwner) EnableWindow(owner, TRUE);
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
    running_ = false;
    return ended_ ? result_ : IDCANCEL;
}

void Dialog::end(int code) {
    result_ = code;
    ended_ = true;
    // Wakes the loop when end() comes from outside a message it dispatched.
    if (hwnd_) PostMessageA(hwnd_, WM_NULL, 0, 0);
}

void Dialog::cancelPressed() { onCancel(); }

INT_PTR CALLBACK Dialog::proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, lParam);
        self->hwnd_ = hwnd;
        addNavigableWindow(hwnd);
        SetWindowTextA(hwnd, self->args_.title.c_str());
        self->resizeClient(self->args_.clientWidth, self->args_.clientHeight);
        self->centre();
        self->onInit();
        return FALSE;  // no focus yet: the dialog is hidden
    }
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return FALSE;
    if (msg == WM_NCDESTROY) {
        self->forgetWindow();
        return FALSE;
    }
    LRESULT result = 0;
    if (!self->handle(msg, wParam, lParam, result)) return FALSE;
    switch (msg) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
        return static_cast<INT_PTR>(result);  // dialog procedures return these brushes directly
    default:
        SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
}

bool Dialog::handle(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return handleCommon(msg, wParam, lParam, result);
}

}  // namespace toolkit
