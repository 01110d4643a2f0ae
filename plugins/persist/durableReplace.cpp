#include "plugins/persist/durableReplace.h"

#include <windows.h>

namespace vesk::persist {

namespace {

// The file's cached bytes, whichever handle wrote them, go to the disk.
bool flushFileToDisk(const std::string& file) {
    HANDLE f = CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    bool flushed = FlushFileBuffers(f) != 0;
    return CloseHandle(f) && flushed;
}

bool moveFileReplacing(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace

replaceSteps platformReplaceSteps() { return replaceSteps{flushFileToDisk, moveFileReplacing}; }

// Without the flush the rename can reach the disk before the data: after a
// power loss the settings file exists and is empty.
bool replaceDurably(const std::string& temporary, const std::string& path, const replaceSteps& steps) {
    return steps.flushToDisk(temporary) && steps.moveReplacing(temporary, path);
}

}  // namespace vesk::persist
