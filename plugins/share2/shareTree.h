// The tree of shared folders and files, its registry of objects by id, the
// hash index, and the scan, word search and hash walk over it.
//
// The tree's reentrant lock guards its structure: the share list, every
// folder's child lists, and the growth of the registry. Scans hold it.
// Nothing a network peer asks for waits for it: look-ups by id and hash
// take a slim lock held only for a vector or map access, sizes are kept
// as running sums, and a search reads a name index built from the tree.
// Names, paths, sizes and parents never change once an object is made,
// and active flags are atomic, so all of these are read without a lock.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/capsule.h"
#include "core/locks.h"
#include "plugins/share2/nameIndex.h"
#include "plugins/share2/sha1.h"
#include "plugins/share2/slimLock.h"
#include "vesk/share2.h"

namespace vesk::share2 {

class CShareDirectory;
class CShareFile;

class CShareObj : public IShareObj {
public:
    virtual ~CShareObj();

    unsigned getId() override { return id_; }
    void getPath(char* out) override;
    bool isActive() const { return active_.load() != 0; }
    void setActive(bool active) { active_.store(active ? 1 : 0); }
    // The full path: a folder's ends in '\'. At most maxPathLength chars.
    virtual std::string fullPath() const = 0;
    virtual CShareDirectory* parentFolder() const = 0;  // null for a share
    // Active, and so is every folder above it: still shared.
    bool isShared() const;

protected:
    explicit CShareObj(unsigned id) : id_(id) {}

private:
    const unsigned id_;
    std::atomic<int> active_{0};
};

class CShareFile final : public CShareObj {
public:
    CShareFile(unsigned id, CShareDirectory* parent, const std::string& name, unsigned sizeHigh,
               unsigned sizeLow);

    const char* getName() override { return name_.c_str(); }
    unsigned getSize() override { return sizeLow_; }
    const char* getHash() override { return hashed_.load() ? hash_ : ""; }
    std::string fullPath() const override;
    CShareDirectory* parentFolder() const override { return parent_; }

    const std::string& name() const { return name_; }
    const std::string& lowerName() const { return lowerName_; }
    bool hashed() const { return hashed_.load(); }
    // Sets the hash text once; later calls change nothing.
    void setHash(const char* text);

private:
    CShareDirectory* const parent_;  // not owned
    const std::string name_;
    const std::string lowerName_;
    const unsigned sizeHigh_;
    const unsigned sizeLow_;
    char hash_[hashTextLength + 1] = {};
    std::atomic<bool> hashed_{false};  // set after hash_ is complete
};

class CShareDirectory final : public CShareObj {
public:
    // parent null: a share, whose name is its full path.
    CShareDirectory(unsigned id, CShareDirectory* parent, const std::string& name, bool recursive);

    const char* getName() override { return ""; }
    // Every file ever found below it, active or not (32-bit sum).
    unsigned getSize() override { return size_.load(); }
    const char* getHash() override { return ""; }
    std::string fullPath() const override { return fullPath_; }
    CShareDirectory* parentFolder() const override { return parent_; }

    const std::string& name() const { return name_; }
    const std::string& lowerName() const { return lowerName_; }
    // Adds a new file's size here and in every folder above.
    void addFileSize(unsigned size);
    // The rest: under the tree's lock.
    bool recursive() const { return recursive_; }
    void setRecursive(bool recursive) { recursive_ = recursive; }
    std::vector<CShareFile*>& files() { return files_; }
    std::vector<CShareDirectory*>& subfolders() { return subfolders_; }
    const std::vector<CShareFile*>& files() const { return files_; }
    const std::vector<CShareDirectory*>& subfolders() const { return subfolders_; }

private:
    CShareDirectory* const parent_;  // not owned; null for a share
    const std::string name_;
    const std::string lowerName_;
    const std::string fullPath_;
    bool recursive_;
    std::atomic<unsigned> size_{0};
    std::vector<CShareFile*> files_;             // owned by the tree's registry
    std::vector<CShareDirectory*> subfolders_;  // owned by the tree's registry
};

class shareTree {
public:
    // Paths are kept below the platform's limit: an entry whose full path
    // would be longer is not shared.
    static constexpr size_t maxPathLength = MAX_PATH - 1;

