// One Query Hit waiting for its search: a copy of the whole descriptor as
// received (the 23-byte header, then the payload).
#pragma once

#include <cstddef>
#include <vector>

namespace vesk::gnutella {

class CGnutellaQueryHitContainer {
public:
    CGnutellaQueryHitContainer() = default;
    virtual ~CGnutellaQueryHitContainer() = default;
    CGnutellaQueryHitContainer(const CGnutellaQueryHitContainer&) = delete;
    CGnutellaQueryHitContainer& operator=(const CGnutellaQueryHitContainer&) = delete;

    std::vector<unsigned char> m_Bytes;
};

// A new container holding a copy of the descriptor, or null when the bytes
// are no whole Query Hit (null, shorter than a header, another function, or
// a length that is not the header's payload length plus 23) or no memory is
// left. The caller owns it.
CGnutellaQueryHitContainer* NewQueryHitContainer(const unsigned char* descriptor, std::size_t length);

}  // namespace vesk::gnutella
