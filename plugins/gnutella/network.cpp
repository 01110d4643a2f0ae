#include "plugins/gnutella/network.h"

#include <mutex>
#include <new>

#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/addresses.h"
#include "plugins/gnutella/clock.h"
#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/moduleLists.h"

namespace vesk::gnutella {

namespace {

// A port already taken is not fatal: the listener reports its failure and
// is listened on again.
void listenOnPort(net::ITCPDescriptor* listener) {
    listener->listen(g_Settings.m_ListenPort);
    unsigned char own[4];
    const char* address = listener->addressText();
    if (address && TextToIp(address, own) == 0)
        g_Settings.m_OwnAddress.Set(own);
}

// Connections a peer opened that have not spoken yet (a connection this
// node opened to answer a push waits in the same state: not counted).
std::size_t acceptedWaiting() {
    std::lock_guard<std::recursive_mutex> hold(g_InactiveHostList.guard);
    std::size_t waiting = 0;
    for (const auto& entry : g_InactiveHostList.items)
        if (entry.second->m_State == linkState::accepted && !entry.second->m_Dialled)
            ++waiting;
    return waiting;
}

// Takes over the accepted connection (the caller's reference from accept).
int enterAccepted(net::ITCPDescriptor* accepted) {
    if (!IsOnline() || acceptedWaiting() >= acceptedWaitingLimit) {
        accepted->close();
        accepted->release();
        return 0;
    }
    CGnutellaHost* link = new (std::nothrow) CGnutellaHost(accepted);
    if (!link) {
        accepted->close();
        accepted->release();
        return -1;
    }
    if (!link->m_Row)
        link->m_Row = NewAgent();
    if (!link->m_Row) {
        delete link;
        return -1;
    }
    link->m_State = linkState::accepted;
    link->m_ActivityTime = TickNow();  // its first bytes are awaited from now
    // Handshake replies go out at once, not gathered with later writes.
    link->m_Link->setSendMode(false);
    g_Settings.TrackConnectingHost(link->m_Row);
    std::lock_guard<std::recursive_mutex> hold(g_InactiveHostList.guard);
    g_InactiveHostList.items[link->m_Id] = link;
    return 0;
}

}  // namespace

net::ITCPDescriptor* NewTcpDescriptor() {
    net::ICommunications* network = g_Services.communications;
    Igeneric* made = network ? network->createDescriptor("vesk::net::tcp", g_State.token) : nullptr;
    net::ITCPDescriptor* descriptor = newObjectAs<net::ITCPDescriptor>(made);
    if (descriptor)
        descriptor->addRef();
    return descriptor;
}

int InitNetwork() {
    CloseListener();
    net::ITCPDescriptor* listener = NewTcpDescriptor();
    if (!listener)
        return -1;
    g_State.listener = listener;
    listenOnPort(listener);
    return 0;
}

void CloseListener() {
    net::ITCPDescriptor* listener = g_State.listener;
    g_State.listener = nullptr;
    if (!listener)
        return;
    listener->close();
    listener->release();
}

void ListenAgain() {
    if (net::ITCPDescriptor* listener = g_State.listener)
        listener->close();
}

int AcceptIncoming() {
    net::ITCPDescriptor* listener = g_State.listener;
    if (!listener)
        return -1;
    switch (listener->status()) {
        case net::status::idle:
            listenOnPort(listener);
            return 0;
        case net::status::failed:
            listener->close();
            return 0;
        case net::status::peerWaiting: {
            net::ITCPDescriptor* accepted = listener->accept();
            return accepted ? enterAccepted(accepted) : 0;
        }
        default:
            return 0;
    }
}

}  // namespace vesk::gnutella
