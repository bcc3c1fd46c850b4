// Running the switches of the command line (or of a switch file) on the settings model,
// through the same operations the window's controls use.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cli/installer.h"
#include "settings/settings_model.h"

namespace cli {

// True when a direct-switch record or a toggle slot already holds exactly these texts.
bool HotkeyInUse(const settings::SettingsSnapshot& snapshot, const std::string& modifierText,
                 const std::string& keyText);

class SwitchProcessor {
public:
    SwitchProcessor(settings::SettingsModel& model, Installer& installer, platform::System& system)
        : model_(model), installer_(installer), system_(system) {}

    // Runs every item in order (unrecognised items are skipped), then `applyWithClose`.
    void ProcessSwitches(const std::vector<std::string>& items, const std::function<void()>& applyWithClose);

    // Runs one switch item; false when it matches no switch.
    bool runSwitch(const std::string& item);

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
    int findAddableByName(const std::string& name) const;
    int findAddableByFile(const std::string& file) const;
    int findAddableByKlid(const std::string& klid) const;

    void removeRow(int index);
    void moveRow(int index, const std::string& position);
    void setSwitchKeys(const std::string& argument);
    void install(const std::string& argument);
    void uninstall(char how, const std::string& argument);
    void add(char how, const std::string& argument);
    void setHotkey(const std::string& argument);
    void giveLastRowHotkey(const std::string& argument);

    settings::SettingsModel& model_;
    Installer& installer_;
    platform::System& system_;
};

}  // namespace cli
