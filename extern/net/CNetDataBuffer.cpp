#include "extern/net/CNetDataBuffer.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "core/buffer.h"

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

CNetDataBuffer::~CNetDataBuffer() { std::free(block_); }

// Capacity for needed bytes plus the zero after them. Grows by half again
// so that a buffer filled piece by piece is not copied at every piece.
bool CNetDataBuffer::reserve(unsigned long long needed) {
    unsigned long long withZero = needed + 1;
    if (withZero > 0xFFFFFFFFull)
        return false;
    if (withZero <= capacity_)
        return true;
    unsigned long long grown = capacity_ + capacity_ / 2;
    unsigned long long target = grown > withZero && grown <= 0xFFFFFFFFull ? grown : withZero;
    auto* larger = static_cast<unsigned char*>(std::realloc(block_, static_cast<size_t>(target)));
    if (!larger && target > withZero) {
        target = withZero;
        larger = static_cast<unsigned char*>(std::realloc(block_, static_cast<size_t>(target)));
    }
    if (!larger)
        return false;
    if (!block_)
        larger[0] = 0;
    block_ = larger;
    capacity_ = static_cast<unsigned>(target);
    return true;
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
    auto* block = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(length) + 1));
    if (!block)
        return;
    std::memcpy(block, bytes, length);
    block[length] = 0;
    std::free(block_);
    block_ = block;
    size_ = length;
    capacity_ = length + 1;
}

int CNetDataBuffer::seek(int offset, int origin) {
    if (!seekTarget(position_, size_, offset, origin, &position_))
        return 0;
    return position_;
}

void CNetDataBuffer::compact() {
    unsigned needed = size_ + 1;
    if (!block_ || capacity_ - needed <= 64 + size_ / 8)
        return;
    // Shrinking in place or moving; a refusal keeps the larger block.
    if (auto* fitted = static_cast<unsigned char*>(std::realloc(block_, needed))) {
        block_ = fitted;
        capacity_ = needed;
    }
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
