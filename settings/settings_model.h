// The settings model: the snapshot and the window state, with the operations that load, apply
// and edit them. The main window owns one; the command line drives the same one.
#pragma once

#include <string>

#include "settings/hotkey_text.h"
#include "platform/system.h"
#include "settings/catalogue.h"
#include "settings/processes.h"
#include "settings/prompts.h"
#include "settings/registry.h"
#include "settings/settings_texts.h"
#include "settings/snapshot.h"
#include "settings/windows_version.h"

namespace settings {

// The texts the model shows or writes, in the UI language (bytes in its code page).
struct ModelTexts {
    std::string appCaption;    // title of the model's message boxes
    std::string hotkeyColumn;  // starts the status line of a row with a hot key
    hotkey::SidePrefixes sides;
    SettingsTexts settings;
    RepairLayoutTexts repair;
};

extern const char kPreloadKey[];      // "Keyboard Layout\preload"
extern const char kHotKeysKey[];      // "Control Panel\Input Method\Hot Keys"
extern const char kToggleKey[];       // "Keyboard Layout\Toggle"

// Direct-switch records are numbered from 0x100; a record's key is "Hot Keys\00000" followed by
// its number in three upper-case hexadecimal digits.
constexpr uint32_t kFirstHotkeyRecord = 0x100;
std::string hotkeyRecordKey(uint32_t number);
// The numbers from `first` to `last` whose record key exists, in order, from one listing of "Hot
// Keys": most numbers the program looks at have no key, and opening each would ask for every one.
std::vector<uint32_t> hotkeyRecords(const Registry& registry, uint32_t first, uint32_t last);

class SettingsModel {
public:
    SettingsModel(const Registry& registry, platform::System& system, UserPrompts& prompts, ModelTexts texts,
                  bool commandLineMode);
    ~SettingsModel();

    SettingsSnapshot snapshot;
    WindowState window;

    // Reads everything from the registry and the running system.
    void load();
    // Writes everything back, reloads the system's layouts, switches the language indicator
    // and loads again. A command-line run applies only what it was asked to: nothing at all
    // (false) when no setting changed since the load and no switch asked for the indicator, and
    // the indicator steps only when one did.
    bool apply();
    bool switchesIndicator = true;  // set by a command-line run: one of its switches asked for it
    // True when a setting that apply writes differs from what the last load read (command-line
    // runs only; the window always applies).
    bool changedSinceLoad() const;
    // On Windows 8 and later (by the real version), where the user's language profile rebuilds
    // the preload list at sign-in, tells the profile what changed in the list since the last
    // load: each entry added is enabled, each entry gone from every row disabled, and a new
    // first row made the default. Text services and untouched entries stay as Windows has them,
    // and so does everything when the list is left empty (Windows keeps one input method).
    // `installed`: an entry the system put into the list with an install, which the load after
    // it read, counted as added.
    void updateLanguageProfile(const std::string& installed = {});

    // List editing: add the add box's selected entry, remove, move the selected row.
    void addSelected();
    void removeSelected();
    void moveUp();
    void moveDown();
    // Removes later rows whose input method shares its file with an earlier row, deleting their
    // catalogue keys at once. Run once at start-up.
    void dropDuplicateInputMethods();
    // A command-line run shows no window, so its load leaves names unread: the add box's, and
    // those of rows whose entry has a "Layout Text". They are read here, for row or entry `index`
    // or (-1) every one, when a switch first needs them, and give the texts the window would
    // have shown after that load.
    void nameRows(int index = -1);
    void nameAddable(int index = -1);

    // Selects a row as a click would, running the selection handler; -1 clears the selection.
    void selectRow(int index);

    // The enabled states (and the add box's entry) that follow from the model as it is now.
    ControlStates controlStates() const;

    const WindowsVersion& version() const { return version_; }
    const ModelTexts& texts() const { return texts_; }
    // A command-line run goes from its load to its end without waiting for the user (but for a
    // box it shows, after which it reads again): its catalogues share what they read.
    Catalogue catalogue() const;

private:
    // Loading, step by step, with the process list and catalogue reads kept so far.
    void loadSettings();
    // Empties the kept process list and catalogue reads, so that the next steps read afresh.
    void forgetWhatWasRead();
    void loadIndicatorChoice();
    void loadPreloadRows();
    void loadHotkeyRecords();
    void loadToggleSlots();
    void loadAddableEntries();
    void loadSwitchKeys();
    void selectionHandler();
    std::string shownNameOf(const CatalogueRow& names) const;  // as the last load chose
    void nameRow(PreloadRow& row, const Catalogue& entries) const;  // its names and shown name

    // Applying, step by step.
    void writePendingDisplayNames();
    void writePreloadList();
    void writeHotkeyRecords();
    void writeToggleSlots();
    void writeSwitchKeys();
    void writeCapsLockMode();
    void reloadLayouts();
    void removeUnusableInputMethods();
    void switchIndicator();

    // List editing.
    void exchangeRows(size_t a, size_t b);
    void removeRow(size_t index);

    std::string toggleKeyOf(int slot) const;  // empty when the locale has no key for the slot

    const Registry& registry_;
    platform::System& system_;
    UserPrompts& prompts_;
    ModelTexts texts_;
    bool commandLineMode_;
    WindowsVersion version_;
    // The running programs: taken again by each load, and by the window's apply; kept until
    // the program starts or ends one, or shows a box.
    Processes processes_;
    mutable CatalogueReads catalogueReads_;
    bool loadedIndicatorOption_ = true;  // the last load's: rows and add box show classic names
    SettingsSnapshot loaded_;            // what the last load read
};

}  // namespace settings
