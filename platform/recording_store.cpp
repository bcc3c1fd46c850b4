#include "platform/recording_store.h"

#include <algorithm>

#include "platform/text.h"

namespace platform {

// A value of the overlay. One that replaces a value of the other store keeps that value's place
// in the enumeration; the others follow the other store's values in the order they were made.
struct OverlayValue {
    std::string name;
    std::optional<RegValue> value;  // nothing: deleted
    bool replacesReal;
};

// A key of the overlay: one made in the preview (which hides whatever the other store holds
// under its path), one deleted, or one of the other store's keys with values changed.
struct RecordingStore::Node {
    RegRoot root;
    std::string path;
    std::string name;  // the last part of a key made here
    size_t depth;      // the number of parts
    bool created;
    bool deleted;
    std::vector<OverlayValue> values;
    size_t deletedAt;  // the number of keys deleted when this one last went; 0: never
};

namespace {

std::string joined(const std::vector<std::string_view>& parts, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) out += '\\';
        out.append(parts[i]);
    }
    return out;
}

// Whether the path names the key or one below it.
bool within(const std::string& path, const std::string& key) {
    return key.empty() || (equalsNoCase(std::string_view(path).substr(0, key.size()), key) &&
                            (path.size() == key.size() || path[key.size()] == '\\'));
}

}  // namespace

class RecordingKey : public RegistryKey {
public:
    RecordingKey(RecordingStore& store, RegRoot root, std::string path, size_t depth, KeyAccess access,
                 std::unique_ptr<RegistryKey> real)
        : store_(store), root_(root), path_(std::move(path)), depth_(depth), access_(access), real_(std::move(real)),
          mark_(store.deletions_) {}

    bool query(const std::string& name, RegValue& out) const override {
        if (!store_.preview_) return real_->query(name, out);
        if (!alive()) return false;
        if (const OverlayValue* v = overlayValue(name)) {
            if (v->value) out = *v->value;
            return v->value.has_value();
        }
        return real_ && real_->query(name, out);
    }

    bool set(const std::string& name, uint32_t type, const std::vector<uint8_t>& data) override {
        RegValue value{type, data};
        return change(name, &value);
    }

    bool deleteValue(const std::string& name) override { return change(name, nullptr); }

    bool subKeyNames(std::vector<std::string>& out) const override {
        if (!store_.preview_) return real_->subKeyNames(out);
        std::vector<std::string> real;
        bool ok = alive() && (!real_ || real_->subKeyNames(real));
        // The other store's sub-keys but those the overlay deleted or made again, then the
        // overlay's own in sorted order.
        out.clear();
        for (const auto& name : real) {
            const RecordingStore::Node* n = store_.find(root_, path_.empty() ? name : path_ + "\\" + name);
            if (!n || !(n->created || n->deleted)) out.push_back(name);
        }
        for (const auto& n : store_.nodes_) {
            if (!ok || !n.created || n.root != root_ || n.depth != depth_ + 1 || !within(n.path, path_)) continue;
            size_t at = 0;
            while (at < out.size() && compareNoCase(out[at], n.name) < 0) ++at;
            out.insert(out.begin() + static_cast<long>(at), n.name);
        }
        return ok;
    }

    bool valueNames(std::vector<std::string>& out) const override {
        if (!store_.preview_) return real_->valueNames(out);
        std::vector<std::string> real;
        bool ok = alive() && (!real_ || real_->valueNames(real));
        // The other store's values but those the overlay deleted (also those set again after),
        // then the overlay's new ones in the order they were made.
        out.clear();
        for (const auto& name : real) {
            const OverlayValue* v = overlayValue(name);
            if (!v || (v->replacesReal && v->value)) out.push_back(name);
        }
        if (const RecordingStore::Node* n = ok ? store_.find(root_, path_) : nullptr) {
            for (const auto& v : n->values) {
                if (!v.replacesReal && v.value) out.push_back(v.name);
            }
        }
        return ok;
    }

private:
    // False once this key, or one above it, has been deleted since it was opened.
    bool alive() const {
        for (const auto& n : store_.nodes_) {
            if (n.deletedAt > mark_ && n.root == root_ && within(path_, n.path)) return false;
        }
        return true;
    }

