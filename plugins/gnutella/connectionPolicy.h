// Keeping the node linked: the listener thread's policy that dials new
// links whenever too few are up or being set up, and the quick-connect
// list dialled when the node goes online.
#pragma once

namespace vesk::gnutella {

// One turn of the policy; nothing while offline or while the links up and
// being connected together reach Gnutella_MinTotalConnections or
// Gnutella_MaxOutgoing. Otherwise it dials from the host cache (three
// hosts while no link is up, else one; a host already linked or being
// set up is taken out and not dialled); with the cache empty and nothing
// being connected it queues one successful host, and with none of those
// either it asks the web caches for hosts. 0.
int MaintainConnections();

// Queues a dial for every quick-connect host no link up or being set up
// already targets (same port, same address or name). 0, or -1 when the list is
// empty.
int ConnectQuickList();

}  // namespace vesk::gnutella
