// The registry as tests see it: reading values back, and a guard that puts
// keys back as they were when a test ends, whether it passed or not.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace vesk::testing {

bool keyExists(HKEY root, const std::string& path);
// A REG_SZ value (name empty: the default value); false when there is none.
bool readString(HKEY root, const std::string& path, const std::string& name, std::string& text);
// The names of the key's subkeys and values, sorted.
std::vector<std::string> subkeyNames(HKEY root, const std::string& path);
std::vector<std::string> valueNames(HKEY root, const std::string& path);

bool writeString(HKEY root, const std::string& path, const std::string& name, const std::string& text);
// A value of any type and bytes, written as given (no terminator added).
bool writeRaw(HKEY root, const std::string& path, const std::string& name, DWORD type, const std::string& bytes);
bool createKey(HKEY root, const std::string& path);
// The key and everything below it; a missing key is no failure.
bool deleteTree(HKEY root, const std::string& path);

// Saves the listed key trees when made and, when it goes, removes them and
// writes the saved copies back (a key that did not exist stays away).
class registryGuard {
public:
    struct keyPath {
        HKEY root;
        std::string path;
    };
    explicit registryGuard(std::vector<keyPath> keys);
    ~registryGuard();
    registryGuard(const registryGuard&) = delete;
    registryGuard& operator=(const registryGuard&) = delete;

    struct savedKey;  // a copy of one key tree (registry.cpp)

private:
    struct saved {
        keyPath where;
        std::shared_ptr<savedKey> tree;  // null: the key did not exist
    };
    std::vector<saved> saved_;
};

}  // namespace vesk::testing
