#include <gtest/gtest.h>

#include <set>

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

TEST(Applying, AnUnchangedNinexMachineComesOutAsItWentOnEitherKindOfRegistry) {
    for (bool ninexRegistry : {true, false}) {
        ModelFixture f;
        seedWin98Chinese(f, ninexRegistry);
        std::string before = f.written();
        auto& model = f.start();
        std::string loaded = f.dump();
        model.apply();
        EXPECT_EQ(before, f.written()) << (ninexRegistry ? "9x registry" : "NT-like registry");
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

// Every numbered sub-key beyond the rows goes, also when no row could be read at load.
TEST(Applying, NinexPreloadIsRewrittenWhole) {
    for (bool unreadable : {false, true}) {
        ModelFixture f;
        seedWin98Chinese(f, false);
        if (unreadable) {
            for (const char* n : {"1", "2", "3"}) {
                f.m.load(std::string("REGEDIT4\n[HKEY_CURRENT_USER\\Keyboard Layout\\Preload\\") + n + "]\n@=hex:01\n");
            }
        }
        auto& model = f.start();
        model.selectRow(0);
        unreadable ? model.addSelected() : (model.removeSelected(), model.removeSelected());
        model.apply();
        std::string written = f.written();
        std::string kept = unreadable ? "00000409" : "E0020804";
        EXPECT_NE(std::string::npos, written.find("Preload\\1]\n@=\"" + kept + "\"\n\n[HKEY_CURRENT_USER\\Keyboard Layout\\Toggle]"))
            << written;
    }
}

// A run cut short after any write of an apply (from then on the registry fails every call)
// leaves a list: a fresh load finds rows, only rows from before or being written, at least as
// many as the shorter list has, and each row that stays keeps its hot key.
TEST(Applying, ARunCutShortAfterAnyWriteLeavesAWorkingList) {
    auto klids = [](const settings::SettingsSnapshot& s) {
        std::set<std::string> out;
        for (const auto& r : s.rows) out.insert(r.klid);
        return out;
    };
    for (int machine = 0; machine < 3; ++machine) {
        for (long k = 1;; ++k) {
            ModelFixture f;
            machine == 0 ? seedXpChinese(f) : seedWin98Chinese(f, machine == 2);
            auto& model = f.start();
            auto before = model.snapshot;
            model.selectRow(0);
            model.removeSelected();
            model.addSelected();
            model.snapshot.records.push_back({"0000C002", model.snapshot.rows.back().klid, "00000032"});
            auto written = model.snapshot;
            long start = f.m.registry.writesMade();
            f.m.registry.stopAfterWrites(k);
            model.apply();
            f.m.registry.stopAfterWrites(-1);
            if (f.m.registry.writesMade() - start < k) break;
            auto after = f.start().snapshot;
            std::string where = "machine " + std::to_string(machine) + ", stopped after write " + std::to_string(k);
            EXPECT_GE(after.rows.size(), std::min(before.rows.size(), written.rows.size())) << where;
            auto known = klids(before);
            for (const auto& klid : klids(written)) known.insert(klid);
            for (const auto& klid : klids(after)) EXPECT_TRUE(known.count(klid)) << klid << ", " << where;
            for (const auto& r : before.records) {
                bool stays = klids(written).count(r.target) && klids(after).count(r.target);
                bool kept = std::any_of(after.records.begin(), after.records.end(), [&r](const settings::HotkeyRecord& a) {
                    return a.target == r.target && a.modifierText == r.modifierText && a.keyText == r.keyText;
                });
                EXPECT_TRUE(!stays || kept) << r.target << ", " << where;
            }
        }
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

// Every value loading reads, missing, of a wrong type, too short, too long or absurd, on the
// XP user: what a fresh load after load and apply shows, and which rows (with their hot keys) and
// how many catalogue entries it keeps. Only an input method whose file is certainly gone loses
// its entry; a row goes only when its value names no entry at all.
TEST(Applying, BadValuesLoseNoUsableSetting) {
    const std::string preload = "HKEY_CURRENT_USER\\Keyboard Layout\\Preload", hotKeys = "HKEY_CURRENT_USER\\Control Panel\\Input Method\\Hot Keys\\";
    const std::string layouts = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\";
    const std::string pinyin = layouts + "E0010804", msPinyin = layouts + "E00E0804", record = hotKeys + "00000100";
    auto expand = [](const std::string& text) {
        std::string out = "hex(2):";
        for (char c : text + '\0') out += platform::lowerAscii(platform::hexText(static_cast<uint8_t>(c), 2)) + ",";
        return out.substr(0, out.size() - 1);
    };
    const std::string all = "E0010804+hk 00000409+hk E00E0804 10", noUs = "E0010804+hk E00E0804 10";
    const std::string longText(300, 'x');
    struct Case {
        std::string key, value, shows, kept;
    } cases[] = {
        {preload, R"("2"=-)", "row E0010804", "E0010804+hk 10"},  // the list ends there, as Windows reads it
        {preload, R"("1"="e0010804")", "row E0010804", all},
        {preload, R"("2"=dword:00000409)", "row 00000409", all},
        {preload, R"("2"=)" + expand("00000409"), "row 00000409", all},
        {preload, R"("2"=hex:30,30,30,30,30,34,30,39)", "row 00000409", all},
        {preload, R"("2"="0409")", "row E00E0804", noUs},  // names no entry: the row and its hot key go
        {preload, R"("2"="000004090")", "row E00E0804", noUs},
        {preload, R"("2"="")", "row E00E0804", noUs},
        {preload, R"("2"="zz\\..")", "row E00E0804", noUs},
        {pinyin, R"("Layout Text"=-)", "shown 全拼输入法 | hotkey Ctrl+Shift+1", all},
        {pinyin, R"("Layout Text"=)" + expand("A"), "shown A | hotkey Ctrl+Shift+1", all},
        {pinyin, R"("Layout Text"="@")", "shown 全拼输入法 |", all},
        {pinyin, R"("Layout Text"=")" + longText + "\"", "shown " + longText + " |", all},
        {pinyin, R"("IME File"=-)", "row E0010804 | 中文 (简体) - 全拼 | 中文 (简体) - 全拼", all},
        {pinyin, R"("IME File"=dword:00000001)", "row E0010804 | 中文 (简体) - 全拼 |", all},
        {pinyin, R"("IME File"="")", "row E0010804 | 中文 (简体) - 全拼 |", all},
        {pinyin, R"("IME File"=)" + expand("%SystemRoot%\\system32\\WINPY.IME"), "row E0010804 | 全拼输入法 |", all},
        {pinyin, R"("IME File"=)" + expand("%SystemRoot%\\gone.ime"), "row 00000409", "00000409+hk E00E0804 9"},
        {pinyin, R"("IME File"="gone.ime")", "row 00000409", "00000409+hk E00E0804 9"},
        {pinyin, R"("IME File"=)" + expand("%SystemRoot%\\" + longText), "row E0010804 | 中文 (简体) - 全拼 |", all},
        {layouts + "00000409", R"("IME File"="gone.ime")", "row 00000409", all},  // a plain layout is never deleted
        {msPinyin, R"("Layout Display Name"="@%SystemRoot%\\system32\\none.dll,-5000")", "shown 中文 (简体) - 微软拼音输入法 3.0 版 |", all},
        {msPinyin, R"("Layout Display Name"="@%SystemRoot%\\system32\\ksnames.dll,-9")", "shown 中文 (简体) - 微软拼音输入法 3.0 版 |", all},
        {msPinyin, R"("Layout Display Name"="@")", "shown 中文 (简体) - 微软拼音输入法 3.0 版 |", all},
        {msPinyin, R"("Layout Display Name"=dword:00000001)", "shown 中文 (简体) - 微软拼音输入法 3.0 版 |", all},
        {msPinyin, R"("Layout Display Name"=)" + expand("@%SystemRoot%\\system32\\ksnames.dll,-5000"), "shown 微软拼音 3.0 |", all},
        // A record without one of its values, or for no row of the list, binds nothing.
        {record, R"("Key Modifiers"=-)", "全拼 | hotkey \n", "E0010804 00000409+hk E00E0804 10"},
        {record, R"("Target IME"=hex:04,08,05,e0)", "全拼 | hotkey \n", "E0010804 00000409+hk E00E0804 10"},
        {record, R"("Key Modifiers"=hex:06,c0)", "hotkey Ctrl+Shift+1", all},
        {record, R"("Virtual Key"=dword:00000031)", "hotkey Ctrl+Shift+1", all},
        {record, R"("Virtual Key"=hex:31,00,00,00,ff,ff)", "hotkey Ctrl+Shift+1", all},
        {hotKeys + "00000010", R"("Key Modifiers"=-)", "toggle 00000000 00000020", all},
        {hotKeys + "00000010", R"("Virtual Key"=dword:00000020)", "toggle 0000C002 00000020", all},
        {"HKEY_CURRENT_USER\\Keyboard Layout\\Toggle", R"("Layout Hotkey"=dword:00000002)", "layout switch off", all},
        {"HKEY_CURRENT_USER\\Keyboard Layout\\Toggle", R"("Hotkey"="12")", "language switch on key 1", all},
        {"HKEY_CURRENT_USER\\Keyboard Layout", R"("Attributes"=-)", "caps mode 0", all},
        {"HKEY_CURRENT_USER\\Keyboard Layout", R"("Attributes"=dword:00000004)", "caps mode 1", all},
        {"HKEY_CURRENT_USER\\Keyboard Layout", R"("Attributes"="65536")", "caps mode 0", all},
        {"HKEY_CURRENT_USER\\Control Panel\\Input Method", R"("Show Status"=dword:00000001)", "show status off", all},
        {"HKEY_CURRENT_USER\\Control Panel\\Input Method", R"("Show Status"="1 ")", "show status off", all},
    };
    for (const auto& c : cases) {
        ModelFixture f;
        seedXpChinese(f);
        f.m.load("REGEDIT4\n[" + c.key + "]\n" + c.value + "\n");
        f.start().apply();
        auto& model = f.start();
        std::string kept;
        for (const auto& r : model.snapshot.rows) kept += r.klid + (r.hotkeyText.empty() ? " " : "+hk ");
        EXPECT_EQ(c.kept, kept + std::to_string(model.catalogue().entries().size())) << c.value;
        EXPECT_NE(std::string::npos, f.dump().find(c.shows)) << c.value << "\n" << f.dump();
    }
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
