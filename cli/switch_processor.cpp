#include "cli/switch_processor.h"

#include <algorithm>

#include "platform/text.h"
#include "settings/hotkey_text.h"
#include "settings/names.h"

namespace cli {

using platform::equalsNoCase;
using platform::lowerAscii;
using platform::upperAscii;
using Addable = settings::SettingsSnapshot::AddableRow;

namespace {

ItemResult done(const std::string& text) { return {ItemResult::Done, text}; }
ItemResult already(const std::string& text) { return {ItemResult::Already, text + " (already)"}; }
ItemResult nothing(const std::string& text) { return {ItemResult::DidNothing, text}; }
ItemResult notUnderstood() { return nothing("not understood: see kestrine.exe /?"); }

// A setting's new value: done, or already when it held that value.
template <typename T>
ItemResult setting(T& field, T value, const std::string& text) {
    if (field == value) return already(text);
    field = value;
    return done(text);
}

std::string rowText(size_t index, const std::string& klid) {
    return "row " + std::to_string(index + 1) + " (" + klid + ")";
}

const char* const kKeyNames[] = {"Ctrl+Shift", "Alt+Shift", "grave accent"};

}  // namespace

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

bool imeFileMatches(const std::string& stored, const std::string& file) {
    if (equalsNoCase(stored, file)) return true;
    bool path = stored.find_first_of("\\:/") != std::string::npos;
    return path && !file.empty() && equalsNoCase(platform::fileNamePart(stored), file);
}

bool SwitchProcessor::asksForIndicator(const std::vector<SwitchItem>& items) {
    for (const auto& item : items) {
        std::string name = lowerAscii(platform::trimControls(item.text));
        if (!item.lostCharacters && (name == "on" || name == "off" || name == "internat" || name == "ctfmon")) return true;
    }
    return false;
}

void SwitchProcessor::ProcessSwitches(const std::vector<SwitchItem>& items, Report& report,
                                      const std::function<void()>& applyWithClose) {
    for (const auto& item : items) {
        std::string trimmed = platform::trimControls(item.text);
        if (trimmed.empty()) continue;
        ItemResult result = item.lostCharacters
                                ? nothing("holds characters that code page " + std::to_string(system_.ansiCodePage()) +
                                          " lacks")
                                : runSwitch(item.text);
        report.item("/" + trimmed, result);
    }
    if (applyWithClose) applyWithClose();
}

ItemResult SwitchProcessor::runSwitch(const std::string& item) {
    std::string trimmed = platform::trimControls(item);
    std::string name = lowerAscii(trimmed);
    size_t colon = trimmed.find(':');
    std::string argument = colon == std::string::npos ? trimmed : trimmed.substr(colon + 1);
    auto prefix = [&name](const char* p) { return name.compare(0, std::char_traits<char>::length(p), p) == 0; };
    auto& s = model_.snapshot;
    auto& w = model_.window;

    if (name == "on" || name == "off") return setting(s.indicatorSwitch, name == "on", "indicator " + name);
    if (name == "internat" || name == "ctfmon") {
        bool internat = name == "internat";
        bool held = s.indicatorSwitch && s.indicatorOption == internat && s.textServicesOption != internat;
        s.indicatorOption = internat;
        s.textServicesOption = !internat;
        w.layoutKeyEnabled = !internat;
        s.indicatorSwitch = true;
        std::string text = "indicator on, " + name + ".exe";
        return held ? already(text) : done(text);
    }
    if (name == "caps") return setting(s.capsLockMode, 0, "Caps Lock released by Caps Lock");
    if (name == "shift") return setting(s.capsLockMode, 1, "Caps Lock released by Shift");
    if (prefix("status:")) {
        // Only the last character counts: "/status:10" turns it off.
        char last = trimmed.back();
        if (last != '0' && last != '1') return notUnderstood();
        return setting(s.showStatus, last == '1', last == '1' ? "status window shown" : "status window hidden");
    }
    if (prefix("del1:")) return removeRow(findRowByNumber(argument), '0', argument);
    if (prefix("del2:")) return removeRow(findRowByName(argument), '1', argument);
    if (prefix("del3:")) return removeRow(findRowByFile(argument), '2', argument);
    if (prefix("del4:")) return removeRow(findRowByKlid(argument), '3', argument);
    if (prefix("switch:")) return setSwitchKeys(argument);
    if (prefix("install:")) return install(argument);
    if (prefix("move1:") || prefix("move2:") || prefix("move3:")) return moveRow(name[4], argument);
    if (prefix("uninstall1:") || prefix("uninstall2:") || prefix("uninstall3:")) return uninstall(name[9], argument);
    if (prefix("add")) return add(name.size() > 3 ? name[3] : '\0', argument);
    if (prefix("hotkey:")) return setHotkey(argument);
    if (name == "clear") return clear();
    return nothing("not a switch");
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
                      [&](const settings::PreloadRow& r) { return imeFileMatches(catalogue.imeFile(r.klid), file); });
}

