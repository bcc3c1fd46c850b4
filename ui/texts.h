// The texts of the main window, its messages, its system menu and about box, and of the
// keyboard-layout dialog, in the language of the run. Every field holds bytes of the
// language's code page (936 or 950; English is ASCII).
#pragma once

#include <string>

#include "settings/settings_model.h"
#include "settings/windows_version.h"

namespace ui {

struct KeyboardDialogTexts {
    std::string title;  // also part of the list's status text
    std::string ok;
    std::string cancel;
    std::string currentLabel;  // label of the current layout
    std::string newLabel;      // label of the layout choice
};

// The keyboard-layout dialog picks its language itself when it is created.
KeyboardDialogTexts keyboardDialogTexts(settings::UiLanguage language);

struct WindowTexts {
    std::string caption;      // the application's caption, also the help box's title
    std::string version;      // put after the caption in the window title
    std::string windowTitle;  // caption + version

    std::string normalTab;
    std::string otherTab;  // also the group "Other" on that page
    std::string advancedTab;

    std::string ok;
    std::string apply;
    std::string exit;
    std::string up;
    std::string down;
    std::string deleteEntry;  // removes the selected row from the list
    std::string add;
    std::string hotkey;  // entry hot-key button, and the toggle hot-key button before loading
    std::string property;
    std::string keyboard;
    std::string nameColumn;
    std::string hotkeyColumn;  // also starts the status line of a row with a hot key

    std::string enableDisable;  // indicator switch
    std::string imeStyle;       // group of the two style options
    std::string inputLocales;   // indicator option (internat.exe)
    std::string textServices;   // text-services option (ctfmon.exe)
    std::string switchInputLanguages;  // language switch while the text-services option is on
    std::string switchIme;             // language switch while the indicator option is on
    std::string switchKeyboardLayouts;
    std::string turnOffCapsLock;
    std::string showStatus;
    std::string otherToggleGroup;
    // Toggle chooser items, in slot order.
    std::string imeToggle;
    std::string shapeToggle;
    std::string symbolToggle;

    std::string deleteFromRegistryGroup;
    std::string registryDelete;
    std::string installImeGroup;
    std::string layoutTextLabel;
    std::string imeFileLabel;
    std::string install;

    // The same in every language.
    std::string ctrlShift = "Ctrl+Shift";  // key choice 0
    std::string altShift = "Alt+Shift";    // key choice 1
    std::string graveAccent = "`";         // key choice 2
    std::string capsLockMode = "Caps Lock";
    std::string shiftMode = "Shift";
    std::string browse = "...";
    std::string browseFilter = "*.ime|*.ime";

    // Messages.
    std::string duplicateHotkey;
    std::string leftPrefix;   // side prefixes of a hot-key text
    std::string rightPrefix;
    std::string warningCaption;        // caption of the delete question
    std::string deleteQuestionPrefix;  // the question starts with this...
    std::string deleteQuestionSuffix;  // ...and ends with this, closing double quote included

    // System menu and about box.
    std::string commandLineSwitchesItem;
    std::string aboutItem;
    std::string aboutCaption;
    std::string aboutText;  // author line, date line and web address, joined by single CRs

    KeyboardDialogTexts keyboardDialog;
};

WindowTexts windowTexts(settings::UiLanguage language);

// The texts the settings model needs, taken from the window's texts and the settings texts.
settings::ModelTexts modelTexts(settings::UiLanguage language);

}  // namespace ui
