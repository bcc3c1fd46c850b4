// Captions of the hot-key editor in the language of the run, as bytes of the language's
// code page. "Ctrl", "Alt", "Shift", "+" and the key names are the same in every language.
#pragma once

#include <string>

#include "settings/windows_version.h"

namespace hotkey {

struct EditorTexts {
    std::string title;
    std::string keyGroup;
    std::string noKey;  // key list item 0
    std::string left;
    std::string right;
    std::string enableHotkey;
    std::string ok;
    std::string cancel;
};

EditorTexts editorTexts(settings::UiLanguage language);

}  // namespace hotkey
