#include "settings/windows_version.h"

namespace settings {

WindowsVersion::WindowsVersion(uint32_t v)
    : generation_(Generation::Unknown), major_(v & 0xFF), minor_((v >> 8) & 0xFF) {
    bool ninexPlatform = (v & 0x80000000u) != 0;
    if (ninexPlatform) {
        if (major_ == 4) generation_ = Generation::Win9x;
    } else if (major_ < 5) {
        generation_ = Generation::Nt4;
    } else if (major_ == 5 && minor_ == 0) {
        generation_ = Generation::Win2000;
    } else if (minor_ == 1) {
        generation_ = Generation::Xp;
    } else if (major_ == 5) {
        generation_ = Generation::Server2003;
    } else {
        generation_ = Generation::Six;
    }
}

bool WindowsVersion::isNtFamily() const {
    return generation_ != Generation::Win9x && generation_ != Generation::Unknown;
}

UiLanguage uiLanguageFor(uint32_t lcid) {
    if (lcid == 0x0804) return UiLanguage::SimplifiedChinese;
    if (lcid == 0x0404) return UiLanguage::TraditionalChinese;
    return UiLanguage::English;
}

unsigned codePageFor(UiLanguage language) {
    switch (language) {
        case UiLanguage::SimplifiedChinese: return 936;
        case UiLanguage::TraditionalChinese: return 950;
        case UiLanguage::English: break;
    }
    return 1252;
}

}  // namespace settings
