#include <gtest/gtest.h>

#include "settings/names.h"
#include "tests/support/machine.h"

using settings::GetFileDescription;
using settings::ResolveDisplayName;
using testing_support::TestMachine;

namespace {

// The description under the first translation only; nothing without version information, a
// translation, or a description there.
TEST(GetFileDescription, ReadsTheFirstTranslationOnly) {
    TestMachine m;
    m.addIme("sample.ime", "示例输入法");
    EXPECT_EQ("\xCA\xBE\xC0\xFD\xCA\xE4\xC8\xEB\xB7\xA8", GetFileDescription(m.system, m.systemPath("sample.ime")));
    std::string two = m.systemPath("two.ime");
    m.system.addFile(two);
    EXPECT_EQ("", GetFileDescription(m.system, two));
    m.system.versionInfos[two].strings = {{"\\StringFileInfo\\040904B0\\FileDescription", "English first"},
                                          {"\\StringFileInfo\\080404B0\\FileDescription", "Second"}};
    EXPECT_EQ("", GetFileDescription(m.system, two));
    m.system.versionInfos[two].translations = {0x04B00409, 0x04B00804};
    EXPECT_EQ("English first", GetFileDescription(m.system, two));
    m.system.versionInfos[two].translations = {0x04E40409, 0x04B00804};
    EXPECT_EQ("", GetFileDescription(m.system, two));
    EXPECT_EQ("", GetFileDescription(m.system, m.systemPath("missing.ime")));
}

// "@path,-id" names string id (0 to 65535) of an existing file; other texts stay as they are.
// The machine also holds the strings a call with an id out of range would find.
TEST(ResolveDisplayName, FollowsAnIndirectNameToItsStringResource) {
    TestMachine m;
    std::string input = "C:\\WINDOWS\\system32\\input.dll", longDir = "C:\\" + std::string(300, 'd');
    m.system.addFile(input);
    m.system.stringResources[input] = {{5000, "US"}, {0, "zero"}, {0xFFFF, "last"}, {0x10000, "beyond"}, {0xFFFFFFFBu, "positive"}};
    m.system.environment["LONG"] = longDir;
    m.system.addFile(longDir + "\\input.dll");
    m.system.stringResources[longDir + "\\input.dll"][1] = "too far";
    const char* cases[][2] = {
        {"@%SystemRoot%\\system32\\input.dll,-5000", "US"},
        {"@%SystemRoot%\\system32\\input.dll,0", "zero"},
        {"@%SystemRoot%\\system32\\input.dll,-65535", "last"},
        {"@%SystemRoot%\\system32\\input.dll,-65536", ""},
        {"@%SystemRoot%\\system32\\input.dll,5", ""},
        {"@%SystemRoot%\\system32\\input.dll,-5001", ""},
        {"@%SystemRoot%\\system32\\input.dll,-99999999999", ""},
        {"@%SystemRoot%\\system32\\none.dll,-5000", ""},
        {"@%LONG%\\input.dll,-1", ""},  // the path does not fit its room
        {"@", ""},
        {"", ""},
        {"US, International", "US, International"},
        {" @x,-1", " @x,-1"},
    };
    for (const auto& c : cases) EXPECT_EQ(c[1], ResolveDisplayName(m.system, c[0])) << c[0];
}

}  // namespace
