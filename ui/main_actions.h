// What the main window's controls do when the user works them, as plain behaviour over the
// settings model. The Win32 window forwards each event here and then shows the model again.
#pragma once

#include <optional>
#include <string>

#include "settings/settings_model.h"
#include "ui/keyboard_layouts.h"

namespace ui {

class MainActions {
public:
    MainActions(settings::SettingsModel& model, platform::System& system, std::string keyboardTitle)
        : model_(model), system_(system), keyboardTitle_(std::move(keyboardTitle)) {}

    // "Enable/Disable": the style group and both options follow the switch.
    void indicatorSwitchClicked(bool checked);
    // The two style options. Clicking the option that is already on changes nothing.
    void indicatorOptionClicked();
    void textServicesOptionClicked();
    // The language and layout switches enable their key choices while checked.
    void languageSwitchClicked(bool checked);
    void layoutSwitchClicked(bool checked);
    // The two key choices never hold the same keys.
    void languageKeyChosen(int choice);
    void layoutKeyChosen(int choice);

    // The add box's selection changed, or the pointer moved over it.
    void addBoxSelected(int index);
    void addBoxHover();
    // The name or file edit changed, page "Advanced" was clicked or shown.
    void installGroupChanged();
    // A tab page was shown (page 2 is "Advanced").
    void pageShown(int page);
    // The browse dialog closed with a file (or without, when nothing).
    void browsed(const std::optional<std::string>& path);

    // A click in the list: with no row selected afterwards, the last row is selected.
    void listClicked();
    // The pointer at y (client coordinates) over the list whose first row starts at firstRowTop.
    void listHover(int y, int firstRowTop);
    // The end of an in-place edit of the selected row's name; false refuses it.
    bool renameSelected(const std::string& text);
    // F2 starts renaming only while the text-services option is on.
    bool canStartRename() const { return model_.snapshot.textServicesOption && model_.window.listEditable; }

    // The Property button: the input method's own configuration, over `owner`.
    void openProperties(uintptr_t owner);

private:
    void refillForStyle();
    void resetKeyChoicesForIndicator();
    void resetKeyChoicesForTextServices();

    settings::SettingsModel& model_;
    platform::System& system_;
    std::string keyboardTitle_;
    std::string lastBrowsed_;
};

}  // namespace ui
