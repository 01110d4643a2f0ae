// A search's query hits turned into result agents: one agent per record
// accepted, with the attributes the result list shows and the download
// action (add_download: the result itself becomes the download's row),
// handed to the search instance as one batch per hit.
#pragma once

#include "plugins/gnutella/queryHitParser.h"
#include "vesk/containers.h"
#include "vesk/ss.h"

namespace vesk::gnutella {

class CGnutellaSearch;

// Set (unsigned long 1) on results that only a push can fetch.
constexpr const char* forcePushName = "GNUTELLA_FORCE_PUSH";
// The property of the vendor attribute that holds its icon's image index.
constexpr const char* rowImageName = "II";

// The result agents of one hit in a new vector that holds a reference to
// each (the caller holds the vector's one reference); null when no record
// is accepted or an agent or the vector cannot be made (nothing of the hit
// is then delivered).
Ivector* BuildResultBatch(const parsedHit& hit);

// Takes the oldest hit off the search's queue and hands its results to the
// search instance (outside every lock: the manager may stop the search from
// within). 10 when the queue was empty, else 0 (also for a null or
// stopping search).
int ProcessQueryHit(CGnutellaSearch* search);

}  // namespace vesk::gnutella
