// SHA-1 of a file's contents and its 32-character base-32 text, the form in
// which shared files are named by hash.
#pragma once

#include <atomic>
#include <cstdint>

#include "vesk/share2.h"

namespace vesk::share2 {

class CSHA1 {
public:
    // Files are read in chunks of this size, with a 1 ms pause after each
    // full chunk so that hashing a large library does not starve the other
    // threads.
    static constexpr unsigned chunkSize = 8000;

    CSHA1();
    virtual ~CSHA1();

    void reset();
    void update(const char* data, unsigned length);
    // Completes the message and writes the digest; the context must be
    // reset before the next message.
    void final();
    // Adds the whole contents of the file. 1 when every byte of the file
    // was read; 0 when it cannot be opened, a read falls short or fails, or
    // *stop turns nonzero (checked after every chunk). On 0 the context
    // holds a partial message: reset it.
    int hashFile(const char* path, const std::atomic<int>* stop = nullptr);
    void copyDigest(char* out) const;  // 20 bytes

private:
    void transform(const unsigned char* block);

    std::uint32_t state_[5];
    std::uint32_t count_[2];  // message length in bits: low, high
    unsigned char buffer_[64];
    unsigned char digest_[20];
};

constexpr unsigned digestSize = 20;

// Writes the 32 base-32 characters of a 20-byte digest and a NUL into out
// (33 bytes).
void hashText(const unsigned char* digest, char* out);

}  // namespace vesk::share2
