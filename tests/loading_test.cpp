#include <gtest/gtest.h>

#include "tests/support/machines.h"

using namespace testing_support;

namespace {

const char kSmallCatalogue[] = R"reg(REGEDIT4
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\00000409]
"Layout Text"="US"
"Layout File"="KBDUS.DLL"
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\00000804]
"Layout Text"="Chinese (Simplified) - US Keyboard"
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\E0010804]
"Layout Text"="Chinese (Simplified) - QuanPin"
"IME File"="WINPY.IME"
"Layout File"="kbdus.dll"
)reg";

ModelFixture& english(ModelFixture& f, uint32_t version = kWinXp) {
    f.m.system.versionValue = version;
    f.m.system.lcid = 0x0409;
    f.m.system.codePage = 1252;
    f.m.load(kSmallCatalogue);
    f.m.addIme("WINPY.IME", "QuanPin");
    return f;
}

std::vector<std::string> klids(const settings::SettingsModel& model) {
    std::vector<std::string> out;
    for (const auto& r : model.snapshot.rows) out.push_back(r.klid);
    return out;
}

TEST(Loading, ReadsTheWholeXpMachine) {
    ModelFixture f;
    seedXpChinese(f);
    f.start();
    EXPECT_EQ(
        "row E0010804 | 全拼输入法 | 中文 (简体) - 全拼 | pending  | shown 中文 (简体) - 全拼 | hotkey Ctrl+Shift+1\n"
        "row 00000409 | 美国英语 | 美国英语 | pending  | shown 美国英语 | hotkey 左 Ctrl+Alt+0\n"
        "row E00E0804 | 微软拼音输入法 | 微软拼音 3.0 | pending  | shown 微软拼音 3.0 | hotkey \n"
        "addable 00000804 | 中文 (简体) - 美式键盘 | 中文 (简体) - 美式键盘 | item 中文 (简体) - 美式键盘\n"
        "addable E0030804 | 内码输入法 | 内码输入法 | item 内码输入法\n"
        "addable 00000404 | 中文 (繁體) - 美式鍵盤 | 中文 (繁體) - 美式鍵盤 | item 中文 (繁體) - 美式鍵盤\n"
        "addable E0010404 | 注音输入法 | 注音输入法 | item 注音输入法\n"
        "addable 00000411 | Japanese | Japanese | item Japanese\n"
        "addable 00000412 | Korean | Korean | item Korean\n"
        "addable 00000407 | German | German | item German\n"
        "record 0000C006 00000031 -> E0010804\n"
        "record 00008003 00000030 -> 00000409\n"
        "toggle 0000C002 00000020\n"
        "toggle 0000C004 00000020\n"
        "toggle 0000C002 000000BE\n"
        "indicator switch on, internat off, ctfmon on\n"
        "caps mode 1, show status on\n"
        "language switch on key 1, layout switch on key 0\n"
        "enabled: style on, internat on, ctfmon on, language key on, layout switch on, layout key on, caps on\n"
        "list selection 0, add selection 0, up off, down on, delete on, add on, property on\n"
        "language caption 切换输入语言, toggle button Ctrl+SPACE, status 热键: Ctrl+Shift+1 KBDUS.DLL | E0010804\n",
        f.dump());
    EXPECT_EQ((std::array<uint32_t, 31>{0xE0010804, 0x04090409, 0xE00E0804}), f.model->snapshot.layoutSlots);
}

TEST(Loading, NinexReadsPreloadSubKeysAndDisablesTheCapsLockChoice) {
    ModelFixture f;
    english(f, kWin98).m.load(R"reg(REGEDIT4
[HKEY_CURRENT_USER\Keyboard Layout\Preload\1]
@="00000409"
[HKEY_CURRENT_USER\Keyboard Layout\Preload\2]
@="E0010804"
[HKEY_CURRENT_USER\Keyboard Layout\Preload\4]
@="00000804"
)reg");
    auto& model = f.start();
    EXPECT_EQ((std::vector<std::string>{"00000409", "E0010804"}), klids(model));
    EXPECT_FALSE(model.controlStates().capsLock);
}

TEST(Loading, UnknownWindowsLoadsNoRows) {
    ModelFixture f;
    english(f, 0x80000A03).m.load("REGEDIT4\n[HKEY_CURRENT_USER\\Keyboard Layout\\Preload]\n\"1\"=\"00000409\"\n");
    EXPECT_TRUE(f.start().snapshot.rows.empty());
}

