// The registry store over the real Win32 registry (the 8-bit "A" functions).
#pragma once

#include "platform/registry_store.h"

namespace platform {

class Win32Registry : public RegistryStore {
public:
    std::unique_ptr<RegistryKey> open(RegRoot root, const std::string& path,
                                      KeyAccess access) override;
    std::unique_ptr<RegistryKey> create(RegRoot root, const std::string& path) override;
    bool deleteKey(RegRoot root, const std::string& path) override;
};

}  // namespace platform