int SwitchProcessor::findRowByKlid(const std::string& klid) const {
    return firstIndex(klid, model_.snapshot.rows,
                      [&](const settings::PreloadRow& r) { return equalsNoCase(r.klid, klid); });
}

int SwitchProcessor::findRow(char how, const std::string& key) const {
    return how == '1' ? findRowByName(key) : how == '2' ? findRowByFile(key) : how == '3' ? findRowByKlid(key) : -1;
}

int SwitchProcessor::findAddableByName(const std::string& name) const {
    if (!name.empty()) model_.nameAddable();
    return firstIndex(name, model_.snapshot.addable, [&](const Addable& a) { return a.itemText == name; });
}

int SwitchProcessor::findAddableByFile(const std::string& file) const {
    settings::Catalogue catalogue = model_.catalogue();
    return firstIndex(file, model_.snapshot.addable,
                      [&](const Addable& a) { return imeFileMatches(catalogue.imeFile(a.klid), file); });
}

int SwitchProcessor::findAddableByKlid(const std::string& klid) const {
    return firstIndex(klid, model_.snapshot.addable, [&](const Addable& a) { return equalsNoCase(a.klid, klid); });
}

int SwitchProcessor::findAddable(char how, const std::string& key) const {
    return how == '1'   ? findAddableByName(key)
           : how == '2' ? findAddableByFile(key)
           : how == '3' ? findAddableByKlid(key)
                        : -1;
}

bool SwitchProcessor::inCatalogue(char how, const std::string& key) const {
    if (findAddable(how, key) >= 0) return true;
    if (how != '2' && how != '3') return false;
    // Entries the add box does not offer (an input method whose file is gone) count too. The
    // listing's names only: a key given by the user is never used as a registry path.
    settings::Catalogue catalogue = model_.catalogue();
    std::vector<std::string> entries = catalogue.entries();
    return firstIndex(key, entries, [&](const std::string& klid) {
               return how == '3' ? equalsNoCase(klid, key) : imeFileMatches(catalogue.imeFile(klid), key);
           }) >= 0;
}

// ---- The switches ----

ItemResult SwitchProcessor::removeRow(int index, char how, const std::string& key) {
    if (index < 0) {
        if (inCatalogue(how, key)) return already("not in the list");
        return nothing(how == '0' ? "no such row" : "matches no row of the list and no catalogue entry");
    }
    std::string text = "removed " + rowText(static_cast<size_t>(index), model_.snapshot.rows[static_cast<size_t>(index)].klid);
    model_.selectRow(index);
    model_.removeSelected();
    return done(text);
}

ItemResult SwitchProcessor::moveRow(char how, const std::string& argument) {
    std::vector<std::string> fields = SplitText(",", how == '1' ? argument : lowerAscii(argument));
    if (fields.size() != 2) return notUnderstood();
    int index = findRow(how, fields[0]);
    if (index < 0) return nothing(inCatalogue(how, fields[0]) ? "not in the list" : "matches no row of the list");
    int64_t count = static_cast<int64_t>(model_.snapshot.rows.size());
    int64_t target = std::min<int64_t>(platform::readDecimal(fields[1]), count) - 1;
    // A target above the first row moves the row to the top: move-up stops there anyway.
    target = std::max<int64_t>(target, 0);
    std::string text = rowText(static_cast<size_t>(index), model_.snapshot.rows[static_cast<size_t>(index)].klid);
    if (target == index) return already(text + " stays at row " + std::to_string(target + 1));
    model_.selectRow(index);
    for (int64_t i = index; i < target; ++i) model_.moveDown();
    for (int64_t i = index; i > target; --i) model_.moveUp();
    return done("moved " + text + " to row " + std::to_string(target + 1));
}

