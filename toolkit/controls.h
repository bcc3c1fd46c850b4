// The simple controls: buttons, check boxes, radio buttons, labels, edit boxes, drop-down
// lists, group boxes, sunken panels and the status bar. Each is created from a small Args
// struct; positions are relative to the parent's client area (a group box or a tab page is
// a parent like any window).
#pragma once

#include "toolkit/control.h"

#include <commctrl.h>

namespace toolkit {

class Button : public Control {
public:
    struct Args {
        HWND parent = nullptr;
        std::string text;
        Rect pos;                 // width 0: 75 pixels; height 0: 25 pixels
        bool isDefault = false;   // drawn as the default button
        bool takesFocus = true;   // false: a click leaves the keyboard focus where it was
        int id = 0;
    };
    bool create(const Args& a);

    std::function<void()> onClick;

    // The heavy border of the default button.
    void setDefaultLook(bool on) {
        SendMessageA(hwnd_, BM_SETSTYLE, on ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    }

protected:
    bool command(int code) override;
    bool message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void notifyClicked();
    bool takesFocus_ = true;
    bool tracking_ = false;
};

class CheckBox : public Control {
public:
    struct Args {
        HWND parent = nullptr;
        std::string text;
        Rect pos;  // width 0: sized to the text
        bool checked = false;
        int id = 0;
        int maxWidth = 0;  // sized to the text, but no wider than this (the room it has); 0: any
    };
    bool create(const Args& a);

    // Called after a click (or Space, or the accelerator) changed the state.
    std::function<void()> onClick;

    bool isChecked() const { return SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void setChecked(bool on) { SendMessageA(hwnd_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

protected:
    bool command(int code) override;
    SIZE fittedSize(HDC dc, const std::string& text) const override;
};

// An automatic radio button. Radio buttons that are siblings form one group unless a later
// one starts a new group.
class RadioButton : public Control {
public:
    struct Args {
        HWND parent = nullptr;
        std::string text;
        Rect pos;  // width 0: sized to the text
        bool checked = false;
        bool startsGroup = false;
        int id = 0;
    };
    bool create(const Args& a);
    RadioButton* asRadioButton() override { return this; }

    std::function<void()> onClick;

    bool isChecked() const { return SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    // Checking one radio button does not uncheck the others of its group; the user's click does.
    void setChecked(bool on);

protected:
    bool command(int code) override;
    SIZE fittedSize(HDC dc, const std::string& text) const override;

private:
    // Only the checked radio button of a group (or the first, when none is) is a tab stop, so
    // that Tab enters the group once and lands on the choice; the arrow keys move inside it.
    void updateGroupTabStops();
};

// Static text. Without a width it is sized to its text and refits when the text or font changes.
class Label : public Control {
public:
    struct Args {
        HWND parent = nullptr;
        std::string text;
        Rect pos;
        bool accelerator = false;  // "&" marks an accelerator instead of being shown
        int id = 0;
    };
    bool create(const Args& a);

protected:
    SIZE fittedSize(HDC dc, const std::string& text) const override;

private:
    bool accelerator_ = false;
};

class Edit : public Control {
public:
    struct Args {
        HWND parent = nullptr;
        std::string text;
        Rect pos;  // width 0: 121 pixels; height 0: 21 pixels
        bool readOnly = false;
        int id = 0;
    };
    bool create(const Args& a);

    // The text changed, by the user or by setText.
    std::function<void()> onChange;

    void setReadOnly(bool on) { SendMessageA(hwnd_, EM_SETREADONLY, on ? TRUE : FALSE, 0); }
    void selectAll() { SendMessageA(hwnd_, EM_SETSEL, 0, -1); }

protected:
    bool command(int code) override;
};

// A drop-down list that cannot be typed into.
class ComboBox : public Control {
public:
    struct Args {
        HWND parent = nullptr;
        Rect pos;              // width 0: 121 pixels; height: of the dropped list, 0 for 200
        int id = 0;
    };
    bool create(const Args& a);

    // The user chose another item (not called when the program selects one).
    std::function<void()> onSelectionChanged;

    int add(const std::string& text) {
        return static_cast<int>(SendMessageA(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    void clear() { SendMessageA(hwnd_, CB_RESETCONTENT, 0, 0); }
    int count() const { return static_cast<int>(SendMessageA(hwnd_, CB_GETCOUNT, 0, 0)); }
    int selectedIndex() const { return static_cast<int>(SendMessageA(hwnd_, CB_GETCURSEL, 0, 0)); }
    // -1 clears the selection. False when the index is not an item.
    bool select(int index) {
        return SendMessageA(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0) != CB_ERR || index == -1;
    }
    std::string itemText(int index) const;
    // The text of the selected item, empty when none is selected.
    std::string selectedText() const { return itemText(selectedIndex()); }

protected:
    bool command(int code) override;
};

// A group box that is the parent of its controls: they are created with the group box as
// parent and positions relative to its top-left corner, and their notifications reach them
// through it. Keyboard navigation enters it (WS_EX_CONTROLPARENT).
class GroupBox : public Control {
public:
    struct Args {
        HWND parent = nullptr;
        std::string text;  // may be empty: a frame without caption
        Rect pos;
        int id = 0;
    };
    bool create(const Args& a);

protected:
    bool message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

// A panel with a sunken edge: a read-only field showing one line of text (left-aligned, centred
// vertically, a little away from the edge), or, when narrow and without text, a divider line.
// Mouse moves reach onMouseMove. It paints itself, so it looks the same on every Windows.
class SunkenPanel : public Control {
public:
    struct Args {
        HWND parent = nullptr;
        std::string text;
        Rect pos;
        int background = -1;  // a system colour index such as COLOR_WINDOW, or -1
        int id = 0;
    };
    bool create(const Args& a);

protected:
    bool message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void paint(HDC dc);
    HFONT font_ = nullptr;
};

// A one-part status bar along the bottom of its parent.
class StatusBar : public Control {
public:
    struct Args {
        HWND parent = nullptr;
        int id = 0;
    };
    bool create(const Args& a);

    void setStatus(const std::string& text) {
        SendMessageA(hwnd_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    std::string status() const;
};

}  // namespace toolkit
