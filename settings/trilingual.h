// A text in the program's three languages, and its bytes for the language of the run.
#pragma once

#include <string>

#include "settings/windows_version.h"

namespace settings {

// The three forms of one text, the Chinese ones written in UTF-8. English is held as the bytes
// shown: ASCII (the help text adds two fixed GBK bytes), which needs no conversion.
struct Trilingual {
    const char* english;
    const char* simplified;
    const char* traditional;
};

// The UTF-8 form of the text for a language.
const char* utf8For(const Trilingual& text, UiLanguage language);

// The text for a language as bytes of that language's code page (936 or 950); English as it
// stands, so that no English text depends on a code page the system may lack. Text sets call
// this once, when they are built.
std::string localise(const Trilingual& text, UiLanguage language);

}  // namespace settings
