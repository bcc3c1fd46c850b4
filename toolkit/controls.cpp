#include "toolkit/controls.h"

#include <algorithm>
#include <vector>

namespace toolkit {
namespace {

Rect withDefaults(Rect pos, int width, int height) {
    if (pos.w == 0) pos.w = width;
    if (pos.h == 0) pos.h = height;
    return pos;
}

// Check boxes and radio buttons: the box, a gap, the text and room for the focus frame.
SIZE buttonWithBoxSize(HWND hwnd, HDC dc, const std::string& text) {
    SIZE t = measureText(hwnd, dc, text, false);
    int box = GetSystemMetrics(SM_CXMENUCHECK);
    return SIZE{box + 5 + t.cx + 3, std::max<int>(t.cy, box) + 4};
}

}  // namespace

// ---- Button

bool Button::create(const Args& a) {
    takesFocus_ = a.takesFocus;
    Creation c{"BUTTON", a.text};
    c.style = (a.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | (a.takesFocus ? WS_TABSTOP : 0);
    c.parent = a.parent;
    c.pos = withDefaults(a.pos, 75, 25);
    c.id = a.id;
    return Control::create(c);
}

bool Button::command(int code) {
    if (code != BN_CLICKED || !onClick) return false;
    // BM_CLICK from another program reaches a disabled button too (Wine sends the notification);
    // a disabled button stands for an action the window does not allow now.
    if (isEnabled()) onClick();
    return true;
}

void Button::notifyClicked() {
    SendMessageA(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), BN_CLICKED),
                 reinterpret_cast<LPARAM>(hwnd_));
}

// A button that must not take the focus does its own mouse tracking: the class's procedure
// would set the focus on the button press.
bool Button::message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (takesFocus_) return Control::message(msg, wParam, lParam, result);
    POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    RECT client{};
    GetClientRect(hwnd_, &client);
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetCapture(hwnd_);
        tracking_ = true;
        SendMessageA(hwnd_, BM_SETSTATE, TRUE, 0);
        result = 0;
        return true;
    case WM_MOUSEMOVE:
        Control::message(msg, wParam, lParam, result);
        if (!tracking_) return false;
        SendMessageA(hwnd_, BM_SETSTATE, PtInRect(&client, point) ? TRUE : FALSE, 0);
        result = 0;
        return true;
    case WM_LBUTTONUP: {
        if (!tracking_) return false;
        tracking_ = false;
        ReleaseCapture();
        SendMessageA(hwnd_, BM_SETSTATE, FALSE, 0);
        if (PtInRect(&client, point)) notifyClicked();
        result = 0;
        return true;
    }
    case WM_CAPTURECHANGED:
        if (tracking_) {
            tracking_ = false;
            SendMessageA(hwnd_, BM_SETSTATE, FALSE, 0);
        }
        return false;
    default:
        return Control::message(msg, wParam, lParam, result);
    }
}

// ---- CheckBox and RadioButton

bool CheckBox::create(const Args& a) {
    autoSize_ = a.pos.w == 0;
    widthLimit_ = a.maxWidth;
    Creation c{"BUTTON", a.text};
    c.style = BS_AUTOCHECKBOX | WS_TABSTOP;
    c.parent = a.parent;
    c.pos = withDefaults(a.pos, 1, 17);
    c.id = a.id;
    if (!Control::create(c)) return false;
    setChecked(a.checked);
    return true;
}

bool CheckBox::command(int code) {
    if (code != BN_CLICKED || !onClick) return false;
    onClick();
    return true;
}

SIZE CheckBox::fittedSize(HDC dc, const std::string& text) const { return buttonWithBoxSize(hwnd_, dc, text); }

