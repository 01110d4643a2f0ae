// The module's listening descriptor: made and listening at start-up,
// closed at unload.
#pragma once

#include "vesk/net.h"

namespace vesk::gnutella {

// A new "vesk::net::tcp" descriptor of the network service with the
// module's entity, one reference held by the caller; null without one.
net::ITCPDescriptor* NewTcpDescriptor();

// Makes the listening descriptor ("vesk::net::tcp"), listens on
// Gnutella_ListenPort and keeps the listener's local address as this node's
// own. 0, or -1 when no descriptor could be made. A descriptor made by an
// earlier call is closed first.
int InitNetwork();

// Closes the listening descriptor and forgets it.
void CloseListener();

// Closes the listening descriptor and keeps it, so that the listener thread
// listens again, on Gnutella_ListenPort as it is then (the network page's
// port change). Nothing without a listener.
void ListenAgain();

// The listener step (listener thread, every turn): listens again after the
// listener closed (and takes the node's address again), closes it after a
// failure, and takes one waiting connection: closed at once while the node
// is offline, else entered into g_InactiveHostList as an accepted link
// counted as being connected. 0, or -1 without a listener or when the link
// could not be made.
int AcceptIncoming();

}  // namespace vesk::gnutella
