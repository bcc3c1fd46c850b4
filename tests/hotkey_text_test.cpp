#include <gtest/gtest.h>

#include "settings/hotkey_text.h"

using hotkey::FormatHotkeyText;
using hotkey::ParseHotkeyWords;

namespace {

const hotkey::SidePrefixes kEnglish{"Left ", "Right "};

TEST(FormatHotkeyText, BuildsTheDisplayText) {
    struct Case {
        const char* modifiers;
        const char* key;
        const char* expected;
    } cases[] = {
        {"0000C006", "00000020", "Ctrl+Shift+SPACE"}, {"00008002", "00000031", "Left Ctrl+1"},
        {"00004001", "0000007B", "Right Alt+F12"},
        // Keys missing from the table give no "+" part; a modifier outside the seven no name.
        {"0000C006", "0000006C", "Ctrl+Shift"}, {"00008000", "00000041", "Left +A"},
        // Either text empty: no hot key; short texts are read only as far as they go.
        {"", "00000020", ""}, {"0000C006", "", ""}, {"0000800", "0000002", "Left "},
        {"00000006", "0000002E", "Ctrl+Shift+DEL"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, FormatHotkeyText(c.modifiers, c.key, kEnglish)) << c.modifiers << " " << c.key;
    }
    EXPECT_EQ(-1, hotkey::KeyNameTable::instance().findCode("6C"));
    EXPECT_EQ(-1, hotkey::KeyNameTable::instance().findName("PAGEUP"));
    const hotkey::SidePrefixes gbk{"\xD7\xF3 ", "\xD3\xD2 "};
    EXPECT_EQ("\xD7\xF3 Ctrl+1", FormatHotkeyText("00008002", "00000031", gbk));
}

// Words in, "recognised|modifier text|key text|side text" out; unrecognised words stay in
// place, case-folded.
TEST(ParseHotkeyWords, TurnsCommandLineWordsIntoRecordTexts) {
    const char* cases[][4] = {
        {"Ctrl+Shift", "8", "Left", "1|00008006|00000038|Left "},
        {"ALT", "Del", "", "1|0000C001|0000002E|"},
        {"alt+shift", "?", "right", "1|00004005|000000BF|Right "},
        {"ctrl+alt+shift", "page up", "", "1|0000C007|00000021|"},
        {"ctrl", ",", "", "1|0000C002|000000BC|"},
        {"shift+ctrl", "8", "", "0|0000C0shift+ctrl|00000038|"},
        {"ctrl", "pageup", "", "0|0000C002|PAGEUP|"},
        {"ctrl", "1", "Both", "0|000002|00000031|both"},
        {"", "", "", "0|0000C0||"},
    };
    for (const auto& c : cases) {
        std::string m = c[0], k = c[1], s = c[2];
        bool recognised = ParseHotkeyWords(m, k, s, kEnglish);
        EXPECT_EQ(c[3], (recognised ? "1|" : "0|") + m + "|" + k + "|" + s) << c[0] << "_" << c[1] << "_" << c[2];
    }
}

}  // namespace
