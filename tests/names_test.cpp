#include <gtest/gtest.h>

#include "settings/names.h"
#include "tests/support/machine.h"

using settings::GetFileDescription;
using settings::ResolveDisplayName;
using testing_support::TestMachine;

namespace {

TEST(GetFileDescription, ReadsTheFirstTranslationOnly) {
    TestMachine m;
    m.addIme("sample.ime", "示例输入法");
    EXPECT_EQ("\xCA\xBE\xC0\xFD\xCA\xE4\xC8\xEB\xB7\xA8", GetFileDescription(m.system, m.systemPath("sample.ime")));

    std::string two = m.systemPath("two.ime");
    m.system.addFile(two);
    m.system.versionInfos[two].translations = {0x04B00409, 0x04B00804};
    m.system.versionInfos[two].strings = {{"\\StringFileInfo\\040904B0\\FileDescription", "English first"},
                                          {"\\StringFileInfo\\080404B0\\FileDescription", "Second"}};
    EXPECT_EQ("English first", GetFileDescription(m.system, two));

    // No fallback: a first translation without a description gives nothing.
    m.system.versionInfos[two].translations = {0x04E40409, 0x04B00804};
    EXPECT_EQ("", GetFileDescription(m.system, two));
}

TEST(GetFileDescription, IsEmptyWithoutVersionInformationOrTranslations) {
    TestMachine m;
    std::string plain = m.systemPath("plain.ime");
    m.system.addFile(plain);
    EXPECT_EQ("", GetFileDescription(m.system, plain));
    m.system.versionInfos[plain].strings["\\StringFileInfo\\080404B0\\FileDescription"] = "orphan";
    EXPECT_EQ("", GetFileDescription(m.system, plain));
    EXPECT_EQ("", GetFileDescription(m.system, m.systemPath("missing.ime")));
}

TEST(ResolveDisplayName, FollowsAnIndirectNameToItsStringResource) {
    TestMachine m;
    std::string input = "C:\\WINDOWS\\system32\\input.dll";
    const std::string indirect = "@%SystemRoot%\\system32\\input.dll,-5000";
    EXPECT_EQ("", ResolveDisplayName(m.system, indirect));  // the file is missing
    m.system.addFile(input);
    EXPECT_EQ("", ResolveDisplayName(m.system, indirect));  // the string is missing
    m.system.stringResources[input][5000] = "US";
    EXPECT_EQ("US", ResolveDisplayName(m.system, indirect));
    EXPECT_EQ("", ResolveDisplayName(m.system, "@%SystemRoot%\\system32\\input.dll,5000"));
    EXPECT_EQ("", ResolveDisplayName(m.system, "@%SystemRoot%\\system32\\input.dll,-99999999999"));
    EXPECT_EQ("", ResolveDisplayName(m.system, "@"));
}

TEST(ResolveDisplayName, LeavesOtherTextsAlone) {
    TestMachine m;
    EXPECT_EQ("US, International", ResolveDisplayName(m.system, "US, International"));
    EXPECT_EQ("", ResolveDisplayName(m.system, ""));
    EXPECT_EQ(" @x,-1", ResolveDisplayName(m.system, " @x,-1"));
}

TEST(ResolveDisplayName, RefusesAPathThatDoesNotFitItsRoom) {
    TestMachine m;
    std::string longDir = "C:\\" + std::string(300, 'd');
    m.system.environment["LONG"] = longDir;
    m.system.addFile(longDir + "\\input.dll");
    m.system.stringResources[longDir + "\\input.dll"][1] = "too far";
    EXPECT_EQ("", ResolveDisplayName(m.system, "@%LONG%\\input.dll,-1"));
}

}  // namespace
