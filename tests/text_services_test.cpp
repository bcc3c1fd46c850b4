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
        EXPECT_EQ("TerminateProcess(100)\nDllUnregisterServer(C:\\WINDOWS\\system32\\msimtf.dll)\n"
                  "DllUnregisterServer(C:\\WINDOWS\\system32\\msctf.dll)\nCreateProcessA(C:\\WINDOWS\\system32\\internat.exe)\n",
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
    // 9x keeps it in the Windows folder: started from there when the system folder lacks it.
    EXPECT_NE(std::string::npos, Switching(kWin98, true, true, false).calls.find("CreateProcessA(C:\\WINDOWS\\internat.exe)"));
}

}  // namespace