    const OverlayValue* overlayValue(const std::string& name) const {
        const RecordingStore::Node* n = store_.find(root_, path_);
        if (!n) return nullptr;
        for (const auto& v : n->values) {
            if (equalsNoCase(v.name, name)) return &v;
        }
        return nullptr;
    }

    // Sets (or with null, deletes) the value and records the change when it was made. A value's
    // first change reads what it held before.
    bool change(const std::string& name, const RegValue* value) {
        RegistryChange* recorded = store_.valueChange(root_, path_, name);
        std::optional<RegValue> before;
        RegValue old;
        if (!recorded && query(name, old)) before = std::move(old);
        bool done;
        if (!store_.preview_) {
            done = value ? real_->set(name, value->type, value->data) : real_->deleteValue(name);
        } else {
            done = access_ != KeyAccess::Read && alive() &&
                   store_.overlayChange(root_, path_, depth_, name, value, real_.get());
        }
        if (!done) return false;
        std::optional<RegValue> after;
        if (value) after = *value;
        if (recorded) {
            recorded->after = std::move(after);
        } else {
            store_.log_.push_back(
                {RegistryChange::Kind::Value, root_, path_, name, std::move(before), std::move(after)});
        }
        return true;
    }

    RecordingStore& store_;
    RegRoot root_;
    std::string path_;
    size_t depth_;
    KeyAccess access_;
    std::unique_ptr<RegistryKey> real_;  // passing through: always; in a preview: when not hidden
    size_t mark_;                        // the deletions made before this key was opened
};

RecordingStore::RecordingStore(RegistryStore& real, bool preview, unsigned codePage)
    : real_(real), preview_(preview), codePage_(codePage) {}

RecordingStore::~RecordingStore() = default;

RecordingStore::Node* RecordingStore::find(RegRoot root, const std::string& path) {
    for (auto& n : nodes_) {
        if (n.root == root && equalsNoCase(n.path, path)) return &n;
    }
    return nullptr;
}

RecordingStore::Node& RecordingStore::node(RegRoot root, const std::string& path, size_t depth) {
    if (Node* n = find(root, path)) return *n;
    nodes_.push_back(Node{root, path, {}, depth, false, false, {}, 0});
    return nodes_.back();
}

bool RecordingStore::seen(RegRoot root, const Parts& parts, size_t count, std::unique_ptr<RegistryKey>* real) {
    // Below a key made or deleted in the overlay only the overlay's keys are there.
    bool hidden = false;
    for (size_t i = 1; i <= count; ++i) {
        const Node* n = find(root, joined(parts, i));
        if (n ? n->deleted : hidden) return false;
        hidden = hidden || (n && n->created);
    }
    if (hidden) return true;
    auto key = real_.open(root, joined(parts, count), KeyAccess::Read);
    bool there = key != nullptr;
    if (real) *real = std::move(key);
    return there;
}

bool RecordingStore::exists(RegRoot root, const Parts& parts, size_t count) {
    if (preview_) return seen(root, parts, count, nullptr);
    return real_.open(root, joined(parts, count), KeyAccess::Read) != nullptr;
}

std::unique_ptr<RegistryKey> RecordingStore::wrap(RegRoot root, std::string path, size_t depth, KeyAccess access,
                                                  std::unique_ptr<RegistryKey> real) {
    return std::make_unique<RecordingKey>(*this, root, std::move(path), depth, access, std::move(real));
}

std::unique_ptr<RegistryKey> RecordingStore::open(RegRoot root, const std::string& path, KeyAccess access) {
    Parts parts;
    bool valid = splitKeyPath(path, codePage_, parts);
    std::unique_ptr<RegistryKey> real;
    if (!preview_) {
        real = real_.open(root, path, access);
        if (!real) return nullptr;
    } else if (!valid || !seen(root, parts, parts.size(), &real)) {
        return nullptr;
    }
    return wrap(root, valid ? joined(parts, parts.size()) : path, parts.size(), access, std::move(real));
}

