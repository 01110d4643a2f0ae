#include "plugins/ui/dropFiles.h"

#include <shlobj.h>

#include <cstdint>
#include <cstring>

namespace vesk::ui {

namespace {

constexpr std::size_t dropFilesHeader = 20;
static_assert(sizeof(DROPFILES) == dropFilesHeader, "the shell's header is 20 bytes");

std::uint32_t readLe32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void walkFolder(const std::string& folder, int depth, const std::function<void(const std::string&)>& onFile) {
    std::string pattern = folder + "\\*.*";
    if (pattern.size() >= MAX_PATH)
        return;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (found.cFileName[0] == '.')
            continue;
        std::string path = folder + "\\" + found.cFileName;
        if (path.size() >= MAX_PATH)
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || depth >= dropWalkDepth)
                continue;
            walkFolder(path, depth + 1, onFile);
        } else {
            onFile(path);
            ::Sleep(0);
        }
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
}

}  // namespace

HGLOBAL BuildDropFiles(const std::vector<std::string>& paths) {
    std::size_t size = dropFilesHeader + 1;
    for (const std::string& path : paths)
        size += path.size() + 1;
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, size);
    if (!block)
        return nullptr;
    auto* bytes = static_cast<unsigned char*>(::GlobalLock(block));
    if (!bytes) {
        ::GlobalFree(block);
        return nullptr;
    }
    auto* header = reinterpret_cast<DROPFILES*>(bytes);
    header->pFiles = dropFilesHeader;
    header->pt.x = 0;
    header->pt.y = 0;
    header->fNC = FALSE;
    header->fWide = FALSE;
    std::size_t at = dropFilesHeader;
    for (const std::string& path : paths) {
        std::memcpy(bytes + at, path.data(), path.size());
        at += path.size() + 1;  // the zero byte is there already
    }
    ::GlobalUnlock(block);
    return block;
}

std::vector<std::string> ReadDropFiles(HGLOBAL block) {
    std::vector<std::string> paths;
    std::size_t size = block ? ::GlobalSize(block) : 0;
    if (size < dropFilesHeader)
        return paths;
    const auto* bytes = static_cast<const unsigned char*>(::GlobalLock(block));
    if (!bytes)
        return paths;
    std::size_t at = readLe32(bytes);
    bool wide = readLe32(bytes + 16) != 0;
    std::size_t unit = wide ? 2 : 1;
    while (at <= size - unit) {
        std::size_t end = at;
        while (end <= size - unit && (wide ? (bytes[end] | bytes[end + 1]) != 0 : bytes[end] != 0))
            end += unit;
        if (end > size - unit || end == at)
            break;  // no end inside the block, or the list's end
        std::size_t length = (end - at) / unit;
        if (length < MAX_PATH) {
            if (wide) {
                std::wstring text(length, L'\0');
                std::memcpy(&text[0], bytes + at, length * 2);
                int n = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(length), nullptr, 0, nullptr, nullptr);
                std::string path(n > 0 ? n : 0, '\0');
                if (n > 0)
                    ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(length), &path[0], n, nullptr, nullptr);
                if (!path.empty() && path.size() < MAX_PATH)
                    paths.push_back(path);
            } else {
                paths.emplace_back(reinterpret_cast<const char*>(bytes + at), length);
            }
        }
        at = end + unit;
    }
    ::GlobalUnlock(block);
    return paths;
}

void ForEachDroppedFile(const std::string& path, const std::function<void(const std::string&)>& onFile) {
    if (path.empty() || path.size() >= MAX_PATH)
        return;
    if (path.find('.') == std::string::npos) {
        std::string pattern = path + "\\*.*";
        WIN32_FIND_DATAA found;
        HANDLE probe = pattern.size() < MAX_PATH ? ::FindFirstFileA(pattern.c_str(), &found) : INVALID_HANDLE_VALUE;
        if (probe != INVALID_HANDLE_VALUE) {
            ::FindClose(probe);
            walkFolder(path, 0, onFile);
            return;
        }
    }
    onFile(path);
}

DWORD DropEffectFor(DWORD keys, DWORD allowed) {
    bool control = (keys & MK_CONTROL) != 0, shift = (keys & MK_SHIFT) != 0;
    DWORD wanted;
    if (control && shift)
        wanted = DROPEFFECT_LINK;
    else if (control)
        wanted = DROPEFFECT_COPY;
    else if (shift)
        wanted = DROPEFFECT_MOVE;
    else if (allowed & DROPEFFECT_COPY)
        wanted = DROPEFFECT_COPY;
    else if (allowed & DROPEFFECT_MOVE)
        wanted = DROPEFFECT_MOVE;
    else
        wanted = DROPEFFECT_LINK;
    return (allowed & wanted) ? wanted : DROPEFFECT_NONE;
}

}  // namespace vesk::ui
