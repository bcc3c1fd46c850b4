#include "settings/hotkey_text.h"

#include "platform/text.h"

namespace hotkey {
namespace {

const char* const kModifierNames[] = {"Alt", "Ctrl", "Ctrl+Alt", "Shift", "Alt+Shift", "Ctrl+Shift",
                                      "Ctrl+Alt+Shift"};
const char* const kModifierWords[] = {"alt", "ctrl", "ctrl+alt", "shift", "alt+shift", "ctrl+shift",
                                      "ctrl+alt+shift"};

}  // namespace

KeyNameTable::KeyNameTable() {
    auto add = [this](std::string name, unsigned code) { rows_.push_back({name, platform::hexText(code, 2)}); };
    for (unsigned n = 0; n <= 9; ++n) add(std::string(1, static_cast<char>('0' + n)), 0x30 + n);
    add("SPACE", 0x20);
    for (unsigned n = 1; n <= 12; ++n) add("F" + std::to_string(n), 0x6F + n);
    for (char c = 'A'; c <= 'Z'; ++c) add(std::string(1, c), static_cast<unsigned>(c));
    const std::pair<const char*, unsigned> rest[] = {
        {";", 0xBA},         {"=", 0xBB},          {",", 0xBC},         {"-", 0xBD},     {".", 0xBE},
        {"?", 0xBF},         {"`", 0xC0},          {"[", 0xDB},         {"\\", 0xDC},    {"]", 0xDD},
        {"'", 0xDE},         {"BACKSPACE", 0x08},  {"TAB", 0x09},       {"ENTER", 0x0D}, {"PAGE UP", 0x21},
        {"PAGE DOWN", 0x22}, {"END", 0x23},        {"HOME", 0x24},      {"LEFT", 0x25},  {"UP", 0x26},
        {"RIGHT", 0x27},     {"DOWN", 0x28},       {"INS", 0x2D},       {"DEL", 0x2E},   {"LEFT WINDOW", 0x5B},
        {"RIGHT WINDOW", 0x5C}, {"APPS", 0x5D},
    };
    for (const auto& r : rest) add(r.first, r.second);
    for (unsigned n = 0; n <= 9; ++n) add("NUMPAD " + std::to_string(n), 0x60 + n);
    add("NUMPAD *", 0x6A);
    add("NUMPAD +", 0x6B);
    add("NUMPAD -", 0x6D);
    add("NUMPAD .", 0x6E);
    add("NUMPAD /", 0x6F);
}

const KeyNameTable& KeyNameTable::instance() {
    static const KeyNameTable table;
    return table;
}

int KeyNameTable::findCode(std::string_view code) const {
    std::string probe = platform::upperAscii(code);
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].code == probe) return static_cast<int>(i);
    }
    return -1;
}

int KeyNameTable::findName(std::string_view name) const {
    std::string probe = platform::upperAscii(name);
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].name == probe) return static_cast<int>(i);
    }
    return -1;
}

std::string_view textPart(std::string_view text, size_t position, size_t length) {
    if (position - 1 >= text.size()) return {};
    return text.substr(position - 1, length);
}

std::string modifierName(std::string_view code) {
    for (int i = 0; i < 7; ++i) {
        if (code == platform::hexText(static_cast<uint32_t>(i + 1), 2)) return kModifierNames[i];
    }
    return {};
}

std::string FormatHotkeyText(std::string_view modifierText, std::string_view keyText,
                             const SidePrefixes& sides) {
    if (modifierText.empty() || keyText.empty()) return {};
    std::string text = modifierName(textPart(modifierText, 7, 2));
    std::string_view side = textPart(modifierText, 5, 2);
    if (side == "40") text = sides.right + text;
    if (side == "80") text = sides.left + text;
    int row = KeyNameTable::instance().findCode(textPart(keyText, 7, 2));
    if (row >= 0) text += "+" + KeyNameTable::instance().row(static_cast<size_t>(row)).name;
    return text;
}

bool ParseHotkeyWords(std::string& modifierWord, std::string& keyWord, std::string& sideWord,
                      const SidePrefixes& sides) {
    modifierWord = platform::lowerAscii(modifierWord);
    sideWord = platform::lowerAscii(sideWord);
    keyWord = platform::upperAscii(keyWord);

    bool recognised = false;
    for (int i = 0; i < 7 && !recognised; ++i) {
        if (modifierWord == kModifierWords[i]) {
            modifierWord = platform::hexText(static_cast<uint32_t>(i + 1), 2);
            recognised = true;
        }
    }
    if (sideWord == "right") {
        modifierWord = "40" + modifierWord;
        sideWord = sides.right;
    } else if (sideWord == "left") {
        modifierWord = "80" + modifierWord;
        sideWord = sides.left;
    } else if (sideWord.empty()) {
        modifierWord = "C0" + modifierWord;
    } else {
        recognised = false;
    }
    if (!modifierWord.empty()) modifierWord = "0000" + modifierWord;
    int row = keyWord.empty() ? -1 : KeyNameTable::instance().findName(keyWord);
    if (row < 0) return false;
    keyWord = "000000" + KeyNameTable::instance().row(static_cast<size_t>(row)).code;
    return recognised;
}

std::string modifierTextOf(std::string_view editorValue) {
    return "0000" + std::string(editorValue.substr(0, 4));
}

std::string keyTextOf(std::string_view editorValue) {
    return "000000" + std::string(editorValue.substr(editorValue.size() < 4 ? editorValue.size() : 4, 2));
}

}  // namespace hotkey
