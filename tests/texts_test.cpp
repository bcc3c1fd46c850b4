// The program's texts in three languages: the window's, the hot-key editor's, the settings
// model's and the command-line help.
#include <gtest/gtest.h>

#include <vector>

#include "cli/help_text.h"
#include "hotkey/editor_texts.h"
#include "settings/settings_texts.h"
#include "tests/support/text_checks.h"
#include "ui/texts.h"

using settings::UiLanguage;
using testing_support::kLanguages;

namespace {

// No text is left empty, English is ASCII, and no Chinese character is lost in conversion.
TEST(Texts, EveryTextIsFilledAndConvertsWithoutLoss) {
    for (const auto& c : kLanguages) {
        ui::WindowTexts t = ui::windowTexts(c.language);
        hotkey::EditorTexts e = hotkey::editorTexts(c.language);
        settings::SettingsTexts s = settings::settingsTexts(c.language);
        const auto& d = t.keyboardDialog;
        std::vector<std::string> texts = {
            t.caption, t.version, t.windowTitle, t.normalTab, t.otherTab, t.advancedTab, t.ok, t.apply, t.exit, t.up,
            t.down, t.deleteEntry, t.add, t.hotkey, t.property, t.keyboard, t.nameColumn, t.hotkeyColumn,
            t.enableDisable, t.imeStyle, t.inputLocales, t.textServices, t.switchInputLanguages, t.switchIme,
            t.switchKeyboardLayouts, t.turnOffCapsLock, t.showStatus, t.otherToggleGroup, t.imeToggle, t.shapeToggle,
            t.symbolToggle, t.deleteFromRegistryGroup, t.registryDelete, t.installImeGroup, t.layoutTextLabel,
            t.imeFileLabel, t.install, t.ctrlShift, t.altShift, t.graveAccent, t.capsLockMode, t.shiftMode, t.browse,
            t.browseFilter, t.duplicateHotkey, t.leftPrefix, t.rightPrefix, t.warningCaption, t.deleteQuestionPrefix,
            t.deleteQuestionSuffix, t.commandLineSwitchesItem, t.aboutItem, t.aboutCaption, t.aboutText, d.title, d.ok,
            d.cancel, d.currentLabel, d.newLabel, e.title, e.keyGroup, e.noKey, e.left, e.right, e.enableHotkey, e.ok,
            e.cancel, s.ctfmonNotFound, s.internatNotFound, s.switchIme, s.switchInputLanguages};
        for (const std::string& text : texts) {
            EXPECT_FALSE(text.empty()) << c.name;
            EXPECT_TRUE(c.chinese ? testing_support::questionMarks(text) == 0 : testing_support::isAscii(text))
                << c.name << ": " << text;
        }
    }
}

// Thirty-two lines joined by CR; its own two '?' are the only ones in any language (no character
// lost); the English text needs no conversion, and shows in full where the system lacks 936.
TEST(HelpText, ThirtyTwoLinesConvertedOnlyForChinese) {
    for (const auto& c : kLanguages) {
        std::string text = cli::helpText(c.language);
        EXPECT_EQ(31, std::count(text.begin(), text.end(), '\r')) << c.name;
        EXPECT_EQ(67, std::count(text.begin(), text.end(), '\t')) << c.name;
        EXPECT_EQ(std::string::npos, text.find('\n')) << c.name;
        EXPECT_EQ(2, testing_support::questionMarks(text)) << c.name;
    }
    auto none = [](std::string_view, unsigned) { return std::string(); };
    EXPECT_EQ(cli::helpText(UiLanguage::English), cli::helpText(UiLanguage::English, none));
    EXPECT_EQ("", cli::helpText(UiLanguage::TraditionalChinese, none));
    // A switch line: its form, its tabs, its text; the ideographic comma is Big5's in Traditional.
    std::string traditional = cli::helpText(UiLanguage::TraditionalChinese);
    EXPECT_NE(std::string::npos, traditional.find("\r/load:<filename>\t\t\t\xB1q"));
    EXPECT_NE(std::string::npos, traditional.find("Left\xA1\x42" "Alt_del\xA1\x42"));
}

}  // namespace
