#include <gtest/gtest.h>

#include "platform/text.h"
#include "tests/support/machines.h"

using namespace testing_support;

namespace {

TEST(Applying, AnUnchangedXpMachineComesOutAsItWent) {
    ModelFixture f;
    seedXpChinese(f);
    std::string before = f.written();
    auto& model = f.start();
    std::string loaded = f.dump();
    model.apply();
    EXPECT_EQ(before, f.written());
    EXPECT_EQ(loaded, f.dump());
    EXPECT_EQ(
        "SystemParametersInfoA(0x0000006F, 1, NULL, 1)\n"
        "ActivateKeyboardLayout(0x00000000, 0x40010000)\n"
        "SystemParametersInfoA(0x0000005B, 0, NULL, 2)\n"
        "UnloadKeyboardLayout(0xE0010804)\n"
        "UnloadKeyboardLayout(0x04090409)\n"
        "UnloadKeyboardLayout(0xE00E0804)\n"
        "LoadKeyboardLayoutA(\"E00E0804\", 0x00000008) = 0xE00E0804\n"
        "LoadKeyboardLayoutA(\"00000409\", 0x00000008) = 0x04090409\n"
        "LoadKeyboardLayoutA(\"E0010804\", 0x00000008) = 0xE0010804\n"
        "ActivateKeyboardLayout(0xE0010804, 0x00000001)\n"
        "SystemParametersInfoA(0x0000005A, 0, &0xE0010804, 2)\n"
        "DllRegisterServer(msutb.dll)\n"
        "DllRegisterServer(msctf.dll)\n"
        "DllRegisterServer(msimtf.dll)\n"
        "CreateProcessA(ctfmon.exe)\n",
        f.calls());
    EXPECT_TRUE(f.prompts.shown.empty());
}

}  // namespace

