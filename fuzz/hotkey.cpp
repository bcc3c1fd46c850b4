// Hot-key texts: any two texts format without fault, and the words of a command-line hot key
// ("ctrl+shift_8_left") parse into record texts that format as the side, the modifiers and the
// key they named, whose words parse back to the same record texts.
#include "cli/switch_list.h"
#include "fuzz/fuzz.h"
#include "settings/hotkey_text.h"
#include "platform/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace hotkey;
    std::string text(reinterpret_cast<const char*>(data), size);
    const SidePrefixes sides{"Left ", "Right "};
    FormatHotkeyText(text.substr(0, size / 2), text.substr(size / 2), sides);
    std::vector<std::string> words = cli::SplitText("_", text);
    words.resize(3);
    std::string modifier = words[0], key = words[1], side = words[2];
    ParseHotkeyWords(modifier, key, side, sides);

    std::string modifierName, sideWord = platform::lowerAscii(words[2]);
    for (const char* code : {"01", "02", "03", "04", "05", "06", "07"}) {
        if (platform::equalsNoCase(hotkey::modifierName(code), words[0])) modifierName = hotkey::modifierName(code);
    }
    int row = KeyNameTable::instance().findName(words[1]);
    if (modifierName.empty() || row < 0 || !(sideWord.empty() || sideWord == "left" || sideWord == "right")) return 0;
    std::string keyName = KeyNameTable::instance().row(static_cast<size_t>(row)).name;
    std::string prefix = sideWord == "left" ? sides.left : sideWord == "right" ? sides.right : "";
    std::string shown = FormatHotkeyText(modifier, key, sides);
    require(shown == prefix + modifierName + "+" + keyName, "a parsed hot key shows what it named", text + " -> " + shown);
    std::string modifier2 = modifierName, key2 = keyName;
    ParseHotkeyWords(modifier2, key2, sideWord, sides);
    require(modifier2 == modifier && key2 == key, "a shown hot key parses back", text + " -> " + shown);
    return 0;
}
