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
        for (const char* item : items) processor->runSwitch(item);
    }
    settings::SettingsSnapshot& snap() { return f.model->snapshot; }
    std::string order() {
        std::string out;
        for (const auto& r : snap().rows) out += (out.empty() ? "" : " ") + r.klid;
        return out;
    }
    std::string named(const std::string& text) { return f.m.system.fromUtf8(text); }
};

TEST_F(Switches, NamesIgnoreCaseAndBlanksButMustMatchWhole) {
    snap().indicatorSwitch = false;
    run({"ON"});
    EXPECT_TRUE(snap().indicatorSwitch);
    run({"off \r\n"});
    EXPECT_FALSE(snap().indicatorSwitch);
    run({"  On"});
    EXPECT_TRUE(snap().indicatorSwitch);
    snap().indicatorSwitch = false;
    EXPECT_FALSE(processor->runSwitch("online"));
    EXPECT_FALSE(processor->runSwitch("o n"));
    EXPECT_FALSE(snap().indicatorSwitch);
}

TEST_F(Switches, StyleCapsLockAndStatus) {
    run({"internat"});
    EXPECT_TRUE(snap().indicatorOption);
    EXPECT_FALSE(snap().textServicesOption);
    EXPECT_FALSE(f.model->controlStates().layoutSwitch);
    EXPECT_FALSE(f.model->window.layoutKeyEnabled);
    run({"off", "ctfmon"});
    EXPECT_FALSE(snap().indicatorOption);
    EXPECT_TRUE(snap().textServicesOption);
    EXPECT_TRUE(snap().indicatorSwitch);
    EXPECT_TRUE(f.model->window.layoutKeyEnabled);
    run({"caps"});
    EXPECT_EQ(0, snap().capsLockMode);
    run({"SHIFT"});
    EXPECT_EQ(1, snap().capsLockMode);
    run({"status:10"});
    EXPECT_FALSE(snap().showStatus);
    run({"status:1"});
    EXPECT_TRUE(snap().showStatus);
    run({"status:x", "status:"});
    EXPECT_TRUE(snap().showStatus);
}

TEST_F(Switches, SwitchKeysTakeTheirLetterAndDigit) {
    struct Case {
        const char* item;
        bool language, layout;
        int languageKey, layoutKey;
    } cases[] = {
        {"switch:a", false, false, 0, 1}, {"switch:3", true, true, 1, 0},  {"switch:1B", true, false, 1, 0},
        {"switch:2a", false, true, 0, 1}, {"switch:9a", true, true, 0, 1}, {"switch:", false, false, 1, 0},
    };
    for (const auto& c : cases) {
        snap().languageSwitch = snap().layoutSwitch = true;
        snap().languageKey = 1;
        snap().layoutKey = 0;
        run({c.item});
        EXPECT_EQ(c.language, snap().languageSwitch) << c.item;
        EXPECT_EQ(c.layout, snap().layoutSwitch) << c.item;
        EXPECT_EQ(c.languageKey, snap().languageKey) << c.item;
        EXPECT_EQ(c.layoutKey, snap().layoutKey) << c.item;
    }
}

TEST_F(Switches, DeletingRowsByNumberNameFileAndKlid) {
    run({"del1:0", "del1:", "del1: 1", "del1:4", "del1:-1"});
    EXPECT_EQ("E0010804 00000409 E00E0804", order());
    std::string us = "del2:" + named("美国英语");
    processor->runSwitch("del2:" + named("美國英語"));
    EXPECT_EQ("E0010804 00000409 E00E0804", order());
    processor->runSwitch(us);
    EXPECT_EQ("E0010804 E00E0804", order());
    run({"del3:pintlgnt.IME"});
    EXPECT_EQ("E0010804", order());
    run({"del4:e0010804", "del1:1"});
    EXPECT_EQ("", order());
}

// An empty name, file or KLID (a batch file's unset variable) matches nothing, not the plain
// layouts without "IME File" nor a row or entry whose name is empty.
TEST_F(Switches, EmptyArgumentsMatchNothing) {
    snap().rows[2].shownName.clear();
    snap().addable[1].itemText.clear();  // E0030804, an input method
    std::string before = f.dump() + f.written();
    run({"del2:", "del3:", "del4:", "move1:,1", "move2:,1", "move3:,9", "add1:", "add2:,", "add2:,ctrl_1", "add3:,",
         "uninstall1:", "uninstall2:", "uninstall3:"});
    EXPECT_EQ(before, f.dump() + f.written());
}

