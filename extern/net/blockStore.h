// Memory for the bytes of data buffers. A block of largeBlock bytes or more
// comes a little larger than asked (at most an eighth) so that blocks fall
// into few sizes, and a freed one is kept for the next of its size, a few
// megabytes at most. Wine's heap maps every block of about 100 KiB or more
// from the system and unmaps it when freed: half a millisecond for the
// 256 KiB of one read, where a kept block costs nothing.
#pragma once

#include <cstddef>

namespace vesk::net::blockStore {

constexpr size_t largeBlock = 64 * 1024;

// A block of at least n bytes, its size in capacity; null when there is no
// memory for it.
unsigned char* take(size_t n, size_t& capacity);
// Gives back a block from take with the capacity it came with; null does
// nothing.
void give(unsigned char* block, size_t capacity);

}  // namespace vesk::net::blockStore
