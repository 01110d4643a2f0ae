// Outgoing links: dialled now, or requested and dialled by the active host
// thread in a later turn. A dialled link enters g_InactiveHostList with a
// descriptor that is not connected yet; the link machine's next step dials
// it (kind waiting, status idle).
#pragma once

namespace vesk::gnutella {

class CGnutellaHost;

// Builds a link to the host text (a dotted address by the function index,
// else a host name) and port and enters it into g_InactiveHostList, counted
// as being connected, its row shown. 0, or -1 for a null text, a name too
// long to dial, no address function, or no descriptor or row (nothing is
// kept then). Any thread.
int ConnectToHost(const char* text, unsigned short port);

// Queues a dial for the active host thread: a link with the text as its
// address (when it looks like one) or host name, counted as being
// connected. Any thread. 0.
int QueueRequestedConnection(const char* text, unsigned short port);

// Dials a queued link as ConnectToHost does; a link that cannot be dialled
// is taken out of the count and destroyed. 0, or -1 when it failed.
int ConnectRequested(CGnutellaHost* link);

// Listener thread: every queued request goes, in order, to the queue the
// active host thread dials from. 0.
int MoveRequestedConnections();
// Active host thread: dials the requests that were queued when it began. 0.
int ServiceRequestedConnections();

}  // namespace vesk::gnutella
