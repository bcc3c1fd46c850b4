// An in-memory registry with the behaviour of the Win32 one that the program can see:
// key and value names compared without regard to ASCII case but kept as first written,
// sub-keys enumerated in sorted order, values in the order they were created, access
// rights checked, and handles to deleted keys failing.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/registry_store.h"

namespace platform {

class MemoryRegistry : public RegistryStore {
public:
    MemoryRegistry();
    ~MemoryRegistry() override;
    // A copy holds keys of its own (and the settings below), so that a machine can be set up
    // once and restored cheaply. Keys opened before an assignment keep the keys they had.
    MemoryRegistry(const MemoryRegistry& other);
    MemoryRegistry& operator=(const MemoryRegistry& other);
    MemoryRegistry& operator=(MemoryRegistry&& other) = default;
    // The same keys and values: names as written, values in order, types and bytes. The
    // settings below (deletion rule, code page, stopping) are not compared.
    bool operator==(const MemoryRegistry& other) const;

    std::unique_ptr<RegistryKey> open(RegRoot root, const std::string& path,
                                      KeyAccess access) override;
    std::unique_ptr<RegistryKey> create(RegRoot root, const std::string& path) override;
    bool deleteKey(RegRoot root, const std::string& path) override;

    // The registry of Windows 95, 98 and Me deletes a key together with its sub-keys; the NT
    // family (and Wine) refuses to delete a key that has sub-keys. NT behaviour by default.
    void setDeleteTakesSubKeys(bool on) { deleteTakesSubKeys_ = on; }
    // The ANSI code page of the key paths (936 by default).
    void setCodePage(unsigned codePage) { codePage_ = codePage; }
    // A registry that stops: after `writes` more changes every call fails, as when the program
    // is killed part-way; negative: it never stops. writesMade counts every change.
    void stopAfterWrites(long writes) { writesLeft_ = writes; }
    long writesMade() const { return writesMade_; }

    struct Node;

private:
    std::shared_ptr<Node> find(RegRoot root, const std::string& path) const;
    friend class MemoryKey;
    bool stopped() const { return writesLeft_ == 0; }
    bool write();  // counts one change; false once the registry has stopped

    std::shared_ptr<Node> roots_[2];
    bool deleteTakesSubKeys_ = false;
    unsigned codePage_ = 936;
    long writesLeft_ = -1;
    long writesMade_ = 0;
};

}  // namespace platform
