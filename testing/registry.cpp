#include "testing/registry.h"

#include <algorithm>

namespace vesk::testing {

namespace {

class openKey {
public:
    openKey(HKEY root, const std::string& path, REGSAM access = KEY_READ) {
        if (RegOpenKeyExA(root, path.c_str(), 0, access, &key_) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~openKey() {
        if (key_)
            RegCloseKey(key_);
    }
    openKey(const openKey&) = delete;
    openKey& operator=(const openKey&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

const char* valueName(const std::string& name) { return name.empty() ? nullptr : name.c_str(); }

}  // namespace

struct registryGuard::savedKey {
    struct value {
        std::string name;
        DWORD type;
        std::string bytes;
    };
    std::vector<value> values;
    std::vector<std::pair<std::string, std::shared_ptr<savedKey>>> subkeys;
};

namespace {

std::shared_ptr<registryGuard::savedKey> save(HKEY key);
bool restore(HKEY parent, const std::string& name, const registryGuard::savedKey& tree);

}  // namespace

bool keyExists(HKEY root, const std::string& path) { return openKey(root, path).get() != nullptr; }

bool readString(HKEY root, const std::string& path, const std::string& name, std::string& text) {
    openKey key(root, path);
    if (!key.get())
        return false;
    char buffer[4096];
    DWORD size = sizeof buffer - 1;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(key.get(), valueName(name), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    buffer[size] = '\0';
    text = buffer;
    return true;
}

std::vector<std::string> subkeyNames(HKEY root, const std::string& path) {
    std::vector<std::string> names;
    openKey key(root, path);
    char name[256];
    for (DWORD i = 0; key.get(); ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, size);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> valueNames(HKEY root, const std::string& path) {
    std::vector<std::string> names;
    openKey key(root, path);
    char name[16384];
    for (DWORD i = 0; key.get(); ++i) {
        DWORD size = sizeof name;
        if (RegEnumValueA(key.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, size);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool writeRaw(HKEY root, const std::string& path, const std::string& name, DWORD type, const std::string& bytes) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    bool ok = RegSetValueExA(key, valueName(name), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

bool writeString(HKEY root, const std::string& path, const std::string& name, const std::string& text) {
    return writeRaw(root, path, name, REG_SZ, std::string(text.c_str(), text.size() + 1));
}

bool createKey(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool deleteTree(HKEY root, const std::string& path) {
    LONG status = RegDeleteTreeA(root, path.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

namespace {

std::shared_ptr<registryGuard::savedKey> save(HKEY key) {
    auto tree = std::make_shared<registryGuard::savedKey>();
    char name[16384];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name;
        DWORD type = REG_NONE;
        DWORD size = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        std::string bytes(size, '\0');
        nameSize = sizeof name;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]), &size) !=
            ERROR_SUCCESS)
            break;
        bytes.resize(size);
        tree->values.push_back({std::string(name, nameSize), type, bytes});
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        std::string subkey(name, nameSize);
        openKey child(key, subkey);
        if (child.get())
            tree->subkeys.emplace_back(subkey, save(child.get()));
    }
    return tree;
}

bool restore(HKEY parent, const std::string& name, const registryGuard::savedKey& tree) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(parent, name.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    bool ok = true;
    for (const auto& value : tree.values)
        ok = RegSetValueExA(key, valueName(value.name), 0, value.type,
                            reinterpret_cast<const BYTE*>(value.bytes.data()),
                            static_cast<DWORD>(value.bytes.size())) == ERROR_SUCCESS &&
             ok;
    for (const auto& subkey : tree.subkeys)
        ok = restore(key, subkey.first, *subkey.second) && ok;
    RegCloseKey(key);
    return ok;
}

}  // namespace

registryGuard::registryGuard(std::vector<keyPath> keys) {
    for (keyPath& where : keys) {
        openKey key(where.root, where.path);
        saved_.push_back({std::move(where), key.get() ? save(key.get()) : nullptr});
    }
}

registryGuard::~registryGuard() {
    for (const saved& entry : saved_) {
        deleteTree(entry.where.root, entry.where.path);
        if (entry.tree)
            restore(entry.where.root, entry.where.path, *entry.tree);
    }
}

}  // namespace vesk::testing
