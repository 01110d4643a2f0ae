// Where things are when a test runs: tests\, stage\ and fixtures\ are
// sibling folders of the build.
#pragma once

#include <string>
#include <vector>

namespace vesk::testing {

std::string testsDir();     // the folder of the running test program
std::string stageDir();     // the staged client (runtime.exe, plugins\)
std::string fixturesDir();  // plug-in modules made for tests

// The GCC runtime DLLs every program of this build needs beside it (their
// names differ between 32-bit and 64-bit builds).
const std::vector<std::string>& runtimeDllNames();

// A new empty folder under the system's temporary folder, removed with its
// content when the object goes.
class tempDir {
public:
    tempDir();
    ~tempDir();
    tempDir(const tempDir&) = delete;
    tempDir& operator=(const tempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

bool removeTree(const std::string& path);
bool copyFile(const std::string& from, const std::string& to);
bool writeFile(const std::string& path, const std::string& bytes);
// The whole file; empty when it cannot be read.
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);

}  // namespace vesk::testing
