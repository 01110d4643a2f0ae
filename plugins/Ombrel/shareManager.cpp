#include "plugins/Ombrel/shareManager.h"

#include <windows.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "core/shareList.h"
#include "core/text.h"
#include "plugins/Ombrel/optionPages.h"
#include "plugins/Ombrel/shareListFile.h"

namespace vesk::ss {

namespace {

constexpr unsigned pathBufferSize = 520;
constexpr unsigned flagBufferSize = 260;

std::string sectionName(unsigned n) { return "SHARE" + std::to_string(n); }

// Every section name of the file.
std::vector<std::string> sectionNames(const std::string& file) {
    if (file.empty())
        return {};  // the profile calls would read the system's own file
    std::vector<char> buffer(4096);
    for (;;) {
        DWORD n = GetPrivateProfileSectionNamesA(buffer.data(), static_cast<DWORD>(buffer.size()),
                                                 file.c_str());
        if (n + 2 < buffer.size())
            break;
        if (buffer.size() >= (1u << 24))
            break;  // what fits is all we look at
        buffer.resize(buffer.size() * 2);
    }
    std::vector<std::string> names;
    for (const char* name = buffer.data(); *name; name += std::strlen(name) + 1)
        names.push_back(name);
    return names;
}

bool isShareSection(const std::string& name) {
    if (name.size() <= 5 || lowerCase(name.substr(0, 5)) != "share")
        return false;
    for (std::size_t i = 5; i < name.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

}  // namespace

CShareManager::CShareManager() {
    registerInterfaceOf<IShareManager>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
}

bool CShareManager::Normalise(const char* path, std::string& out) {
    if (!path || !*path)
        return false;
    std::string text = lowerCase(path);
    if (text.back() != '\\')
        text += '\\';
    if (text.size() > maxSharePath)
        return false;
    out = text;
    return true;
}

int CShareManager::LoadShares() {
    AddSharesPage();
    return 0;
}

bool CShareManager::AddShare(const char* path, bool recursive) {
    std::string key;
    if (!Normalise(path, key))
        return false;
    std::lock_guard<std::mutex> hold(lock_);
    auto found = shares_.find(key);
    if (found != shares_.end()) {
        found->second = recursive;
        return false;
    }
    shares_.emplace(key, recursive);
    return true;
}

bool CShareManager::SetRecursive(const char* path, bool recursive) {
    std::string key;
    if (!Normalise(path, key))
        return false;
    std::lock_guard<std::mutex> hold(lock_);
    auto found = shares_.find(key);
    if (found == shares_.end())
        return false;
    found->second = recursive;
    return true;
}

bool CShareManager::RemoveShare(const char* path) {
    std::string key;
    if (!Normalise(path, key))
        return false;
    std::lock_guard<std::mutex> hold(lock_);
    return shares_.erase(key) != 0;
}

bool CShareManager::IsShared(const char* path) {
    std::string key;
    if (!Normalise(path, key))
        return false;
    std::lock_guard<std::mutex> hold(lock_);
    return shares_.count(key) != 0;
}

bool CShareManager::IsRecursive(const char* path) {
    std::string key;
    if (!Normalise(path, key))
        return false;
    std::lock_guard<std::mutex> hold(lock_);
    auto found = shares_.find(key);
    return found != shares_.end() && found->second;
}

int CShareManager::Count() {
    std::lock_guard<std::mutex> hold(lock_);
    return static_cast<int>(shares_.size());
}

std::map<std::string, bool> CShareManager::Shares() {
    std::lock_guard<std::mutex> hold(lock_);
    return shares_;
}

int CShareManager::LoadShareFile(const char* file) {
    std::string path = shareListFile::PathOr(file);
    {
        std::lock_guard<std::mutex> hold(lock_);
        shares_.clear();
    }
    // Sections are numbered without gaps; the first missing one ends the list.
    for (unsigned n = 0;; ++n) {
        std::string section = sectionName(n);
        if (!sectionExists(path, section))
            break;
        std::string folder = profileText(path, section, "PATH", "", pathBufferSize);
        if (folder.empty())
            continue;
        std::string flag = profileText(path, section, "RECURSIVE", "0", flagBufferSize);
        AddShare(folder.c_str(), readsAsTrue(flag));
    }
    return 0;
}

void CShareManager::SaveShares(const char* file) {
    std::string path = shareListFile::PathOr(file);
    // Every old share section goes, numbered in order or not, so a shorter
    // list leaves nothing stale behind; "DIR" stays.
    bool written = true;
    for (const std::string& name : sectionNames(path))
        if (isShareSection(name))
            written = shareListFile::WriteKey(path, name.c_str(), nullptr, nullptr) && written;
    std::map<std::string, bool> shares;
    {
        std::lock_guard<std::mutex> hold(lock_);
        shares = shares_;
    }
    unsigned n = 0;
    for (const auto& share : shares) {
        std::string section = sectionName(n++);
        written = shareListFile::WriteKey(path, section.c_str(), "PATH", share.first.c_str()) && written;
        written = shareListFile::WriteKey(path, section.c_str(), "RECURSIVE", share.second ? "1" : "0") &&
                  written;
    }
    // The list stays in memory: the next save tries again.
    if (!written)
        shareListFile::ReportWriteFailure(path);
}

}  // namespace vesk::ss
