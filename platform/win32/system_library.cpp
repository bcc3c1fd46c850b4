#include "platform/win32/system_library.h"

namespace platform {

std::string systemFolder() {
    char folder[MAX_PATH + 1] = {};
    UINT n = GetSystemDirectoryA(folder, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(folder, n) : std::string();
}

HMODULE systemLibrary(const char* name) {
    std::string folder = systemFolder();
    if (folder.empty()) return nullptr;
    std::string path = folder + "\\" + name;
    HMODULE module = GetModuleHandleA(path.c_str());
    // With a full path, the libraries it needs are looked for in its own folder first too.
    return module ? module : LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace platform
