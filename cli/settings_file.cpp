#include "cli/settings_file.h"

#include "platform/text.h"
#include "settings/hotkey_text.h"

namespace cli {

using platform::lowerAscii;

std::string hotkeyWords(const std::string& modifierText, const std::string& keyText) {
    if (modifierText.size() != 8 || keyText.size() != 8 || modifierText.compare(0, 4, "0000") != 0 ||
        keyText.compare(0, 6, "000000") != 0) {
        return {};
    }
    std::string modifier = lowerAscii(hotkey::modifierName(modifierText.substr(6, 2)));
    std::string side = modifierText.substr(4, 2);
    const auto& keys = hotkey::KeyNameTable::instance();
    int row = keys.findCode(keyText.substr(6, 2));
    if (modifier.empty() || row < 0 || (side != "C0" && side != "80" && side != "40")) return {};
    std::string key = lowerAscii(keys.row(static_cast<size_t>(row)).name);
    // "," separates a switch's arguments ("~" stands for it); "/" would start another item.
    if (key == ",") key = "~";
    if (key.find('/') != std::string::npos) return {};
    return modifier + "_" + key + (side == "80" ? "_left" : side == "40" ? "_right" : "");
}

SavedSettings settingsAsSwitches(settings::SettingsModel& model) {
    const settings::SettingsSnapshot& s = model.snapshot;
    SavedSettings saved;
    std::string& text = saved.text;
    auto line = [&text](const std::string& l) { text += l + "\r\n"; };
    auto unsaved = [&](const std::string& what) {
        saved.unsaved.push_back(what);
        line("; not saved: " + what);
    };
    line("; Kestrine settings. Set them with: kestrine.exe /load:FILE");
    line(s.textServicesOption ? "/ctfmon" : "/internat");
    if (!s.indicatorSwitch) line("/off");

    line("/clear");
    settings::Catalogue catalogue = model.catalogue();
    for (size_t i = 0; i < s.rows.size(); ++i) {
        const settings::PreloadRow& row = s.rows[i];
        if (row.unreadable) {  // no switch adds a value that names no entry
            unsaved("row " + std::to_string(i + 1) + ", which names no entry");
            continue;
        }
        std::string file = platform::fileNamePart(catalogue.imeFile(row.klid));
        bool byFile = settings::isImeKlid(row.klid) && !file.empty() && file.find(',') == std::string::npos;
        std::string item = byFile ? "/add2:" + file : "/add3:" + row.klid;
        // A row's hot key is its first record's; a second record of the same entry has no switch.
        int records = 0;
        for (const auto& record : s.records) {
            if (record.target != row.klid || records++ > 0) continue;
            std::string words = hotkeyWords(record.modifierText, record.keyText);
            if (words.empty()) {
                unsaved("the hot key of row " + std::to_string(i + 1));
            } else {
                item += "," + words;
            }
        }
        if (records > 1) unsaved("a second hot key of row " + std::to_string(i + 1));
        line(item);
    }

    for (size_t slot = 0; slot < s.toggles.size(); ++slot) {
        const settings::ToggleSlot& toggle = s.toggles[slot];
        std::string name(1, static_cast<char>('a' + slot));
        std::string words = hotkeyWords(toggle.modifierText, toggle.keyText);
        if (!words.empty()) {
            line("/hotkey:" + name + "," + words);
        } else if (platform::readHex(toggle.modifierText) != 0 || platform::readHex(toggle.keyText) != 0) {
            unsaved("the hot key of toggle " + name);
        }
    }

    // "a": language switch Ctrl+Shift and layout switch Alt+Shift; "b" the other way round.
    // A switch that is off keeps no key.
    int digit = (s.languageSwitch ? 1 : 0) + (s.layoutSwitch ? 2 : 0);
    bool a = (!s.languageSwitch || s.languageKey == settings::kCtrlShift) &&
             (!s.layoutSwitch || s.layoutKey == settings::kAltShift);
    bool b = (!s.languageSwitch || s.languageKey == settings::kAltShift) &&
             (!s.layoutSwitch || s.layoutKey == settings::kCtrlShift);
    line("/switch:" + std::to_string(digit) + (digit == 0 ? "" : a ? "a" : b ? "b" : ""));
    if (digit != 0 && !a && !b) unsaved("the keys of the language and layout switches");
    line(s.capsLockMode == 0 ? "/caps" : "/shift");
    line(s.showStatus ? "/status:1" : "/status:0");
    return saved;
}

}  // namespace cli
