#include "tests/support/machines.h"

namespace testing_support {

// Each machine is read from its .reg text once; every test gets a copy of it.

void seedXpChinese(ModelFixture& f) {
    static const TestMachine xp = [] {
        TestMachine m;
        auto& s = m.system;
        s.versionValue = kWinXp;
        s.lcid = 0x0804;
        s.codePage = 936;
        m.load(fixture("xp_zh_cn.reg"));
        m.addIme("WINPY.IME", "全拼输入法");
        m.addIme("WINGB.IME", "内码输入法");
        m.addIme("PINTLGNT.IME", "微软拼音输入法");
        m.addIme("PHON.IME", "注音输入法");
        s.addFile(m.systemPath("input.dll"));
        s.stringResources[m.systemPath("input.dll")][5000] = s.fromUtf8("美国英语");
        s.addFile(m.systemPath("ksnames.dll"));
        s.stringResources[m.systemPath("ksnames.dll")][5000] = s.fromUtf8("微软拼音 3.0");
        s.addFile(m.systemPath("ctfmon.exe"));
        s.addProcess("ctfmon.exe");
        s.libraries = {{"msutb.dll", 0}, {"msctf.dll", 0}, {"msimtf.dll", 0}};
        for (const char* library : {"msutb.dll", "msctf.dll", "msimtf.dll"}) s.addFile(m.systemPath(library));
        s.loadedLayouts = {0xE0010804, 0x04090409, 0xE00E0804};
        return m;
    }();
    f.m = xp;
}

void seedWin98Chinese(ModelFixture& f, bool ninexRegistry) {
    auto seed = [](bool ninex) {
        TestMachine m;
        auto& s = m.system;
        s.versionValue = kWin98;
        s.lcid = 0x0804;
        s.codePage = 936;
        s.systemDir = "C:\\WINDOWS\\SYSTEM";
        m.registry.setDeleteTakesSubKeys(ninex);
        m.load(fixture("win98_zh_cn.reg"));
        m.addIme("WINPY.IME", "全拼输入法");
        m.addIme("WINSP.IME", "双拼输入法");
        s.addFile(m.systemPath("internat.exe"));
        s.addProcess("C:\\WINDOWS\\SYSTEM\\INTERNAT.EXE");
        s.loadedLayouts = {0x04090409, 0xE0010804, 0xE0020804};
        return m;
    };
    static const TestMachine machines[] = {seed(false), seed(true)};
    f.m = machines[ninexRegistry ? 1 : 0];
}

}  // namespace testing_support
