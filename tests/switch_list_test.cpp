#include <gtest/gtest.h>

#include "cli/help_text.h"
#include "cli/switch_list.h"
#include "platform/codepage.h"
#include "tests/support/machine.h"

using cli::SplitText;
using testing_support::TestMachine;

namespace {

using Parts = std::vector<std::string>;

// The items' texts, a lost character marked by "!" at the front.
Parts texts(const cli::SwitchList& list) {
    Parts out;
    for (const auto& item : list.items) out.push_back((item.lostCharacters ? "!" : "") + item.text);
    return out;
}

struct SwitchListTest : ::testing::Test {
    TestMachine m;
    Parts items(const std::string& arguments) { return texts(list(arguments)); }
    cli::SwitchList list(const std::string& arguments) {
        return cli::buildSwitchList("\"C:\\Program Files\\Kestrine\\kestrine.exe\" " + arguments, m.system);
    }
};

TEST_F(SwitchListTest, EveryPieceAfterTheProgramIsAnItem) {
    EXPECT_EQ((Parts{"on ", "Caps "}), items("/on /Caps "));
    EXPECT_EQ((Parts{"del2:A", "B"}), items("/del2:A/B"));
    EXPECT_TRUE(cli::buildSwitchList("kestrine.exe on", m.system).items.empty());
    EXPECT_FALSE(list("/?").items.empty());
    // The program path ends at its closing quote, or else at the first blank: its own "/" split
    // nothing.
    EXPECT_TRUE(cli::buildSwitchList("\"C:/Program Files/kestrine.exe\" /?", m.system).help);
    EXPECT_EQ((Parts{"on", "caps"}), texts(cli::buildSwitchList("C:/Tools/kestrine.exe\t/on/caps", m.system)));
    EXPECT_TRUE(cli::buildSwitchList("C:/Tools/kestrine.exe/on", m.system).items.empty());
}

TEST_F(SwitchListTest, ALoneLoadItemReadsTheSwitchFileFromTheProgramFolder) {
    m.system.addFile("C:\\Program Files\\Kestrine\\setup.txt", "on\r\n/caps\r\n/add2:sample.ime,ctrl_1\r\n");
    EXPECT_EQ((Parts{"on", "caps", "add2:sample.ime,ctrl_1"}), items("/load:setup.txt"));
    EXPECT_EQ((Parts{"on", "caps", "add2:sample.ime,ctrl_1"}), items("/LOAD: setup.txt "));
    // Lines are joined with nothing between them; a lone line feed stays in its line.
    m.system.addFile("C:\\Program Files\\Kestrine\\two.txt", "on\r\ncaps");
    EXPECT_EQ((Parts{"oncaps"}), items("/load:two.txt"));
    m.system.addFile("C:\\Program Files\\Kestrine\\unix.txt", "/on\n/caps\n");
    EXPECT_EQ((Parts{"", "on\n", "caps\n"}), items("/load:unix.txt"));
    // A file that cannot be read gives one empty item; a load inside a file is only an item.
    EXPECT_TRUE(list("/load:missing.txt").loadFailed);
    EXPECT_EQ((Parts{""}), items("/load:missing.txt"));
    m.system.addFile("C:\\Program Files\\Kestrine\\nested.txt", "/load:setup.txt");
    EXPECT_EQ((Parts{"", "load:setup.txt"}), items("/load:nested.txt"));
    // The load switch is answered only when it is the only item.
    EXPECT_EQ((Parts{"load:setup.txt", "on"}), items("/load:setup.txt/on"));
}

// A file up to the limit is read whole, however many items it splits into (at once: splitting
// once took time that grew with the square of the items); an oversized one counts as unreadable.
TEST_F(SwitchListTest, ASwitchFileIsReadUpToItsSizeLimit) {
    m.system.addFile("C:\\Program Files\\Kestrine\\full.txt", std::string(cli::kMaxSwitchFileBytes, '/'));
    EXPECT_EQ(cli::kMaxSwitchFileBytes + 1, list("/load:full.txt").items.size());
    m.system.addFile("C:\\Program Files\\Kestrine\\big.txt", "/on" + std::string(cli::kMaxSwitchFileBytes, ' '));
    EXPECT_TRUE(list("/load:big.txt").loadFailed);
}

// The switches for the whole run leave the list wherever they stand, in a switch file too; a file
// is named by a full path, or in quotes, or by a name in the program's folder.
TEST_F(SwitchListTest, SwitchesForTheWholeRunLeaveTheList) {
    m.system.addFile("C:\\cfg\\setup.txt", "/on\r\n/WHATIF\r\n/log:C:\\logs\\k.log");
    cli::SwitchList l = list("/quiet /load:C:\\cfg\\setup.txt /save:\"my settings.txt\"");
    EXPECT_EQ((Parts{"", "on"}), texts(l));
    EXPECT_TRUE(l.options.quiet && l.options.whatif);
    EXPECT_EQ("C:\\logs\\k.log", l.options.logFile);
    EXPECT_EQ("C:\\Program Files\\Kestrine\\my settings.txt", l.options.saveFile);
    EXPECT_TRUE(list("/? /Quiet").help);
}

// Callers quote an argument that holds blanks; a line of a switch file that starts with ";" is
// a comment.
TEST_F(SwitchListTest, QuotesAroundAnItemAndCommentLinesGo) {
    EXPECT_EQ((Parts{"add2:x.ime,ctrl+shift_2 ", "on"}), items("\"/add2:x.ime,ctrl+shift_2\" /\"on\""));
    EXPECT_EQ((Parts{"install:\"My IME\",x.ime"}), items("/install:\"My IME\",x.ime"));
    m.system.addFile("C:\\Program Files\\Kestrine\\c.txt", "; the list\r\n/on\r\n  ; a note /caps\n\"/del4:E0010804\"\r\n");
    EXPECT_EQ((Parts{"", "on\n", "del4:E0010804"}), items("/load:c.txt"));
}

// Notepad saves UTF-8, with a byte-order mark or without, or UTF-16 LE: the items come out in the
// system's code page, and an item with a character the code page lacks is marked. The GBK bytes
// of "全拼" are valid UTF-8 too, of characters GBK lacks: that file is taken as it stands.
TEST_F(SwitchListTest, UnicodeSwitchFilesComeOutInTheSystemsCodePage) {
    std::string utf8 = "/del2:全拼/del3:\xF0\x9F\x98\x80.ime";
    std::string gbk = m.system.fromUtf8("全拼");
    for (const std::string& file : {"\xEF\xBB\xBF" + utf8, "\xFF\xFE" + platform::utf8ToUtf16le(utf8)}) {
        m.system.addFile("C:\\Program Files\\Kestrine\\u.txt", file);
        EXPECT_EQ((Parts{"", "del2:" + gbk, "!del3:?.ime"}), items("/load:u.txt"));
    }
    for (const std::string& file : {std::string("/del2:全拼"), "/del2:" + gbk}) {
        m.system.addFile("C:\\Program Files\\Kestrine\\u.txt", file);
        EXPECT_EQ((Parts{"", "del2:" + gbk}), items("/load:u.txt"));
    }
}

// The same holds for every line of the program's Chinese help texts in GBK and in Big5.
TEST(SwitchFileEncoding, ChineseLinesInGbkOrBig5AreTakenAsTheyStand) {
    for (auto language : {settings::UiLanguage::SimplifiedChinese, settings::UiLanguage::TraditionalChinese}) {
        for (const std::string& line : SplitText("\r", cli::helpText(language))) {
            bool unicode = true;
            cli::decodeSwitchFile(line, settings::codePageFor(language), unicode);
            EXPECT_FALSE(unicode) << platform::codePageToUtf8(line, settings::codePageFor(language));
        }
    }
    bool multibyte = true;
    EXPECT_TRUE(platform::isUtf8("/on", multibyte) && !multibyte);
    EXPECT_FALSE(platform::isUtf8("\xC3\x41", multibyte));
}

}  // namespace
