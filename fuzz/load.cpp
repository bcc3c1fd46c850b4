// Loading from every value the program reads, of any type and length, on the Chinese XP machine
// (read as XP, 7 or 98), by a command-line run or by the window's start-up: apply keeps what it
// must and is a fixed point.
#include "fuzz/fuzz.h"

namespace {

struct Value {
    platform::RegRoot root;
    std::string path, name;
};

std::vector<Value> values() {
    using platform::RegRoot;
    const std::string layouts = "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\";
    const std::string hotKeys = "Control Panel\\Input Method\\Hot Keys\\";
    std::vector<Value> out;
    for (const char* n : {"1", "2", "3", "4"}) out.push_back({RegRoot::CurrentUser, "Keyboard Layout\\Preload", n});
    out.push_back({RegRoot::CurrentUser, "Keyboard Layout\\Preload\\1", ""});
    for (const char* klid : {"E0010804", "00000409", "E00E0804", "E0030804"}) {
        for (const char* n : {"Layout Text", "Layout Display Name", "IME File"}) out.push_back({RegRoot::LocalMachine, layouts + klid, n});
    }
    for (const char* record : {"00000100", "00000101", "00000010"}) {
        for (const char* n : {"Key Modifiers", "Virtual Key", "Target IME"}) out.push_back({RegRoot::CurrentUser, hotKeys + record, n});
    }
    for (const char* n : {"Hotkey", "Language Hotkey", "Layout Hotkey", ""}) out.push_back({RegRoot::CurrentUser, "Keyboard Layout\\Toggle", n});
    out.push_back({RegRoot::CurrentUser, "Keyboard Layout", "Attributes"});
    out.push_back({RegRoot::CurrentUser, "Control Panel\\Input Method", "Show Status"});
    return out;
}

}  // namespace

// Input: a byte for the Windows version and the kind of run, then entries of value, type (0xFF deletes) and length bytes,
// each followed by its data.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<Value> table = values();
    if (size == 0) return 0;
    testing_support::ModelFixture f;
    testing_support::seedXpChinese(f);
    const uint32_t versions[] = {testing_support::kWinXp, testing_support::kWin7, testing_support::kWin98};
    f.m.system.versionValue = versions[data[0] % 3];
    for (size_t i = 1; i + 3 <= size;) {
        const Value& v = table[data[i] % table.size()];
        uint8_t type = data[i + 1];
        size_t length = std::min<size_t>(data[i + 2], size - i - 3);
        auto key = f.m.registry.create(v.root, v.path);
        if (type == 0xFF) {
            key->deleteValue(v.name);
        } else {
            key->set(v.name, type % 12, std::vector<uint8_t>(data + i + 3, data + i + 3 + length));
        }
        i += 3 + length;
    }
    if (data[0] % 6 < 3) {
        applyIsAFixedPoint(f, f.start(true), true);
        return 0;
    }
    // The window's start-up: every name read, and input methods that share a file dropped.
    ui::MainController controller(f.registry, f.m.system, f.prompts);
    controller.create();
    controller.initialise();
    applyIsAFixedPoint(f, controller.model(), false);
    return 0;
}