// A row taken out of the list goes into the add box under the name it showed.
TEST_F(Switches, ARowTakenOutIsFoundByItsName) {
    run({"del1:3"});
    processor->runSwitch("add1:" + named("微软拼音 3.0"));
    EXPECT_EQ("E0010804 00000409 E00E0804", order());
}

TEST_F(Switches, DeleteOneTwiceRemovesTheFirstTwoRows) {
    run({"del1:1", "del1:1"});
    EXPECT_EQ("E00E0804", order());
}

TEST_F(Switches, MovingARowToAPosition) {
    std::string us = named("美国英语");
    processor->runSwitch("move1:" + us + ",99");
    EXPECT_EQ("E0010804 E00E0804 00000409", order());
    processor->runSwitch("move1:" + us + ",0");
    EXPECT_EQ("00000409 E0010804 E00E0804", order());
    run({"move2:PINTLGNT.IME,2"});
    EXPECT_EQ("00000409 E00E0804 E0010804", order());
    run({"move3:e0010804, 2"});
    EXPECT_EQ("E0010804 00000409 E00E0804", order());
    run({"move3:E00E0804", "move3:E00E0804,1,2", "move2:nothing.ime,1", "move3:E00E0804,-2147483648"});
    EXPECT_EQ("E00E0804 E0010804 00000409", order());
}

TEST_F(Switches, AddingEntriesWithTheirHotkeys) {
    run({"add2:sample.ime,ctrl+shift_1_left"});
    // SAMPLE.IME has no catalogue entry: nothing is added.
    EXPECT_EQ("E0010804 00000409 E00E0804", order());
    run({"add2:wingb.ime,ctrl+shift_2_left"});
    EXPECT_EQ("E0010804 00000409 E00E0804 E0030804", order());
    EXPECT_EQ("Left CTRL+SHIFT+2", snap().rows.back().hotkeyText);
    EXPECT_EQ("00008006", snap().records.back().modifierText);
    EXPECT_EQ("00000032", snap().records.back().keyText);
    EXPECT_EQ("E0030804", snap().records.back().target);
    // A hot key whose words are not all recognised is not stored; the entry is added all the same.
    run({"add3:00000404,alt_~", "add1:German,shift+ctrl_A"});
    EXPECT_EQ("E0010804 00000409 E00E0804 E0030804 00000404 00000407", order());
    EXPECT_EQ("ALT+~", snap().rows[4].hotkeyText);
    EXPECT_EQ("000000BC", snap().records.back().keyText);
    EXPECT_EQ("", snap().rows[5].hotkeyText);
    // An entry already in the list is not found again, and gets no hot key.
    size_t records = snap().records.size();
    run({"add1:German,ctrl_1", "add4:00000411", "add:00000411"});
    EXPECT_EQ(6u, snap().rows.size());
    EXPECT_EQ(records, snap().records.size());
}

TEST_F(Switches, SettingHotkeysOfRowsAndToggles) {
    run({"hotkey:3,Ctrl+Shift_8_Left"});
    EXPECT_EQ("Left CTRL+SHIFT+8", snap().rows[2].hotkeyText);
    EXPECT_EQ("00008006", snap().records.back().modifierText);
    EXPECT_EQ("00000038", snap().records.back().keyText);
    EXPECT_EQ("E00E0804", snap().records.back().target);
    // A row that has a hot key gets every record of its KLID changed.
    run({"hotkey:1,alt_9"});
    EXPECT_EQ("ALT+9", snap().rows[0].hotkeyText);
    EXPECT_EQ("0000C001", snap().records[0].modifierText);
    EXPECT_EQ("00000039", snap().records[0].keyText);
    run({"hotkey:b,alt_~", "hotkey:A,ctrl_7"});
    EXPECT_EQ("0000C001/000000BC", snap().toggles[1].modifierText + "/" + snap().toggles[1].keyText);
    EXPECT_EQ("0000C002/00000037", snap().toggles[0].modifierText + "/" + snap().toggles[0].keyText);
    std::string before = f.dump();
    // In use already, no such row or slot, or no key: nothing changes.
    run({"hotkey:2,alt_9", "hotkey:d,alt_1", "hotkey:1,ctrl", "hotkey:9,alt_1", "hotkey:a", "hotkey:,alt_1",
         "hotkey:1,alt+ctrl_1", "hotkey:a,ctrl_esc", "hotkey:2,ctrl_1_both"});
    EXPECT_EQ(before, f.dump());
}

