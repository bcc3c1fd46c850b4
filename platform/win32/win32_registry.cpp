#include "platform/win32/win32_registry.h"

#include <windows.h>

namespace platform {
namespace {

HKEY rootKey(RegRoot root) {
    return root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// The largest value the program will read; anything bigger is treated as unreadable.
constexpr DWORD kMaxValueBytes = 1u << 20;

class Win32Key : public RegistryKey {
public:
    explicit Win32Key(HKEY key) : key_(key) {}
    ~Win32Key() override { RegCloseKey(key_); }
    Win32Key(const Win32Key&) = delete;
    Win32Key& operator=(const Win32Key&) = delete;

    bool query(const std::string& name, RegValue& out) const override {
        // Most values fit the first buffer and take one call. A larger one is read again into a
        // buffer of the size the call reported, which can change in between: a few attempts.
        std::vector<uint8_t> data(256);
        for (int attempt = 0; attempt < 4; ++attempt) {
            DWORD type = 0;
            DWORD got = static_cast<DWORD>(data.size());
            LONG rc = RegQueryValueExA(key_, name.c_str(), nullptr, &type, data.data(), &got);
            if (rc == ERROR_MORE_DATA && got > data.size() && got <= kMaxValueBytes) {
                data.resize(got);
                continue;
            }
            if (rc != ERROR_SUCCESS || got > data.size()) return false;
            data.resize(got);
            out.type = type;
            out.data = std::move(data);
            return true;
        }
        return false;
    }

    bool set(const std::string& name, uint32_t type, const std::vector<uint8_t>& data) override {
        return RegSetValueExA(key_, name.c_str(), 0, type, data.empty() ? nullptr : data.data(),
                              static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
    }

    bool deleteValue(const std::string& name) override {
        return RegDeleteValueA(key_, name.c_str()) == ERROR_SUCCESS;
    }

    bool subKeyNames(std::vector<std::string>& out) const override {
        return enumerate(out, 32768, [this](DWORD index, char* name, DWORD* length) {
            return RegEnumKeyExA(key_, index, name, length, nullptr, nullptr, nullptr, nullptr);
        });
    }

    bool valueNames(std::vector<std::string>& out) const override {
        return enumerate(out, 65536, [this](DWORD index, char* name, DWORD* length) {
            return RegEnumValueA(key_, index, name, length, nullptr, nullptr, nullptr, nullptr);
        });
    }

private:
    // Collects the names an enumeration function gives for index 0, 1, ... until it has no
    // more, growing the name buffer (up to maxLength) when a name does not fit.
    template <typename Enumerate>
    static bool enumerate(std::vector<std::string>& out, size_t maxLength, Enumerate next) {
        out.clear();
        std::vector<char> buffer(256);
        for (DWORD index = 0;;) {
            DWORD length = static_cast<DWORD>(buffer.size());
            LONG rc = next(index, buffer.data(), &length);
            if (rc == ERROR_NO_MORE_ITEMS) return true;
            if (rc == ERROR_MORE_DATA && buffer.size() < maxLength) {
                buffer.resize(buffer.size() * 4);
                continue;
            }
            if (rc != ERROR_SUCCESS) return false;
            out.emplace_back(buffer.data(), length < buffer.size() ? length : buffer.size());
            ++index;
        }
    }

    HKEY key_;
};

}  // namespace

std::unique_ptr<RegistryKey> Win32Registry::open(RegRoot root, const std::string& path,
                                                 KeyAccess access) {
    REGSAM sam = KEY_READ;
    if (access == KeyAccess::ReadWrite) sam = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
    if (access == KeyAccess::Full) sam = KEY_ALL_ACCESS;
    HKEY key = nullptr;
    if (RegOpenKeyExA(rootKey(root), path.c_str(), 0, sam, &key) != ERROR_SUCCESS) return nullptr;
    return std::make_unique<Win32Key>(key);
}

std::unique_ptr<RegistryKey> Win32Registry::create(RegRoot root, const std::string& path) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(rootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<Win32Key>(key);
}

bool Win32Registry::deleteKey(RegRoot root, const std::string& path) {
    if (path.empty()) return false;  // never the root itself
    return RegDeleteKeyA(rootKey(root), path.c_str()) == ERROR_SUCCESS;
}

}  // namespace platform
