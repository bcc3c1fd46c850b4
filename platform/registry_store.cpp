#include "platform/registry_store.h"

namespace platform {

const char* rootName(RegRoot root) {
    return root == RegRoot::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

bool deleteKeyTree(RegistryStore& store, RegRoot root, const std::string& path) {
    auto k = store.open(root, path, KeyAccess::Read);
    if (!k) return true;
    std::vector<std::string> subKeys;
    k->subKeyNames(subKeys);
    k.reset();
    for (const auto& sub : subKeys) deleteKeyTree(store, root, path + "\\" + sub);
    return store.deleteKey(root, path) || !store.open(root, path, KeyAccess::Read);
}

}  // namespace platform
