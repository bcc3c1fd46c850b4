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

TEST(HotkeyEditor, EnableHotkeyGovernsTheOtherControls) {
    HotkeyEditor e;
    e.setUp("0000C006", "00000020");
    e.onShow();
    EXPECT_TRUE(e.controlsEnabled);
    EXPECT_EQ("EC-SLR key 11", boxes(e));
    e.clickEnable();  // off: everything cleared
    EXPECT_FALSE(e.controlsEnabled);
    EXPECT_EQ("------ key 0", boxes(e));
    e.clickEnable();  // on: both sides checked
    EXPECT_TRUE(e.controlsEnabled);
    EXPECT_EQ("E---LR key 0", boxes(e));
    e.enableChecked = false;
    e.ctrl = true;
    e.onShow();  // shown with the box unchecked
    EXPECT_EQ("------ key 0", boxes(e));
}

TEST(HotkeyEditor, OkComputesTheValueAndDisplayText) {
    struct Case {
        const char* boxes;
        int key;
        const char *value, *text;
    } cases[] = {
        {"EC-S-R", 16, "400674", "Right Ctrl+Shift+F5"},
        {"EC-SLR", 11, "C00620", "Ctrl+Shift+SPACE"},
        {"E-A-L-", 1, "800130", "Left Alt+0"},
        {"ECASLR", 55, "C007BF", "Ctrl+Alt+Shift+?"},
        {"E---LR", 11, "", ""},   // no modifier
        {"EC----", 11, "", ""},   // no side
        {"EC--LR", 0, "", ""},    // the none item
        {"-C--LR", 11, "", ""},   // "Enable hotkey" unchecked
    };
    testing_support::ScriptedPrompts prompts;
    hotkey::EditorContext context;
    context.sides = {"Left ", "Right "};
    for (const auto& c : cases) {
        HotkeyEditor e;
        setBoxes(e, c.boxes);
        e.keyIndex = c.key;
        EXPECT_TRUE(e.ok(context, prompts)) << c.boxes;
        EXPECT_EQ(c.value, e.value) << c.boxes << " key " << c.key;
        EXPECT_EQ(c.text, e.displayText) << c.boxes << " key " << c.key;
    }
    EXPECT_TRUE(prompts.shown.empty());

    // A stored key the list cannot show is kept by OK until the user chooses a key.
    HotkeyEditor e;
    e.setUp("0000C006", "0000001b");  // Esc
    EXPECT_TRUE(e.ok(context, prompts));
    EXPECT_EQ("C0061B", e.value);
    EXPECT_EQ("Ctrl+Shift", e.displayText);
    e.chooseKey(0);
    e.ok(context, prompts);
    EXPECT_EQ("", e.value);
}

TEST(HotkeyEditor, RefusesAHotkeyShownElsewhere) {
    testing_support::ScriptedPrompts prompts;
    hotkey::EditorContext context;
    context.sides = {"Left ", "Right "};
    context.rowHotkeyTexts = {"Ctrl+Shift+SPACE", "", "CTRL+SHIFT+1"};
    context.selectedRow = 0;
    context.toggles[1] = {"0000C002", "00000020"};
    context.duplicateMessage = "Duplicate hotkey!";
    context.caption = "Kestrine";
    auto press = [&](int modifierBits, int key) {
        HotkeyEditor e;
        e.enableChecked = e.left = e.right = true;
        e.ctrl = modifierBits & 2;
        e.shift = modifierBits & 4;
        e.keyIndex = key;
        return e.ok(context, prompts) ? e.value : "refused";
    };
    EXPECT_EQ("C00620", press(6, 11));    // the selected row's own hot key
    EXPECT_EQ("C00631", press(6, 2));     // mixed case differs from the command line's upper case
    EXPECT_EQ("refused", press(2, 11));   // Ctrl+SPACE is toggle slot 1
    context.selectedRow = 2;
    EXPECT_EQ("refused", press(6, 11));   // now another row's
    context.toggleChoiceCount = 1;        // the Japanese chooser looks at slot 0 only
    EXPECT_EQ("C00220", press(2, 11));
    context.toggleChoiceCount = 3;
    context.editingSlot = 1;              // editing that slot: no duplicate of itself
    EXPECT_EQ("C00220", press(2, 11));
    // The editor's own window owns the box, so the editor cannot be worked while it is shown.
    EXPECT_EQ("Kestrine: Duplicate hotkey! active\nKestrine: Duplicate hotkey! active\n", prompts.boxes());
}

}  // namespace
