#include "tests/support/machines.h"

#include "ui/main_controller.h"

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

std::string runProgram(ModelFixture& machine, const std::string& arguments, uint32_t* status) {
    auto& s = machine.m.system;
    s.output = "";
    s.commandLineText = "\"" + kProgramFolder + "kestrine.exe\" " + arguments;
    ui::MainController c(machine.registry, s, machine.prompts);
    c.create();
    c.initialise();
    if (status) *status = c.exitStatus();
    return *s.output;
}

std::string withoutPreviewWords(std::string output) {
    output.erase(output.rfind("exit status"));
    for (size_t at; (at = output.find("would ")) != std::string::npos;) output.erase(at, 6);
    return output;
}

}  // namespace testing_support
