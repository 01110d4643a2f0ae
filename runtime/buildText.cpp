#include "runtime/buildText.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "core/text.h"

namespace vesk {

std::string readBuildText(const char* path) {
    DWORD unused = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &unused);
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
    for (const char* c = static_cast<const char*>(text); *c && build.size() < buildTextLimit && textSize > 0; ++c, --textSize)
        build += *c;
    return lowerCase(build);
}

}  // namespace vesk
