// Where the descriptor handling hands a Query Hit that answers one of this
// node's queries.
#pragma once

#include <cstddef>

#include "plugins/gnutella/guid16.h"

namespace vesk::gnutella {

// Copies the whole descriptor (23-byte header and payload) into the hit
// queue of the active search whose query GUID is queryId: true when queued.
// Dropped (false) when no active search has that GUID, the search is
// stopping or its queue is full, or the bytes are no whole Query Hit. The
// caller keeps its bytes.
bool QueueQueryHitForSearch(const guid16& queryId, const unsigned char* descriptor, std::size_t length);

}  // namespace vesk::gnutella
