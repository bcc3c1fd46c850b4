#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "cli/switch_processor.h"
#include "tests/support/machines.h"
#include "ui/texts.h"

using namespace testing_support;

namespace {

// The XP user with English texts, and a switch processor over the model.
struct Switches : ::testing::Test {
    ModelFixture f;
    std::unique_ptr<cli::Installer> installer;
    std::unique_ptr<cli::SwitchProcessor> processor;

    void SetUp() override {
        seedXpChinese(f);
        f.m.system.lcid = 0x0409;  // English texts, on the Chinese machine
        f.m.addIme("SAMPLE.IME", "Sample");
        f.start(true);
        auto texts = ui::windowTexts(settings::UiLanguage::English);
        installer = std::make_unique<cli::Installer>(
            *f.model, f.registry, f.m.system, f.prompts,
            cli::DeleteQuestionTexts{texts.warningCaption, texts.deleteQuestionPrefix, texts.deleteQuestionSuffix});
        processor = std::make_unique<cli::SwitchProcessor>(*f.model, *installer, f.m.system);
    }
    void run(std::initializer_list<const char*> items) {
        for (const char* item : items) processor->runSwitch(item);  // NOLINT
    }
    settings::SettingsSnapshot& snap() { return f.model->snapshot; }
    std::string named(const std::string& text) { return f.m.system.fromUtf8(text); }
};

// An empty name, file or KLID (a batch file's unset variable) matches nothing, not the plain
// layouts without "IME File" nor a row or entry whose name is empty.
TEST_F(Switches, EmptyArgumentsMatchNothing) {
    snap().rows[2].shownName.clear();
    snap().addable[1].itemText.clear();  // E0030804, an input method
    std::string before = f.dump() + f.written();
    run({"del1:0", "del1:4", "del1:-1", "del2:", "del3:", "del4:", "move1:,1", "move2:,1", "move3:,9", "add1:", "add2:,", "add2:,ctrl_1", "add3:,",
         "uninstall1:", "uninstall2:", "uninstall3:"});
    EXPECT_EQ(before, f.dump() + f.written());
}

TEST_F(Switches, SettingHotkeysOfRowsAndToggles) {
    // A row that has a hot key gets every record of its KLID changed.
    run({"hotkey:3,Ctrl+Shift_8_Left", "hotkey:1,alt_9", "hotkey:b,alt_~", "hotkey:A,ctrl_7"});
    EXPECT_TRUE(f.shows("| hotkey ALT+9\n"));
    EXPECT_TRUE(f.shows("| hotkey Left CTRL+SHIFT+8\n"));
    EXPECT_TRUE(f.shows("record 0000C001 00000039 -> E0010804\nrecord 00008003 00000030 -> 00000409\n"
                        "record 00008006 00000038 -> E00E0804\ntoggle 0000C002 00000037\ntoggle 0000C001 000000BC\n"));
    std::string before = f.dump();
    // In use already, no such row or slot, or no key: nothing changes.
    run({"hotkey:2,alt_9", "hotkey:d,alt_1", "hotkey:1,ctrl", "hotkey:9,alt_1", "hotkey:a", "hotkey:,alt_1",
         "hotkey:1,alt+ctrl_1", "hotkey:a,ctrl_esc", "hotkey:2,ctrl_1_both"});
    EXPECT_EQ(before, f.dump());
    run({"move3:e00e0804,1"});
    EXPECT_EQ("E00E0804 E0010804 00000409", rowOrder(*f.model));
}

TEST_F(Switches, InstallingFromTheSystemFolder) {
    run({"install:sample.ime"});
    EXPECT_EQ("Kestrine: E0020804 foreground\n", f.prompts.boxes());
    EXPECT_EQ("Sample", f.model->catalogue().value("E0020804", "Layout Text"));
    EXPECT_EQ("Sample", f.model->catalogue().value("E0020804", "Layout Display Name"));
    EXPECT_EQ("C:\\WINDOWS\\system32\\sample.ime", f.model->window.installFile);
    EXPECT_EQ("E0010804 00000409 E00E0804 E0020804", rowOrder(*f.model));

    run({"install:My IME,winpy.ime,ctrl_1"});
    EXPECT_EQ("E0040804", f.prompts.shown[1].text);
    EXPECT_EQ("My IME", f.model->catalogue().value("E0040804", "Layout Display Name"));
    EXPECT_EQ("CTRL+1", snap().rows.back().hotkeyText);
    EXPECT_EQ("E0040804", snap().records.back().target);

    // Two fields: a name and a file, or a file and a hot key.
    run({"install:Nm,sample.ime"});
    EXPECT_EQ("Nm", f.model->window.installName);
    run({"install:wingb.ime,ctrl_2"});
    EXPECT_EQ("C:\\WINDOWS\\system32\\wingb.ime", f.model->window.installFile);
    EXPECT_EQ("CTRL+2", snap().rows.back().hotkeyText);
    // Four fields after normalising: the edits keep what they held.
    run({"install:a.ime,b.ime"});
    EXPECT_EQ("C:\\WINDOWS\\system32\\wingb.ime", f.model->window.installFile);
    EXPECT_EQ(5u, f.prompts.shown.size());
}

// From the command line without a question; from the window after one, answered OK.
TEST_F(Switches, UninstallingCatalogueEntries) {
    auto entries = [this] {
        std::string out;
        for (const char* klid : {"00000407", "00000411", "E0010404", "E0010804", "E0030804", "E00E0804"}) {
            out += f.model->catalogue().exists(klid) ? std::string(" ") + klid : "";
        }
        return out;
    };
    run({"uninstall1:German", "uninstall3:00000411"});  // plain layouts: refused
    processor->runSwitch("uninstall1:" + named("注音输入法"));
    run({"uninstall3:e00e0804"});  // in the list: refused
    EXPECT_EQ(" 00000407 00000411 E0010804 E0030804 E00E0804", entries());
    run({"uninstall3:e0030804"});
    EXPECT_EQ(" 00000407 00000411 E0010804 E00E0804", entries());
    EXPECT_TRUE(f.prompts.shown.empty());
    run({"del4:E00E0804"});  // back into the add box
    auto& w = f.model->window;
    w.addSelection = static_cast<int>(snap().addable.size()) - 1;
    ASSERT_EQ("E00E0804", snap().addable.back().klid);
    // No entry at the selection or the index: nothing is asked or deleted.
    w.addSelection = static_cast<int>(snap().addable.size());
    installer->deleteSelectedEntry();
    installer->RemoveCatalogueEntry(snap().addable.size());
    EXPECT_TRUE(f.prompts.shown.empty());
    f.prompts.answers = {false, true};
    w.addSelection = static_cast<int>(snap().addable.size()) - 1;
    installer->deleteSelectedEntry();
    EXPECT_EQ(" 00000407 00000411 E0010804 E00E0804", entries()) << "Cancel deletes nothing";
    w.addSelection = static_cast<int>(snap().addable.size()) - 1;
    installer->deleteSelectedEntry();
    EXPECT_EQ(" 00000407 00000411 E0010804", entries());
    EXPECT_NE("E00E0804", snap().addable.back().klid) << "the entry leaves the add box";
    std::string question = "Warning!: Do you want to delete E00E0804:\"" + named("微软拼音 3.0") +
                           " (PINTLGNT.IME)\" ? okcancel warning active\n";
    EXPECT_EQ(question + question, f.prompts.boxes());
}

}  // namespace

