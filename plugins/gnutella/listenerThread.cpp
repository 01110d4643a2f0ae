// The "gnutella listener thread": accepts connections, drives the links of
// g_InactiveHostList through their handshakes, runs the connection policy
// and passes requested dials on to the active host thread.
#include "plugins/gnutella/connectionPolicy.h"
#include "plugins/gnutella/dialling.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/inactiveHosts.h"
#include "plugins/gnutella/network.h"
#include "plugins/gnutella/workerThreads.h"

namespace vesk::gnutella {

namespace {

void listenerTurn() {
    AcceptIncoming();
    ServiceInactiveHosts();
    MaintainConnections();
    MoveRequestedConnections();
}

// Stopped from outside: no link may outlive the thread that serves it.
void destroyLinksLeft() {
    DestroyHosts(g_InactiveHostList);
}

}  // namespace

int listener_thread(Ithread* thread) {
    return RunWorkerLoop(thread, workerLoop{&listenerTurn, &g_InactiveHostList, nullptr, &destroyLinksLeft});
}

}  // namespace vesk::gnutella
