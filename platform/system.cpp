#include "platform/system.h"

#include <algorithm>

#include "platform/registry_store.h"
#include "platform/text.h"

namespace platform {

const char kLayoutCatalogueKey[] = "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts";

std::string programFile(const System& system, const std::string& commandLine) {
    std::string name = trimControls(commandLine);
    if (name.size() >= 2 && name.front() == '"') {
        size_t close = name.find('"', 1);
        if (close != std::string::npos) name = name.substr(1, close - 1);
    }
    if (name.find('\\') != std::string::npos) return system.isFile(name) ? name : "";
    std::string systemDir = system.systemDirectory();
    for (const std::string& dir : {systemDir + "\\", folderOf(systemDir)}) {
        if (system.isFile(dir + name)) return dir + name;
    }
    return "";
}

uint32_t loadLayout(std::vector<uint32_t>& list, RegistryStore& registry, const std::string& klid, uint32_t flags) {
    if (!registry.open(RegRoot::LocalMachine, std::string(kLayoutCatalogueKey) + "\\" + klid, KeyAccess::Read)) {
        return 0;
    }
    uint32_t handle = readHex(klid);
    if (!klid.empty() && klid[0] == '0') handle = (handle << 16) | (handle & 0xFFFF);
    unloadLayout(list, handle);
    list.insert((flags & kKlfReorder) ? list.begin() : list.end(), handle);
    return handle;
}

bool unloadLayout(std::vector<uint32_t>& list, uint32_t layout) {
    auto it = std::find(list.begin(), list.end(), layout);
    if (it == list.end()) return false;
    list.erase(it);
    return true;
}

uint32_t activateLayout(std::vector<uint32_t>& list, uint32_t layout) {
    uint32_t previous = list.empty() ? 0 : list.front();
    if (layout == 0) return previous;
    auto it = std::find(list.begin(), list.end(), layout);
    if (it == list.end()) return 0;
    std::rotate(list.begin(), it, it + 1);
    return previous;
}

}  // namespace platform
