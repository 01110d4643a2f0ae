// "vesk::persist::persistTargetFile": the settings file as a storage target.
// Reading happens once, when the target is made for a path. A save writes a
// temporary file beside the settings file, flushes it to the disk and then
// replaces the file with it, so neither a failed write nor a power loss
// costs the settings already on disk. A file that cannot be
// read as a settings document is kept beside it as <name>.bad; one that
// could not be opened or moved aside is never overwritten.
#pragma once

#include <string>

#include "core/capsule.h"
#include "vesk/containers.h"
#include "vesk/fs.h"
#include "vesk/persist.h"

namespace vesk::persist {

class persistTargetFile : public objectBase, public IpersistTarget {
public:
    // Without a path: a target that holds nothing and writes nowhere.
    explicit persistTargetFile(const char* path = nullptr);
    virtual ~persistTargetFile() {}

    bool setValue(const char* group, const char* key, value v) override;
    bool close() override;
    Ivector* getValues() override;
    bool save() override;

private:
    void readFile();
    void takeRecords();
    void keepDamagedFile();
    void neverWrite(const char* why);
    bool buildDocument();
    bool writeReplacing(Ibuffer* document);

    ref<Ihash> pending_;  // group name -> vector of (key, value) pairs
    std::string path_;
    ref<fs::Ifile> file_;
    bool frozen_ = false;  // the file's settings are unknown: never write over it
};

// The target that refuses everything.
class persistTargetSQL : public objectBase, public IpersistTarget {
public:
    persistTargetSQL() {
        registerInterfaceOf<IpersistTarget>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    virtual ~persistTargetSQL() {}
    bool setValue(const char*, const char*, value) override { return false; }
    bool close() override { return false; }
    Ivector* getValues() override { return nullptr; }
    bool save() override { return false; }
};

}  // namespace vesk::persist