std::unique_ptr<RegistryKey> RecordingStore::create(RegRoot root, const std::string& path) {
    Parts parts;
    bool valid = splitKeyPath(path, codePage_, parts);
    if (!valid && preview_) return nullptr;
    // The keys from the first missing one down are made.
    size_t there = parts.size();
    while (there > 0 && !exists(root, parts, there)) --there;
    std::unique_ptr<RegistryKey> real;
    if (preview_) {
        for (size_t i = there + 1; i <= parts.size(); ++i) {
            Node& n = node(root, joined(parts, i), i);
            n.name = std::string(parts[i - 1]);
            n.created = true;
            n.deleted = false;
        }
    } else {
        real = real_.create(root, path);
    }
    // A creation that failed part-way may still have made some of the keys.
    for (size_t i = there + 1; i <= parts.size(); ++i) {
        if (!preview_ && !real && !exists(root, parts, i)) break;
        log_.push_back({RegistryChange::Kind::KeyCreated, root, joined(parts, i), {}, {}, {}});
    }
    if (preview_) return open(root, path, KeyAccess::Full);
    if (!real) return nullptr;
    return wrap(root, valid ? joined(parts, parts.size()) : path, parts.size(), KeyAccess::Full, std::move(real));
}

bool RecordingStore::deleteKey(RegRoot root, const std::string& path) {
    Parts parts;
    bool valid = splitKeyPath(path, codePage_, parts);
    std::string key = valid ? joined(parts, parts.size()) : path;
    if (!preview_) {
        if (!real_.deleteKey(root, path)) return false;
    } else {
        std::vector<std::string> subKeys;
        auto k = parts.empty() ? nullptr : open(root, path, KeyAccess::Read);  // a root stays
        if (!k || !k->subKeyNames(subKeys) || !subKeys.empty()) return false;
        // Whatever the overlay kept at or below the key gives way to one deleted key.
        nodes_.erase(std::remove_if(nodes_.begin(), nodes_.end(),
                                    [&](const Node& n) { return n.root == root && within(n.path, key); }),
                     nodes_.end());
        nodes_.push_back(Node{root, key, {}, parts.size(), false, true, {}, ++deletions_});
    }
    keyDeleted(root, key);
    return true;
}

bool RecordingStore::overlayChange(RegRoot root, const std::string& path, size_t depth, const std::string& name,
                                   const RegValue* value, RegistryKey* real) {
    auto& values = node(root, path, depth).values;
    auto it = values.begin();
    while (it != values.end() && !equalsNoCase(it->name, name)) ++it;
    RegValue ignored;
    bool inReal = it == values.end() && real && real->query(name, ignored);
    if (!value) {
        if (it != values.end() && it->value) {
            it->value.reset();
        } else if (inReal) {
            values.push_back({name, std::nullopt, true});
        } else {
            return false;
        }
        return true;
    }
    if (it != values.end() && it->value) {
        it->value = *value;
        return true;
    }
    // A value deleted and set again goes to the end, as a new one.
    if (it != values.end()) values.erase(it);
    values.push_back({name, *value, inReal});
    return true;
}

RegistryChange* RecordingStore::valueChange(RegRoot root, const std::string& path, const std::string& name) {
    for (auto& c : log_) {
        if (c.kind == RegistryChange::Kind::Value && c.root == root && equalsNoCase(c.path, path) &&
            equalsNoCase(c.name, name)) {
            return &c;
        }
    }
    return nullptr;
}

// A key deleted after it was made here leaves no trace; the values changed at or below it end
// missing, and the keys made below it (a store that deletes sub-keys too) go with it.
void RecordingStore::keyDeleted(RegRoot root, const std::string& path) {
    bool madeHere = false;
    for (auto it = log_.begin(); it != log_.end();) {
        bool below = it->root == root && within(it->path, path);
        if (below && it->kind == RegistryChange::Kind::KeyCreated) {
            madeHere = madeHere || it->path.size() == path.size();
            it = log_.erase(it);
            continue;
        }
        if (below && it->kind == RegistryChange::Kind::Value) it->after.reset();
        ++it;
    }
    if (!madeHere) log_.push_back({RegistryChange::Kind::KeyDeleted, root, path, {}, {}, {}});
}

std::vector<RegistryChange> RecordingStore::changes() const {
    std::vector<RegistryChange> out;
    for (const auto& c : log_) {
        if (c.kind != RegistryChange::Kind::Value || c.before != c.after) out.push_back(RegistryChange(c));
    }
    return out;
}

}  // namespace platform
