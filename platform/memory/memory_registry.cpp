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
    std::vector<std::shared_ptr<Node>>::const_iterator place(const std::string& childName) const {
        return std::lower_bound(children.begin(), children.end(), childName,
                                [](const std::shared_ptr<Node>& c, const std::string& n) {
                                    return compareNoCase(c->name, n) < 0;
                                });
    }
    std::shared_ptr<Node> child(const std::string& childName) const {
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

// Splits a key path at "\". A trailing "\" is ignored; an empty path is the root itself;
// an empty component elsewhere makes the path invalid.
bool splitPath(const std::string& path, std::vector<std::string>& parts) {
    parts.clear();
    if (path.empty()) return true;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(start, end - start);
        if (part.empty()) {
            return end == path.size() && !parts.empty();
        }
        if (part.size() > 255) return false;
        parts.push_back(part);
        start = end + 1;
    }
    return true;
}

void markDeleted(Node& node) {
    node.deleted = true;
    for (auto& c : node.children) markDeleted(*c);
}

class MemoryKey : public RegistryKey {
public:
    MemoryKey(std::shared_ptr<Node> node, KeyAccess access)
        : node_(std::move(node)), access_(access) {}

    bool query(const std::string& name, RegValue& out) const override {
        if (node_->deleted) return false;
        const RegValue* v = node_->value(name);
        if (!v) return false;
        out = *v;
        return true;
    }

    bool set(const std::string& name, uint32_t type, const std::vector<uint8_t>& data) override {
        if (node_->deleted || access_ == KeyAccess::Read) return false;
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
        if (node_->deleted || access_ == KeyAccess::Read) return false;
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
        if (node_->deleted) return false;
        for (const auto& c : node_->children) out.push_back(c->name);
        return true;
    }

    bool valueNames(std::vector<std::string>& out) const override {
        out.clear();
        if (node_->deleted) return false;
        for (const auto& v : node_->values) out.push_back(v.first);
        return true;
    }

private:
    std::shared_ptr<Node> node_;
    KeyAccess access_;
};

}  // namespace

MemoryRegistry::MemoryRegistry() {
    for (auto& r : roots_) r = std::make_shared<Node>();
}

MemoryRegistry::~MemoryRegistry() = default;

std::shared_ptr<Node> MemoryRegistry::find(RegRoot root, const std::string& path) const {
    std::vector<std::string> parts;
    if (!splitPath(path, parts)) return nullptr;
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
    return std::make_unique<MemoryKey>(node, access);
}

std::unique_ptr<RegistryKey> MemoryRegistry::create(RegRoot root, const std::string& path) {
    std::vector<std::string> parts;
    if (!splitPath(path, parts)) return nullptr;
    std::shared_ptr<Node> node = roots_[static_cast<int>(root)];
    for (const auto& p : parts) {
        auto next = node->child(p);
        if (!next) {
            next = std::make_shared<Node>();
            next->name = p;
            next->parent = node;
            node->children.insert(node->place(p), next);
        }
        node = next;
    }
    return std::make_unique<MemoryKey>(node, KeyAccess::Full);
}

bool MemoryRegistry::deleteKey(RegRoot root, const std::string& path) {
    auto node = find(root, path);
    if (!node) return false;
    auto parent = node->parent.lock();
    if (!parent) return false;  // a root cannot be deleted
    if (!node->children.empty() && !deleteTakesSubKeys_) return false;
    auto& kids = parent->children;
    kids.erase(std::remove(kids.begin(), kids.end(), node), kids.end());
    markDeleted(*node);
    return true;
}

}  // namespace platform
