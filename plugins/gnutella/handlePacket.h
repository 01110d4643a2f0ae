// What becomes of each valid descriptor a link delivers: dropped as a
// duplicate or an echo of this node's own, answered, kept for this node,
// passed on to the other links or routed back along its request's path.
// Runs on the active host thread.
#pragma once

#include <cstddef>

namespace vesk::gnutella {

class CGnutellaHost;
class CGnutellaPacket;

// Minimum payload each function's handler reads; shorter descriptors are
// dropped as malformed before any handler runs. A query hit must hold its
// head and the servent identifier behind it.
constexpr std::size_t minimumPingPayload = 0;
constexpr std::size_t minimumPongPayload = 14;
constexpr std::size_t minimumPushPayload = 26;
constexpr std::size_t minimumQueryPayload = 3;
constexpr std::size_t minimumQueryHitPayload = 11 + 16;

// Handles one descriptor received on host: packet is made of it (its
// header and the payload part it keeps); bytes and size are the whole
// descriptor as received (left as they are). 1, or 0 for a ping on a busy
// link (its bytes behind are then not read).
int handle_packet(CGnutellaHost* host, CGnutellaPacket* packet, const unsigned char* bytes, std::size_t size);

}  // namespace vesk::gnutella
