// kdriver: works the windows of another program from a second process, for the GUI tests that
// run under Wine. Reads commands from standard input, one a line ("name key=value ..."), and
// answers each with zero or more fact lines and then one line that starts with "ok" or "error".
// Window handles are 0x-hexadecimal; texts are hexadecimal bytes of the system code page, so GBK
// and Big5 survive; a text argument may be given plainly (no blanks) or as hex:414243. Facts:
//   window|control hwnd= pid= parent= class= id= text= visible= enabled= checked= rect=x,y,w,h
//            client=w,h font=   (a control's rect in client coordinates of its top-level window;
//            checked -1 where the control cannot be checked; font the pixel height kestrine's
//            toolkit set, 0 when it set none)
//   box (a window's fields) message= buttons=1,2
//   column width= text=   item texts=hex,...   combo-item text=   tab-item text=
// Commands (timeouts in milliseconds; every wait has one):
//   wait-window [text=] [class=] [pid=] [timeout=]   windows pid=   tree hwnd=
//   click hwnd=      BM_CLICK, waiting (3 s at most) for the handler or a new window of the program
//   combo-select hwnd= index=   CB_SETCURSEL, then CBN_SELCHANGE to the parent
//   combo-items hwnd=   lv-items hwnd=   lv-select hwnd= index=   tab-items hwnd=   tab-select hwnd= index=
//   set-text hwnd= text=   key vk= [mods=ctrl+shift+alt]  (keybd_event to the focused window)
//   mouse hwnd= x= y= action=move|click|dblclick   (posted, client coordinates)
//   activate hwnd=   wait-focus hwnd= [timeout=]   close hwnd=   redraw hwnd=   wait-gone hwnd= [timeout=]
//   wait-box [pid=] [timeout=] [answer=ok|cancel]   reports a message box, presses the button,
//                                                   waits until the box is gone
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr DWORD kSendTimeout = 3000;
constexpr size_t kTextRoom = 2048;
// The property kestrine's toolkit sets to the pixel height of the font it gave a window.
constexpr const char kFontHeightProperty[] = "toolkit.fontHeight";

std::string hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) out += {digits[c >> 4], digits[c & 15]};
    return out;
}

std::string handle(HWND hwnd) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%08lx", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(hwnd)));
    return buffer;
}

struct Args : std::map<std::string, std::string> {
    std::string text(const char* key, const char* otherwise = "") const {
        auto it = find(key);
        return it == end() ? otherwise : it->second;
    }
    long number(const char* key, long otherwise = 0) const {
        return count(key) ? std::strtol(at(key).c_str(), nullptr, 0) : otherwise;
    }
    HWND hwnd() const { return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(text("hwnd").c_str(), nullptr, 0))); }
    DWORD timeout(long otherwise) const { return static_cast<DWORD>(std::max(0L, std::min(number("timeout", otherwise), 300000L))); }
};

void say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

LRESULT send(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0, bool* ok = nullptr) {
    DWORD_PTR result = 0;
    BOOL sent = SendMessageTimeoutA(hwnd, msg, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeout, &result);
    if (ok) *ok = sent != FALSE;
    return static_cast<LRESULT>(result);
}

