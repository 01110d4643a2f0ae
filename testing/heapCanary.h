// Shows reads of freed heap blocks: a text read after its block was freed
// and handed out again holds canary bytes (or the heap's own links) instead
// of its letters. For tests of texts that other threads replace.
#pragma once

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace vesk::testing {

constexpr char heapCanary = '#';

// Takes blocks of every size from smallest to largest bytes, a few of each,
// fills them with the canary and frees them again: freed blocks of those
// sizes come back filled, as the heap hands the latest freed block out first.
inline void fillFreedBlocks(std::size_t smallest, std::size_t largest, int perSize = 4) {
    std::vector<void*> held;
    for (std::size_t size = smallest; size <= largest; ++size)
        for (int i = 0; i < perSize; ++i)
            if (void* block = std::malloc(size)) {
                std::memset(block, heapCanary, size);
                held.push_back(block);
            }
    for (void* block : held)
        std::free(block);
}

// Whether the text, read at most limit bytes far, is made of lower-case
// letters only and ends within that limit.
inline bool lettersOnly(const char* text, std::size_t limit) {
    if (!text)
        return false;
    for (std::size_t i = 0; i <= limit; ++i) {
        if (text[i] == '\0')
            return true;
        if (text[i] < 'a' || text[i] > 'z')
            return false;
    }
    return false;
}

// n letters in a pattern that differs by seed.
inline std::string letters(std::size_t n, int seed = 0) {
    std::string text(n, 'a');
    for (std::size_t i = 0; i < n; ++i)
        text[i] = static_cast<char>('a' + (i + static_cast<std::size_t>(seed)) % 26);
    return text;
}

}  // namespace vesk::testing
