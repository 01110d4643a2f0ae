#include "plugins/Ombrel/shareListFile.h"

#include <windows.h>

namespace vesk::ss::shareListFile {

std::string DefaultPath() {
    char folder[MAX_PATH] = {};
    DWORD n = GetCurrentDirectoryA(MAX_PATH, folder);
    if (n == 0 || n >= MAX_PATH)
        folder[0] = '\0';  // then the file is looked for where the platform puts it
    return std::string(folder) + "\\pelloran.ini";
}

std::string PathOr(const char* file) { return file ? std::string(file) : DefaultPath(); }

}  // namespace vesk::ss::shareListFile
