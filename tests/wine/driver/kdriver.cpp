// kdriver: works the windows of another program from a second process, for the GUI tests that
// run under Wine. Reads commands from standard input, one a line ("name key=value ..."), and
// answers each with zero or more fact lines and then one line that starts with "ok" or "error".
// Window handles are 0x-hexadecimal; texts are hexadecimal bytes of the system code page, so GBK
// and Big5 survive; a text argument may be given plainly (no blanks) or as hex:414243. Facts:
//   window hwnd= pid= class= title= visible= enabled= rect=x,y,w,h client=w,h font=
//   control hwnd= parent= class= id= text= visible= enabled= checked= rect= font=
//            (rect in client coordinates of the top-level window; checked -1 for controls that
//            cannot be checked; font the pixel height kestrine's toolkit set, 0 when it set none)
//   column width= text=   item selected= texts=hex,...   combo-item text=   tab-item text=
//   box hwnd= title= text= buttons=1,2   exit code=
// Commands (timeouts in milliseconds; every wait has one):
//   wait-window [title=] [class=] [pid=] [timeout=]   windows pid=   tree hwnd=
//   click hwnd=            BM_CLICK, waiting for the handler or a new window of the program
//   combo-select hwnd= index=   CB_SETCURSEL, then CBN_SELCHANGE to the parent
//   combo-items hwnd=   lv-items hwnd=   lv-select hwnd= index=   tab-items hwnd=   tab-select hwnd= index=
//   set-text hwnd= text=   key vk= [mods=ctrl+shift+alt]  (keybd_event to the focused window)
//   mouse hwnd= x= y= action=move|click|dblclick   (posted, client coordinates)
//   activate hwnd=   wait-focus hwnd= [timeout=]   close hwnd=   redraw hwnd=   wait-gone hwnd= [timeout=]
//   wait-box pid= [timeout=]   answer-box hwnd= button=ok|cancel
//   run cmd= [timeout=]    runs a command line, answers every message box with OK, reports each box
//                          and every other window that becomes visible, and the exit code
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr DWORD kDefaultTimeout = 10000;
constexpr DWORD kMaxTimeout = 300000;
constexpr DWORD kSendTimeout = 3000;
constexpr DWORD kPollMs = 20;
// The property kestrine's toolkit sets to the pixel height of the font it gave a window.
constexpr const char kFontHeightProperty[] = "toolkit.fontHeight";

// ---- Text and arguments

std::string hexOf(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 15]);
    }
    return out;
}

std::string fromHex(const std::string& text) {
    std::string out;
    for (size_t i = 0; i + 1 < text.size(); i += 2) {
        out.push_back(static_cast<char>(std::strtoul(text.substr(i, 2).c_str(), nullptr, 16)));
    }
    return out;
}

std::string hex32(unsigned long value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%08lx", value);
    return buffer;
}

std::string handleText(HWND hwnd) { return hex32(static_cast<unsigned long>(reinterpret_cast<uintptr_t>(hwnd))); }

class Args {
public:
    explicit Args(const std::vector<std::string>& words) {
        for (const std::string& word : words) {
            size_t eq = word.find('=');
            if (eq == std::string::npos) continue;
            std::string value = word.substr(eq + 1);
            if (value.compare(0, 4, "hex:") == 0) value = fromHex(value.substr(4));
            values_[word.substr(0, eq)] = value;
        }
    }
    bool has(const char* key) const { return values_.count(key) != 0; }
    std::string text(const char* key, const std::string& otherwise = "") const {
        auto it = values_.find(key);
        return it == values_.end() ? otherwise : it->second;
    }
    long number(const char* key, long otherwise = 0) const {
        auto it = values_.find(key);
        return it == values_.end() ? otherwise : std::strtol(it->second.c_str(), nullptr, 0);
    }
    HWND hwnd(const char* key = "hwnd") const {
        return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoul(text(key).c_str(), nullptr, 0)));
    }
    DWORD timeout(const char* key = "timeout", DWORD otherwise = kDefaultTimeout) const {
        long t = number(key, static_cast<long>(otherwise));
        return t < 0 ? 0 : (static_cast<DWORD>(t) > kMaxTimeout ? kMaxTimeout : static_cast<DWORD>(t));
    }

