#include "core/versionText.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace vesk {

std::string readPrivateBuild(const char* path, std::size_t limit) {
    DWORD unused = 0;
    DWORD size = path ? GetFileVersionInfoSizeA(path, &unused) : 0;
    if (size == 0)
        return {};
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path, 0, size, block.data()))
        return {};
    void* translation = nullptr;
    UINT translationSize = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &translation, &translationSize) ||
        translationSize < 2 * sizeof(WORD))
        return {};
    const WORD* pair = static_cast<const WORD*>(translation);
    char subBlock[64];
    std::snprintf(subBlock, sizeof subBlock, "\\StringFileInfo\\%04x%04x\\PrivateBuild", pair[0], pair[1]);
    void* text = nullptr;
    UINT textSize = 0;
    if (!VerQueryValueA(block.data(), subBlock, &text, &textSize) || !text)
        return {};
    std::string build;
    // textSize counts characters and may include the terminating zero.
    for (const char* c = static_cast<const char*>(text); *c && build.size() < limit && textSize > 0; ++c, --textSize)
        build += *c;
    return build;
}

}  // namespace vesk
