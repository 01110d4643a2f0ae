// The address and port this node tells peers in its pongs and query hits.
#pragma once

#include <cstdint>

namespace vesk::gnutella {

struct advertisedAddress {
    unsigned char address[4];  // first octet first
    std::uint16_t port;
};

// Gnutella_ReportedIP and Gnutella_ReportedPort when Gnutella_EnableReported
// is 1, else the listener's own address and Gnutella_ListenPort.
advertisedAddress AdvertisedAddress();

}  // namespace vesk::gnutella
