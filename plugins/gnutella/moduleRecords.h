// Small records that module-wide lists hold: a descriptor waiting to be
// broadcast, and a push this node asked for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plugins/gnutella/guid16.h"

namespace vesk::gnutella {

// A copy of one descriptor, to be sent on every link but the one it came
// from (none when this node made it).
class CGnutellaBroadcast {
public:
    CGnutellaBroadcast() = default;
    virtual ~CGnutellaBroadcast() = default;

    bool m_HasSource = false;
    guid16 m_Source;
    std::vector<unsigned char> m_Bytes;

    // Queued in this turn: offered to the links in the next one.
    bool m_Fresh = true;
};

// A push this node sent for one of its downloads, kept under the GIV line
// the answering peer is expected to send.
class CGnutellaRequestedPush {
public:
    CGnutellaRequestedPush() = default;
    virtual ~CGnutellaRequestedPush() = default;

    std::string m_GivLine;
    guid16 m_ServentId;
    std::uint32_t m_FileIndex = 0;
    std::string m_FileName;
    std::uint64_t m_BytesDone = 0;
    guid16 m_Download;  // the identifier of the waiting download's connection
};

}  // namespace vesk::gnutella
