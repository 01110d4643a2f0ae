#include "testing/testPaths.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <stdexcept>

namespace vesk::testing {

namespace {

std::string parentOf(const std::string& path) {
    auto cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string(".") : path.substr(0, cut);
}

}  // namespace

std::string testsDir() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        throw std::runtime_error("GetModuleFileNameA failed");
    return parentOf(std::string(path, n));
}

std::string stageDir() { return parentOf(testsDir()) + "\\stage"; }
std::string fixturesDir() { return parentOf(testsDir()) + "\\fixtures"; }

const std::vector<std::string>& runtimeDllNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        std::string all = VESK_RUNTIME_DLL_NAMES;
        for (size_t at = 0; at <= all.size();) {
            size_t comma = all.find(',', at);
            if (comma == std::string::npos)
                comma = all.size();
            if (comma > at)
                list.push_back(all.substr(at, comma - at));
            at = comma + 1;
        }
        return list;
    }();
    return names;
}

tempDir::tempDir() {
    static std::atomic<unsigned> counter{0};
    char base[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, base);
    if (n == 0 || n >= MAX_PATH)
        throw std::runtime_error("GetTempPathA failed");
    for (int attempt = 0; attempt < 1000; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, "vesk-%lu-%u", GetCurrentProcessId(), counter++);
        std::string candidate = std::string(base) + name;
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

tempDir::~tempDir() { removeTree(path_); }

bool removeTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(full);
            } else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return RemoveDirectoryA(path.c_str()) != 0;
}

bool copyFile(const std::string& from, const std::string& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

bool writeFile(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

std::string readFile(const std::string& path) {
    std::string out;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return out;
    char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        out.append(chunk, n);
    std::fclose(f);
    return out;
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace vesk::testing
