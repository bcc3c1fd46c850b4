// Libraries of the system folder, loaded by their full path. A library named without a path is
// looked for in the program's own folder first, where whoever put the program there (a web page
// saving into the Downloads folder, say) may have put a library of that name too.
#pragma once

#include <windows.h>

#include <string>

namespace platform {

// GetSystemDirectoryA, without a trailing "\"; empty when it does not fit MAX_PATH.
std::string systemFolder();

// The system folder's library of that name, loaded (as its libraries are, from its own folder
// then the system folder) the first time it is asked for and kept; null when it is missing.
HMODULE systemLibrary(const char* name);

// A function of a module, in the type it is called with; null when the module or the function
// is missing. GetProcAddress gives a generic pointer; the cast goes through void (*)() so that
// the compiler accepts the change of signature.
template <typename Function>
Function libraryFunction(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// A function of kernel32, for those that older Windows lack.
template <typename Function>
Function kernelFunction(const char* name) {
    return libraryFunction<Function>(GetModuleHandleA("kernel32.dll"), name);
}

}  // namespace platform
