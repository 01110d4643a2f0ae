// What the download side needs of push (a source behind a firewall asked
// to connect back). Push is not built yet: these stand in for it.
#pragma once

namespace vesk::gnutella {

class CGnutellaHost;

// Asks the download's source, through a link that saw its query hit, to
// connect back with a GIV. 0 when the Push was sent. For now no route is
// ever found (-1), so such downloads end with status 994.
// Called with the download connection's lock held (from the row actions
// also with g_TransferHostList's guard): the links it needs must be found
// without taking a guard that comes earlier in the module's lock order
// while those are held (a copy of the route taken beforehand, or the Push
// queued for the active host thread).
int RequestPush(CGnutellaHost* host);

// A download waiting for a GIV (awaitingGiv, its own link closed). For now
// the wait ends after 10000 ms from the stamp with status 992.
int HandlePushWait(CGnutellaHost* host);

}  // namespace vesk::gnutella
