#include "toolkit/common_dialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace toolkit {
namespace {

// OPENFILENAMEA up to lpTemplateName: the size that Windows 95 and NT 4 accept (the later
// fields make the structure too big for them); 76 bytes on 32-bit Windows, 136 on 64-bit.
constexpr DWORD kOpenFileNameSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);
static_assert(kOpenFileNameSize == (sizeof(void*) == 8 ? 136 : 76), "the short size of OPENFILENAMEA");

constexpr size_t kPathBuffer = 1024;

}  // namespace

std::string fileDialogFilter(const std::string& filter) {
    std::string out = filter;
    for (char& c : out) {
        if (c == '|') c = '\0';
    }
    out.push_back('\0');
    out.push_back('\0');
    return out;
}

bool OpenFileDialog::run(HWND owner) {
    std::vector<char> file(kPathBuffer, '\0');
    // The last choice is offered again, cut to fit.
    std::memcpy(file.data(), fileName_.data(), std::min(fileName_.size(), kPathBuffer - 1));
    std::string filters = fileDialogFilter(filter);

    OPENFILENAMEA ofn;
    std::memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = kOpenFileNameSize;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.empty() ? nullptr : filters.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NONETWORKBUTTON;
    using GetOpenFileName = BOOL(WINAPI*)(OPENFILENAMEA*);
    auto getOpenFileName = windowLibraryFunction<GetOpenFileName>("comdlg32.dll", "GetOpenFileNameA");
    if (!getOpenFileName || !getOpenFileName(&ofn)) return false;
    file.back() = '\0';
    fileName_ = file.data();
    return true;
}

}  // namespace toolkit
