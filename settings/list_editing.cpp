// Editing the user's list of input locales: adding, removing and moving rows, and dropping
// rows whose input method duplicates an earlier row's.
#include <algorithm>
#include <utility>

#include "platform/text.h"
#include "settings/settings_model.h"

namespace settings {

void SettingsModel::selectRow(int index) {
    window.listSelection = (index >= 0 && index < static_cast<int>(snapshot.rows.size())) ? index : -1;
    selectionHandler();
}

// What the window does whenever the list's selection changes: the status line describes the
// selected row.
void SettingsModel::selectionHandler() {
    int r = window.listSelection;
    window.listFocusRequested = true;
    if (r < 0 || r >= static_cast<int>(snapshot.rows.size())) return;
    const PreloadRow& row = snapshot.rows[static_cast<size_t>(r)];
    std::string layoutFile = platform::upperAscii(catalogue().value(row.klid, "Layout File"));
    window.status = row.hotkeyText.empty()
                        ? layoutFile + " | " + row.klid
                        : texts_.hotkeyColumn + ": " + row.hotkeyText + " " + layoutFile + " | " + row.klid;
}

ControlStates SettingsModel::controlStates() const {
    ControlStates c;
    int count = static_cast<int>(snapshot.rows.size());
    int r = window.listSelection;
    bool rowSelected = r >= 0 && r < count;
    // With no row selected the index counts as -1: Up stays enabled, and Down unless the list
    // is empty.
    c.up = r != 0;
    c.down = r != count - 1;
    c.property = rowSelected && isImeKlid(snapshot.rows[static_cast<size_t>(r)].klid);
    // The last row cannot be deleted from the window.
    c.remove = count > 1;
    c.add = !snapshot.addable.empty();

    // The style options can be used only while the indicator switch is on, and the indicator
    // program has no place on the 6.x generation.
    c.styleGroup = c.textServicesOption = snapshot.indicatorSwitch;
    c.indicatorOption = snapshot.indicatorSwitch && !version_.isSixFamily();
    // A key choice is usable while its switch is on; the layout switch exists only for the
    // text-services monitor.
    c.languageKey = snapshot.languageSwitch;
    c.layoutSwitch = snapshot.textServicesOption;
    c.capsLock = !version_.is9x();

    int a = window.addSelection;
    if (a >= 0 && a < static_cast<int>(snapshot.addable.size())) {
        const SettingsSnapshot::AddableRow& entry = snapshot.addable[static_cast<size_t>(a)];
        c.registryDelete = isImeKlid(entry.klid);
        c.selectedEntry = entry.itemText;
    }
    c.install = !window.installName.empty() && !window.installFile.empty() && !version_.isSixFamily();
    return c;
}

void SettingsModel::addSelected() {
    int c = window.addSelection;
    if (c < 0 || c >= static_cast<int>(snapshot.addable.size())) return;
    nameAddable(c);
    const SettingsSnapshot::AddableRow& entry = snapshot.addable[static_cast<size_t>(c)];
    PreloadRow row;
    // A name typed for the entry travels in the add box's text until apply writes it.
    if (entry.itemText != entry.classicName && entry.itemText != entry.displayName) {
        row.pendingDisplayName = entry.itemText;
    }
    row.shownName = entry.itemText;
    row.klid = entry.klid;
    row.classicName = entry.classicName;
    row.displayName = entry.displayName;
    snapshot.rows.push_back(row);
    snapshot.addable.erase(snapshot.addable.begin() + c);
    window.addSelection = snapshot.addable.empty() ? -1 : 0;
    window.listFocusRequested = true;
}

void SettingsModel::removeSelected() {
    int s = window.listSelection;
    if (s < 0 || s >= static_cast<int>(snapshot.rows.size())) return;
    removeRow(static_cast<size_t>(s));
}

void SettingsModel::removeRow(size_t s) {
    nameRows(static_cast<int>(s));  // the row's names go into the add box
    auto& rows = snapshot.rows;
    const PreloadRow row = rows[s];

    // A value that is no KLID names no entry to offer again.
    if (!row.unreadable) {
        SettingsSnapshot::AddableRow entry;
        entry.klid = row.klid;
        entry.classicName = row.classicName;
        entry.displayName = row.displayName;
        entry.itemText = row.shownName;
        snapshot.addable.push_back(entry);
    }

    auto& slots = snapshot.layoutSlots;
    for (size_t i = s; i + 1 < slots.size(); ++i) slots[i] = slots[i + 1];
    rows.erase(rows.begin() + static_cast<long>(s));

    // The KLID's record goes with its last row: a copy of the row that stays keeps its hot key.
    bool listed = false;
    for (const auto& other : rows) listed = listed || other.klid == row.klid;
    if (!row.hotkeyText.empty() && !listed) {
        auto& records = snapshot.records;
        for (auto it = records.begin(); it != records.end(); ++it) {
            if (it->target != row.klid) continue;
            records.erase(it);
            break;
        }
    }
    selectRow(s < rows.size() ? static_cast<int>(s) : static_cast<int>(s) - 1);
}

void SettingsModel::exchangeRows(size_t a, size_t b) {
    std::swap(snapshot.rows[a], snapshot.rows[b]);
    auto& slots = snapshot.layoutSlots;
    if (a < slots.size() && b < slots.size()) std::swap(slots[a], slots[b]);
}

void SettingsModel::moveUp() {
    int s = window.listSelection;
    if (s <= 0 || s >= static_cast<int>(snapshot.rows.size())) return;
    exchangeRows(static_cast<size_t>(s), static_cast<size_t>(s - 1));
    selectRow(s - 1);
}

void SettingsModel::moveDown() {
    int s = window.listSelection;
    if (s < 0 || s + 1 >= static_cast<int>(snapshot.rows.size())) return;
    exchangeRows(static_cast<size_t>(s), static_cast<size_t>(s + 1));
    selectRow(s + 1);
}

void SettingsModel::dropDuplicateInputMethods() {
    Catalogue entries = catalogue();
    auto& rows = snapshot.rows;
    // Each row's file, read once: a row that goes takes only its own entry with it, which no
    // row before it names.
    std::vector<std::string> files;
    for (const auto& row : rows) files.push_back(platform::upperAscii(entries.imeFile(row.klid)));
    for (size_t s = rows.size(); s-- > 0;) {
        if (files[s].empty()) continue;
        for (size_t t = s; t-- > 0;) {
            if (files[t] != files[s]) continue;
            std::string klid = rows[s].klid;
            // The same entry listed twice is one input method, not a duplicate installation:
            // its catalogue key still serves the row that stays.
            bool sharedKey = false;
            for (size_t r = 0; r < rows.size(); ++r) sharedKey = sharedKey || (r != s && rows[r].klid == klid);
            if (!sharedKey) registry_.deleteKey(RegRoot::LocalMachine, catalogueKeyOf(klid));
            selectRow(static_cast<int>(s));
            removeRow(s);
            auto& addable = snapshot.addable;
            for (auto it = addable.begin(); it != addable.end(); ++it) {
                if (it->klid != klid) continue;
                addable.erase(it);
                break;
            }
            break;
        }
    }
}

}  // namespace settings
