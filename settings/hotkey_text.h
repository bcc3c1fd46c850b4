// The text forms of a hot key. A stored hot key is a modifier text and a key text, each the
// registry number as exactly 8 upper-case hexadecimal digits:
//   modifier text 0000SSMM: SS the side code ("80" left, "40" right, "C0" either side),
//                           MM the modifier code ("01" Alt, "02" Ctrl, "04" Shift, or a sum);
//   key text      000000KK: KK the virtual-key code.
// The editor works on a 6-character value SSMMKK; the window shows a display text such as
// "Left Ctrl+Shift+SPACE".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace hotkey {

struct KeyName {
    std::string name;  // shown to the user and typed on the command line
    std::string code;  // the virtual-key code as 2 upper-case hexadecimal digits
};

// The 91 named keys in their fixed order: the editor's key list shows them in this order after
// its "none" item. Built once; never changes.
class KeyNameTable {
public:
    static const KeyNameTable& instance();

    size_t size() const { return rows_.size(); }
    const KeyName& row(size_t index) const { return rows_.at(index); }
    // The first row whose code (or name) equals the probe after upper-casing it; -1 if none.
    int findCode(std::string_view code) const;
    int findName(std::string_view name) const;

private:
    KeyNameTable();
    std::vector<KeyName> rows_;
};

// The two side prefixes of a display text in the UI language ("Left ", "Right ").
struct SidePrefixes {
    std::string left;
    std::string right;
};

// The display text of a stored hot key. Texts shorter than 8 characters are read only as far
// as they go; what is missing matches nothing.
std::string FormatHotkeyText(std::string_view modifierText, std::string_view keyText,
                             const SidePrefixes& sides);

// Turns the three words of a command-line hot key into record texts, in place: on return the
// first holds the modifier text, the second the key text, the third the side prefix. Words it
// does not recognise stay (lower- or upper-cased), so the results are then not valid texts:
// it returns true only when all three words were recognised.
bool ParseHotkeyWords(std::string& modifierWord, std::string& keyWord, std::string& sideWord,
                      const SidePrefixes& sides);

// The characters at 1-based positions position to position+length-1, as far as the text
// goes: a short text yields fewer characters (or none), which then match no code.
std::string_view textPart(std::string_view text, size_t position, size_t length);

// The record texts of an editor value: "0000" + characters 1-4, "000000" + characters 5-6.
std::string modifierTextOf(std::string_view editorValue);
std::string keyTextOf(std::string_view editorValue);

// The modifier codes "01" to "07" and their names ("Alt", "Ctrl", "Ctrl+Alt", "Shift",
// "Alt+Shift", "Ctrl+Shift", "Ctrl+Alt+Shift"); empty for any other code.
std::string modifierName(std::string_view code);

}  // namespace hotkey
