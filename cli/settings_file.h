// The settings of a machine as a switch file that sets them again, on this machine or on
// another: the indicator, the list in order with each row's hot key (input methods by their
// file, plain layouts by KLID, so that the file serves machines whose input methods have other
// KLIDs), the toggle hot keys, the switch keys, the Caps Lock mode and the status window.
#pragma once

#include <string>
#include <vector>

#include "settings/settings_model.h"

namespace cli {

struct SavedSettings {
    std::string text;                  // the switch file, lines ended by CR LF
    std::vector<std::string> unsaved;  // what no switch can say, each also a comment in the text
};

// The file empties the list first ("/clear"), so that loading it gives the same list whatever
// the machine held, and loading it twice changes nothing the second time.
SavedSettings settingsAsSwitches(settings::SettingsModel& model);

// The words of a hot-key argument ("ctrl+shift_1", "alt_~_left") for stored modifier and key
// texts; empty when no switch can say that hot key.
std::string hotkeyWords(const std::string& modifierText, const std::string& keyText);

}  // namespace cli
