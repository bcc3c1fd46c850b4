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

TEST_F(Actions, KeyChoicesNeverHoldTheSameKeys) {
    start(kVista);  // three key choices
    // For each choice made (rows) and the other choice's value before (columns): the other's
    // value after.
    const int after[3][3] = {{1, 1, 2}, {0, 0, 2}, {0, 1, 0}};
    for (int chosen = 0; chosen < 3; ++chosen) {
        for (int other = 0; other < 3; ++other) {
            snap().layoutKey = other;
            actions->languageKeyChosen(chosen);
            EXPECT_EQ(chosen, snap().languageKey);
            EXPECT_EQ(after[chosen][other], snap().layoutKey) << "language " << chosen << ", layout was " << other;
            snap().languageKey = other;
            actions->layoutKeyChosen(chosen);
            EXPECT_EQ(chosen, snap().layoutKey);
            EXPECT_EQ(after[chosen][other], snap().languageKey) << "layout " << chosen << ", language was " << other;
        }
    }
    snap().languageKey = 1;
    actions->languageKeyChosen(3);  // no such item
    EXPECT_EQ(1, snap().languageKey);
}

// The style's options and what they set: captions, the list's editing, the layout keys, the
// names shown in the list and the add box (refilled with nothing selected).
TEST_F(Actions, AStyleChangeSetsTheCaptionsNamesAndKeyChoicesOnlyWhenTheStyleReallyChanges) {
    start();
    ASSERT_TRUE(snap().textServicesOption);
    auto style = [this] {
        return std::to_string(snap().indicatorOption) + std::to_string(snap().textServicesOption) + " keys " +
               std::to_string(snap().languageKey) + std::to_string(snap().layoutKey) + " " +
               win().languageSwitchCaption + " editable " + std::to_string(win().listEditable) + " layout " +
               std::to_string(states().layoutSwitch) + std::to_string(win().layoutKeyEnabled) + " add " +
               std::to_string(win().addSelection);
    };
    snap().languageKey = 1;
    snap().layoutKey = 0;
    win().addSelection = 2;
    actions->textServicesOptionClicked();  // already on: nothing changes
    EXPECT_EQ("01 keys 10 Switch input languages editable 1 layout 11 add 2", style());
    actions->indicatorOptionClicked();
    EXPECT_EQ("10 keys 01 Switch IME editable 0 layout 00 add -1", style());
    EXPECT_EQ(snap().rows[0].classicName, snap().rows[0].shownName);
    EXPECT_EQ(snap().addable[0].classicName, snap().addable[0].itemText);
    snap().languageKey = 1;
    snap().layoutKey = 0;
    actions->indicatorOptionClicked();  // already on
    EXPECT_EQ("10 keys 10 Switch IME editable 0 layout 00 add -1", style());
    snap().rows[1].pendingDisplayName = "Renamed";
    actions->textServicesOptionClicked();
    EXPECT_EQ("01 keys 10 Switch input languages editable 1 layout 11 add -1", style());
    EXPECT_EQ("Renamed", snap().rows[1].shownName);
    EXPECT_EQ(snap().rows[0].displayName, snap().rows[0].shownName);
    snap().languageKey = 1;
    snap().layoutKey = 0;
    actions->indicatorOptionClicked();  // and back: reset again
    EXPECT_EQ("10 keys 01 Switch IME editable 0 layout 00 add -1", style());
}

TEST_F(Actions, InstallIsEnabledWithBothEditsFilledAndNeverOnTheSixGeneration) {
    for (uint32_t version : {kWinXp, kWin7}) {
        f.model.reset();
        start(version);
        EXPECT_FALSE(states().install);
        win().installName = "Name";
        actions->installGroupChanged();
        EXPECT_FALSE(states().install);
        win().installFile = "C:\\x.ime";
        win().status = "something";
        actions->pageShown(2);
        EXPECT_EQ(version == kWinXp, states().install) << std::hex << version;
        EXPECT_EQ("", win().status);
        EXPECT_EQ(snap().addable[0].itemText, states().selectedEntry);
    }
}

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

}  // namespace
