#include "settings/registry.h"

namespace settings {

using platform::KeyAccess;
using platform::RegValue;

uint32_t numberFromBytes(const std::vector<uint8_t>& data) {
    uint32_t n = 0;
    for (size_t i = 0; i < data.size() && i < 4; ++i) n |= static_cast<uint32_t>(data[i]) << (8 * i);
    return n;
}

std::vector<uint8_t> bytesFromNumber(uint32_t value) {
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
            static_cast<uint8_t>(value >> 24)};
}

std::string textFromBytes(const std::vector<uint8_t>& data) {
    std::string text(data.begin(), data.end());
    return text.substr(0, text.find('\0'));
}

void Registry::changing(RegRoot root) const {
    if (root == RegRoot::LocalMachine) ++machineChanges_;
}

bool Registry::counted(bool ok) const {
    if (!ok) ++refusedWrites_;
    return ok;
}

RegKey Registry::openForRead(RegRoot root, const std::string& path) const {
    return RegKey(store_.open(root, path, KeyAccess::Read), root);
}

RegKey Registry::openForWrite(RegRoot root, const std::string& path) const {
    return RegKey(store_.open(root, path, KeyAccess::ReadWrite), root);
}

RegKey Registry::openOrCreate(RegRoot root, const std::string& path) const {
    changing(root);
    RegKey key(store_.create(root, path), root);
    counted(key.isOpen());
    return key;
}

std::string Registry::getString(const RegKey& key, const std::string& name) const {
    bool expandable = false;
    std::string text = getText(key, name, &expandable);
    return expandable ? std::string() : text;
}

std::string Registry::getText(const RegKey& key, const std::string& name, bool* expandable) const {
    RegValue v;
    if (expandable) *expandable = false;
    if (!key.isOpen() || !key.get()->query(name, v)) return {};
    if (v.type != platform::kRegSz && v.type != platform::kRegExpandSz) return {};
    if (expandable) *expandable = v.type == platform::kRegExpandSz;
    return textFromBytes(v.data);
}

uint32_t Registry::getNumber(const RegKey& key, const std::string& name) const {
    RegValue v;
    if (!key.isOpen() || !key.get()->query(name, v) || v.type != platform::kRegDword) return 0;
    // A 4-byte buffer: data longer than that does not fit and reads as 0; shorter data fills
    // the low bytes.
    return v.data.size() > 4 ? 0 : numberFromBytes(v.data);
}

bool Registry::setString(const RegKey& key, const std::string& name, const std::string& text) const {
    std::vector<uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    return setValue(key, name, {platform::kRegSz, data});
}

bool Registry::setNumber(const RegKey& key, const std::string& name, uint32_t value) const {
    return setValue(key, name, {platform::kRegDword, bytesFromNumber(value)});
}

bool Registry::setValue(const RegKey& key, const std::string& name, const RegValue& value) const {
    if (!counted(key.isOpen())) return false;
    changing(key.root());
    return counted(key.get()->set(name, value.type, value.data));
}

bool Registry::valueExists(const RegKey& key, const std::string& name) const {
    RegValue v;
    return key.isOpen() && key.get()->query(name, v);
}

bool Registry::keyExists(RegRoot root, const std::string& path) const {
    return openForRead(root, path).isOpen();
}

bool Registry::deleteValue(const RegKey& key, const std::string& name) const {
    if (!key.isOpen()) return false;
    changing(key.root());
    return key.get()->deleteValue(name) || counted(!valueExists(key, name));
}

bool Registry::deleteKey(RegRoot root, const std::string& path) const {
    changing(root);
    return store_.deleteKey(root, path) || counted(!keyExists(root, path));
}

bool Registry::deleteKeyTree(RegRoot root, const std::string& path) const {
    changing(root);
    return counted(platform::deleteKeyTree(store_, root, path));
}

void Registry::listSubKeys(const RegKey& key, std::vector<std::string>& names) const {
    names.clear();
    if (key.isOpen()) key.get()->subKeyNames(names);
}

void Registry::listValueNames(const RegKey& key, std::vector<std::string>& names) const {
    names.clear();
    if (key.isOpen()) key.get()->valueNames(names);
}

}  // namespace settings
