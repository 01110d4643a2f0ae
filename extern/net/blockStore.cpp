#include "extern/net/blockStore.h"

#include <cstdlib>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#include "extern/net/slimLock.h"

namespace vesk::net::blockStore {

namespace {

constexpr size_t keptMost = 4u << 20;

// Large sizes rounded up to a power of two no more than an eighth of them.
size_t sizeFor(size_t n) {
    if (n < largeBlock)
        return n;
    size_t step = 1;
    while (step * 16 <= n)
        step <<= 1;
    return (n + step - 1) & ~(step - 1);
}

class keptBlocks {
public:
    ~keptBlocks() {
        for (auto& kept : blocks_)
            std::free(kept.second);
    }
    unsigned char* find(size_t capacity) {
        slimGuard hold(lock_);
        for (size_t i = 0; i < blocks_.size(); ++i) {
            if (blocks_[i].first != capacity)
                continue;
            unsigned char* block = blocks_[i].second;
            blocks_[i] = blocks_.back();
            blocks_.pop_back();
            bytes_ -= capacity;
            return block;
        }
        return nullptr;
    }
    bool keep(unsigned char* block, size_t capacity) {
        slimGuard hold(lock_);
        if (bytes_ + capacity > keptMost)
            return false;
        try {
            blocks_.emplace_back(capacity, block);
        } catch (...) {
            return false;
        }
        bytes_ += capacity;
        return true;
    }

private:
    slimLock lock_;
    std::vector<std::pair<size_t, unsigned char*>> blocks_;
    size_t bytes_ = 0;
};

// Made on first use, freed with the module.
keptBlocks& kept() {
    static keptBlocks blocks;
    return blocks;
}

}  // namespace

unsigned char* take(size_t n, size_t& capacity) {
    capacity = sizeFor(n);
    if (capacity < n)
        return nullptr;  // n near the end of the address space
    if (capacity >= largeBlock)
        if (unsigned char* block = kept().find(capacity))
            return block;
    return static_cast<unsigned char*>(std::malloc(capacity ? capacity : 1));
}

void give(unsigned char* block, size_t capacity) {
    if (!block)
        return;
    if (capacity >= largeBlock && kept().keep(block, capacity))
        return;
    std::free(block);
}

}  // namespace vesk::net::blockStore
