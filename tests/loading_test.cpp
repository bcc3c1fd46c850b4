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

// The running indicator chooses the style, and the style the names shown, the caption and
// whether the list can be edited.
TEST(Loading, TheRunningIndicatorChoosesTheStyle) {
    struct Case {
        uint32_t version;
        bool internat, ctfmon;
        const char *expected, *enabled;
    } cases[] = {
        {kWinXp, false, false, "indicator switch off, internat on, ctfmon off", "enabled: style off, internat off, ctfmon off"},
        {kWinXp, true, false, "indicator switch on, internat on, ctfmon off", "enabled: style on, internat on, ctfmon on"},
        {kWinXp, false, true, "indicator switch on, internat off, ctfmon on", "enabled: style on, internat on, ctfmon on"},
        {kWinXp, true, true, "indicator switch on, internat off, ctfmon on", "enabled: style on, internat on, ctfmon on"},
        {kVista, false, false, "indicator switch on, internat off, ctfmon on", "enabled: style on, internat off, ctfmon on"},
        {kWin7, true, false, "indicator switch on, internat off, ctfmon on", "enabled: style on, internat off, ctfmon on"},
    };
    for (const auto& c : cases) {
        ModelFixture f;
        english(f, c.version).m.load("REGEDIT4\n[HKEY_CURRENT_USER\\Keyboard Layout\\Preload]\n\"1\"=\"E0010804\"\n");
        if (c.internat) f.m.system.addProcess("internat.exe");
        if (c.ctfmon) f.m.system.addProcess("C:\\WINDOWS\\system32\\ctfmon.exe");
        f.start();
        std::string dump = f.dump();
        bool classic = std::string(c.expected).find("internat on") != std::string::npos;
        for (const char* part : {c.expected, c.enabled, classic ? "shown QuanPin |" : "shown Chinese (Simplified) - QuanPin |",
                                 classic ? "caption Switch IME," : "caption Switch input languages,"}) {
            EXPECT_NE(std::string::npos, dump.find(part)) << part << "\n" << dump;
        }
        EXPECT_EQ(!classic, f.model->window.listEditable) << dump;
    }
}

}  // namespace
