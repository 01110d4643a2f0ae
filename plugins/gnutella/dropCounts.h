// Why received descriptors (or bytes) were dropped, counted module-wide by
// reason, so that a peer that does not interoperate shows which rule it
// breaks. The per-link dropped count shown in the connection row is kept
// apart (CGnutellaHost::m_DroppedCount).
#pragma once

#include <cstdint>

namespace vesk::gnutella {

enum class dropReason {
    garbage,               // a chunk with no valid descriptor start in it
    malformed,             // shorter than its function needs, or its length field lies
    unknownFunction,       // a function code no handler takes
    busyLink,              // anything but a ping on a link kept only for pongs
    pingThrottled,         // a ping within 6000 ms of the last one accepted
    ownDescriptorBack,     // this node's own ping or query coming back
    duplicate,             // a GUID some link has already received
    noRoute,               // a query hit answering no query received
    hitNotTaken,           // a query hit for a search of ours that has ended or takes no more
    pushForKnownTransfer,  // a push to us whose GUID was taken already
    handlerFailure,        // a failure caught while handling it
    sendRefused,           // the network module refused the bytes
    count
};

void CountDrop(dropReason reason);
std::uint32_t DropCount(dropReason reason);
// Sets every count back to 0 (tests).
void ResetDropCounts();

}  // namespace vesk::gnutella
