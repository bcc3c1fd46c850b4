#include "toolkit/list_view.h"

#include <vector>

#include "toolkit/graphics.h"

namespace toolkit {

bool ListView::create(const Args& a) {
    initCommonControls();
    Creation c{WC_LISTVIEWA, ""};
    // The image list belongs to an ImageList object, so the list must not destroy it.
    c.style = LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | WS_TABSTOP |
              (a.editable ? LVS_EDITLABELS : 0);
    c.exStyle = WS_EX_CLIENTEDGE;
    c.parent = a.parent;
    c.pos = a.pos;
    c.id = a.id;
    if (!Control::create(c)) return false;
    // Ignored by the common controls of Windows 95 without Internet Explorer 3.
    const LPARAM extended = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES;
    SendMessageA(hwnd_, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    return true;
}

void ListView::setEditable(bool on) {
    LONG style = GetWindowLongA(hwnd_, GWL_STYLE);
    LONG wanted = on ? (style | LVS_EDITLABELS) : (style & ~LVS_EDITLABELS);
    if (wanted != style) SetWindowLongA(hwnd_, GWL_STYLE, wanted);
}

bool ListView::editLabel(int item) {
    if (!isEditable() || item < 0 || item >= count()) return false;
    SetFocus(hwnd_);
    return SendMessageA(hwnd_, LVM_EDITLABELA, static_cast<WPARAM>(item), 0) != 0;
}

int ListView::addColumn(const std::string& text, int width) {
    LVCOLUMNA column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<char*>(text.c_str());
    column.iSubItem = columns_;
    int index = static_cast<int>(SendMessageA(hwnd_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(columns_),
                                              reinterpret_cast<LPARAM>(&column)));
    if (index >= 0) ++columns_;
    return index;
}

void ListView::setImageList(ImageList& images) {
    SendMessageA(hwnd_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images.handle()));
}

int ListView::insertItem(int index, const std::string& text, int image) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | (image >= 0 ? LVIF_IMAGE : 0);
    item.iItem = index;
    item.pszText = const_cast<char*>(text.c_str());
    item.iImage = image;
    return static_cast<int>(SendMessageA(hwnd_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

bool ListView::setItemText(int item, int subItem, const std::string& text) {
    LVITEMA lv{};
    lv.iSubItem = subItem;
    lv.pszText = const_cast<char*>(text.c_str());
    return SendMessageA(hwnd_, LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv)) != FALSE;
}

std::string ListView::itemText(int item, int subItem) const {
    if (item < 0 || item >= count()) return {};
    // The list answers with as much as fits; a full buffer may mean a longer text.
    for (size_t size = 256; size <= 65536; size *= 4) {
        std::vector<char> buffer(size, '\0');
        LVITEMA lv{};
        lv.iSubItem = subItem;
        lv.pszText = buffer.data();
        lv.cchTextMax = static_cast<int>(size);
        LRESULT length = SendMessageA(hwnd_, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
        if (length < 0) return {};
        if (static_cast<size_t>(length) < size - 1) return std::string(buffer.data(), static_cast<size_t>(length));
    }
    return {};
}

bool ListView::setItemImage(int item, int image) {
    LVITEMA lv{};
    lv.mask = LVIF_IMAGE;
    lv.iItem = item;
    lv.iImage = image;
    return SendMessageA(hwnd_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&lv)) != FALSE;
}

void ListView::select(int item) {
    LVITEMA lv{};
    lv.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    if (item < 0) {
        lv.state = 0;
        lv.stateMask = LVIS_SELECTED;
        SendMessageA(hwnd_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&lv));
        return;
    }
    lv.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(hwnd_, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
    SendMessageA(hwnd_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
}

bool ListView::itemRect(int item, RECT& r) const {
    if (item < 0 || item >= count()) return false;
    r.left = LVIR_BOUNDS;
    return SendMessageA(hwnd_, LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r)) != FALSE;
}

int ListView::columnAt(int item, int x) const {
    RECT row{};
    if (!itemRect(item, row)) return -1;
    int left = row.left;
    for (int column = 0; column < columns_; ++column) {
        int width = columnWidth(column);
        if (x >= left && x < left + width) return column;
        left += width;
    }
    return -1;
}

ListView::Hit ListView::hitTest(int x, int y) const {
    Hit hit;
    hit.x = x;
    hit.y = y;
    LVHITTESTINFO info{};
    info.pt = POINT{x, y};
    int item = static_cast<int>(SendMessageA(hwnd_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    if (item >= 0 && (info.flags & LVHT_ONITEM)) {
        hit.item = item;
        hit.subItem = info.iSubItem;
        return hit;
    }
    // Common controls before version 4.70 have no sub-item hit-test (the message then leaves
    // the flags empty): find the row, then the column from the column widths.
    LVHITTESTINFO rowInfo{};
    rowInfo.pt = POINT{x, y};
    item = static_cast<int>(SendMessageA(hwnd_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&rowInfo)));
    if (item >= 0 && (rowInfo.flags & LVHT_ONITEM)) {
        hit.item = item;
        hit.subItem = columnAt(item, x);
    }
    return hit;
}

ListView::Hit ListView::hitOfClick(const NMHDR* header) const {
    // Common controls 4.71 and later say where the click was; older ones send a bare header,
    // and the pointer position of the message has to do.
    if (commonControlsVersion() >= 471) {
        const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(header);
        return hitTest(click->ptAction.x, click->ptAction.y);
    }
    DWORD pos = GetMessagePos();
    POINT point{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    ScreenToClient(hwnd_, &point);
    return hitTest(point.x, point.y);
}

bool ListView::endLabelEdit(int item, const std::string& text) {
    return onEndLabelEdit ? onEndLabelEdit(item, text) : true;
}

bool ListView::notify(NMHDR* header, LRESULT& result) {
    switch (header->code) {
    case LVN_ITEMCHANGED: {
        auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        bool was = (change->uOldState & LVIS_SELECTED) != 0;
        bool now = (change->uNewState & LVIS_SELECTED) != 0;
        if ((change->uChanged & LVIF_STATE) && was != now && onItemChanged) {
            onItemChanged(SelectionChange{change->iItem, was, now});
        }
        return true;
    }
    case NM_CLICK:
        if (onClick) onClick(hitOfClick(header));
        return true;
    case NM_DBLCLK:
        if (onDoubleClick) onDoubleClick(hitOfClick(header));
        return true;
    case LVN_KEYDOWN:
        if (onKeyDown) onKeyDown(reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey);
        return true;
    case LVN_BEGINLABELEDITA:
    case LVN_BEGINLABELEDITW: {
        int item = reinterpret_cast<NMLVDISPINFOA*>(header)->item.iItem;
        bool allow = onBeginLabelEdit ? onBeginLabelEdit(item) : true;
        result = allow ? FALSE : TRUE;  // TRUE keeps the edit from starting
        return true;
    }
    case LVN_ENDLABELEDITA: {
        auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
        // No text: the user cancelled.
        result = info->item.pszText ? (endLabelEdit(info->item.iItem, info->item.pszText) ? TRUE : FALSE) : FALSE;
        return true;
    }
    case LVN_ENDLABELEDITW: {
        // Only when a parent answered for Unicode notifications; kept to the 8-bit texts here.
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
        result = FALSE;
        if (info->item.pszText) {
            int size = WideCharToMultiByte(CP_ACP, 0, info->item.pszText, -1, nullptr, 0, nullptr, nullptr);
            std::string text(size > 0 ? static_cast<size_t>(size) : 1, '\0');
            if (size > 0) WideCharToMultiByte(CP_ACP, 0, info->item.pszText, -1, &text[0], size, nullptr, nullptr);
            text.resize(text.size() - 1);
            result = endLabelEdit(info->item.iItem, text) ? TRUE : FALSE;
        }
        return true;
    }
    default:
        return false;
    }
}

}  // namespace toolkit