ItemResult SwitchProcessor::setSwitchKeys(const std::string& argument) {
    auto& s = model_.snapshot;
    const settings::SettingsSnapshot before = s;
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
    if (first >= 0 && first <= 3) {
        s.languageSwitch = first == 1 || first == 3;
        s.layoutSwitch = first == 2 || first == 3;
    } else if (last != 'a' && last != 'b') {
        return notUnderstood();
    }
    auto describe = [](bool on, int key) { return on ? std::string("on (") + kKeyNames[key % 3] + ")" : std::string("off"); };
    std::string text = "language switch " + describe(s.languageSwitch, s.languageKey) + ", layout switch " +
                       describe(s.layoutSwitch, s.layoutKey);
    bool held = before.languageSwitch == s.languageSwitch && before.layoutSwitch == s.layoutSwitch &&
                before.languageKey == s.languageKey && before.layoutKey == s.layoutKey;
    return held ? already(text) : done(text);
}

ItemResult SwitchProcessor::install(const std::string& argument) {
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
    std::string what = model_.window.installFile + " as \"" + model_.window.installName + "\"";
    uint32_t handle = installer_.InstallInputMethod();
    if (preview_) return done("would install " + what);
    if (handle == 0) return {ItemResult::Refused, "the system installed no layout from " + what};
    std::string klid = platform::hexText(handle, 8);
    std::string text = "installed " + what + " as " + klid;
    if (!threeFields || fields[2].empty()) return done(text);
    // The hot key goes to the new entry's row. A system that does not put the new entry into the
    // user's list (Wine does not) gets it added as the last row, as other systems add it.
    int row = findRowByKlid(klid);
    if (row < 0 && (row = findAddableByKlid(klid)) >= 0) {
        model_.window.addSelection = row;
        model_.addSelected();
        row = static_cast<int>(model_.snapshot.rows.size()) - 1;
    }
    if (row < 0) return nothing(text + ", but it is in no row to give the hot key to");
    bool understood = giveRowHotkey(static_cast<size_t>(row), fields[2], text);
    return understood ? done(text) : nothing(text);
}

ItemResult SwitchProcessor::uninstall(char how, const std::string& argument) {
    int index = -1;
    if (how == '3') {
        if (!argument.empty() && argument[0] == '0') return nothing("plain keyboard layouts stay in the catalogue");
        settings::Catalogue catalogue = model_.catalogue();
        index = firstIndex(argument, model_.snapshot.addable, [&](const Addable& a) {
            return equalsNoCase(a.klid, argument) && catalogue.exists(a.klid);
        });
    } else {
        index = findAddable(how, argument);
        if (how == '1' && index >= 0 && !settings::isImeKlid(model_.snapshot.addable[static_cast<size_t>(index)].klid)) {
            return nothing("plain keyboard layouts stay in the catalogue");
        }
    }
    if (index < 0) {
        return nothing(findRow(how, argument) >= 0 ? "in the list: take it out of the list first"
                                                                      : "matches no catalogue entry");
    }
    std::string klid = model_.snapshot.addable[static_cast<size_t>(index)].klid;
    if (!installer_.RemoveCatalogueEntry(static_cast<size_t>(index))) {
        return {ItemResult::Refused, "the registry refused to remove catalogue entry " + klid};
    }
    return done("removed catalogue entry " + klid);
}