TEST(Loading, HotkeyRecordsFollowTheirTargetRows) {
    ModelFixture f;
    english(f).m.load(R"reg(REGEDIT4
[HKEY_CURRENT_USER\Keyboard Layout\Preload]
"1"="00000409"
"2"="E0010804"
[HKEY_CURRENT_USER\Control Panel\Input Method\Hot Keys\00000100]
"Key Modifiers"=hex:02,c0,00,00
"Virtual Key"=hex:31,00,00,00
"Target IME"=hex:09,04,09,04
[HKEY_CURRENT_USER\Control Panel\Input Method\Hot Keys\00000105]
"Key Modifiers"=hex:04,80,00,00
"Virtual Key"=hex:32,00,00,00
"Target IME"=hex:04,08,02,e0
[HKEY_CURRENT_USER\Control Panel\Input Method\Hot Keys\0000010A]
"Key Modifiers"=hex:06,c0,00,00
"Virtual Key"=hex:33,00,00,00
"Target IME"=hex:04,08,01,e0
[HKEY_CURRENT_USER\Control Panel\Input Method\Hot Keys\00000110]
"Key Modifiers"=hex:01,40,00,00
"Virtual Key"=hex:34,00,00,00
"Target IME"=dword:e0010804
[HKEY_CURRENT_USER\Control Panel\Input Method\Hot Keys\00000120]
"Key Modifiers"=hex:01,40,00,00
"Target IME"=hex:04,08,01,e0
[HKEY_CURRENT_USER\Control Panel\Input Method\Hot Keys\00000164]
"Key Modifiers"=hex:01,40,00,00
"Virtual Key"=hex:35,00,00,00
"Target IME"=hex:09,04,09,04
)reg");
    auto& model = f.start();
    // 04090409 is the plain layout 00000409; E0020804 is not in the list; a record without its
    // virtual key and one beyond 0x163 are not read. Of two records for E0010804 the first
    // one's text shows: the one the hot-key editor opens.
    std::string expected =
        "record 0000C002 00000031 -> 00000409\n"
        "record 0000C006 00000033 -> E0010804\n"
        "record 00004001 00000034 -> E0010804\n";
    std::string dump = f.dump();
    EXPECT_NE(std::string::npos, dump.find(expected)) << dump;
    EXPECT_EQ("Ctrl+1", model.snapshot.rows[0].hotkeyText);
    EXPECT_EQ("Ctrl+Shift+3", model.snapshot.rows[1].hotkeyText);
}

TEST(Loading, ToggleSlotsComeFromTheKeysOfTheSystemLocale) {
    const char* reg = R"reg(REGEDIT4
[HKEY_CURRENT_USER\Control Panel\Input Method\Hot Keys\00000010]
"Key Modifiers"=hex:02,c0,00,00
"Virtual Key"=hex:20,00,00,00
[HKEY_CURRENT_USER\Control Panel\Input Method\Hot Keys\00000030]
"Key Modifiers"=hex:01,c0,00,00
"Virtual Key"=hex:c0,00,00,00
[HKEY_CURRENT_USER\Control Panel\Input Method\Hot Keys\00000051]
"Key Modifiers"=hex:04,c0,00,00
"Virtual Key"=hex:20,00,00,00
[HKEY_CURRENT_USER\Control Panel\Input Method\Hot Keys\00000072]
"Key Modifiers"=hex:02,c0,00,00
"Virtual Key"=hex:be,00,00,00
[HKEY_CURRENT_USER\Control Panel\Input Method\Hot Keys\00000031]
"Key Modifiers"=hex:02,c0,00,00
"Virtual Key"=hex:be,00,00,00
)reg";
    struct Case {
        uint32_t lcid;
        std::array<const char*, 3> slots;
        int chooserItems;
    } cases[] = {
        {0x0804, {"0000C002 00000020", " ", " "}, 3},
        {0x0404, {" ", " ", "0000C002 000000BE"}, 3},
        {0x0412, {" ", "0000C004 00000020", " "}, 3},
        {0x0411, {"0000C001 000000C0", " ", " "}, 1},
        {0x0409, {" ", " ", " "}, 3},
        {0x0C04, {" ", " ", " "}, 3},
    };
    for (const auto& c : cases) {
        ModelFixture f;
        f.m.system.lcid = c.lcid;
        f.m.load(reg);
        auto& model = f.start();
        for (size_t k = 0; k < 3; ++k) {
            EXPECT_EQ(c.slots[k], model.snapshot.toggles[k].modifierText + " " + model.snapshot.toggles[k].keyText)
                << std::hex << c.lcid << " slot " << k;
        }
        EXPECT_EQ(c.chooserItems, model.window.toggleChoiceCount) << std::hex << c.lcid;
    }
}

