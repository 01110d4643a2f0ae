// A test buffer whose bytes end exactly where an inaccessible page begins
// and whose own pages are read-only: a parser that reads one byte past the
// end, or writes into the text, faults at once.
#pragma once

#include <windows.h>

#include <string>

#include "core/capsule.h"
#include "vesk/data.h"

namespace vesk::svctest {

class guardedBuffer : public objectBase, public Ibuffer {
public:
    explicit guardedBuffer(const std::string& bytes);
    virtual ~guardedBuffer();

    unsigned resize(unsigned) override { return size_; }
    unsigned setSize(unsigned) override { return size_; }
    Ibuffer* slice(unsigned, unsigned) override { return nullptr; }
    unsigned append(const void*, int) override { return size_; }
    void appendBuffer(Ibuffer*) override {}
    unsigned char* current() override { return data_ + position_; }
    Ibuffer* clone() override { return nullptr; }
    void assign(const void*, int) override {}
    int seek(int offset, int) override { return position_ = offset < 0 ? 0 : offset > int(size_) ? int(size_) : offset; }
    int tell() override { return position_; }

private:
    unsigned char* block_ = nullptr;
    SIZE_T blockSize_ = 0;
    unsigned char* data_ = nullptr;
    unsigned size_ = 0;
    int position_ = 0;
};

// A new guarded buffer holding the bytes, with one reference for the caller.
ref<Ibuffer> guarded(const std::string& bytes);

}  // namespace vesk::svctest