private:
    std::map<std::string, std::string> values_;
};

void say(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// ---- Looking at windows

std::string className(HWND hwnd) {
    char name[256] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

// WM_GETTEXT through SendMessageTimeout: GetWindowText does not ask windows of other
// processes, and a hung program must not hang the driver.
std::string windowText(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeout, &length)) return {};
    if (length == 0) return {};
    if (length > 65535) length = 65535;
    std::vector<char> buffer(length + 2, '\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG,
                             kSendTimeout, &got)) {
        return {};
    }
    buffer.back() = '\0';
    return std::string(buffer.data());
}

DWORD processOf(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

std::string rectText(const RECT& r) {
    std::ostringstream s;
    s << r.left << ',' << r.top << ',' << (r.right - r.left) << ',' << (r.bottom - r.top);
    return s.str();
}

LRESULT sendWithTimeout(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool* ok = nullptr) {
    DWORD_PTR result = 0;
    BOOL sent = SendMessageTimeoutA(hwnd, msg, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeout, &result);
    if (ok) *ok = sent != FALSE;
    return static_cast<LRESULT>(result);
}

// BM_GETCHECK for check boxes and radio buttons; -1 for every other control.
int checkedState(HWND hwnd) {
    if (lstrcmpiA(className(hwnd).c_str(), "Button") != 0) return -1;
    LONG type = GetWindowLongA(hwnd, GWL_STYLE) & BS_TYPEMASK;
    switch (type) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE:
        return static_cast<int>(sendWithTimeout(hwnd, BM_GETCHECK, 0, 0));
    default:
        return -1;
    }
}

std::string windowLine(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    RECT client{};
    GetClientRect(hwnd, &client);
    std::ostringstream s;
    s << "window hwnd=" << handleText(hwnd) << " pid=" << processOf(hwnd) << " class=" << className(hwnd)
      << " title=" << hexOf(windowText(hwnd)) << " visible=" << (IsWindowVisible(hwnd) ? 1 : 0)
      << " enabled=" << (IsWindowEnabled(hwnd) ? 1 : 0) << " rect=" << rectText(r)
      << " client=" << client.right << ',' << client.bottom
      << " font=" << reinterpret_cast<intptr_t>(GetPropA(hwnd, kFontHeightProperty));
    return s.str();
}

struct TreeWalk {
    HWND top;
};

BOOL CALLBACK printControl(HWND hwnd, LPARAM lParam) {
    HWND top = reinterpret_cast<TreeWalk*>(lParam)->top;
    RECT r{};
    GetWindowRect(hwnd, &r);
    MapWindowPoints(HWND_DESKTOP, top, reinterpret_cast<POINT*>(&r), 2);
    std::ostringstream s;
    s << "control hwnd=" << handleText(hwnd) << " parent=" << handleText(GetParent(hwnd)) << " class=" << className(hwnd)
      << " id=" << GetDlgCtrlID(hwnd) << " text=" << hexOf(windowText(hwnd))
      << " visible=" << (IsWindowVisible(hwnd) ? 1 : 0) << " enabled=" << (IsWindowEnabled(hwnd) ? 1 : 0)
      << " checked=" << checkedState(hwnd) << " rect=" << rectText(r)
      << " font=" << reinterpret_cast<intptr_t>(GetPropA(hwnd, kFontHeightProperty));
    say(s.str());
    return TRUE;
}

struct TopLevelSearch {
    DWORD pid = 0;
    bool visibleOnly = true;
    std::vector<HWND> found;
};

