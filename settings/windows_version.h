// Which Windows the program runs on, and the language of its user interface.
#pragma once

#include <cstdint>

namespace settings {

enum class Generation {
    Win9x,       // 95, 98, Me
    Nt4,         // NT platform, major version below 5
    Win2000,     // 5.0
    Xp,          // minor version 1 from 5 up: 5.1, and also 6.1
    Server2003,  // 5.2 and later 5.x
    Six,         // major version 6 or more with a minor version other than 1
    Unknown,     // anything else (such as Win32s): no preload list is read or written
};

class WindowsVersion {
public:
    // From the raw GetVersion value: major version in the low byte, minor in the next byte,
    // the high bit set on the 9x platform.
    explicit WindowsVersion(uint32_t getVersionValue);

    Generation generation() const { return generation_; }
    bool isNtFamily() const;
    bool is9x() const { return generation_ == Generation::Win9x; }
    // The 6.x behaviour: generation Six, and also 6.1 and later minors of 6 (Windows 7 counts
    // as XP for the generation but behaves as 6.x wherever the program tests for 6.x).
    bool isSixFamily() const { return generation_ == Generation::Six || (major_ == 6 && minor_ >= 1); }
    unsigned major() const { return major_; }
    unsigned minor() const { return minor_; }

private:
    Generation generation_;
    unsigned major_;
    unsigned minor_;
};

enum class UiLanguage { English, SimplifiedChinese, TraditionalChinese };

// 0x0804 exactly gives Simplified Chinese, 0x0404 exactly Traditional Chinese, anything else
// (other Chinese locales and sort-order variants included) English.
UiLanguage uiLanguageFor(uint32_t lcid);

// The ANSI code page the texts of a language are held in: 936, 950, or 1252 for English
// (whose texts are plain ASCII).
unsigned codePageFor(UiLanguage language);

}  // namespace settings
