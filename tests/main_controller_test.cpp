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

// The window's help shows the same text, in front; the list's icons come from the rows' files.
TEST_F(Startup, TheWindowsHelpAndIcons) {
    auto& c = start("");
    c.showHelp();
    EXPECT_EQ("Kestrine: " + c.helpText() + " foreground\n", f.prompts.boxes());
    std::string icons;
    for (const auto& file : c.rowIconFiles()) icons += file + "|";
    EXPECT_EQ("C:\\WINDOWS\\system32\\WINPY.IME||C:\\WINDOWS\\system32\\PINTLGNT.IME|", icons);
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
    f.m.load("REGEDIT4\n[-HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\00000409]\n"
             "[-HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\00000804]\n");
    start("");
    EXPECT_TRUE(controller->model().catalogue().exists("00000804"));
    EXPECT_EQ(f.m.system.fromUtf8("美国英语"), controller->model().catalogue().value("00000409", "Layout Text"));
    // Repaired before the rows are read: its row stays, and so its hot key.
    EXPECT_EQ(2u, controller->model().snapshot.records.size());
}

}  // namespace
