#include "plugins/share2/tests/plainWalk.h"

#include <cstring>

#include "plugins/share2/wordSearch.h"

namespace vesk::share2::test {
namespace {

bool containsEveryWord(const CShareFile* file, const std::vector<std::string>& words) {
    for (const std::string& word : words) {
        bool found = std::strstr(file->lowerName().c_str(), word.c_str()) != nullptr;
        Sleep(0);
        if (!found)
            return false;
    }
    return true;
}

void searchFolder(const CShareDirectory* folder, const std::vector<std::string>& words,
                  std::vector<CShareFile*>& found) {
    for (const CShareDirectory* sub : folder->subfolders())
        if (sub->isActive())
            searchFolder(sub, words, found);
    for (CShareFile* file : folder->files())
        if (file->isActive() && containsEveryWord(file, words))
            found.push_back(file);
}

}  // namespace

std::vector<CShareFile*> plainWalkSearch(shareTree& tree, const char* query) {
    std::vector<std::string> words = splitQuery(query);
    std::vector<CShareFile*> found;
    lockGuard hold(tree.lock());
    for (const CShareDirectory* share : tree.shares())
        if (share->isActive())
            searchFolder(share, words, found);
    return found;
}

IShareObj* plainObjectById(shareTree& tree, unsigned id) {
    lockGuard hold(tree.lock());
    return tree.objectById(id);
}

IShareObj* plainFileByHash(shareTree& tree, const char* text) {
    lockGuard hold(tree.lock());
    return tree.fileByHash(text);
}

unsigned plainTotalSize(shareTree& tree) {
    lockGuard hold(tree.lock());
    return tree.totalSize();
}

size_t plainFolderListing(const std::string& folder, size_t limit) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE listing = FindFirstFileA((folder + "\\*.*").c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (entry.cFileName[0] == '.' || (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        bool known = false;
        for (const std::string& name : names)
            if (_stricmp(name.c_str(), entry.cFileName) == 0)
                known = true;
        if (!known)
            names.push_back(entry.cFileName);
    } while (names.size() < limit && FindNextFileA(listing, &entry));
    FindClose(listing);
    return names.size();
}

}  // namespace vesk::share2::test
