// vesk::ss::CShareManager: the folders the user shares, kept in the
// share-list file. The shares page edits it on the GUI thread; a lock keeps
// it whole for other readers.
#pragma once

#include <map>
#include <mutex>
#include <string>

#include "core/capsule.h"
#include "vesk/ss.h"

namespace vesk::ss {

// Room of a share path: 519 characters.
constexpr std::size_t maxSharePath = 519;

class CShareManager : public objectBase, public IShareManager, public IcoreObject {
public:
    CShareManager();

    int LoadShares() override;
    void Save() override {}  // the list is written when the shares page applies
    int LoadShareFile(const char* file) override;
    void SaveShares(const char* file) override;
    bool AddShare(const char* path, bool recursive) override;
    bool SetRecursive(const char* path, bool recursive) override;
    bool RemoveShare(const char* path) override;
    int Reserved() override { return 0; }
    bool IsShared(const char* path) override;

    bool IsRecursive(const char* path);
    int Count();
    // Every share: normalised path -> recursive.
    std::map<std::string, bool> Shares();

    // Lower case with one trailing backslash; false for a null, empty or
    // too long path.
    static bool Normalise(const char* path, std::string& out);

private:
    std::mutex lock_;
    std::map<std::string, bool> shares_;  // normalised path -> recursive
};

}  // namespace vesk::ss
