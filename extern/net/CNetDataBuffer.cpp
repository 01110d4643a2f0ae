#include "extern/net/CNetDataBuffer.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "core/buffer.h"
#include "extern/net/blockStore.h"

namespace vesk::net {

CNetDataBuffer::CNetDataBuffer() {
    registerInterfaceOf<INetDataBuffer>(this);
    registerInterfaceOf<Ibuffer>(this);
    registerInterfaceOf<Igeneric>(this);
}

CNetDataBuffer::CNetDataBuffer(const void* bytes, unsigned long length) : CNetDataBuffer() {
    if (!bytes || !length)
        return;
    if (!reserve(length)) {
        failed_ = true;
        return;
    }
    std::memcpy(block_, bytes, length);
    size_ = length;
    block_[size_] = 0;
}

CNetDataBuffer::~CNetDataBuffer() { blockStore::give(block_, capacity_); }

// The bytes and their zero into a block of at least target bytes.
bool CNetDataBuffer::moveTo(unsigned long long target) {
    if (target > 0xFFFFFFFFull || target < size_ + 1ull)
        return false;
    size_t capacity = 0;
    unsigned char* block = blockStore::take(static_cast<size_t>(target), capacity);
    if (!block)
        return false;
    if (block_)
        std::memcpy(block, block_, size_ + 1);
    else
        block[0] = 0;
    blockStore::give(block_, capacity_);
    block_ = block;
    capacity_ = capacity;
    return true;
}

// Capacity for needed bytes plus the zero after them. Grows by half again
// so that a buffer filled piece by piece is not copied at every piece.
bool CNetDataBuffer::reserve(unsigned long long needed) {
    unsigned long long withZero = needed + 1;
    if (withZero > 0xFFFFFFFFull)
        return false;
    if (withZero <= capacity_)
        return true;
    unsigned long long grown = capacity_ + capacity_ / 2;
    return (grown > withZero && moveTo(grown)) || moveTo(withZero);
}

unsigned CNetDataBuffer::resize(unsigned n) {
    if (n == 0 || n == size_)
        return size_;
    if (n > size_) {
        if (!reserve(n))
            return size_;
        std::memset(block_ + size_, 0, n - size_);
    }
    size_ = n;
    block_[size_] = 0;
    return size_;
}

Ibuffer* CNetDataBuffer::slice(unsigned from, unsigned to) {
    if (from > to || to > size_)
        return nullptr;
    return newBuffer(data() + from, to - from);
}

unsigned CNetDataBuffer::append(const void* bytes, int n) {
    if (!bytes || n <= 0)
        return size_;
    unsigned add = static_cast<unsigned>(n);
    // The bytes may lie in our own block, which reserve may move.
    if (block_ && bytes >= block_ && bytes < block_ + capacity_) {
        size_t offset = static_cast<const unsigned char*>(bytes) - block_;
        if (!reserve(static_cast<unsigned long long>(size_) + add))
            return size_;
        std::memmove(block_ + size_, block_ + offset, add);
    } else {
        if (!reserve(static_cast<unsigned long long>(size_) + add))
            return size_;
        std::memcpy(block_ + size_, bytes, add);
    }
    size_ += add;
    block_[size_] = 0;
    return size_;
}

void CNetDataBuffer::appendBuffer(Ibuffer* other) {
    if (!other)
        return;
    unsigned length = other->resize(0);
    if (length == 0 || length > 0x7FFFFFFFu)
        return;
    append(bufferData(other), static_cast<int>(length));
}

Ibuffer* CNetDataBuffer::clone() { return newBuffer(data(), size_); }

void CNetDataBuffer::assign(const void* bytes, int n) {
    if (!bytes) {
        size_ = 0;
        if (block_)
            block_[0] = 0;
        return;
    }
    if (n < 0)
        return;
    // Copied before the old block goes: the bytes may lie in it.
    unsigned length = static_cast<unsigned>(n);
    size_t capacity = 0;
    unsigned char* block = blockStore::take(static_cast<size_t>(length) + 1, capacity);
    if (!block)
        return;
    std::memcpy(block, bytes, length);
    block[length] = 0;
    blockStore::give(block_, capacity_);
    block_ = block;
    size_ = length;
    capacity_ = capacity;
}

int CNetDataBuffer::seek(int offset, int origin) {
    if (!seekTarget(position_, size_, offset, origin, &position_))
        return 0;
    return position_;
}

unsigned char* CNetDataBuffer::roomFor(unsigned long n) {
    if (!reserve(static_cast<unsigned long long>(size_) + n))
        return nullptr;
    return block_ + size_;
}

void CNetDataBuffer::added(unsigned long n) {
    if (!block_ || size_ + 1ull + n > capacity_)
        return;
    size_ += static_cast<unsigned>(n);
    block_[size_] = 0;
}

// A refusal keeps the larger block.
void CNetDataBuffer::compact() {
    if (block_ && capacity_ - (size_ + 1ull) > 64 + size_ / 8)
        moveTo(size_ + 1ull);
}

capsule<CNetDataBuffer>* newNetDataBuffer(const void* bytes, unsigned long length) {
    auto* made = new (std::nothrow) capsule<CNetDataBuffer>(bytes, length);
    if (made && made->failed()) {
        delete made;
        return nullptr;
    }
    return made;
}

_constructNetDataBuffer::_constructNetDataBuffer() : constructBase("vesk::net::CNetDataBuffer") {}

Igeneric* _constructNetDataBuffer::create2(value bytes, value length) {
    return newNetDataBuffer(bytes.asPointer(), length.asUlong());
}

Igeneric* _constructNetDataBuffer::createWithArgs(value* args) {
    if (!args || args[0].asLong() < 2)
        return nullptr;
    return newNetDataBuffer(args[1].asPointer(), args[2].asUlong());
}

}  // namespace vesk::net
