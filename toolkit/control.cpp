#include "toolkit/control.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "platform/win32/system_library.h"

namespace toolkit {
namespace {

// Every live control object, sorted. A window's user data is trusted only when it names one
// of these, so a stray value in a window we did not create is never taken for an object.
std::vector<const Control*>& liveControls() {
    static std::vector<const Control*> controls;
    return controls;
}

std::vector<const Control*>::iterator livePlace(const Control* control) {
    auto& controls = liveControls();
    return std::lower_bound(controls.begin(), controls.end(), control);
}

bool isLive(const Control* control) {
    auto place = livePlace(control);
    return place != liveControls().end() && *place == control;
}

using platform::libraryFunction;

}  // namespace

std::string WindowBase::text() const {
    if (!hwnd_) return {};
    int length = GetWindowTextLengthA(hwnd_);
    if (length <= 0) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int got = GetWindowTextA(hwnd_, &text[0], length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

void WindowBase::setText(const std::string& text) {
    if (!hwnd_) return;
    SetWindowTextA(hwnd_, text.c_str());
    textChanged();
}

Rect WindowBase::rect() const {
    RECT r{};
    if (!hwnd_ || !GetWindowRect(hwnd_, &r)) return {};
    if (GetWindowLongA(hwnd_, GWL_STYLE) & WS_CHILD) {
        MapWindowPoints(HWND_DESKTOP, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
    }
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Control::~Control() { detach(); }

Control* Control::fromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    auto* candidate = reinterpret_cast<Control*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!candidate || !isLive(candidate)) return nullptr;
    return candidate->hwnd_ == hwnd ? candidate : nullptr;
}

bool Control::create(const Creation& c) {
    if (hwnd_) return false;
    // Controls take the common controls' classes; a frame without controls needs none, so the
    // library is loaded with the first control.
    initCommonControls();
    int id = c.id ? c.id : nextControlId();
    hwnd_ = CreateWindowExA(c.exStyle, c.className, c.text.c_str(), c.style | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                            c.pos.x, c.pos.y, c.pos.w, c.pos.h, c.parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    if (!hwnd_) return false;
    if (!isLive(this)) liveControls().insert(livePlace(this), this);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Control::subclassProc)));

    // A new control speaks in its parent's font until told otherwise.
    if (HFONT font = reinterpret_cast<HFONT>(SendMessageA(c.parent, WM_GETFONT, 0, 0))) {
        SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (HANDLE height = GetPropA(c.parent, kFontHeightProperty)) SetPropA(hwnd_, kFontHeightProperty, height);
    }
    refit();
    return true;
}

void Control::detach() {
    if (!hwnd_) return;
    if (GetWindowLongPtrA(hwnd_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&Control::subclassProc) && original_) {
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    }
    if (GetWindowLongPtrA(hwnd_, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this)) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    }
    RemovePropA(hwnd_, kFontHeightProperty);
    if (isLive(this)) liveControls().erase(livePlace(this));
    hwnd_ = nullptr;
}

