#include <gtest/gtest.h>

#include "settings/processes.h"
#include "tests/support/model_fixture.h"

using settings::Processes;
using testing_support::TestMachine;

namespace {

struct ProcessesTest : ::testing::Test {
    TestMachine m;
    settings::Registry registry{m.registry};
    Processes processes{registry, m.system};
};

TEST_F(ProcessesTest, MatchesTheFileNameOrTheWholeTextWithoutRegardToCase) {
    m.system.addProcess("C:\\WINDOWS\\system32\\CTFMON.EXE");
    m.system.addProcess("internat.exe");
    EXPECT_TRUE(processes.runs("ctfmon.exe"));
    EXPECT_TRUE(processes.runs("INTERNAT.EXE"));
    EXPECT_TRUE(processes.runs("c:\\windows\\system32\\ctfmon.exe"));
    EXPECT_FALSE(processes.runs("ctfmon"));
    m.system.toolhelpAvailable = false;
    EXPECT_FALSE(Processes(registry, m.system).runs("ctfmon.exe"));
}

TEST_F(ProcessesTest, EndingOneProgramLeavesTheOthersAlone) {
    m.system.addProcess("internat.exe");
    m.system.addProcess("ctfmon.exe");
    m.system.addProcess("INTERNAT.EXE");
    processes.end("internat.exe");
    EXPECT_FALSE(processes.runs("internat.exe"));
    EXPECT_TRUE(processes.runs("ctfmon.exe"));
    EXPECT_EQ((std::vector<std::string>{"TerminateProcess(100)", "TerminateProcess(108)"}), m.system.calls);
}

TEST_F(ProcessesTest, StartsQuotingNamesWithBlanks) {
    m.system.addFile("C:\\WINDOWS\\system32\\ctfmon.exe");
    processes.start("ctfmon.exe");
    processes.start("my tool.exe");
    processes.start("\"quoted name.exe\" arg");
    EXPECT_TRUE(processes.runs("ctfmon.exe"));
    EXPECT_EQ((std::vector<std::string>{"CreateProcessA(ctfmon.exe)", "CreateProcessA(\"my tool.exe\")",
                                        "CreateProcessA(\"quoted name.exe\" arg)"}),
              m.system.calls);
}

TEST_F(ProcessesTest, StartupEntriesMatchTheExactFileNameInBothRoots) {
    m.load(R"reg(REGEDIT4
[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run]
"ctfmon.exe"="C:\WINDOWS\system32\ctfmon.exe"
"with argument"="ctfmon.exe /n"
"capitals"="CTFMON.EXE"
"other"="internat.exe"
[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run]
"machine"="ctfmon.exe"
"expand"=hex(2):63,74,66,6d,6f,6e,2e,65,78,65,00
)reg");
    EXPECT_TRUE(processes.startupEntry("ctfmon.exe", false));
    EXPECT_FALSE(processes.startupEntry("indicdll.dll", true));
    EXPECT_TRUE(processes.startupEntry("ctfmon.exe", true));
    EXPECT_EQ(R"reg(REGEDIT4

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run]
"with argument"="ctfmon.exe /n"
"capitals"="CTFMON.EXE"
"other"="internat.exe"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run]
"expand"=hex(2):63,74,66,6d,6f,6e,2e,65,78,65,00

)reg",
              testing_support::withoutCarriageReturns(m.exportKeys(
                  {{platform::RegRoot::CurrentUser, settings::kRunKey}, {platform::RegRoot::LocalMachine, settings::kRunKey}})));
    EXPECT_FALSE(processes.startupEntry("ctfmon.exe", false));
}

TEST_F(ProcessesTest, RegistrationSucceedsOnlyWhenTheEntryRunsAndSucceeds) {
    m.system.libraries = {{"msctf.dll", 0}, {"msutb.dll", static_cast<int32_t>(0x80004005)}};
    EXPECT_TRUE(processes.registerLibrary("msctf.dll", true));
    EXPECT_FALSE(processes.registerLibrary("msutb.dll", true));
    EXPECT_FALSE(processes.registerLibrary("msimtf.dll", false));
    EXPECT_EQ((std::vector<std::string>{"DllRegisterServer(C:\\WINDOWS\\system32\\msctf.dll)",
                                        "DllRegisterServer(C:\\WINDOWS\\system32\\msutb.dll)",
                                        "DllUnregisterServer(C:\\WINDOWS\\system32\\msimtf.dll)"}),
              m.system.calls);
}

}  // namespace
