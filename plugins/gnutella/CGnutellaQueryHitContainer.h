// One query hit answering a search of this node, as handle_packet hands it
// to the search: the whole descriptor as received and the packet made of
// it (its header and the 27-byte record of the hit's head and servent).
#pragma once

#include <vector>

#include "plugins/gnutella/CGnutellaPacket.h"

namespace vesk::gnutella {

class CGnutellaQueryHitContainer {
public:
    CGnutellaQueryHitContainer() = default;
    virtual ~CGnutellaQueryHitContainer() = default;

    std::vector<unsigned char> m_Descriptor;
    CGnutellaPacket m_Packet;
};

}  // namespace vesk::gnutella
