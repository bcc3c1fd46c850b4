// kdriver: works the windows of another program from a second process, for the GUI tests that
// run under Wine. Reads one command a line ("name key=value ..."), answers with fact lines and
// then one line that starts with "ok" or "error". Handles are decimal; texts (text= of the facts
// and of the commands) are hexadecimal bytes of the system code page, so GBK and Big5 survive.
// Every send and every wait has a time limit (timeout= in milliseconds).
// A fact describes one window, in one format:
//   window hwnd= pid= parent= class= id= text= visible= enabled= checked= rect=x,y,w,h client=w,h font=
// rect in the parent's client area (on the screen for top-level windows), checked -1 but for
// buttons, font the pixel height kestrine's toolkit gave the window (0: none); items answers
// with "item text=" facts.
// Commands:
//   wait-window [text=] [class=] [box=1] [pid=] [timeout=]   (box: a message box)   windows pid=   tree hwnd=
//   click hwnd=    BM_CLICK, waiting for the handler or a new window of the program (3 s at most)
//   combo-select | lv-select | tab-select hwnd= index=   items hwnd=   (of a combo box, tab control,
//                  list view "column|column", header "text|width"; the final line has selected=)
//   set-text hwnd= text=   key vk= [mods=ctrl+shift+alt]   mouse hwnd= x= y= action=move|click|dblclick
//   activate hwnd=   wait-focus hwnd= [timeout=]   close hwnd=   redraw hwnd=   wait-gone hwnd= [timeout=]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

namespace {

constexpr DWORD kSendTimeout = 3000;
constexpr size_t kTextRoom = 2048;

struct Args : std::map<std::string, std::string> {
    std::string text(const char* key) const { return count(key) ? at(key) : ""; }
    long number(const char* key) const { return std::strtol(text(key).c_str(), nullptr, 0); }
    HWND hwnd() const { return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(text("hwnd").c_str(), nullptr, 0))); }
    DWORD timeout(long otherwise) const {
        return static_cast<DWORD>(std::clamp(count("timeout") ? number("timeout") : otherwise, 0L, 300000L));
    }
};

std::string answer(bool ok, const std::string& error) { return ok ? "ok" : "error " + error; }

std::string hex(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) out += {"0123456789abcdef"[c >> 4], "0123456789abcdef"[c & 15]};
    return out;
}

std::string unhex(const std::string& digits) {
    std::string bytes;
    for (size_t i = 0; i + 1 < digits.size(); i += 2) {
        bytes += static_cast<char>(std::strtol(digits.substr(i, 2).c_str(), nullptr, 16));
    }
    return bytes;
}

void say(const std::string& line) { std::printf("%s\n", line.c_str()), std::fflush(stdout); }

LRESULT send(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(hwnd, msg, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeout, &result);
    return static_cast<LRESULT>(result);
}

