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
    if (switches_.help) {
        settings::MessageBoxRequest box;
        box.text = helpText_;
        box.caption = texts_.caption;
        box.owner = settings::MessageBoxRequest::Owner::ActiveWindow;
        prompts_.show(box);
        hideRequested_ = true;
        closeRequested_ = true;
    }
    model_ = std::make_unique<settings::SettingsModel>(registry_, system_, prompts_, modelTexts(language_),
                                                       withArguments_);
    installer_ = std::make_unique<cli::Installer>(
        *model_, registry_, system_, prompts_,
        cli::DeleteQuestionTexts{texts_.warningCaption, texts_.deleteQuestionPrefix, texts_.deleteQuestionSuffix});
}

void MainController::initialise() {
    auto& model = *model_;
    model.load();
    if (withArguments_) {
        cli::SwitchProcessor processor(model, *installer_, system_);
        processor.ProcessSwitches(switches_.items, [this] { applyWithClose(); });
    }
    model.dropDuplicateInputMethods();
    if (model.window.listSelection < 0 && !model.snapshot.rows.empty()) {
        model.selectRow(static_cast<int>(model.snapshot.rows.size()) - 1);
    }
}

void MainController::applyWithClose() {
    model_->apply();
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