BOOL CALLBACK collectTopLevel(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<TopLevelSearch*>(lParam);
    if (search->pid && processOf(hwnd) != search->pid) return TRUE;
    if (search->visibleOnly && !IsWindowVisible(hwnd)) return TRUE;
    search->found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> topLevelWindows(DWORD pid, bool visibleOnly) {
    TopLevelSearch search;
    search.pid = pid;
    search.visibleOnly = visibleOnly;
    EnumWindows(collectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct BoxCheck {
    bool onlyButtonsAndStatics = true;
    bool hasText = false;
};

BOOL CALLBACK inspectBoxChild(HWND hwnd, LPARAM lParam) {
    auto* check = reinterpret_cast<BoxCheck*>(lParam);
    std::string name = className(hwnd);
    bool isStatic = lstrcmpiA(name.c_str(), "Static") == 0;
    if (!isStatic && lstrcmpiA(name.c_str(), "Button") != 0) check->onlyButtonsAndStatics = false;
    if (isStatic && (GetDlgCtrlID(hwnd) & 0xFFFF) == 0xFFFF) check->hasText = true;
    return TRUE;
}

// A message box: a dialog-class window whose controls are only buttons and statics, one of
// them the text static with identifier 0xFFFF.
bool isMessageBox(HWND hwnd) {
    if (className(hwnd) != "#32770") return false;
    BoxCheck check;
    EnumChildWindows(hwnd, inspectBoxChild, reinterpret_cast<LPARAM>(&check));
    return check.onlyButtonsAndStatics && check.hasText;
}

BOOL CALLBACK collectButton(HWND hwnd, LPARAM lParam) {
    if (lstrcmpiA(className(hwnd).c_str(), "Button") == 0) {
        reinterpret_cast<std::vector<int>*>(lParam)->push_back(GetDlgCtrlID(hwnd));
    }
    return TRUE;
}

std::string boxLine(HWND box) {
    std::vector<int> buttons;
    EnumChildWindows(box, collectButton, reinterpret_cast<LPARAM>(&buttons));
    std::ostringstream s;
    s << "box hwnd=" << handleText(box) << " pid=" << processOf(box) << " title=" << hexOf(windowText(box))
      << " text=" << hexOf(windowText(GetDlgItem(box, 0xFFFF))) << " buttons=";
    for (size_t i = 0; i < buttons.size(); ++i) s << (i ? "," : "") << buttons[i];
    return s.str();
}

// Presses a button of a message box without waiting for the box's owner to answer.
bool pressBoxButton(HWND box, const std::string& answer) {
    HWND button = GetDlgItem(box, answer == "cancel" ? IDCANCEL : IDOK);
    if (!button) return false;
    return PostMessageA(button, BM_CLICK, 0, 0) != FALSE;
}

// Waits for a condition, looking every kPollMs, and for at most timeout milliseconds.
template <typename Condition>
bool waitFor(DWORD timeout, Condition condition) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeout) return false;
        // The driver's own messages (callbacks of SendMessageCallback) are handled while waiting.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
}

// ---- Sending to a program that may open a modal window

struct Pending {
    bool done = false;
    LRESULT result = 0;
};

VOID CALLBACK delivered(HWND, UINT, ULONG_PTR data, LRESULT result) {
    auto* pending = reinterpret_cast<Pending*>(data);
    pending->done = true;
    pending->result = result;
}

// Sends a message without blocking: waits until the target has handled it, or a new window of
// its process became visible (a handler opened a message box or dialog), or settle ms passed.
// Messages below WM_USER must not carry pointers (they cannot be sent this way across processes).
bool deliver(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, DWORD settle, LRESULT* result = nullptr) {
    DWORD pid = processOf(hwnd);
    std::vector<HWND> before = topLevelWindows(pid, true);
    // Left alive when the answer does not come in time: the callback may still arrive later.
    auto* pending = new Pending;
    if (!SendMessageCallbackA(hwnd, msg, wParam, lParam, delivered, reinterpret_cast<ULONG_PTR>(pending))) {
        delete pending;
        return false;
    }
    waitFor(settle, [&] {
        if (pending->done) return true;
        for (HWND w : topLevelWindows(pid, true)) {
            bool known = false;
            for (HWND b : before) known = known || b == w;
            if (!known) return true;
        }
        return false;
    });
    bool done = pending->done;
    if (result) *result = pending->result;
    if (done) delete pending;
    return done;
}

// ---- Memory in the target process, for list-view and tab messages that carry pointers

class RemoteBlock {
public:
    RemoteBlock(HWND hwnd, size_t size) : size_(size) {
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION, FALSE,
                               processOf(hwnd));
        if (process_) address_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    }
    ~RemoteBlock() {
        if (address_ && !kept_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    bool ok() const { return address_ != nullptr; }
    char* at(size_t offset) const { return address_ + offset; }
    bool write(size_t offset, const void* data, size_t size) {
        SIZE_T written = 0;
        return offset + size <= size_ && WriteProcessMemory(process_, address_ + offset, data, size, &written) && written == size;
    }
    bool read(size_t offset, void* data, size_t size) const {
        SIZE_T got = 0;
        return offset + size <= size_ && ReadProcessMemory(process_, address_ + offset, data, size, &got) && got == size;
    }
    // The target may still use the block (a message that has not been answered yet).
    void keep() { kept_ = true; }

private:
    HANDLE process_ = nullptr;
    char* address_ = nullptr;
    size_t size_;
    bool kept_ = false;
};

constexpr size_t kTextRoom = 2048;

std::string remoteString(const RemoteBlock& block, size_t offset) {
    std::vector<char> text(kTextRoom, '\0');
    if (!block.read(offset, text.data(), text.size())) return {};
    text.back() = '\0';
    return std::string(text.data());
}

// ---- Commands

std::string cmdWaitWindow(const Args& a) {
    std::string title = a.text("title");
    std::string cls = a.text("class");
    DWORD pid = static_cast<DWORD>(a.number("pid"));
    HWND found = nullptr;
    bool seen = waitFor(a.timeout(), [&] {
        for (HWND w : topLevelWindows(pid, true)) {
            if (a.has("title") && windowText(w) != title) continue;
            if (a.has("class") && className(w) != cls) continue;
            found = w;
            return true;
        }
        return false;
    });
    if (!seen) return "error no such window within the time limit";
    say(windowLine(found));
    return "ok hwnd=" + handleText(found);
}

std::string cmdWindows(const Args& a) {
    auto windows = topLevelWindows(static_cast<DWORD>(a.number("pid")), false);
    for (HWND w : windows) say(windowLine(w));
    return "ok count=" + std::to_string(windows.size());
}

std::string cmdTree(const Args& a) {
    HWND top = a.hwnd();
    if (!IsWindow(top)) return "error no such window";
    say(windowLine(top));
    TreeWalk walk{top};
    EnumChildWindows(top, printControl, reinterpret_cast<LPARAM>(&walk));
    return "ok";
}

std::string cmdClick(const Args& a) {
    HWND button = a.hwnd();
    if (!IsWindow(button)) return "error no such window";
    bool done = deliver(button, BM_CLICK, 0, 0, a.timeout("settle", 3000));
    return std::string("ok done=") + (done ? "1" : "0");
}

std::string cmdComboSelect(const Args& a) {
    HWND combo = a.hwnd();
    if (!IsWindow(combo)) return "error no such window";
    bool sent = false;
    LRESULT r = sendWithTimeout(combo, CB_SETCURSEL, static_cast<WPARAM>(a.number("index")), 0, &sent);
    if (!sent || r == CB_ERR) return "error no such item";
    bool done = deliver(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                        reinterpret_cast<LPARAM>(combo), a.timeout("settle", 3000));
    return std::string("ok done=") + (done ? "1" : "0");
}

// Wine answers CB_GETLBTEXT from another process in UTF-16 even when asked in 8-bit, so the
// items are read as UTF-16 and converted to the system code page here.
std::string cmdComboItems(const Args& a) {
    HWND combo = a.hwnd();
    int count = static_cast<int>(sendWithTimeout(combo, CB_GETCOUNT, 0, 0));
    int selected = static_cast<int>(sendWithTimeout(combo, CB_GETCURSEL, 0, 0));
    for (int i = 0; i < count; ++i) {
        DWORD_PTR length = 0;
        SendMessageTimeoutW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0, SMTO_ABORTIFHUNG, kSendTimeout, &length);
        if (length > 4096) length = 4096;
        std::vector<wchar_t> wide(length + 1, L'\0');
        DWORD_PTR got = 0;
        SendMessageTimeoutW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide.data()),
                            SMTO_ABORTIFHUNG, kSendTimeout, &got);
        wide.back() = L'\0';
        char bytes[8192] = "";
        WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, bytes, sizeof bytes - 1, nullptr, nullptr);
        say("combo-item index=" + std::to_string(i) + " selected=" + (i == selected ? "1" : "0") + " text=" + hexOf(bytes));
    }
    return "ok count=" + std::to_string(count) + " selected=" + std::to_string(selected);
}