std::string classOf(HWND hwnd) {
    char name[256] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

// WM_GETTEXT with a time limit: GetWindowText does not ask windows of other processes, and a
// hung program must not hang the driver.
std::string textOf(HWND hwnd) {
    std::vector<char> buffer(std::min<size_t>(send(hwnd, WM_GETTEXTLENGTH), 65535) + 2, '\0');
    send(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.back() = '\0';
    return buffer.data();
}

DWORD processOf(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

BOOL CALLBACK collect(HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

// The children of a window (all of them, in creation order), or the top-level windows of a
// process (pid 0: of every process).
std::vector<HWND> children(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(parent, collect, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<HWND> topLevel(DWORD pid, bool visibleOnly) {
    std::vector<HWND> all, found;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&all));
    for (HWND w : all) {
        if ((!pid || processOf(w) == pid) && (!visibleOnly || IsWindowVisible(w))) found.push_back(w);
    }
    return found;
}

// One fact line about a window; rect in client coordinates of top, or of the screen.
std::string describe(const char* kind, HWND hwnd, HWND top = nullptr) {
    RECT r{}, client{};
    GetWindowRect(hwnd, &r);
    MapWindowPoints(HWND_DESKTOP, top, reinterpret_cast<POINT*>(&r), 2);
    GetClientRect(hwnd, &client);
    int type = GetWindowLongA(hwnd, GWL_STYLE) & BS_TYPEMASK;  // check boxes, radio buttons, three-state boxes
    bool checkable = lstrcmpiA(classOf(hwnd).c_str(), "Button") == 0 && ((1 << type) & 0x27C);
    std::ostringstream s;
    s << kind << " hwnd=" << handle(hwnd) << " pid=" << processOf(hwnd) << " parent=" << handle(GetParent(hwnd))
      << " class=" << classOf(hwnd) << " id=" << GetDlgCtrlID(hwnd) << " text=" << hex(textOf(hwnd))
      << " visible=" << (IsWindowVisible(hwnd) ? 1 : 0) << " enabled=" << (IsWindowEnabled(hwnd) ? 1 : 0)
      << " checked=" << (checkable ? static_cast<int>(send(hwnd, BM_GETCHECK)) : -1) << " rect=" << r.left << ','
      << r.top << ',' << (r.right - r.left) << ',' << (r.bottom - r.top) << " client=" << client.right << ','
      << client.bottom << " font=" << reinterpret_cast<intptr_t>(GetPropA(hwnd, kFontHeightProperty));
    return s.str();
}

// A message box: a dialog-class window of only buttons and statics, one of them the text static
// with identifier 0xFFFF.
bool isMessageBox(HWND hwnd) {
    if (classOf(hwnd) != "#32770" || !GetDlgItem(hwnd, 0xFFFF)) return false;
    for (HWND c : children(hwnd)) {
        if (lstrcmpiA(classOf(c).c_str(), "Button") != 0 && lstrcmpiA(classOf(c).c_str(), "Static") != 0) return false;
    }
    return true;
}

// Waits for a condition, looking every 20 ms, for at most timeout milliseconds, handling the
// driver's own messages (the callbacks of SendMessageCallback) meanwhile.
template <typename Condition>
bool waitFor(DWORD timeout, Condition condition) {
    for (DWORD start = GetTickCount();;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeout) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
}

struct Pending {
    bool done = false;
    LRESULT result = 0;
};

VOID CALLBACK delivered(HWND, UINT, ULONG_PTR data, LRESULT result) {
    *reinterpret_cast<Pending*>(data) = {true, result};
}

// Sends a message without blocking: waits until the target has handled it, or a new window of
// its process became visible (a handler opened a message box or dialog), or three seconds
// passed. Messages below WM_USER must not carry pointers (they cannot cross processes this way).
bool deliver(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr) {
    DWORD pid = processOf(hwnd);
    std::vector<HWND> before = topLevel(pid, true);
    auto* pending = new Pending;  // left alive when no answer comes in time: it may come later
    if (!SendMessageCallbackA(hwnd, msg, wParam, lParam, delivered, reinterpret_cast<ULONG_PTR>(pending))) {
        delete pending;
        return false;
    }
    waitFor(kSendTimeout, [&] {
        for (HWND w : topLevel(pid, true)) {
            if (std::find(before.begin(), before.end(), w) == before.end()) return true;
        }
        return pending->done;
    });
    bool done = pending->done;
    if (result) *result = pending->result;
    if (done) delete pending;
    return done;
}

void postClick(HWND hwnd, LPARAM at, bool twice = false) {
    PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
    if (twice) {
        PostMessageA(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
    }
}

// Memory in the target process, for the list-view and tab messages that carry pointers: a
// structure at the start, room for its text after it.
class Remote {
public:
    Remote(HWND hwnd, size_t size) : size_(size + kTextRoom) {
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                               FALSE, processOf(hwnd));
        if (process_) base_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, size_, MEM_COMMIT, PAGE_READWRITE));
    }
    ~Remote() {
        if (base_ && !kept_) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    Remote(const Remote&) = delete;
    Remote& operator=(const Remote&) = delete;

    explicit operator bool() const { return base_ != nullptr; }
    LPARAM at(size_t offset = 0) const { return reinterpret_cast<LPARAM>(base_ + offset); }
    bool put(const void* data, size_t size, size_t offset = 0) {
        return offset + size <= size_ && WriteProcessMemory(process_, base_ + offset, data, size, nullptr);
    }
    bool get(void* data, size_t size, size_t offset = 0) const {
        return offset + size <= size_ && ReadProcessMemory(process_, base_ + offset, data, size, nullptr);
    }
    void keep() { kept_ = true; }  // the target may still use the block (a message not yet answered)

    // Sends msg with an item structure whose text lands in the room after it; reads both back.
    template <typename Item>
    std::string itemText(HWND hwnd, UINT msg, WPARAM wParam, Item& item) {
        std::vector<char> text(kTextRoom, '\0');
        item.pszText = reinterpret_cast<char*>(at(sizeof item));
        item.cchTextMax = static_cast<int>(kTextRoom);
        put(text.data(), 1, sizeof item);
        put(&item, sizeof item);
        send(hwnd, msg, wParam, at());
        get(&item, sizeof item);
        get(text.data(), kTextRoom - 1, sizeof item);
        return text.data();
    }

private:
    HANDLE process_ = nullptr;
    char* base_ = nullptr;
    size_t size_;
    bool kept_ = false;
};

std::string listItems(const Args& a) {
    HWND list = a.hwnd();
    Remote remote(list, sizeof(LVITEMA) + sizeof(LVCOLUMNA));
    if (!remote) return "error cannot reach the process";
    HWND header = reinterpret_cast<HWND>(send(list, LVM_GETHEADER));
    int columns = header ? static_cast<int>(send(header, HDM_GETITEMCOUNT)) : 1;
    for (int c = 0; c < columns; ++c) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        std::string text = remote.itemText(list, LVM_GETCOLUMNA, c, column);
        say("column width=" + std::to_string(column.cx) + " text=" + hex(text));
    }
    int count = static_cast<int>(send(list, LVM_GETITEMCOUNT));
    int selected = static_cast<int>(send(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    for (int i = 0; i < count; ++i) {
        std::string texts;
        for (int c = 0; c < columns; ++c) {
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = i;
            item.iSubItem = c;
            texts += (c ? "," : "") + hex(remote.itemText(list, LVM_GETITEMA, 0, item));
        }
        say("item texts=" + texts);
    }
    bool editable = (GetWindowLongA(list, GWL_STYLE) & LVS_EDITLABELS) != 0;
    return "ok count=" + std::to_string(count) + " selected=" + std::to_string(selected) + " editable=" + (editable ? "1" : "0");
}

std::string tabItems(const Args& a) {
    HWND tab = a.hwnd();
    Remote remote(tab, sizeof(TCITEMA));
    if (!remote) return "error cannot reach the process";
    int count = static_cast<int>(send(tab, TCM_GETITEMCOUNT));
    for (int i = 0; i < count; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        say("tab-item text=" + hex(remote.itemText(tab, TCM_GETITEMA, i, item)));
    }
    return "ok count=" + std::to_string(count) + " selected=" + std::to_string(send(tab, TCM_GETCURSEL));
}

// Wine answers CB_GETLBTEXT from another process in UTF-16 even when asked in 8-bit, so the
// items are read as UTF-16 and converted to the system code page here.
std::string comboItems(const Args& a) {
    HWND combo = a.hwnd();
    int count = static_cast<int>(send(combo, CB_GETCOUNT));
    for (int i = 0; i < count; ++i) {
        DWORD_PTR length = 0;
        SendMessageTimeoutW(combo, CB_GETLBTEXTLEN, i, 0, SMTO_ABORTIFHUNG, kSendTimeout, &length);
        std::vector<wchar_t> wide(std::min<DWORD_PTR>(length, 4096) + 1, L'\0');
        SendMessageTimeoutW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide.data()), SMTO_ABORTIFHUNG, kSendTimeout,
                            &length);
        wide.back() = L'\0';
        char bytes[16384] = "";
        WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, bytes, sizeof bytes - 1, nullptr, nullptr);
        say("combo-item text=" + hex(bytes));
    }
    return "ok count=" + std::to_string(count) + " selected=" + std::to_string(send(combo, CB_GETCURSEL));
}

std::string listSelect(const Args& a) {
    HWND list = a.hwnd();
    Remote remote(list, sizeof(LVITEMA));
    LVITEMA item{};
    item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    if (!remote || !remote.put(&item, sizeof item)) return "error cannot reach the process";
    LRESULT r = 0;
    bool done = deliver(list, LVM_SETITEMSTATE, a.number("index"), remote.at(), &r);
    if (!done) remote.keep();
    return done && !r ? "error no such item" : "ok";
}

std::string tabSelect(const Args& a) {
    HWND tab = a.hwnd();
    int index = static_cast<int>(a.number("index"));
    Remote remote(tab, sizeof(RECT));
    RECT r{};
    if (!remote || !send(tab, TCM_GETITEMRECT, index, remote.at()) || !remote.get(&r, sizeof r)) return "error no such tab";
    postClick(tab, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    return waitFor(a.timeout(3000), [&] { return send(tab, TCM_GETCURSEL) == index; }) ? "ok" : "error the tab was not selected";
}

// Waits for a shown top-level window of the process pid= (0 or none: of any) that the test accepts.
template <typename Test>
HWND waitTopLevel(const Args& a, Test test) {
    HWND found = nullptr;
    waitFor(a.timeout(10000), [&] {
        for (HWND w : topLevel(static_cast<DWORD>(a.number("pid")), true)) {
            if (test(w)) return (found = w) != nullptr;
        }
        return false;
    });
    return found;
}

std::string waitWindow(const Args& a) {
    HWND found = waitTopLevel(a, [&](HWND w) {
        return (!a.count("text") || textOf(w) == a.at("text")) && (!a.count("class") || classOf(w) == a.at("class"));
    });
    if (!found) return "error no such window within the time limit";
    say(describe("window", found));
    return "ok hwnd=" + handle(found);
}

std::string waitBox(const Args& a) {
    HWND box = waitTopLevel(a, isMessageBox);
    if (!box) return "error no message box within the time limit";
    std::string buttons;
    for (HWND c : children(box)) {
        if (lstrcmpiA(classOf(c).c_str(), "Button") == 0) buttons += (buttons.empty() ? "" : ",") + std::to_string(GetDlgCtrlID(c));
    }
    say(describe("box", box) + " message=" + hex(textOf(GetDlgItem(box, 0xFFFF))) + " buttons=" + buttons);
    // Posted, not sent: the box's owner answers only when the box has ended.
    HWND button = GetDlgItem(box, a.text("answer", "ok") == std::string("cancel") ? IDCANCEL : IDOK);
    if (!button || !PostMessageA(button, BM_CLICK, 0, 0)) return "error no such button";
    return waitFor(5000, [&] { return !IsWindowVisible(box); }) ? "ok" : "error the box stayed open";
}

std::string key(const Args& a) {
    std::vector<BYTE> keys;
    std::string mods = a.text("mods");
    static const std::pair<const char*, BYTE> kModifiers[] = {{"ctrl", VK_CONTROL}, {"shift", VK_SHIFT}, {"alt", VK_MENU}};
    for (const auto& [name, vk] : kModifiers) {
        if (mods.find(name) != std::string::npos) keys.push_back(vk);
    }
    keys.push_back(static_cast<BYTE>(a.number("vk")));
    for (BYTE k : keys) keybd_event(k, static_cast<BYTE>(MapVirtualKeyA(k, 0)), 0, 0);
    for (auto k = keys.rbegin(); k != keys.rend(); ++k) keybd_event(*k, static_cast<BYTE>(MapVirtualKeyA(*k, 0)), KEYEVENTF_KEYUP, 0);
    return "ok";
}

std::string mouse(const Args& a) {
    LPARAM at = MAKELPARAM(a.number("x"), a.number("y"));
    std::string action = a.text("action", "click");
    if (action == "move") PostMessageA(a.hwnd(), WM_MOUSEMOVE, 0, at);
    else if (action == "click" || action == "dblclick") postClick(a.hwnd(), at, action == "dblclick");
    else return "error unknown action";
    return "ok";
}

std::string waitFocus(const Args& a) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(a.hwnd(), nullptr);
    bool focused = waitFor(a.timeout(3000), [&] { return GetGUIThreadInfo(thread, &info) && info.hwndFocus == a.hwnd(); });
    return focused ? "ok" : "error focus stayed on " + handle(info.hwndFocus);
}

using Command = std::string (*)(const Args&);

const std::map<std::string, Command> kCommands = {
    {"wait-window", waitWindow},
    {"windows",
     [](const Args& a) {
         for (HWND w : topLevel(static_cast<DWORD>(a.number("pid")), false)) say(describe("window", w));
         return std::string("ok");
     }},
    {"tree",
     [](const Args& a) {
         HWND top = a.hwnd();
         if (!IsWindow(top)) return std::string("error no such window");
         say(describe("window", top));
         for (HWND c : children(top)) say(describe("control", c, top));
         return std::string("ok");
     }},
    {"click",
     [](const Args& a) {
         if (!IsWindow(a.hwnd())) return std::string("error no such window");
         deliver(a.hwnd(), BM_CLICK, 0, 0);
         return std::string("ok");
     }},
    {"combo-select",
     [](const Args& a) {
         HWND combo = a.hwnd();
         bool sent = false;
         if (send(combo, CB_SETCURSEL, a.number("index"), 0, &sent) == CB_ERR || !sent) return std::string("error no such item");
         deliver(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
         return std::string("ok");
     }},
    {"combo-items", comboItems},
    {"lv-items", listItems},
    {"lv-select", listSelect},
    {"tab-items", tabItems},
    {"tab-select", tabSelect},
    {"set-text",
     [](const Args& a) {
         bool sent = false;
         send(a.hwnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a.text("text").c_str()), &sent);
         return std::string(sent ? "ok" : "error not answered");
     }},
    {"key", key},
    {"mouse", mouse},
    {"activate",
     [](const Args& a) {
         SetForegroundWindow(a.hwnd());
         bool active = waitFor(a.timeout(3000), [&] { return GetForegroundWindow() == a.hwnd(); });
         return std::string(active ? "ok" : "error the window did not come to the foreground");
     }},
    {"wait-focus", waitFocus},
    {"close", [](const Args& a) { return std::string(PostMessageA(a.hwnd(), WM_CLOSE, 0, 0) ? "ok" : "error no such window"); }},
    // Paints the window and everything in it now, so that a screenshot taken next shows it whole.
    {"redraw",
     [](const Args& a) {
         RedrawWindow(a.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
         send(a.hwnd(), WM_NULL);
         return std::string("ok");
     }},
    {"wait-gone",
     [](const Args& a) {
         bool gone = waitFor(a.timeout(10000), [&] { return !IsWindowVisible(a.hwnd()); });
         return std::string(gone ? "ok" : "error the window is still shown");
     }},
    {"wait-box", waitBox},
};

}  // namespace

// Runs the commands of standard input, one a line, until "quit" or its end.
int main() {
    char line[65536];
    while (std::fgets(line, sizeof line, stdin)) {
        std::istringstream in(line);
        std::string name, word;
        if (!(in >> name) || name == "quit") {
            if (name == "quit") break;
            continue;
        }
        Args args;
        while (in >> word) {
            size_t eq = word.find('=');
            std::string value = word.substr(eq + 1);
            if (value.compare(0, 4, "hex:") == 0) {
                std::string bytes;
                for (size_t i = 4; i + 1 < value.size(); i += 2) bytes += static_cast<char>(std::strtol(value.substr(i, 2).c_str(), nullptr, 16));
                value = bytes;
            }
            if (eq != std::string::npos) args[word.substr(0, eq)] = value;
        }
        auto it = kCommands.find(name);
        std::string answer = "error unknown command " + name;
        try {
            if (it != kCommands.end()) answer = it->second(args);
        } catch (...) {
            answer = "error the command failed";
        }
        say(answer);
    }
    return 0;
}