std::string classOf(HWND hwnd) {
    char name[256] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

// WM_GETTEXT with a time limit: GetWindowText does not ask windows of other processes.
std::string textOf(HWND hwnd) {
    std::vector<char> buffer(std::min<size_t>(send(hwnd, WM_GETTEXTLENGTH), 65535) + 2, '\0');
    send(hwnd, WM_GETTEXT, buffer.size() - 1, reinterpret_cast<LPARAM>(buffer.data()));
    return buffer.data();
}

DWORD processOf(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

BOOL CALLBACK collect(HWND hwnd, LPARAM list) { return reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd), TRUE; }

// The children of parent in creation order; without parent, the top-level windows of process pid
// (0: of every process), shown ones only or all.
std::vector<HWND> windows(HWND parent, DWORD pid = 0, bool shownOnly = false) {
    std::vector<HWND> all, found;
    LPARAM list = reinterpret_cast<LPARAM>(&all);
    parent ? EnumChildWindows(parent, collect, list) : EnumWindows(collect, list);
    for (HWND w : all) {
        if ((parent || !pid || processOf(w) == pid) && (!shownOnly || IsWindowVisible(w))) found.push_back(w);
    }
    return found;
}

std::string describe(HWND hwnd) {
    RECT r{}, client{};
    HWND parent = GetAncestor(hwnd, GA_PARENT);
    GetWindowRect(hwnd, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    GetClientRect(hwnd, &client);
    std::ostringstream s;
    s << "window hwnd=" << reinterpret_cast<uintptr_t>(hwnd) << " pid=" << processOf(hwnd)
      << " parent=" << reinterpret_cast<uintptr_t>(parent) << " class=" << classOf(hwnd) << " id=" << GetDlgCtrlID(hwnd)
      << " text=" << hex(textOf(hwnd)) << " visible=" << !!IsWindowVisible(hwnd) << " enabled=" << !!IsWindowEnabled(hwnd)
      << " checked=" << (lstrcmpiA(classOf(hwnd).c_str(), "Button") ? -1 : send(hwnd, BM_GETCHECK))
      << " rect=" << r.left << ',' << r.top << ',' << r.right - r.left << ',' << r.bottom - r.top
      << " client=" << client.right << ',' << client.bottom
      << " font=" << reinterpret_cast<intptr_t>(GetPropA(hwnd, "toolkit.fontHeight"));
    return s.str();
}

std::string show(std::vector<HWND> found, const std::string& more = "") {
    found.erase(std::remove(found.begin(), found.end(), nullptr), found.end());
    for (HWND w : found) say(describe(w) + more);
    return answer(!found.empty(), "no such window");
}

// Looks every 20 ms until the condition holds or timeout ms passed, dispatching the driver's own
// messages (the callbacks of SendMessageCallback) meanwhile.
template <typename Condition>
bool waitFor(DWORD timeout, Condition condition) {
    for (DWORD start = GetTickCount(); !condition();) {
        if (GetTickCount() - start >= timeout) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageA(&msg);
    }
    return true;
}

struct Pending { bool done = false; LRESULT result = 0; };

VOID CALLBACK delivered(HWND, UINT, ULONG_PTR data, LRESULT result) { *reinterpret_cast<Pending*>(data) = {true, result}; }

// Sends a message without blocking on a handler that opens a modal window: waits until the
// target handled it, another window of its process became visible, or three seconds passed.
// The answer may still come later, so the record of it is then left alive.
bool deliver(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr) {
    size_t shown = windows(nullptr, processOf(hwnd), true).size();
    auto* pending = new Pending;
    bool sent = SendMessageCallbackA(hwnd, msg, wParam, lParam, delivered, reinterpret_cast<ULONG_PTR>(pending));
    waitFor(kSendTimeout, [&] { return !sent || pending->done || windows(nullptr, processOf(hwnd), true).size() > shown; });
    bool done = sent && pending->done;
    if (done && result) *result = pending->result;
    if (done || !sent) delete pending;
    return done;
}

// Sends a message whose lParam points to a copy of item in the target process, followed by room
// for the item's text; reads both back. The block stays when no answer came: it may come later.
template <typename Item>
LRESULT remote(HWND hwnd, UINT msg, WPARAM wParam, Item& item, std::string* text = nullptr) {
    LRESULT result = 0;
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processOf(hwnd));
    void* block = process ? VirtualAllocEx(process, nullptr, sizeof item + kTextRoom, MEM_COMMIT, PAGE_READWRITE) : nullptr;
    auto* base = static_cast<char*>(block);
    if (base) {
        std::vector<char> room(kTextRoom + 1, '\0');
        if constexpr (!std::is_same_v<Item, RECT>) item.pszText = base + sizeof item, item.cchTextMax = kTextRoom;
        WriteProcessMemory(process, base, &item, sizeof item, nullptr);
        WriteProcessMemory(process, base + sizeof item, room.data(), 1, nullptr);
        bool done = deliver(hwnd, msg, wParam, reinterpret_cast<LPARAM>(base), &result);
        ReadProcessMemory(process, base, &item, sizeof item, nullptr);
        ReadProcessMemory(process, base + sizeof item, room.data(), kTextRoom, nullptr);
        if (text) *text = room.data();
        if (done) VirtualFreeEx(process, base, 0, MEM_RELEASE);
    }
    if (process) CloseHandle(process);
    return result;
}

std::string items(const Args& a) {
    HWND w = a.hwnd();
    std::string kind = classOf(w), text;
    std::vector<std::string> found;
    LRESULT selected = -1;
    if (kind == "ComboBox") {
        // Wine answers CB_GETLBTEXT from another process in UTF-16 even when asked in 8-bit.
        for (int i = 0, n = static_cast<int>(send(w, CB_GETCOUNT)); i < n; ++i) {
            std::vector<wchar_t> wide(std::min<LRESULT>(send(w, CB_GETLBTEXTLEN, i), 4096) + 1, L'\0');
            DWORD_PTR length = 0;
            SendMessageTimeoutW(w, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide.data()), SMTO_ABORTIFHUNG, kSendTimeout, &length);
            std::vector<char> bytes(wide.size() * 2 + 1, '\0');
            WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, bytes.data(), static_cast<int>(bytes.size() - 1), nullptr, nullptr);
            found.push_back(bytes.data());
        }
        selected = send(w, CB_GETCURSEL);
    } else if (kind == WC_TABCONTROLA) {
        for (int i = 0, n = static_cast<int>(send(w, TCM_GETITEMCOUNT)); i < n; ++i) {
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            remote(w, TCM_GETITEMA, i, item, &text);
            found.push_back(text);
        }
        selected = send(w, TCM_GETCURSEL);
    } else if (kind == WC_HEADERA) {
        for (int i = 0, n = static_cast<int>(send(w, HDM_GETITEMCOUNT)); i < n; ++i) {
            HDITEMA item{};
            item.mask = HDI_TEXT | HDI_WIDTH;
            remote(w, HDM_GETITEMA, i, item, &text);
            found.push_back(text + "|" + std::to_string(item.cxy));
        }
    } else if (kind == WC_LISTVIEWA) {
        int columns = std::max(1, static_cast<int>(send(reinterpret_cast<HWND>(send(w, LVM_GETHEADER)), HDM_GETITEMCOUNT)));
        for (int i = 0, n = static_cast<int>(send(w, LVM_GETITEMCOUNT)); i < n; ++i) {
            found.emplace_back();
            for (int c = 0; c < columns; ++c) {
                LVITEMA item{};
                item.mask = LVIF_TEXT, item.iItem = i, item.iSubItem = c;
                remote(w, LVM_GETITEMA, 0, item, &text);
                found.back() += (c ? "|" : "") + text;
            }
        }
        selected = send(w, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    } else {
        return "error " + kind + " has no items";
    }
    for (const std::string& item : found) say("item text=" + hex(item));
    return "ok selected=" + std::to_string(selected);
}