TEST(Loading, SwitchKeysAreTestedInOrder) {
    struct Case {
        const char *hotkey, *language, *layout;
        uint32_t version;
        const char* expected;
    } cases[] = {
        {"2", "1", "", kWinXp, "language switch on key 0, layout switch off key 0"},
        {"1", "", "1", kWinXp, "language switch on key 1, layout switch on key 1"},
        // "3" turns a switch off and disables the language key choice.
        {"", "3", "3", kWinXp, "language switch off key 0, layout switch off key 1"},
        {"3", "2", "2", kWinXp, "language switch off key 0, layout switch on key 0"},
        {"9", "", "x", kWinXp, "language switch off key 0, layout switch off key 0"},
        // "4" is the grave accent, offered on the 6.x generation only.
        {"4", "4", "4", kVista, "language switch on key 2, layout switch on key 2"},
        {"4", "4", "4", kWin7, "language switch on key 2, layout switch on key 2"},
        {"4", "4", "4", kWinXp, "language switch off key 0, layout switch off key 0"},
    };
    for (const auto& c : cases) {
        ModelFixture f;
        f.m.system.versionValue = c.version;
        f.m.system.lcid = 0x0409;
        std::string reg = std::string("REGEDIT4\n[HKEY_CURRENT_USER\\Keyboard Layout\\Toggle]\n\"Hotkey\"=\"") + c.hotkey +
                          "\"\n\"Language Hotkey\"=\"" + c.language + "\"\n\"Layout Hotkey\"=\"" + c.layout + "\"\n";
        f.m.load(reg);
        f.start();
        std::string dump = f.dump();
        EXPECT_NE(std::string::npos, dump.find(c.expected))
            << c.hotkey << "/" << c.language << "/" << c.layout << " on " << std::hex << c.version << "\n" << dump;
        EXPECT_EQ(f.model->snapshot.languageSwitch, f.model->controlStates().languageKey) << dump;
    }
}

TEST(Loading, NinexIndicatorReadsTheLanguageKeyFromTheDefaultValue) {
    ModelFixture f;
    english(f, kWin98).m.load("REGEDIT4\n[HKEY_CURRENT_USER\\Keyboard Layout\\Toggle]\n@=\"2\"\n\"Hotkey\"=\"3\"\n");
    f.m.system.addProcess("INTERNAT.EXE");
    auto& model = f.start();
    EXPECT_TRUE(model.snapshot.languageSwitch);
    EXPECT_TRUE(model.controlStates().languageKey);
    EXPECT_EQ(settings::kCtrlShift, model.snapshot.languageKey);
}

TEST(Loading, TheRunningIndicatorChoosesTheStyle) {
    struct Case {
        uint32_t version;
        bool internat, ctfmon;
        const char* expected;
        const char* enabled;
    } cases[] = {
        {kWinXp, false, false, "indicator switch off, internat on, ctfmon off",
         "enabled: style off, internat off, ctfmon off"},
        {kWinXp, true, false, "indicator switch on, internat on, ctfmon off",
         "enabled: style on, internat on, ctfmon on"},
        {kWinXp, false, true, "indicator switch on, internat off, ctfmon on",
         "enabled: style on, internat on, ctfmon on"},
        {kWinXp, true, true, "indicator switch on, internat off, ctfmon on",
         "enabled: style on, internat on, ctfmon on"},
        {kVista, false, false, "indicator switch on, internat off, ctfmon on",
         "enabled: style on, internat off, ctfmon on"},
        {kWin7, true, false, "indicator switch on, internat off, ctfmon on",
         "enabled: style on, internat off, ctfmon on"},
    };
    for (const auto& c : cases) {
        ModelFixture f;
        english(f, c.version);
        if (c.internat) f.m.system.addProcess("internat.exe");
        if (c.ctfmon) f.m.system.addProcess("C:\\WINDOWS\\system32\\ctfmon.exe");
        f.start();
        std::string dump = f.dump();
        EXPECT_NE(std::string::npos, dump.find(c.expected)) << dump;
        EXPECT_NE(std::string::npos, dump.find(c.enabled)) << dump;
    }
}

TEST(Loading, StyleChoosesNamesAndCaption) {
    ModelFixture f;
    english(f).m.load(R"reg(REGEDIT4
[HKEY_CURRENT_USER\Keyboard Layout\Preload]
"1"="E0010804"
)reg");
    f.m.system.addProcess("internat.exe");
    auto& model = f.start();
    EXPECT_EQ("QuanPin", model.snapshot.rows[0].shownName);
    EXPECT_EQ("Switch IME", model.window.languageSwitchCaption);
    EXPECT_FALSE(model.window.listEditable);
    f.m.system.processTable.clear();
    f.m.system.addProcess("ctfmon.exe");
    model.load();
    EXPECT_EQ("Chinese (Simplified) - QuanPin", model.snapshot.rows[0].shownName);
    EXPECT_EQ("Switch input languages", model.window.languageSwitchCaption);
    EXPECT_TRUE(model.window.listEditable);
}

TEST(Loading, AnEmptyListLeavesNoRowSelected) {
    ModelFixture f;
    auto& model = english(f).start();
    EXPECT_EQ(-1, model.window.listSelection);
    EXPECT_FALSE(model.controlStates().property);
    EXPECT_FALSE(model.controlStates().down);
}

}  // namespace
