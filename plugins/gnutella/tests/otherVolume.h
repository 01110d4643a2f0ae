// A folder on another volume than the tests' own temporary folders (the
// machine's memory file system, as the platform's Z: drive shows it), made
// for the test and removed after it; empty where there is none.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "testing/testPaths.h"

namespace vesk::gnutella::test {

class otherVolumeDir {
public:
    otherVolumeDir() {
        DWORD shm = GetFileAttributesA("Z:\\dev\\shm");
        if (shm == INVALID_FILE_ATTRIBUTES || !(shm & FILE_ATTRIBUTE_DIRECTORY))
            return;
        static int made = 0;
        std::string path = "Z:\\dev\\shm\\vesk-move-" + std::to_string(GetCurrentProcessId()) + "-" +
                           std::to_string(++made);
        if (CreateDirectoryA(path.c_str(), nullptr))
            path_ = path;
    }
    ~otherVolumeDir() {
        if (!path_.empty())
            vesk::testing::removeTree(path_);
    }
    otherVolumeDir(const otherVolumeDir&) = delete;
    otherVolumeDir& operator=(const otherVolumeDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// The names of the files in a folder, sorted.
inline std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace vesk::gnutella::test
