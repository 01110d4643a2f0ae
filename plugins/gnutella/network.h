// The module's listening descriptor: made and listening at start-up,
// closed at unload.
#pragma once

#include <cstddef>

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

// Accepted connections that may wait for their first bytes at once: one
// more is closed as it comes, so that silent peers cannot pile up records,
// rows and sockets (each ends after acceptedSilenceMs, inactiveHosts.h).
constexpr std::size_t acceptedWaitingLimit = 16;

// The listener step (listener thread, every turn): listens again after the
// listener closed (and takes the node's address again), closes it after a
// failure, and takes one waiting connection: closed at once while the node
// is offline or acceptedWaitingLimit accepted connections wait for their
// first bytes, else entered into g_InactiveHostList as an accepted link
// counted as being connected, its activity time now. 0, or -1 without a
// listener or when the link could not be made.
int AcceptIncoming();

}  // namespace vesk::gnutella
