#include <gtest/gtest.h>

#include <set>

#include "platform/text.h"
#include "tests/support/machines.h"

using namespace testing_support;
using platform::RegRoot;

namespace {

// Loading and applying an unchanged machine writes back what was there and loads the same;
// the system calls reload its layouts and keep its indicator as it was.
TEST(Applying, AnUnchangedMachineComesOutAsItWent) {
    const std::string xpCalls =
        "SystemParametersInfoA(0x0000006F, 1, NULL, 1)\nActivateKeyboardLayout(0x00000000, 0x40010000)\n"
        "SystemParametersInfoA(0x0000005B, 0, NULL, 2)\nUnloadKeyboardLayout(0xE0010804)\n"
        "UnloadKeyboardLayout(0x04090409)\nUnloadKeyboardLayout(0xE00E0804)\n"
        "LoadKeyboardLayoutA(\"E00E0804\", 0x00000008) = 0xE00E0804\n"
        "LoadKeyboardLayoutA(\"00000409\", 0x00000008) = 0x04090409\n"
        "LoadKeyboardLayoutA(\"E0010804\", 0x00000008) = 0xE0010804\n"
        "ActivateKeyboardLayout(0xE0010804, 0x00000001)\n"
        "SystemParametersInfoA(0x0000005A, 0, &0xE0010804, 2)\nDllRegisterServer(C:\\WINDOWS\\system32\\msutb.dll)\n"
        "DllRegisterServer(C:\\WINDOWS\\system32\\msctf.dll)\nDllRegisterServer(C:\\WINDOWS\\system32\\msimtf.dll)\n"
        "CreateProcessA(C:\\WINDOWS\\system32\\ctfmon.exe)\n";
    const std::string ninexCalls =
        "SystemParametersInfoA(0x0000006F, 0, NULL, 1)\nSystemParametersInfoA(0x0000005B, 0, NULL, 2)\n"
        "UnloadKeyboardLayout(0x04090409)\nUnloadKeyboardLayout(0xE0010804)\n"
        "UnloadKeyboardLayout(0xE0020804)\nLoadKeyboardLayoutA(\"E0020804\", 0x00000008) = 0xE0020804\n"
        "LoadKeyboardLayoutA(\"E0010804\", 0x00000008) = 0xE0010804\n"
        "LoadKeyboardLayoutA(\"00000409\", 0x00000008) = 0x04090409\n"
        "ActivateKeyboardLayout(0x04090409, 0x00000001)\n"
        "SystemParametersInfoA(0x0000005A, 0, &0x04090409, 2)\nDllUnregisterServer(C:\\WINDOWS\\SYSTEM\\msimtf.dll)\n"
        "DllUnregisterServer(C:\\WINDOWS\\SYSTEM\\msctf.dll)\n";
    // 0: XP; 1: 98 whose registry deletes a key with its sub-keys; 2: 98 on a registry that does not.
    for (int machine = 0; machine < 3; ++machine) {
        ModelFixture f;
        machine == 0 ? seedXpChinese(f) : seedWin98Chinese(f, machine == 1);
        platform::MemoryRegistry before = f.m.registry;
        auto& model = f.start();
        std::string loaded = f.dump();
        model.apply();
        EXPECT_TRUE(f.m.registry == before) << "machine " << machine << "\n" << f.written();
        EXPECT_EQ(loaded, f.dump()) << "machine " << machine;
        EXPECT_EQ(machine == 0 ? xpCalls : ninexCalls, f.calls()) << "machine " << machine;
        EXPECT_TRUE(f.prompts.shown.empty());
    }
}

// A run cut short after any write of an apply (from then on the registry fails every call)
// leaves a list: a fresh load finds rows, only rows from before or being written, at least as
// many as the shorter list has, each row that stays keeps its hot key, and every record is one
// from before or being written, its three values together (a record written over another's key).
TEST(Applying, ARunCutShortAfterAnyWriteLeavesAWorkingList) {
    auto klids = [](const settings::SettingsSnapshot& s) {
        std::set<std::string> out;
        for (const auto& r : s.rows) out.insert(r.klid);
        return out;
    };
    auto line = [](const settings::HotkeyRecord& r) { return "record " + r.modifierText + " " + r.keyText + " -> " + r.target; };
    for (int machine = 0; machine < 3; ++machine) {
        for (long k = 1;; ++k) {
            ModelFixture f;
            machine == 0 ? seedXpChinese(f) : seedWin98Chinese(f, machine == 2);
            auto& model = f.start();
            auto before = model.snapshot;
            model.selectRow(0);
            model.removeSelected();
            model.addSelected();
            model.snapshot.records.push_back({"0000C001", model.snapshot.rows[1].klid, "00000039"});
            model.snapshot.records.push_back({"0000C002", model.snapshot.rows.back().klid, "00000032"});
            auto written = model.snapshot;
            long start = f.m.registry.writesMade();
            f.m.registry.stopAfterWrites(k);
            model.apply();
            f.m.registry.stopAfterWrites(-1);
            if (f.m.registry.writesMade() - start < k) {  // the apply ran whole: every stop was tried
                EXPECT_GT(k, 20) << "machine " << machine;
                break;
            }
            auto after = f.start().snapshot;
            auto known = klids(before), stays = klids(after);
            std::string where = "machine " + std::to_string(machine) + ", stopped after write " + std::to_string(k);
            EXPECT_GE(after.rows.size(), std::min(before.rows.size(), written.rows.size())) << where;
            for (const auto& klid : klids(written)) known.insert(klid);
            for (const auto& klid : stays) EXPECT_TRUE(known.count(klid)) << klid << ", " << where;
            std::set<std::string> whole;
            for (const auto* s : {&before, &written}) {
                for (const auto& r : s->records) whole.insert(line(r));
            }
            for (const auto& r : before.records) {
                if (!klids(written).count(r.target) || !stays.count(r.target)) continue;
                EXPECT_TRUE(f.shows(line(r))) << where;
            }
            for (const auto& r : after.records) EXPECT_TRUE(whole.count(line(r))) << line(r) << ", " << where;
        }
    }
}

// The Toggle digits as loading reads them ("1", "2", then "4" where the grave accent is
// offered, then "3": off) and as apply writes them ("3": off; 9x also the language digit into
// the default value); the Caps Lock mode from and to Attributes and the system, on NT only.
TEST(Applying, SwitchKeysAndCapsLockRoundTrip) {
    struct Case {
        uint32_t version;
        std::vector<std::string> in;  // Hotkey, Language Hotkey, Layout Hotkey[, default value]
        const char *attributes, *shown;
        std::vector<std::string> out;
        bool caps;
    } cases[] = {
        {kWinXp, {"2", "1", ""}, nullptr, "language switch on key 0, layout switch off key 0", {"2", "2", "3"}, false},
        {kWinXp, {"1", "", "1"}, "00010000", "language switch on key 1, layout switch on key 1", {"1", "1", "1"}, true},
        {kWinXp, {"", "3", "3"}, "00000004", "language switch off key 0, layout switch off key 1", {"3", "3", "3"}, true},
        {kWinXp, {"3", "2", "2"}, nullptr, "language switch off key 0, layout switch on key 0", {"3", "3", "2"}, false},
        {kWinXp, {"9", "", "x"}, nullptr, "language switch off key 0, layout switch off key 0", {"3", "3", "3"}, false},
        {kVista, {"4", "4", "4"}, nullptr, "language switch on key 2, layout switch on key 2", {"4", "4", "4"}, false},
        {kWin7, {"4", "4", "4"}, nullptr, "language switch on key 2, layout switch on key 2", {"4", "4", "4"}, false},
        {kWinXp, {"4", "4", "4"}, nullptr, "language switch off key 0, layout switch off key 0", {"3", "3", "3"}, false},
        {kWin98, {"1", "", "", "2"}, nullptr, "language switch on key 0, layout switch off key 0", {"2", "2", "3", "2"}, true},
    };
    auto toggle = [](const std::vector<std::string>& v) {
        return "[HKEY_CURRENT_USER\\Keyboard Layout\\Toggle]\n\"Hotkey\"=\"" + v[0] + "\"\n\"Language Hotkey\"=\"" + v[1] +
               "\"\n\"Layout Hotkey\"=\"" + v[2] + "\"\n" + (v.size() > 3 ? "@=\"" + v[3] + "\"\n" : "");
    };
    for (const auto& c : cases) {
        ModelFixture f;
        f.m.system.versionValue = c.version;
        f.m.system.lcid = 0x0409;
        std::string attributes = c.attributes ? "\"Attributes\"=dword:" + std::string(c.attributes) + "\n" : "";
        f.m.load("REGEDIT4\n[HKEY_CURRENT_USER\\Keyboard Layout]\n" + attributes + toggle(c.in));
        auto& model = f.start();
        std::string dump = f.dump(), where = c.in[0] + "/" + c.in[1] + "/" + c.in[2] + " on " + platform::hexText(c.version, 8);
        EXPECT_NE(std::string::npos, dump.find(c.shown)) << where << "\n" << dump;
        EXPECT_EQ(model.snapshot.languageSwitch, model.controlStates().languageKey) << where;
        model.apply();
        attributes = c.version == kWin98 ? "" : c.caps ? "\"Attributes\"=dword:00010000\n" : "\"Attributes\"=dword:00000000\n";
        EXPECT_EQ("REGEDIT4\n\n[HKEY_CURRENT_USER\\Keyboard Layout]\n" + attributes + "\n" + toggle(c.out) + "\n",
                  withoutCarriageReturns(f.m.exportKeys({{RegRoot::CurrentUser, "Keyboard Layout"}})))
            << where;
        std::string activate = c.version == kWin98 ? "ActivateKeyboardLayout(0x00000000, 0x4"
                               : c.caps             ? "ActivateKeyboardLayout(0x00000000, 0x40010000)"
                                                    : "ActivateKeyboardLayout(0x00000000, 0x40000000)";
        EXPECT_EQ(c.version != kWin98, f.calls().find(activate) != std::string::npos) << where << "\n" << f.calls();
    }
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
    const std::string all = "E0010804+hk 00000409+hk E00E0804 10", noUs = "E0010804+hk ? E00E0804 10";
    const std::string longText(300, 'x');
    struct Case {
        std::string key, value, shows, kept;
    } cases[] = {
        {preload, R"("2"=-)", "row E0010804", "E0010804+hk 10"},  // the list ends there, as Windows reads it
        {preload, R"("1"="e0010804")", "row E0010804", all},
        {preload, R"("2"=dword:00000409)", "row 00000409", all},
        {preload, R"("2"=)" + expand("00000409"), "row 00000409", all},
        {preload, R"("2"=hex:30,30,30,30,30,34,30,39)", "row 00000409", all},
        // No KLID: kept as read, in its place, naming nothing (so the entry's hot key goes).
        {preload, R"("2"=hex:30,34,30,39)", "row (type 3: 0409) |", noUs},
        {preload, R"("2"="000004090")", "row (type 1: 000004090) |", noUs},
        {preload, R"("2"="zz\\..")", "row (type 1: zz\\..) |", noUs},
        {pinyin, R"("Layout Text"=-)", "shown 全拼输入法 | hotkey Ctrl+Shift+1", all},
        {pinyin, R"("Layout Text"=)" + expand("A"), "shown A | hotkey Ctrl+Shift+1", all},
        {pinyin, R"("Layout Text"="@")", "shown 全拼输入法 |", all},
        {pinyin, R"("Layout Text"=")" + longText + "\"", "shown " + longText + " |", all},
        {pinyin, R"("IME File"=-)", "row E0010804 | 中文 (简体) - 全拼 | 中文 (简体) - 全拼", all},
        {pinyin, R"("IME File"=dword:00000001)", "row E0010804 | 中文 (简体) - 全拼 |", all},
        {pinyin, R"("IME File"=)" + expand("%SystemRoot%\\system32\\WINPY.IME"), "row E0010804 | 全拼输入法 |", all},
        {pinyin, R"("IME File"=)" + expand("%SystemRoot%\\gone.ime"), "row 00000409", "00000409+hk E00E0804 9"},
        {pinyin, R"("IME File"="gone.ime")", "row 00000409", "00000409+hk E00E0804 9"},
        {pinyin, R"("IME File"="wow.ime")", "row E0010804 | 中文 (简体) - 全拼 |", all},  // in SysWOW64 only
        {pinyin, R"("IME File"="\\\\server\\ime\\far.ime")", "row E0010804 | 中文 (简体) - 全拼 |", all},  // unchecked
        {pinyin, R"("IME File"=)" + expand("%SystemRoot%\\" + longText), "row E0010804 | 中文 (简体) - 全拼 |", all},
        {layouts + "00000409", R"("IME File"="gone.ime")", "row 00000409", all},  // a plain layout is never deleted
        {msPinyin, R"("Layout Display Name"="@%SystemRoot%\\system32\\none.dll,-5000")", "shown 中文 (简体) - 微软拼音输入法 3.0 版 |", all},
        {msPinyin, R"("Layout Display Name"="@%SystemRoot%\\system32\\ksnames.dll,-9")", "shown 中文 (简体) - 微软拼音输入法 3.0 版 |", all},
        {msPinyin, R"("Layout Display Name"="@")", "shown 中文 (简体) - 微软拼音输入法 3.0 版 |", all},
        {msPinyin, R"("Layout Display Name"=)" + expand("@%SystemRoot%\\system32\\ksnames.dll,-5000"), "shown 微软拼音 3.0 |", all},
        // A record without one of its values, or for no row of the list, binds nothing.
        {record, R"("Key Modifiers"=-)", "全拼 | hotkey \n", "E0010804 00000409+hk E00E0804 10"},
        {record, R"("Target IME"=hex:04,08,05,e0)", "全拼 | hotkey \n", "E0010804 00000409+hk E00E0804 10"},
        {record, R"("Key Modifiers"=hex:06,c0)", "hotkey Ctrl+Shift+1", all},
        {record, R"("Virtual Key"=hex:31,00,00,00,ff,ff)", "hotkey Ctrl+Shift+1", all},
        {record, R"("Virtual Key"=hex:)", "record 0000C006 00000000 -> E0010804", all},
        {hotKeys + "00000010", R"("Key Modifiers"=-)", "toggle 00000000 00000020", all},
        {hotKeys + "00000010", R"("Virtual Key"=dword:00000020)", "toggle 0000C002 00000020", all},
        {"HKEY_CURRENT_USER\\Keyboard Layout\\Toggle", R"("Layout Hotkey"=dword:00000002)", "layout switch off", all},
        {"HKEY_CURRENT_USER\\Keyboard Layout\\Toggle", R"("Hotkey"="12")", "language switch on key 1", all},
        {"HKEY_CURRENT_USER\\Keyboard Layout", R"("Attributes"=-)", "caps mode 0", all},
        {"HKEY_CURRENT_USER\\Keyboard Layout", R"("Attributes"=dword:00000004)", "caps mode 1", all},
        {"HKEY_CURRENT_USER\\Keyboard Layout", R"("Attributes"="65536")", "caps mode 0", all},
        {"HKEY_CURRENT_USER\\Control Panel\\Input Method", R"("Show Status"=dword:00000001)", "show status off", all},
    };
    for (const auto& c : cases) {
        ModelFixture f;
        seedXpChinese(f);
        f.m.system.wow64SystemDir = "C:\\WINDOWS\\SysWOW64";  // 64-bit Windows, and a share out of reach
        f.m.system.addFile("C:\\WINDOWS\\SysWOW64\\wow.ime");
        f.m.system.uncheckable = {"\\\\server\\ime\\far.ime"};
        f.m.load("REGEDIT4\n[" + c.key + "]\n" + c.value + "\n");
        f.start().apply();
        auto& model = f.start();
        std::string kept;
        for (const auto& r : model.snapshot.rows) kept += (r.unreadable ? "?" : r.klid) + (r.hotkeyText.empty() ? " " : "+hk ");
        EXPECT_EQ(c.kept, kept + std::to_string(model.catalogue().entries().size())) << c.value;
        EXPECT_NE(std::string::npos, f.dump().find(c.shows)) << c.value << "\n" << f.dump();
    }
}

}  // namespace
