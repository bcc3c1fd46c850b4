// Switching the language indicator between the indicator program (internat.exe) and the
// text-services monitor (ctfmon.exe), or turning it off: the programs, their start-up entries,
// the text-services libraries and values.
#include "platform/text.h"
#include "settings/settings_model.h"

namespace settings {

namespace {

const char kCtfKey[] = "Software\\Microsoft\\CTF";
const char kLangBarKey[] = "Software\\Microsoft\\CTF\\LangBar";
const char kInternat[] = "internat.exe";
const char kCtfmon[] = "ctfmon.exe";

}  // namespace

void SettingsModel::switchIndicator() {
    Generation generation = version_.generation();
    bool writesCtfValues =
        generation == Generation::Xp || generation == Generation::Server2003 || generation == Generation::Nt4;
    bool six = version_.isSixFamily();
    // The programs are started by their full path, never looked for in this program's folder.
    std::string systemDir = system_.systemDirectory() + "\\";
    auto setCtfValues = [&](uint32_t disableThreadInputManager, uint32_t showStatus) {
        registry_.setNumber(registry_.openOrCreate(RegRoot::CurrentUser, kCtfKey), "Disable Thread Input Manager",
                            disableThreadInputManager);
        registry_.setNumber(registry_.openOrCreate(RegRoot::CurrentUser, kLangBarKey), "ShowStatus", showStatus);
    };
    auto tell = [&](const std::string& text) {
        MessageBoxRequest box;
        box.text = text;
        box.caption = texts_.appCaption;
        box.foreground = true;
        prompts_.show(box);
        forgetWhatWasRead();  // the user may have changed anything meanwhile
    };

    if (snapshot.textServicesOption && snapshot.indicatorSwitch) {
        if (writesCtfValues) setCtfValues(0, 4);
        if (!six) {
            for (const char* library : {"msutb.dll", "msctf.dll", "msimtf.dll"}) processes_.registerLibrary(library, true);
            processes_.start(systemDir + kCtfmon);
            if (processes_.runs(kCtfmon)) {
                processes_.startupEntry(kInternat, true);
                processes_.startupEntry(kCtfmon, true);
                registry_.setString(registry_.openOrCreate(RegRoot::CurrentUser, kRunKey), kCtfmon, kCtfmon);
            } else {
                tell(texts_.settings.ctfmonNotFound);
            }
        }
    }

    if (snapshot.indicatorOption) {
        if (writesCtfValues) setCtfValues(1, 0);
        if (!six) {
            processes_.startupEntry(kCtfmon, true);
            processes_.end(kCtfmon);
            processes_.registerLibrary("msimtf.dll", false);
            processes_.registerLibrary("msctf.dll", false);
        }
    }

    if (snapshot.indicatorOption && snapshot.indicatorSwitch && !six) {
        // 9x keeps it in the Windows folder, the system folder's parent.
        std::string internat = systemDir + kInternat;
        if (version_.is9x() && !system_.isFile(internat)) {
            internat = platform::folderOf(system_.systemDirectory()) + kInternat;
        }
        if (!processes_.runs(kInternat)) processes_.start(internat);
        if (!processes_.runs(kInternat) && !commandLineMode_) {
            tell(texts_.settings.internatNotFound);
        } else {
            processes_.startupEntry(kInternat, true);
        }
        RegRoot root = version_.is9x() ? RegRoot::LocalMachine : RegRoot::CurrentUser;
        registry_.setString(registry_.openOrCreate(root, kRunKey), kInternat, kInternat);
    }

    if (!snapshot.indicatorSwitch) {
        if (processes_.runs(kInternat)) processes_.end(kInternat);
        if (processes_.runs(kCtfmon)) processes_.end(kCtfmon);
        processes_.startupEntry(kCtfmon, true);
        processes_.startupEntry(kInternat, true);
    }
}

}  // namespace settings
