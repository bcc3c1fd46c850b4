#include "platform/memory/memory_registry.h"

#include <algorithm>

#include "platform/text.h"

namespace platform {

struct MemoryRegistry::Node {
    std::string name;
    std::weak_ptr<Node> parent;
    std::vector<std::shared_ptr<Node>> children;  // sorted without regard to ASCII case
    std::vector<std::pair<std::string, RegValue>> values;  // in creation order
    bool deleted = false;

    // Where a child of that name is or would go: a binary search of the sorted children.
    std::vector<std::shared_ptr<Node>>::const_iterator place(std::string_view childName) const {
        return std::lower_bound(children.begin(), children.end(), childName,
                                [](const std::shared_ptr<Node>& c, std::string_view n) {
                                    return compareNoCase(c->name, n) < 0;
                                });
    }
    std::shared_ptr<Node> child(std::string_view childName) const {
        auto it = place(childName);
        if (it != children.end() && equalsNoCase((*it)->name, childName)) return *it;
        return nullptr;
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

std::shared_ptr<Node> MemoryRegistry::find(RegRoot root, const std::string& path) const {
    std::vector<std::string_view> parts;
    if (stopped() || !splitKeyPath(path, codePage_, parts)) return nullptr;
    std::shared_ptr<Node> node = roots_[static_cast<int>(root)];
    for (const auto& p : parts) {
        node = node->child(p);
        if (!node) return nullptr;
    }
    return node;
}

std::unique_ptr<RegistryKey> MemoryRegistry::open(RegRoot root, const std::string& path,
                                                  KeyAccess access) {
    auto node = find(root, path);
    if (!node) return nullptr;
    return std::make_unique<MemoryKey>(*this, node, access);
}

std::unique_ptr<RegistryKey> MemoryRegistry::create(RegRoot root, const std::string& path) {
    std::vector<std::string_view> parts;
    if (stopped() || !splitKeyPath(path, codePage_, parts)) return nullptr;
    std::shared_ptr<Node> node = roots_[static_cast<int>(root)];
    for (const auto& p : parts) {
        auto next = node->child(p);
        if (!next) {
            if (!write()) return nullptr;
            next = std::make_shared<Node>();
            next->name = std::string(p);
            next->parent = node;
            node->children.insert(node->place(p), next);
        }
        node = next;
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
