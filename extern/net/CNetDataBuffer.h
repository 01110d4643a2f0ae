// The network module's byte buffer, "vesk::net::CNetDataBuffer". Its bytes
// are always followed by one zero byte outside the length, so readers may
// treat them as text; it is its own Ibuffer, so appending through
// asBuffer() grows the same bytes.
#pragma once

#include "core/capsule.h"
#include "core/constructs.h"
#include "vesk/data.h"
#include "vesk/net.h"

namespace vesk::net {

class CNetDataBuffer : public objectBase, public INetDataBuffer, public Ibuffer {
public:
    CNetDataBuffer();
    // A copy of the bytes; failed() tells whether it could be made.
    CNetDataBuffer(const void* bytes, unsigned long length);
    ~CNetDataBuffer();
    CNetDataBuffer(const CNetDataBuffer&) = delete;
    CNetDataBuffer& operator=(const CNetDataBuffer&) = delete;

    bool failed() const { return failed_; }

    unsigned long length() override { return size_; }
    unsigned char* data() override { return block_ ? block_ : &emptyText_; }
    Ibuffer* asBuffer() override { return this; }

    unsigned resize(unsigned n) override;
    unsigned setSize(unsigned n) override { return resize(n); }
    Ibuffer* slice(unsigned from, unsigned to) override;
    unsigned append(const void* bytes, int n) override;
    void appendBuffer(Ibuffer* other) override;
    unsigned char* current() override { return block_ ? block_ + position_ : nullptr; }
    Ibuffer* clone() override;
    void assign(const void* bytes, int n) override;
    int seek(int offset, int origin) override;
    int tell() override { return position_; }

    // Room for n more bytes after the current ones, filled by the caller
    // and then counted with added(n); null when there is no memory for it.
    unsigned char* roomFor(unsigned long n);
    void added(unsigned long n);
    // Gives back the room beyond the bytes when it is more than a little,
    // before the buffer is handed over.
    void compact();

private:
    bool reserve(unsigned long long needed);
    bool moveTo(unsigned long long target);

    unsigned char* block_ = nullptr;  // from blockStore: capacity_ bytes, block_[size_] == 0
    unsigned size_ = 0;
    size_t capacity_ = 0;
    int position_ = 0;
    bool failed_ = false;
    unsigned char emptyText_ = 0;
};

// A new buffer (count 0) holding a copy of the bytes, or null.
capsule<CNetDataBuffer>* newNetDataBuffer(const void* bytes, unsigned long length);

// Made from two values (untyped pointer, unsigned long length) or from an
// array: [0] long count of the values after it (4), [1] untyped pointer,
// [2] unsigned long length, then values this class does not use. Values of
// other codes count as no bytes.
class _constructNetDataBuffer : public constructBase {
public:
    _constructNetDataBuffer();
    Igeneric* create2(value bytes, value length) override;
    Igeneric* createWithArgs(value* args) override;
};

}  // namespace vesk::net
