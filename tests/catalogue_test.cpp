#include <gtest/gtest.h>

#include "settings/catalogue.h"
#include "tests/support/machine.h"

using settings::Catalogue;
using settings::WindowsVersion;
using testing_support::TestMachine;

namespace {

const uint32_t kXp = 0x0A280105;
const uint32_t k98 = 0xC0000A04;

// A catalogue with entries of every group, enumerated (sorted) in an order that differs from
// the order the addable list must have.
const char kCatalogue[] = R"reg(REGEDIT4

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\00000401]
"Layout Text"="Arabic (101)"
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\00000404]
"Layout Text"="Chinese (Traditional) - US Keyboard"
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\00000407]
"Layout Text"="German"
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\00000409]
"Layout Text"="US"
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\00000411]
"Layout Text"="Japanese"
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\00000412]
"Layout Text"="Korean"
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\00000804]
"Layout Text"="Chinese (Simplified) - US Keyboard"
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\00010409]
"Layout Text"="United States-Dvorak"
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\E0010404]
"Layout Text"="Chinese (Traditional) - Phonetic"
"IME File"="phon.ime"
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\e0010804]
"Layout Text"="Chinese (Simplified) - QuanPin"
"IME File"="winpy.ime"
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\E0020804]
"Layout Text"="Chinese (Simplified) - Missing"
"IME File"="gone.ime"
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\E0030804]
"Layout Text"="Chinese (Simplified) - No file name"
)reg";

struct CatalogueTest : ::testing::Test {
    void SetUp() override {
        m.load(kCatalogue);
        m.addIme("winpy.ime", "全拼");
        m.addIme("phon.ime", "注音");
    }
    Catalogue catalogue(uint32_t version, uint32_t lcid) {
        return Catalogue(registry, m.system, WindowsVersion(version), lcid);
    }
    TestMachine m;
    settings::Registry registry{m.registry};
};

// English first, then the own Chinese script, the other, Japanese, Korean and (not on 9x) the
// rest; never an entry of the user's list, an unusable input method or an English layout
// other than US.
TEST_F(CatalogueTest, AddableListOrderAndWhatItLeavesOut) {
    struct Case {
        uint32_t version, lcid;
        std::vector<std::string> userList, expected;
    } cases[] = {
        {kXp, 0x0804, {}, {"00000409", "00000804", "E0010804", "00000404", "E0010404", "00000411", "00000412", "00000401", "00000407"}},
        {kXp, 0x0409, {}, {"00000409", "00000804", "E0010804", "00000404", "E0010404", "00000411", "00000412", "00000401", "00000407"}},
        {kXp, 0x0404, {}, {"00000409", "00000404", "E0010404", "00000804", "E0010804", "00000411", "00000412", "00000401", "00000407"}},
        {k98, 0x0804, {}, {"00000409", "00000804", "E0010804", "00000404", "E0010404", "00000411", "00000412"}},
        {kXp, 0x0804, {"00000804", "E0010804"}, {"00000409", "00000404", "E0010404", "00000411", "00000412", "00000401", "00000407"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> klids;
        for (const auto& r : catalogue(c.version, c.lcid).addableRows(c.userList)) klids.push_back(r.klid);
        EXPECT_EQ(c.expected, klids) << std::hex << c.version << " " << c.lcid;
    }
}

TEST_F(CatalogueTest, DisplayNamesResolveAndUserRowsOnNtFallBackToLayoutText) {
    m.load(R"reg(REGEDIT4
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\00000409]
"Layout Display Name"="@%SystemRoot%\system32\input.dll,-5000"
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\00000407]
"Layout Text"="@%SystemRoot%\system32\input.dll,-5011"
)reg");
    m.system.addFile("C:\\WINDOWS\\system32\\input.dll");
    m.system.stringResources["C:\\WINDOWS\\system32\\input.dll"] = {{5000, "US (resolved)"}, {5011, "German (resolved)"}};
    auto xp = catalogue(kXp, 0x0804);
    EXPECT_EQ("US (resolved)", xp.displayName("00000409", false));
    EXPECT_EQ("German (resolved)", xp.displayName("00000407", true));
    EXPECT_EQ("@%SystemRoot%\\system32\\input.dll,-5011", xp.displayName("00000407", false));
    // An input method of the user's list on NT is named by its Layout Text; offered for adding,
    // by its file's description.
    EXPECT_EQ("Chinese (Simplified) - QuanPin", xp.displayName("E0010804", true));
    EXPECT_EQ("\xC8\xAB\xC6\xB4", xp.displayName("E0010804", false));
    auto ninex = catalogue(k98, 0x0804);
    EXPECT_EQ("@%SystemRoot%\\system32\\input.dll,-5011", ninex.displayName("00000407", true));
}

// On the NT family, US and the Chinese layout of the system locale get an entry when they
// have none; an entry that exists is left alone.
TEST(CatalogueRepair, RecreatesMissingEntriesOnTheNtFamilyOnly) {
    const std::string at = "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts";
    const std::string us = at + "\\00000409]\r\n\"Layout File\"=\"KBDUS.DLL\"\r\n\"Layout Text\"=\"US\"\r\n\r\n";
    struct Case {
        uint32_t version, lcid;
        unsigned codePage;
        std::string existing, expected;
    } cases[] = {
        {k98, 0x0804, 936, "", ""},
        {kXp, 0x0804, 936, "", at + "]\r\n\r\n" + us + at + "\\00000804]\r\n\"Layout File\"=\"KBDUS.DLL\"\r\n\"Layout Text\"=\"中文\"\r\n\r\n"},
        {kXp, 0x0404, 950, "", at + "]\r\n\r\n" + at + "\\00000404]\r\n\"Layout File\"=\"KBDUS.DLL\"\r\n\"Layout Text\"=\"中文\"\r\n\r\n" + us},
        {kXp, 0x0409, 1252, at + "\\00000409]\r\n\"Layout Text\"=\"Mine\"\r\n", at + "]\r\n\r\n" + at + "\\00000409]\r\n\"Layout Text\"=\"Mine\"\r\n\r\n"},
    };
    for (const auto& c : cases) {
        TestMachine m;
        m.system.codePage = c.codePage;
        m.load("REGEDIT4\r\n" + c.existing);
        settings::Registry registry(m.registry);
        Catalogue(registry, m.system, WindowsVersion(c.version), c.lcid).repair({"US", "\xA4\xA4\xA4\xE5", "\xD6\xD0\xCE\xC4"});
        EXPECT_EQ("REGEDIT4\r\n\r\n" + c.expected, m.exportKeys({{platform::RegRoot::LocalMachine, settings::kCatalogueKey}}))
            << std::hex << c.lcid;
    }
}

}  // namespace
