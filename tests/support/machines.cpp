#include "tests/support/machines.h"

namespace testing_support {

void seedXpChinese(ModelFixture& f) {
    auto& s = f.m.system;
    s.versionValue = kWinXp;
    s.lcid = 0x0804;
    s.codePage = 936;
    f.m.load(fixture("xp_zh_cn.reg"));
    f.m.addIme("WINPY.IME", "全拼输入法");
    f.m.addIme("WINGB.IME", "内码输入法");
    f.m.addIme("PINTLGNT.IME", "微软拼音输入法");
    f.m.addIme("PHON.IME", "注音输入法");
    s.addFile(f.m.systemPath("input.dll"));
    s.stringResources[f.m.systemPath("input.dll")][5000] = s.fromUtf8("美国英语");
    s.addFile(f.m.systemPath("ksnames.dll"));
    s.stringResources[f.m.systemPath("ksnames.dll")][5000] = s.fromUtf8("微软拼音 3.0");
    s.addFile(f.m.systemPath("ctfmon.exe"));
    s.addProcess("ctfmon.exe");
    s.libraries = {{"msutb.dll", 0}, {"msctf.dll", 0}, {"msimtf.dll", 0}};
    for (const char* library : {"msutb.dll", "msctf.dll", "msimtf.dll"}) s.addFile(f.m.systemPath(library));
    s.loadedLayouts = {0xE0010804, 0x04090409, 0xE00E0804};
}

}  // namespace testing_support

namespace testing_support {

void seedWin98Chinese(ModelFixture& f, bool ninexRegistry) {
    auto& s = f.m.system;
    s.versionValue = kWin98;
    s.lcid = 0x0804;
    s.codePage = 936;
    s.systemDir = "C:\\WINDOWS\\SYSTEM";
    f.m.registry.setDeleteTakesSubKeys(ninexRegistry);
    f.m.load(fixture("win98_zh_cn.reg"));
    f.m.addIme("WINPY.IME", "全拼输入法");
    f.m.addIme("WINSP.IME", "双拼输入法");
    s.addFile(f.m.systemPath("internat.exe"));
    s.addProcess("C:\\WINDOWS\\SYSTEM\\INTERNAT.EXE");
    s.loadedLayouts = {0x04090409, 0xE0010804, 0xE0020804};
}

}  // namespace testing_support
