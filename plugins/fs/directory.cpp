#include "plugins/fs/directory.h"

#include <windows.h>

#include <cstring>
#include <new>

#include "core/module.h"
#include "plugins/fs/file.h"
#include "plugins/fs/services.h"
#include "vesk/containers.h"

namespace vesk::fs {

namespace {

// Attributes of the path as given: unlike a file search this also answers
// for a drive root such as "C:\".
bool isFolder(const std::string& path) {
    if (path.empty())
        return false;
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// How much of the path names no folder that could be made: the long-path
// prefix "\\?\", a server and its share, or a drive's root.
size_t rootLength(const std::string& path) {
    size_t at = 0;
    bool network = false;
    if (path.compare(0, 8, "\\\\?\\UNC\\") == 0) {
        at = 8;
        network = true;
    } else if (path.compare(0, 4, "\\\\?\\") == 0) {
        at = 4;
    } else if (path.compare(0, 2, "\\\\") == 0) {
        at = 2;
        network = true;
    }
    if (network) {
        for (int level = 0; level < 2 && at < path.size(); ++level) {  // server, share
            size_t end = path.find('\\', at);
            at = end == std::string::npos ? path.size() : end + 1;
        }
        return at;
    }
    if (path.size() >= at + 3 && path[at + 1] == ':' && path[at + 2] == '\\')
        return at + 3;
    return at;
}

bool isDotEntry(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

Ivector* makeObjectVector() {
    moduleServices& s = services();
    return createAs<Ivector>(s.factory, s.owner, "vesk::vector", addRefMode);
}

Igeneric* entryObject(const std::string& path, const WIN32_FIND_DATAA& entry) {
    std::string full = path + entry.cFileName;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return newDirectory(full.c_str());
    return newFile(full.c_str());
}

}  // namespace

directory::directory(const char* path) {
    registerInterfaceOf<Idirectory>(this);
    registerInterfaceOf<Igeneric>(this);
    if (path && *path) {
        path_ = path;
        if (path_.back() != '\\')
            path_ += '\\';
    }
}

Ivector* directory::list() {
    if (!exists())
        return nullptr;
    Ivector* entries = makeObjectVector();  // count 0 until the caller takes it
    if (!entries)
        return nullptr;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((path_ + "*.*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        dropNew(entries);
        return nullptr;
    }
    do {
        if (isDotEntry(entry.cFileName))
            continue;
        if (Igeneric* object = entryObject(path_, entry))
            entries->pushBack(value(object));
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return entries;
}

bool directory::accepts(Igeneric* object) {
    return interfaceCast<Ifile>(object) || interfaceCast<Idirectory>(object);
}

bool directory::exists() { return isFolder(path_); }

int directory::create(bool createMissing) {
    if (path_.empty() || exists())
        return 0;
    for (size_t end = path_.find('\\', rootLength(path_)); end != std::string::npos;
         end = path_.find('\\', end + 1)) {
        std::string level = path_.substr(0, end + 1);
        if (!isFolder(level)) {
            if (!createMissing)
                return 0;
            // "Already exists" also answers for a file of that name; only a
            // folder found afterwards counts (another thread may have made it).
            if (!CreateDirectoryA(level.c_str(), nullptr) && !isFolder(level))
                return 0;
        }
        Sleep(0);
    }
    return isFolder(path_) ? 1 : 0;
}

bool directory::clear(bool recursive) {
    ref<Ivector> entries(list());
    if (!entries)
        return false;
    for (unsigned i = 0; i < entries->size(); ++i) {
        Igeneric* object = entries->at(i).asGeneric();
        if (Ifile* f = interfaceCast<Ifile>(object))
            f->remove();
        else if (Idirectory* d = interfaceCast<Idirectory>(object); d && recursive)
            d->clear(true);
        Sleep(0);
    }
    return true;
}

bool directory::remove() { return !path_.empty() && RemoveDirectoryA(path_.c_str()); }

Idirectory* newDirectory(const char* path) { return new (std::nothrow) capsule<directory>(path); }

}  // namespace vesk::fs