std::string cmdListItems(const Args& a) {
    HWND list = a.hwnd();
    RemoteBlock block(list, sizeof(LVITEMA) + sizeof(LVCOLUMNA) + kTextRoom);
    if (!block.ok()) return "error cannot reach the process";
    const size_t textAt = sizeof(LVITEMA) + sizeof(LVCOLUMNA);
    HWND header = reinterpret_cast<HWND>(sendWithTimeout(list, LVM_GETHEADER, 0, 0));
    int columns = header ? static_cast<int>(sendWithTimeout(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
    for (int c = 0; c < columns; ++c) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = block.at(textAt);
        column.cchTextMax = static_cast<int>(kTextRoom);
        char zero = 0;
        block.write(textAt, &zero, 1);
        block.write(0, &column, sizeof column);
        sendWithTimeout(list, LVM_GETCOLUMNA, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(block.at(0)));
        block.read(0, &column, sizeof column);
        say("column index=" + std::to_string(c) + " width=" + std::to_string(column.cx) +
            " text=" + hexOf(remoteString(block, textAt)));
    }
    int count = static_cast<int>(sendWithTimeout(list, LVM_GETITEMCOUNT, 0, 0));
    int selected = -1;
    for (int i = 0; i < count; ++i) {
        std::string texts;
        int image = -1;
        bool isSelected = false;
        for (int c = 0; c < columns; ++c) {
            LVITEMA item{};
            item.mask = LVIF_TEXT | (c == 0 ? (LVIF_IMAGE | LVIF_STATE) : 0);
            item.iItem = i;
            item.iSubItem = c;
            item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            item.pszText = block.at(textAt);
            item.cchTextMax = static_cast<int>(kTextRoom);
            char zero = 0;
            block.write(textAt, &zero, 1);
            block.write(0, &item, sizeof item);
            sendWithTimeout(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.at(0)));
            block.read(0, &item, sizeof item);
            if (c == 0) {
                image = item.iImage;
                isSelected = (item.state & LVIS_SELECTED) != 0;
            }
            texts += (c ? "," : "") + hexOf(remoteString(block, textAt));
        }
        if (isSelected && selected < 0) selected = i;
        say("item index=" + std::to_string(i) + " selected=" + (isSelected ? "1" : "0") + " image=" + std::to_string(image) +
            " texts=" + texts);
    }
    bool editable = (GetWindowLongA(list, GWL_STYLE) & LVS_EDITLABELS) != 0;
    return "ok count=" + std::to_string(count) + " selected=" + std::to_string(selected) +
           " editable=" + (editable ? "1" : "0");
}

