// The toolkit gallery: a test program (not part of kestrine.exe) with every control kind of
// the toolkit, laid out like the main window, Chinese captions, and a modal dialog created once
// and shown as often as asked. Each handler call is written as one line to the log file named
// by /log:PATH, so that the GUI tests can check that clicks, selection changes, label edits,
// page switches, Enter, Esc and Tab navigation reach their handlers.
//
// Switches: /log:PATH   append handler reports to PATH
//           /quiet      never show the window; ask two OK/Cancel questions and exit with
//                       10 * first answer + second answer
//           /show       show the window, say one thing in a message box, exit with 3
//
// Log lines: an event name, then key=value fields; texts are hexadecimal bytes of the system
// code page (GBK under zh_CN), so they survive any locale.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "toolkit/common_dialogs.h"
#include "toolkit/controls.h"
#include "toolkit/graphics.h"
#include "toolkit/list_view.h"
#include "toolkit/message_loop.h"
#include "toolkit/tab.h"
#include "toolkit/window.h"

using namespace toolkit;

namespace {

FILE* logFile = nullptr;

void report(const std::string& line) {
    if (!logFile) return;
    std::fputs(line.c_str(), logFile);
    std::fputc('\n', logFile);
    std::fflush(logFile);
}

std::string hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 15]);
    }
    return out;
}

