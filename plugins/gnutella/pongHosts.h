// The host a received pong tells of, offered to the host cache.
#pragma once

namespace vesk::gnutella {

class CGnutellaPacket;

// Offers the pong's host (its payload's port and address, with its file
// and kilobyte counts) to the host cache. 0.
//
// Stands in for the host cache side's AddPongHost (its host filter, its
// limit and its list rows); until that is built a pong's host is not kept.
int AddPongHost(const CGnutellaPacket& pong);

}  // namespace vesk::gnutella