std::string cmdListSelect(const Args& a) {
    HWND list = a.hwnd();
    RemoteBlock block(list, sizeof(LVITEMA));
    if (!block.ok()) return "error cannot reach the process";
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    block.write(0, &item, sizeof item);
    LRESULT r = 0;
    bool done = deliver(list, LVM_SETITEMSTATE, static_cast<WPARAM>(a.number("index")),
                        reinterpret_cast<LPARAM>(block.at(0)), a.timeout("settle", 3000), &r);
    if (!done) block.keep();
    if (done && !r) return "error no such item";
    return std::string("ok done=") + (done ? "1" : "0");
}

std::string cmdTabItems(const Args& a) {
    HWND tab = a.hwnd();
    RemoteBlock block(tab, sizeof(TCITEMA) + kTextRoom);
    if (!block.ok()) return "error cannot reach the process";
    int count = static_cast<int>(sendWithTimeout(tab, TCM_GETITEMCOUNT, 0, 0));
    int selected = static_cast<int>(sendWithTimeout(tab, TCM_GETCURSEL, 0, 0));
    for (int i = 0; i < count; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = block.at(sizeof(TCITEMA));
        item.cchTextMax = static_cast<int>(kTextRoom);
        char zero = 0;
        block.write(sizeof(TCITEMA), &zero, 1);
        block.write(0, &item, sizeof item);
        sendWithTimeout(tab, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(block.at(0)));
        say("tab-item index=" + std::to_string(i) + " selected=" + (i == selected ? "1" : "0") +
            " text=" + hexOf(remoteString(block, sizeof(TCITEMA))));
    }
    return "ok count=" + std::to_string(count) + " selected=" + std::to_string(selected);
}

