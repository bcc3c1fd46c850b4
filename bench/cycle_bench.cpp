// The command-line cycle over the memory machine: a catalogue of N entries (input methods with
// their files and version information, and plain layouts), a user list of 30 rows, loaded,
// applied with the indicator switch on (as "/on" does) and loaded again by apply's last step.
//   cycle_bench ENTRIES [ROWS]
// Run under callgrind with --toggle-collect=runCycle to count the cycle alone.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/memory/memory_system.h"
#include "platform/memory/reg_text.h"
#include "platform/text.h"
#include "settings/registry.h"
#include "settings/settings_model.h"
#include "ui/texts.h"

namespace {

class SilentPrompts : public settings::UserPrompts {
public:
    bool show(const settings::MessageBoxRequest&) override { return true; }
};

// The catalogue and the user's settings as .reg text, shaped like the catalogue of a Chinese
// Windows XP: keyboard layouts on the four Chinese, Japanese and Korean languages, and every
// tenth entry an input method.
std::string machineText(int entries, int rows, std::vector<std::string>& klids) {
    const char* languages[] = {"0804", "0404", "0411", "0412"};
    std::string text = "REGEDIT4\r\n\r\n";
    for (int i = 0; i < entries; ++i) {
        std::string klid;
        if (i % 10 == 0) {
            klid = "E" + platform::hexText(static_cast<uint32_t>(i), 3) + languages[i % 4];
        } else {
            klid = platform::hexText(static_cast<uint32_t>(i), 4) + languages[i % 4];
        }
        klids.push_back(klid);
        text += "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\" + klid + "]\r\n";
        text += "\"Layout File\"=\"kbdus.dll\"\r\n";
        text += "\"Layout Text\"=\"Layout " + std::to_string(i) + "\"\r\n";
        if (klid[0] == 'E') text += "\"IME File\"=\"IME" + std::to_string(i) + ".IME\"\r\n";
        text += "\r\n";
    }
    text += "[HKEY_CURRENT_USER\\Keyboard Layout\\Preload]\r\n";
    for (int r = 0; r < rows && r < entries; ++r) {
        text += "\"" + std::to_string(r + 1) + "\"=\"" + klids[static_cast<size_t>(r)] + "\"\r\n";
    }
    text += "\r\n[HKEY_CURRENT_USER\\Control Panel\\Input Method\\Hot Keys\\00000100]\r\n";
    text += "\"Key Modifiers\"=hex:03,c0,00,00\r\n\"Virtual Key\"=hex:31,00,00,00\r\n";
    text += "\"Target IME\"=hex:" + std::string("00,00,04,e0") + "\r\n\r\n";
    return text;
}

__attribute__((noinline)) void runCycle(platform::MemoryMachine& m) {
    settings::Registry registry(m.registry);
    SilentPrompts prompts;
    settings::SettingsModel model(registry, m.system, prompts, ui::modelTexts(settings::UiLanguage::English), true);
    model.load();
    model.snapshot.indicatorSwitch = true;
    model.apply();
    std::printf("rows %zu, addable %zu\n", model.snapshot.rows.size(), model.snapshot.addable.size());
}

}  // namespace

int main(int argc, char** argv) {
    int entries = argc > 1 ? std::atoi(argv[1]) : 1000;
    int rows = argc > 2 ? std::atoi(argv[2]) : 30;
    platform::MemoryMachine m;
    m.system.lcid = 0x0409;
    m.system.codePage = 1252;
    std::vector<std::string> klids;
    auto result = platform::importRegText(m.registry, machineText(entries, rows, klids), 1252);
    if (!result.ok) {
        std::fprintf(stderr, "import: %s\n", result.describe().c_str());
        return 1;
    }
    for (int i = 0; i < entries; ++i) {
        if (klids[static_cast<size_t>(i)][0] != 'E') continue;
        std::string path = m.system.systemDir + "\\IME" + std::to_string(i) + ".IME";
        m.system.addFile(path);
        m.system.versionInfos[path] = {{0x04B00409}, {{"\\StringFileInfo\\040904B0\\FileDescription", "Input method " + std::to_string(i)}}};
    }
    runCycle(m);
    return 0;
}
