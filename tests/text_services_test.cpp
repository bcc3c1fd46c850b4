#include <gtest/gtest.h>

#include "tests/support/model_fixture.h"

using namespace testing_support;

namespace {

const char kRunKeys[] = R"reg(REGEDIT4
[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run]
"indicator"="C:\WINDOWS\system32\internat.exe"
"monitor"="ctfmon.exe"
"other"="other.exe"
[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run]
"machine monitor"="ctfmon.exe"
)reg";

// One apply with a chosen indicator state; returns the system calls and the registry written.
struct Switching {
    ModelFixture f;
    std::string calls;
    std::string written;

    Switching(uint32_t version, bool indicatorSwitch, bool internat, bool ctfmon, bool commandLine = false,
              const std::vector<std::string>& running = {}) {
        f.m.system.versionValue = version;
        f.m.system.lcid = 0x0409;
        f.m.system.libraries = {{"msutb.dll", 0}, {"msctf.dll", 0}, {"msimtf.dll", 0}};
        f.m.load(kRunKeys);
        for (const auto& p : running) f.m.system.addProcess(p);
        auto& model = f.start(commandLine);
        model.snapshot.indicatorSwitch = indicatorSwitch;
        model.snapshot.indicatorOption = internat;
        model.snapshot.textServicesOption = ctfmon;
        f.m.system.calls.clear();
        model.apply();
        calls = f.calls();
        calls = calls.substr(calls.find("SystemParametersInfoA(0x0000005A"));
        calls = calls.substr(calls.find('\n') + 1);
        written = f.written();
    }
    bool wrote(const std::string& text) const { return written.find(text) != std::string::npos; }
};

// The window applies after the user has had it: an indicator ended meanwhile is started again.
TEST(TextServices, TheWindowsApplyAsksAgainWhichProgramsRun) {
    ModelFixture f;
    f.m.system.versionValue = kWinXp;
    f.m.system.addProcess("internat.exe");
    f.m.system.addFile(f.m.systemPath("internat.exe"));
    auto& model = f.start();
    f.m.system.processTable.clear();
    f.m.system.calls.clear();
    model.apply();
    EXPECT_NE(std::string::npos, f.calls().find("CreateProcessA(internat.exe)")) << f.calls();
}

TEST(TextServices, TextServicesOnXpRegisterTheLibrariesAndTellWhenTheMonitorIsMissing) {
    Switching s(kWinXp, true, false, true);
    EXPECT_EQ("DllRegisterServer(msutb.dll)\nDllRegisterServer(msctf.dll)\nDllRegisterServer(msimtf.dll)\n"
              "CreateProcessA(ctfmon.exe)\n",
              s.calls);
    EXPECT_TRUE(s.wrote("[HKEY_CURRENT_USER\\Software\\Microsoft\\CTF]\n\"Disable Thread Input Manager\"=dword:00000000\n"));
    EXPECT_TRUE(s.wrote("[HKEY_CURRENT_USER\\Software\\Microsoft\\CTF\\LangBar]\n\"ShowStatus\"=dword:00000004\n"));
    // ctfmon.exe is not in this machine's system folder, so it does not start: the message,
    // and the Run keys stay as they were.
    ASSERT_EQ(1u, s.f.prompts.shown.size());
    EXPECT_EQ("Not found \"ctfmon.exe\".", s.f.prompts.shown[0].text);
    EXPECT_EQ("Kestrine", s.f.prompts.shown[0].caption);
    EXPECT_TRUE(s.f.prompts.shown[0].foreground);
    EXPECT_FALSE(s.f.prompts.shown[0].okCancel);
    EXPECT_TRUE(s.wrote("\"monitor\"=\"ctfmon.exe\""));
}

TEST(TextServices, AStartedMonitorReplacesEveryStartUpEntry) {
    ModelFixture f;
    f.m.system.versionValue = kWinXp;
    f.m.system.lcid = 0x0409;
    f.m.system.addFile("C:\\WINDOWS\\system32\\ctfmon.exe");
    f.m.load(kRunKeys);
    auto& model = f.start();
    model.snapshot.indicatorSwitch = true;
    model.snapshot.indicatorOption = false;
    model.snapshot.textServicesOption = true;
    model.apply();
    EXPECT_TRUE(f.prompts.shown.empty());
    std::string run = withoutCarriageReturns(
        f.m.exportKeys({{platform::RegRoot::CurrentUser, settings::kRunKey}, {platform::RegRoot::LocalMachine, settings::kRunKey}}));
    EXPECT_EQ("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\n"
              "\"other\"=\"other.exe\"\n\"ctfmon.exe\"=\"ctfmon.exe\"\n\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\n\n",
              run);
}