LRESULT Control::callOriginal(UINT msg, WPARAM wParam, LPARAM lParam) {
    return original_ ? CallWindowProcA(original_, hwnd_, msg, wParam, lParam) : DefWindowProcA(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK Control::subclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Control* control = fromHandle(hwnd);
    if (!control) return DefWindowProcA(hwnd, msg, wParam, lParam);
    WNDPROC original = control->original_;
    if (msg == WM_NCDESTROY) {
        control->detach();
        return CallWindowProcA(original, hwnd, msg, wParam, lParam);
    }
    LRESULT result = 0;
    if (control->message(msg, wParam, lParam, result)) return result;
    return CallWindowProcA(original, hwnd, msg, wParam, lParam);
}

bool Control::message(UINT msg, WPARAM, LPARAM lParam, LRESULT&) {
    if (msg == WM_MOUSEMOVE && onMouseMove) {
        onMouseMove(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    }
    return false;
}

void Control::setBackground(int sysColor) {
    background_ = sysColor;
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

SIZE Control::fittedSize(HDC, const std::string&) const { return SIZE{0, 0}; }

void Control::refit() {
    if (!autoSize_ || !hwnd_) return;
    HDC dc = GetDC(hwnd_);
    if (!dc) return;
    SIZE size = fittedSize(dc, text());
    ReleaseDC(hwnd_, dc);
    if (widthLimit_ > 0 && size.cx > widthLimit_) size.cx = widthLimit_;
    if (size.cy > 0) {
        SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

bool reflectToControl(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_COMMAND:
        if (Control* c = Control::fromHandle(reinterpret_cast<HWND>(lParam))) {
            result = 0;
            return c->command(HIWORD(wParam));
        }
        return false;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (!header) return false;
        if (Control* c = Control::fromHandle(header->hwndFrom)) return c->notify(header, result);
        return false;
    }
    case WM_NOTIFYFORMAT:
        // Common controls ask their parent which notification texts it wants: always 8-bit.
        if (lParam == NF_QUERY) {
            result = NFR_ANSI;
            return true;
        }
        return false;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: {
        Control* c = Control::fromHandle(reinterpret_cast<HWND>(lParam));
        if (!c || c->background_ < 0) return false;
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, GetSysColor(c->background_));
        SetTextColor(dc, GetSysColor(c->isEnabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
        result = reinterpret_cast<LRESULT>(GetSysColorBrush(c->background_));
        return true;
    }
    default:
        return false;
    }
}

int nextControlId() {
    static int next = 1000;
    if (next >= 0xF000) next = 1000;
    return next++;
}

SIZE measureText(HWND hwnd, HDC dc, const std::string& text, bool noPrefix) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    RECT r{0, 0, 0, 0};
    UINT flags = DT_CALCRECT | DT_SINGLELINE | (noPrefix ? DT_NOPREFIX : 0);
    // An empty text still has the height of a line.
    const char* measured = text.empty() ? " " : text.c_str();
    DrawTextA(dc, measured, text.empty() ? 1 : static_cast<int>(text.size()), &r, flags);
    SelectObject(dc, old);
    return SIZE{text.empty() ? 0 : r.right - r.left, r.bottom - r.top};
}

HMODULE commonControls() {
    // Activation contexts, and with them side-by-side loading, came with XP.
    static HMODULE module = platform::kernelFunction<void (*)()>("ActivateActCtx")
                                ? LoadLibraryA("comctl32.dll")
                                : platform::systemLibrary("comctl32.dll");
    return module;
}

void initCommonControls() {
    static bool done = false;
    if (done) return;
    done = true;
    HMODULE comctl = commonControls();
    using InitEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto initEx = libraryFunction<InitEx>(comctl, "InitCommonControlsEx");
    if (initEx) {
        INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
        if (initEx(&icc)) return;
    }
    // The first common controls have only this; the library stays out of the import table so
    // that a command-line run never loads it.
    auto init = libraryFunction<void(WINAPI*)()>(comctl, "InitCommonControls");
    if (init) init();
}

int commonControlsVersion() {
    static int version = 0;
    if (version) return version;
    version = 400;
    struct VersionInfo {
        DWORD size, major, minor, build, platform;
    };
    using GetVersionFn = HRESULT(CALLBACK*)(VersionInfo*);
    auto get = libraryFunction<GetVersionFn>(commonControls(), "DllGetVersion");
    VersionInfo info{sizeof(VersionInfo), 0, 0, 0, 0};
    if (get && SUCCEEDED(get(&info))) version = static_cast<int>(info.major * 100 + info.minor);
    return version;
}

bool registerWindowClass(const std::string& name, WNDPROC proc, HBRUSH background) {
    static std::vector<std::string> registered;
    for (const auto& known : registered) {
        if (known == name) return true;
    }
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name.c_str();
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    registered.push_back(name);
    return true;
}

}  // namespace toolkit
