// Answering pings: this node's own pong, the pongs of its host cache, and
// the throttles on both; and this node's own pings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "vesk/share2.h"

namespace vesk::gnutella {

class CGnutellaHost;
class CGnutellaPacket;

// Least gap between two answers with this node's own pong (module-wide).
constexpr unsigned long ownPongGapMs = 30250;
// Least gap between two pings passed on (module-wide, over all links).
constexpr unsigned long acceptedPingGapMs = 6000;
constexpr std::size_t pongSize = 37;
// Most host cache entries answered per ping.
constexpr std::size_t cachedPongLimit = 10;

// A whole pong: the ping's GUID, the TTL, hops 0, payload length 14, then
// port, address, files and kilobytes.
std::vector<unsigned char> PongDescriptor(const unsigned char* pingGuid, unsigned char ttl,
                                          const unsigned char* address, std::uint16_t port, std::uint32_t files,
                                          std::uint32_t kilobytes);

// The files the share engine serves now and their bytes: its objects are
// files and folders, shared or no longer. None without an engine.
struct sharedFiles {
    std::uint32_t count = 0;
    std::uint64_t bytes = 0;
};
sharedFiles SharedFiles(share2::IShareEngine* engine);

// Answers the ping on the link it came from, at most once every
// ownPongGapMs: the cached pongs, then (unless the incoming links are full
// and the ping has come more than one hop) this node's own pong with TTL
// hops + 1 and the shared files' count and kilobytes. True when it
// answered (the cached pongs went with it), false inside the gap.
bool HandlePing(const CGnutellaPacket* ping, CGnutellaHost* host);

// Up to cachedPongLimit pongs for the first host cache entries in key
// order (TTL 1), sent in one burst; each counted as sent. The number sent.
int SendCachedPongs(const CGnutellaPacket* ping, CGnutellaHost* host);

// The answer handle_packet gives a ping: HandlePing, and the cached pongs
// when HandlePing was inside its gap, so that a ping gets them once.
void AnswerPing(const CGnutellaPacket* ping, CGnutellaHost* host);

// Whether a ping passed on now is outside acceptedPingGapMs of the last
// one; notes the time when it is.
bool AcceptPing();

// The throttles as at load: the next ping of each kind passes (tests).
void ResetPingGates();

// A new ping (new marked GUID, Gnutella_LocalTTL, hops 0) sent on the link
// and remembered as sent there. The result of SendToHost; -1 for a null
// link.
int PingHost(CGnutellaHost* host);
// A new ping queued for broadcast to every link, remembered as sent on each
// link that is up. 0.
int PingAllHosts();

}  // namespace vesk::gnutella
