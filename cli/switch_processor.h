// Running the switches of the command line (or of a switch file) on the settings model,
// through the same operations the window's controls use.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cli/installer.h"
#include "cli/report.h"
#include "cli/switch_list.h"
#include "settings/settings_model.h"

namespace cli {

// True when a direct-switch record or a toggle slot already holds exactly these texts.
bool HotkeyInUse(const settings::SettingsSnapshot& snapshot, const std::string& modifierText,
                 const std::string& keyText);

// True when the stored "IME File" names the file: the whole text, or when it is a path, its
// file-name part, without regard to ASCII case.
bool imeFileMatches(const std::string& stored, const std::string& file);

class SwitchProcessor {
public:
    // A preview goes on as if every install produced no layout.
    SwitchProcessor(settings::SettingsModel& model, Installer& installer, platform::System& system,
                    bool preview = false)
        : model_(model), installer_(installer), system_(system), preview_(preview) {}

    // Runs every item in order, telling the report what each did (empty items are passed over),
    // then `applyWithClose`.
    void ProcessSwitches(const std::vector<SwitchItem>& items, Report& report,
                         const std::function<void()>& applyWithClose);
    // True when an item is one of the indicator switches: then apply switches the indicator.
    static bool asksForIndicator(const std::vector<SwitchItem>& items);

    // Runs one switch item.
    ItemResult runSwitch(const std::string& item);

private:
    struct ParsedHotkey {
        std::string modifierText;
        std::string keyText;
        std::string displayText;
    };
    bool parseHotkey(const std::string& argument, ParsedHotkey& out) const;

    int findRowByName(const std::string& name) const;
    int findRowByFile(const std::string& file) const;
    int findRowByKlid(const std::string& klid) const;
    int findRowByNumber(const std::string& number) const;
    int findRow(char how, const std::string& key) const;  // '1' name, '2' file, '3' KLID
    int findAddableByName(const std::string& name) const;
    int findAddableByFile(const std::string& file) const;
    int findAddableByKlid(const std::string& klid) const;
    int findAddable(char how, const std::string& key) const;
    bool inCatalogue(char how, const std::string& key) const;  // any entry at all, usable or not

    ItemResult removeRow(int index, char how, const std::string& key);
    ItemResult moveRow(char how, const std::string& argument);
    ItemResult setSwitchKeys(const std::string& argument);
    ItemResult install(const std::string& argument);
    ItemResult uninstall(char how, const std::string& argument);
    ItemResult add(char how, const std::string& argument);
    ItemResult setHotkey(const std::string& argument);
    ItemResult clear();
    // Gives row `index` the hot key of a switch that added it; false when the hot key was not
    // understood.
    bool giveRowHotkey(size_t index, const std::string& argument, std::string& text);

    settings::SettingsModel& model_;
    Installer& installer_;
    platform::System& system_;
    bool preview_;
};

}  // namespace cli
