#include <gtest/gtest.h>

#include "settings/catalogue.h"
#include "tests/support/machine.h"

using settings::Catalogue;
using settings::CatalogueRow;
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

std::vector<std::string> klids(const std::vector<CatalogueRow>& rows) {
    std::vector<std::string> out;
    for (const auto& r : rows) out.push_back(r.klid);
    return out;
}

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

TEST_F(CatalogueTest, AddableListPutsTheOwnChineseScriptFirst) {
    std::vector<std::string> simplifiedFirst = {"00000409", "00000804", "E0010804", "00000404", "E0010404",
                                                "00000411", "00000412", "00000401", "00000407"};
    EXPECT_EQ(simplifiedFirst, klids(catalogue(kXp, 0x0804).addableRows({})));
    EXPECT_EQ(simplifiedFirst, klids(catalogue(kXp, 0x0409).addableRows({})));
    std::vector<std::string> traditionalFirst = {"00000409", "00000404", "E0010404", "00000804", "E0010804",
                                                 "00000411", "00000412", "00000401", "00000407"};
    EXPECT_EQ(traditionalFirst, klids(catalogue(kXp, 0x0404).addableRows({})));
}

TEST_F(CatalogueTest, NinexOffersOnlyEnglishChineseJapaneseAndKorean) {
    std::vector<std::string> expected = {"00000409", "00000804", "E0010804", "00000404", "E0010404",
                                         "00000411", "00000412"};
    EXPECT_EQ(expected, klids(catalogue(k98, 0x0804).addableRows({})));
}

TEST_F(CatalogueTest, LeavesOutEntriesInTheUsersListAndUnusableInputMethods) {
    // E0020804's file is missing and E0030804 names none; 00010409 is an English layout other
    // than US and is never offered.
    std::vector<std::string> expected = {"00000409", "00000404", "E0010404", "00000411", "00000412",
                                         "00000401", "00000407"};
    EXPECT_EQ(expected, klids(catalogue(kXp, 0x0804).addableRows({"00000804", "E0010804"})));
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

TEST(CatalogueRepair, RecreatesMissingEntriesOnTheNtFamilyOnly) {
    settings::RepairLayoutTexts texts{"US", "\xA4\xA4\xA4\xE5", "\xD6\xD0\xCE\xC4"};
    auto run = [&](uint32_t version, uint32_t lcid) {
        TestMachine m;
        settings::Registry registry(m.registry);
        Catalogue(registry, m.system, WindowsVersion(version), lcid).repair(texts);
        return m.exportKeys({{platform::RegRoot::LocalMachine, settings::kCatalogueKey}});
    };
    EXPECT_EQ("REGEDIT4\r\n\r\n", run(k98, 0x0804));
    EXPECT_EQ("REGEDIT4\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts]\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\00000409]\r\n"
              "\"Layout File\"=\"KBDUS.DLL\"\r\n\"Layout Text\"=\"US\"\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\00000804]\r\n"
              "\"Layout File\"=\"KBDUS.DLL\"\r\n\"Layout Text\"=\"中文\"\r\n\r\n",
              run(kXp, 0x0804));
    std::string traditional = run(kXp, 0x0404);
    EXPECT_NE(std::string::npos, traditional.find("Keyboard Layouts\\00000404]")) << traditional;
    EXPECT_EQ(std::string::npos, traditional.find("00000804")) << traditional;
    std::string english = run(kXp, 0x0409);
    EXPECT_EQ(std::string::npos, english.find("00000404")) << english;
    EXPECT_EQ(std::string::npos, english.find("00000804")) << english;
}

TEST(CatalogueRepair, LeavesExistingEntriesAlone) {
    TestMachine m;
    m.load(R"reg(REGEDIT4
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\00000409]
"Layout Text"="Mine"
)reg");
    settings::Registry registry(m.registry);
    Catalogue(registry, m.system, WindowsVersion(kXp), 0x0409).repair({"US", "", ""});
    EXPECT_EQ("Mine", Catalogue(registry, m.system, WindowsVersion(kXp), 0x0409).value("00000409", "Layout Text"));
    EXPECT_EQ("", Catalogue(registry, m.system, WindowsVersion(kXp), 0x0409).value("00000409", "Layout File"));
}

}  // namespace
