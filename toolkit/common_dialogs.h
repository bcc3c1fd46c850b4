// The system's open-file dialog and message boxes.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/system_library.h"

namespace toolkit {

// GetOpenFileNameA with a filter, a starting folder and an owner; the path and the file must
// exist, the read-only box is hidden and there is no network button. The structure has the
// size of Windows 95 and NT 4 so that those systems accept it too.
class OpenFileDialog {
public:
    // Pairs of name and pattern separated by "|": "*.ime|*.ime".
    std::string filter;
    std::string initialFolder;
    std::string title;  // empty: the system's "Open"

    // Shows the dialog; true when the user chose a file, whose full path fileName() then holds.
    bool run(HWND owner);
    // The last file chosen since the program started; empty until then. Cancelling keeps it.
    const std::string& fileName() const { return fileName_; }

private:
    std::string fileName_;
};

// A function of a system library that only the window needs, such as the open-file dialog or
// ExtractIconA, bound when first used so that a run from the command line never loads the
// library (loading shell32 and comdlg32 costs a process start-up more than all its work).
// Null when the library or the function is missing.
template <typename Function>
Function windowLibraryFunction(const char* library, const char* name) {
    return platform::libraryFunction<Function>(platform::systemLibrary(library), name);
}

// The filter in the form the dialog takes: each "|" a NUL, and two NULs at the end.
std::string fileDialogFilter(const std::string& filter);

// MessageBoxA: the button pressed (IDOK, IDCANCEL, ...).
inline int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
    return MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}

}  // namespace toolkit
