// "vesk::fs::file": one file of the disk through the C run-time's low-level
// I/O. Closed at creation; the size is measured when the path is set and
// when the file is opened.
#pragma once

#include "core/capsule.h"
#include "vesk/fs.h"

namespace vesk::fs {

class file : public objectBase, public Ifile {
public:
    explicit file(const char* path = nullptr);
    virtual ~file();

    bool open(int flags, int shareMode) override;
    bool close() override;
    Ibuffer* read(unsigned size, unsigned offset) override;
    Ibuffer* readInto(Ibuffer* destination) override;
    int write(Ibuffer* data, unsigned offset) override;
    unsigned long long getSize() override { return size_; }
    int reopen(int flags, int shareMode) override;
    int reserved7() override { return 0; }
    int reserved8() override { return 0; }
    int reserved9() override { return 0; }
    Ifile* copyTo(const char* destination, bool overwrite) override;
    const char* rename(const char* newPath) override;
    bool remove() override;
    bool setPath(const char* path) override;
    bool exists() override;

private:
    bool isOpen() const { return descriptor_ != -1; }
    void measureClosed();
    bool copyChunks(Ifile* destination);

    char* path_ = nullptr;
    int descriptor_ = -1;
    unsigned long long size_ = 0;
    int flags_ = 0;
    int shareMode_ = 0;
};

// A new file object (count 0) for the path, or null when out of memory.
Ifile* newFile(const char* path);

}  // namespace vesk::fs
