#include "toolkit/graphics.h"

#include "toolkit/control.h"

namespace toolkit {
namespace {

struct FontTarget {
    HFONT font;
    int height;
};

void setFontOn(HWND hwnd, const FontTarget& target, bool owned) {
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(target.font), TRUE);
    Control* control = Control::fromHandle(hwnd);
    if (owned || control) {
        SetPropA(hwnd, kFontHeightProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(target.height)));
    }
    if (control) control->refit();
}

BOOL CALLBACK setFontOnChild(HWND child, LPARAM lParam) {
    setFontOn(child, *reinterpret_cast<const FontTarget*>(lParam), false);
    return TRUE;
}

}  // namespace

Font::Font(const std::string& face, int pixelHeight) : height_(pixelHeight) {
    // A negative height asks for the character height (without internal leading) in pixels.
    handle_ = CreateFontA(-pixelHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_DONTCARE, face.c_str());
}

Font::~Font() {
    if (handle_) DeleteObject(handle_);
}

void Font::applyTo(HWND hwnd, bool withChildren) const {
    if (!hwnd || !handle_) return;
    FontTarget target{handle_, height_};
    setFontOn(hwnd, target, true);
    if (withChildren) EnumChildWindows(hwnd, setFontOnChild, reinterpret_cast<LPARAM>(&target));
}

ImageList::ImageList(int width, int height) {
    initCommonControls();
    // 32-bit colour keeps the alpha channel of modern icons; older common controls only know
    // the display's own depth.
    UINT depth = commonControlsVersion() >= 600 ? ILC_COLOR32 : ILC_COLORDDB;
    handle_ = ImageList_Create(width, height, depth | ILC_MASK, 4, 4);
}

ImageList::~ImageList() {
    if (handle_) ImageList_Destroy(handle_);
}

}  // namespace toolkit
