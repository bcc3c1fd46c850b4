#include "ui/main_actions.h"

#include "platform/text.h"
#include "settings/names.h"

namespace ui {

using settings::kAltShift;
using settings::kCtrlShift;
using settings::kGrave;

void MainActions::indicatorSwitchClicked(bool checked) {
    auto& s = model_.snapshot;
    s.indicatorSwitch = checked;
    if (model_.version().isSixFamily()) {
        s.textServicesOption = true;
        s.indicatorOption = false;
    }
}

void MainActions::resetKeyChoicesForIndicator() {
    auto& s = model_.snapshot;
    bool languageGrave = s.languageKey == kGrave;
    bool layoutGrave = s.layoutKey == kGrave;
    if (!languageGrave && !layoutGrave) {
        s.languageKey = kCtrlShift;
        s.layoutKey = kAltShift;
    } else if (languageGrave && layoutGrave) {
        s.layoutKey = kCtrlShift;
    }
}

void MainActions::resetKeyChoicesForTextServices() {
    auto& s = model_.snapshot;
    bool languageGrave = s.languageKey == kGrave;
    bool layoutGrave = s.layoutKey == kGrave;
    if (!languageGrave && !layoutGrave) {
        s.languageKey = kAltShift;
        s.layoutKey = kCtrlShift;
    } else if (languageGrave && layoutGrave) {
        s.languageKey = kCtrlShift;
    }
}

void MainActions::refillForStyle() {
    auto& s = model_.snapshot;
    for (auto& entry : s.addable) entry.itemText = s.indicatorOption ? entry.classicName : entry.displayName;
    model_.window.addSelection = -1;
    for (auto& row : s.rows) {
        if (s.indicatorOption) {
            row.shownName = row.classicName;
        } else {
            row.shownName = row.pendingDisplayName.empty() ? row.displayName : row.pendingDisplayName;
        }
    }
}

void MainActions::indicatorOptionClicked() {
    auto& s = model_.snapshot;
    auto& w = model_.window;
    if (s.indicatorOption && !s.textServicesOption) return;
    s.indicatorOption = true;
    s.textServicesOption = false;
    w.listEditable = false;
    w.languageSwitchCaption = model_.texts().settings.switchIme;
    w.languageSwitchEnabled = true;
    w.layoutKeyEnabled = false;
    if (s.indicatorOption != w.rememberedIndicator) resetKeyChoicesForIndicator();
    w.rememberedIndicator = true;
    refillForStyle();
}

void MainActions::textServicesOptionClicked() {
    auto& s = model_.snapshot;
    auto& w = model_.window;
    if (s.textServicesOption && !s.indicatorOption) return;
    s.textServicesOption = true;
    s.indicatorOption = false;
    w.listEditable = true;
    w.languageSwitchCaption = model_.texts().settings.switchInputLanguages;
    w.layoutKeyEnabled = true;
    if (w.rememberedIndicator) resetKeyChoicesForTextServices();
    w.rememberedIndicator = false;
    refillForStyle();
}

void MainActions::languageSwitchClicked(bool checked) {
    model_.snapshot.languageSwitch = checked;
}

void MainActions::layoutSwitchClicked(bool checked) {
    model_.snapshot.layoutSwitch = checked;
    model_.window.layoutKeyEnabled = checked;
}

namespace {

// The other choice moves away from the keys just chosen.
void couple(int chosen, int& other) {
    if (chosen == kCtrlShift && other != kGrave) other = kAltShift;
    else if (chosen == kAltShift && other != kGrave) other = kCtrlShift;
    else if (chosen == kGrave && other == kGrave) other = kCtrlShift;
}

}  // namespace

void MainActions::languageKeyChosen(int choice) {
    if (choice < 0 || choice >= model_.window.keyChoiceCount) return;
    model_.snapshot.languageKey = choice;
    couple(choice, model_.snapshot.layoutKey);
}

void MainActions::layoutKeyChosen(int choice) {
    if (choice < 0 || choice >= model_.window.keyChoiceCount) return;
    model_.snapshot.layoutKey = choice;
    couple(choice, model_.snapshot.languageKey);
}

void MainActions::addBoxSelected(int index) {
    const auto& addable = model_.snapshot.addable;
    if (index < 0 || index >= static_cast<int>(addable.size())) return;
    model_.window.addSelection = index;
    addBoxHover();
}

void MainActions::addBoxHover() {
    auto& w = model_.window;
    const auto& addable = model_.snapshot.addable;
    if (w.addSelection < 0 || w.addSelection >= static_cast<int>(addable.size())) return;
    const auto& entry = addable[static_cast<size_t>(w.addSelection)];
    std::string file = model_.catalogue().imeFile(entry.klid);
    w.status = entry.itemText + ": " + entry.klid + (file.empty() ? "" : " (" + platform::upperAscii(file) + ")");
}

void MainActions::installGroupChanged() { model_.window.status.clear(); }

void MainActions::pageShown(int page) {
    model_.window.status.clear();
    if (page == 2) installGroupChanged();
}

void MainActions::browsed(const std::optional<std::string>& path) {
    if (path) {
        model_.window.installFile = *path;
        lastBrowsed_ = *path;
    }
    model_.window.installName = settings::GetFileDescription(system_, lastBrowsed_);
    installGroupChanged();
}

void MainActions::listClicked() {
    if (model_.window.listSelection < 0 && !model_.snapshot.rows.empty()) {
        model_.selectRow(static_cast<int>(model_.snapshot.rows.size()) - 1);
    }
}

void MainActions::listHover(int y, int firstRowTop) {
    auto& w = model_.window;
    const auto& rows = model_.snapshot.rows;
    int index = (y - firstRowTop) / 17;  // rows are 17 pixels high; rounds toward zero
    if (index < 0 || index >= static_cast<int>(rows.size())) {
        w.status.clear();
        return;
    }
    const auto& row = rows[static_cast<size_t>(index)];
    settings::Catalogue catalogue = model_.catalogue();
    std::string layoutFile = platform::upperAscii(catalogue.value(row.klid, "Layout File"));
    if (!row.hotkeyText.empty()) {
        w.status = model_.texts().hotkeyColumn + ": " + row.hotkeyText + " " + keyboardTitle_ + ": " + layoutFile +
                   " | " + row.klid;
    } else {
        w.status = keyboardTitle_ + ": " + layoutFile + " | " + row.klid + " | " +
                   platform::upperAscii(catalogue.imeFile(row.klid));
    }
}

bool MainActions::renameSelected(const std::string& text) {
    auto& s = model_.snapshot;
    int r = model_.window.listSelection;
    if (r < 0 || r >= static_cast<int>(s.rows.size())) return false;
    if (platform::trimControls(text).empty()) return false;
    auto& row = s.rows[static_cast<size_t>(r)];
    if (!settings::isImeKlid(row.klid) || s.indicatorOption) return false;
    if (text != row.shownName) {
        row.pendingDisplayName = text;
        row.shownName = text;
    }
    return true;
}

void MainActions::openProperties(uintptr_t owner) {
    int r = model_.window.listSelection;
    if (r < 0 || r >= static_cast<int>(model_.snapshot.rows.size())) return;
    uint32_t layout = static_cast<size_t>(r) < settings::kLayoutSlots ? model_.snapshot.layoutSlots[static_cast<size_t>(r)] : 0;
    system_.configureIme(layout, owner, model_.version().isNtFamily());
}

}  // namespace ui
