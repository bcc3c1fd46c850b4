// The toolkit's own cases: real windows in this process (under Wine, on the GUI tier's display),
// driven with SendMessage and posted keys through the toolkit's message loop. Texts are GBK
// bytes; the tier runs the cases under GBK, Big5 and Western code pages, and the bytes must
// come back unchanged under each.
#include <gtest/gtest.h>

#include <stdexcept>
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

const std::string kChinese = "\xd6\xd0\xce\xc4";           // 中文
const std::string kInputMethod = "\xca\xe4\xc8\xeb\xb7\xa8";  // 输入法

void pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (!translateDialogMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

// Holds modifier keys down for the thread while it lives, as GetKeyState sees them.
class HeldKeys {
public:
    explicit HeldKeys(std::vector<int> keys) {
        GetKeyboardState(saved_);
        BYTE state[256];
        GetKeyboardState(state);
        for (int k : keys) state[k] = 0x80;
        SetKeyboardState(state);
    }
    ~HeldKeys() { SetKeyboardState(saved_); }

private:
    BYTE saved_[256];
};

// A key pressed on the focused control, through the queue and the toolkit's message loop.
void press(UINT vk, std::vector<int> held = {}) {
    HeldKeys keys(held);
    HWND focus = GetFocus();
    PostMessageA(focus, WM_KEYDOWN, vk, 1);
    PostMessageA(focus, WM_KEYUP, vk, 1 | (3u << 30));
    pump();
}

struct Scene {
    Window window;
    Scene() {
        Window::Args a;
        a.title = "toolkit test";
        a.clientWidth = 320;
        a.clientHeight = 300;
        window.create(a);
        window.show(true);
        pump();
    }
    HWND hwnd() const { return window.hwnd(); }
};

// ---- Notifications reach the control objects through every kind of container

TEST(Dispatch, NotificationsReachControlsInsideGroupBoxesAndTabPages) {
    Scene scene;
    Tab tab;
    tab.create({scene.hwnd(), {8, 8, 300, 200}});
    TabPage& page = tab.addPage("page");
    GroupBox group;
    group.create({page.hwnd(), "group", {8, 8, 280, 150}});
    CheckBox box;
    box.create({group.hwnd(), kChinese, {10, 20}});
    ComboBox combo;
    combo.create({group.hwnd(), {10, 50}});
    Edit edit;
    edit.create({group.hwnd(), "", {10, 90}});
    combo.add("first");
    combo.add("second");
    combo.select(0);
    int clicks = 0, choices = 0, changes = 0;
    box.onClick = [&] { ++clicks; };
    combo.onSelectionChanged = [&] { ++choices; };
    edit.onChange = [&] { ++changes; };

    SendMessageA(box.hwnd(), BM_CLICK, 0, 0);
    SendMessageA(combo.hwnd(), WM_KEYDOWN, VK_DOWN, 0);  // the user picks the next item
    edit.setText(kInputMethod);
    EXPECT_EQ(1, clicks);
    EXPECT_TRUE(box.isChecked());
    EXPECT_EQ(1, choices);
    EXPECT_EQ("second", combo.selectedText());
    EXPECT_EQ(1, changes);
}

TEST(Dispatch, WindowsTheToolkitDidNotMakeAreNeverTakenForControls) {
    Scene scene;
    GroupBox group;
    group.create({scene.hwnd(), "", {8, 8, 200, 100}});
    int sentinel = 0;
    HWND foreign = CreateWindowExA(0, "STATIC", "x", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 5, 20, 50, 20, group.hwnd(),
                                   reinterpret_cast<HMENU>(77), GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(foreign, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&sentinel));
    EXPECT_EQ(nullptr, Control::fromHandle(foreign));
    SendMessageA(group.hwnd(), WM_COMMAND, MAKEWPARAM(77, STN_CLICKED), reinterpret_cast<LPARAM>(foreign));
    EXPECT_EQ(0, sentinel);
    EXPECT_EQ(&group, Control::fromHandle(group.hwnd()));
}

TEST(Dispatch, AnExceptionFromAHandlerStaysInsideTheWindowProcedure) {
    Scene scene;
    Button button;
    button.create({scene.hwnd(), "b", {8, 8}});
    button.onClick = [] { throw std::runtime_error("handler failed"); };
    SendMessageA(button.hwnd(), BM_CLICK, 0, 0);
    int clicks = 0;
    button.onClick = [&] { ++clicks; };
    SendMessageA(button.hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(1, clicks);
}

// ---- The link between a window and its object

TEST(Lifetime, AControlObjectGoneFirstLeavesItsWindowUnlinked) {
    Scene scene;
    HWND hwnd;
    {
        Button button;
        button.create({scene.hwnd(), "b", {8, 8}});
        button.onClick = [] { FAIL() << "a destroyed object was called"; };
        hwnd = button.hwnd();
    }
    ASSERT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(0, GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    EXPECT_EQ(nullptr, Control::fromHandle(hwnd));
    SendMessageA(hwnd, BM_CLICK, 0, 0);
}

TEST(Lifetime, AWindowGoneFirstLeavesItsControlObjectsEmpty) {
    Button button;
    ListView list;
    {
        Scene scene;
        button.create({scene.hwnd(), "b", {8, 8}});
        list.create({scene.hwnd(), {8, 40, 200, 100}});
        EXPECT_TRUE(button.exists());
    }
    EXPECT_FALSE(button.exists());
    EXPECT_FALSE(list.exists());
}

TEST(Lifetime, TheImageListOutlivesTheListThatShowedIt) {
    ImageList images;
    images.add(LoadIconA(nullptr, IDI_APPLICATION));
    images.add(LoadIconA(nullptr, IDI_WARNING));
    {
        Scene scene;
        ListView list;
        list.create({scene.hwnd(), {8, 8, 200, 100}});
        list.setImageList(images);
        list.addItem(kChinese, 1);
    }
    EXPECT_EQ(2, ImageList_GetImageCount(images.handle()));
}

// ---- Controls

TEST(Button, OneThatTakesNoFocusIsClickedAndLeavesTheFocusAlone) {
    Scene scene;
    Edit edit;
    edit.create({scene.hwnd(), "", {8, 8}});
    Button::Args a{scene.hwnd(), "&Up", {8, 40, 41, 0}};
    a.takesFocus = false;
    Button up;
    up.create(a);
    int clicks = 0;
    up.onClick = [&] { ++clicks; };
    SetFocus(edit.hwnd());
    SendMessageA(up.hwnd(), BM_CLICK, 0, 0);
    EXPECT_EQ(1, clicks);
    EXPECT_EQ(edit.hwnd(), GetFocus());
    EXPECT_EQ(0, GetWindowLongA(up.hwnd(), GWL_STYLE) & WS_TABSTOP);
}

TEST(ListView, TextsOfAnyLengthAndSelectionChangesAndHitTests) {
    Scene scene;
    ListView list;
    list.create({scene.hwnd(), {8, 8, 300, 200}});
    list.addColumn("Name", 150);
    list.addColumn("Hotkey", 120);
    std::string longName;
    while (longName.size() < 1000) longName += kChinese;
    list.addItem(longName);
    list.addItem(kInputMethod);
    list.setItemText(1, 1, "Ctrl+Shift+1");
    EXPECT_EQ(longName, list.itemText(0, 0));
    EXPECT_EQ("Ctrl+Shift+1", list.itemText(1, 1));
    EXPECT_EQ("", list.itemText(5, 0));

    std::vector<std::string> changes;
    list.onItemChanged = [&](const ListView::SelectionChange& c) {
        changes.push_back(std::to_string(c.item) + (c.selected ? "+" : "-"));
    };
    list.select(0);
    list.select(1);
    EXPECT_EQ((std::vector<std::string>{"0+", "0-", "1+"}), changes);
    EXPECT_EQ(1, list.selectedIndex());

    RECT row{};
    ASSERT_TRUE(list.itemRect(1, row));
    ListView::Hit hit = list.hitTest(160, (row.top + row.bottom) / 2);
    EXPECT_EQ(1, hit.item);
    EXPECT_EQ(1, hit.subItem);
    hit = list.hitTest(20, row.bottom + 40);
    EXPECT_EQ(-1, hit.item);
}

TEST(ListView, InPlaceEditingIsSwitchedOffAndOnWhileRunningAndMayBeRefused) {
    Scene scene;
    ListView list;
    list.create({scene.hwnd(), {8, 8, 300, 200}});
    list.addColumn("Name", 150);
    list.addItem(kChinese);
    std::vector<int> begun;
    bool allow = true;
    list.onBeginLabelEdit = [&](int item) {
        begun.push_back(item);
        return allow;
    };
    EXPECT_FALSE(list.editLabel(0)) << "editing is off until switched on";
    list.setEditable(true);
    EXPECT_TRUE(list.isEditable());
    EXPECT_TRUE(list.editLabel(0));
    SetFocus(scene.hwnd());  // leaving the editor ends the edit
    pump();
    allow = false;
    EXPECT_FALSE(list.editLabel(0));
    list.setEditable(false);
    EXPECT_FALSE(list.editLabel(0));
    EXPECT_EQ((std::vector<int>{0, 0}), begun);
}

TEST(ComboBoxAndStatusBar, KeepGbkTextsByteForByte) {
    Scene scene;
    ComboBox combo;
    combo.create({scene.hwnd(), {8, 8}});
    combo.add(kChinese);
    combo.add(kInputMethod);
    EXPECT_TRUE(combo.select(1));
    EXPECT_EQ(kInputMethod, combo.selectedText());
    EXPECT_FALSE(combo.select(7));
    EXPECT_TRUE(combo.select(-1));
    EXPECT_EQ("", combo.selectedText());
    StatusBar status;
    status.create({scene.hwnd()});
    status.setStatus(kChinese + ": E0200804");
    EXPECT_EQ(kChinese + ": E0200804", status.status());
}

TEST(Fonts, AppliedToEveryWindowInsideAndLabelsRefit) {
    Scene scene;
    GroupBox group;
    group.create({scene.hwnd(), "", {8, 8, 300, 200}});
    Label label;
    label.create({group.hwnd(), kInputMethod, {10, 20}});
    Font small("Tahoma", 11);
    Font big("Tahoma", 24);
    small.applyTo(scene.hwnd());
    int smallWidth = label.rect().w;
    big.applyTo(scene.hwnd());
    EXPECT_GT(label.rect().w, smallWidth);
    EXPECT_EQ(big.handle(), reinterpret_cast<HFONT>(SendMessageA(label.hwnd(), WM_GETFONT, 0, 0)));
    EXPECT_EQ(24, reinterpret_cast<INT_PTR>(GetPropA(label.hwnd(), kFontHeightProperty)));
    int oneText = label.rect().w;
    label.setText(kInputMethod + kInputMethod);
    EXPECT_GT(label.rect().w, oneText);
    label.setText("");
    EXPECT_EQ(0, label.rect().w);
    // A control made after the font was set speaks in it.
    CheckBox late;
    late.create({group.hwnd(), kChinese, {10, 60}});
    EXPECT_EQ(big.handle(), reinterpret_cast<HFONT>(SendMessageA(late.hwnd(), WM_GETFONT, 0, 0)));
}

TEST(Colours, TheWindowBackgroundOfAControlComesThroughItsParent) {
    Scene scene;
    GroupBox group;
    group.create({scene.hwnd(), "", {8, 8, 300, 200}});
    SunkenPanel field;
    field.create({group.hwnd(), kChinese, {16, 22, 185, 22}, COLOR_WINDOW});
    HDC dc = GetDC(field.hwnd());
    auto brush = SendMessageA(group.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(field.hwnd()));
    EXPECT_EQ(reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW)), brush);
    ReleaseDC(field.hwnd(), dc);
}

// ---- Keyboard navigation through the message loop

TEST(Navigation, TabFollowsCreationOrderIntoGroupBoxesAndTheShownPage) {
    Scene scene;
    Button first, last;
    GroupBox group;
    CheckBox one, two;
    Tab tab;
    Edit onPage, onHiddenPage;
    first.create({scene.hwnd(), "&First", {8, 8}});
    group.create({scene.hwnd(), "", {8, 40, 200, 60}});
    one.create({group.hwnd(), "one", {8, 16}});
    two.create({group.hwnd(), "two", {100, 16}});
    tab.create({scene.hwnd(), {8, 110, 300, 120}});
    onPage.create({tab.addPage("a").hwnd(), "", {8, 8}});
    onHiddenPage.create({tab.addPage("b").hwnd(), "", {8, 8}});
    last.create({scene.hwnd(), "&Last", {8, 240}});
    SetFocus(first.hwnd());
    std::vector<HWND> visited;
    for (int i = 0; i < 5; ++i) {
        press(VK_TAB);
        visited.push_back(GetFocus());
    }
    EXPECT_EQ((std::vector<HWND>{one.hwnd(), two.hwnd(), onPage.hwnd(), last.hwnd(), first.hwnd()}), visited);
    press(VK_TAB, {VK_SHIFT});
    EXPECT_EQ(last.hwnd(), GetFocus());

    // Ctrl+Tab shows the next page and puts the focus on its first control.
    std::vector<int> shown;
    tab.onPageShown = [&](int index) { shown.push_back(index); };
    SetFocus(onPage.hwnd());
    press(VK_TAB, {VK_CONTROL});
    EXPECT_EQ(1, tab.selectedIndex());
    EXPECT_EQ(onHiddenPage.hwnd(), GetFocus());
    EXPECT_FALSE(tab.page(0).isVisible());
    press(VK_TAB, {VK_CONTROL});
    EXPECT_EQ((std::vector<int>{1, 0}), shown);
    tab.selectNext(-1);
    EXPECT_EQ(1, tab.selectedIndex());
}

TEST(Navigation, ARadioGroupIsOneTabStopAtItsCheckedButton) {
    Scene scene;
    GroupBox group;
    group.create({scene.hwnd(), "", {8, 8, 300, 60}});
    RadioButton a, b, c;
    a.create({group.hwnd(), "a", {8, 16}});
    b.create({group.hwnd(), "b", {80, 16}, true});
    c.create({group.hwnd(), "c", {160, 16}});
    auto stops = [&] {
        std::string s;
        for (RadioButton* r : {&a, &b, &c}) s += (GetWindowLongA(r->hwnd(), GWL_STYLE) & WS_TABSTOP) ? "T" : "-";
        return s;
    };
    EXPECT_EQ("-T-", stops());
    SendMessageA(c.hwnd(), BM_CLICK, 0, 0);
    EXPECT_TRUE(c.isChecked());
    EXPECT_FALSE(b.isChecked());
    EXPECT_EQ("--T", stops());
}

TEST(Navigation, EnterEscAndAcceleratorsPressTheirButtons) {
    Scene scene;
    Edit edit;
    Button ok, cancel, apply;
    edit.create({scene.hwnd(), "", {8, 8}});
    ok.create({scene.hwnd(), "OK", {8, 40}});
    apply.create({scene.hwnd(), "&Apply", {90, 40}});
    cancel.create({scene.hwnd(), "Cancel", {170, 40}});
    std::string pressed;
    ok.onClick = [&] { pressed += "ok "; };
    cancel.onClick = [&] { pressed += "cancel "; };
    apply.onClick = [&] { pressed += "apply "; };
    scene.window.setDefaultButton(ok);
    scene.window.setCancelButton(cancel);
    SetFocus(edit.hwnd());
    press(VK_RETURN);
    press(VK_ESCAPE);
    PostMessageA(edit.hwnd(), WM_SYSCHAR, 'a', 1 << 29);
    pump();
    EXPECT_EQ("ok cancel apply ", pressed);
}

TEST(Navigation, ALetterSharedByTwoButtonsMovesTheFocusAndPressesNeither) {
    Scene scene;
    Edit edit;
    Button add, apply, down;
    edit.create({scene.hwnd(), "", {8, 8}});
    add.create({scene.hwnd(), "&Add", {8, 40}});
    down.create({scene.hwnd(), "&Down", {90, 40}});
    apply.create({scene.hwnd(), "&Apply", {170, 40}});
    std::string pressed;
    add.onClick = [&] { pressed += "add "; };
    apply.onClick = [&] { pressed += "apply "; };
    down.onClick = [&] { pressed += "down "; };
    SetFocus(edit.hwnd());
    PostMessageA(edit.hwnd(), WM_SYSCHAR, 'a', 1 << 29);
    pump();
    EXPECT_EQ(add.hwnd(), GetFocus());
    PostMessageA(GetFocus(), WM_SYSCHAR, 'A', 1 << 29);
    pump();
    EXPECT_EQ(apply.hwnd(), GetFocus());
    PostMessageA(GetFocus(), WM_SYSCHAR, 'a', 1 << 29);
    pump();
    EXPECT_EQ(add.hwnd(), GetFocus()) << "the focus goes round";
    PostMessageA(GetFocus(), WM_SYSCHAR, 'd', 1 << 29);  // a letter of one button presses it
    pump();
    EXPECT_EQ("down ", pressed);
}

TEST(Button, ADisabledOneIsNotPressedEvenByAnotherProgram) {
    Scene scene;
    Button button;
    button.create({scene.hwnd(), "&Delete", {8, 8}});
    int presses = 0;
    button.onClick = [&] { ++presses; };
    button.enable(false);
    SendMessageA(button.hwnd(), BM_CLICK, 0, 0);
    pump();
    EXPECT_EQ(0, presses);
    button.enable(true);
    SendMessageA(button.hwnd(), BM_CLICK, 0, 0);
    pump();
    EXPECT_EQ(1, presses);
}

// ---- Modal dialogs

class ScriptedDialog : public Dialog {
public:
    std::function<void(ScriptedDialog&)> onShowing;
    Button ok, cancel;
    int inits = 0;

protected:
    void onInit() override {
        ++inits;
        ok.create({hwnd(), "OK", {16, 160}});
        cancel.create({hwnd(), "Cancel", {112, 160}});
        setDefaultButton(ok);
        setCancelButton(cancel);
    }
    void onShow() override {
        if (onShowing) onShowing(*this);
    }
};

TEST(Dialog, CreatedOnceEndedByEnterEscAndItsCloseBoxHiddenBetween) {
    Scene scene;
    ScriptedDialog dialog;
    ASSERT_TRUE(dialog.create(scene.hwnd(), {"Hotkey", 193, 189}));
    RECT client{};
    GetClientRect(dialog.hwnd(), &client);
    EXPECT_EQ(193, client.right);
    EXPECT_EQ(189, client.bottom);
    HWND created = dialog.hwnd();
    struct Case {
        UINT message;
        WPARAM key;
        int result;
    };
    for (Case c : {Case{WM_KEYDOWN, VK_RETURN, IDOK}, Case{WM_KEYDOWN, VK_ESCAPE, IDCANCEL}, Case{WM_CLOSE, 0, IDCANCEL}}) {
        bool ownerDisabled = false;
        dialog.onShowing = [&](ScriptedDialog& d) {
            PostMessageA(c.message == WM_CLOSE ? d.hwnd() : d.ok.hwnd(), c.message, c.key, 1);
            ownerDisabled = true;
        };
        EXPECT_EQ(c.result, dialog.run(scene.hwnd())) << "key " << c.key;
        EXPECT_TRUE(ownerDisabled);
        EXPECT_EQ(created, dialog.hwnd());
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_TRUE(scene.window.isEnabled());
    }
    EXPECT_EQ(1, dialog.inits);
}

TEST(Dialog, TheDefaultButtonsOwnHandlerDecidesWhatEnterDoes) {
    Scene scene;
    ScriptedDialog dialog;
    dialog.create(scene.hwnd(), {"d", 200, 200});
    dialog.ok.onClick = [&] { dialog.end(7); };
    dialog.onShowing = [](ScriptedDialog& d) { PostMessageA(d.cancel.hwnd(), WM_KEYDOWN, VK_RETURN, 1); };
    EXPECT_EQ(7, dialog.run(scene.hwnd()));
}

TEST(Dialog, QuitWhileRunningEndsItAndReachesTheOuterLoop) {
    Scene scene;
    ScriptedDialog dialog;
    dialog.create(scene.hwnd(), {"d", 200, 200});
    int nested = 0;
    dialog.onShowing = [&](ScriptedDialog& d) {
        nested = d.run(scene.hwnd());  // already running: refused
        PostQuitMessage(5);
    };
    EXPECT_EQ(IDCANCEL, dialog.run(scene.hwnd()));
    EXPECT_EQ(-1, nested);
    EXPECT_TRUE(scene.window.isEnabled());
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(5u, msg.wParam);
}

TEST(Dialog, AReadOnlyFieldGetsItsBackgroundInADialogToo) {
    // A dialog procedure returns WM_CTLCOLOR* brushes directly, not through DWLP_MSGRESULT.
    Scene scene;
    ScriptedDialog dialog;
    dialog.create(scene.hwnd(), {"d", 200, 200});
    Edit current;
    current.create({dialog.hwnd(), "KBDUS.DLL", {79, 28, 169, 0}, true});
    current.setBackground(COLOR_INFOBK);
    HDC dc = GetDC(current.hwnd());
    auto brush = SendMessageA(dialog.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(current.hwnd()));
    EXPECT_EQ(reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_INFOBK)), brush);
    ReleaseDC(current.hwnd(), dc);
}

