#include <gtest/gtest.h>

#include <set>

#include "settings/hotkey_text.h"

using hotkey::FormatHotkeyText;
using hotkey::KeyNameTable;
using hotkey::ParseHotkeyWords;

namespace {

const hotkey::SidePrefixes kEnglish{"Left ", "Right "};

TEST(KeyNameTable, HoldsTheNinetyOneKeysInTheirFixedOrder) {
    const auto& table = KeyNameTable::instance();
    ASSERT_EQ(91u, table.size());
    const std::pair<size_t, std::pair<const char*, const char*>> spots[] = {
        {0, {"0", "30"}},          {9, {"9", "39"}},           {10, {"SPACE", "20"}},
        {11, {"F1", "70"}},        {22, {"F12", "7B"}},        {23, {"A", "41"}},
        {48, {"Z", "5A"}},         {49, {";", "BA"}},          {54, {"?", "BF"}},
        {55, {"`", "C0"}},         {57, {"\\", "DC"}},         {59, {"'", "DE"}},
        {60, {"BACKSPACE", "08"}}, {63, {"PAGE UP", "21"}},    {72, {"DEL", "2E"}},
        {73, {"LEFT WINDOW", "5B"}}, {75, {"APPS", "5D"}},     {76, {"NUMPAD 0", "60"}},
        {85, {"NUMPAD 9", "69"}},  {87, {"NUMPAD +", "6B"}},   {88, {"NUMPAD -", "6D"}},
        {90, {"NUMPAD /", "6F"}},
    };
    for (const auto& s : spots) {
        EXPECT_EQ(s.second.first, table.row(s.first).name) << "row " << s.first;
        EXPECT_EQ(s.second.second, table.row(s.first).code) << "row " << s.first;
    }
    std::set<std::string> names, codes;
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_TRUE(names.insert(table.row(i).name).second) << table.row(i).name;
        EXPECT_TRUE(codes.insert(table.row(i).code).second) << table.row(i).code;
    }
    EXPECT_EQ(-1, table.findCode("6C"));
    EXPECT_EQ(22, table.findCode("7b"));
    EXPECT_EQ(63, table.findName("page up"));
    EXPECT_EQ(-1, table.findName("PAGEUP"));
}

TEST(FormatHotkeyText, BuildsTheDisplayText) {
    struct Case {
        const char* modifiers;
        const char* key;
        const char* expected;
    } cases[] = {
        {"0000C006", "00000020", "Ctrl+Shift+SPACE"},
        {"00008002", "00000031", "Left Ctrl+1"},
        {"00004001", "0000007B", "Right Alt+F12"},
        {"0000C007", "000000BF", "Ctrl+Alt+Shift+?"},
        // Keys missing from the table give no "+" part.
        {"0000C006", "000000FF", "Ctrl+Shift"},
        {"0000C006", "0000006C", "Ctrl+Shift"},
        {"0000C006", "0000001B", "Ctrl+Shift"},
        // A modifier code outside the seven gives no name, but the key still follows.
        {"0000C000", "00000020", "+SPACE"},
        {"00008000", "00000041", "Left +A"},
        {"00000000", "00000000", ""},
        // Side "00" and "C0" show no prefix; the codes are compared as they stand.
        {"00000002", "00000020", "Ctrl+SPACE"},
        {"0000c006", "00000020", "Ctrl+Shift+SPACE"},
        {"00008006", "0000007b", "Left Ctrl+Shift+F12"},
        // Either text empty: no hot key.
        {"", "00000020", ""},
        {"0000C006", "", ""},
        // Texts shorter than 8 characters are read only as far as they go.
        {"06", "20", ""},
        {"0000C0", "000000", ""},
        {"0000800", "0000002", "Left "},
        {"00000006", "0000002E", "Ctrl+Shift+DEL"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, FormatHotkeyText(c.modifiers, c.key, kEnglish)) << c.modifiers << " " << c.key;
    }
    const hotkey::SidePrefixes gbk{"\xD7\xF3 ", "\xD3\xD2 "};
    EXPECT_EQ("\xD7\xF3 Ctrl+1", FormatHotkeyText("00008002", "00000031", gbk));
}

TEST(ParseHotkeyWords, TurnsCommandLineWordsIntoRecordTexts) {
    struct Case {
        const char* modifier;
        const char* key;
        const char* side;
        const char* modifierText;
        const char* keyText;
        const char* sideText;
        bool recognised;
    } cases[] = {
        {"Ctrl+Shift", "8", "Left", "00008006", "00000038", "Left ", true},
        {"Alt", "del", "", "0000C001", "0000002E", "", true},
        {"ALT", "Del", "", "0000C001", "0000002E", "", true},
        {"alt+shift", "?", "right", "00004005", "000000BF", "Right ", true},
        {"ctrl", "space", "", "0000C002", "00000020", "", true},
        {"ctrl+alt+shift", "page up", "", "0000C007", "00000021", "", true},
        {"ctrl", ",", "", "0000C002", "000000BC", "", true},
        // Unrecognised words stay in place, case-folded, and the words are not recognised.
        {"shift+ctrl", "8", "", "0000C0shift+ctrl", "00000038", "", false},
        {"alt+ctrl", "8", "", "0000C0alt+ctrl", "00000038", "", false},
        {"ctrl", "pageup", "", "0000C002", "PAGEUP", "", false},
        {"ctrl", "esc", "", "0000C002", "ESC", "", false},
        {"ctrl", "1", "Both", "000002", "00000031", "both", false},
        {"", "", "", "0000C0", "", "", false},
    };
    for (const auto& c : cases) {
        std::string m = c.modifier, k = c.key, s = c.side;
        EXPECT_EQ(c.recognised, ParseHotkeyWords(m, k, s, kEnglish)) << c.modifier << "_" << c.key << "_" << c.side;
        EXPECT_EQ(c.modifierText, m) << c.modifier << "_" << c.key << "_" << c.side;
        EXPECT_EQ(c.keyText, k) << c.modifier << "_" << c.key << "_" << c.side;
        EXPECT_EQ(c.sideText, s) << c.modifier << "_" << c.key << "_" << c.side;
    }
}

}  // namespace
