#include "plugins/share2/sha1.h"

#include <windows.h>

#include <cstdio>
#include <cstring>


namespace vesk::share2 {
namespace {

std::uint32_t rotateLeft(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

std::uint32_t readBigEndian(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

void writeBigEndian(std::uint32_t v, unsigned char* p) {
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

// The round functions, as types so that each round's steps are compiled
// with its function inline.
struct choose {
    static std::uint32_t of(std::uint32_t b, std::uint32_t c, std::uint32_t d) { return d ^ (b & (c ^ d)); }
};
struct parity {
    static std::uint32_t of(std::uint32_t b, std::uint32_t c, std::uint32_t d) { return b ^ c ^ d; }
};
struct majority {
    static std::uint32_t of(std::uint32_t b, std::uint32_t c, std::uint32_t d) { return (b & c) | (d & (b | c)); }
};

// Word i of the message schedule; from 16 on it replaces word i - 16.
inline std::uint32_t scheduled(std::uint32_t* w, int i) {
    if (i < 16)
        return w[i];
    std::uint32_t& slot = w[i & 15];
    slot = rotateLeft(w[(i + 13) & 15] ^ w[(i + 8) & 15] ^ w[(i + 2) & 15] ^ slot, 1);
    return slot;
}

// One step, given f(b, c, d) + k + w: e becomes the new word and b is
// rotated; the next step gives every word the next role.
inline void step(std::uint32_t a, std::uint32_t& b, std::uint32_t& e, std::uint32_t added) {
    e += rotateLeft(a, 5) + added;
    b = rotateLeft(b, 30);
}

// Steps i .. i+4 of one round, the five words taking each role in turn.
// Always inline: as calls, the words would live in memory.
template <class F, std::uint32_t k>
__attribute__((always_inline)) inline void fiveSteps(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c,
                                                     std::uint32_t& d, std::uint32_t& e, std::uint32_t* w, int i) {
    step(a, b, e, F::of(b, c, d) + k + scheduled(w, i));
    step(e, a, d, F::of(a, b, c) + k + scheduled(w, i + 1));
    step(d, e, c, F::of(e, a, b) + k + scheduled(w, i + 2));
    step(c, d, b, F::of(d, e, a) + k + scheduled(w, i + 3));
    step(b, c, a, F::of(c, d, e) + k + scheduled(w, i + 4));
}

class fileCloser {
public:
    explicit fileCloser(FILE* f) : f_(f) {}
    ~fileCloser() {
        if (f_)
            std::fclose(f_);
    }
    fileCloser(const fileCloser&) = delete;
    fileCloser& operator=(const fileCloser&) = delete;

private:
    FILE* f_;
};

// The size through 64-bit seeks: files beyond 2 GiB are shared too.
bool fileSize(FILE* f, unsigned long long& size) {
    if (_fseeki64(f, 0, SEEK_END) != 0)
        return false;
    long long end = _ftelli64(f);
    if (end < 0 || _fseeki64(f, 0, SEEK_SET) != 0)
        return false;
    size = static_cast<unsigned long long>(end);
    return true;
}

bool stopRequested(const std::atomic<int>* stop) { return stop && stop->load() != 0; }

}  // namespace

CSHA1::CSHA1() { reset(); }

CSHA1::~CSHA1() = default;

void CSHA1::reset() {
    state_[0] = 0x67452301;
    state_[1] = 0xEFCDAB89;
    state_[2] = 0x98BADCFE;
    state_[3] = 0x10325476;
    state_[4] = 0xC3D2E1F0;
    count_[0] = count_[1] = 0;
    std::memset(buffer_, 0, sizeof buffer_);
}

// The 80 steps written out, the message schedule kept as a ring of 16
// words: this runs at about three times the speed of a loop that picks the
// round function per step and expands all 80 words first.
void CSHA1::transform(const unsigned char* block) {
    std::uint32_t w[16];
    for (int i = 0; i < 16; ++i)
        w[i] = readBigEndian(block + 4 * i);
    std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3], e = state_[4];
#pragma GCC unroll 4
    for (int i = 0; i < 20; i += 5)
        fiveSteps<choose, 0x5A827999>(a, b, c, d, e, w, i);
#pragma GCC unroll 4
    for (int i = 20; i < 40; i += 5)
        fiveSteps<parity, 0x6ED9EBA1>(a, b, c, d, e, w, i);
#pragma GCC unroll 4
    for (int i = 40; i < 60; i += 5)
        fiveSteps<majority, 0x8F1BBCDC>(a, b, c, d, e, w, i);
#pragma GCC unroll 4
    for (int i = 60; i < 80; i += 5)
        fiveSteps<parity, 0xCA62C1D6>(a, b, c, d, e, w, i);

    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
    state_[4] += e;
}

void CSHA1::update(const char* data, unsigned length) {
    if (!data || length == 0)
        return;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(data);
    unsigned used = (count_[0] >> 3) & 63;
    std::uint32_t bits = length << 3;
    count_[0] += bits;
    if (count_[0] < bits)
        ++count_[1];
    count_[1] += length >> 29;

    unsigned offset = 0;
    if (used + length >= 64) {
        offset = 64 - used;
        std::memcpy(buffer_ + used, bytes, offset);
        transform(buffer_);
        for (; offset + 64 <= length; offset += 64)
            transform(bytes + offset);
        used = 0;
    }
    std::memcpy(buffer_ + used, bytes + offset, length - offset);
}

void CSHA1::final() {
    unsigned char lengthBytes[8];
    writeBigEndian(count_[1], lengthBytes);
    writeBigEndian(count_[0], lengthBytes + 4);

    static const char one = static_cast<char>(0x80);
    static const char zeros[64] = {};
    update(&one, 1);
    unsigned used = (count_[0] >> 3) & 63;
    update(zeros, used <= 56 ? 56 - used : 120 - used);
    update(reinterpret_cast<const char*>(lengthBytes), 8);

    for (int i = 0; i < 5; ++i)
        writeBigEndian(state_[i], digest_ + 4 * i);
    std::memset(buffer_, 0, sizeof buffer_);
    std::memset(state_, 0, sizeof state_);
}

void CSHA1::copyDigest(char* out) const { std::memcpy(out, digest_, sizeof digest_); }

int CSHA1::hashFile(const char* path, const std::atomic<int>* stop) {
    if (!path)
        return 0;
    FILE* f = std::fopen(path, "rb");
    if (!f)
        return 0;
    fileCloser closer(f);
    unsigned long long size = 0;
    if (!fileSize(f, size))
        return 0;

    char chunk[chunkSize];
    for (unsigned long long left = size; left > 0;) {
        unsigned want = left >= chunkSize ? chunkSize : static_cast<unsigned>(left);
        // A short read (the file shrank, a read error) must not pass for the
        // file's contents: no hash this time.
        if (std::fread(chunk, 1, want, f) != want)
            return 0;
        update(chunk, want);
        left -= want;
        if (want == chunkSize)
            Sleep(1);
        if (stopRequested(stop))
            return 0;
    }
    return 1;
}

void hashText(const unsigned char* d, char* out) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";
    for (unsigned group = 0; group < digestSize / 5; ++group) {
        const unsigned char* b = d + 5 * group;
        char* o = out + 8 * group;
        o[0] = alphabet[b[0] >> 3];
        o[1] = alphabet[((b[0] & 7) << 2) | (b[1] >> 6)];
        o[2] = alphabet[(b[1] >> 1) & 31];
        o[3] = alphabet[((b[1] & 1) << 4) | (b[2] >> 4)];
        o[4] = alphabet[((b[2] & 15) << 1) | (b[3] >> 7)];
        o[5] = alphabet[(b[3] >> 2) & 31];
        o[6] = alphabet[((b[3] & 3) << 3) | (b[4] >> 5)];
        o[7] = alphabet[b[4] & 31];
    }
    out[hashTextLength] = '\0';
}

}  // namespace vesk::share2
