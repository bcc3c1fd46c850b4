#include <gtest/gtest.h>

#include <functional>

#include "hotkey/hotkey_handlers.h"
#include "tests/support/machines.h"
#include "tests/support/scripted_session.h"

using namespace testing_support;

namespace {

struct Handlers : ::testing::Test {
    ModelFixture f;
    hotkey::HotkeyEditor editor;
    ScriptedSession session{f.prompts};
    std::unique_ptr<hotkey::HotkeyHandlers> handlers;

    void SetUp() override {
        seedXpChinese(f);  // the toggle slots of the Simplified Chinese locale
        f.start();
        handlers = std::make_unique<hotkey::HotkeyHandlers>(
            *f.model, editor, session, f.prompts,
            hotkey::HandlerTexts{{"Ime/NonIme Toggle", "Shape Toggle", "Symbol Toggle"}, "Duplicate hotkey!", "Kestrine"});
    }
    settings::SettingsSnapshot& snap() { return f.model->snapshot; }
    // Ticks Enable when needed and sets the modifiers (C, A, S) and the key of table row `row`.
    static std::function<bool(hotkey::HotkeyEditor&)> press(const std::string& mods, int row) {
        return [=](hotkey::HotkeyEditor& e) {
            if (!e.enableChecked) e.clickEnable();
            e.ctrl = mods.find('C') != std::string::npos;
            e.alt = mods.find('A') != std::string::npos;
            e.shift = mods.find('S') != std::string::npos;
            e.keyIndex = row + 1;
            return true;
        };
    }
    // The rows' hot keys and every record, for comparing whole.
    std::string hotkeys() {
        std::string out;
        for (const auto& r : snap().rows) out += "[" + r.hotkeyText + "]";
        for (const auto& h : snap().records) out += " " + h.target + ":" + h.modifierText + "/" + h.keyText;
        return out;
    }
};

TEST_F(Handlers, AnEntryGainsChangesAndLosesItsHotkey) {
    const std::string before = hotkeys();
    const std::string us = "[" + snap().rows[1].hotkeyText + "]", usRecord = " 00000409:00008003/00000030";
    f.model->selectRow(0);  // Ctrl+Shift+1
    session.script = [](hotkey::HotkeyEditor&) { return false; };
    handlers->editEntryHotkey();
    EXPECT_EQ(before, hotkeys()) << "Cancel changes nothing";
    // An entry without a hot key opens with "Enable hotkey" cleared, whatever the last use left.
    f.model->selectRow(2);  // E00E0804, no hot key
    editor.enableChecked = true;
    session.script = press("CS", 3);
    handlers->editEntryHotkey();
    EXPECT_EQ(snap().rows[2].shownName + " disabled", session.opened);
    EXPECT_EQ("", editor.value) << "cleared after use";
    EXPECT_EQ("[Ctrl+Shift+1]" + us + "[Ctrl+Shift+3] E0010804:0000C006/00000031" + usRecord + " E00E0804:0000C006/00000033",
              hotkeys());
    session.script = press("A", 4);  // both the modifiers and the key change
    handlers->editEntryHotkey();
    EXPECT_EQ("[Ctrl+Shift+1]" + us + "[Alt+4] E0010804:0000C006/00000031" + usRecord + " E00E0804:0000C001/00000034",
              hotkeys());
    session.script = [](hotkey::HotkeyEditor& e) { return e.clickEnable(), true; };  // Enable cleared
    handlers->editEntryHotkey();
    EXPECT_EQ(before, hotkeys());
    f.model->selectRow(0);
    session.script = press("", 1);  // no modifier: the hot key goes too
    handlers->editEntryHotkey();
    EXPECT_EQ("[]" + us + "[]" + usRecord, hotkeys());
}

TEST_F(Handlers, ToggleSlotsAreEditedThroughTheChooser) {
    auto slot = [this] { return snap().toggles[1].modifierText + "/" + snap().toggles[1].keyText; };
    handlers->toggleSelectionChanged(1);
    EXPECT_EQ("Shift+SPACE", f.model->window.toggleButtonCaption);
    EXPECT_EQ("Shape Toggle: Shift+SPACE", f.model->window.status);
    // Confirming the slot's own hot key is no duplicate; any entry's or another slot's is.
    session.script = [](hotkey::HotkeyEditor&) { return true; };
    handlers->editToggleHotkey();
    session.script = press("CS", 1);
    handlers->editToggleHotkey();
    EXPECT_EQ("0000C004/00000020", slot());
    EXPECT_EQ("Kestrine: Duplicate hotkey! active\n", f.prompts.boxes());
    session.script = press("CS", 5);
    handlers->editToggleHotkey();
    EXPECT_EQ("0000C006/00000035", slot());
    EXPECT_EQ("Ctrl+Shift+5", f.model->window.toggleButtonCaption);
    // Emptying only the modifiers keeps the slot; clearing "Enable hotkey" empties it.
    session.script = press("", 5);
    handlers->editToggleHotkey();
    EXPECT_EQ("0000C006/00000035", slot());
    session.script = [](hotkey::HotkeyEditor& e) { return e.clickEnable(), true; };
    handlers->editToggleHotkey();
    EXPECT_EQ("/", slot());
    EXPECT_EQ("", f.model->window.toggleButtonCaption);
    handlers->toggleHover();
    EXPECT_EQ("Shape Toggle: ", f.model->window.status);
    // An empty slot opens with "Enable hotkey" cleared.
    editor.enableChecked = true;
    session.script = nullptr;
    handlers->editToggleHotkey();
    EXPECT_EQ("Shape Toggle disabled", session.opened);
}

}  // namespace