std::string cmdTabSelect(const Args& a) {
    HWND tab = a.hwnd();
    int index = static_cast<int>(a.number("index"));
    RemoteBlock block(tab, sizeof(RECT));
    RECT r{};
    bool sent = false;
    LRESULT got = sendWithTimeout(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(block.at(0)), &sent);
    if (!block.ok() || !sent || !got || !block.read(0, &r, sizeof r)) return "error no such tab";
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(tab, WM_LBUTTONUP, 0, at);
    bool shown = waitFor(a.timeout("timeout", 3000), [&] { return sendWithTimeout(tab, TCM_GETCURSEL, 0, 0) == index; });
    return shown ? "ok" : "error the tab was not selected";
}

std::string cmdSetText(const Args& a) {
    std::string text = a.text("text");
    bool sent = false;
    sendWithTimeout(a.hwnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &sent);
    return sent ? "ok" : "error not answered";
}

UINT keyCode(const std::string& name) {
    static const std::map<std::string, UINT> names = {
        {"TAB", VK_TAB}, {"RETURN", VK_RETURN}, {"ESCAPE", VK_ESCAPE}, {"SPACE", VK_SPACE}, {"UP", VK_UP}, {"F2", VK_F2}};
    auto it = names.find(name);
    if (it != names.end()) return it->second;
    if (name.size() == 1 && ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= '0' && name[0] <= '9'))) {
        return static_cast<UINT>(name[0]);
    }
    return static_cast<UINT>(std::strtoul(name.c_str(), nullptr, 0));
}

void keyEvent(UINT vk, bool up) {
    keybd_event(static_cast<BYTE>(vk), static_cast<BYTE>(MapVirtualKeyA(vk, 0)), up ? KEYEVENTF_KEYUP : 0, 0);
}

std::string cmdKey(const Args& a) {
    UINT vk = keyCode(a.text("vk"));
    if (vk == 0) return "error unknown key";
    std::string mods = a.text("mods");
    std::vector<UINT> held;
    if (mods.find("ctrl") != std::string::npos) held.push_back(VK_CONTROL);
    if (mods.find("shift") != std::string::npos) held.push_back(VK_SHIFT);
    if (mods.find("alt") != std::string::npos) held.push_back(VK_MENU);
    for (UINT m : held) keyEvent(m, false);
    keyEvent(vk, false);
    keyEvent(vk, true);
    for (auto it = held.rbegin(); it != held.rend(); ++it) keyEvent(*it, true);
    return "ok";
}

