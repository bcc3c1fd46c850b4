// The registry as the operating system offers it: keys under two roots, values as
// (type, bytes). Program semantics (what a missing value reads as, and so on) live in
// settings/registry.h; this layer only reports what the store holds.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class RegRoot { LocalMachine, CurrentUser };

// Value types, numbered as the Win32 registry numbers them.
enum : uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegMultiSz = 7,
};

enum class KeyAccess {
    Read,       // query and enumerate
    ReadWrite,  // read, set values, create sub-keys
    Full,
};

struct RegValue {
    uint32_t type = kRegNone;
    std::vector<uint8_t> data;
};
inline bool operator==(const RegValue& a, const RegValue& b) { return a.type == b.type && a.data == b.data; }
inline bool operator!=(const RegValue& a, const RegValue& b) { return !(a == b); }

// One open key. Closing happens when the object is destroyed.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;
    // False when the value does not exist or cannot be read.
    virtual bool query(const std::string& name, RegValue& out) const = 0;
    virtual bool set(const std::string& name, uint32_t type, const std::vector<uint8_t>& data) = 0;
    virtual bool deleteValue(const std::string& name) = 0;
    virtual bool subKeyNames(std::vector<std::string>& out) const = 0;
    virtual bool valueNames(std::vector<std::string>& out) const = 0;
};

class RegistryStore {
public:
    virtual ~RegistryStore() = default;
    // Opens an existing key; null when it is missing or access is refused.
    virtual std::unique_ptr<RegistryKey> open(RegRoot root, const std::string& path,
                                              KeyAccess access) = 0;
    // Opens the key with full access, creating it and any missing parents.
    virtual std::unique_ptr<RegistryKey> create(RegRoot root, const std::string& path) = 0;
    // Deletes one key. Whether a key with sub-keys can be deleted depends on the store.
    virtual bool deleteKey(RegRoot root, const std::string& path) = 0;
};

const char* rootName(RegRoot root);

// Splits a key path at "\" as the registry does, reading the path's bytes in the ANSI code page
// (a byte after a double-byte lead byte is never a separator). A trailing "\" is ignored; an
// empty path is the root itself; an empty part elsewhere, or one over 255 bytes, makes the path
// invalid (false).
bool splitKeyPath(std::string_view path, unsigned codePage, std::vector<std::string_view>& parts);

// Deletes a key with all its sub-keys, deepest first, for stores that refuse to delete a key
// that has sub-keys. True when the key is gone afterwards (also when it was already missing).
bool deleteKeyTree(RegistryStore& store, RegRoot root, const std::string& path);

}  // namespace platform
