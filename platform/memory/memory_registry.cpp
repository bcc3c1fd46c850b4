#include "platform/memory/memory_registry.h"

#include <algorithm>

#include "platform/text.h"

namespace platform {

struct MemoryRegistry::Node {
    std::string name;
    std::string key;  // the name in upper case: children are sorted and found by it
    std::weak_ptr<Node> parent;
    std::vector<std::shared_ptr<Node>> children;  // sorted by key
    std::vector<std::pair<std::string, RegValue>> values;  // in creation order
    bool deleted = false;

    // Where a child with that key is or would go: a binary search of the sorted children.
    std::vector<std::shared_ptr<Node>>::const_iterator place(std::string_view childKey) const {
        return std::lower_bound(children.begin(), children.end(), childKey,
                                [](const std::shared_ptr<Node>& c, std::string_view k) { return c->key < k; });
    }
    const std::shared_ptr<Node>* child(std::string_view childKey) const {
        auto it = place(childKey);
        return it != children.end() && (*it)->key == childKey ? &*it : nullptr;
    }
    const RegValue* value(const std::string& valueName) const {
        for (const auto& v : values) {
            if (equalsNoCase(v.first, valueName)) return &v.second;
        }
        return nullptr;
    }
};

namespace {

using Node = MemoryRegistry::Node;

void markDeleted(Node& node) {
    node.deleted = true;
    for (auto& c : node.children) markDeleted(*c);
}

std::shared_ptr<Node> copyTree(const Node& from, const std::shared_ptr<Node>& parent) {
    auto node = std::make_shared<Node>();
    node->name = from.name;
    node->key = from.key;
    node->parent = parent;
    node->values = from.values;
    for (const auto& c : from.children) node->children.push_back(copyTree(*c, node));
    return node;
}

bool sameTree(const Node& a, const Node& b) {
    if (a.name != b.name || a.values.size() != b.values.size() || a.children.size() != b.children.size()) return false;
    for (size_t i = 0; i < a.values.size(); ++i) {
        const auto &x = a.values[i], &y = b.values[i];
        if (x.first != y.first || x.second.type != y.second.type || x.second.data != y.second.data) return false;
    }
    for (size_t i = 0; i < a.children.size(); ++i) {
        if (!sameTree(*a.children[i], *b.children[i])) return false;
    }
    return true;
}

}  // namespace

class MemoryKey : public RegistryKey {
public:
    MemoryKey(MemoryRegistry& registry, std::shared_ptr<Node> node, KeyAccess access)
        : registry_(registry), node_(std::move(node)), access_(access) {}

    bool query(const std::string& name, RegValue& out) const override {
        if (node_->deleted || registry_.stopped()) return false;
        const RegValue* v = node_->value(name);
        if (!v) return false;
        out = *v;
        return true;
    }

    bool set(const std::string& name, uint32_t type, const std::vector<uint8_t>& data) override {
        if (node_->deleted || access_ == KeyAccess::Read || !registry_.write()) return false;
        for (auto& v : node_->values) {
            if (equalsNoCase(v.first, name)) {
                v.second.type = type;
                v.second.data = data;
                return true;
            }
        }
        node_->values.push_back({name, RegValue{type, data}});
        return true;
    }

    bool deleteValue(const std::string& name) override {
        if (node_->deleted || access_ == KeyAccess::Read || !registry_.write()) return false;
        auto& values = node_->values;
        for (auto it = values.begin(); it != values.end(); ++it) {
            if (equalsNoCase(it->first, name)) {
                values.erase(it);
                return true;
            }
        }
        return false;
    }

    bool subKeyNames(std::vector<std::string>& out) const override {
        out.clear();
        if (node_->deleted || registry_.stopped()) return false;
        for (const auto& c : node_->children) out.push_back(c->name);
        return true;
    }

    bool valueNames(std::vector<std::string>& out) const override {
        out.clear();
        if (node_->deleted || registry_.stopped()) return false;
        for (const auto& v : node_->values) out.push_back(v.first);
        return true;
    }

private:
    MemoryRegistry& registry_;
    std::shared_ptr<Node> node_;
    KeyAccess access_;
};

bool MemoryRegistry::write() {
    if (writesLeft_ == 0) return false;
    if (writesLeft_ > 0) --writesLeft_;
    ++writesMade_;
    return true;
}

MemoryRegistry::MemoryRegistry() {
    for (auto& r : roots_) r = std::make_shared<Node>();
}

MemoryRegistry::~MemoryRegistry() = default;

MemoryRegistry::MemoryRegistry(const MemoryRegistry& other)
    : RegistryStore(other), deleteTakesSubKeys_(other.deleteTakesSubKeys_), codePage_(other.codePage_),
      writesLeft_(other.writesLeft_), writesMade_(other.writesMade_) {
    for (int i = 0; i < 2; ++i) roots_[i] = copyTree(*other.roots_[i], nullptr);
}

MemoryRegistry& MemoryRegistry::operator=(const MemoryRegistry& other) { return *this = MemoryRegistry(other); }

bool MemoryRegistry::operator==(const MemoryRegistry& other) const {
    return sameTree(*roots_[0], *other.roots_[0]) && sameTree(*roots_[1], *other.roots_[1]);
}

std::shared_ptr<Node> MemoryRegistry::find(RegRoot root, const std::string& path) const {
    std::string key = upperAscii(path);
    std::vector<std::string_view> parts;
    if (stopped() || !splitKeyPath(key, codePage_, parts)) return nullptr;
    const std::shared_ptr<Node>* node = &roots_[static_cast<int>(root)];
    for (const auto& p : parts) {
        node = (*node)->child(p);
        if (!node) return nullptr;
    }
    return *node;
}

std::unique_ptr<RegistryKey> MemoryRegistry::open(RegRoot root, const std::string& path,
                                                  KeyAccess access) {
    auto node = find(root, path);
    if (!node) return nullptr;
    return std::make_unique<MemoryKey>(*this, node, access);
}

std::unique_ptr<RegistryKey> MemoryRegistry::create(RegRoot root, const std::string& path) {
    // Upper-casing touches only ASCII letters, so the path splits at the same places.
    std::string key = upperAscii(path);
    std::vector<std::string_view> parts;
    if (stopped() || !splitKeyPath(key, codePage_, parts)) return nullptr;
    std::shared_ptr<Node> node = roots_[static_cast<int>(root)];
    for (const auto& p : parts) {
        if (const auto* next = node->child(p)) {
            node = *next;
            continue;
        }
        if (!write()) return nullptr;
        auto made = std::make_shared<Node>();
        made->name = path.substr(static_cast<size_t>(p.data() - key.data()), p.size());
        made->key = std::string(p);
        made->parent = node;
        node->children.insert(node->place(p), made);
        node = made;
    }
    return std::make_unique<MemoryKey>(*this, node, KeyAccess::Full);
}

bool MemoryRegistry::deleteKey(RegRoot root, const std::string& path) {
    auto node = find(root, path);
    if (!node) return false;
    auto parent = node->parent.lock();
    if (!parent) return false;  // a root cannot be deleted
    if ((!node->children.empty() && !deleteTakesSubKeys_) || !write()) return false;
    auto& kids = parent->children;
    kids.erase(std::remove(kids.begin(), kids.end(), node), kids.end());
    markDeleted(*node);
    return true;
}

}  // namespace platform
