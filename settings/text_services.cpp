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

void SettingsModel::switchIndicator(Processes& processes) {
    Generation generation = version_.generation();
    bool writesCtfValues =
        generation == Generation::Xp || generation == Generation::Server2003 || generation == Generation::Nt4;
    bool six = version_.isSixFamily();
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
        processes.forgetProcessList();
        catalogueReads_.forget(registry_.machineChanges());
    };

    if (snapshot.textServicesOption && snapshot.indicatorSwitch) {
        if (writesCtfValues) setCtfValues(0, 4);
        if (!six) {
            for (const char* library : {"msutb.dll", "msctf.dll", "msimtf.dll"}) processes.registerLibrary(library, true);
            processes.start(kCtfmon);
            if (processes.runs(kCtfmon)) {
                processes.startupEntry(kInternat, true);
                processes.startupEntry(kCtfmon, true);
                registry_.setString(registry_.openOrCreate(RegRoot::CurrentUser, kRunKey), kCtfmon, kCtfmon);
            } else {
                tell(texts_.settings.ctfmonNotFound);
            }
        }
    }

    if (snapshot.indicatorOption) {
        if (writesCtfValues) setCtfValues(1, 0);
        if (!six) {
            processes.startupEntry(kCtfmon, true);
            processes.end(kCtfmon);
            processes.registerLibrary("msimtf.dll", false);
            processes.registerLibrary("msctf.dll", false);
        }
    }

    if (snapshot.indicatorOption && snapshot.indicatorSwitch && !six) {
        std::string systemDir = system_.systemDirectory() + "\\";
        if (!processes.runs(kInternat) && !system_.isFile(systemDir + kInternat)) {
            std::string programDir = platform::folderOf(system_.modulePath());
            for (const char* file : {kInternat, "indicdll.dll"}) {
                if (system_.isFile(programDir + file)) system_.copyFile(programDir + file, systemDir + file, true);
            }
            processes.start(kInternat);
        }
        if (!processes.runs(kInternat)) processes.start(kInternat);
        if (!processes.runs(kInternat) && !commandLineMode_) {
            tell(texts_.settings.internatNotFound);
        } else {
            processes.startupEntry(kInternat, true);
        }
        RegRoot root = version_.is9x() ? RegRoot::LocalMachine : RegRoot::CurrentUser;
        registry_.setString(registry_.openOrCreate(root, kRunKey), kInternat, kInternat);
    }

    if (!snapshot.indicatorSwitch) {
        if (processes.runs(kInternat)) processes.end(kInternat);
        if (processes.runs(kCtfmon)) processes.end(kCtfmon);
        processes.startupEntry(kCtfmon, true);
        processes.startupEntry(kInternat, true);
    }
}

}  // namespace settings
