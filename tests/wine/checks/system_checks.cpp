// The settings layer over the real Win32 system under Wine: names read from the version resources
// and string tables of the sample files the build produced, processes started, found and ended,
// and registration entries run in real libraries. (Start-up entries are registry work, proven
// natively and by the registry conformance cases.) The Wine test copies the samples into the
// system folder and runs this in a zh_CN prefix.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"
#include "settings/names.h"
#include "settings/processes.h"

namespace {

struct Wine : testing::Test {
    platform::Win32System system;
    platform::Win32Registry store;
    settings::Registry registry{store};
    settings::Processes processes{registry, system};

    // Waits up to five seconds for a condition that another process makes true.
    template <typename Condition>
    static bool eventually(Condition condition) {
        for (int i = 0; i < 100 && !condition(); ++i) Sleep(50);
        return condition();
    }
};

TEST_F(Wine, NamesComeFromVersionResourcesAndStringTables) {
    ASSERT_EQ(936u, system.ansiCodePage()) << "run this in a zh_CN.UTF-8 prefix";
    const char* gbkSample = "\xCA\xBE\xC0\xFD\xCA\xE4\xC8\xEB\xB7\xA8";                // 示例输入法
    const char* gbkDisplayName = "\xCA\xBE\xC0\xFD\xCF\xD4\xCA\xBE\xC3\xFB\xB3\xC6";  // 示例显示名称
    const std::pair<const char*, const char*> descriptions[] = {
        {"kssample.ime", gbkSample}, {"kstwo.ime", "Two-language sample"}, {"ksnover.ime", ""}, {"missing.ime", ""}};
    for (const auto& [file, want] : descriptions) {
        EXPECT_EQ(want, settings::GetFileDescription(system, system.systemDirectory() + "\\" + file)) << file;
    }
    const std::pair<const char*, const char*> displayNames[] = {
        {"@%SystemRoot%\\system32\\ksnames.dll,-5000", gbkDisplayName},
        {"@%SystemRoot%\\system32\\ksnames.dll,-5001", "Sample display name"},
        {"@%SystemRoot%\\system32\\ksnames.dll,-5002", ""},
        {"@%SystemRoot%\\system32\\absent.dll,-5000", ""}};
    for (const auto& [name, want] : displayNames) EXPECT_EQ(want, settings::ResolveDisplayName(system, name)) << name;
}

TEST_F(Wine, AStartedProgramRunsUntilItIsEnded) {
    processes.end("ksidle.exe");
    ASSERT_TRUE(eventually([&] { return !processes.runs("ksidle.exe"); }));
    processes.start("ksidle.exe");
    EXPECT_TRUE(eventually([&] { return processes.runs("KSIDLE.EXE"); }));
    processes.end("ksidle.exe");
    EXPECT_TRUE(eventually([&] { return !processes.runs("ksidle.exe"); }));
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
