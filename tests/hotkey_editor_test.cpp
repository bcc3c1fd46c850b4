#include <gtest/gtest.h>

#include "hotkey/hotkey_editor.h"
#include "tests/support/model_fixture.h"

using hotkey::HotkeyEditor;

namespace {

std::string boxes(const HotkeyEditor& e) {
    std::string out;
    out += e.enableChecked ? "E" : "-";
    out += e.ctrl ? "C" : "-";
    out += e.alt ? "A" : "-";
    out += e.shift ? "S" : "-";
    out += e.left ? "L" : "-";
    out += e.right ? "R" : "-";
    return out + " key " + std::to_string(e.keyIndex);
}

// Sets the boxes from a pattern such as "EC-SLR" (Enable, Ctrl, Alt, Shift, Left, Right).
void setBoxes(HotkeyEditor& e, const std::string& s) {
    e.enableChecked = s[0] == 'E';
    e.ctrl = s[1] == 'C';
    e.alt = s[2] == 'A';
    e.shift = s[3] == 'S';
    e.left = s[4] == 'L';
    e.right = s[5] == 'R';
}

TEST(HotkeyEditor, SetUpReadsTheStoredTexts) {
    struct Case {
        const char *modifiers, *key;
        const char* start;  // boxes before, in the form "ECASLR key n"
        const char* expected;
    } cases[] = {
        {"0000C006", "00000020", "------ key 0", "EC-SLR key 11"},
        {"00004001", "0000007B", "------ key 0", "E-A--R key 23"},
        {"00008007", "0000007b", "------ key 0", "ECASL- key 23"},
        {"00008003", "00000031", "------ key 0", "ECA-L- key 2"},
        // An all-zero record changes neither modifier nor side boxes; its key is not in the
        // list, which shows "none" (not the last use's key), and "Enable hotkey" is checked.
        {"00000000", "00000000", "-C--L- key 5", "EC--L- key 0"},
        {"0000C006", "0000001B", "------ key 5", "EC-SLR key 0"},
        // An empty modifier text clears the boxes; an empty key text selects "none" and leaves
        // "Enable hotkey" alone.
        {"", "", "ECASLR key 5", "E----- key 0"},
        {"", "", "-CAS-R key 5", "------ key 0"},
        // Short texts are read only as far as they go.
        {"0000C0", "0000002", "-C--L- key 5", "EC--LR key 0"},
    };
    for (const auto& c : cases) {
        HotkeyEditor e;
        std::string s = c.start;
        setBoxes(e, s);
        e.keyIndex = std::stoi(s.substr(s.rfind(' ') + 1));
        e.setUp(c.modifiers, c.key);
        EXPECT_EQ(c.expected, boxes(e)) << c.modifiers << " " << c.key;
    }
}

}  // namespace
