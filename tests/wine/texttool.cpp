// Host tool for the Wine tests and the screenshots: prints the program's texts for a language, so
// that a test can compare what a window or a message box shows with what it should show.
//   texttool window LANGUAGE    the windows' texts and the help text, one "name=hex" line each
// LANGUAGE is english, simplified or traditional.
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "cli/help_text.h"
#include "hotkey/editor_texts.h"
#include "ui/texts.h"

namespace {

std::string hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || std::string(argv[1]) != "window") {
        std::cerr << "usage: texttool window english|simplified|traditional\n";
        return 2;
    }
    std::string name = argv[2];
    settings::UiLanguage language = name == "simplified"    ? settings::UiLanguage::SimplifiedChinese
                                    : name == "traditional" ? settings::UiLanguage::TraditionalChinese
                                                            : settings::UiLanguage::English;
    ui::WindowTexts t = ui::windowTexts(language);
    hotkey::EditorTexts e = hotkey::editorTexts(language);
    const std::vector<std::pair<const char*, std::string>> texts = {
        {"caption", t.caption}, {"windowTitle", t.windowTitle}, {"normalTab", t.normalTab}, {"otherTab", t.otherTab},
        {"advancedTab", t.advancedTab}, {"ok", t.ok}, {"apply", t.apply}, {"exit", t.exit}, {"up", t.up},
        {"down", t.down}, {"deleteEntry", t.deleteEntry}, {"add", t.add}, {"hotkey", t.hotkey},
        {"property", t.property}, {"keyboard", t.keyboard}, {"nameColumn", t.nameColumn},
        {"hotkeyColumn", t.hotkeyColumn}, {"enableDisable", t.enableDisable}, {"imeStyle", t.imeStyle},
        {"inputLocales", t.inputLocales}, {"textServices", t.textServices},
        {"switchInputLanguages", t.switchInputLanguages}, {"switchIme", t.switchIme},
        {"switchKeyboardLayouts", t.switchKeyboardLayouts}, {"turnOffCapsLock", t.turnOffCapsLock},
        {"showStatus", t.showStatus}, {"otherToggleGroup", t.otherToggleGroup}, {"imeToggle", t.imeToggle},
        {"shapeToggle", t.shapeToggle}, {"symbolToggle", t.symbolToggle},
        {"deleteFromRegistryGroup", t.deleteFromRegistryGroup}, {"registryDelete", t.registryDelete},
        {"installImeGroup", t.installImeGroup}, {"layoutTextLabel", t.layoutTextLabel},
        {"imeFileLabel", t.imeFileLabel}, {"install", t.install}, {"duplicateHotkey", t.duplicateHotkey},
        {"warningCaption", t.warningCaption}, {"deleteQuestionPrefix", t.deleteQuestionPrefix},
        {"deleteQuestionSuffix", t.deleteQuestionSuffix}, {"aboutCaption", t.aboutCaption},
        {"aboutText", t.aboutText}, {"keyboardTitle", t.keyboardDialog.title},
        {"keyboardCancel", t.keyboardDialog.cancel}, {"editorTitle", e.title}, {"editorLeft", e.left},
        {"editorRight", e.right}, {"editorEnable", e.enableHotkey}, {"editorOk", e.ok}, {"editorCancel", e.cancel},
        {"help", cli::helpText(language)},
    };
    for (const auto& [key, value] : texts) std::cout << key << "=" << hex(value) << "\n";
    return 0;
}
