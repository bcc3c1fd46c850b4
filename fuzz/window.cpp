// The window's operations: a sequence of user actions decoded from the input, worked on the
// model the main window shows through the calls its controls make (each only while its control
// is enabled), on the Chinese XP machine. Every Apply must keep what it holds, and OK at the end
// all the command line's invariants; after every action the control states must follow from the
// snapshot.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz/fuzz.h"
#include "tests/support/scripted_session.h"
#include "ui/keyboard_layouts.h"
#include "ui/main_actions.h"
#include "ui/main_controller.h"

namespace {

// An item of a list of `count`, or -1 for none, as a list control reports its selection.
int pick(FuzzedDataProvider& in, size_t count) { return in.ConsumeIntegralInRange<int>(-1, static_cast<int>(count) - 1); }

// "From the same snapshot": a model on the same machine that has never loaded is given a copy of
// the acting model's snapshot and window state, then selects the list's row and the add box's
// item again through the model's own operations. Its dump (control states and selections with
// the snapshot) must equal the acting model's: no action may leave a selection that the list or
// the add box could not hold, or a state from before it.
void statesFollowTheSnapshot(testing_support::ModelFixture& f, const settings::SettingsModel& model) {
    settings::SettingsModel fresh(f.registry, f.m.system, f.prompts, model.texts(), false);
    fresh.snapshot = model.snapshot;
    fresh.window = model.window;
    fresh.window.addSelection = -1;
    fresh.selectRow(model.window.listSelection);
    ui::MainActions(fresh, f.m.system, "").addBoxSelected(model.window.addSelection);
    fresh.window.status = model.window.status;  // the status line follows the pointer too
    std::string acting = testing_support::dump(model, f.m.system.codePage);
    std::string computed = testing_support::dump(fresh, f.m.system.codePage);
    require(computed == acting, "the control states follow from the snapshot", [&] { return acting + "--\n" + computed; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    testing_support::ModelFixture f;
    seedXpWithSample(f);
    ui::MainController controller(f.registry, f.m.system, f.prompts);
    controller.create();
    controller.initialise();
    auto& model = controller.model();
    auto& s = model.snapshot;
    auto& w = model.window;
    const ui::WindowTexts& t = controller.texts();
    ui::MainActions actions(model, f.m.system, t.keyboardDialog.title);
    ui::KeyboardLayouts layouts(f.registry, f.m.system);  // made once the window stands, as its dialog is
    FuzzedDataProvider in(data, size);
    hotkey::HotkeyEditor editor;
    // The hot-key editor as the user works it: "Enable hotkey" clicked or not, the modifiers,
    // sides and any item of the key list set while those controls are enabled, then OK or Cancel.
    testing_support::ScriptedSession script(f.prompts);
    script.script = [&in](hotkey::HotkeyEditor& e) {
        if (in.ConsumeBool()) e.clickEnable();
        auto b = in.ConsumeIntegral<uint8_t>();
        if (e.controlsEnabled) e.ctrl = b & 1, e.alt = b & 2, e.shift = b & 4, e.left = b & 8, e.right = b & 16;
        if (e.controlsEnabled && (b & 32)) e.chooseKey(1 + pick(in, hotkey::KeyNameTable::instance().size()));
        return in.ConsumeBool();
    };
    hotkey::HotkeyHandlers hotkeys(model, editor, script, f.prompts,
                                   {{t.imeToggle, t.shapeToggle, t.symbolToggle}, t.duplicateHotkey, t.caption});
    const std::optional<std::string> browsed[] = {f.m.systemPath("SAMPLE.IME"), std::nullopt, "C:\\gone.ime"};
    while (in.remaining_bytes() > 0) {
        const settings::ControlStates c = model.controlStates();
        auto row = static_cast<size_t>(w.listSelection);
        switch (in.ConsumeIntegralInRange(0, 29)) {
            case 0: model.selectRow(pick(in, s.rows.size())); break;
            case 1: w.listSelection = pick(in, s.rows.size()), actions.listClicked(); break;
            case 2: actions.listHover(in.ConsumeIntegralInRange(-20, 200), 0); break;
            case 3: actions.addBoxSelected(pick(in, s.addable.size())); break;
            case 4: actions.addBoxHover(), hotkeys.toggleHover(), actions.pageShown(in.ConsumeIntegralInRange(0, 2)); break;
            case 5: if (c.add) model.addSelected(); break;
            case 6: if (c.remove) model.removeSelected(); break;
            case 7: if (c.up) model.moveUp(); break;
            case 8: if (c.down) model.moveDown(); break;
            case 9: hotkeys.editEntryHotkey(); break;
            case 10:  // a double-click on the list: on a name it opens the properties, elsewhere the hot key
                if (hotkey::doubleClickOpensProperties(in.ConsumeIntegralInRange(-10, 320), 154)) actions.openProperties(0);
                else hotkeys.editEntryHotkey();
                break;
            case 11: hotkeys.toggleSelectionChanged(pick(in, static_cast<size_t>(w.toggleChoiceCount))); break;
            case 12: hotkeys.editToggleHotkey(); break;
            case 13: actions.indicatorSwitchClicked(!s.indicatorSwitch); break;
            case 14: if (c.indicatorOption) actions.indicatorOptionClicked(); break;
            case 15: if (c.textServicesOption) actions.textServicesOptionClicked(); break;
            case 16: if (w.languageSwitchEnabled) actions.languageSwitchClicked(!s.languageSwitch); break;
            case 17: if (c.layoutSwitch) actions.layoutSwitchClicked(!s.layoutSwitch); break;
            case 18: if (c.languageKey) actions.languageKeyChosen(pick(in, static_cast<size_t>(w.keyChoiceCount))); break;
            case 19: if (w.layoutKeyEnabled) actions.layoutKeyChosen(pick(in, static_cast<size_t>(w.keyChoiceCount))); break;
            case 20: if (c.capsLock) s.capsLockMode = in.ConsumeBool() ? 1 : 0; break;
            case 21: s.showStatus = !s.showStatus; break;
            case 22: if (actions.canStartRename()) actions.renameSelected(in.ConsumeRandomLengthString(40)); break;
            case 23: (in.ConsumeBool() ? w.installName : w.installFile) = in.ConsumeRandomLengthString(40), actions.installGroupChanged(); break;
            case 24: actions.browsed(in.PickValueInArray(browsed)); break;
            case 25: if (c.install) controller.installer().InstallInputMethod(); break;
            case 26:  // the keyboard-layout dialog, for the selected row, closed with OK or not
                if (row < s.rows.size()) layouts.show(s.rows[row].shownName, s.rows[row].klid), layouts.close(pick(in, layouts.layouts().size()), in.ConsumeBool());
                break;
            case 27:  // registry Delete, answered OK or Cancel
                f.prompts.answers = {in.ConsumeBool()};
                if (c.registryDelete) controller.installer().deleteSelectedEntry();
                break;
            case 28: in.ConsumeBool() ? controller.showHelp() : controller.showAbout(); break;
            default: applyKeepsWhatItHolds(f, model);
        }
        f.prompts.answers.clear();
        statesFollowTheSnapshot(f, model);
    }
    controller.rowIconFiles();
    applyIsAFixedPoint(f, model, false);
    return 0;
}
