// Texts of the settings model: indicator messages, switch captions, repaired layout names.
#include <gtest/gtest.h>

#include "settings/settings_texts.h"
#include "tests/support/text_checks.h"

using settings::UiLanguage;
using testing_support::kLanguages;

namespace {

TEST(SettingsTexts, IndicatorMessagesKeepTheirExactEndings) {
    auto english = settings::settingsTexts(UiLanguage::English);
    EXPECT_EQ("Not found \"ctfmon.exe\".", english.ctfmonNotFound);
    EXPECT_EQ("Not found \"Internat.exe\", If your system is XP or later, please copy internat.exe "
              "and indicdll.dll from Windows2000. ",
              english.internatNotFound);
    // 找不到 ctfmon.exe。 in GBK; the Traditional form has no full stop.
    auto simplified = settings::settingsTexts(UiLanguage::SimplifiedChinese);
    auto traditional = settings::settingsTexts(UiLanguage::TraditionalChinese);
    EXPECT_EQ("\xD5\xD2\xB2\xBB\xB5\xBD ctfmon.exe\xA1\xA3", simplified.ctfmonNotFound);
    EXPECT_EQ("\xA7\xE4\xA4\xA3\xA8\xEC ctfmon.exe", traditional.ctfmonNotFound);
    // The Simplified internat message ends in 。, the Traditional one in 。 and a blank.
    EXPECT_EQ("\xA1\xA3", simplified.internatNotFound.substr(simplified.internatNotFound.size() - 2));
    EXPECT_EQ("\xA1\x43 ", traditional.internatNotFound.substr(traditional.internatNotFound.size() - 3));

    for (const auto& c : kLanguages) {
        if (!c.chinese) continue;
        auto t = settings::settingsTexts(c.language);
        for (const std::string* text : {&t.ctfmonNotFound, &t.internatNotFound, &t.switchIme, &t.switchInputLanguages}) {
            EXPECT_EQ(0, testing_support::questionMarks(*text)) << c.name << ": " << *text;
        }
    }
}

TEST(SettingsTexts, RepairedUsLayoutFollowsTheSystemAndChineseLayoutsKeepTheirOwnCodePage) {
    const std::pair<UiLanguage, std::string> usByLanguage[] = {
        {UiLanguage::English, "US"},
        {UiLanguage::SimplifiedChinese, "\xC3\xC0\xB9\xFA\xD3\xA2\xD3\xEF"},  // 美国英语
        {UiLanguage::TraditionalChinese, "\xAC\xFC\xA6\xA1\xAD^\xA4\xE5"},   // 美式英文
    };
    for (const auto& [language, us] : usByLanguage) {
        auto t = settings::repairLayoutTexts(language);
        EXPECT_EQ(us, t.us);
        // 中文 (繁體) - 美式鍵盤 in Big5 and 中文 (简体) - 美式键盘 in GBK.
        EXPECT_EQ("\xA4\xA4\xA4\xE5 (\xC1\x63\xC5\xE9) - \xAC\xFC\xA6\xA1\xC1\xE4\xBD\x4C", t.traditionalChinese);
        EXPECT_EQ("\xD6\xD0\xCE\xC4 (\xBC\xF2\xCC\xE5) - \xC3\xC0\xCA\xBD\xBC\xFC\xC5\xCC", t.simplifiedChinese);
    }
}

}  // namespace
