// The "gnutella listener thread": links being dialled, accepted or in their
// handshake (g_InactiveHostList).
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/workerThreads.h"

namespace vesk::gnutella {

namespace {

void ServiceInactiveHosts() {
    if (IsShuttingDown())
        DestroyHosts(g_InactiveHostList);
}

void listenerTurn() {
    ServiceInactiveHosts();
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
