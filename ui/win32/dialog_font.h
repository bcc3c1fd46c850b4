// The character height of the program's dialogs: 11 pixels on NT 4, 2000, XP and the 6.x
// generation, 12 on the 9x family and on Server 2003.
#pragma once

#include "settings/windows_version.h"

namespace ui {

inline int dialogFontHeight(const settings::WindowsVersion& version) {
    switch (version.generation()) {
        case settings::Generation::Nt4:
        case settings::Generation::Win2000:
        case settings::Generation::Xp:
        case settings::Generation::Six:
            return 11;
        default:
            return version.isSixFamily() ? 11 : 12;
    }
}

// The main window: 11 pixels on the whole NT family, 12 on the 9x family.
inline int mainFontHeight(const settings::WindowsVersion& version) { return version.isNtFamily() ? 11 : 12; }

}  // namespace ui