namespace {

// Every item says what it did: done, already so, or why it did nothing.
TEST_F(Switches, EachItemSaysWhatItDid) {
    f.m.load("REGEDIT4\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\E0050804]\n"
             "\"IME File\"=\"C:\\\\WINDOWS\\\\system32\\\\SAMPLE.IME\"\n\"Layout Text\"=\"Sample\"\n");
    f.model->load();
    const std::pair<const char*, const char*> cases[] = {
        {"on", "indicator on (already)"},
        {"off", "indicator off"},
        {"ctfmon", "indicator on, ctfmon.exe"},
        {"internat", "indicator on, internat.exe"},
        {"shift", "Caps Lock released by Shift (already)"},
        {"caps", "Caps Lock released by Caps Lock"},
        {"status:1", "status window shown (already)"},
        {"status:x", "not understood: see kestrine.exe /?"},
        {"switch:3b", "language switch on (Alt+Shift), layout switch on (Ctrl+Shift) (already)"},
        {"switch:9", "not understood: see kestrine.exe /?"},
        {"switch:0a", "language switch off, layout switch off"},
        {"del1:9", "no such row"},
        {"del4:00000407", "not in the list (already)"},
        {"del4:12345678", "matches no row of the list and no catalogue entry"},
        {"del4:e00e0804", "removed row 3 (E00E0804)"},
        {"add3:00000409", "in the list (already)"},
        {"add3:E0010404", "added row 3 (E0010404)"},
        {"add3:00000407,ctrl_9", "added row 4 (00000407), hot key CTRL+9"},
        // An "IME File" stored as a path is found by its file name.
        {"add2:sample.ime,alt_8_left", "added row 5 (E0050804), hot key Left ALT+8"},
        {"add2:nosuch.ime", "matches no catalogue entry that can be added"},
        {"add9:x", "not a switch"},
        {"add3:00000411,ctrl_q_both", "added row 6 (00000411), but the hot key \"ctrl_q_both\" is not understood"},
        {"move3:e0050804,1", "moved row 5 (E0050804) to row 1"},
        {"move3:E0050804,0", "row 1 (E0050804) stays at row 1 (already)"},
        {"move1:x", "not understood: see kestrine.exe /?"},
        {"move2:nosuch.ime,1", "matches no row of the list"},
        {"hotkey:2,ctrl_9", "the hot key is in use already"},
        {"hotkey:1,alt_8_left", "row 1 hot key Left ALT+8 (already)"},
        {"hotkey:c,ctrl_f2", "toggle c hot key CTRL+F2"},
        {"hotkey:c,ctrl_f2", "toggle c hot key CTRL+F2 (already)"},
        {"hotkey:b,alt_f2", "toggle b hot key ALT+F2"},
        {"hotkey:9,ctrl_3", "no such row"},
        {"hotkey:d,ctrl_3", "not understood: see kestrine.exe /?"},
        {"hotkey:1,ctrl", "the hot key \"ctrl\" is not understood"},
        {"uninstall3:00000407", "plain keyboard layouts stay in the catalogue"},
        {"uninstall3:E0050804", "in the list: take it out of the list first"},
        {"uninstall2:wingb.ime", "removed catalogue entry E0030804"},
        {"uninstall1:nothing", "matches no catalogue entry"},
        {"frobnicate", "not a switch"},
        {"clear", "removed all 6 rows"},
        {"clear", "the list is empty (already)"},
    };
    std::vector<cli::SwitchItem> items = {{" "}};
    std::string expected;
    for (const auto& [item, line] : cases) {
        items.push_back({item});
        expected += std::string("/") + item + ": " + line + "\r\n";
    }
    items.push_back({"del2:??", true});
    expected += "/del2:??: holds characters that code page 936 lacks\r\n";
    cli::Report report;
    processor->ProcessSwitches(items, report, nullptr);
    EXPECT_EQ(expected, report.text());
    EXPECT_EQ(cli::kItemDidNothing, report.status());
}

}  // namespace
