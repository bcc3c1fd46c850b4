// The registry as the program uses it: keys opened afresh by root and path for each use,
// anything missing reading as empty text or 0, failed writes reported only by their result.
// Works over any store (the real registry, or the memory registry of the tests).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry_store.h"

namespace settings {

using platform::RegRoot;

// An open key, or none. Every operation given none does nothing and reports failure.
class RegKey {
public:
    RegKey() = default;
    RegKey(std::unique_ptr<platform::RegistryKey> key, RegRoot root) : key_(std::move(key)), root_(root) {}
    bool isOpen() const { return key_ != nullptr; }
    platform::RegistryKey* get() const { return key_.get(); }
    RegRoot root() const { return root_; }

private:
    std::unique_ptr<platform::RegistryKey> key_;
    RegRoot root_ = RegRoot::CurrentUser;
};

// A value's bytes as a number: its first four bytes at most, little-endian, missing ones zero.
uint32_t numberFromBytes(const std::vector<uint8_t>& data);
// A number as the four little-endian bytes of a REG_DWORD or REG_BINARY value.
std::vector<uint8_t> bytesFromNumber(uint32_t value);
// A value's bytes as text, up to the first zero (all of them when there is none).
std::string textFromBytes(const std::vector<uint8_t>& data);

class Registry {
public:
    explicit Registry(platform::RegistryStore& store) : store_(store) {}

    // Read access only; none when the key is missing.
    RegKey openForRead(RegRoot root, const std::string& path) const;
    // Read, set-value and create-sub-key access; does not create the key.
    RegKey openForWrite(RegRoot root, const std::string& path) const;
    // Full access; the key and its parents are created when missing.
    RegKey openOrCreate(RegRoot root, const std::string& path) const;

    // The text of a REG_SZ value up to its first zero; empty for a missing key or value or any
    // other type (REG_EXPAND_SZ included). An empty name is the key's default value.
    std::string getString(const RegKey& key, const std::string& name) const;
    // As getString, but a REG_EXPAND_SZ value is read as well, unexpanded; `expandable` (when
    // given) tells whether it was one. For values other programs may store in either type.
    std::string getText(const RegKey& key, const std::string& name, bool* expandable = nullptr) const;
    // A REG_DWORD value; 0 when missing or of another type.
    uint32_t getNumber(const RegKey& key, const std::string& name) const;

    bool setString(const RegKey& key, const std::string& name, const std::string& text) const;
    bool setNumber(const RegKey& key, const std::string& name, uint32_t value) const;
    // A value of any type, its bytes as they are.
    bool setValue(const RegKey& key, const std::string& name, const platform::RegValue& value) const;

    bool valueExists(const RegKey& key, const std::string& name) const;
    bool keyExists(RegRoot root, const std::string& path) const;
    // True when the value or key is gone afterwards (also when it was missing already).
    bool deleteValue(const RegKey& key, const std::string& name) const;
    bool deleteKey(RegRoot root, const std::string& path) const;
    // Deletes the key with all its sub-keys, deepest first; true when it is gone afterwards.
    bool deleteKeyTree(RegRoot root, const std::string& path) const;

    // Clear the list, then append every name in enumeration order.
    void listSubKeys(const RegKey& key, std::vector<std::string>& names) const;
    void listValueNames(const RegKey& key, std::vector<std::string>& names) const;

    platform::RegistryStore& store() const { return store_; }

    // Counts the changes made through this object to HKEY_LOCAL_MACHINE (key creations, value
    // writes and deletions), so that what was read there can be known to be still as read.
    uint32_t machineChanges() const { return machineChanges_; }
    // Counts the writes and deletes the registry refused (a key that could not be created, a
    // value that could not be set, a value or key that is still there after its delete failed).
    uint32_t refusedWrites() const { return refusedWrites_; }

private:
    void changing(RegRoot root) const;  // counts a change about to be made under the root
    bool counted(bool ok) const;        // counts a refusal; returns ok

    platform::RegistryStore& store_;
    mutable uint32_t machineChanges_ = 0;
    mutable uint32_t refusedWrites_ = 0;
};

}  // namespace settings
