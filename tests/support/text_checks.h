// Helpers for the tests of the program's texts.
#pragma once

#include <algorithm>
#include <string>

#include "settings/windows_version.h"

namespace testing_support {

struct LanguageCase {
    const char* name;
    settings::UiLanguage language;
    bool chinese;
};

inline const LanguageCase kLanguages[] = {
    {"English", settings::UiLanguage::English, false},
    {"Simplified", settings::UiLanguage::SimplifiedChinese, true},
    {"Traditional", settings::UiLanguage::TraditionalChinese, true},
};

inline bool isAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// A character missing from the code page comes out as '?'; GBK and Big5 never use 0x3F as
// a second byte, so every '?' of a converted text is a real one.
inline long questionMarks(const std::string& text) { return std::count(text.begin(), text.end(), '?'); }

}  // namespace testing_support