namespace {

std::string lowerKeyNames(const std::string& text) {
    std::string out;
    bool inKey = false;
    for (char c : text) {
        if (c == '[') inKey = true;
        if (c == '\n') inKey = false;
        out += inKey ? platform::toLowerAscii(c) : c;
    }
    return out;
}

TEST(Applying, AnUnchangedNinexMachineComesOutAsItWentOnEitherKindOfRegistry) {
    for (bool ninexRegistry : {true, false}) {
        ModelFixture f;
        seedWin98Chinese(f, ninexRegistry);
        std::string before = f.written();
        auto& model = f.start();
        std::string loaded = f.dump();
        model.apply();
        // The old list's key is deleted and created again under the name the program uses
        // ("preload"); key names are compared without regard to case, as the registry does.
        EXPECT_EQ(lowerKeyNames(before), lowerKeyNames(f.written())) << (ninexRegistry ? "9x registry" : "NT-like registry");
        EXPECT_EQ(loaded, f.dump());
        EXPECT_EQ(
            "SystemParametersInfoA(0x0000006F, 0, NULL, 1)\n"
            "SystemParametersInfoA(0x0000005B, 0, NULL, 2)\n"
            "UnloadKeyboardLayout(0x04090409)\n"
            "UnloadKeyboardLayout(0xE0010804)\n"
            "UnloadKeyboardLayout(0xE0020804)\n"
            "LoadKeyboardLayoutA(\"E0020804\", 0x00000008) = 0xE0020804\n"
            "LoadKeyboardLayoutA(\"E0010804\", 0x00000008) = 0xE0010804\n"
            "LoadKeyboardLayoutA(\"00000409\", 0x00000008) = 0x04090409\n"
            "ActivateKeyboardLayout(0x04090409, 0x00000001)\n"
            "SystemParametersInfoA(0x0000005A, 0, &0x04090409, 2)\n"
            "DllUnregisterServer(msimtf.dll)\n"
            "DllUnregisterServer(msctf.dll)\n",
            f.calls());
    }
}

TEST(Applying, NinexPreloadShrinksWithoutLeavingOldSubKeys) {
    for (bool ninexRegistry : {true, false}) {
        ModelFixture f;
        seedWin98Chinese(f, ninexRegistry);
        auto& model = f.start();
        model.selectRow(0);
        model.removeSelected();
        model.removeSelected();
        model.apply();
        EXPECT_EQ(1u, model.snapshot.rows.size());
        std::string written = f.written();
        EXPECT_NE(std::string::npos, written.find("[HKEY_CURRENT_USER\\Keyboard Layout\\preload\\1]\n@=\"E0020804\"\n"))
            << written;
        EXPECT_EQ(std::string::npos, written.find("preload\\2")) << written;
        EXPECT_EQ(std::string::npos, written.find("preload\\3")) << written;
    }
}

TEST(Applying, PreloadValuesAreRewrittenFromOne) {
    ModelFixture f;
    seedXpChinese(f);
    f.m.load(R"reg(REGEDIT4
[HKEY_CURRENT_USER\Keyboard Layout\Preload]
"4"="00000804"
"5"="00000407"
)reg");
    auto& model = f.start();
    ASSERT_EQ(5u, model.snapshot.rows.size());
    model.selectRow(1);
    for (int i = 0; i < 3; ++i) model.removeSelected();
    model.apply();
    EXPECT_NE(std::string::npos,
              f.written().find("[HKEY_CURRENT_USER\\Keyboard Layout\\Preload]\n\"1\"=\"E0010804\"\n\"2\"=\"00000407\"\n\n"))
        << f.written();
}

TEST(Applying, HotkeyRecordsAreRenumberedInListOrderAndPlainTargetsBecomeHandles) {
    ModelFixture f;
    seedXpChinese(f);
    f.m.load(R"reg(REGEDIT4
[-HKEY_CURRENT_USER\Control Panel\Input Method\Hot Keys\00000100]
[-HKEY_CURRENT_USER\Control Panel\Input Method\Hot Keys\00000101]
[HKEY_CURRENT_USER\Control Panel\Input Method\Hot Keys\00000105]
"Key Modifiers"=hex:02,c0,00,00
"Virtual Key"=hex:31,00,00,00
"Target IME"=hex:09,04,09,04
[HKEY_CURRENT_USER\Control Panel\Input Method\Hot Keys\0000010A]
"Key Modifiers"=hex:02,c0,00,00
"Virtual Key"=hex:32,00,00,00
"Target IME"=hex:04,08,0e,e0
[HKEY_CURRENT_USER\Control Panel\Input Method\Hot Keys\000001C8]
"Key Modifiers"=hex:02,c0,00,00
"Virtual Key"=hex:33,00,00,00
"Target IME"=hex:04,08,01,e0
)reg");
    auto& model = f.start();
    model.apply();
    std::string hotKeys = withoutCarriageReturns(
        f.m.exportKeys({{platform::RegRoot::CurrentUser, "Control Panel\\Input Method\\Hot Keys\\00000100"},
                        {platform::RegRoot::CurrentUser, "Control Panel\\Input Method\\Hot Keys\\00000101"},
                        {platform::RegRoot::CurrentUser, "Control Panel\\Input Method\\Hot Keys\\00000105"},
                        {platform::RegRoot::CurrentUser, "Control Panel\\Input Method\\Hot Keys\\000001C8"}}));
    EXPECT_EQ(
        "REGEDIT4\n\n"
        "[HKEY_CURRENT_USER\\Control Panel\\Input Method\\Hot Keys\\00000100]\n"
        "\"Key Modifiers\"=hex:02,c0,00,00\n\"Virtual Key\"=hex:31,00,00,00\n\"Target IME\"=hex:09,04,09,04\n\n"
        "[HKEY_CURRENT_USER\\Control Panel\\Input Method\\Hot Keys\\00000101]\n"
        "\"Key Modifiers\"=hex:02,c0,00,00\n\"Virtual Key\"=hex:32,00,00,00\n\"Target IME\"=hex:04,08,0e,e0\n\n",
        hotKeys);
    EXPECT_EQ("00000409", model.snapshot.records[0].target);  // read back as the KLID
}

TEST(Applying, SwitchKeysAndCapsLockByGeneration) {
    struct Case {
        uint32_t version;
        bool languageOn;
        int languageKey;
        bool layoutOn;
        int layoutKey;
        int caps;
        const char* toggle;
        const char* attributes;
    } cases[] = {
        {kWinXp, false, 1, false, 0, 0, "\"Hotkey\"=\"3\"\n\"Language Hotkey\"=\"3\"\n\"Layout Hotkey\"=\"3\"\n",
         "\"Attributes\"=dword:00000000"},
        {kWinXp, true, 0, true, 1, 1, "\"Hotkey\"=\"2\"\n\"Language Hotkey\"=\"2\"\n\"Layout Hotkey\"=\"1\"\n",
         "\"Attributes\"=dword:00010000"},
        {kVista, true, 2, true, 0, 1, "\"Hotkey\"=\"4\"\n\"Language Hotkey\"=\"4\"\n\"Layout Hotkey\"=\"2\"\n",
         "\"Attributes\"=dword:00010000"},
        {kWin98, true, 0, false, 0, 1, "\"Hotkey\"=\"2\"\n\"Language Hotkey\"=\"2\"\n@=\"2\"\n\"Layout Hotkey\"=\"3\"\n",
         "(none)"},
    };
    for (const auto& c : cases) {
        ModelFixture f;
        f.m.system.versionValue = c.version;
        f.m.system.lcid = 0x0409;
        f.m.load("REGEDIT4\n[HKEY_CURRENT_USER\\Keyboard Layout\\Toggle]\n\"Hotkey\"=\"x\"\n");
        auto& model = f.start();
        model.snapshot.languageSwitch = c.languageOn;
        model.snapshot.languageKey = c.languageKey;
        model.snapshot.layoutSwitch = c.layoutOn;
        model.snapshot.layoutKey = c.layoutKey;
        model.snapshot.capsLockMode = c.caps;
        model.snapshot.indicatorSwitch = false;  // keeps the 9x load from turning the language switch on
        model.apply();
        std::string written = f.written();
        EXPECT_NE(std::string::npos,
                  written.find(std::string("[HKEY_CURRENT_USER\\Keyboard Layout\\Toggle]\n") + c.toggle + "\n"))
            << std::hex << c.version << "\n" << written;
        bool hasAttributes = written.find("\"Attributes\"") != std::string::npos;
        if (std::string(c.attributes) == "(none)") {
            EXPECT_FALSE(hasAttributes) << written;
            EXPECT_EQ(std::string::npos, f.calls().find("ActivateKeyboardLayout(0x00000000, 0x4")) << f.calls();
        } else {
            EXPECT_NE(std::string::npos, written.find(c.attributes)) << written;
            EXPECT_NE(std::string::npos, f.calls().find(c.caps ? "ActivateKeyboardLayout(0x00000000, 0x40010000)"
                                                               : "ActivateKeyboardLayout(0x00000000, 0x40000000)"));
        }
    }
}

TEST(Applying, ToggleSlotsGoToTheKeysOfTheSystemLocale) {
    struct Case {
        uint32_t lcid;
        std::vector<std::string> keys;
    } cases[] = {
        {0x0804, {"00000010", "00000011", "00000012"}},
        {0x0404, {"00000070", "00000071", "00000072"}},
        {0x0412, {"00000050", "00000051", "00000052"}},
        {0x0411, {"00000030"}},
        {0x0409, {}},
    };
    for (const auto& c : cases) {
        ModelFixture f;
        f.m.system.lcid = c.lcid;
        auto& model = f.start();
        model.snapshot.toggles[0] = {"0000C002", "00000020"};
        model.apply();
        std::string all = withoutCarriageReturns(
            f.m.exportKeys({{platform::RegRoot::CurrentUser, "Control Panel\\Input Method\\Hot Keys"}}));
        std::string expected = "REGEDIT4\n\n";
        if (!c.keys.empty()) expected += "[HKEY_CURRENT_USER\\Control Panel\\Input Method\\Hot Keys]\n\n";
        for (size_t k = 0; k < c.keys.size(); ++k) {
            expected += "[HKEY_CURRENT_USER\\Control Panel\\Input Method\\Hot Keys\\" + c.keys[k] + "]\n";
            expected += k == 0 ? "\"Key Modifiers\"=hex:02,c0,00,00\n\"Virtual Key\"=hex:20,00,00,00\n"
                               : "\"Key Modifiers\"=hex:00,00,00,00\n\"Virtual Key\"=hex:00,00,00,00\n";
            expected += "\"Target IME\"=hex:00,00,00,00\n\n";
        }
        EXPECT_EQ(expected, all) << std::hex << c.lcid;
    }
}

TEST(Applying, WritesPendingDisplayNamesThatDifferFromBothNames) {
    ModelFixture f;
    seedXpChinese(f);
    auto& model = f.start();
    model.snapshot.rows[0].pendingDisplayName = "My Pinyin";
    model.snapshot.rows[1].pendingDisplayName = model.snapshot.rows[1].classicName;
    model.apply();
    settings::Catalogue catalogue = model.catalogue();
    EXPECT_EQ("My Pinyin", catalogue.value("E0010804", "Layout Display Name"));
    EXPECT_EQ("@%SystemRoot%\\system32\\input.dll,-5000", catalogue.value("00000409", "Layout Display Name"));
    EXPECT_EQ("My Pinyin", model.snapshot.rows[0].shownName);
}

TEST(Applying, DeletesInputMethodsWhoseFileIsGoneButNeverPlainLayouts) {
    ModelFixture f;
    seedXpChinese(f);
    f.m.system.files.erase(f.m.systemPath("WINGB.IME"));
    f.m.load(R"reg(REGEDIT4
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\E0050804]
"Layout Text"="no file name"
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard Layouts\00010409]
"Layout Text"="Dvorak"
"IME File"="gone.ime"
)reg");
    f.start().apply();
    auto entries = f.model->catalogue().entries();
    EXPECT_EQ((std::vector<std::string>{"00000404", "00000407", "00000409", "00000411", "00000412", "00000804",
                                        "00010409", "E0010404", "E0010804", "E00E0804"}),
              entries);
}

