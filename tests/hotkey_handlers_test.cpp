#include <gtest/gtest.h>

#include <functional>

#include "hotkey/hotkey_handlers.h"
#include "tests/support/machines.h"

using namespace testing_support;

namespace {

// Plays the user's part in the editor: `script` sets the controls as the user would and
// returns false to cancel; then OK is pressed until the editor accepts.
class ScriptedSession : public hotkey::EditorSession {
public:
    ScriptedSession(settings::UserPrompts& prompts) : prompts_(prompts) {}
    std::function<bool(hotkey::HotkeyEditor&)> script;
    std::string shownLabel;
    bool showModal(hotkey::HotkeyEditor& editor, const hotkey::EditorContext& context) override {
        editor.onShow();
        shownLabel = editor.targetLabel;
        if (!script || !script(editor)) return false;
        return editor.ok(context, prompts_);
    }

private:
    settings::UserPrompts& prompts_;
};

struct Handlers : ::testing::Test {
    ModelFixture f;
    hotkey::HotkeyEditor editor;
    std::unique_ptr<ScriptedSession> session;
    std::unique_ptr<hotkey::HotkeyHandlers> handlers;

    void SetUp() override {
        seedXpChinese(f);  // the toggle slots of the Simplified Chinese locale
        f.start();
        session = std::make_unique<ScriptedSession>(f.prompts);
        handlers = std::make_unique<hotkey::HotkeyHandlers>(
            *f.model, editor, *session, f.prompts,
            hotkey::HandlerTexts{{"Ime/NonIme Toggle", "Shape Toggle", "Symbol Toggle"}, "Duplicate hotkey!", "Kestrine"});
    }
    settings::SettingsSnapshot& snap() { return f.model->snapshot; }
    // Presses Ctrl and Shift with both sides and the key of table row `row`.
    static std::function<bool(hotkey::HotkeyEditor&)> ctrlShift(int row) {
        return [row](hotkey::HotkeyEditor& e) {
            if (!e.enableChecked) e.clickEnable();
            e.ctrl = e.shift = true;
            e.alt = false;
            e.keyIndex = row + 1;
            return true;
        };
    }
};

TEST_F(Handlers, AnEntryGainsChangesAndLosesItsHotkey) {
    f.model->selectRow(2);  // E00E0804, no hot key
    session->script = ctrlShift(3);
    handlers->editEntryHotkey();
    EXPECT_EQ("Ctrl+Shift+3", snap().rows[2].hotkeyText);
    EXPECT_EQ("E00E0804", snap().records.back().target);
    EXPECT_EQ("0000C006", snap().records.back().modifierText);
    EXPECT_EQ("00000033", snap().records.back().keyText);
    EXPECT_EQ(snap().rows[2].shownName, session->shownLabel);
    EXPECT_EQ("", editor.value);  // cleared after use

    session->script = ctrlShift(4);
    handlers->editEntryHotkey();
    EXPECT_EQ("Ctrl+Shift+4", snap().rows[2].hotkeyText);
    EXPECT_EQ(3u, snap().records.size());
    EXPECT_EQ("00000034", snap().records.back().keyText);

    // "Enable hotkey" unchecked: the hot key goes.
    session->script = [](hotkey::HotkeyEditor& e) {
        e.clickEnable();
        return true;
    };
    handlers->editEntryHotkey();
    EXPECT_EQ("", snap().rows[2].hotkeyText);
    EXPECT_EQ(2u, snap().records.size());
}

TEST_F(Handlers, NoModifierEmptiesAnEntrysHotkeyAndCancelChangesNothing) {
    f.model->selectRow(0);  // Ctrl+Shift+1
    session->script = [](hotkey::HotkeyEditor&) { return false; };
    handlers->editEntryHotkey();
    EXPECT_EQ("Ctrl+Shift+1", snap().rows[0].hotkeyText);
    session->script = [](hotkey::HotkeyEditor& e) {
        e.ctrl = e.alt = e.shift = false;
        return true;
    };
    handlers->editEntryHotkey();
    EXPECT_EQ("", snap().rows[0].hotkeyText);
    EXPECT_EQ(1u, snap().records.size());
}

TEST_F(Handlers, TheEditorRefusesAnotherRowsHotkey) {
    f.model->selectRow(2);
    int presses = 0;
    session->script = [&presses](hotkey::HotkeyEditor& e) {
        ++presses;
        return ctrlShift(1)(e);  // Ctrl+Shift+1 belongs to row 0
    };
    handlers->editEntryHotkey();
    EXPECT_EQ(1, presses);
    EXPECT_EQ("", snap().rows[2].hotkeyText);
    ASSERT_EQ(1u, f.prompts.shown.size());
    EXPECT_EQ("Duplicate hotkey!", f.prompts.shown[0].text);
}

TEST_F(Handlers, NoSelectedRowMeansNoEditor) {
    f.model->selectRow(-1);
    bool shown = false;
    session->script = [&shown](hotkey::HotkeyEditor&) { return shown = true; };
    handlers->editEntryHotkey();
    EXPECT_FALSE(shown);
}

TEST_F(Handlers, ToggleSlotsAreEditedThroughTheChooser) {
    handlers->toggleSelectionChanged(1);
    EXPECT_EQ("Shift+SPACE", f.model->window.toggleButtonCaption);
    EXPECT_EQ("Shape Toggle: Shift+SPACE", f.model->window.status);

    // Confirming the slot's own hot key is no duplicate.
    session->script = [](hotkey::HotkeyEditor&) { return true; };
    handlers->editToggleHotkey();
    EXPECT_EQ("0000C004", snap().toggles[1].modifierText);
    EXPECT_TRUE(f.prompts.shown.empty());

    // The hot key of any list entry, or of another slot, is refused.
    session->script = ctrlShift(1);
    handlers->editToggleHotkey();
    EXPECT_EQ("0000C004", snap().toggles[1].modifierText);
    ASSERT_EQ(1u, f.prompts.shown.size());
    EXPECT_EQ(settings::MessageBoxRequest::Owner::ActiveWindow, f.prompts.shown[0].owner);

    session->script = ctrlShift(5);
    handlers->editToggleHotkey();
    EXPECT_EQ("0000C006", snap().toggles[1].modifierText);
    EXPECT_EQ("00000035", snap().toggles[1].keyText);
    EXPECT_EQ("Ctrl+Shift+5", f.model->window.toggleButtonCaption);

    // Unchecking "Enable hotkey" empties the slot; emptying only the modifiers does not.
    session->script = [](hotkey::HotkeyEditor& e) {
        e.ctrl = e.shift = false;
        return true;
    };
    handlers->editToggleHotkey();
    EXPECT_EQ("00000035", snap().toggles[1].keyText);
    session->script = [](hotkey::HotkeyEditor& e) {
        e.clickEnable();
        return true;
    };
    handlers->editToggleHotkey();
    EXPECT_TRUE(snap().toggles[1].empty());
    EXPECT_EQ("", f.model->window.toggleButtonCaption);
    handlers->toggleHover();
    EXPECT_EQ("Shape Toggle: ", f.model->window.status);
}

TEST_F(Handlers, AnEmptySlotOpensWithEnableHotkeyCleared) {
    snap().toggles[2] = {};
    editor.enableChecked = true;
    handlers->toggleSelectionChanged(2);
    bool enabledOnOpen = true;
    session->script = [&enabledOnOpen](hotkey::HotkeyEditor& e) {
        enabledOnOpen = e.enableChecked;
        return false;
    };
    handlers->editToggleHotkey();
    EXPECT_FALSE(enabledOnOpen);
}

TEST(DoubleClick, TheNameColumnOpensThePropertiesAndTheRestTheEditor) {
    EXPECT_TRUE(hotkey::doubleClickOpensProperties(0, 154));
    EXPECT_TRUE(hotkey::doubleClickOpensProperties(153, 154));
    EXPECT_FALSE(hotkey::doubleClickOpensProperties(154, 154));
    EXPECT_FALSE(hotkey::doubleClickOpensProperties(-1, 154));
}

}  // namespace
