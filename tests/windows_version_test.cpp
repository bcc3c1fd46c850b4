#include <gtest/gtest.h>

#include "settings/windows_version.h"
#include "ui/win32/dialog_font.h"

using settings::Generation;
using settings::WindowsVersion;

namespace {

struct VersionCase {
    const char* windows;
    uint32_t getVersion;  // as the real GetVersion returns it
    Generation generation;
    bool sixFamily;
    bool ntFamily;
    int mainFont, dialogFont;  // character heights of the main window and of the dialogs
};

// Values as GetVersion reports them on each Windows (Windows 10 with a manifest that
// declares it; without one it reports 6.2 like Windows 8).
const VersionCase kVersions[] = {
    {"95", 0xC3B60004, Generation::Win9x, false, false, 12, 12},
    {"98", 0xC0000A04, Generation::Win9x, false, false, 12, 12},
    {"Me", 0xC0005A04, Generation::Win9x, false, false, 12, 12},
    {"NT 4", 0x05650004, Generation::Nt4, false, true, 11, 11},
    {"2000", 0x08930005, Generation::Win2000, false, true, 11, 11},
    {"XP", 0x0A280105, Generation::Xp, false, true, 11, 11},
    {"Server 2003", 0x0ECE0205, Generation::Server2003, false, true, 11, 12},
    {"Vista", 0x17720006, Generation::Six, true, true, 11, 11},
    {"7", 0x1DB10106, Generation::Xp, true, true, 11, 11},
    {"8", 0x23F00206, Generation::Six, true, true, 11, 11},
    {"8.1", 0x25800306, Generation::Six, true, true, 11, 11},
    {"10", 0x47BA000A, Generation::Six, true, true, 11, 11},
    {"Win32s on 3.1", 0x80000A03, Generation::Unknown, false, false, 12, 12},
};

TEST(WindowsVersion, ClassifiesEveryGeneration) {
    for (const auto& c : kVersions) {
        WindowsVersion v(c.getVersion);
        EXPECT_EQ(c.generation, v.generation()) << "Windows " << c.windows;
        EXPECT_EQ(c.sixFamily, v.isSixFamily()) << "Windows " << c.windows;
        EXPECT_EQ(c.ntFamily, v.isNtFamily()) << "Windows " << c.windows;
        EXPECT_EQ(c.mainFont, ui::mainFontHeight(v)) << "Windows " << c.windows;
        EXPECT_EQ(c.dialogFont, ui::dialogFontHeight(v)) << "Windows " << c.windows;
    }
    EXPECT_EQ(settings::UiLanguage::TraditionalChinese, settings::uiLanguageFor(0x0404));
}

}  // namespace
