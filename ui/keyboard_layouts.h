// The keyboard-layout dialog's behaviour: which plain layout an input method sits on, and
// putting it on another. The choice is written straight into the catalogue on OK.
#pragma once

#include <string>
#include <vector>

#include "platform/system.h"
#include "settings/registry.h"

namespace ui {

struct LayoutChoice {
    std::string name;
    std::string file;  // "Layout File", upper case
    std::string klid;
};

class KeyboardLayouts {
public:
    // Builds the layout list once: the US layout first, then every plain layout of the
    // catalogue but the two Chinese US-keyboard entries, in enumeration order; only layouts
    // with a "Layout File".
    KeyboardLayouts(const settings::Registry& registry, platform::System& system);

    const std::vector<LayoutChoice>& layouts() const { return layouts_; }

    // Before each showing: the row's first-column text and KLID.
    void show(const std::string& rowText, const std::string& klid);
    const std::string& inputMethodLabel() const { return label_; }
    // The row's layout file, named by the first listed layout that uses it.
    const std::string& currentLayout() const { return current_; }

    // The chosen item, -1 for none; it stays chosen for the next showing.
    int choice = -1;
    // The dialog closes with item `selected` chosen (-1 for none), by OK or not: the choice
    // stays for the next showing either way. OK writes the chosen layout's file into the entry;
    // false when nothing was written (no OK, or no layout chosen).
    bool close(int selected, bool ok);

private:
    LayoutChoice choiceFor(const std::string& klid) const;

    const settings::Registry& registry_;
    platform::System& system_;
    std::vector<LayoutChoice> layouts_;
    std::string label_;
    std::string current_;
    std::string klid_;
};

}  // namespace ui
