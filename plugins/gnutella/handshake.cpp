#include "plugins/gnutella/handshake.h"

#include <cstring>
#include <mutex>

#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaPacket.h"
#include "plugins/gnutella/CGnutellaSearch.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/clock.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/fixedText.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/handshakeText.h"
#include "plugins/gnutella/hostCache.h"
#include "plugins/gnutella/linkControl.h"
#include "plugins/gnutella/linkRow.h"
#include "plugins/gnutella/pingAnswers.h"
#include "plugins/gnutella/routing.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/protocol.h"

namespace vesk::gnutella {

namespace {

bool outgoingFull() {
    return g_Settings.Counts().outgoingLinks >= g_Settings.m_MaxOutgoing;
}

bool incomingFull() {
    return g_Settings.Counts().incomingLinks >= g_Settings.m_MaxIncoming;
}

// The handshake failed: the descriptor closes and the link machine destroys
// the link.
int fail(CGnutellaHost* host) {
    SetRowColour(host, rowColour::inactive);
    host->m_Kind = linkKind::closed;
    if (host->m_Link)
        host->m_Link->close();
    return 1;
}

// The incoming links are full: the link is counted as incoming all the
// same and lives as a busy link until the active host step drops it.
int becomeBusy(CGnutellaHost* host) {
    SetRowColour(host, rowColour::inactive);
    host->m_Kind = linkKind::incomingUp;
    host->m_State = linkState::busy;
    host->m_ActivityTime = TickNow();
    g_Settings.TrackIncomingLink(host->m_Row);
    TouchHost(host);
    host->m_HandOver = hostHandOver::activeList;
    return 1;
}

int becomeIncomingLink(CGnutellaHost* host) {
    host->m_ActivityTime = TickNow();
    SetProtocolState(protocolState::connected);
    SetRowColour(host, rowColour::link);
    host->m_Kind = linkKind::incomingUp;
    g_Settings.TrackIncomingLink(host->m_Row);
    SendActiveQueries(host);
    TouchHost(host);
    host->m_HandOver = hostHandOver::activeList;
    return 1;
}

// The hosts of a refusal's X-Try list go to the host cache, as one batch.
void harvestOfferedHosts(std::string_view text) {
    CatchOfferedHosts(ParseXTry(text));
}

}  // namespace

int SendConnect06(CGnutellaHost* host) {
    if (outgoingFull())
        return fail(host);
    const char* address = host->m_Link ? host->m_Link->addressText() : nullptr;
    if (address)
        CopyWhole(host->m_AddressText, address);
    SendText(host, handshakeText::connect06);
    host->m_ActivityTime = TickNow();
    host->m_State = linkState::requestSent;
    return 0;
}

int ReadConnect06Response(CGnutellaHost* host, std::string_view text) {
    connectAnswer answer = ReadConnectAnswer(text);
    if (answer == connectAnswer::refused)
        harvestOfferedHosts(text);  // a refusal still names peers to try
    if (answer != connectAnswer::accepted || outgoingFull())
        return fail(host);
    SetRowColour(host, rowColour::link);
    SetProtocolState(protocolState::connected);
    host->m_Kind = linkKind::outgoingUp;
    g_Settings.TrackOutgoingLink(host->m_Row);
    SendText(host, handshakeText::finalReply);
    TouchHost(host);
    PingHost(host);
    SendActiveQueries(host);
    host->m_HandOver = hostHandOver::activeList;
    host->m_State = linkState::outgoingUp;
    return 1;
}

int AnswerConnect04(CGnutellaHost* host) {
    const char* ack = g_Settings.m_ConnectAck;
    SendOnLink(host, ack, static_cast<unsigned long>(strnlen(ack, settingTextSize)));
    host->m_MajorVersion = 0;
    host->m_MinorVersion = 6;
    if (host->m_Dialled) {
        // A connection this node opened (to answer a push): no searches.
        if (outgoingFull())
            return fail(host);
        SetRowColour(host, rowColour::link);
        host->m_Kind = linkKind::outgoingUp;
        g_Settings.TrackOutgoingLink(host->m_Row);
        TouchHost(host);
        host->m_HandOver = hostHandOver::activeList;
        return 1;
    }
    return incomingFull() ? becomeBusy(host) : becomeIncomingLink(host);
}

int AnswerConnect06(CGnutellaHost* host, std::string_view text) {
    connectRequest request;
    if (!ParseConnect06(text, sizeof host->m_UserAgent - 1, request))
        return RefuseConnection(host);
    if (request.hasUserAgent)
        CopyText(host->m_UserAgent, request.userAgent);
    protocolVersion version = AnswerVersion(request.version);
    host->m_MajorVersion = version.major;
    host->m_MinorVersion = version.minor;
    bool busy = incomingFull();
    std::vector<hostAddress> offered;
    if (busy) {
        becomeBusy(host);
        offered = CachedHosts(xTryAnswerEntries);
    }
    SendText(host, Answer06(version, busy, host->m_AddressText, offered));
    if (busy)
        return 1;
    host->m_State = linkState::answered;
    host->m_ActivityTime = TickNow();
    return 0;
}

int ReadConnectReply(CGnutellaHost* host, std::string_view text) {
    protocolVersion version;
    if (!ParseFinalReply(text, version)) {
        if (ReadConnectAnswer(text) == connectAnswer::refused)
            harvestOfferedHosts(text);
        return fail(host);
    }
    if (incomingFull())
        return becomeBusy(host);
    host->m_State = linkState::built;
    return becomeIncomingLink(host);
}

int RefuseConnection(CGnutellaHost* host) {
    UntrackLinkByKind(host);
    host->m_Kind = linkKind::none;
    if (host->m_Link)
        host->m_Link->close();
    return 1;
}

int SendActiveQueries(CGnutellaHost* host) {
    std::lock_guard<std::recursive_mutex> hold(g_SearchListsGuard);
    for (auto& entry : g_ActiveSearchList) {
        net::INetDataBuffer* query = BuildQueryPacket(entry.second);
        if (!query)
            continue;
        query->addRef();
        SendToHost(host, query->data(), query->length());
        CGnutellaPacket* packet = ClonePacket(query);
        RememberSent(host, packet, kind::query);
        delete packet;
        query->release();
    }
    return 0;
}

}  // namespace vesk::gnutella