TEST(Applying, UnderWow64InputMethodsAreLookedForInTheNativeSystemFolder) {
    // A 32-bit program on 64-bit Windows sees SysWOW64 as its system folder, where 64-bit
    // input methods are not; where it cannot see the native folder, no file counts as gone.
    for (const char* native : {"C:\\WINDOWS\\Sysnative", ""}) {
        ModelFixture f;
        seedXpChinese(f);
        std::string before = f.written();
        auto& s = f.m.system;
        s.nativeSystemDir = native;
        for (const char* ime : {"WINPY.IME", "WINGB.IME", "PINTLGNT.IME", "PHON.IME"}) {
            auto file = s.files.extract(f.m.systemPath(ime));
            auto info = s.versionInfos.extract(f.m.systemPath(ime));
            if (!*native) continue;
            file.key() = info.key() = std::string(native) + "\\" + ime;
            s.files.insert(std::move(file));
            s.versionInfos.insert(std::move(info));
        }
        auto& model = f.start();
        EXPECT_EQ(s.fromUtf8(*native ? "全拼输入法" : "中文 (简体) - 全拼"), model.catalogue().classicName("E0010804"));
        model.apply();
        EXPECT_EQ(before, f.written()) << native;
    }
}

TEST(Applying, AnEmptyListLoadsNoLayouts) {
    ModelFixture f;
    f.m.system.loadedLayouts = {0x04090409};
    f.start().apply();
    EXPECT_EQ(std::string::npos, f.calls().find("LoadKeyboardLayoutA")) << f.calls();
    EXPECT_NE(std::string::npos, f.calls().find("ActivateKeyboardLayout(0x00000000, 0x00000001)")) << f.calls();
}

}  // namespace
