#include "plugins/gnutella/activeHosts.h"

#include <windows.h>

#include <mutex>

#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/clock.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/linkControl.h"
#include "plugins/gnutella/linkRow.h"
#include "plugins/gnutella/broadcasts.h"
#include "plugins/gnutella/readDescriptors.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/protocol.h"

namespace vesk::gnutella {

namespace {

constexpr std::uint32_t busyLifeMs = 10000;      // a busy link, from its handshake
constexpr std::uint32_t rowRefreshGapMs = 5000;  // rows of quiet links

// A state no step sets; a link found in it is closed.
constexpr std::uint16_t closeMeState = 0x47;

std::uint32_t since(std::uint32_t tick) {
    return static_cast<std::uint32_t>(TickNow() - tick);
}

int offlineStep(CGnutellaHost* host, int status) {
    if (status == net::status::connected) {
        bool redial = BeingDialledOrUp(host);
        CloseHost(host);
        if (redial)
            MarkInactiveLink(host, linkKind::waiting, true);
        return 1;
    }
    if (status == net::status::idle && host->m_State == linkState::outgoingUp) {
        g_Settings.UntrackOutgoingLink(host->m_Row);
        host->m_State = linkState::removed;
        return 1;
    }
    return status == net::status::idle && host->m_State == linkState::removed ? 1 : 0;
}

int connectedStep(CGnutellaHost* host) {
    switch (host->m_State) {
        case linkState::busy:
        case linkState::busyAnswered:
            if (since(host->m_ActivityTime) > busyLifeMs) {
                CloseHost(host);
                return 1;
            }
            return ReadDescriptors(host);
        case closeMeState:
            host->m_Kind = linkKind::closed;
            host->m_Link->close();
            return 1;
        default:
            SendBroadcastsToHost(host);
            return ReadDescriptors(host);
    }
}

// Shows whether the node is still trying (online) or offline once no link
// is up.
void showNoLinks() {
    SetProtocolState(IsOnline() ? protocolState::connecting : protocolState::offline);
}

// A link that left the list: a waiting one is dialled again by the listener
// thread, any other ends here.
void leaveList(CGnutellaHost* host) {
    bool redial = host->m_Kind == linkKind::waiting;
    if (!redial) {
        UntrackLinkByKind(host);
        host->m_Kind = linkKind::none;
    }
    if (redial) {
        g_Settings.TrackConnectingHost(host->m_Row);
        MoveHost(host, g_ActiveHostList, g_InactiveHostList);  // the listener thread's from here on
        return;
    }
    bool nowEmpty;
    {
        std::lock_guard<std::recursive_mutex> hold(g_ActiveHostList.guard);
        g_ActiveHostList.items.erase(host->m_Id);
        nowEmpty = g_ActiveHostList.items.empty();
    }
    if (nowEmpty)
        showNoLinks();
    DestroyLink(host);
}

}  // namespace

int ServiceActiveHost(CGnutellaHost* host) {
    if (!host)
        return -1;
    if (host->m_DropRequested.exchange(false)) {
        CloseHost(host);
        return 1;
    }
    int status = LinkStatus(host);
    if (!IsOnline())
        return offlineStep(host, status);
    switch (status) {
        case net::status::connected:
            return connectedStep(host);
        case net::status::idle:
            if (host->m_Kind == linkKind::waiting) {
                DialWaitingLink(host);
                return 0;
            }
            if (host->m_Link) {
                host->m_Link->shutdownLink();
                host->m_Link->releaseLink();
            }
            return 1;
        case net::status::failed:
            CloseHost(host);
            return 1;
        default:
            return 0;
    }
}

int ServiceActiveHosts() {
    if (IsShuttingDown()) {
        DestroyHosts(g_ActiveHostList);
        return 0;
    }
    // Only this thread takes links out of the list: each stays alive here.
    for (CGnutellaHost* host : HostsIn(g_ActiveHostList)) {
        if (since(host->m_RowRefreshTime) > rowRefreshGapMs)
            TouchHost(host);
        if (ServiceActiveHost(host) == 1)
            leaveList(host);
        Sleep(1);
    }
    return 0;
}

void ClearActiveHostsAfterFailure() {
    hostMap gone;
    {
        std::lock_guard<std::recursive_mutex> hold(g_ActiveHostList.guard);
        gone.swap(g_ActiveHostList.items);
    }
    for (auto& entry : gone) {
        CGnutellaHost* host = entry.second;
        UntrackLinkByKind(host);
        if (host->m_Kind != linkKind::waiting)
            host->m_Kind = linkKind::none;
        DestroyLink(host);
    }
    if (!gone.empty())
        showNoLinks();
}

}  // namespace vesk::gnutella
