#include "core/currentDirectory.h"

#include <windows.h>

namespace vesk {

std::string currentDirectory() {
    // Another thread may move it between the two calls: try again then.
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD needed = GetCurrentDirectoryA(0, nullptr);
        if (needed == 0)
            return std::string();
        std::string path(needed, '\0');
        DWORD length = GetCurrentDirectoryA(needed, &path[0]);
        if (length == 0)
            return std::string();
        if (length < needed) {
            path.resize(length);
            return path;
        }
    }
    return std::string();
}

}  // namespace vesk
