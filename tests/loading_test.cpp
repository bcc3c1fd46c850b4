#include <gtest/gtest.h>

#include "tests/support/machines.h"

using namespace testing_support;

namespace {

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
        "list selection 0, add selection 0, up off, down on, delete on, add on, property on, registry delete off, install off\n"
        "language caption 切换输入语言, toggle button Ctrl+SPACE, status 热键: Ctrl+Shift+1 KBDUS.DLL | E0010804\n",
        f.dump());
    EXPECT_EQ((std::array<uint32_t, 31>{0xE0010804, 0x04090409, 0xE00E0804}), f.model->snapshot.layoutSlots);
}

// The Japanese locale has one toggle slot, read from its own key.
TEST(Loading, TheJapaneseLocaleHasOneToggleSlot) {
    ModelFixture f;
    f.m.system.lcid = 0x0411;
    f.m.load("REGEDIT4\n[HKEY_CURRENT_USER\\Control Panel\\Input Method\\Hot Keys\\00000030]\n"
             "\"Key Modifiers\"=hex:02,c0,00,00\n\"Virtual Key\"=hex:20,00,00,00\n"
             "[HKEY_CURRENT_USER\\Control Panel\\Input Method\\Hot Keys\\00000031]\n"
             "\"Key Modifiers\"=hex:01,c0,00,00\n\"Virtual Key\"=hex:20,00,00,00\n");
    f.start();
    EXPECT_TRUE(f.shows("toggle 0000C002 00000020\ntoggle  \ntoggle  \n"));
    EXPECT_TRUE(f.shows("toggle button Ctrl+SPACE"));
}

}  // namespace
