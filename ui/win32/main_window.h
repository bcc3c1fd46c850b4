// The main window of kestrine.exe: the list of input locales with its buttons and add box, and
// three tab pages. It shows the settings model and forwards every event to the behaviour
// classes (the controller, the window's actions, the hot-key handlers), then shows the model
// again.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "hotkey/hotkey_editor.h"
#include "hotkey/hotkey_handlers.h"
#include "toolkit/common_dialogs.h"
#include "toolkit/controls.h"
#include "toolkit/graphics.h"
#include "toolkit/list_view.h"
#include "toolkit/tab.h"
#include "toolkit/window.h"
#include "ui/main_actions.h"
#include "ui/main_controller.h"
#include "ui/win32/message_prompts.h"

namespace ui {

class KeyboardDialog;

class MainWindow {
public:
    MainWindow(const settings::Registry& registry, platform::System& system, ApplicationWindow application);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window and initialises it. With command-line arguments it makes no window: it
    // runs the switches and returns false, as it does when no window can be made (the
    // initialisation, and so the command line, has run all the same).
    bool create();
    // The dialogs that open over the window, created hidden once it exists.
    void createDialogs(hotkey::EditorSession& editor, KeyboardDialog& keyboard);

    HWND hwnd() const { return window_.hwnd(); }
    MainController& controller() { return controller_; }
    settings::UserPrompts& prompts() { return prompts_; }

private:
    void buildControls();
    void buildPageNormal(toolkit::TabPage& page);
    void buildPageOther(toolkit::TabPage& page);
    void buildPageAdvanced(toolkit::TabPage& page);
    void wireHandlers();
    void initialise();
    void placeVertically();

    // Runs one event's behaviour, then shows the model again. Events that the window's own
    // updates cause are ignored.
    template <typename Action>
    void event(Action action);
    void refresh();
    void refreshList();
    void refreshIcons();
    void refreshStatus();
    void closeIfAsked();
    void openKeyboardDialog();

    platform::System& system_;
    MessagePrompts prompts_;
    MainController controller_;
    ApplicationWindow application_;
    std::unique_ptr<MainActions> actions_;
    hotkey::HotkeyEditor editor_;
    std::unique_ptr<hotkey::HotkeyHandlers> hotkeys_;
    KeyboardDialog* keyboard_ = nullptr;
    bool refreshing_ = false;
    std::vector<std::string> iconKlids_;  // the rows the image list was built for

    toolkit::Font font_;
    toolkit::ImageList images_;
    toolkit::OpenFileDialog browseDialog_;
    toolkit::Window window_;
    toolkit::Button ok_, up_, down_, delete_, add_, exit_, hotkey_, apply_, property_, keyboardButton_;
    toolkit::Tab tab_;
    toolkit::ComboBox addBox_;
    toolkit::ListView list_;
    toolkit::StatusBar status_;
    // Page "Normal".
    toolkit::CheckBox indicatorSwitch_;
    toolkit::GroupBox switchGroup_, styleGroup_;
    toolkit::CheckBox languageSwitch_, layoutSwitch_;
    toolkit::ComboBox languageKey_, layoutKey_;
    toolkit::RadioButton textServicesOption_, indicatorOption_;
    // Page "Other".
    toolkit::GroupBox otherGroup_, toggleGroup_;
    toolkit::Label capsLabel_;
    toolkit::SunkenPanel divider_;
    toolkit::CheckBox showStatus_;
    toolkit::ComboBox capsMode_, toggleChooser_;
    toolkit::Button toggleButton_;
    // Page "Advanced".
    toolkit::GroupBox deleteGroup_, installGroup_;
    toolkit::SunkenPanel selectedEntry_;
    toolkit::Button registryDelete_;
    toolkit::Label fileLabel_, nameLabel_;
    toolkit::Edit nameEdit_, fileEdit_;
    toolkit::Button browse_, install_;
};

}  // namespace ui