// Waits for a shown top-level window of the process pid= (none: of any) that the test accepts.
template <typename Test>
HWND waitTopLevel(const Args& a, Test test) {
    HWND found = nullptr;
    waitFor(a.timeout(10000), [&] {
        std::vector<HWND> shown = windows(nullptr, static_cast<DWORD>(a.number("pid")), true);
        auto it = std::find_if(shown.begin(), shown.end(), test);
        return (found = it == shown.end() ? nullptr : *it) != nullptr;
    });
    return found;
}

// A message box: a dialog of only buttons and statics, its text the static 0xFFFF.
bool isMessageBox(HWND hwnd) {
    std::vector<HWND> parts = windows(hwnd);
    return classOf(hwnd) == "#32770" && GetDlgItem(hwnd, 0xFFFF) && std::all_of(parts.begin(), parts.end(), [](HWND c) {
               return !lstrcmpiA(classOf(c).c_str(), "Button") || !lstrcmpiA(classOf(c).c_str(), "Static");
           });
}

// Keys go to the window that has the focus, as typed: modifiers down, the key, all up again.
std::string key(const Args& a) {
    std::vector<BYTE> keys;
    for (auto [name, vk] : {std::pair<const char*, BYTE>{"ctrl", VK_CONTROL}, {"shift", VK_SHIFT}, {"alt", VK_MENU}}) {
        if (a.text("mods").find(name) != std::string::npos) keys.push_back(vk);
    }
    keys.push_back(static_cast<BYTE>(a.number("vk")));
    for (BYTE k : keys) keybd_event(k, static_cast<BYTE>(MapVirtualKeyA(k, 0)), 0, 0);
    for (auto k = keys.rbegin(); k != keys.rend(); ++k) {
        keybd_event(*k, static_cast<BYTE>(MapVirtualKeyA(*k, 0)), KEYEVENTF_KEYUP, 0);
    }
    return "ok";
}

// Posts the mouse messages of a move, a click or a double-click at a point of the window.
bool mouse(HWND hwnd, int x, int y, const std::string& action) {
    std::vector<UINT> messages = {WM_MOUSEMOVE};
    if (action != "move") messages = {WM_LBUTTONDOWN, WM_LBUTTONUP};
    if (action == "dblclick") messages.insert(messages.end(), {WM_LBUTTONDBLCLK, WM_LBUTTONUP});
    bool posted = true;
    for (UINT m : messages) {
        posted = posted && PostMessageA(hwnd, m, m == WM_LBUTTONDOWN || m == WM_LBUTTONDBLCLK ? MK_LBUTTON : 0, MAKELPARAM(x, y));
    }
    return posted;
}

