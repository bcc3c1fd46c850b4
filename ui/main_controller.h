// What the main window does from its creation to its first display, and on the command-line
// path: the UI language and texts, the switch list and the help switch, loading, the
// switches, dropping duplicate input methods. Plain C++: the Win32 window only binds it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/command_line_run.h"
#include "cli/installer.h"
#include "cli/switch_list.h"
#include "settings/settings_model.h"
#include "ui/texts.h"

namespace ui {

class MainController {
public:
    MainController(const settings::Registry& registry, platform::System& system, settings::UserPrompts& prompts);

    // Window creation: the language, the help text and the switch list; a help switch shows
    // the help box and asks for the window to be hidden and closed. A command line with
    // arguments makes the run that records what it changes, over which the model works.
    void create();
    // Initialisation from loading on: load, run the switches when the command line holds
    // arguments (they end with apply and a close request), drop duplicate input methods, and
    // select the last row when none is selected; a command-line run then writes its output.
    void initialise();

    // Apply, then ask for the window to close (the OK button, the end of the switches).
    void applyWithClose();
    // The help text in a box owned by the application (the system menu's command).
    void showHelp();
    // The about box over the active window (the system menu's other command).
    void showAbout();
    // For each row, the input-method file whose first icon the list shows; empty where the row
    // shows the program's own icon (a plain layout, or an entry without "IME File").
    std::vector<std::string> rowIconFiles() const;

    settings::SettingsModel& model() { return *model_; }
    cli::Installer& installer() { return *installer_; }
    const WindowTexts& texts() const { return texts_; }
    settings::UiLanguage language() const { return language_; }
    const std::string& helpText() const { return helpText_; }
    // The command line holds an argument: the window must never become visible.
    bool startedWithArguments() const { return withArguments_; }
    bool hideRequested() const { return hideRequested_; }
    bool closeRequested() const { return closeRequested_; }
    // What the program ends with: the command-line run's exit status; 0 for the window.
    uint32_t exitStatus() const { return exitStatus_; }

private:
    const settings::Registry& registry_;
    platform::System& system_;
    settings::UserPrompts& prompts_;
    settings::UiLanguage language_;
    WindowTexts texts_;
    std::string helpText_;
    cli::SwitchList switches_;
    bool withArguments_ = false;
    bool hideRequested_ = false;
    bool closeRequested_ = false;
    bool applied_ = false;
    uint32_t exitStatus_ = 0;
    std::unique_ptr<cli::CommandLineRun> run_;
    std::unique_ptr<settings::SettingsModel> model_;
    std::unique_ptr<cli::Installer> installer_;
};

}  // namespace ui