    shareTree();
    ~shareTree();
    shareTree(const shareTree&) = delete;
    shareTree& operator=(const shareTree&) = delete;

    Ilock* lock() { return &lock_; }
    std::atomic<int>& stopFlag() { return stop_; }
    // Where the tree reports what it leaves out; by default nowhere.
    void setLog(std::function<void(const char*)> log) { log_ = std::move(log); }
    // Called between runs of names in every search so that a long search
    // lets other threads run; by default Sleep(0). Set before any search.
    void setSearchPause(std::function<void()> pause) { searchPause_ = std::move(pause); }

    // A new active share with path (lower case, ending in '\'), not yet
    // scanned; null when the path is empty or too long. Under lock().
    CShareDirectory* addShare(const std::string& path, bool recursive);
    // The share whose path equals path ignoring case, or null. Under lock().
    CShareDirectory* findShare(const std::string& path);
    std::vector<CShareDirectory*>& shares() { return shares_; }  // under lock()

    // Re-lists one folder; see the .cpp for what a rescan keeps.
    void scan(CShareDirectory* folder, bool recursive);
    // Hands take the shared files whose lower-case names contain every
    // word of the query (split at blanks), in share order, subfolders
    // before files. Results go straight to the caller: under Wine, growing
    // a list of 100,000 of them took longer than the search. While a
    // scan holds the lock, the files it has added so far are not searched.
    // Not under lock(): the search would not see the tree's latest changes.
    void search(const char* query, const std::function<void(CShareFile*)>& take);
    // Both answer only objects that are still shared (isShared).
    IShareObj* objectById(unsigned id);
    IShareObj* fileByHash(const char* text);
    unsigned objectCount() const { return count_.load(); }
    // getSize summed over every share, active or not.
    unsigned totalSize() const { return totalSize_.load(); }
    // Hashes every active, unhashed file of the share's active folders.
    void hashAll(CShareDirectory* share);
    // Hashes one file unless it has a hash; false when it could not be read.
    bool computeHash(CShareFile* file);

private:
    class folderChildren;

    unsigned nextId() const { return count_.load(); }
    void enroll(CShareObj* object);
    void scanEntry(CShareDirectory* folder, const WIN32_FIND_DATAA& entry, bool recursive, folderChildren& known);
    void addFile(CShareDirectory* folder, const WIN32_FIND_DATAA& entry, folderChildren& known);
    void addSubfolder(CShareDirectory* folder, const char* name, folderChildren& known);
    // A file the protocol cannot describe; logged the first time only.
    void leaveOutLargeFile(const std::string& path);
    void collectUnhashed(CShareDirectory* folder, std::vector<CShareFile*>& work);
    std::shared_ptr<const nameIndex> currentIndex();
    // The index of the tree as it is, unless a scan is running: then the
    // one from before it.
    std::shared_ptr<const nameIndex> freshIndex();

    capsule<criticalSectionLock> lock_;
    std::atomic<int> stop_{0};
    std::function<void(const char*)> log_;
    std::function<void()> searchPause_;

    slimLock lookupLock_;                               // the registry and the hash index
    std::vector<std::unique_ptr<CShareObj>> registry_;  // index = id; grows under lock() too
    std::map<std::string, CShareFile*> hashIndex_;
    std::atomic<unsigned> count_{0};
    std::atomic<unsigned> totalSize_{0};

    std::vector<CShareDirectory*> shares_;
    std::set<std::string> largeFilesLogged_;  // under lock()
    // Counts every object made: an index of another version is stale.
    std::atomic<unsigned> structureVersion_{0};

    slimLock indexLock_;    // index_ itself, not what it points to
    slimLock rebuildLock_;  // one rebuild at a time
    std::shared_ptr<const nameIndex> index_;

    CSHA1 sha1_;  // hasher thread only
};

}  // namespace vesk::share2