TEST(TextServices, TheIndicatorOnXpStopsTheMonitorAndAsksForInternatOnlyInWindowMode) {
    for (bool commandLine : {false, true}) {
        Switching s(kWinXp, true, true, false, commandLine, {"ctfmon.exe"});
        EXPECT_EQ("TerminateProcess(100)\nDllUnregisterServer(msimtf.dll)\nDllUnregisterServer(msctf.dll)\n"
                  "CreateProcessA(internat.exe)\nCreateProcessA(internat.exe)\n",
                  s.calls);
        EXPECT_TRUE(s.wrote("\"Disable Thread Input Manager\"=dword:00000001"));
        EXPECT_TRUE(s.wrote("\"ShowStatus\"=dword:00000000"));
        EXPECT_FALSE(s.wrote("ctfmon.exe\"")) << s.written;
        // The Run value is written even when internat.exe could not be started.
        EXPECT_TRUE(s.wrote("\"internat.exe\"=\"internat.exe\""));
        if (commandLine) {
            EXPECT_TRUE(s.f.prompts.shown.empty());
            EXPECT_FALSE(s.wrote("\"indicator\"="));
        } else {
            ASSERT_EQ(1u, s.f.prompts.shown.size());
            EXPECT_EQ(s.f.model->texts().settings.internatNotFound, s.f.prompts.shown[0].text);
            EXPECT_TRUE(s.wrote("\"indicator\"="));
        }
    }
}

TEST(TextServices, InternatIsCopiedFromTheProgramFolderWithoutOverwriting) {
    ModelFixture f;
    f.m.system.versionValue = kWinXp;
    f.m.system.lcid = 0x0409;
    f.m.system.addFile("C:\\Program Files\\Kestrine\\internat.exe", "new");
    f.m.system.addFile("C:\\Program Files\\Kestrine\\indicdll.dll", "new");
    f.m.system.addFile("C:\\WINDOWS\\system32\\indicdll.dll", "old");
    auto& model = f.start();
    model.snapshot.indicatorSwitch = true;
    f.m.system.calls.clear();
    model.apply();
    EXPECT_EQ("new", f.m.system.files["C:\\WINDOWS\\system32\\internat.exe"]);
    EXPECT_EQ("old", f.m.system.files["C:\\WINDOWS\\system32\\indicdll.dll"]);
    EXPECT_NE(std::string::npos,
              f.calls().find("CopyFileA(\"C:\\Program Files\\Kestrine\\internat.exe\", \"C:\\WINDOWS\\system32\\internat.exe\", TRUE)\n"
                             "CopyFileA(\"C:\\Program Files\\Kestrine\\indicdll.dll\", \"C:\\WINDOWS\\system32\\indicdll.dll\", TRUE)\n"
                             "CreateProcessA(internat.exe)\n"))
        << f.calls();
    EXPECT_TRUE(f.m.system.processes()->size() == 1);
    EXPECT_TRUE(f.prompts.shown.empty());
}

TEST(TextServices, NinexKeepsTheIndicatorInTheMachineRunKey) {
    Switching s(kWin98, true, true, false, true);
    EXPECT_TRUE(s.wrote("[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\n"
                        "\"internat.exe\"=\"internat.exe\"\n"))
        << s.written;
    EXPECT_FALSE(s.wrote("Disable Thread Input Manager"));
}

// The two CTF values are written on NT 4, XP (with 6.1) and Server 2003 only; the 6.x
// generation touches no programs.
TEST(TextServices, TheCtfValuesFollowTheGenerationAndTheSixGenerationTouchesNoPrograms) {
    const std::pair<uint32_t, bool> cases[] = {{kNt4, true},  {kWin2000, false}, {kWinXp, true},
                                               {kWin2003, true}, {kVista, false},  {kWin7, true}};
    for (const auto& [version, ctf] : cases) {
        Switching s(version, true, false, true);
        EXPECT_EQ(ctf, s.wrote("\"Disable Thread Input Manager\"=dword:00000000")) << std::hex << version;
        EXPECT_EQ(ctf, s.wrote("\"ShowStatus\"=dword:00000004")) << std::hex << version;
        if (version == kVista || version == kWin7) {
            EXPECT_EQ("", s.calls) << std::hex << version;
        }
    }
}

TEST(TextServices, TurningTheIndicatorOffEndsBothProgramsEvenOnTheSixGeneration) {
    for (uint32_t version : {kWinXp, kVista}) {
        Switching s(version, false, false, true, false, {"internat.exe", "ctfmon.exe", "notepad.exe"});
        EXPECT_EQ("TerminateProcess(100)\nTerminateProcess(104)\n", s.calls) << std::hex << version;
        EXPECT_FALSE(s.wrote("\"indicator\"="));
        EXPECT_FALSE(s.wrote("\"monitor\"="));
        EXPECT_FALSE(s.wrote("\"machine monitor\"="));
        EXPECT_TRUE(s.wrote("\"other\"=\"other.exe\""));
    }
}

}  // namespace
