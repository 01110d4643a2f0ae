#include "plugins/Ombrel/attributeText.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vesk::ss {

namespace {

// Short texts that grow a little (a speed, a percentage) stay in their block.
constexpr std::size_t smallestCapacity = 31;
const char emptyText[1] = "";

}  // namespace

char* CAttributeText::newBlock(std::size_t capacity) {
    char* block = new (std::nothrow) char[capacity + 1];
    if (block)
        std::memset(block, 0, capacity + 1);
    return block;
}

CAttributeText::CAttributeText(const char* text) : text_(const_cast<char*>(emptyText)) {
    registerInterfaceOf<Istring>(this);
    registerInterfaceOf<Igeneric>(this);
    Assign(text);
}

CAttributeText::~CAttributeText() {
    char* current = text_.load();
    if (current != emptyText)
        delete[] current;
    for (char* block : retired_)
        delete[] block;
}

unsigned short CAttributeText::length() {
    return static_cast<unsigned short>(std::strlen(c_str()));
}

void CAttributeText::Assign(const char* text) {
    if (!text)
        text = "";
    std::size_t n = std::strlen(text);
    std::lock_guard<std::mutex> hold(assignLock_);
    char* current = text_.load(std::memory_order_relaxed);
    if (capacity_ > 0 && n <= capacity_) {
        // The end first: a reader that races past the old end stops at the
        // new one, or at the block's last byte at the latest.
        current[n] = '\0';
        std::memcpy(current, text, n);
        return;
    }
    std::size_t capacity = std::max({n, 2 * capacity_, smallestCapacity});
    char* block = newBlock(capacity);
    if (!block) {
        // Out of memory: the part of the text that fits.
        if (capacity_ > 0) {
            current[capacity_] = '\0';
            std::memcpy(current, text, capacity_);
        }
        return;
    }
    std::memcpy(block, text, n);
    if (current != emptyText) {
        try {
            retired_.push_back(current);
        } catch (...) {
            delete[] block;  // nowhere to keep the old block: the text stays as it was
            return;
        }
    }
    capacity_ = capacity;
    text_.store(block, std::memory_order_release);
}

}  // namespace vesk::ss
