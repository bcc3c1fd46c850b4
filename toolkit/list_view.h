// A report-style list view: columns, small icons, whole-row selection, grid lines, and in-place
// editing of the first column that can be switched on and off while the program runs.
#pragma once

#include "toolkit/control.h"

#include <commctrl.h>

namespace toolkit {

class ImageList;

class ListView : public Control {
public:
    struct Args {
        HWND parent = nullptr;
        Rect pos;
        bool editable = false;  // in-place editing of the first column
        int id = 0;
    };
    bool create(const Args& a);

    // Where a point of the list's client area falls; item and subItem are -1 off the items.
    struct Hit {
        int item = -1;
        int subItem = -1;
        int x = 0;
        int y = 0;
    };
    // The selection of one item changed (item -1: of every item at once).
    struct SelectionChange {
        int item = -1;
        bool wasSelected = false;
        bool selected = false;
    };

    std::function<void(const SelectionChange&)> onItemChanged;
    std::function<void(const Hit&)> onClick;
    std::function<void(const Hit&)> onDoubleClick;
    std::function<void(int virtualKey)> onKeyDown;
    // In-place editing starts; false refuses it. Without a handler every edit may start.
    std::function<bool(int item)> onBeginLabelEdit;
    // In-place editing ended with a text; true keeps the text as the item's label. Not called
    // when the user cancelled with Esc. Without a handler every text is kept.
    std::function<bool(int item, const std::string& text)> onEndLabelEdit;

    void setEditable(bool on);
    bool isEditable() const { return (GetWindowLongA(hwnd_, GWL_STYLE) & LVS_EDITLABELS) != 0; }
    // Starts in-place editing of the item's label; the list takes the focus. False when the list
    // refused (editing switched off, no such item, or the begin handler said no).
    bool editLabel(int item);

    int addColumn(const std::string& text, int width);
    int columnCount() const { return columns_; }
    void setColumnWidth(int column, int width) {
        SendMessageA(hwnd_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0));
    }
    int columnWidth(int column) const {
        return static_cast<int>(SendMessageA(hwnd_, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
    }
    // Small icons; the list only borrows the image list.
    void setImageList(ImageList& images);

    int count() const { return static_cast<int>(SendMessageA(hwnd_, LVM_GETITEMCOUNT, 0, 0)); }
    // Inserts an item before index (at the end when index >= count); returns its index or -1.
    int insertItem(int index, const std::string& text, int image = -1);
    int addItem(const std::string& text, int image = -1) { return insertItem(count(), text, image); }
    bool setItemText(int item, int subItem, const std::string& text);
    std::string itemText(int item, int subItem) const;
    bool setItemImage(int item, int image);
    bool deleteItem(int item) { return SendMessageA(hwnd_, LVM_DELETEITEM, static_cast<WPARAM>(item), 0) != FALSE; }
    void clear() { SendMessageA(hwnd_, LVM_DELETEALLITEMS, 0, 0); }

    int selectedIndex() const {
        return static_cast<int>(SendMessageA(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }
    // Selects and focuses the item and scrolls it into view; -1 clears the selection.
    void select(int item);

    Hit hitTest(int x, int y) const;
    // The item's whole row in client coordinates; false when there is no such item.
    bool itemRect(int item, RECT& r) const;
    int topIndex() const { return static_cast<int>(SendMessageA(hwnd_, LVM_GETTOPINDEX, 0, 0)); }

protected:
    bool notify(NMHDR* header, LRESULT& result) override;

private:
    int columnAt(int item, int x) const;
    Hit hitOfClick(const NMHDR* header) const;
    bool endLabelEdit(int item, const std::string& text);
    int columns_ = 0;
};

}  // namespace toolkit
