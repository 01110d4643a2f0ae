// "vesk::fs::directory": a folder of the disk. The path always ends in '\'
// (empty when made without one; such an object exists nowhere and lists,
// creates and clears nothing).
#pragma once

#include <string>

#include "core/capsule.h"
#include "vesk/fs.h"

namespace vesk::fs {

class directory : public objectBase, public Idirectory {
public:
    explicit directory(const char* path = nullptr);
    virtual ~directory() {}

    Ivector* list() override;
    bool accepts(Igeneric* object) override;
    const char* getPath() override { return path_.c_str(); }
    bool exists() override;
    int create(bool createMissing) override;
    bool clear(bool recursive) override;
    bool remove() override;

private:
    std::string path_;
};

// A new folder object (count 0) for the path, or null when out of memory.
Idirectory* newDirectory(const char* path);

}  // namespace vesk::fs