bool RadioButton::create(const Args& a) {
    autoSize_ = a.pos.w == 0;
    Creation c{"BUTTON", a.text};
    c.style = BS_AUTORADIOBUTTON | (a.startsGroup ? WS_GROUP : 0);
    c.parent = a.parent;
    c.pos = withDefaults(a.pos, 1, 17);
    c.id = a.id;
    if (!Control::create(c)) return false;
    setChecked(a.checked);
    return true;
}

bool RadioButton::command(int code) {
    if (code != BN_CLICKED) return false;
    updateGroupTabStops();
    if (onClick) onClick();
    return true;
}

void RadioButton::setChecked(bool on) {
    SendMessageA(hwnd_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    updateGroupTabStops();
}

void RadioButton::updateGroupTabStops() {
    // The group runs from the nearest sibling with WS_GROUP at or before this one (or the first
    // sibling) to the next sibling with WS_GROUP.
    HWND first = hwnd_;
    while (!(GetWindowLongA(first, GWL_STYLE) & WS_GROUP)) {
        HWND previous = GetWindow(first, GW_HWNDPREV);
        if (!previous) break;
        first = previous;
    }
    std::vector<RadioButton*> group;
    for (HWND h = first; h; h = GetWindow(h, GW_HWNDNEXT)) {
        if (h != first && (GetWindowLongA(h, GWL_STYLE) & WS_GROUP)) break;
        Control* control = Control::fromHandle(h);
        if (RadioButton* radio = control ? control->asRadioButton() : nullptr) group.push_back(radio);
    }
    if (group.empty()) return;
    RadioButton* stop = group.front();
    for (RadioButton* radio : group) {
        if (radio->isChecked()) {
            stop = radio;
            break;
        }
    }
    for (RadioButton* radio : group) {
        LONG style = GetWindowLongA(radio->hwnd(), GWL_STYLE);
        LONG wanted = radio == stop ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
        if (wanted != style) SetWindowLongA(radio->hwnd(), GWL_STYLE, wanted);
    }
}

SIZE RadioButton::fittedSize(HDC dc, const std::string& text) const { return buttonWithBoxSize(hwnd_, dc, text); }

// ---- Label

bool Label::create(const Args& a) {
    autoSize_ = a.pos.w == 0;
    accelerator_ = a.accelerator;
    Creation c{"STATIC", a.text};
    c.style = SS_LEFT | (a.accelerator ? 0 : SS_NOPREFIX);
    c.parent = a.parent;
    c.pos = withDefaults(a.pos, 1, 13);
    c.id = a.id;
    return Control::create(c);
}

SIZE Label::fittedSize(HDC dc, const std::string& text) const { return measureText(hwnd_, dc, text, !accelerator_); }

// ---- Edit

bool Edit::create(const Args& a) {
    Creation c{"EDIT", a.text};
    c.style = ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP | (a.readOnly ? ES_READONLY : 0);
    c.exStyle = WS_EX_CLIENTEDGE;
    c.parent = a.parent;
    c.pos = withDefaults(a.pos, 121, 21);
    c.id = a.id;
    return Control::create(c);
}

bool Edit::command(int code) {
    if (code != EN_CHANGE || !onChange) return false;
    onChange();
    return true;
}

// ---- ComboBox

bool ComboBox::create(const Args& a) {
    Creation c{"COMBOBOX", ""};
    c.style = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
    c.parent = a.parent;
    c.pos = withDefaults(a.pos, 121, 200);
    c.id = a.id;
    return Control::create(c);
}

std::string ComboBox::itemText(int index) const {
    if (index < 0 || index >= count()) return {};
    LRESULT length = SendMessageA(hwnd_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR || length <= 0) return {};
    // CB_GETLBTEXT takes no buffer size, and the length may count characters, not bytes.
    std::vector<char> buffer(2 * static_cast<size_t>(length) + 2, '\0');
    LRESULT got = SendMessageA(hwnd_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
    if (got == CB_ERR || got < 0) return {};
    buffer.back() = '\0';
    return std::string(buffer.data());
}

bool ComboBox::command(int code) {
    if (code != CBN_SELCHANGE || !onSelectionChanged) return false;
    onSelectionChanged();
    return true;
}

// ---- GroupBox

bool GroupBox::create(const Args& a) {
    Creation c{"BUTTON", a.text};
    c.style = BS_GROUPBOX | WS_CLIPCHILDREN;
    c.exStyle = WS_EX_CONTROLPARENT;
    c.parent = a.parent;
    c.pos = a.pos;
    c.id = a.id;
    return Control::create(c);
}

bool GroupBox::message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (reflectToControl(msg, wParam, lParam, result)) return true;
    if (msg == WM_ERASEBKGND) {
        // The button class leaves a group box's inside to its parent; now that the group has
        // children of its own (and clips them), it paints its inside itself.
        HDC dc = reinterpret_cast<HDC>(wParam);
        auto brush = reinterpret_cast<HBRUSH>(
            SendMessageA(GetParent(hwnd_), WM_CTLCOLORSTATIC, wParam, reinterpret_cast<LPARAM>(hwnd_)));
        RECT client{};
        GetClientRect(hwnd_, &client);
        FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
        result = 1;
        return true;
    }
    return Control::message(msg, wParam, lParam, result);
}

// ---- SunkenPanel

namespace {

constexpr const char kPanelClass[] = "toolkit.panel";

}  // namespace

bool SunkenPanel::create(const Args& a) {
    if (!registerWindowClass(kPanelClass, DefWindowProcA, nullptr)) return false;
    Creation c{kPanelClass, a.text};
    c.parent = a.parent;
    c.pos = a.pos;
    c.id = a.id;
    if (!Control::create(c)) return false;
    setBackground(a.background);
    return true;
}

bool SunkenPanel::message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam)) InvalidateRect(hwnd_, nullptr, TRUE);
        result = 0;
        return true;
    case WM_GETFONT:
        result = reinterpret_cast<LRESULT>(font_);
        return true;
    case WM_SETTEXT:
    case WM_ENABLE:
        result = callOriginal(msg, wParam, lParam);
        InvalidateRect(hwnd_, nullptr, TRUE);
        return true;
    case WM_ERASEBKGND:
        result = 1;  // painted whole in WM_PAINT
        return true;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        paint(dc);
        EndPaint(hwnd_, &ps);
        result = 0;
        return true;
    }
    case WM_PRINTCLIENT:
        paint(reinterpret_cast<HDC>(wParam));
        result = 0;
        return true;
    default:
        return Control::message(msg, wParam, lParam, result);
    }
}

