#include "cli/switch_processor.h"

#include <algorithm>

#include "cli/switch_list.h"
#include "settings/hotkey_text.h"
#include "platform/text.h"
#include "settings/names.h"

namespace cli {

using platform::equalsNoCase;
using platform::lowerAscii;
using platform::upperAscii;
using Addable = settings::SettingsSnapshot::AddableRow;

bool HotkeyInUse(const settings::SettingsSnapshot& snapshot, const std::string& modifierText,
                 const std::string& keyText) {
    for (const auto& r : snapshot.records) {
        if (r.modifierText == modifierText && r.keyText == keyText) return true;
    }
    for (const auto& t : snapshot.toggles) {
        if (t.modifierText == modifierText && t.keyText == keyText) return true;
    }
    return false;
}

void SwitchProcessor::ProcessSwitches(const std::vector<std::string>& items,
                                      const std::function<void()>& applyWithClose) {
    for (const auto& item : items) runSwitch(item);
    if (applyWithClose) applyWithClose();
}

bool SwitchProcessor::runSwitch(const std::string& item) {
    std::string trimmed = platform::trimControls(item);
    std::string name = lowerAscii(trimmed);
    size_t colon = trimmed.find(':');
    std::string argument = colon == std::string::npos ? trimmed : trimmed.substr(colon + 1);
    auto prefix = [&name](const char* p) { return name.compare(0, std::char_traits<char>::length(p), p) == 0; };
    auto& s = model_.snapshot;
    auto& w = model_.window;

    if (name == "on") {
        s.indicatorSwitch = true;
    } else if (name == "off") {
        s.indicatorSwitch = false;
    } else if (name == "internat") {
        s.indicatorOption = true;
        s.textServicesOption = false;
        w.layoutKeyEnabled = false;
        s.indicatorSwitch = true;
    } else if (name == "ctfmon") {
        s.indicatorOption = false;
        s.textServicesOption = true;
        w.layoutKeyEnabled = true;
        s.indicatorSwitch = true;
    } else if (name == "caps") {
        s.capsLockMode = 0;
    } else if (name == "shift") {
        s.capsLockMode = 1;
    } else if (prefix("status:")) {
        // Only the last character counts: "/status:10" turns it off.
        char last = trimmed.back();
        if (last == '0') s.showStatus = false;
        if (last == '1') s.showStatus = true;
    } else if (prefix("del1:")) {
        removeRow(findRowByNumber(argument));
    } else if (prefix("del2:")) {
        removeRow(findRowByName(argument));
    } else if (prefix("del3:")) {
        removeRow(findRowByFile(argument));
    } else if (prefix("del4:")) {
        removeRow(findRowByKlid(argument));
    } else if (prefix("switch:")) {
        setSwitchKeys(argument);
    } else if (prefix("install:")) {
        install(argument);
    } else if (prefix("move1:") || prefix("move2:") || prefix("move3:")) {
        char how = name[4];
        std::string arg = how == '1' ? argument : lowerAscii(argument);
        std::vector<std::string> fields = SplitText(",", arg);
        if (fields.size() != 2) return true;
        int index = how == '1' ? findRowByName(fields[0]) : how == '2' ? findRowByFile(fields[0]) : findRowByKlid(fields[0]);
        moveRow(index, fields[1]);
    } else if (prefix("uninstall1:") || prefix("uninstall2:") || prefix("uninstall3:")) {
        uninstall(name[9], argument);
    } else if (prefix("add")) {
        add(name.size() > 3 ? name[3] : '\0', argument);
    } else if (prefix("hotkey:")) {
        setHotkey(argument);
    } else {
        return false;
    }
    return true;
}

// ---- Finding rows of the user's list and entries of the add box ----

namespace {

// The index of the first item that matches the key, -1 when none does. An empty key (a batch
// file's unset variable, say) matches nothing, not the entries whose name or file is empty.
template <typename List, typename Match>
int firstIndex(const std::string& key, const List& items, Match match) {
    if (key.empty()) return -1;
    for (size_t i = 0; i < items.size(); ++i) {
        if (match(items[i])) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

int SwitchProcessor::findRowByNumber(const std::string& number) const {
    int32_t n = platform::readDecimal(number);
    if (n < 1 || n > static_cast<int>(model_.snapshot.rows.size())) return -1;
    return n - 1;
}

int SwitchProcessor::findRowByName(const std::string& name) const {
    if (!name.empty()) model_.nameRows();
    return firstIndex(name, model_.snapshot.rows, [&](const settings::PreloadRow& r) { return r.shownName == name; });
}

int SwitchProcessor::findRowByFile(const std::string& file) const {
    settings::Catalogue catalogue = model_.catalogue();
    return firstIndex(file, model_.snapshot.rows,
                      [&](const settings::PreloadRow& r) { return equalsNoCase(catalogue.imeFile(r.klid), file); });
}

int SwitchProcessor::findRowByKlid(const std::string& klid) const {
    return firstIndex(klid, model_.snapshot.rows,
                      [&](const settings::PreloadRow& r) { return equalsNoCase(r.klid, klid); });
}

int SwitchProcessor::findAddableByName(const std::string& name) const {
    if (!name.empty()) model_.nameAddable();
    return firstIndex(name, model_.snapshot.addable, [&](const Addable& a) { return a.itemText == name; });
}

int SwitchProcessor::findAddableByFile(const std::string& file) const {
    settings::Catalogue catalogue = model_.catalogue();
    return firstIndex(file, model_.snapshot.addable,
                      [&](const Addable& a) { return equalsNoCase(catalogue.imeFile(a.klid), file); });
}

int SwitchProcessor::findAddableByKlid(const std::string& klid) const {
    return firstIndex(klid, model_.snapshot.addable, [&](const Addable& a) { return equalsNoCase(a.klid, klid); });
}

// ---- The switches ----

void SwitchProcessor::removeRow(int index) {
    if (index < 0) return;
    model_.selectRow(index);
    model_.removeSelected();
}

void SwitchProcessor::moveRow(int index, const std::string& position) {
    if (index < 0) return;
    int64_t count = static_cast<int64_t>(model_.snapshot.rows.size());
    int64_t target = std::min<int64_t>(platform::readDecimal(position), count) - 1;
    // A target above the first row moves the row to the top: move-up stops there anyway.
    target = std::max<int64_t>(target, 0);
    model_.selectRow(index);
    for (int64_t i = index; i < target; ++i) model_.moveDown();
    for (int64_t i = index; i > target; --i) model_.moveUp();
}

void SwitchProcessor::setSwitchKeys(const std::string& argument) {
    auto& s = model_.snapshot;
    std::string v = lowerAscii(argument);
    char last = v.empty() ? '\0' : v.back();
    if (last == 'a') {
        s.languageKey = settings::kCtrlShift;
        s.layoutKey = settings::kAltShift;
    } else if (last == 'b') {
        s.languageKey = settings::kAltShift;
        s.layoutKey = settings::kCtrlShift;
    }
    int first = v.empty() ? 0 : platform::readDecimal(v.substr(0, 1));
    switch (first) {
        case 0: s.languageSwitch = false; s.layoutSwitch = false; break;
        case 1: s.languageSwitch = true; s.layoutSwitch = false; break;
        case 2: s.languageSwitch = false; s.layoutSwitch = true; break;
        case 3: s.languageSwitch = true; s.layoutSwitch = true; break;
        default: break;
    }
}

void SwitchProcessor::install(const std::string& argument) {
    std::vector<std::string> fields = SplitText(",", argument);
    std::string systemDir = system_.systemDirectory() + "\\";
    auto endsInIme = [](const std::string& f) { return f.size() >= 4 && lowerAscii(f.substr(f.size() - 4)) == ".ime"; };
    if (fields.size() == 1) {
        std::string file = fields[0];
        fields = {settings::GetFileDescription(system_, systemDir + file), file, ""};
    } else if (fields.size() == 2) {
        if (endsInIme(fields[1])) fields.push_back("");
        if (endsInIme(fields[0])) {
            fields.push_back(fields[1]);
            fields[1] = fields[0];
            fields[0] = settings::GetFileDescription(system_, systemDir + fields[0]);
        }
    }
    bool threeFields = fields.size() == 3;
    if (threeFields) {
        model_.window.installName = fields[0];
        model_.window.installFile = systemDir + fields[1];
    }
    uint32_t handle = installer_.InstallInputMethod();
    if (threeFields && !fields[2].empty() && handle != 0) giveLastRowHotkey(fields[2]);
}

void SwitchProcessor::uninstall(char how, const std::string& argument) {
    int index = -1;
    if (how == '1') {
        index = findAddableByName(argument);
        if (index >= 0 && !settings::isImeKlid(model_.snapshot.addable[static_cast<size_t>(index)].klid)) return;
    } else if (how == '2') {
        index = findAddableByFile(argument);
    } else if (how == '3') {
        if (!argument.empty() && argument[0] == '0') return;
        settings::Catalogue catalogue = model_.catalogue();
        index = firstIndex(argument, model_.snapshot.addable, [&](const Addable& a) {
            return equalsNoCase(a.klid, argument) && catalogue.exists(a.klid);
        });
    }
    if (index >= 0) installer_.RemoveCatalogueEntry(static_cast<size_t>(index));
}

void SwitchProcessor::add(char how, const std::string& argument) {
    std::vector<std::string> fields = SplitText(",", argument);
    int index = how == '1' ? findAddableByName(fields[0])
                : how == '2' ? findAddableByFile(fields[0])
                : how == '3' ? findAddableByKlid(fields[0])
                             : -1;
    if (index < 0) return;
    model_.window.addSelection = index;
    model_.addSelected();
    if (fields.size() == 2) giveLastRowHotkey(fields[1]);
}

bool SwitchProcessor::parseHotkey(const std::string& argument, ParsedHotkey& out) const {
    std::vector<std::string> fields = SplitText("_", argument);
    if (fields.size() < 2) return false;
    std::string modifier = fields[0];
    // "," separates a switch's arguments, so "~" stands for the comma key.
    std::string key = fields[1] == "~" ? "," : fields[1];
    std::string side = fields.size() == 3 ? fields[2] : "";
    // A hot key whose words are not all recognised would be stored as some other key, or none.
    if (!hotkey::ParseHotkeyWords(modifier, key, side, model_.texts().sides)) return false;
    out.modifierText = modifier;
    out.keyText = key;
    out.displayText = side + upperAscii(fields[0]) + "+" + upperAscii(fields[1]);
    return true;
}

void SwitchProcessor::giveLastRowHotkey(const std::string& argument) {
    auto& rows = model_.snapshot.rows;
    ParsedHotkey hotkey;
    if (rows.empty() || !parseHotkey(argument, hotkey)) return;
    rows.back().hotkeyText = hotkey.displayText;
    model_.snapshot.records.push_back({hotkey.modifierText, rows.back().klid, hotkey.keyText});
}

void SwitchProcessor::setHotkey(const std::string& argument) {
    std::vector<std::string> fields = SplitText(",", argument);
    if (fields.size() != 2) return;
    std::string target = upperAscii(fields[0]);
    ParsedHotkey hotkey;
    if (!parseHotkey(fields[1], hotkey)) return;
    auto& s = model_.snapshot;
    if (HotkeyInUse(s, hotkey.modifierText, hotkey.keyText)) return;
    int32_t n = platform::readDecimal(target);
    if (n >= 1) {
        if (n > static_cast<int32_t>(s.rows.size())) return;
        settings::PreloadRow& row = s.rows[static_cast<size_t>(n - 1)];
        if (row.hotkeyText.empty()) {
            row.hotkeyText = hotkey.displayText;
            s.records.push_back({hotkey.modifierText, row.klid, hotkey.keyText});
            return;
        }
        bool found = false;
        for (auto& r : s.records) {
            if (r.target != row.klid) continue;
            r.modifierText = hotkey.modifierText;
            r.keyText = hotkey.keyText;
            found = true;
        }
        if (found) row.hotkeyText = hotkey.displayText;
        return;
    }
    int slot = target.empty() ? -1 : target[0] == 'A' ? 0 : target[0] == 'B' ? 1 : target[0] == 'C' ? 2 : -1;
    if (slot >= 0) s.toggles[static_cast<size_t>(slot)] = {hotkey.modifierText, hotkey.keyText};
}

}  // namespace cli
