#include "toolkit/message_loop.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
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

Tab* tabOf(HWND hwnd) {
    Control* control = Control::fromHandle(hwnd);
    return control ? control->asTab() : nullptr;
}

struct TabSearch {
    Tab* found = nullptr;
};

BOOL CALLBACK findVisibleTab(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<TabSearch*>(lParam);
    if (!IsWindowVisible(hwnd)) return TRUE;
    if (Tab* tab = tabOf(hwnd)) {
        search->found = tab;
        return FALSE;
    }
    return TRUE;
}

// The tab control that Ctrl+Tab switches: the one holding the focus, else the first shown.
Tab* tabForKeyboard(HWND top, HWND focus) {
    for (HWND h = focus; h && h != top; h = GetParent(h)) {
        if (Tab* tab = tabOf(h)) return tab;
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

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The "&" letter of a caption, in lower case; 0 when it has none ("&&" is a plain "&").
char mnemonicOf(const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return lowerAscii(caption[i + 1]);
    }
    return 0;
}

struct MnemonicSearch {
    char letter = 0;
    std::vector<HWND> found;  // in creation order, which is the tab order
};

BOOL CALLBACK collectMnemonic(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<MnemonicSearch*>(lParam);
    char name[16] = "";
    GetClassNameA(hwnd, name, sizeof name);
    if (lstrcmpiA(name, "Button") != 0 || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) return TRUE;
    char caption[256] = "";
    GetWindowTextA(hwnd, caption, sizeof caption);
    if (mnemonicOf(caption) == search->letter) search->found.push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK collectAll(HWND hwnd, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    return TRUE;
}

// Alt and a letter that several buttons share moves the focus to the next of them and presses
// none, as the Windows dialog manager does; Wine's presses the first one after the focus, which
// could apply settings when the user meant another button.
bool movesAmongSharedMnemonics(HWND top, const MSG& msg) {
    if (msg.message != WM_SYSCHAR || msg.wParam > 0xFF) return false;
    MnemonicSearch search;
    search.letter = lowerAscii(static_cast<char>(msg.wParam));
    if (search.letter == 0) return false;
    EnumChildWindows(top, collectMnemonic, reinterpret_cast<LPARAM>(&search));
    if (search.found.size() < 2) return false;
    HWND focus = GetFocus();
    auto at = std::find(search.found.begin(), search.found.end(), focus);
    HWND next = search.found.front();
    if (at != search.found.end()) {
        next = (at + 1 == search.found.end()) ? search.found.front() : *(at + 1);
    } else {
        // The first sharing button after the focus in creation order, else the first of all.
        std::vector<HWND> all;
        EnumChildWindows(top, collectAll, reinterpret_cast<LPARAM>(&all));
        auto focusAt = std::find(all.begin(), all.end(), focus);
        for (auto it = focusAt == all.end() ? all.end() : focusAt + 1; it != all.end(); ++it) {
            if (std::find(search.found.begin(), search.found.end(), *it) != search.found.end()) {
                next = *it;
                break;
            }
        }
    }
    SetFocus(next);
    return true;
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
    if (movesAmongSharedMnemonics(top, msg)) return true;
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
