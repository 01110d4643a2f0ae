// Where a query hit answering one of this node's searches goes: the
// search's own queue, which its thread empties into results. This is the
// one hand-over point between descriptor handling (active host thread) and
// the searches; the search side (hits to result rows) is built on it.
#pragma once

#include <memory>

namespace vesk::gnutella {

class CGnutellaSearch;
class CGnutellaQueryHitContainer;

// Appends the hit to the search's queue (the search takes it over). The
// caller holds g_SearchListsGuard and has found the search in
// g_ActiveSearchList, so the search cannot end meanwhile.
void QueueQueryHit(CGnutellaSearch& search, std::unique_ptr<CGnutellaQueryHitContainer> hit);

// The oldest hit queued to the search (the caller owns it), or null.
std::unique_ptr<CGnutellaQueryHitContainer> TakeQueryHit(CGnutellaSearch& search);

}  // namespace vesk::gnutella
