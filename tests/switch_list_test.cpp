#include <gtest/gtest.h>

#include "cli/switch_list.h"
#include "tests/support/machine.h"

using cli::SplitText;
using testing_support::TestMachine;

namespace {

using Parts = std::vector<std::string>;

struct SwitchListTest : ::testing::Test {
    TestMachine m;
    cli::SwitchList list(const std::string& arguments) {
        return cli::buildSwitchList("\"C:\\Program Files\\Kestrine\\kestrine.exe\" " + arguments, m.system);
    }
};

TEST_F(SwitchListTest, EveryPieceAfterTheProgramIsAnItem) {
    EXPECT_EQ((Parts{"on ", "Caps "}), list("/on /Caps ").items);
    EXPECT_EQ((Parts{"del2:A", "B"}), list("/del2:A/B").items);
    EXPECT_TRUE(cli::buildSwitchList("kestrine.exe on", m.system).items.empty());
    EXPECT_FALSE(list("/?").items.empty());
    // The program path ends at its closing quote, or else at the first blank: its own "/" split
    // nothing.
    EXPECT_TRUE(cli::buildSwitchList("\"C:/Program Files/kestrine.exe\" /?", m.system).help);
    EXPECT_EQ((Parts{"on", "caps"}), cli::buildSwitchList("C:/Tools/kestrine.exe\t/on/caps", m.system).items);
    EXPECT_TRUE(cli::buildSwitchList("C:/Tools/kestrine.exe/on", m.system).items.empty());
}

TEST_F(SwitchListTest, OnlyALoneHelpItemAsksForHelp) {
    for (const char* help : {"/?", "/ ? ", "/h", "/H", "/help", "/HeLp\t"}) EXPECT_TRUE(list(help).help) << help;
    for (const char* other : {"/? /on", "/hel", "/helpme", "/?x"}) EXPECT_FALSE(list(other).help) << other;
}

TEST_F(SwitchListTest, ALoneLoadItemReadsTheSwitchFileFromTheProgramFolder) {
    m.system.addFile("C:\\Program Files\\Kestrine\\setup.txt", "on\r\n/caps\r\n/add2:sample.ime,ctrl_1\r\n");
    EXPECT_EQ((Parts{"on", "caps", "add2:sample.ime,ctrl_1"}), list("/load:setup.txt").items);
    EXPECT_EQ((Parts{"on", "caps", "add2:sample.ime,ctrl_1"}), list("/LOAD: setup.txt ").items);
    // Lines are joined with nothing between them; a lone line feed stays in its line.
    m.system.addFile("C:\\Program Files\\Kestrine\\two.txt", "on\r\ncaps");
    EXPECT_EQ((Parts{"oncaps"}), list("/load:two.txt").items);
    m.system.addFile("C:\\Program Files\\Kestrine\\unix.txt", "/on\n/caps\n");
    EXPECT_EQ((Parts{"", "on\n", "caps\n"}), list("/load:unix.txt").items);
    // A file that cannot be read gives one empty item; a load inside a file is only an item.
    EXPECT_EQ((Parts{""}), list("/load:missing.txt").items);
    m.system.addFile("C:\\Program Files\\Kestrine\\nested.txt", "/load:setup.txt");
    EXPECT_EQ((Parts{"", "load:setup.txt"}), list("/load:nested.txt").items);
    // The load switch is answered only when it is the only item.
    EXPECT_EQ((Parts{"load:setup.txt", "on"}), list("/load:setup.txt/on").items);
}

// A file up to the limit is read whole, however many items it splits into (at once: splitting
// once took time that grew with the square of the items); an oversized one counts as unreadable.
TEST_F(SwitchListTest, ASwitchFileIsReadUpToItsSizeLimit) {
    m.system.addFile("C:\\Program Files\\Kestrine\\full.txt", std::string(cli::kMaxSwitchFileBytes, '/'));
    EXPECT_EQ(cli::kMaxSwitchFileBytes + 1, list("/load:full.txt").items.size());
    m.system.addFile("C:\\Program Files\\Kestrine\\big.txt", "/on" + std::string(cli::kMaxSwitchFileBytes, ' '));
    EXPECT_EQ((Parts{""}), list("/load:big.txt").items);
}

}  // namespace
