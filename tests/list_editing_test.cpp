#include <gtest/gtest.h>

#include "tests/support/machines.h"

using namespace testing_support;

namespace {

std::string addable(const settings::SettingsModel& model) {
    std::string out;
    for (const auto& a : model.snapshot.addable) out += (out.empty() ? "" : " ") + a.klid;
    return out;
}

struct ListEditing : ::testing::Test {
    ModelFixture f;
    settings::SettingsModel& model = (seedXpChinese(f), f.start());
};

TEST_F(ListEditing, MovesExchangeWholeRowsAndStopAtTheEnds) {
    model.snapshot.rows[0].pendingDisplayName = "first";
    model.window.listFocusRequested = false;
    model.moveUp();
    EXPECT_EQ("E0010804 00000409 E00E0804", rowOrder(model));
    model.moveDown();
    EXPECT_EQ("00000409 E0010804 E00E0804", rowOrder(model));
    EXPECT_EQ(1, model.window.listSelection);
    EXPECT_TRUE(model.window.listFocusRequested);
    EXPECT_EQ("first", model.snapshot.rows[1].pendingDisplayName);
    EXPECT_EQ("Ctrl+Shift+1", model.snapshot.rows[1].hotkeyText);
    EXPECT_EQ((std::array<uint32_t, 31>{0x04090409, 0xE0010804, 0xE00E0804}), model.snapshot.layoutSlots);
    model.moveDown();
    model.moveDown();
    EXPECT_EQ("00000409 E00E0804 E0010804", rowOrder(model));
    EXPECT_FALSE(model.controlStates().down);
    EXPECT_TRUE(model.controlStates().up);
    model.selectRow(3);  // past the end: nothing is selected
    model.moveUp();
    EXPECT_EQ("00000409 E00E0804 E0010804", rowOrder(model));
}

TEST(ListDuplicates, LeaveOnlyTheTopmostRow) {
    ModelFixture f;
    seedXpChinese(f);
    f.m.load(R"reg(REGEDIT4
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\E0200804]
"IME File"="winpy.ime"
"Layout Text"="Second copy"
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\E0210804]
"IME File"="WinPy.Ime"
"Layout Text"="Third copy"
[HKEY_CURRENT_USER\Keyboard Layout\Preload]
"4"="E0200804"
"5"="E0210804"
"6"="E0010804"
"7"="E0010804\\"
)reg");
    auto& model = f.start();
    ASSERT_EQ("E0010804 00000409 E00E0804 E0200804 E0210804 E0010804 ", rowOrder(model));
    model.dropDuplicateInputMethods();
    EXPECT_EQ("E0010804 00000409 E00E0804 ", rowOrder(model));
    // The copies' entries go; the entry listed twice keeps its key, as the row that stays needs it.
    auto has = [&model](const char* klid) { return model.catalogue().exists(klid); };
    EXPECT_FALSE(has("E0200804") || has("E0210804"));
    EXPECT_TRUE(has("E0010804"));
    EXPECT_EQ(std::string::npos, addable(model).find("E02")) << addable(model);
    EXPECT_EQ(std::string::npos, addable(model).find("E0010804")) << addable(model);
    // The row that stays keeps its hot key.
    model.apply();
    EXPECT_TRUE(f.shows("record 0000C006 00000031 -> E0010804"));
}

}  // namespace
