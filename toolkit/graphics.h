// The two owning wrappers: a font and an image list of small icons.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace toolkit {

// A font made with CreateFontA: face, character height in pixels, ANSI character set, variable
// pitch. It must outlive every window it is set on: declare it before the windows.
class Font {
public:
    Font(const std::string& face, int pixelHeight);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    HFONT handle() const { return handle_; }
    int pixelHeight() const { return height_; }

    // Sets the font on the window and, when withChildren, on every window inside it; controls
    // sized to their text refit.
    void applyTo(HWND hwnd, bool withChildren = true) const;

private:
    HFONT handle_ = nullptr;
    int height_ = 0;
};

// A list of 16 by 16 pixel icons (or another size) with masks, destroyed with the object. The
// list itself is made when first used, so that an object that never shows does not load the
// common controls.
class ImageList {
public:
    explicit ImageList(int width = 16, int height = 16) : width_(width), height_(height) {}
    ~ImageList();
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;

    HIMAGELIST handle();
    // Adds a copy of the icon; the caller still owns it. Returns its index or -1.
    int add(HICON icon);
    void clear();
    int count() const;

private:
    int width_;
    int height_;
    bool made_ = false;
    HIMAGELIST handle_ = nullptr;
};

}  // namespace toolkit
