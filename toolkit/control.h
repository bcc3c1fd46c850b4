// The base of every toolkit window: a handle that is not owned, and the child-control base
// that links a control's HWND to its object, decodes the control's own notifications and
// takes the messages its parent reflects to it.
//
// Texts are bytes in the system's ANSI code page; only the "A" API is used.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>

namespace toolkit {

// Left, top, width, height in pixels, relative to the parent's client area. A width or
// height of 0 asks for the control's default (or, where the control has one, its size
// fitted to the text).
class RadioButton;
class Tab;

struct Rect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

// Window property holding the pixel height of the font the toolkit set on a window, so that
// a test driver in another process can read it (fonts cannot be read across processes).
constexpr const char kFontHeightProperty[] = "toolkit.fontHeight";

// Holds a window handle without owning it. Not copyable: objects are linked to their windows.
class WindowBase {
public:
    WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    HWND hwnd() const { return hwnd_; }
    bool exists() const { return hwnd_ != nullptr; }

    std::string text() const;
    void setText(const std::string& text);

    bool isEnabled() const { return IsWindowEnabled(hwnd_) != FALSE; }
    void enable(bool on) { EnableWindow(hwnd_, on ? TRUE : FALSE); }
    bool isVisible() const { return IsWindowVisible(hwnd_) != FALSE; }
    void show(bool on) { ShowWindow(hwnd_, on ? SW_SHOW : SW_HIDE); }
    void focus() { SetFocus(hwnd_); }
    int id() const { return GetDlgCtrlID(hwnd_); }

    // Position and size relative to the parent's client area (the screen for a top-level window).
    Rect rect() const;
    void move(const Rect& r) { MoveWindow(hwnd_, r.x, r.y, r.w, r.h, TRUE); }

protected:
    ~WindowBase() = default;
    // Called after the text changed; controls sized to their text refit themselves.
    virtual void textChanged() {}

    HWND hwnd_ = nullptr;
};

// A child control. Its window is created by the derived class, subclassed so that the object
// sees the control's own messages (mouse moves, painting details), and destroyed with its
// parent. The link from window to object is the window's GWLP_USERDATA, set as soon as
// CreateWindowEx returns (the system classes leave no earlier moment) and cleared when either
// the object or the window goes away first.
class Control : public WindowBase {
public:
    virtual ~Control();

    // Pointer moves over the control, in its client coordinates.
    std::function<void(int x, int y)> onMouseMove;

    // The object linked to a window, or null when the window is not a toolkit control.
    static Control* fromHandle(HWND hwnd);
    // The control as the kind code meets it by its window, or null when it is another kind.
    virtual Tab* asTab() { return nullptr; }
    virtual RadioButton* asRadioButton() { return nullptr; }

    // Background of the control from a system colour index (COLOR_WINDOW, COLOR_INFOBK),
    // or -1 for the control's usual colour.
    void setBackground(int sysColor);

    // Sizes the control to its text in its current font, for controls created without a width.
    // Called again whenever the font or the text changes.
    void refit();

protected:
    struct Creation {
        Creation(const char* windowClass, std::string caption) : className(windowClass), text(std::move(caption)) {}
        const char* className;
        std::string text;
        DWORD style = 0;
        DWORD exStyle = 0;
        HWND parent = nullptr;
        Rect pos;
        int id = 0;
    };
    // Creates the window, links it to this object and gives it its parent's font.
    bool create(const Creation& c);

    // A WM_COMMAND notification from this control, reflected by its parent. True when handled.
    virtual bool command(int /*code*/) { return false; }
    // A WM_NOTIFY notification from this control, reflected by its parent.
    virtual bool notify(NMHDR* /*header*/, LRESULT& /*result*/) { return false; }
    // A message to the control itself, before its class's procedure. True when handled.
    virtual bool message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The size that fits the text, or {0,0} when the control keeps its size.
    virtual SIZE fittedSize(HDC dc, const std::string& text) const;
    void textChanged() override { refit(); }

    LRESULT callOriginal(UINT msg, WPARAM wParam, LPARAM lParam);
    bool autoSize_ = false;
    int widthLimit_ = 0;  // a fitted width above this is cut to it; 0: none

private:
    friend bool reflectToControl(UINT, WPARAM, LPARAM, LRESULT&);
    static LRESULT CALLBACK subclassProc(HWND, UINT, WPARAM, LPARAM);
    void detach();

    WNDPROC original_ = nullptr;
    int background_ = -1;
};

// Passes WM_COMMAND, WM_NOTIFY and WM_CTLCOLOR* that a container received from one of its
// children to that child's object. Every container procedure (window, dialog, tab page,
// group box) calls it first. True when the child handled the message; result holds the answer.
bool reflectToControl(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

// A fresh control identifier, unique in the process and never IDOK, IDCANCEL or 0xFFFF.
int nextControlId();

// Registers a window class of the program (once per name); background is a brush or null.
// True when the class exists afterwards.
bool registerWindowClass(const std::string& name, WNDPROC proc, HBRUSH background);

// Text extent of a single line in the window's current font, with "&" taken as a prefix
// unless noPrefix.
SIZE measureText(HWND hwnd, HDC dc, const std::string& text, bool noPrefix);

// The common-controls library. From XP on, the program's manifest sends its name to the system's
// version 6 (side by side, ahead of any folder); earlier Windows has no side-by-side loading,
// and the system folder's copy is loaded by its full path.
HMODULE commonControls();
// Loads the common controls (list view, tab, status bar); InitCommonControlsEx is looked up at
// run time because Windows 95 and NT 4 without Internet Explorer 3 lack it.
void initCommonControls();
// The version of comctl32.dll as major * 100 + minor (400 when it cannot tell).
int commonControlsVersion();

}  // namespace toolkit
