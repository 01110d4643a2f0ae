#include "core/buffer.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace vesk {

buffer::buffer() { registerInterfaces(); }

buffer::buffer(const void* bytes, unsigned length) {
    registerInterfaces();
    if (bytes && length)
        replaceWith(bytes, length);
}

buffer::~buffer() { std::free(data_); }

void buffer::registerInterfaces() {
    registerInterfaceOf<Ibuffer>(this);
    registerInterfaceOf<Igeneric>(this);
}

// Copies first and frees after, so bytes may point into our own block.
bool buffer::replaceWith(const void* bytes, unsigned length) {
    unsigned char* block = nullptr;
    if (length) {
        block = static_cast<unsigned char*>(std::malloc(length));
        if (!block)
            return false;
        std::memcpy(block, bytes, length);
    }
    std::free(data_);
    data_ = block;
    size_ = length;
    return true;
}

unsigned buffer::resize(unsigned n) {
    if (n == 0 || n == size_)
        return size_;
    unsigned char* block = static_cast<unsigned char*>(std::malloc(n));
    if (!block)
        return size_;
    unsigned kept = n < size_ ? n : size_;
    if (kept)
        std::memcpy(block, data_, kept);
    if (n > kept)
        std::memset(block + kept, 0, n - kept);
    std::free(data_);
    data_ = block;
    size_ = n;
    return size_;
}

unsigned buffer::setSize(unsigned n) { return resize(n); }

Ibuffer* buffer::slice(unsigned from, unsigned to) {
    if (from > to || from > size_ || to > size_)
        return nullptr;
    return newBuffer(data_ + from, to - from);
}

unsigned buffer::append(const void* bytes, int n) {
    if (!bytes || n <= 0)
        return size_;
    unsigned add = static_cast<unsigned>(n);
    if (size_ > 0xFFFFFFFFu - add)
        return size_;
    unsigned char* block = static_cast<unsigned char*>(std::malloc(size_ + add));
    if (!block)
        return size_;
    if (size_)
        std::memcpy(block, data_, size_);
    std::memcpy(block + size_, bytes, add);  // bytes may lie in the old block
    std::free(data_);
    data_ = block;
    size_ += add;
    return size_;
}

void buffer::appendBuffer(Ibuffer* other) {
    if (!other)
        return;
    unsigned length = other->resize(0);
    if (length > 0x7FFFFFFFu)
        return;
    append(bufferData(other), static_cast<int>(length));
}

unsigned char* buffer::current() {
    // Unclamped, so that current() - tell() is always the first byte; a
    // position past the end only arises after assign shrank the buffer.
    return data_ ? data_ + position_ : nullptr;
}

Ibuffer* buffer::clone() { return newBuffer(data_, size_); }

void buffer::assign(const void* bytes, int n) {
    if (!bytes) {
        replaceWith(nullptr, 0);
        return;
    }
    if (n < 0)
        return;
    replaceWith(bytes, static_cast<unsigned>(n));
}

int buffer::seek(int offset, int origin) {
    if (!seekTarget(position_, size_, offset, origin, &position_))
        return 0;
    return position_;
}

bool seekTarget(int position, unsigned size, int offset, int origin, int* target) {
    long long at;
    switch (origin) {
    case 0: at = offset; break;
    case 1: at = static_cast<long long>(position) + offset; break;
    case 2: at = static_cast<long long>(size) + offset; break;
    default: return false;
    }
    if (at > static_cast<long long>(size))
        at = size;
    if (at < 0)
        at = 0;
    *target = static_cast<int>(at);
    return true;
}

const unsigned char* bufferData(Ibuffer* b) {
    if (!b)
        return nullptr;
    unsigned char* at = b->current();
    return at ? at - b->tell() : nullptr;
}

Ibuffer* newBuffer(const void* bytes, unsigned length) {
    auto* b = new (std::nothrow) capsule<buffer>(bytes, length);
    if (!b)
        return nullptr;
    if (b->resize(0) != (bytes ? length : 0u)) {  // the copy could not be made
        delete b;
        return nullptr;
    }
    return b;
}

}  // namespace vesk
