#include "ui/win32/main_window.h"

#include <algorithm>

#include "platform/text.h"
#include "toolkit/common_dialogs.h"
#include "toolkit/message_loop.h"
#include "ui/win32/dialog_font.h"
#include "ui/win32/keyboard_dialog.h"

namespace ui {
namespace {

constexpr int kClientWidth = 327;
constexpr int kClientHeight = 426;
constexpr UINT kAboutCommand = 0x401;
constexpr UINT kHelpCommand = 0x402;
constexpr int kAdvancedPage = 2;

}  // namespace

MainWindow::MainWindow(const settings::Registry& registry, platform::System& system, ApplicationWindow application)
    : system_(system),
      controller_(registry, system, prompts_),
      application_(application),
      font_("Tahoma", mainFontHeight(settings::WindowsVersion(system.version()))) {
    prompts_.setApplicationWindow(application);
}

MainWindow::~MainWindow() = default;

bool MainWindow::create() {
    // Without a desktop (a session with no display) no window can be made; the command-line
    // path needs none and still runs.
    toolkit::Window::Args args;
    args.title = controller_.texts().windowTitle;
    args.clientWidth = kClientWidth;
    args.clientHeight = kClientHeight;
    args.iconResource = "MAINICON";
    args.className = "Kestrine.MainWindow";
    args.quitOnDestroy = true;

    controller_.create();
    actions_ = std::make_unique<MainActions>(controller_.model(), system_, controller_.texts().keyboardDialog.title);
    // A run with arguments ends when its switches are done: it makes no window, which would cost
    // more than all its work (the first window of a process loads the visual styles).
    bool haveWindow = false;
    if (!controller_.startedWithArguments()) {
        args.owner = application_();
        haveWindow = window_.create(args);
    }
    if (!haveWindow) {
        controller_.initialise();
        return false;
    }
    if (controller_.hideRequested()) window_.show(false);
    buildControls();
    wireHandlers();
    initialise();
    return true;
}

void MainWindow::buildControls() {
    const WindowTexts& t = controller_.texts();
    HWND top = window_.hwnd();
    font_.applyTo(top, false);

    ok_.create({top, t.ok, {8, 375, 57, 0}, true});
    tab_.create({top, {8, 184, 313, 185}});
    buildPageNormal(tab_.addPage(t.normalTab));
    buildPageOther(tab_.addPage(t.otherTab));
    buildPageAdvanced(tab_.addPage(t.advancedTab));
    toolkit::Button::Args up{top, t.up, {8, 128, 41, 0}};
    up.takesFocus = false;  // clicking Up leaves the focus in the list
    up_.create(up);
    down_.create({top, t.down, {51, 128, 41, 0}});
    delete_.create({top, t.deleteEntry, {97, 128, 43, 0}});
    add_.create({top, t.add, {264, 158, 57, 0}});
    addBox_.create({top, {8, 158, 249, 0}});
    addBox_.setBackground(COLOR_WINDOW);
    list_.create({top, {8, 8, 313, 113}});
    list_.setBackground(COLOR_WINDOW);
    exit_.create({top, t.exit, {264, 375, 57, 0}});
    hotkey_.create({top, t.hotkey, {145, 128, 57, 0}});
    apply_.create({top, t.apply, {82, 375, 57, 0}});
    property_.create({top, t.property, {204, 128, 57, 0}});
    keyboardButton_.create({top, t.keyboard, {264, 128, 57, 0}});

    list_.setImageList(images_);
    list_.addColumn(t.nameColumn, 50);
    list_.addColumn(t.hotkeyColumn, 50);
    window_.setDefaultButton(ok_);
    window_.setCancelButton(exit_);
}

void MainWindow::buildPageNormal(toolkit::TabPage& page) {
    const WindowTexts& t = controller_.texts();
    HWND p = page.hwnd();
    indicatorSwitch_.create({p, t.enableDisable, {176, 5}, true});
    switchGroup_.create({p, "", {8, 65, 289, 79}});
    HWND s = switchGroup_.hwnd();
    // Each box as wide as its caption, up to the next box or the group's edge: a long caption is
    // cut short rather than run over the other box's square or out of the group.
    languageSwitch_.create({s, t.switchInputLanguages, {14, 18}, false, 0, 145 - 14 - 4});
    layoutSwitch_.create({s, t.switchKeyboardLayouts, {145, 18}, false, 0, 289 - 145 - 6});
    languageKey_.create({s, {14, 41}});
    layoutKey_.create({s, {145, 41}});
    styleGroup_.create({p, t.imeStyle, {8, 7, 289, 52}});
    textServicesOption_.create({styleGroup_.hwnd(), t.textServices, {158, 20}});
    indicatorOption_.create({styleGroup_.hwnd(), t.inputLocales, {38, 20}, true});
    for (toolkit::ComboBox* keys : {&languageKey_, &layoutKey_}) {
        keys->setBackground(COLOR_WINDOW);
        keys->add(t.ctrlShift);
        keys->add(t.altShift);
        keys->select(0);
    }
}

void MainWindow::buildPageOther(toolkit::TabPage& page) {
    const WindowTexts& t = controller_.texts();
    HWND p = page.hwnd();
    otherGroup_.create({p, t.otherTab, {8, 73, 289, 73}});
    HWND o = otherGroup_.hwnd();
    capsLabel_.create({o, t.turnOffCapsLock, {24, 23}});
    divider_.create({o, "", {144, 16, 2, 49}});
    showStatus_.create({o, t.showStatus, {168, 31}});
    capsMode_.create({o, {24, 43, 81, 0}});
    capsMode_.setBackground(COLOR_WINDOW);
    capsMode_.add(t.capsLockMode);
    capsMode_.add(t.shiftMode);
    capsMode_.select(0);
    toggleGroup_.create({p, t.otherToggleGroup, {8, 6, 289, 60}});
    toggleButton_.create({toggleGroup_.hwnd(), t.hotkey, {152, 26, 121, 0}});
    toggleChooser_.create({toggleGroup_.hwnd(), {16, 26, 129, 0}});
    toggleChooser_.setBackground(COLOR_WINDOW);
}

void MainWindow::buildPageAdvanced(toolkit::TabPage& page) {
    const WindowTexts& t = controller_.texts();
    HWND p = page.hwnd();
    deleteGroup_.create({p, t.deleteFromRegistryGroup, {8, 7, 289, 55}});
    selectedEntry_.create({deleteGroup_.hwnd(), "", {16, 22, 185, 22}, COLOR_WINDOW});
    registryDelete_.create({deleteGroup_.hwnd(), t.registryDelete, {217, 22, 59, 0}});
    registryDelete_.enable(false);
    installGroup_.create({p, t.installImeGroup, {8, 69, 289, 78}});
    HWND i = installGroup_.hwnd();
    fileLabel_.create({i, t.imeFileLabel, {15, 52}});
    nameLabel_.create({i, t.layoutTextLabel, {15, 20}});
    nameEdit_.create({i, "", {91, 16, 182, 0}});
    fileEdit_.create({i, "", {91, 48, 94, 0}});
    browse_.create({i, t.browse, {187, 48, 25, 0}});
    install_.create({i, t.install, {221, 48, 55, 0}});
    nameEdit_.setBackground(COLOR_WINDOW);
    fileEdit_.setBackground(COLOR_WINDOW);
}

template <typename Action>
void MainWindow::event(Action action) {
    if (refreshing_) return;
    action();
    refresh();
    closeIfAsked();
}

void MainWindow::wireHandlers() {
    settings::SettingsModel& model = controller_.model();
    MainActions& actions = *actions_;

    ok_.onClick = [this] { event([this] { controller_.applyWithClose(); }); };
    apply_.onClick = [this, &model] { event([&model] { model.apply(); }); };
    exit_.onClick = [this] { window_.close(); };
    up_.onClick = [this, &model] { event([&model] { model.moveUp(); }); };
    down_.onClick = [this, &model] { event([&model] { model.moveDown(); }); };
    delete_.onClick = [this, &model] { event([&model] { model.removeSelected(); }); };
    add_.onClick = [this, &model] { event([&model] { model.addSelected(); }); };
    hotkey_.onClick = [this] {
        event([this] {
            if (hotkeys_) hotkeys_->editEntryHotkey();
        });
    };
    property_.onClick = [this, &actions] {
        event([this, &actions] { actions.openProperties(reinterpret_cast<uintptr_t>(GetActiveWindow())); });
    };
    keyboardButton_.onClick = [this] { event([this] { openKeyboardDialog(); }); };

    // The list.
    list_.onItemChanged = [this, &model](const toolkit::ListView::SelectionChange&) {
        event([this, &model] { model.selectRow(list_.selectedIndex()); });
    };
    list_.onClick = [this, &actions](const toolkit::ListView::Hit&) {
        event([this, &actions] {
            controller_.model().window.listSelection = list_.selectedIndex();
            actions.listClicked();
        });
    };
    list_.onDoubleClick = [this](const toolkit::ListView::Hit& hit) {
        event([this, hit] {
            RECT first;
            int left = list_.itemRect(0, first) ? first.left : 0;
            if (hotkey::doubleClickOpensProperties(hit.x - left, list_.columnWidth(0))) {
                actions_->openProperties(reinterpret_cast<uintptr_t>(GetActiveWindow()));
            } else if (hotkeys_) {
                hotkeys_->editEntryHotkey();
            }
        });
    };
    list_.onKeyDown = [this, &actions](int key) {
        if (key == VK_F2 && actions.canStartRename()) list_.editLabel(list_.selectedIndex());
    };
    list_.onBeginLabelEdit = [&actions](int) { return actions.canStartRename(); };
    list_.onEndLabelEdit = [this, &actions](int, const std::string& text) {
        bool accepted = false;
        event([&] { accepted = actions.renameSelected(text); });
        return accepted;
    };
    list_.onMouseMove = [this, &actions](int, int y) {
        event([this, &actions, y] {
            RECT first;
            actions.listHover(y, list_.itemRect(0, first) ? first.top : 0);
        });
    };

    // The add box and the "Advanced" page.
    addBox_.onSelectionChanged = [this, &actions] { event([this, &actions] { actions.addBoxSelected(addBox_.selectedIndex()); }); };
    addBox_.onMouseMove = [this, &actions](int, int) { event([&actions] { actions.addBoxHover(); }); };
    selectedEntry_.onMouseMove = [this](int, int) { addBox_.focus(); };
    registryDelete_.onClick = [this] { event([this] { controller_.installer().deleteSelectedEntry(); }); };
    browse_.onClick = [this, &actions] {
        event([this, &actions] {
            bool chosen = browseDialog_.run(window_.hwnd());
            actions.browsed(chosen ? std::optional<std::string>(browseDialog_.fileName()) : std::nullopt);
        });
    };
    install_.onClick = [this] { event([this] { controller_.installer().InstallInputMethod(); }); };
    nameEdit_.onChange = [this, &model, &actions] {
        event([this, &model, &actions] {
            model.window.installName = nameEdit_.text();
            actions.installGroupChanged();
        });
    };
    fileEdit_.onChange = [this, &model, &actions] {
        event([this, &model, &actions] {
            model.window.installFile = fileEdit_.text();
            actions.installGroupChanged();
        });
    };
    tab_.page(kAdvancedPage).onClick = [this, &actions] { event([&actions] { actions.installGroupChanged(); }); };
    tab_.onPageShown = [this, &actions](int page) { event([&actions, page] { actions.pageShown(page); }); };

    // Page "Normal".
    indicatorSwitch_.onClick = [this, &actions] {
        event([this, &actions] { actions.indicatorSwitchClicked(indicatorSwitch_.isChecked()); });
    };
    indicatorOption_.onClick = [this, &actions] { event([&actions] { actions.indicatorOptionClicked(); }); };
    textServicesOption_.onClick = [this, &actions] { event([&actions] { actions.textServicesOptionClicked(); }); };
    languageSwitch_.onClick = [this, &actions] {
        event([this, &actions] { actions.languageSwitchClicked(languageSwitch_.isChecked()); });
    };
    layoutSwitch_.onClick = [this, &actions] {
        event([this, &actions] { actions.layoutSwitchClicked(layoutSwitch_.isChecked()); });
    };
    languageKey_.onSelectionChanged = [this, &actions] {
        event([this, &actions] { actions.languageKeyChosen(languageKey_.selectedIndex()); });
    };
    layoutKey_.onSelectionChanged = [this, &actions] {
        event([this, &actions] { actions.layoutKeyChosen(layoutKey_.selectedIndex()); });
    };

    // Page "Other": the Caps Lock choice and the status box only hold what apply reads.
    capsMode_.onSelectionChanged = [this, &model] {
        event([this, &model] { model.snapshot.capsLockMode = capsMode_.selectedIndex() == 1 ? 1 : 0; });
    };
    showStatus_.onClick = [this, &model] { event([this, &model] { model.snapshot.showStatus = showStatus_.isChecked(); }); };
    toggleChooser_.onSelectionChanged = [this] {
        event([this] {
            if (hotkeys_) hotkeys_->toggleSelectionChanged(toggleChooser_.selectedIndex());
        });
    };
    auto hover = [this](int, int) {
        event([this] {
            if (hotkeys_) hotkeys_->toggleHover();
        });
    };
    toggleChooser_.onMouseMove = hover;
    toggleButton_.onMouseMove = hover;
    toggleButton_.onClick = [this] {
        event([this] {
            if (hotkeys_) hotkeys_->editToggleHotkey();
        });
    };

    // The system menu: the help text and the about box. Both are reported as not handled, so
    // the system's own handling goes on (it does nothing for these commands).
    window_.onSystemCommand = [this](UINT command) {
        if (command == kHelpCommand) controller_.showHelp();
        if (command == kAboutCommand) controller_.showAbout();
        return false;
    };
}

void MainWindow::initialise() {
    const WindowTexts& t = controller_.texts();
    settings::SettingsModel& model = controller_.model();
    if (model.window.keyChoiceCount > 2) {
        languageKey_.add(t.graveAccent);
        layoutKey_.add(t.graveAccent);
    }
    placeVertically();
    window_.appendSystemMenu(MF_SEPARATOR, 0, "");
    window_.appendSystemMenu(MF_STRING, kHelpCommand, t.commandLineSwitchesItem);
    window_.appendSystemMenu(MF_STRING | MF_CHECKED, kAboutCommand, t.aboutItem);
    browseDialog_.filter = t.browseFilter;
    browseDialog_.initialFolder = system_.systemDirectory();
    list_.setColumnWidth(0, 154);
    list_.setColumnWidth(1, 155);
    font_.applyTo(window_.hwnd(), true);

    controller_.initialise();
    refresh();
    if (controller_.closeRequested()) {
        PostMessageA(window_.hwnd(), WM_CLOSE, 0, 0);
    } else if (!controller_.startedWithArguments() && !controller_.hideRequested()) {
        window_.show(true);
        UpdateWindow(window_.hwnd());
        list_.focus();
    }
}

void MainWindow::createDialogs(hotkey::EditorSession& editor, KeyboardDialog& keyboard) {
    const WindowTexts& t = controller_.texts();
    keyboard_ = &keyboard;
    hotkey::HandlerTexts texts{{t.imeToggle, t.shapeToggle, t.symbolToggle}, t.duplicateHotkey, t.caption};
    hotkeys_ = std::make_unique<hotkey::HotkeyHandlers>(controller_.model(), editor_, editor, prompts_, texts);
}

// With command-line arguments the window waits below the desktop, out of sight; otherwise it
// stands centred.
void MainWindow::placeVertically() {
    window_.centre();
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    toolkit::Rect r = window_.rect();
    int y = controller_.startedWithArguments() ? work.bottom + 1 : (work.bottom - r.h) / 2;
    SetWindowPos(window_.hwnd(), nullptr, r.x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::closeIfAsked() {
    if (controller_.closeRequested()) window_.close();
}

void MainWindow::openKeyboardDialog() {
    settings::SettingsModel& model = controller_.model();
    int r = model.window.listSelection;
    if (!keyboard_ || r < 0 || r >= static_cast<int>(model.snapshot.rows.size())) return;
    const settings::PreloadRow& row = model.snapshot.rows[static_cast<size_t>(r)];
    if (row.unreadable) return;  // it names no entry, and so no layout
    keyboard_->showFor(window_.hwnd(), row.shownName, row.klid);
}

// ---- Showing the model ----

namespace {

// Controls are only touched where the model differs from what they show, so that the many
// refreshes (every mouse move over the list updates the status line) neither flicker nor
// close an open drop-down list.
void showText(toolkit::WindowBase& control, const std::string& text) {
    if (control.text() != text) control.setText(text);
}

void showItems(toolkit::ComboBox& box, const std::vector<std::string>& items) {
    bool same = box.count() == static_cast<int>(items.size());
    for (size_t i = 0; same && i < items.size(); ++i) same = box.itemText(static_cast<int>(i)) == items[i];
    if (same) return;
    box.clear();
    for (const auto& item : items) box.add(item);
}

void showSelection(toolkit::ComboBox& box, int index) {
    if (box.selectedIndex() != index) box.select(index);
}

}  // namespace

void MainWindow::refresh() {
    if (!window_.exists()) return;
    refreshing_ = true;
    const settings::SettingsSnapshot& s = controller_.model().snapshot;
    const settings::WindowState& w = controller_.model().window;
    const settings::ControlStates c = controller_.model().controlStates();

    refreshList();
    std::vector<std::string> addItems;
    for (const auto& entry : s.addable) addItems.push_back(entry.itemText);
    showItems(addBox_, addItems);
    showSelection(addBox_, w.addSelection);
    up_.enable(c.up);
    down_.enable(c.down);
    delete_.enable(c.remove);
    add_.enable(c.add);
    property_.enable(c.property);
    list_.setEditable(w.listEditable);

    indicatorSwitch_.setChecked(s.indicatorSwitch);
    styleGroup_.enable(c.styleGroup);
    indicatorOption_.setChecked(s.indicatorOption);
    textServicesOption_.setChecked(s.textServicesOption);
    indicatorOption_.enable(c.indicatorOption);
    textServicesOption_.enable(c.textServicesOption);
    showText(languageSwitch_, w.languageSwitchCaption);
    languageSwitch_.setChecked(s.languageSwitch);
    languageSwitch_.enable(w.languageSwitchEnabled);
    layoutSwitch_.setChecked(s.layoutSwitch);
    layoutSwitch_.enable(c.layoutSwitch);
    showSelection(languageKey_, s.languageKey);
    languageKey_.enable(c.languageKey);
    showSelection(layoutKey_, s.layoutKey);
    layoutKey_.enable(w.layoutKeyEnabled);

    showSelection(capsMode_, s.capsLockMode);
    capsMode_.enable(c.capsLock);
    showStatus_.setChecked(s.showStatus);
    const WindowTexts& t = controller_.texts();
    std::vector<std::string> labels = {t.imeToggle, t.shapeToggle, t.symbolToggle};
    labels.resize(static_cast<size_t>(std::max(1, std::min(w.toggleChoiceCount, 3))));
    showItems(toggleChooser_, labels);
    showSelection(toggleChooser_, w.toggleChoice);
    showText(toggleButton_, w.toggleButtonCaption);

    showText(selectedEntry_, c.selectedEntry);
    registryDelete_.enable(c.registryDelete);
    showText(nameEdit_, w.installName);
    showText(fileEdit_, w.installFile);
    install_.enable(c.install);

    refreshStatus();
    if (controller_.model().window.listFocusRequested) {
        controller_.model().window.listFocusRequested = false;
        if (window_.isVisible()) list_.focus();
    }
    refreshing_ = false;
}

void MainWindow::refreshList() {
    const auto& rows = controller_.model().snapshot.rows;
    refreshIcons();
    while (list_.count() > static_cast<int>(rows.size())) list_.deleteItem(list_.count() - 1);
    for (size_t i = 0; i < rows.size(); ++i) {
        int item = static_cast<int>(i);
        if (item >= list_.count()) list_.addItem(rows[i].shownName, item);
        if (list_.itemText(item, 0) != rows[i].shownName) list_.setItemText(item, 0, rows[i].shownName);
        if (list_.itemText(item, 1) != rows[i].hotkeyText) list_.setItemText(item, 1, rows[i].hotkeyText);
        list_.setItemImage(item, item);
    }
    int selection = controller_.model().window.listSelection;
    if (list_.selectedIndex() != selection) list_.select(selection);
}

// One icon per row: the input-method file's first icon, or else the program's own.
void MainWindow::refreshIcons() {
    std::vector<std::string> klids;
    for (const auto& row : controller_.model().snapshot.rows) klids.push_back(row.klid);
    if (klids == iconKlids_) return;
    iconKlids_ = klids;
    images_.clear();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    using ExtractIcon = HICON(WINAPI*)(HINSTANCE, LPCSTR, UINT);
    auto extractIcon = toolkit::windowLibraryFunction<ExtractIcon>("shell32.dll", "ExtractIconA");
    for (const auto& file : controller_.rowIconFiles()) {
        HICON icon = file.empty() || !extractIcon ? nullptr : extractIcon(instance, file.c_str(), 0);
        if (reinterpret_cast<uintptr_t>(icon) <= 1) icon = nullptr;  // 1: not an executable file
        if (icon) {
            images_.add(icon);
            DestroyIcon(icon);
        } else {
            images_.add(LoadIconA(instance, "MAINICON"));
        }
    }
}

// The status bar is made the first time it has something to say.
void MainWindow::refreshStatus() {
    const std::string& text = controller_.model().window.status;
    if (!status_.exists()) {
        if (text.empty()) return;
        status_.create({window_.hwnd()});
        font_.applyTo(status_.hwnd(), false);
    }
    if (status_.status() != text) status_.setStatus(text);
}

}  // namespace ui
