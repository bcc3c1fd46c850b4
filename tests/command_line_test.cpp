#include <gtest/gtest.h>

#include "cli/report.h"
#include "cli/settings_file.h"
#include "platform/codepage.h"
#include "tests/support/machines.h"
#include "ui/main_controller.h"
#include "ui/texts.h"

using namespace testing_support;

namespace {

// The Simplified Chinese XP user; nothing runs yet, as when a logon script runs before the Run
// key has started ctfmon.exe.
struct CommandLine : ::testing::Test {
    ModelFixture f;
    uint32_t status = 0;
    void SetUp() override {
        seedXpChinese(f);
        f.m.system.processTable.clear();
    }
    std::string run(const std::string& arguments) { return runProgram(f, arguments, &status); }
    std::string file(const std::string& name) { return f.m.system.files[kProgramFolder + name]; }
};

TEST_F(CommandLine, ARunAskedForNothingChangesNothing) {
    std::string before = f.written();
    const std::pair<const char*, uint32_t> runs[] = {
        {"/?", 0}, {"/frobnicate", 1}, {"/load:missing.txt", 1}, {"/del2:NoSuchName", 1},
        {"/add3:00000409 /move3:E0010804,1 /status:1 /switch:3b", 0}, {"/whatif /ctfmon", cli::kWouldChange}};
    for (auto [arguments, exit] : runs) {
        run(arguments);
        EXPECT_EQ(exit, status) << arguments;
    }
    EXPECT_EQ(before, f.written());
    EXPECT_EQ("", f.calls());
}

// A switch file that only edits the list leaves the indicator as it found it.
TEST_F(CommandLine, AListOnlyRunLeavesTheIndicatorAlone) {
    using platform::RegRoot;
    f.m.system.addFile(kProgramFolder + "list.txt", "/del4:E00E0804\r\n/add3:00000407\r\n");
    auto indicator = [this] {
        return f.m.exportKeys({{RegRoot::CurrentUser, "Software\\Microsoft\\CTF"},
                               {RegRoot::CurrentUser, settings::kRunKey},
                               {RegRoot::LocalMachine, settings::kRunKey}});
    };
    std::string before = indicator();
    run("/load:list.txt");
    EXPECT_EQ(0u, status);
    EXPECT_EQ(before, indicator());
    for (const char* call : {"CreateProcess", "Dll", "TerminateProcess"}) EXPECT_EQ(std::string::npos, f.calls().find(call));
    EXPECT_EQ("E0010804 00000409 00000407", rowOrder(f.start(true)));
}

// Windows refused something: a registry that takes no write, a program that is not there. A
// quiet run (or one where nobody could see a box) shows no box: its output says what the box would.
TEST_F(CommandLine, RefusalsSetTheSecondBitAndQuietRunsShowNoBox) {
    f.m.registry.stopAfterWrites(1);
    run("/del4:E00E0804");
    EXPECT_EQ(cli::kWindowsRefused, status);
    f.m.registry.stopAfterWrites(-1);
    f.m.system.files.erase(f.m.systemPath("ctfmon.exe"));
    f.m.system.addFile(kProgramFolder + "k.log", "old\n");
    std::string out = run("/quiet /log:k.log /ctfmon");
    EXPECT_EQ(cli::kWindowsRefused, status);
    EXPECT_NE(std::string::npos, out.find("message: " + ui::modelTexts(settings::UiLanguage::SimplifiedChinese).settings.ctfmonNotFound)) << out;
    EXPECT_EQ("old\n---- 2026-12-07 09:30:00 " + f.m.system.commandLineText + "\r\n" + platform::codePageToUtf8(out, 936),
              file("k.log"));
    f.m.system.visibleDesktop = false;
    run("/?");
    EXPECT_EQ("", f.prompts.boxes());
}

// On a system that does not put an installed input method into the list (Wine does not), the
// install's hot key goes to the new entry, added as the last row.
TEST_F(CommandLine, AnInstallsHotKeyGoesToTheNewEntry) {
    f.m.addIme("SAMPLE.IME", "Sample");
    f.m.system.installAddsToList = false;
    std::string out = run("/quiet /install:sample.ime,ctrl_3");
    EXPECT_EQ(0u, out.find("message: E0020804\r\n/install:sample.ime,ctrl_3: installed C:\\WINDOWS\\system32\\sample.ime "
                           "as \"Sample\" as E0020804, hot key CTRL+3\r\n"))
        << out;
    EXPECT_TRUE(f.start(true).snapshot.records.back().target == "E0020804");
    EXPECT_EQ("E0010804 00000409 E00E0804 E0020804", rowOrder(*f.model));
}

// A preview writes nothing and lists exactly what the real run then does.
TEST_F(CommandLine, APreviewChangesNothingAndListsWhatTheRunThenDoes) {
    f.m.system.addFile(kProgramFolder + "setup.txt", "/ctfmon\r\n/del4:E00E0804\r\n/add3:00000407,ctrl_9\r\n"
                                              "/move3:00000407,1\r\n/hotkey:a,alt_z\r\n/status:0\r\n/caps\r\n");
    f.m.system.files.erase(f.m.systemPath("WINGB.IME"));  // its catalogue entry goes
    std::string before = f.written();
    std::string preview = run("/whatif /load:setup.txt");
    EXPECT_EQ(before, f.written());
    EXPECT_EQ("", f.calls());
    EXPECT_EQ(cli::kWouldChange, status);
    EXPECT_EQ("exit status 4: preview, nothing was changed; applying would make 12 registry changes\r\n", preview.substr(preview.rfind("exit")));
    std::string real = run("/load:setup.txt");
    EXPECT_EQ("exit status 0: 12 registry changes\r\n", real.substr(real.rfind("exit")));
    EXPECT_EQ(0u, status);
    EXPECT_EQ(withoutPreviewWords(real), withoutPreviewWords(preview));
    EXPECT_NE(std::string::npos, preview.find("would set HKEY_CURRENT_USER\\Keyboard Layout\\preload \"1\" = \"00000407\" (was \"E0010804\")"));
    EXPECT_NE(std::string::npos, preview.find(" (was dword:00010000)")) << preview;
}

// Settings saved on one machine and loaded on another whose input methods have other KLIDs end
// equal: the second machine saves the same file, and loading it again changes nothing.
TEST_F(CommandLine, SavedSettingsTravel) {
    f.m.system.addProcess("ctfmon.exe");
    f.m.load(R"reg(REGEDIT4
[HKEY_CURRENT_USER\Control Panel\Input Method\Hot Keys\00000101]
"Key Modifiers"=hex:03,40,00,00
"Virtual Key"=hex:bc,00,00,00
)reg");
    run("/save:a.txt");
    EXPECT_EQ(0u, status);
    EXPECT_EQ("; Kestrine settings. Set them with: kestrine.exe /load:FILE\r\n/ctfmon\r\n/clear\r\n"
              "/add2:WINPY.IME,ctrl+shift_1\r\n/add3:00000409,ctrl+alt_~_right\r\n/add2:PINTLGNT.IME\r\n"
              "/hotkey:a,ctrl_space\r\n/hotkey:b,shift_space\r\n/hotkey:c,ctrl_.\r\n/switch:3b\r\n/shift\r\n/status:1\r\n",
              file("a.txt"));
    ModelFixture b;
    seedXpChinese(b);
    b.m.load(R"reg(REGEDIT4
[-HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\E0010804]
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\E0070804]
"IME File"="WINPY.IME"
"Layout Text"="QuanPin"
[HKEY_CURRENT_USER\Keyboard Layout\Preload]
"1"="00000409"
"2"="E0070804"
"3"=-
[HKEY_CURRENT_USER\Keyboard Layout\Toggle]
"Layout Hotkey"="3"
[HKEY_CURRENT_USER\Control Panel\Input Method]
"Show Status"="0"
)reg");
    b.m.system.addFile(kProgramFolder + "a.txt", file("a.txt"));
    uint32_t bStatus = 9;
    runProgram(b, "/load:a.txt /save:b.txt", &bStatus);
    EXPECT_EQ(0u, bStatus);
    EXPECT_EQ(file("a.txt"), b.m.system.files[kProgramFolder + "b.txt"]);
    EXPECT_EQ("E0070804 00000409 E00E0804", rowOrder(b.start(true)));
    std::string written = b.written();
    runProgram(b, "/load:a.txt", &bStatus);
    EXPECT_EQ(0u, bStatus);
    EXPECT_EQ(written, b.written());
}

