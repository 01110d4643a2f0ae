#include "plugins/share2/shareTree.h"

#include <cstring>
#include <string_view>
#include <unordered_map>

#include "core/text.h"

namespace vesk::share2 {
namespace {

bool isHidden(const char* name) { return name[0] == '.'; }

bool isFolder(const WIN32_FIND_DATAA& entry) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A junction or a symbolic link: it may lead out of the share, or back
// into it, where a recursive scan would go round until paths got too long.
bool isLink(const WIN32_FIND_DATAA& entry) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Sizes travel in 32-bit fields: a file of 4 GiB or more cannot be offered.
bool tooLargeToShare(const WIN32_FIND_DATAA& entry) { return entry.nFileSizeHigh != 0; }

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

// Holds a lock if it can be had without waiting.
class lockIfFree {
public:
    explicit lockIfFree(Ilock* l) : lock_(l), held_(l->tryLock(0)) {}
    ~lockIfFree() {
        if (held_)
            lock_->unlock(0);
    }
    lockIfFree(const lockIfFree&) = delete;
    lockIfFree& operator=(const lockIfFree&) = delete;
    bool held() const { return held_; }

private:
    Ilock* lock_;  // not owned
    bool held_;
};

}  // namespace

// ---- objects

CShareObj::~CShareObj() = default;

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

CShareDirectory::CShareDirectory(unsigned id, CShareDirectory* parent, const std::string& name, bool recursive)
    : CShareObj(id), parent_(parent), name_(name), lowerName_(lowerCase(name)),
      fullPath_(withBackslash(parent ? parent->fullPath() + name : name)), recursive_(recursive) {}

void CShareDirectory::addFileSize(unsigned size) {
    for (CShareDirectory* folder = this; folder; folder = folder->parent_)
        folder->size_.fetch_add(size);
}

// ---- scanning

// A folder's children before a scan, by lower-case name, and which of them
// the listing named. The flags are set only once the listing is complete:
// look-ups take no lock, and must not see a rescanned folder's contents
// vanish while it is listed.
class shareTree::folderChildren {
public:
    explicit folderChildren(const CShareDirectory& folder) {
        files_.reserve(folder.files().size());
        for (CShareFile* file : folder.files())
            files_.emplace(file->lowerName(), child{file, false});
        for (CShareDirectory* sub : folder.subfolders())
            subfolders_.emplace(sub->lowerName(), child{sub, false});
    }

    // Whether a file or subfolder of that name is known; it counts as seen.
    bool sawFile(const std::string& lowerName) { return see(files_, lowerName); }
    bool sawSubfolder(const std::string& lowerName) { return see(subfolders_, lowerName); }
    void addFile(CShareFile* file) { files_.emplace(file->lowerName(), child{file, true}); }
    void addSubfolder(CShareDirectory* sub) { subfolders_.emplace(sub->lowerName(), child{sub, true}); }
    // Active: exactly what was seen.
    void applySeen() {
        for (auto* children : {&files_, &subfolders_})
            for (auto& [name, c] : *children)
                c.object->setActive(c.seen);
    }

private:
    struct child {
        CShareObj* object;
        bool seen;
    };
    // Keys view the objects' own lower-case names, which never change.
    using byName = std::unordered_map<std::string_view, child>;

    static bool see(byName& children, const std::string& lowerName) {
        auto it = children.find(lowerName);
        if (it == children.end())
            return false;
        it->second.seen = true;
        return true;
    }

