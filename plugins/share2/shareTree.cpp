#include "plugins/share2/shareTree.h"

#include <cstring>

#include "plugins/share2/text.h"

namespace vesk::share2 {
namespace {

bool isHidden(const char* name) { return name[0] == '.'; }

bool isFolder(const WIN32_FIND_DATAA& entry) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string withBackslash(const std::string& path) {
    return !path.empty() && path.back() == '\\' ? path : path + '\\';
}

class findCloser {
public:
    explicit findCloser(HANDLE h) : h_(h) {}
    ~findCloser() { FindClose(h_); }
    findCloser(const findCloser&) = delete;
    findCloser& operator=(const findCloser&) = delete;

private:
    HANDLE h_;
};

bool containsEveryWord(const CShareFile* file, const std::vector<std::string>& words) {
    for (const std::string& word : words) {
        bool found = std::strstr(file->lowerName().c_str(), word.c_str()) != nullptr;
        Sleep(0);  // a long search must not starve the other threads
        if (!found)
            return false;
    }
    return true;
}

}  // namespace

// ---- objects

CShareObj::~CShareObj() = default;

void CShareObj::searchWords(wordSearch&) {}

bool CShareObj::isShared() const {
    if (!isActive())
        return false;
    for (const CShareDirectory* folder = parentFolder(); folder; folder = folder->parentFolder())
        if (!folder->isActive())
            return false;
    return true;
}

void CShareObj::getPath(char* out) {
    if (!out)
        return;
    std::string path = fullPath();
    size_t used = strnlen(out, pathBufferSize);
    if (used + path.size() < pathBufferSize)
        std::memcpy(out + used, path.c_str(), path.size() + 1);
}

CShareFile::CShareFile(unsigned id, CShareDirectory* parent, const std::string& name, unsigned sizeHigh,
                       unsigned sizeLow)
    : CShareObj(id), parent_(parent), name_(name), lowerName_(lowerCase(name)), sizeHigh_(sizeHigh),
      sizeLow_(sizeLow) {}

std::string CShareFile::fullPath() const { return parent_->fullPath() + name_; }

void CShareFile::setHash(const char* text) {
    if (hashed_.load())
        return;
    std::memcpy(hash_, text, hashTextLength);
    hash_[hashTextLength] = '\0';
    hashed_.store(true);
}

CShareDirectory::CShareDirectory(unsigned id, shareTree& tree, CShareDirectory* parent,
                                 const std::string& name, bool recursive)
    : CShareObj(id), tree_(tree), parent_(parent), name_(name),
      fullPath_(withBackslash(parent ? parent->fullPath() + name : name)), recursive_(recursive) {}

unsigned CShareDirectory::getSize() {
    lockGuard hold(tree_.lock());
    unsigned total = 0;
    for (CShareFile* file : files_)
        total += file->getSize();
    for (CShareDirectory* sub : subfolders_)
        total += sub->getSize();
    return total;
}

void CShareDirectory::searchWords(wordSearch& search) {
    for (CShareDirectory* sub : subfolders_) {
        if (search.stop->load())
            return;
        if (sub->isActive())
            sub->searchWords(search);
    }
    for (CShareFile* file : files_) {
        if (search.stop->load())
            return;
        if (file->isActive() && containsEveryWord(file, search.words))
            search.found.push_back(file);
    }
}

// ---- the tree

shareTree::shareTree() = default;

shareTree::~shareTree() = default;

void shareTree::enroll(CShareObj* object) {
    registry_.emplace_back(object);
    count_.store(static_cast<unsigned>(registry_.size()));
}

CShareDirectory* shareTree::addShare(const std::string& path, bool recursive) {
    if (path.empty() || path.size() > maxPathLength)
        return nullptr;
    lockGuard hold(lock());
    auto* share = new CShareDirectory(nextId(), *this, nullptr, path, recursive);
    enroll(share);
    share->setActive(true);
    shares_.push_back(share);
    return share;
}

CShareDirectory* shareTree::findShare(const std::string& path) {
    lockGuard hold(lock());
    for (CShareDirectory* share : shares_)
        if (_stricmp(share->name().c_str(), path.c_str()) == 0)
            return share;
    return nullptr;
}

// A rescan finds new entries of this folder and whole new subfolders and
// marks vanished entries inactive; subfolders known before are not listed
// again. Nothing is ever removed, so ids stay valid for good.
void shareTree::scan(CShareDirectory* folder, bool recursive) {
    lockGuard hold(lock());
    for (CShareFile* file : folder->files())
        file->setActive(false);
    for (CShareDirectory* sub : folder->subfolders())
        sub->setActive(false);

    std::string pattern = lowerCase(folder->fullPath()) + "*.*";
    if (pattern.size() > maxPathLength)
        return;
    WIN32_FIND_DATAA entry;
    HANDLE listing = FindFirstFileA(pattern.c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE)
        return;
    findCloser closer(listing);
    do {
        if (stop_.load())
            return;
        if (!isHidden(entry.cFileName))
            scanEntry(folder, entry, recursive);
    } while (FindNextFileA(listing, &entry));
}

void shareTree::scanEntry(CShareDirectory* folder, const WIN32_FIND_DATAA& entry, bool recursive) {
    const char* name = entry.cFileName;
    if (!isFolder(entry)) {
        CShareFile* known = nullptr;
        for (CShareFile* file : folder->files())
            if (_stricmp(file->name().c_str(), name) == 0)
                known = file;
        if (known) {
            known->setActive(true);
            return;
        }
        if (folder->fullPath().size() + std::strlen(name) > maxPathLength)
            return;
        auto* file = new CShareFile(nextId(), folder, name, entry.nFileSizeHigh, entry.nFileSizeLow);
        enroll(file);
        file->setActive(true);
        folder->files().push_back(file);
        return;
    }
    if (!recursive)
        return;
    bool known = false;
    for (CShareDirectory* sub : folder->subfolders())
        if (_stricmp(sub->name().c_str(), name) == 0) {
            sub->setActive(true);
            known = true;
        }
    if (known || folder->fullPath().size() + std::strlen(name) + 1 > maxPathLength)
        return;
    auto* sub = new CShareDirectory(nextId(), *this, folder, name, false);
    enroll(sub);
    sub->setActive(true);
    scan(sub, recursive);
    folder->subfolders().push_back(sub);
}

std::vector<CShareFile*> shareTree::search(const std::vector<std::string>& words) {
    wordSearch search{words, &stop_, {}};
    lockGuard hold(lock());
    for (CShareDirectory* share : shares_) {
        if (stop_.load())
            break;
        if (share->isActive())
            share->searchWords(search);
    }
    return search.found;
}

IShareObj* shareTree::objectById(unsigned id) {
    lockGuard hold(lock());
    // A file under a folder that is no longer shared (a share taken off the
    // list, a subfolder of a share made non-recursive) keeps its own flag:
    // it must not be served all the same.
    if (id >= registry_.size() || !registry_[id]->isShared())
        return nullptr;
    return registry_[id].get();
}

IShareObj* shareTree::fileByHash(const char* text) {
    if (!text)
        return nullptr;
    lockGuard hold(lock());
    auto it = hashIndex_.find(text);
    return it == hashIndex_.end() || !it->second->isShared() ? nullptr : it->second;
}

void shareTree::collectUnhashed(CShareDirectory* folder, std::vector<CShareFile*>& work) {
    for (CShareDirectory* sub : folder->subfolders()) {
        if (stop_.load())
            return;
        if (sub->isActive())
            collectUnhashed(sub, work);
    }
    for (CShareFile* file : folder->files()) {
        if (stop_.load())
            return;
        if (file->isActive() && !file->hashed())
            work.push_back(file);
    }
}

// The work list is taken under the lock and hashed outside it: reading a
// large library must not hold up searches and look-ups.
void shareTree::hashAll(CShareDirectory* share) {
    std::vector<CShareFile*> work;
    {
        lockGuard hold(lock());
        collectUnhashed(share, work);
    }
    for (CShareFile* file : work) {
        if (stop_.load())
            return;
        computeHash(file);
    }
}

bool shareTree::computeHash(CShareFile* file) {
    if (file->hashed())
        return true;
    sha1_.reset();
    bool read = sha1_.hashFile(file->fullPath().c_str(), &stop_) != 0;
    if (read) {
        sha1_.final();
        unsigned char digest[digestSize];
        sha1_.copyDigest(reinterpret_cast<char*>(digest));
        char text[hashTextLength + 1];
        hashText(digest, text);
        lockGuard hold(lock());
        file->setHash(text);
        hashIndex_[text] = file;  // the file hashed last wins
    }
    sha1_.reset();
    return read;
}

std::vector<std::string> splitQuery(const char* query) {
    std::vector<std::string> words;
    std::string lower = lowerCase(query ? query : "");
    size_t start = 0;
    while (start <= lower.size()) {
        size_t blank = lower.find(' ', start);
        if (blank == std::string::npos)
            blank = lower.size();
        if (blank > start)
            words.push_back(lower.substr(start, blank - start));
        start = blank + 1;
    }
    return words;
}

}  // namespace vesk::share2
