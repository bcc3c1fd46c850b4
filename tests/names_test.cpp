#include <gtest/gtest.h>

#include "settings/names.h"
#include "tests/support/machine.h"

using settings::GetFileDescription;
using settings::ResolveDisplayName;
using testing_support::TestMachine;

namespace {

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
        {"@input.dll,-5000", "US"},  // a library without a folder is the system folder's
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
