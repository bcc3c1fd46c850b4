#include "ui/main_controller.h"

#include "cli/help_text.h"

namespace ui {

MainController::MainController(const settings::Registry& registry, platform::System& system,
                               settings::UserPrompts& prompts)
    : registry_(registry),
      system_(system),
      prompts_(prompts),
      language_(settings::uiLanguageFor(system.systemDefaultLcid())),
      texts_(windowTexts(language_)) {}

void MainController::create() {
    helpText_ = cli::helpText(language_);
    std::string commandLine = system_.commandLine();
    withArguments_ = cli::hasArguments(commandLine);
    switches_ = cli::buildSwitchList(commandLine, system_);
    if (withArguments_) run_ = std::make_unique<cli::CommandLineRun>(registry_.store(), system_, prompts_, switches_);
    const settings::Registry& registry = run_ ? run_->registry() : registry_;
    platform::System& system = run_ ? run_->system() : system_;
    settings::UserPrompts& prompts = run_ ? run_->prompts() : prompts_;
    if (switches_.help) {
        settings::MessageBoxRequest box;
        box.text = helpText_;
        box.caption = texts_.caption;
        box.owner = settings::MessageBoxRequest::Owner::ActiveWindow;
        if (run_) {
            run_->showHelp(cli::consoleHelpText(language_), box);
        } else {
            prompts_.show(box);
        }
        hideRequested_ = true;
        closeRequested_ = true;
    }
    model_ = std::make_unique<settings::SettingsModel>(registry, system, prompts, modelTexts(language_), withArguments_);
    installer_ = std::make_unique<cli::Installer>(
        *model_, registry, system, prompts,
        cli::DeleteQuestionTexts{texts_.warningCaption, texts_.deleteQuestionPrefix, texts_.deleteQuestionSuffix});
}

void MainController::initialise() {
    auto& model = *model_;
    model.load();
    if (run_) run_->runSwitches(model, *installer_, [this] { applyWithClose(); });
    // A command-line run that applied nothing writes nothing, not even the start-up's clean-up.
    if (!run_ || applied_) model.dropDuplicateInputMethods();
    // The window's apply tells the language profile what the drop took out; a command-line run,
    // which has applied already, tells it now.
    if (applied_) model.updateLanguageProfile();
    if (model.window.listSelection < 0 && !model.snapshot.rows.empty()) {
        model.selectRow(static_cast<int>(model.snapshot.rows.size()) - 1);
    }
    if (run_) exitStatus_ = run_->finish(model);
}

void MainController::applyWithClose() {
    applied_ = model_->apply();
    closeRequested_ = true;
}

void MainController::showHelp() {
    settings::MessageBoxRequest box;
    box.text = helpText_;
    box.caption = texts_.caption;
    box.foreground = true;
    prompts_.show(box);
}

void MainController::showAbout() {
    settings::MessageBoxRequest box;
    box.text = texts_.aboutText;
    box.caption = texts_.aboutCaption;
    box.icon = settings::MessageBoxRequest::Icon::Information;
    box.owner = settings::MessageBoxRequest::Owner::ActiveWindow;
    prompts_.show(box);
}

std::vector<std::string> MainController::rowIconFiles() const {
    std::vector<std::string> files;
    settings::Catalogue catalogue = model_->catalogue();
    for (const auto& row : model_->snapshot.rows) {
        // The file where the catalogue finds it; none when it is not there.
        std::string path;
        bool present = catalogue.checkImeFile(row.klid, &path) == settings::Catalogue::ImeFile::Present;
        files.push_back(present ? path : std::string());
    }
    return files;
}

}  // namespace ui