// The keys each state of the switches saves as; what no switch can say is saved as a comment:
// a row that names no entry, a toggle hot key with a modifier and no key.
TEST(SavedSettings, SwitchKeysAndWhatNoSwitchSays) {
    ModelFixture f;
    seedXpChinese(f);
    auto& s = f.start(true).snapshot;
    s.rows[1].unreadable = platform::RegValue{};
    s.toggles[0] = {"00C00000", "00000000"};
    using settings::kAltShift, settings::kCtrlShift;
    const std::tuple<bool, int, bool, int> cases[] = {
        {false, kAltShift, true, kAltShift}, {false, kCtrlShift, true, kCtrlShift}, {false, kAltShift, false, kAltShift}};
    std::string lines;
    for (auto [language, languageKey, layout, layoutKey] : cases) {
        std::tie(s.languageSwitch, s.languageKey, s.layoutSwitch, s.layoutKey) = std::tie(language, languageKey, layout, layoutKey);
        cli::SavedSettings saved = cli::settingsAsSwitches(*f.model);
        size_t at = saved.text.find("/switch:");
        lines += saved.text.substr(at, saved.text.find('\r', at) - at) + " " + std::to_string(saved.unsaved.size()) + " ";
    }
    EXPECT_EQ("/switch:2a 2 /switch:2b 2 /switch:0 2 ", lines);
    EXPECT_EQ("", cli::hotkeyWords("0000C000", "00000041") + cli::hotkeyWords("00000002", "00000041"));
    EXPECT_EQ("a  b", cli::oneLine("a\r\nb"));
}