TEST_F(Switches, InstallingFromTheSystemFolder) {
    run({"install:sample.ime"});
    ASSERT_EQ(1u, f.prompts.shown.size());
    EXPECT_EQ("E0020804", f.prompts.shown[0].text);
    EXPECT_EQ("Kestrine", f.prompts.shown[0].caption);
    EXPECT_EQ("Sample", f.model->catalogue().value("E0020804", "Layout Text"));
    EXPECT_EQ("Sample", f.model->catalogue().value("E0020804", "Layout Display Name"));
    EXPECT_EQ("C:\\WINDOWS\\system32\\sample.ime", f.model->window.installFile);
    EXPECT_EQ("E0010804 00000409 E00E0804 E0020804", order());

    run({"install:My IME,winpy.ime,ctrl_1"});
    EXPECT_EQ("E0040804", f.prompts.shown[1].text);
    EXPECT_EQ("My IME", f.model->catalogue().value("E0040804", "Layout Display Name"));
    EXPECT_EQ("CTRL+1", snap().rows.back().hotkeyText);
    EXPECT_EQ("E0040804", snap().records.back().target);

    // Two fields: a name and a file, or a file and a hot key.
    run({"install:Named,sample.ime"});
    EXPECT_EQ("Named", f.model->window.installName);
    run({"install:wingb.ime,ctrl_2"});
    EXPECT_EQ("C:\\WINDOWS\\system32\\wingb.ime", f.model->window.installFile);
    EXPECT_EQ("CTRL+2", snap().rows.back().hotkeyText);
    // Four fields after normalising: the edits keep what they held.
    run({"install:a.ime,b.ime"});
    EXPECT_EQ("C:\\WINDOWS\\system32\\wingb.ime", f.model->window.installFile);
    EXPECT_EQ(5u, f.prompts.shown.size());
}

TEST_F(Switches, AFailedInstallShowsZerosAndGivesNoHotkey) {
    f.m.system.imeInstallFails = true;
    size_t records = snap().records.size();
    run({"install:x.ime,ctrl_5"});
    ASSERT_EQ(1u, f.prompts.shown.size());
    EXPECT_EQ("00000000", f.prompts.shown[0].text);
    EXPECT_EQ(records, snap().records.size());
}

// Whatever moves the add box's selection, the registry Delete button follows the entry now
// selected: the first item, the plain layout 00000804, which must not be removable.
TEST_F(Switches, TheRegistryDeleteButtonFollowsEveryPathThatMovesTheAddBoxSelection) {
    auto& w = f.model->window;
    const std::function<void()> paths[] = {
        [this] { installer->deleteSelectedEntry(); },
        [this] { f.model->addSelected(); },
        [this] { f.model->apply(); },
        [this] { run({"install:sample.ime"}); },
        [&] { processor->runSwitch("uninstall3:" + snap().addable.at(static_cast<size_t>(w.addSelection)).klid); },
    };
    for (size_t i = 0; i < std::size(paths); ++i) {
        auto& addable = snap().addable;
        auto ime = [&] {
            return std::find_if(addable.begin(), addable.end(), [](const auto& a) { return settings::isImeKlid(a.klid); });
        };
        if (ime() == addable.end()) run({"del4:E00E0804"});  // an input method back into the add box
        w.addSelection = static_cast<int>(ime() - addable.begin());
        ASSERT_TRUE(f.model->controlStates().registryDelete) << "path " << i;
        paths[i]();
        ASSERT_EQ("00000804", addable.at(static_cast<size_t>(w.addSelection)).klid) << "path " << i;
        EXPECT_FALSE(f.model->controlStates().registryDelete) << "path " << i;
        EXPECT_EQ(addable[0].itemText, f.model->controlStates().selectedEntry) << "path " << i;
    }
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
    ASSERT_EQ(2u, f.prompts.shown.size());
    const auto& question = f.prompts.shown[1];
    EXPECT_TRUE(question.okCancel && question.owner == settings::MessageBoxRequest::Owner::ActiveWindow &&
                question.icon == settings::MessageBoxRequest::Icon::Exclamation);
}

}  // namespace
