// A 16-byte identifier held by value: descriptor GUIDs, link identifiers,
// servent identifiers. Ordered and compared by all 16 bytes, first byte
// most significant (a text compare would stop at a zero byte).
#pragma once

#include <cstring>

namespace vesk::gnutella {

struct guid16 {
    unsigned char bytes[16] = {};

    static guid16 from(const unsigned char* p) {
        guid16 g;
        if (p)
            std::memcpy(g.bytes, p, sizeof g.bytes);
        return g;
    }
    bool operator<(const guid16& o) const { return std::memcmp(bytes, o.bytes, sizeof bytes) < 0; }
    bool operator==(const guid16& o) const { return std::memcmp(bytes, o.bytes, sizeof bytes) == 0; }
    bool operator!=(const guid16& o) const { return !(*this == o); }
};

}  // namespace vesk::gnutella