std::string cmdMouse(const Args& a) {
    HWND hwnd = a.hwnd();
    if (!IsWindow(hwnd)) return "error no such window";
    LPARAM at = MAKELPARAM(a.number("x"), a.number("y"));
    std::string action = a.text("action", "click");
    if (action == "move") {
        PostMessageA(hwnd, WM_MOUSEMOVE, 0, at);
    } else if (action == "click") {
        PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
    } else if (action == "dblclick") {
        PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
        PostMessageA(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
    } else {
        return "error unknown action";
    }
    return "ok";
}

std::string cmdActivate(const Args& a) {
    HWND hwnd = a.hwnd();
    if (!IsWindow(hwnd)) return "error no such window";
    SetForegroundWindow(hwnd);
    bool active = waitFor(a.timeout("timeout", 3000), [&] { return GetForegroundWindow() == hwnd; });
    return active ? "ok" : "error the window did not come to the foreground";
}

bool threadFocus(HWND anyWindowOfThread, GUITHREADINFO& info) {
    std::memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(anyWindowOfThread, nullptr);
    return thread && GetGUIThreadInfo(thread, &info);
}

std::string cmdWaitFocus(const Args& a) {
    HWND target = a.hwnd();
    GUITHREADINFO info;
    bool focused = waitFor(a.timeout("timeout", 3000), [&] { return threadFocus(target, info) && info.hwndFocus == target; });
    return focused ? "ok" : "error focus stayed on " + handleText(info.hwndFocus);
}

std::string cmdClose(const Args& a) {
    return PostMessageA(a.hwnd(), WM_CLOSE, 0, 0) ? "ok" : "error no such window";
}

// Paints the window and everything inside it now, so that a screenshot taken afterwards shows
// it whole; the paint messages are sent, so this returns once the program has painted.
std::string cmdRedraw(const Args& a) {
    HWND hwnd = a.hwnd();
    if (!IsWindow(hwnd)) return "error no such window";
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
    return "ok";
}

std::string cmdWaitGone(const Args& a) {
    HWND hwnd = a.hwnd();
    bool gone = waitFor(a.timeout(), [&] { return !IsWindow(hwnd) || !IsWindowVisible(hwnd); });
    return gone ? "ok" : "error the window is still shown";
}

std::string cmdWaitBox(const Args& a) {
    DWORD pid = static_cast<DWORD>(a.number("pid"));
    HWND box = nullptr;
    bool seen = waitFor(a.timeout(), [&] {
        for (HWND w : topLevelWindows(pid, true)) {
            if (isMessageBox(w)) {
                box = w;
                return true;
            }
        }
        return false;
    });
    if (!seen) return "error no message box within the time limit";
    say(boxLine(box));
    return "ok hwnd=" + handleText(box);
}

std::string cmdAnswerBox(const Args& a) {
    HWND box = a.hwnd();
    if (!pressBoxButton(box, a.text("button", "ok"))) return "error no such button";
    bool gone = waitFor(a.timeout("timeout", 5000), [&] { return !IsWindow(box) || !IsWindowVisible(box); });
    return gone ? "ok" : "error the box stayed open";
}

std::string cmdRun(const Args& a) {
    std::string commandLine = a.text("cmd");
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        return "error cannot start: " + std::to_string(GetLastError());
    }
    CloseHandle(pi.hThread);
    std::set<HWND> seen;
    DWORD start = GetTickCount();
    for (;;) {
        DWORD wait = WaitForSingleObject(pi.hProcess, kPollMs);
        for (HWND w : topLevelWindows(pi.dwProcessId, true)) {
            if (!seen.insert(w).second) continue;
            say(isMessageBox(w) ? boxLine(w) : windowLine(w));
            if (isMessageBox(w)) pressBoxButton(w, "ok");
        }
        if (wait == WAIT_OBJECT_0) break;
        if (GetTickCount() - start >= a.timeout("timeout", 30000)) {
            TerminateProcess(pi.hProcess, 0xDEAD);
            WaitForSingleObject(pi.hProcess, 5000);
            return "error still running after the time limit; ended";
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    return "ok code=" + std::to_string(code);
}

using Command = std::string (*)(const Args&);

const std::map<std::string, Command>& commands() {
    static const std::map<std::string, Command> table = {
        {"wait-window", cmdWaitWindow}, {"windows", cmdWindows},       {"tree", cmdTree},
        {"click", cmdClick},            {"combo-select", cmdComboSelect}, {"combo-items", cmdComboItems},
        {"lv-items", cmdListItems},     {"lv-select", cmdListSelect},  {"tab-items", cmdTabItems},
        {"tab-select", cmdTabSelect},   {"set-text", cmdSetText},      {"key", cmdKey},
        {"mouse", cmdMouse},            {"activate", cmdActivate},     {"wait-focus", cmdWaitFocus},
        {"close", cmdClose},            {"wait-gone", cmdWaitGone},    {"wait-box", cmdWaitBox},
        {"answer-box", cmdAnswerBox},   {"run", cmdRun},               {"redraw", cmdRedraw}};
    return table;
}

}  // namespace

// Runs the commands of standard input, one a line, until "quit" or its end.
int main() {
    char line[65536];
    while (std::fgets(line, sizeof line, stdin)) {
        std::vector<std::string> words;
        std::istringstream in(line);
        for (std::string word; in >> word;) words.push_back(word);
        if (words.empty()) continue;
        if (words[0] == "quit") break;
        auto it = commands().find(words[0]);
        std::string last = "error unknown command " + words[0];
        if (it != commands().end()) {
            try {
                last = it->second(Args(std::vector<std::string>(words.begin() + 1, words.end())));
            } catch (...) {
                last = "error the command failed";
            }
        }
        say(last);
    }
    return 0;
}
