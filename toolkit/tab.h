// A tab control with one page window per tab. The pages are children of the tab control and
// fill its display area; the selected page is shown and the others hidden. Controls of a page
// are created with the page as their parent.
#pragma once

#include <memory>
#include <vector>

#include "toolkit/control.h"

#include <commctrl.h>

namespace toolkit {

class TabPage : public Control {
public:
    // A click on the page itself (not on one of its controls).
    std::function<void()> onClick;

protected:
    bool message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    friend class Tab;
    bool create(HWND tab, const Rect& area);
    HFONT font_ = nullptr;
};

class Tab : public Control {
public:
    struct Args {
        HWND parent = nullptr;
        Rect pos;
        int id = 0;
    };
    bool create(const Args& a);
    Tab* asTab() override { return this; }

    // A page became the shown one: by the user, by Ctrl+Tab or by select().
    std::function<void(int index)> onPageShown;

    // Adds a tab and its page; the first page is shown, later ones start hidden. The reference
    // stays valid as long as the Tab object.
    TabPage& addPage(const std::string& caption);
    int pageCount() const { return static_cast<int>(pages_.size()); }
    TabPage& page(int index) { return *pages_.at(static_cast<size_t>(index)); }

    int selectedIndex() const { return static_cast<int>(SendMessageA(hwnd_, TCM_GETCURSEL, 0, 0)); }
    // Shows the page at index (out of range: nothing happens) and reports it to onPageShown.
    void select(int index);
    // The next (step 1) or previous (step -1) page, wrapping around, as Ctrl+Tab does.
    void selectNext(int step);
    void setCaption(int index, const std::string& caption);

protected:
    bool notify(NMHDR* header, LRESULT& result) override;

private:
    void showSelected(bool focusPage);
    void layoutPages();
    std::vector<std::unique_ptr<TabPage>> pages_;
};

}  // namespace toolkit
