// The links that are up (g_ActiveHostList), served by the active host
// thread: one step per link and turn, and the removal of the links that
// closed, failed, were dropped or outlived their busy time.
#pragma once

namespace vesk::gnutella {

class CGnutellaHost;

// One step of one link: 1 when it is to leave the list, 0 when it stays,
// -1 for a null link.
//
// Online and connected: a busy link is closed 10000 ms after its handshake
// (read meanwhile); any other gets its broadcasts and has one descriptor
// read. Online and idle: a waiting link is dialled again, any other is let
// go (1); failed: closed (1). Offline: a connected link closes (an outgoing
// one being dialled or up waits to be dialled again), an outgoing link
// whose peer closed is removed.
int ServiceActiveHost(CGnutellaHost* host);

// Steps every link in key order (refreshing rows not refreshed for 5000
// ms), 1 ms apart. A link that leaves the list is taken out of the link
// counts; a waiting one goes back to g_InactiveHostList to be dialled
// again, any other is destroyed with its row. When the last one goes the
// protocol shows connecting (online) or offline. While the module shuts
// down every link is destroyed instead. 0.
int ServiceActiveHosts();

// After a failure caught in the active host thread: every link is taken out
// of the counts, its row removed and destroyed.
void ClearActiveHostsAfterFailure();

}  // namespace vesk::gnutella