// The captions are written in UTF-8 here and used in the system's code page, as the program does.
std::string ansi(const char* utf8) {
    int wide = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    if (wide <= 0) return utf8;
    std::vector<wchar_t> w(static_cast<size_t>(wide));
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, w.data(), wide);
    int bytes = WideCharToMultiByte(CP_ACP, 0, w.data(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return utf8;
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, w.data(), -1, &out[0], bytes, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

bool isNtFamily() { return (GetVersion() & 0x80000000u) == 0; }

std::string trimmed(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
    return text.substr(begin, end - begin);
}

// A modal dialog in the shape of the hot-key editor.
class GalleryDialog : public Dialog {
public:
    explicit GalleryDialog(const Font& font) : font_(font) {}
    int showings = 0;

protected:
    void onInit() override {
        report("dialog-init hwnd=" + std::to_string(reinterpret_cast<uintptr_t>(hwnd())));
        font_.applyTo(hwnd(), false);
        target_.create({hwnd(), ansi("输入法"), {8, 8}});
        Edit::Args current{hwnd(), ansi("美式键盘"), {60, 5, 121, 0}, true};
        current_.create(current);
        current_.setBackground(COLOR_INFOBK);
        ok_.create({hwnd(), ansi("确定"), {16, 160, 0, 25}});
        cancel_.create({hwnd(), ansi("取消"), {112, 160, 0, 25}});
        enable_.create({hwnd(), ansi("启用热键"), {12, 29}});
        group_.create({hwnd(), ansi("热键"), {12, 56, 169, 97}});
        plus_.create({group_.hwnd(), "+", {16, 46}});
        ctrl_.create({group_.hwnd(), "Ctrl", {11, 16}});
        alt_.create({group_.hwnd(), "Alt", {63, 16}});
        shift_.create({group_.hwnd(), "Shift", {115, 16}});
        key_.create({group_.hwnd(), {30, 42, 109, 0}});
        left_.create({group_.hwnd(), ansi("左"), {29, 71}, true});
        right_.create({group_.hwnd(), ansi("右"), {109, 71}, true});
        key_.setBackground(COLOR_WINDOW);
        key_.add(ansi("无"));
        for (int f = 1; f <= 12; ++f) key_.add("F" + std::to_string(f));
        key_.select(0);
        setDefaultButton(ok_);
        setCancelButton(cancel_);
        enable_.onClick = [this] {
            report("dialog-check name=enable state=" + std::to_string(enable_.isChecked()));
            refreshGroup();
        };
        ctrl_.onClick = [this] { report("dialog-check name=ctrl state=" + std::to_string(ctrl_.isChecked())); };
        key_.onSelectionChanged = [this] { report("dialog-combo name=key index=" + std::to_string(key_.selectedIndex())); };
        font_.applyTo(hwnd(), true);
    }
    void onShow() override {
        ++showings;
        report("dialog-show count=" + std::to_string(showings));
        refreshGroup();
    }
    void onOk() override {
        report("dialog-ok");
        end(IDOK);
    }
    void onCancel() override {
        report("dialog-cancel");
        end(IDCANCEL);
    }

private:
    void refreshGroup() {
        bool on = enable_.isChecked();
        for (Control* c : std::vector<Control*>{&ctrl_, &alt_, &shift_, &key_, &left_, &right_, &plus_}) c->enable(on);
    }

    const Font& font_;
    Label target_;
    Edit current_;
    Button ok_, cancel_;
    CheckBox enable_;
    GroupBox group_;
    Label plus_;
    CheckBox ctrl_, alt_, shift_, left_, right_;
    ComboBox key_;
};

class Gallery {
public:
    Gallery() : font_("Tahoma", isNtFamily() ? 11 : 12), switchFont_("Tahoma", 12), dialog_(font_) {}

    bool create(bool visible);
    int askQuestions();
    Window& window() { return window_; }

private:
    void buildPageNormal(TabPage& page);
    void buildPageOther(TabPage& page);
    void buildPageAdvanced(TabPage& page);
    void wireList();
    void clickReports(Button& button, const char* name);
    void checkReports(CheckBox& box, const char* name);
    void comboReports(ComboBox& box, const char* name);

    Font font_;
    Font switchFont_;
    ImageList images_;
    Window window_;
    ListView list_;
    Button up_, down_, remove_, hotkey_, property_, dialogButton_;
    ComboBox addBox_;
    Button add_;
    Tab tab_;
    // Page "normal"
    CheckBox indicator_;
    GroupBox styleGroup_, switchGroup_;
    RadioButton locales_, services_;
    CheckBox languageSwitch_, layoutSwitch_;
    ComboBox languageKeys_, layoutKeys_;
    // Page "other"
    GroupBox otherGroup_, toggleGroup_;
    Label capsLabel_;
    SunkenPanel divider_;
    CheckBox showStatus_;
    ComboBox capsMode_, toggleChooser_;
    Button toggleHotkey_;
    // Page "advanced"
    GroupBox deleteGroup_, installGroup_;
    SunkenPanel selectedEntry_;
    Button registryDelete_;
    Label fileLabel_, nameLabel_;
    Edit nameEdit_, fileEdit_;
    Button browse_, install_;
    OpenFileDialog browseDialog_;
    // Bottom row
    Button ok_, apply_, message_, exit_;
    StatusBar status_;
    GalleryDialog dialog_;
    int hoverItem_ = -2;
};

void Gallery::clickReports(Button& button, const char* name) {
    button.onClick = [name] { report(std::string("click name=") + name); };
}

void Gallery::checkReports(CheckBox& box, const char* name) {
    box.onClick = [&box, name] { report(std::string("check name=") + name + " state=" + std::to_string(box.isChecked())); };
}

void Gallery::comboReports(ComboBox& box, const char* name) {
    box.onSelectionChanged = [&box, name] {
        report(std::string("combo name=") + name + " index=" + std::to_string(box.selectedIndex()) +
               " text=" + hex(box.selectedText()));
    };
}

bool Gallery::create(bool visible) {
    Window::Args w;
    w.title = ansi("工具包样例");
    w.clientWidth = 327;
    w.clientHeight = 426;
    w.iconResource = "MAINICON";
    w.className = "KestrineGallery";
    w.quitOnDestroy = true;
    if (!window_.create(w)) return false;
    font_.applyTo(window_.hwnd(), false);
    HWND top = window_.hwnd();

    ok_.create({top, ansi("确定(&O)"), {8, 375, 57, 0}});
    tab_.create({top, {8, 184, 313, 185}});
    buildPageNormal(tab_.addPage(ansi("常规")));
    buildPageOther(tab_.addPage(ansi("其他")));
    buildPageAdvanced(tab_.addPage(ansi("高级")));
    Button::Args upArgs{top, ansi("上移(&U)"), {8, 128, 41, 0}};
    upArgs.takesFocus = false;
    up_.create(upArgs);
    down_.create({top, ansi("下移(&D)"), {51, 128, 41, 0}});
    remove_.create({top, ansi("删除"), {97, 128, 43, 0}});
    add_.create({top, ansi("添加(&A)"), {264, 158, 57, 0}});
    addBox_.create({top, {8, 158, 249, 0}});
    list_.create({top, {8, 8, 313, 113}, true});
    exit_.create({top, ansi("取消"), {264, 375, 57, 0}});
    hotkey_.create({top, ansi("热键(&H)"), {145, 128, 57, 0}});
    apply_.create({top, ansi("应用"), {82, 375, 57, 0}});
    property_.create({top, ansi("属性(&P)"), {204, 128, 57, 0}});
    dialogButton_.create({top, ansi("对话框"), {264, 128, 57, 0}});
    message_.create({top, ansi("消息(&M)"), {170, 375, 57, 0}});
    status_.create({top});
    status_.setStatus(ansi("就绪"));

    addBox_.setBackground(COLOR_WINDOW);
    for (const char* name : {"中文 (简体) - 全拼", "中文 (简体) - 郑码", "美式键盘"}) addBox_.add(ansi(name));
    wireList();

    clickReports(up_, "up");
    clickReports(down_, "down");
    clickReports(remove_, "remove");
    clickReports(hotkey_, "hotkey");
    clickReports(property_, "property");
    clickReports(apply_, "apply");
    clickReports(ok_, "ok");
    clickReports(exit_, "cancel");
    comboReports(addBox_, "add-box");
    add_.onClick = [this] {
        int index = list_.addItem(addBox_.selectedText(), 0);
        report("click name=add row=" + std::to_string(index));
    };
    dialogButton_.onClick = [this] {
        int code = dialog_.run(window_.hwnd());
        report("dialog-result code=" + std::to_string(code) + " owner-enabled=" + std::to_string(window_.isEnabled()));
    };
    message_.onClick = [this] {
        int answer = messageBox(window_.hwnd(), ansi("这是消息框的正文。"), ansi("消息"), MB_OKCANCEL | MB_ICONINFORMATION);
        report("message-box answer=" + std::to_string(answer));
    };
    tab_.onPageShown = [this](int index) {
        report("page-shown index=" + std::to_string(index));
        status_.setStatus("");
    };
    tab_.page(2).onClick = [] { report("page-click index=2"); };
    window_.setDefaultButton(ok_);
    window_.setCancelButton(exit_);

    window_.appendSystemMenu(MF_SEPARATOR, 0, "");
    window_.appendSystemMenu(MF_STRING, 0x402, ansi("命令行参数(&C)"));
    window_.appendSystemMenu(MF_STRING | MF_CHECKED, 0x401, ansi("关于(&A)..."));
    window_.onSystemCommand = [this](UINT command) {
        if (command == 0x401 || command == 0x402) {
            report("system-command id=" + std::to_string(command));
            messageBox(window_.hwnd(), ansi("工具包样例\r日期：2009.9.22"), ansi("版本信息"), MB_OK | MB_ICONINFORMATION);
        }
        return false;
    };

    // Fonts last, as the program does: everything 11 pixels on the NT family, the indicator
    // switch 12.
    font_.applyTo(window_.hwnd(), true);
    switchFont_.applyTo(indicator_.hwnd(), false);
    list_.setColumnWidth(0, 154);
    list_.setColumnWidth(1, 155);
    list_.select(list_.count() - 1);

    dialog_.create(window_.hwnd(), {ansi("热键"), 193, 189});
    window_.centre();
    if (visible) {
        window_.show(true);
        UpdateWindow(window_.hwnd());
    }
    report("ready hwnd=" + std::to_string(reinterpret_cast<uintptr_t>(window_.hwnd())));
    return true;
}

void Gallery::wireList() {
    images_.add(LoadIconA(GetModuleHandleA(nullptr), "MAINICON"));
    images_.add(LoadIconA(nullptr, IDI_INFORMATION));
    images_.add(LoadIconA(nullptr, IDI_WARNING));
    list_.setImageList(images_);
    list_.addColumn(ansi("名称"), 50);
    list_.addColumn(ansi("热键"), 50);
    const char* rows[][2] = {{"中文 (简体) - 微软拼音", "左 Ctrl+Shift+1"},
                             {"中文 (简体) - 全拼", ""},
                             {"美式键盘", "Ctrl+Alt+F5"}};
    for (int i = 0; i < 3; ++i) {
        int item = list_.addItem(ansi(rows[i][0]), i);
        list_.setItemText(item, 1, ansi(rows[i][1]));
    }
    list_.onItemChanged = [](const ListView::SelectionChange& change) {
        report("list-selection item=" + std::to_string(change.item) + " selected=" + std::to_string(change.selected));
    };
    list_.onClick = [](const ListView::Hit& hit) {
        report("list-click item=" + std::to_string(hit.item) + " sub=" + std::to_string(hit.subItem));
    };
    list_.onDoubleClick = [](const ListView::Hit& hit) {
        report("list-dblclick item=" + std::to_string(hit.item) + " sub=" + std::to_string(hit.subItem) +
               " x=" + std::to_string(hit.x) + " y=" + std::to_string(hit.y));
    };
    list_.onKeyDown = [this](int key) {
        report("list-key vk=" + std::to_string(key));
        if (key == VK_F2) report("list-f2 editing=" + std::to_string(list_.editLabel(list_.selectedIndex())));
    };
    list_.onBeginLabelEdit = [](int item) {
        report("list-begin-edit item=" + std::to_string(item));
        return true;
    };
    // Blank names are refused, as the program refuses them.
    list_.onEndLabelEdit = [](int item, const std::string& text) {
        bool accept = !trimmed(text).empty();
        report("list-end-edit item=" + std::to_string(item) + " text=" + hex(text) + " accepted=" + std::to_string(accept));
        return accept;
    };
    list_.onMouseMove = [this](int x, int y) {
        int item = list_.hitTest(x, y).item;
        if (item == hoverItem_) return;
        hoverItem_ = item;
        report("list-hover item=" + std::to_string(item));
    };
}

void Gallery::buildPageNormal(TabPage& page) {
    HWND p = page.hwnd();
    indicator_.create({p, ansi("启用/禁用"), {176, 5}, true});
    switchGroup_.create({p, "", {8, 65, 289, 79}});
    languageSwitch_.create({switchGroup_.hwnd(), ansi("切换输入语言"), {14, 18}});
    layoutSwitch_.create({switchGroup_.hwnd(), ansi("切换键盘布局"), {145, 18}});
    languageKeys_.create({switchGroup_.hwnd(), {14, 41}});
    layoutKeys_.create({switchGroup_.hwnd(), {145, 41}});
    styleGroup_.create({p, ansi("输入法样式"), {8, 7, 289, 52}});
    services_.create({styleGroup_.hwnd(), ansi("文字服务"), {158, 20}});
    locales_.create({styleGroup_.hwnd(), ansi("输入语言"), {38, 20}, true});
    for (ComboBox* keys : {&languageKeys_, &layoutKeys_}) {
        keys->setBackground(COLOR_WINDOW);
        keys->add("Ctrl+Shift");
        keys->add("Alt+Shift");
        keys->select(0);
    }
    checkReports(indicator_, "indicator");
    checkReports(languageSwitch_, "language-switch");
    checkReports(layoutSwitch_, "layout-switch");
    comboReports(languageKeys_, "language-keys");
    comboReports(layoutKeys_, "layout-keys");
    locales_.onClick = [this] {
        list_.setEditable(false);
        report("radio name=locales editable=" + std::to_string(list_.isEditable()));
    };
    services_.onClick = [this] {
        list_.setEditable(true);
        report("radio name=services editable=" + std::to_string(list_.isEditable()));
    };
}

void Gallery::buildPageOther(TabPage& page) {
    HWND p = page.hwnd();
    otherGroup_.create({p, ansi("其他"), {8, 73, 289, 73}});
    capsLabel_.create({otherGroup_.hwnd(), ansi("关闭大写锁定"), {24, 23}});
    divider_.create({otherGroup_.hwnd(), "", {144, 16, 2, 49}});
    showStatus_.create({otherGroup_.hwnd(), ansi("显示状态"), {168, 31}});
    capsMode_.create({otherGroup_.hwnd(), {24, 43, 81, 0}});
    toggleGroup_.create({p, ansi("其他输入法切换键"), {8, 6, 289, 60}});
    toggleHotkey_.create({toggleGroup_.hwnd(), ansi("热键(&H)"), {152, 26, 121, 0}});
    toggleChooser_.create({toggleGroup_.hwnd(), {16, 26, 129, 0}});
    capsMode_.add("Caps Lock");
    capsMode_.add("Shift");
    capsMode_.select(0);
    for (const char* item : {"输入法/非输入法切换", "全角/半角切换", "中英文标点切换"}) toggleChooser_.add(ansi(item));
    toggleChooser_.select(0);
    capsMode_.setBackground(COLOR_WINDOW);
    toggleChooser_.setBackground(COLOR_WINDOW);
    checkReports(showStatus_, "show-status");
    comboReports(capsMode_, "caps-mode");
    comboReports(toggleChooser_, "toggle-chooser");
    clickReports(toggleHotkey_, "toggle-hotkey");
    divider_.onMouseMove = [](int, int) { report("divider-hover"); };
}

void Gallery::buildPageAdvanced(TabPage& page) {
    HWND p = page.hwnd();
    deleteGroup_.create({p, ansi("从注册表删除"), {8, 7, 289, 55}});
    selectedEntry_.create({deleteGroup_.hwnd(), ansi("中文 (简体) - 郑码"), {16, 22, 185, 22}, COLOR_WINDOW});
    registryDelete_.create({deleteGroup_.hwnd(), ansi("删除"), {217, 22, 59, 0}});
    registryDelete_.enable(false);
    installGroup_.create({p, ansi("安装输入法"), {8, 69, 289, 78}});
    fileLabel_.create({installGroup_.hwnd(), ansi("输入法文件："), {15, 52}});
    nameLabel_.create({installGroup_.hwnd(), ansi("布局名称："), {15, 20}});
    nameEdit_.create({installGroup_.hwnd(), "", {91, 16, 182, 0}});
    fileEdit_.create({installGroup_.hwnd(), "", {91, 48, 94, 0}});
    browse_.create({installGroup_.hwnd(), "...", {187, 48, 25, 0}});
    install_.create({installGroup_.hwnd(), ansi("安装"), {221, 48, 55, 0}});
    install_.enable(false);
    nameEdit_.setBackground(COLOR_WINDOW);
    fileEdit_.setBackground(COLOR_WINDOW);
    auto installEnabling = [this](const char* name, Edit& edit) {
        report(std::string("edit-change name=") + name + " text=" + hex(edit.text()));
        install_.enable(!nameEdit_.text().empty() && !fileEdit_.text().empty());
    };
    nameEdit_.onChange = [this, installEnabling] { installEnabling("name", nameEdit_); };
    fileEdit_.onChange = [this, installEnabling] { installEnabling("file", fileEdit_); };
    clickReports(install_, "install");
    browseDialog_.filter = "*.ime|*.ime";
    char system[MAX_PATH + 1] = "";
    UINT length = GetSystemDirectoryA(system, MAX_PATH);
    browseDialog_.initialFolder = length > 0 && length < MAX_PATH ? system : "";
    browse_.onClick = [this] {
        bool chosen = browseDialog_.run(window_.hwnd());
        if (chosen) fileEdit_.setText(browseDialog_.fileName());
        report("browse chosen=" + std::to_string(chosen) + " file=" + hex(browseDialog_.fileName()));
    };
}

// Traditional characters, which both GBK and Big5 hold, so the questions read the same under
// zh_CN and zh_TW.
int Gallery::askQuestions() {
    int first = messageBox(nullptr, ansi("第一個問題"), ansi("樣例"), MB_OKCANCEL | MB_ICONQUESTION);
    int second = messageBox(nullptr, ansi("第二個問題"), ansi("樣例"), MB_OKCANCEL | MB_ICONQUESTION);
    return 10 * first + second;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    std::string args = commandLine ? commandLine : "";
    size_t log = args.find("/log:");
    if (log != std::string::npos) {
        std::string path = args.substr(log + 5);
        path = path.substr(0, path.find(' '));
        logFile = std::fopen(path.c_str(), "ab");
    }
    initCommonControls();
    bool quiet = args.find("/quiet") != std::string::npos;
    bool showOnce = args.find("/show") != std::string::npos;

    Gallery gallery;
    if (!gallery.create(!quiet)) return 2;
    if (quiet) return gallery.askQuestions();
    if (showOnce) {
        messageBox(gallery.window().hwnd(), ansi("窗口已显示"), ansi("样例"), MB_OK);
        return 3;
    }
    int code = runMessageLoop();
    report("exit code=" + std::to_string(code));
    return code;
}
