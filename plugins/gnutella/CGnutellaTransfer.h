// The record of one upload or download, owned by its transfer connection
// (the CGnutellaHost that carries it).
#pragma once

namespace vesk::gnutella {

class CGnutellaTransfer {
public:
    CGnutellaTransfer() = default;
    virtual ~CGnutellaTransfer() = default;
    CGnutellaTransfer(const CGnutellaTransfer&) = delete;
    CGnutellaTransfer& operator=(const CGnutellaTransfer&) = delete;
};

}  // namespace vesk::gnutella