void SunkenPanel::paint(HDC dc) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    // The parent chooses the colours as it does for a static (and reflects it to setBackground).
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageA(GetParent(hwnd_), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd_)));
    FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &client, BDR_SUNKENOUTER, BF_RECT);
    std::string caption = text();
    if (caption.empty()) return;
    HGDIOBJ old = SelectObject(dc, font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    if (!isEnabled()) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    RECT area = client;
    InflateRect(&area, -1, -1);
    area.left += 3;
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &area,
              DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, old);
}

// ---- StatusBar

bool StatusBar::create(const Args& a) {
    Creation c{STATUSCLASSNAMEA, ""};
    c.style = CCS_BOTTOM;
    c.parent = a.parent;
    c.id = a.id;
    return Control::create(c);
}

std::string StatusBar::status() const {
    // The length may count characters rather than bytes, and SB_GETTEXTA takes no buffer size:
    // room for two bytes a character covers every code page of the 8-bit API.
    size_t length = LOWORD(SendMessageA(hwnd_, SB_GETTEXTLENGTHA, 0, 0));
    if (length == 0) return {};
    std::vector<char> buffer(2 * length + 2, '\0');
    SendMessageA(hwnd_, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(buffer.data()));
    buffer.back() = '\0';
    return std::string(buffer.data());
}

}  // namespace toolkit
