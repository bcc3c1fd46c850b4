// The command-line help text.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "cli/help_text.h"
#include "tests/support/text_checks.h"

using settings::UiLanguage;
using testing_support::kLanguages;

namespace {

// Line number (from 1), switch form and tab count of the switch lines, the same in every
// language; the other lines have no tab.
const struct {
    int line;
    const char* switchForm;
    int tabs;
} kSwitchLines[] = {
    {2, "/? /h /help", 3}, {3, "/on", 4}, {4, "/off", 4}, {5, "/internat", 4}, {6, "/ctfmon", 4},
    {7, "/status:<0/1>", 3}, {8, "/caps", 4}, {9, "/shift", 4}, {10, "/switch:<0/1/2/3><a/b>", 2},
    {14, "/hotkey:<1/2/3/a/b/c>,[hotkey]", 1}, {17, "/add1:<name>,[hotkey]", 2},
    {18, "/add2:<filename>,[hotkey]", 2}, {19, "/add3:<id>,[hotkey]", 2}, {20, "/del1:<1/2/3>", 3},
    {21, "/del2:<name>", 3}, {22, "/del3:<filename>", 3}, {23, "/del4:<IME ID>", 3},
    {24, "/install:[name],<filename>,[hotkey]", 1}, {25, "/uninstall1:<name>", 2},
    {26, "/uninstall2:<filename>", 2}, {27, "/uninstall3:<ID>", 3}, {28, "/move1:<name>,<number>", 2},
    {29, "/move2:<filename>,<number>", 1}, {30, "/move3:<ID>,<number>", 2}, {31, "/load:<filename>", 3},
};

// The text split at each CR.
std::vector<std::string> helpLines(UiLanguage language) {
    std::string text = cli::helpText(language);
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\r') lines.emplace_back(); else lines.back() += c;
    }
    return lines;
}

TEST(HelpText, ThirtyTwoLinesWithEachSwitchFollowedByItsTabs) {
    for (const auto& c : kLanguages) {
        std::vector<std::string> lines = helpLines(c.language);
        ASSERT_EQ(32u, lines.size()) << c.name;
        std::vector<std::string> withoutSwitch = lines;
        for (const auto& s : kSwitchLines) {
            const std::string& line = lines[s.line - 1];
            std::string lead = std::string(s.switchForm) + std::string(s.tabs, '\t');
            EXPECT_EQ(0u, line.find(lead)) << c.name << " line " << s.line;
            EXPECT_EQ(lead.size() - 1, line.rfind('\t')) << c.name << " line " << s.line;
            EXPECT_LT(lead.size(), line.size()) << c.name << " line " << s.line;
            withoutSwitch[s.line - 1].clear();
        }
        for (size_t n = 0; n < 32; ++n) {
            EXPECT_EQ(std::string::npos, withoutSwitch[n].find('\t')) << c.name << " line " << n + 1;
        }
        EXPECT_FALSE(lines.back().empty()) << c.name;
        EXPECT_EQ(std::string::npos, cli::helpText(c.language).find('\n')) << c.name;
    }
}

// The text's own '?' are the two of lines 2 and 32; any other is a character the code page lacks.
TEST(HelpText, NoCharacterIsLostInConversion) {
    for (const auto& c : kLanguages) EXPECT_EQ(2, testing_support::questionMarks(cli::helpText(c.language))) << c.name;
}

// The ideographic comma is GBK's A1 A2 in the English and Simplified texts, Big5's A1 42 in the
// Traditional one; apart from those the English text is ASCII, held as bytes: it needs no
// conversion, and shows in full where the system has no code page 936.
TEST(HelpText, IdeographicCommasOfLines14And32) {
    const std::string gbk = "\xA1\xA2";
    std::string unconverted = cli::helpText(UiLanguage::English, [](std::string_view, unsigned) { return std::string(); });
    EXPECT_EQ(cli::helpText(UiLanguage::English), unconverted);
    std::vector<std::string> english = helpLines(UiLanguage::English);
    EXPECT_EQ("/hotkey:<1/2/3/a/b/c>,[hotkey]\tSet IME hotkey.<1/2/3..>: Set hotkey for  the 1st" + gbk + "2nd" + gbk,
              english[13]);
    EXPECT_EQ("[hotkey] format: Ctrl+Shift_8_Left" + gbk + "Alt_del" + gbk + "alt+shift_?_right", english[31]);
    english[13].clear();
    english[31].clear();
    for (const std::string& line : english) EXPECT_TRUE(testing_support::isAscii(line)) << line;

    for (const auto& [language, comma] : {std::pair{UiLanguage::SimplifiedChinese, gbk},
                                          std::pair{UiLanguage::TraditionalChinese, std::string("\xA1\x42")}}) {
        std::vector<std::string> lines = helpLines(language);
        EXPECT_NE(std::string::npos, lines[13].find("1" + comma + "2" + comma + "3.."));
        EXPECT_NE(std::string::npos, lines[31].find("Left" + comma + "Alt_del" + comma + "alt"));
    }
}

TEST(HelpText, FirstLinesAndFullWidthParentheses) {
    EXPECT_EQ("Command Line Switches", helpLines(UiLanguage::English)[0]);
    // 命令行参数 and 输入法指示器风格（internat.exe） in GBK, 命令行參數 in Big5.
    std::vector<std::string> simplified = helpLines(UiLanguage::SimplifiedChinese);
    EXPECT_EQ("\xC3\xFC\xC1\xEE\xD0\xD0\xB2\xCE\xCA\xFD", simplified[0]);
    EXPECT_EQ("/internat\t\t\t\t\xCA\xE4\xC8\xEB\xB7\xA8\xD6\xB8\xCA\xBE\xC6\xF7\xB7\xE7\xB8\xF1\xA3\xA8"
              "internat.exe\xA3\xA9",
              simplified[4]);
    EXPECT_EQ("\xA9\x52\xA5\x4F\xA6\xE6\xB0\xD1\xBC\xC6", helpLines(UiLanguage::TraditionalChinese)[0]);
}

}  // namespace