// On Windows 8 and later (by the real version, whatever GetVersion says) the language profile
// learns what a run changed in the list: each entry added, each entry no row holds any more, a
// new first row. Everything else the run does is the same on every version; a command-line run
// without input.dll says that Windows refused.
TEST(LanguageProfile, ListChangesReachTheProfileOnlyOnWindows8AndLater) {
    const std::string duplicates = R"reg(REGEDIT4
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\E0060804]
"IME File"="winpy.ime"
"Layout Text"="A second QuanPin"
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\E001]
"Layout Text"="Odd"
[HKEY_CURRENT_USER\Keyboard Layout\Preload]
"4"="E0060804"
"5"="E0010804"
"6"="E001"
)reg";
    auto enable = [](const char* item, int flags) {
        return "InstallLayoutOrTip(\"" + std::string(item) + "\", 0x0000000" + std::to_string(flags) + ")\n";
    };
    auto makeDefault = [](const char* item) { return "SetDefaultLayoutOrTip(\"" + std::string(item) + "\", 0x00000000)\n"; };
    // Arguments none: the window's Add (00000804), Delete (E0010804, 00000409, E001), OK.
    struct Case { bool duplicates; const char* arguments; std::string calls; };
    const Case cases[] = {
        {true, "", enable("0804:00000804", 0) + makeDefault("0804:E00E0804") + enable("0804:E0010804", 1) +
                       enable("0409:00000409", 1) + enable("0804:E0060804", 1)},
        {false, "/del4:E0010804 /add3:00000407 /move3:00000407,1",
         enable("0407:00000407", 0) + makeDefault("0407:00000407") + enable("0804:E0010804", 1)},
        {false, "/move3:E00E0804,2", ""},
        {false, "/del4:E0010804 /add3:E0010804", makeDefault("0409:00000409")},
        {false, "/install:sample.ime", enable("0804:E0020804", 0)},
        {true, "/status:0", enable("0804:E0060804", 1)},
        {true, "/status:1", ""},  // nothing changed: nothing applied, not even the duplicate drop
    };
    using platform::ProfileCall;
    for (const Case& c : cases) {
        std::string rest;  // what the first run wrote and its other calls
        for (platform::RealVersion v : {platform::RealVersion{6, 1, 7601}, {6, 2, 9200}, {10, 0, 19045}}) {
            for (ProfileCall answer : {ProfileCall::Done, ProfileCall::NotAvailable}) {
                ModelFixture f;
                seedXpChinese(f);
                f.m.addIme("SAMPLE.IME", "Sample");
                if (c.duplicates) f.m.load(duplicates);
                f.m.system.versionValue = 0x23F00206;  // 6.2, as Windows 8 to 11 tell GetVersion
                f.m.system.realVersionValue = v;
                f.m.system.profileAnswer = answer;
                uint32_t status = 0;
                if (*c.arguments) {
                    runProgram(f, c.arguments, &status);
                } else {
                    ui::MainController window(f.registry, f.m.system, f.prompts);
                    window.create();
                    window.initialise();
                    window.model().addSelected();
                    for (int row : {0, 0, 1}) window.model().selectRow(row), window.model().removeSelected();
                    window.applyWithClose();
                }
                std::string label = c.arguments + (" on " + std::to_string(v.major * 10 + v.minor)) +
                                    (answer == ProfileCall::Done ? "" : " without input.dll");
                std::string profile, others = f.written();
                for (const auto& call : f.m.system.calls) (call.find("LayoutOrTip(") == std::string::npos ? others : profile) += call + "\n";
                bool told = v.major > 6 || v.minor >= 2;
                EXPECT_EQ(told && answer == ProfileCall::Done ? c.calls : "", profile) << label;
                if (rest.empty()) rest = others;
                EXPECT_EQ(rest, others) << label;
                bool refused = told && answer == ProfileCall::NotAvailable && *c.arguments && !c.calls.empty();
                EXPECT_EQ(refused ? cli::kWindowsRefused : 0u, status) << label;
            }
        }
    }
}

}  // namespace
