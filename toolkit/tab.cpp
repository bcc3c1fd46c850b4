#include "toolkit/tab.h"

namespace toolkit {
namespace {

constexpr const char kPageClass[] = "toolkit.page";

bool isInside(HWND container, HWND hwnd) { return hwnd && (hwnd == container || IsChild(container, hwnd)); }

}  // namespace

bool TabPage::create(HWND tab, const Rect& area) {
    if (!registerWindowClass(kPageClass, DefWindowProcA, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1))) return false;
    Creation c{kPageClass, ""};
    c.style = WS_CLIPCHILDREN;
    c.exStyle = WS_EX_CONTROLPARENT;
    c.parent = tab;
    c.pos = area;
    return Control::create(c);
}

bool TabPage::message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (reflectToControl(msg, wParam, lParam, result)) return true;
    switch (msg) {
    case WM_SETFONT:
        font_ = reinterpret_cast<HFONT>(wParam);
        result = 0;
        return true;
    case WM_GETFONT:
        result = reinterpret_cast<LRESULT>(font_);
        return true;
    case WM_LBUTTONDOWN:
        if (onClick) onClick();
        return false;
    default:
        return Control::message(msg, wParam, lParam, result);
    }
}

bool Tab::create(const Args& a) {
    initCommonControls();
    Creation c{WC_TABCONTROLA, ""};
    c.style = WS_TABSTOP | WS_CLIPCHILDREN;
    // Keyboard navigation goes into the shown page; pages are switched with Ctrl+Tab, with the
    // arrow keys once the tabs have the focus, or with the mouse.
    c.exStyle = WS_EX_CONTROLPARENT;
    c.parent = a.parent;
    c.pos = a.pos;
    c.id = a.id;
    return Control::create(c);
}

TabPage& Tab::addPage(const std::string& caption) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(caption.c_str());
    int index = static_cast<int>(pages_.size());
    SendMessageA(hwnd_, TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    pages_.push_back(std::make_unique<TabPage>());
    TabPage& page = *pages_.back();
    page.create(hwnd_, Rect{});
    layoutPages();
    page.show(index == selectedIndex());
    return page;
}

void Tab::layoutPages() {
    RECT area{};
    GetClientRect(hwnd_, &area);
    SendMessageA(hwnd_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    for (auto& page : pages_) {
        if (page->exists()) page->move(Rect{area.left, area.top, area.right - area.left, area.bottom - area.top});
    }
}

void Tab::select(int index) {
    if (index < 0 || index >= pageCount()) return;
    SendMessageA(hwnd_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    showSelected(false);
}

void Tab::selectNext(int step) {
    int count = pageCount();
    if (count == 0) return;
    int index = ((selectedIndex() + step) % count + count) % count;
    SendMessageA(hwnd_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    showSelected(true);
}

void Tab::setCaption(int index, const std::string& caption) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(caption.c_str());
    SendMessageA(hwnd_, TCM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void Tab::showSelected(bool focusPage) {
    int selected = selectedIndex();
    if (selected < 0 || selected >= pageCount()) return;
    HWND focus = GetFocus();
    bool focusWasOnPage = false;
    pages_[static_cast<size_t>(selected)]->show(true);
    for (int i = 0; i < pageCount(); ++i) {
        if (i == selected) continue;
        focusWasOnPage = focusWasOnPage || isInside(pages_[static_cast<size_t>(i)]->hwnd(), focus);
        pages_[static_cast<size_t>(i)]->show(false);
    }
    // A focused control that was just hidden would leave the keyboard with nowhere to go.
    if (focusPage || focusWasOnPage) {
        HWND page = pages_[static_cast<size_t>(selected)]->hwnd();
        HWND first = GetNextDlgTabItem(page, nullptr, FALSE);
        SetFocus(first && IsChild(page, first) ? first : hwnd_);
    }
    if (onPageShown) onPageShown(selected);
}

bool Tab::notify(NMHDR* header, LRESULT& result) {
    switch (header->code) {
    case TCN_SELCHANGE:
        showSelected(false);
        result = 0;
        return true;
    case TCN_SELCHANGING:
        result = FALSE;  // the page may always change
        return true;
    default:
        return false;
    }
}

}  // namespace toolkit
