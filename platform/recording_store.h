// A registry store over another one that records what is changed through it. Passing through,
// every call goes to the other store and each change that succeeds is recorded. In a preview the
// other store is only read: creations, writes and deletions are kept in an overlay, and every
// later read sees the other store as it would be after them.
#pragma once

#include <optional>

#include "platform/registry_store.h"

namespace platform {

// One net change: a value's, or a key created or deleted.
struct RegistryChange {
    enum class Kind : uint8_t { Value, KeyCreated, KeyDeleted };
    Kind kind = Kind::Value;
    RegRoot root = RegRoot::CurrentUser;
    std::string path;  // the key, its parts joined by "\" as first named
    std::string name;  // the value, as first named ("" is the default value); "" for a key
    std::optional<RegValue> before, after;  // the value's; nothing while it is missing
};

inline bool operator==(const RegistryChange& a, const RegistryChange& b) {
    return a.kind == b.kind && a.root == b.root && a.path == b.path && a.name == b.name && a.before == b.before &&
           a.after == b.after;
}

class RecordingStore : public RegistryStore {
public:
    // codePage: the ANSI code page of the key paths, which are split as the registry splits them.
    RecordingStore(RegistryStore& real, bool preview, unsigned codePage);
    ~RecordingStore() override;

    std::unique_ptr<RegistryKey> open(RegRoot root, const std::string& path, KeyAccess access) override;
    std::unique_ptr<RegistryKey> create(RegRoot root, const std::string& path) override;
    // In a preview, as on the NT family: a key with sub-keys is not deleted.
    bool deleteKey(RegRoot root, const std::string& path) override;

    // The net changes so far, in the order of their first change. A value's "before" is what it
    // held just before its first change; a value that ends as it began is left out, and so is a
    // key created and deleted again.
    std::vector<RegistryChange> changes() const;
    bool preview() const { return preview_; }

    struct Node;

private:
    friend class RecordingKey;
    using Parts = std::vector<std::string_view>;

    Node* find(RegRoot root, const std::string& path);
    Node& node(RegRoot root, const std::string& path, size_t depth);
    // Whether the key of the first `count` parts is there in a preview; `real` (when given)
    // receives the other store's key, opened for reading, when the overlay does not hide it.
    bool seen(RegRoot root, const Parts& parts, size_t count, std::unique_ptr<RegistryKey>* real);
    bool exists(RegRoot root, const Parts& parts, size_t count);
    std::unique_ptr<RegistryKey> wrap(RegRoot root, std::string path, size_t depth, KeyAccess access,
                                      std::unique_ptr<RegistryKey> real);
    // A value set (or with null, deleted) in the overlay.
    bool overlayChange(RegRoot root, const std::string& path, size_t depth, const std::string& name,
                       const RegValue* value, RegistryKey* real);
    RegistryChange* valueChange(RegRoot root, const std::string& path, const std::string& name);
    void keyDeleted(RegRoot root, const std::string& path);

    RegistryStore& real_;
    bool preview_;
    unsigned codePage_;
    std::vector<RegistryChange> log_;  // every change so far, also those that cancel out
    std::vector<Node> nodes_;          // the overlay's keys
    // The keys deleted so far in a preview: a key opened before one at or above it went fails
    // from then on.
    size_t deletions_ = 0;
};

}  // namespace platform
