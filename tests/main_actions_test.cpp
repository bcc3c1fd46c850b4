#include <gtest/gtest.h>

#include "tests/support/machines.h"
#include "ui/main_actions.h"

using namespace testing_support;

namespace {

struct Actions : ::testing::Test {
    ModelFixture f;
    std::unique_ptr<ui::MainActions> actions;

    void start(uint32_t version = kWinXp) {
        seedXpChinese(f);
        f.m.system.versionValue = version;
        f.m.system.lcid = 0x0409;
        f.m.system.codePage = 1252;
        f.start();
        actions = std::make_unique<ui::MainActions>(*f.model, f.m.system, "KeyBoard");
    }
    settings::SettingsSnapshot& snap() { return f.model->snapshot; }
    settings::WindowState& win() { return f.model->window; }
    settings::ControlStates states() const { return f.model->controlStates(); }
};

TEST_F(Actions, BrowsingFillsTheEditsEvenWhenCancelled) {
    start();
    actions->browsed(f.m.systemPath("WINGB.IME"));
    EXPECT_EQ(f.m.systemPath("WINGB.IME"), win().installFile);
    std::string description = win().installName;
    EXPECT_FALSE(description.empty());
    win().installName = "typed";
    actions->browsed(std::nullopt);
    EXPECT_EQ(description, win().installName);
}

TEST_F(Actions, RenamingIsRefusedForBlanksPlainLayoutsAndTheIndicatorStyle) {
    start();
    f.model->selectRow(0);  // E0010804
    EXPECT_FALSE(actions->renameSelected(" \t "));
    EXPECT_TRUE(actions->renameSelected(" My Pinyin "));
    EXPECT_EQ(" My Pinyin ", snap().rows[0].pendingDisplayName);
    EXPECT_EQ(" My Pinyin ", snap().rows[0].shownName);
    f.model->selectRow(1);  // 00000409
    EXPECT_FALSE(actions->renameSelected("US"));
    win().listSelection = 3;  // past the rows
    EXPECT_FALSE(actions->renameSelected("Other"));
    f.model->selectRow(2);
    actions->indicatorOptionClicked();
    EXPECT_FALSE(actions->canStartRename());
    EXPECT_FALSE(actions->renameSelected("Other"));
    EXPECT_EQ("", snap().rows[2].pendingDisplayName);
}

TEST_F(Actions, HoveringOverTheListDescribesTheRowUnderThePointer) {
    start();
    actions->listHover(20 + 5, 20);
    EXPECT_EQ("Hotkey: Ctrl+Shift+1 KeyBoard: KBDUS.DLL | E0010804", win().status);
    actions->listHover(20 + 2 * 17, 20);
    EXPECT_EQ("KeyBoard: KBDUS.DLL | E00E0804 | PINTLGNT.IME", win().status);
    actions->listHover(20 + 3 * 17, 20);
    EXPECT_EQ("", win().status);
}

TEST_F(Actions, AClickThatLeavesNoSelectionSelectsTheLastRow) {
    start();
    f.model->selectRow(0);
    actions->listClicked();
    EXPECT_EQ(0, win().listSelection);
    f.model->selectRow(-1);
    actions->listClicked();
    EXPECT_EQ(2, win().listSelection);
}

// Property configures the selected row's loaded layout, in wide characters on NT.
TEST_F(Actions, PropertyConfiguresTheSelectedRowsLayout) {
    start();
    f.model->selectRow(2);
    actions->openProperties(7);
    EXPECT_EQ("ImmConfigureIMEW(0xE00E0804, 1)\n", f.calls());
}

}  // namespace
