// The settings layer over the real Win32 system under Wine: processes started, found and ended, and
// registration entries run in real libraries. (Names read from the version resources and string
// tables of the samples show in the window scenarios' lists; start-up entries are registry work,
// proven natively and by the registry conformance cases.) The Wine test copies the samples into
// the system folder.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"
#include "settings/processes.h"

namespace {

struct Wine : testing::Test {
    platform::Win32System system;
    platform::Win32Registry store;
    settings::Registry registry{store};
    settings::Processes processes{registry, system};

    // Waits up to fifteen seconds for a condition that another process makes true (a loaded
    // machine can take seconds to start a program under Wine).
    template <typename Condition>
    static bool eventually(Condition condition) {
        for (int i = 0; i < 300 && !condition(); ++i) Sleep(50);
        return condition();
    }
};

TEST_F(Wine, AStartedProgramRunsUntilItIsEnded) {
    processes.end("ksidle.exe");
    ASSERT_TRUE(eventually([&] { return !processes.runs("ksidle.exe"); }));
    processes.start(system.systemDirectory() + "\\ksidle.exe");
    EXPECT_TRUE(eventually([&] { return processes.runs("KSIDLE.EXE"); }));
    processes.end("ksidle.exe");
    EXPECT_TRUE(eventually([&] { return !processes.runs("ksidle.exe"); }));
}

// Only a file or folder that is not found makes a file absent; a check that fails otherwise (a
// name the file system refuses here) proves nothing.
TEST_F(Wine, AFileIsAbsentOnlyWhenItOrItsFolderIsNotFound) {
    EXPECT_EQ(platform::FileState::Absent, system.fileState("C:\\no such folder\\gone.ime"));
    EXPECT_EQ(platform::FileState::Unchecked, system.fileState("C:\\bad|name.ime"));
}

TEST_F(Wine, RegistrationEntriesRunInTheRealLibrary) {
    EXPECT_TRUE(processes.registerLibrary("ksreg.dll", true));
    auto key = registry.openForRead(platform::RegRoot::CurrentUser, "Software\\KestrineSamples\\Registration");
    EXPECT_EQ("registered", registry.getString(key, "ksreg.dll"));
    EXPECT_TRUE(processes.registerLibrary("ksreg.dll", false));
    EXPECT_EQ("unregistered", registry.getString(key, "ksreg.dll"));
    EXPECT_FALSE(processes.registerLibrary("kssample.ime", true));  // loads, but has no entry
    EXPECT_FALSE(processes.registerLibrary("absent.dll", true));
}

}  // namespace