// ---- The top-level window and the open-file dialog

TEST(Window, FixedClientSizeNoMaximiseBoxAndSystemMenuCommands) {
    Window window;
    Window::Args a;
    a.title = kChinese;
    a.clientWidth = 327;
    a.clientHeight = 426;
    ASSERT_TRUE(window.create(a));
    RECT client{};
    GetClientRect(window.hwnd(), &client);
    EXPECT_EQ(327, client.right);
    EXPECT_EQ(426, client.bottom);
    LONG style = GetWindowLongA(window.hwnd(), GWL_STYLE);
    EXPECT_EQ(0, style & (WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_EQ(kChinese, window.text());

    HMENU menu = GetSystemMenu(window.hwnd(), FALSE);
    int before = GetMenuItemCount(menu);
    window.appendSystemMenu(MF_SEPARATOR, 0, "");
    window.appendSystemMenu(MF_STRING, 0x402, "&Command Line Switches");
    window.appendSystemMenu(MF_STRING | MF_CHECKED, 0x401, "&About...");
    EXPECT_EQ(before + 3, GetMenuItemCount(menu));
    EXPECT_TRUE(GetMenuState(menu, 0x401, MF_BYCOMMAND) & MF_CHECKED);
    std::vector<UINT> commands;
    window.onSystemCommand = [&](UINT command) {
        commands.push_back(command);
        return false;
    };
    SendMessageA(window.hwnd(), WM_SYSCOMMAND, 0x401, 0);
    SendMessageA(window.hwnd(), WM_SYSCOMMAND, 0x402, 0);
    EXPECT_EQ((std::vector<UINT>{0x401, 0x402}), commands);
}

TEST(OpenFileDialog, FilterPairsBecomeNulSeparatedWithTwoNulsAtTheEnd) {
    EXPECT_EQ(std::string("*.ime\0*.ime\0\0", 13), fileDialogFilter("*.ime|*.ime"));
    EXPECT_EQ(std::string("a\0*.a\0b\0*.b\0\0", 13), fileDialogFilter("a|*.a|b|*.b"));
}

}  // namespace

int main(int argc, char** argv) {
    initCommonControls();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
