// The byte buffer object, "vesk::buffer". Grown bytes are zero-filled; an
// allocation failure leaves the buffer as it was (the size tells).
#pragma once

#include "core/capsule.h"
#include "vesk/data.h"
#include "vesk/value.h"

namespace vesk {

class buffer : public objectBase, public Ibuffer {
public:
    buffer();
    buffer(const void* bytes, unsigned length);
    ~buffer();

    unsigned resize(unsigned n) override;
    unsigned setSize(unsigned n) override;
    Ibuffer* slice(unsigned from, unsigned to) override;
    unsigned append(const void* bytes, int n) override;
    void appendBuffer(Ibuffer* other) override;
    unsigned char* current() override;
    Ibuffer* clone() override;
    void assign(const void* bytes, int n) override;
    int seek(int offset, int origin) override;
    int tell() override { return position_; }

private:
    void registerInterfaces();
    bool replaceWith(const void* bytes, unsigned length);

    unsigned char* data_ = nullptr;
    unsigned size_ = 0;
    int position_ = 0;
};

// Where seek(offset, origin) lands in a buffer of `size` bytes from
// `position`: kept within [0, size]; false for an unknown origin.
bool seekTarget(int position, unsigned size, int offset, int origin, int* target);

// The first byte of any buffer (current() minus the position), or null.
const unsigned char* bufferData(Ibuffer* b);
// A new counted buffer holding a copy of the bytes, or null.
Ibuffer* newBuffer(const void* bytes, unsigned length);

}  // namespace vesk
