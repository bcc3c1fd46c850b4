#include <gtest/gtest.h>

#include "settings/catalogue.h"
#include "tests/support/machine.h"
#include "ui/keyboard_layouts.h"

using testing_support::TestMachine;

namespace {

struct KeyboardLayoutsTest : ::testing::Test {
    void SetUp() override {
        m.load(testing_support::fixture("catalogue_layouts.reg"));
        m.system.addFile("C:\\WINDOWS\\system32\\input.dll");
        m.system.stringResources["C:\\WINDOWS\\system32\\input.dll"][5011] = "German (resolved)";
    }
    TestMachine m;
    settings::Registry registry{m.registry};
};

TEST_F(KeyboardLayoutsTest, TheCurrentFieldNamesTheLayoutOrShowsItsFile) {
    ui::KeyboardLayouts dialog(registry, m.system);
    dialog.show("QuanPin", "E0010804");
    EXPECT_EQ("QuanPin", dialog.inputMethodLabel());
    EXPECT_EQ("US", dialog.currentLayout());
    dialog.show("ShuangPin", "E0020804");
    EXPECT_EQ("KBDXX.DLL", dialog.currentLayout());
    dialog.show("Missing", "E0990804");
    EXPECT_EQ("", dialog.currentLayout());
    std::string klids;  // each layout once, and only those with a file, so that none is written empty
    for (const auto& layout : dialog.layouts()) klids += layout.klid + (layout.file.empty() ? "! " : " ");
    EXPECT_EQ("00000409 00000401 00000407 00010409 ", klids);
}

TEST_F(KeyboardLayoutsTest, OkWritesTheChosenFileAndEveryCloseKeepsTheChoice) {
    ui::KeyboardLayouts dialog(registry, m.system);
    settings::Catalogue catalogue(registry, m.system, settings::WindowsVersion(0x0A280105), 0x0804);
    dialog.show("QuanPin", "E0010804");
    EXPECT_FALSE(dialog.close(-1, true));
    EXPECT_EQ(-1, dialog.choice);
    EXPECT_FALSE(dialog.close(2, false));  // Cancel writes nothing, but the choice stays
    EXPECT_EQ("kbdus.dll", catalogue.value("E0010804", "Layout File"));
    dialog.show("QuanPin", "E0010804");
    EXPECT_EQ(2, dialog.choice);
    EXPECT_TRUE(dialog.close(0, true));  // the first layout can be chosen too
    EXPECT_EQ("KBDUS.DLL", catalogue.value("E0010804", "Layout File"));
    EXPECT_TRUE(dialog.close(2, true));
    EXPECT_EQ("KBDGR.DLL", catalogue.value("E0010804", "Layout File"));
    // A missing entry is created with the one value.
    dialog.show("Missing", "E0990804");
    EXPECT_TRUE(dialog.close(dialog.choice, true));
    EXPECT_EQ("KBDGR.DLL", catalogue.value("E0990804", "Layout File"));
}

}  // namespace
