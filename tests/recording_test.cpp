#include <gtest/gtest.h>

#include "platform/memory/reg_text.h"
#include "platform/recording_store.h"
#include "platform/recording_system.h"
#include "platform/text.h"
#include "tests/support/machines.h"

using namespace testing_support;
using namespace platform;

namespace {

// Edits made on a memory registry and through a recording store over one seeded alike: a
// preview reads as the edited registry, passing through makes the edits, and both record the
// same net changes. Handles opened before the edits: one for reading, one to a key deleted and
// one to a key of that name under the other root.
TEST(Recording, TheStoreSeesAndRecordsEditsAsTheRegistryMakesThem) {
    const std::string seed = "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"a\"=\"1\"\n\"B\"=\"2\"\n[HKEY_CURRENT_USER\\K\\Sub]\n"
                             "[HKEY_CURRENT_USER\\Old]\n\"x\"=\"3\"\n[HKEY_CURRENT_USER\\Old\\Kid]\n"
                             "[HKEY_LOCAL_MACHINE\\Old]\n\"x\"=\"3\"\n";
    const std::string edits = "REGEDIT4\n[HKEY_CURRENT_USER\\k]\n\"A\"=-\n\"c\"=\"new0\"\n\"c\"=\"new\"\n\"b\"=\"2\"\n"
                              "\"a\"=\"again\"\n[-HKEY_CURRENT_USER\\OLD]\n[HKEY_CURRENT_USER\\old]\n\"y\"=\"4\"\n"
                              "[HKEY_CURRENT_USER\\Tmp\\Deep]\n\"v\"=\"5\"\n[-HKEY_CURRENT_USER\\Tmp]\n"
                              "[HKEY_CURRENT_USER\\K\\New]\n";
    const RegRoot user = RegRoot::CurrentUser;
    auto exported = [](RegistryStore& s) {
        return exportRegText(s, {{RegRoot::CurrentUser, "K"}, {RegRoot::CurrentUser, "Old"}}, {}, 936);
    };
    auto run = [&](RegistryStore& store) {
        auto reading = store.open(user, "K", KeyAccess::Read);
        auto deleted = store.open(user, "Old", KeyAccess::ReadWrite);
        auto machine = store.open(RegRoot::LocalMachine, "Old", KeyAccess::Read);
        EXPECT_TRUE(importRegText(store, edits, 936).ok);
        auto full = store.open(user, "K", KeyAccess::Full);
        RegValue v;
        std::vector<std::string> subKeys{"x"}, values{"x"};
        std::string results;
        for (bool r : {reading->set("a", kRegSz, {}), reading->deleteValue("B"), deleted->set("z", kRegSz, {}),
                       deleted->query("x", v),
                       deleted->subKeyNames(subKeys) || deleted->valueNames(values) || !subKeys.empty() ||
                           !values.empty(),
                       machine->query("x", v), full->set("d", kRegSz, {}), full->deleteValue("d"),
                       full->deleteValue("d"), store.deleteKey(user, "K")}) {
            results += r ? '1' : '0';
        }
        return results + "\n" + exported(store);
    };
    MemoryRegistry plain, under[2];
    for (RegistryStore* s : {&plain, &under[0], &under[1]}) importRegText(*s, seed, 936);
    std::string seeded = exported(plain);
    std::string edited = run(plain);
    EXPECT_EQ("0000011100", edited.substr(0, 10));
    for (int preview = 0; preview < 2; ++preview) {
        RecordingStore store(under[preview], preview == 1, 936);
        EXPECT_EQ(edited, run(store));
        EXPECT_EQ(preview ? seeded : edited.substr(11), exported(under[preview]));
        std::string changes;
        auto text = [](const auto& v) { return v ? std::string(v->data.begin(), v->data.end() - 1) : "-"; };
        for (const auto& c : store.changes()) {
            changes += "ACD"[static_cast<int>(c.kind)] +
                       (" " + c.path + "|" + c.name + "|" + text(c.before) + ">" + text(c.after) + "\n");
        }
        EXPECT_EQ("A k|A|1>again\nA k|c|->new\nD OLD\\Kid||->-\nD OLD||->-\nC old||->-\nA old|y|->4\nC K\\New||->-\n",
                  changes);
    }
    // Passing through, what the other store refused is not recorded.
    under[0].stopAfterWrites(1);
    RecordingStore through(under[0], false, 936);
    EXPECT_TRUE(!through.create(user, "Tmp\\Deep") && through.changes().empty());
}

// Calls made through a preview and passing through, over machines set up alike: the same lines,
// flags and answers (but the install's), and the preview's machine left as it was.
TEST(Recording, TheSystemLogsEachCallAndAPreviewSimulatesIt) {
    for (int preview = 0; preview < 2; ++preview) {
        MemoryMachine m;
        auto& s = m.system;
        s.systemDir = "C:\\W";
        for (const char* f : {"C:\\W\\ctfmon.exe", "C:\\W\\msctf.dll", "C:\\W\\x.ime", "C:\\W\\i.exe"}) s.addFile(f);
        s.libraries = {{"msctf.dll", 0}};
        s.addProcess("ctfmon.exe");
        s.loadedLayouts = {0xE0010804, 0xE0020804};
        for (std::string klid : {"\\00000409", "\\E0010804"}) {
            m.registry.create(RegRoot::LocalMachine, kLayoutCatalogueKey + klid);
        }
        auto files = s.files;
        RecordingStore store(m.registry, preview == 1, 936);
        RecordingSystem r(s, store, preview == 1);
        uint32_t layout = 0x04090409;
        std::string answers, lines;
        for (bool ok : {r.layoutsChanged(), r.startProgram("i.exe"), r.startProgram("\"C:\\W\\ctfmon.exe\""),
                        r.startProgram("\"C:\\No Such\\p.exe\""), r.terminateProcess(100), r.terminateProcess(100),
                        r.callRegistrationEntry("msctf.dll", true) == 0,
                        r.callRegistrationEntry("C:\\gone.dll", false).has_value(),
                        r.loadKeyboardLayout("00000409", kKlfReorder) == layout,
                        r.loadKeyboardLayout("E0010804", 0) == 0xE0010804, r.loadKeyboardLayout("E0FF0804", 0) == 0,
                        r.unloadKeyboardLayout(0xE0020804), r.unloadKeyboardLayout(0xE0020804),
                        r.activateKeyboardLayout(0xE0010804, kKlfActivate) == layout,
                        r.activateKeyboardLayout(1, kKlfActivate) == 0,
                        r.activateKeyboardLayout(0, kKlfReset) == 0xE0010804, r.layoutsChanged(),
                        r.keyboardLayoutList(8) == std::vector<uint32_t>{0xE0010804, layout},
                        r.systemParametersInfo(kSpiSetDefaultInputLang, 0, &layout, 2),
                        r.systemParametersInfo(kSpiSetShowImeUi, 0, nullptr, 1),
                        r.systemParametersInfo(kSpiSetInputLangToggle, 0, nullptr, 2),
                        r.systemParametersInfo(1, 0, 0, 0), r.configureIme(layout, 0, true),
                        r.installIme("C:\\W\\x.ime", "X") == 0,
                        r.installLayoutOrTip("0804:E0010804", 0) == ProfileCall::Done}) {
            answers += ok ? '1' : '0';
        }
        s.addProcess("late.exe");  // seen passing through only
        auto running = r.processes();
        for (const auto& p : *running) answers += " " + std::to_string(p.id) + " " + p.exeFile;
        for (uint32_t l : r.keyboardLayoutList(1)) answers += " " + hexText(l, 8);
        for (const auto& c : r.calls()) lines += c.text + (c.changes ? " *\n" : "\n");
        EXPECT_EQ("start program C:\\W\\i.exe *\nstart program C:\\W\\ctfmon.exe\nstart program \"C:\\No Such\\p.exe\" "
                  "(failed)\nend process 100 (ctfmon.exe) *\nend process 100 (failed)\nregister library "
                  "C:\\W\\msctf.dll\nunregister library C:\\gone.dll (failed)\nload keyboard layout 00000409\nload "
                  "keyboard layout E0010804\nload keyboard layout E0FF0804\nunload keyboard layout E0020804\nunload "
                  "keyboard layout E0020804\nactivate keyboard layout E0010804\nactivate keyboard layout 00000001\n"
                  "activate keyboard layout 00000000, flags 40000000\nset the default input language to 04090409\n"
                  "hide the input method status window\nreload the input language switch keys\nset system parameter "
                  "00000001\nconfigure input method 04090409\ninstall input method C:\\W\\x.ime as \"X\" *\n"
                  "language profile: enable 0804:E0010804 *\n",
                  lines);
        EXPECT_EQ(preview ? "0110101011110111111111111 104 i.exe 108 ctfmon.exe E0010804"
                          : "0110101011110111111111101 104 i.exe 108 ctfmon.exe 112 late.exe E0010804",
                  answers);
        EXPECT_EQ(3u, r.refusals());
        s.imeInstallFails = true;
        EXPECT_EQ(!preview, r.installIme("C:\\W\\x.ime", "Y") == 0 && r.calls().back().refused);
        s.profileAnswer = ProfileCall::Failed;
        r.installLayoutOrTip("0409:00000409", kIlotUninstall);
        s.profileAnswer = ProfileCall::NotAvailable;
        r.setDefaultLayoutOrTip("0409:00000409", 0);
        EXPECT_EQ(preview ? 3u : 6u, r.refusals());
        EXPECT_EQ(preview ? "language profile: disable 0409:00000409|language profile: make default 0409:00000409"
                          : "language profile: disable 0409:00000409 (failed)|language profile: make default "
                            "0409:00000409 (failed: no input.dll with this function in the system folder)",
                  r.calls()[r.calls().size() - 2].text + "|" + r.calls().back().text);
        EXPECT_TRUE(!preview || (s.calls.empty() && files == s.files && s.processTable.size() == 2));
    }
}

// Key paths split at "\" as the registry splits them: never after a lead byte of the code page
// (the ranges of lead bytes listed), a trailing "\" ignored, an empty or overlong part invalid.
TEST(Recording, KeyPathsSplitAsTheRegistrySplitsThem) {
    std::vector<std::string_view> parts;
    std::string out;
    for (unsigned page : {932u, 936u, 949u, 950u, 1252u}) {
        out += "|" + std::to_string(page) + ":";
        bool leading = false;
        for (int c = 0x80; c <= 0x100; ++c) {
            bool lead = c < 0x100 && splitKeyPath(std::string(1, char(c)) + "\\b", page, parts) && parts.size() == 1;
            if (lead != leading) out += lead ? " " + hexText(c, 2) : "-" + hexText(c - 1, 2);
            leading = lead;
        }
    }
    out += "|";
    const std::vector<std::string> paths = {"", "a\\b\\", "a\\\\b", "\\a", "\\", std::string(255, 'x'),
                                            std::string(256, 'x')};
    for (const auto& path : paths) {
        out += " " + (splitKeyPath(path, 1252, parts) ? std::to_string(parts.size()) : "-");
    }
    EXPECT_EQ("|932: 81-9F E0-FC|936: 81-FE|949: 81-FE|950: 81-FE|1252:| 0 2 - - - 1 -", out);
}

}  // namespace