const std::map<std::string, std::string (*)(const Args&)> kCommands = {
    {"wait-window",
     [](const Args& a) {
         return show({waitTopLevel(a, [&](HWND w) {
             return (!a.count("text") || textOf(w) == a.at("text")) && (!a.count("class") || classOf(w) == a.at("class")) &&
                    (!a.count("box") || isMessageBox(w));
         })});
     }},
    {"windows", [](const Args& a) { return show(windows(nullptr, static_cast<DWORD>(a.number("pid")))); }},
    {"tree",
     [](const Args& a) {
         std::vector<HWND> all = windows(a.hwnd());
         all.insert(all.begin(), a.hwnd());
         return show(IsWindow(a.hwnd()) ? all : std::vector<HWND>{});
     }},
    {"click",
     [](const Args& a) { return answer(IsWindow(a.hwnd()) && (deliver(a.hwnd(), BM_CLICK, 0, 0), true), "no such window"); }},
    {"combo-select",
     [](const Args& a) {
         HWND combo = a.hwnd();
         bool selected = send(combo, CB_SETCURSEL, a.number("index")) == a.number("index");
         WPARAM changed = MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE);
         if (selected) deliver(GetParent(combo), WM_COMMAND, changed, reinterpret_cast<LPARAM>(combo));
         return answer(selected, "no such item");
     }},
    {"lv-select",
     [](const Args& a) {
         LVITEMA item{};
         item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
         return answer(remote(a.hwnd(), LVM_SETITEMSTATE, a.number("index"), item), "no such item");
     }},
    // A tab is chosen with a click on it: the program hears of it only through the notification.
    {"tab-select",
     [](const Args& a) {
         RECT r{};
         bool clicked = remote(a.hwnd(), TCM_GETITEMRECT, a.number("index"), r) &&
                        mouse(a.hwnd(), (r.left + r.right) / 2, (r.top + r.bottom) / 2, "click");
         bool shown = clicked && waitFor(a.timeout(3000), [&] { return send(a.hwnd(), TCM_GETCURSEL) == a.number("index"); });
         return answer(shown, "no such tab");
     }},
    {"items", items},
    {"set-text",
     [](const Args& a) {
         DWORD_PTR r = 0;
         std::string text = a.text("text");
         LRESULT sent = SendMessageTimeoutA(a.hwnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                                            kSendTimeout, &r);
         return answer(sent, "not answered");
     }},
    {"key", key},
    {"mouse",
     [](const Args& a) { return answer(mouse(a.hwnd(), a.number("x"), a.number("y"), a.text("action")), "no such window"); }},
    {"activate",
     [](const Args& a) {
         SetForegroundWindow(a.hwnd());
         return answer(waitFor(a.timeout(3000), [&] { return GetForegroundWindow() == a.hwnd(); }), "not in the foreground");
     }},
    {"wait-focus",
     [](const Args& a) {
         GUITHREADINFO info{};
         info.cbSize = sizeof info;
         DWORD thread = GetWindowThreadProcessId(a.hwnd(), nullptr);
         bool focused = waitFor(a.timeout(3000), [&] { return GetGUIThreadInfo(thread, &info) && info.hwndFocus == a.hwnd(); });
         return answer(focused, "the focus is elsewhere");
     }},
    {"close", [](const Args& a) { return answer(PostMessageA(a.hwnd(), WM_CLOSE, 0, 0), "no such window"); }},
    // Paints the window and everything in it now, so that a screenshot taken next shows it whole.
    {"redraw",
     [](const Args& a) {
         UINT flags = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;
         return answer(RedrawWindow(a.hwnd(), nullptr, nullptr, flags) && (send(a.hwnd(), WM_NULL), true), "no such window");
     }},
    {"wait-gone",
     [](const Args& a) { return answer(waitFor(a.timeout(10000), [&] { return !IsWindowVisible(a.hwnd()); }), "still shown"); }},
};

}  // namespace

// Runs the commands of standard input, one a line, until "quit" or its end.
int main() {
    for (char line[65536]; std::fgets(line, sizeof line, stdin);) {
        std::istringstream in(line);
        std::string name, word, reply = "error unknown command";
        Args args;
        if (!(in >> name)) continue;
        if (name == "quit") break;
        while (in >> word) {
            std::string key = word.substr(0, word.find('=')), value = word.substr(word.find('=') + 1);
            args[key] = key == "text" ? unhex(value) : value;
        }
        try {
            if (kCommands.count(name)) reply = kCommands.at(name)(args);
        } catch (...) {
            reply = "error the command failed";
        }
        say(reply);
    }
    return 0;
}
