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
    std::string order() {
        std::string out;
        for (const auto& r : controller->model().snapshot.rows) out += (out.empty() ? "" : " ") + r.klid;
        return out;
    }
};

TEST_F(Startup, ASwitchFileConfiguresTheMachineAndCloses) {
    f.m.system.processTable.clear();
    f.m.system.addProcess("internat.exe");
    f.m.system.addFile("C:\\Program Files\\Kestrine\\setup.txt",
                       "/ctfmon\r\n/add2:sample.ime,ctrl+shift_1\r\n/move2:sample.ime,1\r\n");
    auto& c = start(" /load:setup.txt");
    EXPECT_TRUE(c.startedWithArguments());
    EXPECT_TRUE(c.closeRequested());
    EXPECT_FALSE(c.hideRequested());
    std::string written = f.written();
    EXPECT_NE(std::string::npos, written.find("[HKEY_CURRENT_USER\\Keyboard Layout\\Preload]\n"
                                              "\"1\"=\"E0050804\"\n\"2\"=\"E0010804\"\n\"3\"=\"00000409\"\n"
                                              "\"4\"=\"E00E0804\"\n\n"))
        << written;
    EXPECT_NE(std::string::npos, written.find("[HKEY_CURRENT_USER\\Control Panel\\Input Method\\Hot Keys\\00000102]\n"
                                              "\"Key Modifiers\"=hex:06,c0,00,00\n\"Virtual Key\"=hex:31,00,00,00\n"
                                              "\"Target IME\"=hex:04,08,05,e0\n"))
        << written;
    EXPECT_NE(std::string::npos, written.find("\"ctfmon.exe\"=\"ctfmon.exe\"")) << written;
    EXPECT_NE(std::string::npos, f.calls().find("CreateProcessA(ctfmon.exe)")) << f.calls();
    EXPECT_TRUE(f.prompts.shown.empty());
}

TEST_F(Startup, TheHelpSwitchShowsHelpThenStillLoadsAppliesAndCloses) {
    auto& c = start(" /?");
    ASSERT_EQ(1u, f.prompts.shown.size());
    const auto& box = f.prompts.shown[0];
    EXPECT_EQ(c.helpText(), box.text);
    EXPECT_NE(std::string::npos, box.text.find("\r/uninstall3:<ID>\t\t\t")) << "the help text itself";
    EXPECT_EQ("Kestrine", box.caption);
    EXPECT_EQ(settings::MessageBoxRequest::Owner::ActiveWindow, box.owner);
    EXPECT_EQ(settings::MessageBoxRequest::Icon::None, box.icon);
    EXPECT_FALSE(box.okCancel);
    EXPECT_TRUE(c.hideRequested());
    EXPECT_TRUE(c.closeRequested());
    EXPECT_NE(std::string::npos, f.calls().find("SystemParametersInfoA(0x0000006F")) << "apply ran";
}

// The system menu's help and about boxes, and the box that shows an installed entry's KLID.
TEST_F(Startup, MenuAndInstallBoxesTakeTheirOwnerButtonsAndIcon) {
    using Box = settings::MessageBoxRequest;
    auto& c = start("");
    c.showHelp();
    c.showAbout();
    c.installer().InstallInputMethod();
    const struct {
        std::string text, caption;
        Box::Owner owner;
        Box::Icon icon;
        bool foreground;
    } expected[] = {
        {c.helpText(), "Kestrine", Box::Owner::Application, Box::Icon::None, true},
        {c.texts().aboutText, c.texts().aboutCaption, Box::Owner::ActiveWindow, Box::Icon::Information, false},
        {"00000000", "Kestrine", Box::Owner::Application, Box::Icon::None, true},
    };
    ASSERT_EQ(std::size(expected), f.prompts.shown.size());
    for (size_t i = 0; i < std::size(expected); ++i) {
        const Box& box = f.prompts.shown[i];
        EXPECT_EQ(expected[i].text, box.text) << i;
        EXPECT_EQ(expected[i].caption, box.caption) << i;
        EXPECT_EQ(expected[i].owner, box.owner) << i;
        EXPECT_EQ(expected[i].icon, box.icon) << i;
        EXPECT_EQ(expected[i].foreground, box.foreground) << i;
        EXPECT_FALSE(box.okCancel) << i;
    }
}

// A row whose entry has no input-method file shows the program's own icon.
TEST_F(Startup, RowsShowTheirInputMethodsIconOrTheProgramsOwn) {
    EXPECT_EQ((std::vector<std::string>{"C:\\WINDOWS\\system32\\WINPY.IME", "", "C:\\WINDOWS\\system32\\PINTLGNT.IME"}),
              start("").rowIconFiles());
}

TEST_F(Startup, HelpWithAnotherSwitchIsNoHelp) {
    f.model.reset();
    auto& c = start(" /? /off");
    EXPECT_TRUE(f.prompts.shown.empty());
    EXPECT_FALSE(c.model().snapshot.indicatorSwitch);
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
}

// A command-line run reads the add box's names only when a switch looks for or adds an entry,
// and gives them as its load would have shown them (display names, with text services running
// then), whatever switch came before.
TEST_F(Startup, AnAddedEntryTakesTheNameItsLoadWouldHaveShown) {
    f.m.load("REGEDIT4\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\E0050804]\n"
             "\"Layout Display Name\"=\"Sample board\"\n");
    start(" /internat /add3:E0050804 /move1:Sample board,1");
    EXPECT_EQ("E0050804 E0010804 00000409 E00E0804", order());
}

// The run's reads of the catalogue go stale when it changes it: the load after apply sees the
// entry of a vanished input method gone, and drops its row.
TEST_F(Startup, ARowWhoseFileIsGoneLeavesWithItsEntry) {
    f.m.system.files.erase(f.m.systemPath("WINPY.IME"));
    start(" /on");
    EXPECT_EQ("00000409 E00E0804", order());
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
    EXPECT_EQ("E0010804 00000409 E00E0804", order());
    EXPECT_FALSE(controller->model().catalogue().exists("E0060804"));
}

}  // namespace
