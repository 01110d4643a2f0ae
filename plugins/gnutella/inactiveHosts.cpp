#include "plugins/gnutella/inactiveHosts.h"

#include <mutex>

#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/clock.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/handshake.h"
#include "plugins/gnutella/handshakeText.h"
#include "plugins/gnutella/incomingConnection.h"
#include "plugins/gnutella/linkControl.h"
#include "plugins/gnutella/linkRow.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/pushToUs.h"

namespace vesk::gnutella {

namespace {

// Handshake time-outs, from the activity time.
constexpr std::uint32_t answerTimeoutMs = 1000;      // the answer to this node's connect
constexpr std::uint32_t finalReplyTimeoutMs = 3000;  // a peer's final reply to this node's answer

std::uint32_t sinceActivity(const CGnutellaHost* host) {
    return static_cast<std::uint32_t>(TickNow() - host->m_ActivityTime);
}

// A connection a peer opened: it is never dialled back.
bool acceptedStage(const CGnutellaHost* host) {
    return host->m_State == linkState::accepted || host->m_State == linkState::answered;
}

// The connection ended or failed: out of its count, closed.
int linkEnded(CGnutellaHost* host) {
    UntrackLinkByKind(host);
    MarkInactiveLink(host, linkKind::closed, false);
    return 1;
}

void applyDropRequest(CGnutellaHost* host) {
    if (!host->m_DropRequested.exchange(false))
        return;
    if (host->m_Link)
        host->m_Link->close();
    linkEnded(host);
}

int offlineStep(CGnutellaHost* host, int status) {
    if (status == net::status::connected || status == net::status::connecting) {
        bool redial = BeingDialledOrUp(host);
        CloseHost(host);
        if (redial)
            MarkInactiveLink(host, linkKind::waiting, true);
        else if (acceptedStage(host))
            host->m_Kind = linkKind::closed;
        return 0;
    }
    if (host->m_Kind == linkKind::closed)
        return 1;
    if (host->m_Kind == linkKind::waiting && !acceptedStage(host))
        return 0;
    CloseHost(host);
    MarkInactiveLink(host, acceptedStage(host) ? linkKind::closed : linkKind::waiting, true);
    return 0;
}

// A peer may send its first descriptors right behind its handshake, in the
// same receive: they wait for the descriptor reader, which takes them
// before anything received later. The link is not yet in the active list.
void keepBytesBehindHandshake(CGnutellaHost* host, const unsigned char* bytes, std::size_t length) {
    std::size_t end = HandshakeMessageEnd(bytes, length);
    if (end == 0 || end >= length)
        return;
    host->m_Framing.leftover.data.assign(bytes + end, bytes + length);
    host->m_Framing.leftover.start = 0;
}

// The bytes received go to the reader of the link's state.
int readHandshake(CGnutellaHost* host) {
    net::INetDataBuffer* got = host->m_Link->receive();
    if (!got)
        return 0;
    std::string_view text = ReceivedText(got->data(), got->length());
    int result;
    switch (host->m_State) {
        case linkState::accepted:
            result = HandleIncomingConnection(host, text);
            break;
        case linkState::requestSent:
            result = ReadConnect06Response(host, text);
            break;
        case linkState::answered:
            result = ReadConnectReply(host, text);
            break;
        default:
            host->m_Link->close();
            result = 1;
    }
    if (host->m_HandOver == hostHandOver::activeList)
        keepBytesBehindHandshake(host, got->data(), got->length());
    got->release();  // receive() handed out the caller's reference
    return result;
}

// A connection a peer opened and has not spoken on: it is counted as being
// connected, which holds the connection policy back.
bool silentAccepted(const CGnutellaHost* host) {
    return host->m_State == linkState::accepted && !host->m_Dialled && sinceActivity(host) > acceptedSilenceMs;
}

int connectedStep(CGnutellaHost* host) {
    host->m_Connected = true;
    if (host->m_State == linkState::dialled)
        return SendConnect06(host);
    if ((host->m_State == linkState::requestSent && sinceActivity(host) > answerTimeoutMs) ||
        (host->m_State == linkState::answered && sinceActivity(host) > finalReplyTimeoutMs) || silentAccepted(host)) {
        host->m_Link->close();  // seen as idle at the next step
        return 0;
    }
    int result = readHandshake(host);
    // A GIV whose requester asked for nothing in time (what came in time
    // was read first): closed.
    if (result == 0 && GivAnswerOverdue(host))
        host->m_Link->close();
    return result;
}

// Moves a link that is done with the list to where its step handed it, or
// takes it out and ends it.
void leaveList(CGnutellaHost* host) {
    g_Settings.UntrackConnectingHost(host->m_Row);
    guardedList<hostMap>* next = host->m_HandOver == hostHandOver::activeList     ? &g_ActiveHostList
                                 : host->m_HandOver == hostHandOver::transferList ? &g_TransferHostList
                                                                                  : nullptr;
    if (next) {
        host->m_HandOver = hostHandOver::none;
        MoveHost(host, g_InactiveHostList, *next);  // another thread's from here on
        return;
    }
    {
        std::lock_guard<std::recursive_mutex> hold(g_InactiveHostList.guard);
        g_InactiveHostList.items.erase(host->m_Id);
    }
    host->m_Kind = linkKind::none;
    DestroyLink(host);
}

}  // namespace

int ServiceInactiveHost(CGnutellaHost* host) {
    if (!host)
        return 1;
    applyDropRequest(host);
    int status = LinkStatus(host);
    if (!IsOnline())
        return offlineStep(host, status);
    switch (status) {
        case net::status::connected:
            return connectedStep(host);
        case net::status::idle:
            if (host->m_Kind == linkKind::waiting && !acceptedStage(host)) {
                DialWaitingLink(host);
                return 0;
            }
            return linkEnded(host);
        case net::status::failed:
            return linkEnded(host);
        default:
            return 0;  // still dialling: the network module ends a failed dial
    }
}

int ServiceInactiveHosts() {
    if (IsShuttingDown()) {
        DestroyHosts(g_InactiveHostList);
        return 0;
    }
    // Only this thread takes links out of the list: each stays alive here.
    for (CGnutellaHost* host : HostsIn(g_InactiveHostList)) {
        if (ServiceInactiveHost(host) == 1)
            leaveList(host);
    }
    return 0;
}

}  // namespace vesk::gnutella
