#include "ui/keyboard_layouts.h"

#include "platform/text.h"
#include "settings/catalogue.h"
#include "settings/names.h"

namespace ui {

using settings::RegRoot;

KeyboardLayouts::KeyboardLayouts(const settings::Registry& registry, platform::System& system)
    : registry_(registry), system_(system) {
    std::vector<std::string> names;
    registry_.listSubKeys(registry_.openForRead(RegRoot::LocalMachine, settings::kLayoutCatalogueKey), names);
    names.insert(names.begin(), "00000409");
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string& k = names[i];
        if (i > 0 && (k == "00000404" || k == "00000804" || k == "00000409")) continue;
        if (!k.empty() && platform::toUpperAscii(k[0]) == 'E') continue;
        // Only a layout with a file can be chosen: OK writes that file into the input method.
        LayoutChoice layout = choiceFor(k);
        if (!layout.file.empty()) layouts_.push_back(layout);
    }
}

LayoutChoice KeyboardLayouts::choiceFor(const std::string& klid) const {
    settings::RegKey key = registry_.openForRead(RegRoot::LocalMachine, settings::catalogueKeyOf(klid));
    std::string name = settings::ResolveDisplayName(system_, registry_.getText(key, "Layout Display Name"));
    if (name.empty()) name = registry_.getText(key, "Layout Text");
    return {name, platform::upperAscii(registry_.getText(key, "Layout file")), klid};
}

void KeyboardLayouts::show(const std::string& rowText, const std::string& klid) {
    label_ = rowText;
    klid_ = klid;
    current_ = platform::upperAscii(registry_.getText(
        registry_.openForRead(RegRoot::LocalMachine, settings::catalogueKeyOf(klid)), "Layout File"));
    for (const auto& layout : layouts_) {
        if (current_ == layout.file) current_ = layout.name;
    }
}

bool KeyboardLayouts::close(int selected, bool ok) {
    choice = selected >= 0 && selected < static_cast<int>(layouts_.size()) ? selected : -1;
    if (!ok || choice < 0 || choice >= static_cast<int>(layouts_.size()) || klid_.empty()) return false;
    registry_.setString(registry_.openOrCreate(RegRoot::LocalMachine, settings::catalogueKeyOf(klid_)), "Layout file",
                        layouts_[static_cast<size_t>(choice)].file);
    return true;
}

}  // namespace ui
