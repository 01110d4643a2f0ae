// Closing a link that is up.
#pragma once

namespace vesk::gnutella {

class CGnutellaHost;

// Forgets the link's routes and closes its descriptor: the result of close,
// or 0 without a descriptor. The host step removes the link afterwards.
//
// Stands in for the links side's CloseHost, which also takes the link out
// of the link counts, marks its kind and greys its row.
int CloseHost(CGnutellaHost& host);

}  // namespace vesk::gnutella