ItemResult SwitchProcessor::add(char how, const std::string& argument) {
    if (how != '1' && how != '2' && how != '3') return nothing("not a switch");
    std::vector<std::string> fields = SplitText(",", argument);
    int index = findAddable(how, fields[0]);
    if (index < 0) {
        if (findRow(how, fields[0]) >= 0) return already("in the list");
        return nothing(inCatalogue(how, fields[0]) ? "its input-method file is missing"
                                                   : "matches no catalogue entry that can be added");
    }
    model_.window.addSelection = index;
    model_.addSelected();
    size_t row = model_.snapshot.rows.size() - 1;
    std::string text = "added " + rowText(row, model_.snapshot.rows[row].klid);
    if (fields.size() > 2) return nothing(text + ", but the hot key must follow one \",\"");
    bool understood = fields.size() < 2 || giveRowHotkey(row, fields[1], text);
    return understood ? done(text) : nothing(text);
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

bool SwitchProcessor::giveRowHotkey(size_t index, const std::string& argument, std::string& text) {
    auto& row = model_.snapshot.rows[index];
    ParsedHotkey hotkey;
    if (!parseHotkey(argument, hotkey)) {
        text += ", but the hot key \"" + argument + "\" is not understood";
        return false;
    }
    row.hotkeyText = hotkey.displayText;
    model_.snapshot.records.push_back({hotkey.modifierText, row.klid, hotkey.keyText});
    text += ", hot key " + hotkey.displayText;
    return true;
}

ItemResult SwitchProcessor::setHotkey(const std::string& argument) {
    std::vector<std::string> fields = SplitText(",", argument);
    if (fields.size() != 2) return notUnderstood();
    std::string target = upperAscii(fields[0]);
    ParsedHotkey hotkey;
    if (!parseHotkey(fields[1], hotkey)) return nothing("the hot key \"" + fields[1] + "\" is not understood");
    auto& s = model_.snapshot;
    int32_t n = platform::readDecimal(target);
    int slot = target.empty() ? -1 : target[0] == 'A' ? 0 : target[0] == 'B' ? 1 : target[0] == 'C' ? 2 : -1;
    if (n < 1 && slot < 0) return notUnderstood();
    if (n > static_cast<int32_t>(s.rows.size())) return nothing("no such row");
    // The hot key already in use: by what this item names, it already holds; by anything else,
    // the item does nothing.
    std::string what = n >= 1 ? "row " + std::to_string(n) : "toggle " + std::string(1, lowerAscii(target)[0]);
    if (HotkeyInUse(s, hotkey.modifierText, hotkey.keyText)) {
        bool own = false;
        if (n >= 1) {
            for (const auto& r : s.records) {
                own = own || (r.target == s.rows[static_cast<size_t>(n - 1)].klid &&
                              r.modifierText == hotkey.modifierText && r.keyText == hotkey.keyText);
            }
        } else {
            const settings::ToggleSlot& t = s.toggles[static_cast<size_t>(slot)];
            own = t.modifierText == hotkey.modifierText && t.keyText == hotkey.keyText;
        }
        return own ? already(what + " hot key " + hotkey.displayText) : nothing("the hot key is in use already");
    }
    std::string text = what + " hot key " + hotkey.displayText;
    if (n >= 1) {
        settings::PreloadRow& row = s.rows[static_cast<size_t>(n - 1)];
        if (row.unreadable) return nothing("row " + std::to_string(n) + " names no entry");
        if (row.hotkeyText.empty()) {
            row.hotkeyText = hotkey.displayText;
            s.records.push_back({hotkey.modifierText, row.klid, hotkey.keyText});
            return done(text);
        }
        bool found = false;
        for (auto& r : s.records) {
            if (r.target != row.klid) continue;
            r.modifierText = hotkey.modifierText;
            r.keyText = hotkey.keyText;
            found = true;
        }
        if (!found) return nothing("the row's hot key has no record to change");
        row.hotkeyText = hotkey.displayText;
        return done(text);
    }
    s.toggles[static_cast<size_t>(slot)] = {hotkey.modifierText, hotkey.keyText};
    return done(text);
}

ItemResult SwitchProcessor::clear() {
    size_t count = model_.snapshot.rows.size();
    if (count == 0) return already("the list is empty");
    while (!model_.snapshot.rows.empty()) {
        model_.selectRow(0);
        model_.removeSelected();
    }
    return done("removed all " + std::to_string(count) + " rows");
}

}  // namespace cli
