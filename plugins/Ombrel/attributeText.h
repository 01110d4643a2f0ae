// The text object an agent keeps for a C-string value.
#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <vector>

#include "core/capsule.h"
#include "vesk/data.h"

namespace vesk::ss {

// Unlike vesk::string its text can be replaced, so that a holder of the
// object sees a new text set on the same attribute. Readers get the text
// without a lock and may keep reading it after the agent's lock is gone,
// while a worker rewrites the row: a text handed out stays readable memory
// for as long as the object lives. A new text that fits is written over the
// old one (a reader meanwhile may see a mix of both, never an unterminated
// text); a longer one goes into a new block, at least twice as large, and
// the old block is kept until the object goes, so the blocks kept add up to
// less than the current one.
class CAttributeText : public objectBase, public Istring {
public:
    explicit CAttributeText(const char* text);
    ~CAttributeText();
    CAttributeText(const CAttributeText&) = delete;
    CAttributeText& operator=(const CAttributeText&) = delete;

    const char* c_str() override { return text_.load(std::memory_order_acquire); }
    unsigned short length() override;
    void Assign(const char* text);

private:
    // A block of capacity + 1 bytes whose last byte is 0 and stays 0.
    static char* newBlock(std::size_t capacity);

    std::mutex assignLock_;  // one writer at a time: the object may sit in several tables
    std::atomic<char*> text_;
    std::size_t capacity_ = 0;   // characters the current block holds, without its end
    std::vector<char*> retired_;  // earlier blocks, freed with the object
};

}  // namespace vesk::ss
