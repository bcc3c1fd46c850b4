#include "toolkit/graphics.h"

#include "toolkit/common_dialogs.h"
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

// The image-list functions of the common controls, bound when the first list is made, so that
// a run from the command line never loads comctl32.
namespace {
struct ImageListFunctions {
    decltype(&ImageList_Create) create = nullptr;
    decltype(&ImageList_Destroy) destroy = nullptr;
    decltype(&ImageList_ReplaceIcon) replaceIcon = nullptr;
    decltype(&ImageList_Remove) remove = nullptr;
    decltype(&ImageList_GetImageCount) imageCount = nullptr;
};

const ImageListFunctions& imageListFunctions() {
    static ImageListFunctions f;
    if (!f.create) {
        HMODULE comctl = commonControls();
        f.create = platform::libraryFunction<decltype(&ImageList_Create)>(comctl, "ImageList_Create");
        f.destroy = platform::libraryFunction<decltype(&ImageList_Destroy)>(comctl, "ImageList_Destroy");
        f.replaceIcon = platform::libraryFunction<decltype(&ImageList_ReplaceIcon)>(comctl, "ImageList_ReplaceIcon");
        f.remove = platform::libraryFunction<decltype(&ImageList_Remove)>(comctl, "ImageList_Remove");
        f.imageCount = platform::libraryFunction<decltype(&ImageList_GetImageCount)>(comctl, "ImageList_GetImageCount");
    }
    return f;
}
}  // namespace

HIMAGELIST ImageList::handle() {
    if (made_) return handle_;
    made_ = true;
    initCommonControls();
    const ImageListFunctions& f = imageListFunctions();
    // 32-bit colour keeps the alpha channel of modern icons; older common controls only know
    // the display's own depth.
    UINT depth = commonControlsVersion() >= 600 ? ILC_COLOR32 : ILC_COLORDDB;
    if (f.create && f.destroy && f.replaceIcon && f.remove && f.imageCount) {
        handle_ = f.create(width_, height_, depth | ILC_MASK, 4, 4);
    }
    return handle_;
}

ImageList::~ImageList() {
    if (handle_) imageListFunctions().destroy(handle_);
}

int ImageList::add(HICON icon) { return handle() ? imageListFunctions().replaceIcon(handle_, -1, icon) : -1; }

void ImageList::clear() {
    if (handle_) imageListFunctions().remove(handle_, -1);
}

int ImageList::count() const { return handle_ ? imageListFunctions().imageCount(handle_) : 0; }

}  // namespace toolkit
