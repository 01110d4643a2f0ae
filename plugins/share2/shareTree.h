// The tree of shared folders and files, its registry of objects by id, the
// hash index, and the scan, word search and hash walk over it.
//
// One reentrant lock guards everything that changes: the registry, the
// share list, every folder's child lists, the active flags and the hash
// index. Names, paths, sizes and parents never change once an object is
// made, so they are read without it.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/capsule.h"
#include "core/locks.h"
#include "plugins/share2/sha1.h"
#include "vesk/share2.h"

namespace vesk::share2 {

class shareTree;
class CShareDirectory;
class CShareFile;

// What a word search carries through the folders.
struct wordSearch {
    std::vector<std::string> words;  // lower case, none empty
    const std::atomic<int>* stop;    // not owned
    std::vector<CShareFile*> found;
};

class CShareObj : public IShareObj {
public:
    virtual ~CShareObj();
    // Appends this object's matches in search order; only folders find any.
    virtual void searchWords(wordSearch& search);

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
    unsigned long long size64() const { return (static_cast<unsigned long long>(sizeHigh_) << 32) | sizeLow_; }

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
    CShareDirectory(unsigned id, shareTree& tree, CShareDirectory* parent, const std::string& name,
                    bool recursive);

    const char* getName() override { return ""; }
    unsigned getSize() override;
    const char* getHash() override { return ""; }
    std::string fullPath() const override { return fullPath_; }
    CShareDirectory* parentFolder() const override { return parent_; }
    void searchWords(wordSearch& search) override;

    const std::string& name() const { return name_; }
    // The rest: under the tree's lock.
    bool recursive() const { return recursive_; }
    void setRecursive(bool recursive) { recursive_ = recursive; }
    std::vector<CShareFile*>& files() { return files_; }
    std::vector<CShareDirectory*>& subfolders() { return subfolders_; }

private:
    shareTree& tree_;
    CShareDirectory* const parent_;  // not owned; null for a share
    const std::string name_;
    const std::string fullPath_;
    bool recursive_;
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

    // A new active share with path (lower case, ending in '\'), not yet
    // scanned; null when the path is empty or too long. Under lock().
    CShareDirectory* addShare(const std::string& path, bool recursive);
    // The share whose path equals path ignoring case, or null. Under lock().
    CShareDirectory* findShare(const std::string& path);
    std::vector<CShareDirectory*>& shares() { return shares_; }  // under lock()

    // Re-lists one folder; see the .cpp for what a rescan keeps.
    void scan(CShareDirectory* folder, bool recursive);
    // Active files of the active shares whose lower-case names contain every
    // word, in share order, subfolders before files.
    std::vector<CShareFile*> search(const std::vector<std::string>& words);
    // Both answer only objects that are still shared (isShared).
    IShareObj* objectById(unsigned id);
    IShareObj* fileByHash(const char* text);
    unsigned objectCount() const { return count_.load(); }
    // Hashes every active, unhashed file of the share's active folders.
    void hashAll(CShareDirectory* share);
    // Hashes one file unless it has a hash; false when it could not be read.
    bool computeHash(CShareFile* file);

private:
    unsigned nextId() const { return static_cast<unsigned>(registry_.size()); }
    void enroll(CShareObj* object);
    void scanEntry(CShareDirectory* folder, const WIN32_FIND_DATAA& entry, bool recursive);
    void collectUnhashed(CShareDirectory* folder, std::vector<CShareFile*>& work);

    capsule<criticalSectionLock> lock_;
    std::atomic<int> stop_{0};
    std::vector<std::unique_ptr<CShareObj>> registry_;  // index = id
    std::atomic<unsigned> count_{0};
    std::vector<CShareDirectory*> shares_;
    std::map<std::string, CShareFile*> hashIndex_;
    CSHA1 sha1_;  // hasher thread only
};

// Splits a query into lower-case words at blanks; empty words are dropped.
std::vector<std::string> splitQuery(const char* query);

}  // namespace vesk::share2
