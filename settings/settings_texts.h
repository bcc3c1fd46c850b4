// Texts that the settings model shows or writes: the indicator messages of apply, the
// language switch's caption chosen by loading, and the names of the catalogue entries that
// loading recreates. Every field holds bytes of the language's code page.
#pragma once

#include <string>

#include "settings/windows_version.h"

namespace settings {

struct SettingsTexts {
    std::string ctfmonNotFound;    // "ctfmon.exe" did not start
    std::string internatNotFound;  // "internat.exe" did not start (window mode only)
    std::string switchIme;         // language switch caption while the indicator option is on
    std::string switchInputLanguages;  // the same while the text-services option is on
};

SettingsTexts settingsTexts(UiLanguage language);

// "Layout Text" of the catalogue entries that loading recreates when their key is missing.
// The US entry is named in the language of the system; each Chinese entry is recreated only
// on a system of its own locale, so its name is always held in that locale's code page
// (Big5 for 00000404, GBK for 00000804).
struct RepairLayoutTexts {
    std::string us;                  // 00000409
    std::string traditionalChinese;  // 00000404
    std::string simplifiedChinese;   // 00000804
};

RepairLayoutTexts repairLayoutTexts(UiLanguage language);

}  // namespace settings
