// The settings layer over the real Win32 system under Wine: names read from the sample files
// the build produced, the process test, and start-up entries in the real registry. The Wine
// test copies the samples into the system folder and runs this in a zh_CN prefix.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"
#include "settings/names.h"
#include "settings/processes.h"

namespace {

platform::Win32System& system32() {
    static platform::Win32System system;
    return system;
}

std::string systemPath(const std::string& file) { return system32().systemDirectory() + "\\" + file; }

// Waits up to five seconds for a condition that another process makes true.
template <typename Condition>
bool eventually(Condition condition) {
    for (int i = 0; i < 100; ++i) {
        if (condition()) return true;
        Sleep(50);
    }
    return condition();
}

TEST(WineNames, DescriptionsComeFromTheSampleFiles) {
    ASSERT_EQ(936u, system32().ansiCodePage()) << "run this in a zh_CN.UTF-8 prefix";
    // 示例输入法 in GBK
    EXPECT_EQ("\xCA\xBE\xC0\xFD\xCA\xE4\xC8\xEB\xB7\xA8", settings::GetFileDescription(system32(), systemPath("kssample.ime")));
    EXPECT_EQ("Two-language sample", settings::GetFileDescription(system32(), systemPath("kstwo.ime")));
    EXPECT_EQ("", settings::GetFileDescription(system32(), systemPath("ksnover.ime")));
    EXPECT_EQ("", settings::GetFileDescription(system32(), systemPath("missing.ime")));
}

TEST(WineNames, IndirectDisplayNamesLoadTheirString) {
    // 示例显示名称 in GBK
    EXPECT_EQ("\xCA\xBE\xC0\xFD\xCF\xD4\xCA\xBE\xC3\xFB\xB3\xC6",
              settings::ResolveDisplayName(system32(), "@%SystemRoot%\\system32\\ksnames.dll,-5000"));
    EXPECT_EQ("Sample display name", settings::ResolveDisplayName(system32(), "@%SystemRoot%\\system32\\ksnames.dll,-5001"));
    EXPECT_EQ("", settings::ResolveDisplayName(system32(), "@%SystemRoot%\\system32\\ksnames.dll,-5002"));
    EXPECT_EQ("", settings::ResolveDisplayName(system32(), "@%SystemRoot%\\system32\\absent.dll,-5000"));
    EXPECT_EQ("plain, text", settings::ResolveDisplayName(system32(), "plain, text"));
}

TEST(WineProcesses, AStartedProgramRunsUntilItIsEnded) {
    platform::Win32Registry store;
    settings::Registry registry(store);
    settings::Processes processes(registry, system32());
    processes.end("ksidle.exe");
    ASSERT_TRUE(eventually([&] { return !processes.runs("ksidle.exe"); }));
    processes.start("ksidle.exe");
    EXPECT_TRUE(eventually([&] { return processes.runs("KSIDLE.EXE"); }));
    processes.end("ksidle.exe");
    EXPECT_TRUE(eventually([&] { return !processes.runs("ksidle.exe"); }));
}

TEST(WineProcesses, RegistrationEntriesRunInTheRealLibrary) {
    platform::Win32Registry store;
    settings::Registry registry(store);
    settings::Processes processes(registry, system32());
    EXPECT_TRUE(processes.registerLibrary("ksreg.dll", true));
    auto key = registry.openForRead(platform::RegRoot::CurrentUser, "Software\\KestrineSamples\\Registration");
    EXPECT_EQ("registered", registry.getString(key, "ksreg.dll"));
    EXPECT_TRUE(processes.registerLibrary("ksreg.dll", false));
    EXPECT_EQ("unregistered", registry.getString(key, "ksreg.dll"));
    EXPECT_FALSE(processes.registerLibrary("kssample.ime", true));  // loads, but has no entry
    EXPECT_FALSE(processes.registerLibrary("absent.dll", true));
}

TEST(WineProcesses, StartupEntriesAreFoundAndRemovedInTheRealRegistry) {
    platform::Win32Registry store;
    settings::Registry registry(store);
    settings::Processes processes(registry, system32());
    const char* run = settings::kRunKey;
    auto user = registry.openOrCreate(platform::RegRoot::CurrentUser, run);
    registry.setString(user, "kestrine full path", "C:\\windows\\system32\\ksidle.exe");
    registry.setString(user, "kestrine argument", "ksidle.exe /x");
    registry.setString(user, "kestrine capitals", "KSIDLE.EXE");
    EXPECT_TRUE(processes.startupEntry("ksidle.exe", true));
    EXPECT_FALSE(registry.valueExists(user, "kestrine full path"));
    EXPECT_TRUE(registry.valueExists(user, "kestrine argument"));
    EXPECT_TRUE(registry.valueExists(user, "kestrine capitals"));
    EXPECT_FALSE(processes.startupEntry("ksidle.exe", false));
    registry.deleteValue(user, "kestrine argument");
    registry.deleteValue(user, "kestrine capitals");
}

}  // namespace