    byName files_;
    byName subfolders_;
};

shareTree::shareTree() : searchPause_([] { Sleep(0); }), index_(std::make_shared<const nameIndex>()) {}

shareTree::~shareTree() = default;

void shareTree::enroll(CShareObj* object) {
    {
        exclusiveHold hold(lookupLock_);
        registry_.emplace_back(object);
        count_.store(static_cast<unsigned>(registry_.size()));
    }
    structureVersion_.fetch_add(1);
}

CShareDirectory* shareTree::addShare(const std::string& path, bool recursive) {
    if (path.empty() || path.size() > maxPathLength)
        return nullptr;
    lockGuard hold(lock());
    auto* share = new CShareDirectory(nextId(), nullptr, path, recursive);
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
// again. Nothing is ever removed, so ids stay valid for good. Each entry
// is looked up by name in a table, so a folder of any size is listed in
// time linear in its size.
void shareTree::scan(CShareDirectory* folder, bool recursive) {
    lockGuard hold(lock());
    folderChildren known(*folder);
    std::string pattern = lowerCase(folder->fullPath()) + "*.*";
    WIN32_FIND_DATAA entry;
    HANDLE listing = pattern.size() > maxPathLength ? INVALID_HANDLE_VALUE : FindFirstFileA(pattern.c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE) {
        known.applySeen();  // nothing: everything in it is inactive
        return;
    }
    findCloser closer(listing);
    do {
        if (stop_.load())
            return;
        if (!isHidden(entry.cFileName))
            scanEntry(folder, entry, recursive, known);
    } while (FindNextFileA(listing, &entry));
    known.applySeen();
}

void shareTree::scanEntry(CShareDirectory* folder, const WIN32_FIND_DATAA& entry, bool recursive,
                          folderChildren& known) {
    const char* name = entry.cFileName;
    if (!isFolder(entry)) {
        if (tooLargeToShare(entry))
            leaveOutLargeFile(folder->fullPath() + name);
        else if (!known.sawFile(lowerCase(name)))
            addFile(folder, entry, known);
        return;
    }
    if (recursive && !isLink(entry) && !known.sawSubfolder(lowerCase(name)))
        addSubfolder(folder, name, known);
}

void shareTree::addFile(CShareDirectory* folder, const WIN32_FIND_DATAA& entry, folderChildren& known) {
    if (folder->fullPath().size() + std::strlen(entry.cFileName) > maxPathLength)
        return;
    auto* file = new CShareFile(nextId(), folder, entry.cFileName, entry.nFileSizeHigh, entry.nFileSizeLow);
    enroll(file);
    file->setActive(true);
    folder->files().push_back(file);
    folder->addFileSize(entry.nFileSizeLow);
    totalSize_.fetch_add(entry.nFileSizeLow);
    known.addFile(file);
}

void shareTree::addSubfolder(CShareDirectory* folder, const char* name, folderChildren& known) {
    if (folder->fullPath().size() + std::strlen(name) + 1 > maxPathLength)
        return;
    auto* sub = new CShareDirectory(nextId(), folder, name, false);
    enroll(sub);
    sub->setActive(true);
    scan(sub, true);
    folder->subfolders().push_back(sub);
    known.addSubfolder(sub);
}

void shareTree::leaveOutLargeFile(const std::string& path) {
    if (!largeFilesLogged_.insert(lowerCase(path)).second || !log_)
        return;
    log_(("SHARE2: not shared, 4 GiB or more: " + path).c_str());
}

// ---- searches and look-ups

void shareTree::search(const char* query, const std::function<void(CShareFile*)>& take) {
    if (stop_.load())
        return;
    queryWords words(query);
    freshIndex()->search(words, stop_, searchPause_, take);
}

std::shared_ptr<const nameIndex> shareTree::currentIndex() {
    sharedHold hold(indexLock_);
    return index_;
}

std::shared_ptr<const nameIndex> shareTree::freshIndex() {
    std::shared_ptr<const nameIndex> index = currentIndex();
    if (index->version() == structureVersion_.load())
        return index;
    exclusiveHold rebuilding(rebuildLock_);
    index = currentIndex();  // another search may have just built it
    if (index->version() == structureVersion_.load())
        return index;
    // A scan holds the lock as long as a large folder takes to list: a
    // search then answers from the tree as it was before the scan rather
    // than keep a network thread waiting.
    lockIfFree tree(lock());
    if (!tree.held())
        return index;
    index = std::make_shared<const nameIndex>(shares_, structureVersion_.load());
    exclusiveHold hold(indexLock_);
    index_ = index;
    return index;
}

IShareObj* shareTree::objectById(unsigned id) {
    CShareObj* object = nullptr;
    {
        sharedHold hold(lookupLock_);
        if (id < registry_.size())
            object = registry_[id].get();
    }
    // A file under a folder that is no longer shared (a share taken off the
    // list, a subfolder of a share made non-recursive) keeps its own flag:
    // it must not be served all the same.
    return object && object->isShared() ? object : nullptr;
}

IShareObj* shareTree::fileByHash(const char* text) {
    if (!text)
        return nullptr;
    CShareFile* file = nullptr;
    {
        sharedHold hold(lookupLock_);
        auto it = hashIndex_.find(text);
        if (it != hashIndex_.end())
            file = it->second;
    }
    return file && file->isShared() ? file : nullptr;
}

// ---- hashing

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
// large library must not hold up scans.
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
        exclusiveHold hold(lookupLock_);
        file->setHash(text);
        hashIndex_[text] = file;  // the file hashed last wins
    }
    sha1_.reset();
    return read;
}

}  // namespace vesk::share2
