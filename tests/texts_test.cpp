// Texts of the main window, its messages, system menu, about box and keyboard-layout dialog.
#include <gtest/gtest.h>

#include <vector>

#include "tests/support/text_checks.h"
#include "ui/texts.h"

using settings::UiLanguage;
using testing_support::isAscii;
using testing_support::kLanguages;
using ui::WindowTexts;

namespace {

#define F(name) &WindowTexts::name
std::string WindowTexts::* const kFields[] = {
    F(caption), F(version), F(windowTitle), F(normalTab), F(otherTab), F(advancedTab), F(ok), F(apply),
    F(exit), F(up), F(down), F(deleteEntry), F(add), F(hotkey), F(property), F(keyboard), F(nameColumn),
    F(hotkeyColumn), F(enableDisable), F(imeStyle), F(inputLocales), F(textServices),
    F(switchInputLanguages), F(switchIme), F(switchKeyboardLayouts), F(turnOffCapsLock), F(showStatus),
    F(otherToggleGroup), F(imeToggle), F(shapeToggle), F(symbolToggle), F(deleteFromRegistryGroup),
    F(registryDelete), F(installImeGroup), F(layoutTextLabel), F(imeFileLabel), F(install), F(ctrlShift),
    F(altShift), F(graveAccent), F(capsLockMode), F(shiftMode), F(browse), F(browseFilter),
    F(duplicateHotkey), F(leftPrefix), F(rightPrefix), F(warningCaption), F(deleteQuestionPrefix),
    F(deleteQuestionSuffix), F(commandLineSwitchesItem), F(aboutItem), F(aboutCaption), F(aboutText),
};
#undef F

// No text is left empty, English is ASCII, and no Chinese character is lost in conversion.
TEST(WindowTexts, EveryTextIsFilledAndConvertsWithoutLoss) {
    for (const auto& c : kLanguages) {
        WindowTexts t = ui::windowTexts(c.language);
        const auto& d = t.keyboardDialog;
        std::vector<const std::string*> texts = {&d.title, &d.ok, &d.cancel, &d.currentLabel, &d.newLabel};
        for (auto field : kFields) texts.push_back(&(t.*field));
        for (size_t i = 0; i < texts.size(); ++i) {
            EXPECT_FALSE(texts[i]->empty()) << c.name << " text " << i;
            if (c.chinese) {
                EXPECT_EQ(0, testing_support::questionMarks(*texts[i])) << c.name << ": " << *texts[i];
            } else {
                EXPECT_TRUE(isAscii(*texts[i])) << *texts[i];
            }
        }
    }
}

TEST(WindowTexts, ExactBytes) {
    WindowTexts e = ui::windowTexts(UiLanguage::English);
    WindowTexts s = ui::windowTexts(UiLanguage::SimplifiedChinese);
    WindowTexts t = ui::windowTexts(UiLanguage::TraditionalChinese);
    for (const WindowTexts* w : {&e, &s, &t}) EXPECT_EQ("Kestrine 2.8.2", w->windowTitle);
    EXPECT_EQ("\" ?", e.deleteQuestionSuffix);
    EXPECT_EQ("Version Infermation", e.aboutCaption);
    // About box: author line, date line and web address joined by single CRs.
    EXPECT_EQ("Kestrine developers\rDate: 2009.9.22\rhttps://kestrine.example/", e.aboutText);
    EXPECT_EQ("Kestrine developers\r\xC8\xD5\xC6\xDA: 2009.9.22\rhttps://kestrine.example/", s.aboutText);
    EXPECT_EQ("Kestrine developers\r\xA4\xE9\xB4\xC1: 2009.9.22\rhttps://kestrine.example/", t.aboutText);
    EXPECT_EQ("\xC8\xB7\xB6\xA8", s.ok);                                       // 确定
    EXPECT_EQ("\xB9\xD8\xB1\xD5 Caps Lock: ", s.turnOffCapsLock);              // 关闭 Caps Lock:
    EXPECT_EQ("\xC8\xC8\xBC\xFC\xD6\xD8\xB8\xB4\xA3\xA1", s.duplicateHotkey);  // 热键重复！
    EXPECT_EQ("\" \xC2\xF0\xA3\xBF", s.deleteQuestionSuffix);                  // " 吗？
    // The main OK button reads 確認, the keyboard-layout dialog's 確定.
    EXPECT_EQ("\xBD\x54\xBB\x7B", t.ok);
    EXPECT_EQ("\xBD\x54\xA9\x77", t.keyboardDialog.ok);
    EXPECT_EQ("\xBC\xF6\xC1\xE4\xAD\xAB\xB4\x5F\xA1\x49", t.duplicateHotkey);              // 熱鍵重復！
    EXPECT_EQ("\" \xB6\xDC\xA1\x48", t.deleteQuestionSuffix);                               // " 嗎？
    EXPECT_EQ("\xA9\x52\xA5\x4F\xA6\xE6\xB0\xD1\xBC\xC6", t.commandLineSwitchesItem);      // 命令行參數
    EXPECT_EQ("\xA4\xC1\xB4\xAB\xBF\xE9\xA4J\xBBy\xA8\xA5", t.switchInputLanguages);       // 切換輸入語言
}

}  // namespace
