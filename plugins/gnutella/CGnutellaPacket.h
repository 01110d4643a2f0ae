// One received (or buffered) descriptor: its header as received, the part
// of its payload the module keeps, and where it came from.
#pragma once

#include <cstdint>
#include <vector>

#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/guid16.h"
#include "vesk/net.h"

namespace vesk::gnutella {

class CGnutellaPacket {
public:
    CGnutellaPacket() = default;
    virtual ~CGnutellaPacket() = default;

    unsigned char Function() const { return m_Header[header::function]; }
    unsigned char Ttl() const { return m_Header[header::ttl]; }
    unsigned char Hops() const { return m_Header[header::hops]; }
    std::uint32_t PayloadLength() const { return ReadLe32(m_Header + header::payloadLength); }
    const unsigned char* Guid() const { return m_Header; }

    unsigned char m_SourceAddress[4] = {};  // the delivering link's peer, first octet first
    unsigned short m_SourcePort = 0;
    unsigned char m_Header[descriptorHeaderSize] = {};  // TTL and hops change as it is forwarded
    std::vector<unsigned char> m_Payload;               // the kept part; empty for a Ping
    guid16 m_SourceHost;                                // the delivering link's identifier
};

// A new packet whose header is the first 23 bytes and whose payload copy
// keeps, by function: Ping nothing, Pong 14 bytes, Push 26, Query 258, Query
// Hit a 27-byte summary (the first 11 payload bytes, then the last 16 bytes
// of the whole descriptor, its servent identifier); fewer when fewer are
// there. Null for fewer than 23 bytes or an unknown function. The caller
// deletes it.
CGnutellaPacket* ClonePacketBytes(const unsigned char* bytes, std::size_t length);

// The same from a network buffer holding one whole descriptor.
CGnutellaPacket* ClonePacket(net::INetDataBuffer* buffer);

}  // namespace vesk::gnutella
