#include "toolkit/message_loop.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "toolkit/tab.h"

namespace toolkit {
namespace {

std::vector<HWND>& navigableWindows() {
    static std::vector<HWND> windows;
    return windows;
}

// The top-level window a message's window belongs to (GetAncestor is missing on Windows 95
// and NT 4).
HWND topLevelOf(HWND hwnd) {
    while (hwnd && (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD)) hwnd = GetParent(hwnd);
    return hwnd;
}

struct TabSearch {
    Tab* found = nullptr;
};

BOOL CALLBACK findVisibleTab(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<TabSearch*>(lParam);
    if (!IsWindowVisible(hwnd)) return TRUE;
    if (auto* tab = dynamic_cast<Tab*>(Control::fromHandle(hwnd))) {
        search->found = tab;
        return FALSE;
    }
    return TRUE;
}

// The tab control that Ctrl+Tab switches: the one holding the focus, else the first shown.
Tab* tabForKeyboard(HWND top, HWND focus) {
    for (HWND h = focus; h && h != top; h = GetParent(h)) {
        if (auto* tab = dynamic_cast<Tab*>(Control::fromHandle(h))) return tab;
    }
    TabSearch search;
    EnumChildWindows(top, findVisibleTab, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool switchesPage(const MSG& msg, int& step) {
    if (msg.message != WM_KEYDOWN || GetKeyState(VK_CONTROL) >= 0) return false;
    switch (msg.wParam) {
    case VK_TAB:
        step = GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
        return true;
    case VK_NEXT:
        step = 1;
        return true;
    case VK_PRIOR:
        step = -1;
        return true;
    default:
        return false;
    }
}

}  // namespace

void addNavigableWindow(HWND hwnd) {
    auto& windows = navigableWindows();
    if (std::find(windows.begin(), windows.end(), hwnd) == windows.end()) windows.push_back(hwnd);
}

void removeNavigableWindow(HWND hwnd) {
    auto& windows = navigableWindows();
    windows.erase(std::remove(windows.begin(), windows.end(), hwnd), windows.end());
}

bool translateDialogMessage(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) {
        // Mouse and other messages pass through IsDialogMessage too, but it does nothing useful
        // with them; skip the look-up.
        return false;
    }
    HWND top = topLevelOf(msg.hwnd);
    auto& windows = navigableWindows();
    if (!top || std::find(windows.begin(), windows.end(), top) == windows.end()) return false;
    int step = 0;
    if (switchesPage(msg, step)) {
        if (Tab* tab = tabForKeyboard(top, GetFocus())) {
            tab->selectNext(step);
            return true;
        }
    }
    return IsDialogMessageA(top, &msg) != FALSE;
}

int runMessageLoop() {
    MSG msg;
    for (;;) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) return -1;
        if (!translateDialogMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

}  // namespace toolkit
