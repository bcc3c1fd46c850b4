// Installing input methods into the keyboard-layout catalogue and removing entries from it.
#pragma once

#include <cstdint>
#include <string>

#include "settings/settings_model.h"

namespace cli {

// The texts of the registry Delete question, in the UI language.
struct DeleteQuestionTexts {
    std::string caption;  // "Warning!"
    std::string prefix;   // "Do you want to delete "
    std::string suffix;   // "\" ?"
};

class Installer {
public:
    Installer(settings::SettingsModel& model, const settings::Registry& registry, platform::System& system,
              settings::UserPrompts& prompts, DeleteQuestionTexts texts)
        : model_(model), registry_(registry), system_(system), prompts_(prompts), texts_(std::move(texts)) {}

    // Applies what has changed so far, installs the file of the "IME file" edit under the text
    // of the "Layout Text" edit, shows the new entry's KLID, names the entry, loads again and
    // enables the entry in the language profile when the system put it into the list.
    // Returns the new layout's handle, 0 when the install failed.
    uint32_t InstallInputMethod();

    // Deletes the catalogue key of addable entry `index` and takes the entry out of the add box;
    // false when there is no such entry or the registry refused the delete.
    bool RemoveCatalogueEntry(size_t index);

    // The "Delete from Registry" button: asks first, then removes the add box's entry.
    void deleteSelectedEntry();

    // A preview installs nothing: it shows no box for the layout it did not make.
    bool preview = false;

private:
    settings::SettingsModel& model_;
    const settings::Registry& registry_;
    platform::System& system_;
    settings::UserPrompts& prompts_;
    DeleteQuestionTexts texts_;
};

}  // namespace cli
