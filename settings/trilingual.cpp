#include "settings/trilingual.h"

#include "platform/codepage.h"

namespace settings {

const char* utf8For(const Trilingual& text, UiLanguage language) {
    switch (language) {
        case UiLanguage::SimplifiedChinese: return text.simplified;
        case UiLanguage::TraditionalChinese: return text.traditional;
        case UiLanguage::English: break;
    }
    return text.english;
}

std::string localise(const Trilingual& text, UiLanguage language) {
    if (language == UiLanguage::English) return text.english;
    return platform::utf8ToCodePage(utf8For(text, language), codePageFor(language));
}

}  // namespace settings
