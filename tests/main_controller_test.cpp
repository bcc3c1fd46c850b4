#include <gtest/gtest.h>

#include "tests/support/machines.h"
#include "ui/main_controller.h"

using namespace testing_support;

namespace {

struct Startup : ::testing::Test {
    ModelFixture f;
    std::unique_ptr<ui::MainController> controller;

    void SetUp() override {
        seedXpChinese(f);
        f.m.load(R"reg(REGEDIT4
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\E0050804]
"IME File"="SAMPLE.IME"
"Layout Text"="Sample IME"
"Layout File"="kbdus.dll"
)reg");
        f.m.addIme("SAMPLE.IME", "示例输入法");
    }
    ui::MainController& start(const std::string& arguments) {
        f.m.system.commandLineText = "\"C:\\Program Files\\Kestrine\\kestrine.exe\"" + arguments;
        controller = std::make_unique<ui::MainController>(f.registry, f.m.system, f.prompts);
        controller->create();
        controller->initialise();
        return *controller;
    }
};

// The help asks for nothing: the run shows it, applies nothing and closes.
TEST_F(Startup, TheHelpSwitchShowsHelpAndCloses) {
    auto& c = start(" /?");
    EXPECT_EQ("Kestrine: " + c.helpText() + " active\n", f.prompts.boxes());
    EXPECT_NE(std::string::npos, c.helpText().find("\r/uninstall3:<ID>\t\t\t")) << "the help text itself";
    EXPECT_TRUE(c.hideRequested());
    EXPECT_TRUE(c.closeRequested());
    EXPECT_EQ("", f.calls());
}

TEST_F(Startup, WithoutArgumentsNothingRunsAndTheWindowStays) {
    for (const char* arguments : {"", " ", " \"\"", "/on"}) {
        f.m.system.calls.clear();
        auto& c = start(arguments);
        EXPECT_FALSE(c.startedWithArguments()) << arguments;
        EXPECT_FALSE(c.closeRequested()) << arguments;
        EXPECT_EQ("", f.calls()) << arguments;
        EXPECT_EQ(0, c.model().window.listSelection);
    }
}

// The program's own texts reach the catalogue it repairs: the US layout in the system's language.
TEST_F(Startup, AMissingUsLayoutComesBackNamedInTheSystemsLanguage) {
    f.m.load("REGEDIT4\n[-HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\00000409]\n");
    start("");
    EXPECT_EQ(f.m.system.fromUtf8("美国英语"), controller->model().catalogue().value("00000409", "Layout Text"));
    // Repaired before the rows are read: its row stays, and so its hot key.
    EXPECT_EQ(2u, controller->model().snapshot.records.size());
}

// A command-line run reads the add box's names only when a switch looks for or adds an entry,
// and gives them as its load would have shown them (display names, with text services running
// then), whatever switch came before.
TEST_F(Startup, AnAddedEntryTakesTheNameItsLoadWouldHaveShown) {
    f.m.load("REGEDIT4\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\E0050804]\n"
             "\"Layout Display Name\"=\"Sample board\"\n");
    start(" /internat /add3:E0050804 /move1:Sample board,1");
    EXPECT_EQ("E0050804 E0010804 00000409 E00E0804", rowOrder(controller->model()));
}

// The run's reads of the catalogue go stale when it changes it: the load after apply sees the
// entry of a vanished input method gone, and drops its row.
TEST_F(Startup, ARowWhoseFileIsGoneLeavesWithItsEntry) {
    f.m.system.files.erase(f.m.systemPath("WINPY.IME"));
    start(" /on");
    EXPECT_EQ("00000409 E00E0804", rowOrder(controller->model()));
    EXPECT_FALSE(controller->model().catalogue().exists("E0010804"));
}

TEST_F(Startup, DuplicateInputMethodsAreDroppedAfterTheSwitches) {
    f.m.load(R"reg(REGEDIT4
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\E0060804]
"IME File"="winpy.ime"
"Layout Text"="A second QuanPin"
)reg");
    start(" /add3:E0060804");
    // The apply at the end of the switches wrote the duplicate; start-up then drops it and
    // deletes its catalogue entry at once.
    EXPECT_EQ("E0010804 00000409 E00E0804", rowOrder(controller->model()));
    EXPECT_FALSE(controller->model().catalogue().exists("E0060804"));
}

}  // namespace
