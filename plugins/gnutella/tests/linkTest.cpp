// Links with scripted peers on 127.0.0.1: this node dialling and accepting,
// both handshakes on the wire byte for byte, refusals, busy answers, the
// handshake time-outs (clock replaced), the searches a new link gets, rows,
// dropping, and going offline and online.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <map>
#include <thread>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaHostCatch.h"
#include "plugins/gnutella/CGnutellaSearch.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/activeHosts.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/dialling.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/hostCache.h"
#include "plugins/gnutella/linkControl.h"
#include "plugins/gnutella/linkRow.h"
#include "plugins/gnutella/network.h"
#include "plugins/gnutella/protocol.h"
#include "plugins/gnutella/resources.h"
#include "plugins/gnutella/handshake.h"
#include "plugins/gnutella/routing.h"
#include "plugins/gnutella/tests/linkFixture.h"
#include "plugins/gnutella/tests/scriptedDescriptor.h"

namespace vesk::gnutella::test {
namespace {

using net::test::plainConnect;
using net::test::plainListener;

const std::string request06 =
    "GNUTELLA CONNECT/0.6\r\nUser-Agent: Pelloran 3.1.3\r\nPong-Caching: 0.1\r\nHops-Flow: 1.0\r\n\r\n";
const std::string finalReply = "GNUTELLA/0.6 200 OK\r\n\r\n";

// A socket closed when the test ends.
struct peerSocket {
    SOCKET s = INVALID_SOCKET;
    ~peerSocket() { net::test::closePlain(s); }
    operator SOCKET() const { return s; }
};

class LinkTest : public linkFixture {
protected:
    // This node dials the peer's listener; the peer takes the connection
    // and reads this node's 0.6 connect.
    void dialPeer(plainListener& listener, peerSocket& peer) {
        ASSERT_EQ(ConnectToHost("127.0.0.1", listener.port()), 0);
        stepInactive();  // the link machine dials
        peer.s = listener.acceptOne();
        ASSERT_NE(peer.s, INVALID_SOCKET);
        ASSERT_TRUE(stepUntil([] {
            CGnutellaHost* link = onlyLink(g_InactiveHostList);
            return link && link->m_State == linkState::requestSent;
        }));
        EXPECT_EQ(peerReads(peer, request06.size()), request06);
    }

    // A peer dials this node's listener and sends its first text.
    void peerDials(peerSocket& peer, const std::string& text) {
        peer.s = plainConnect(listenPort());
        ASSERT_NE(peer.s, INVALID_SOCKET);
        ASSERT_TRUE(peerSends(peer, text));
    }

    // Whether the peer's connection has ended, without waiting.
    static bool peerClosedNow(SOCKET peer) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(peer, &readable);
        timeval none{0, 0};
        if (select(0, &readable, nullptr, nullptr, &none) != 1)
            return false;
        char byte;
        return recv(peer, &byte, 1, MSG_PEEK) <= 0;
    }

    static unsigned long rowColour(CGnutellaHost* link) { return link->m_Row->GetProperty("TC").asUlong(); }
};

TEST_F(LinkTest, DiallingSendsTheConnectAndAnAcceptedLinkGetsTheFinalReply) {
    plainListener listener;
    peerSocket peer;
    dialPeer(listener, peer);
    CGnutellaHost* link = onlyLink(g_InactiveHostList);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->m_Kind, linkKind::dialling);
    EXPECT_EQ(g_Settings.Counts().connecting, 1u);

    ASSERT_TRUE(peerSends(peer, "GNUTELLA/0.6 200 OK\r\nUser-Agent: Peer\r\n\r\n"));
    ASSERT_TRUE(stepUntil([] { return g_InactiveHostList.IsEmpty(); }));
    EXPECT_EQ(peerReads(peer, finalReply.size()), finalReply);

    ASSERT_EQ(onlyLink(g_ActiveHostList), link);
    EXPECT_EQ(link->m_Kind, linkKind::outgoingUp);
    EXPECT_EQ(link->m_State, linkState::outgoingUp);
    EXPECT_STREQ(link->m_AddressText, "127.0.0.1");
    trackerCounts counts = g_Settings.Counts();
    EXPECT_EQ(counts.outgoingLinks, 1u);
    EXPECT_EQ(counts.connecting, 0u);
    EXPECT_EQ(protocol->lastState(), protocolState::connected);
    EXPECT_EQ(rowColour(link), rowColour::link);
    EXPECT_EQ(rowText(link->m_Row, IDS_GNU_FIELD_LINK_STATUS), ResourceText(IDS_GNU_LINK_OUTGOING));
    EXPECT_EQ(rowText(link->m_Row, IDS_GNU_FIELD_ADDRESS), "127.0.0.1");
    EXPECT_TRUE(link->m_Row->HasAction(ResourceText(IDS_GNU_LINK_CLOSED)));
    EXPECT_FALSE(recorded("IGnutellaHostDockWnd::UpdateConnect").empty());
}

TEST_F(LinkTest, AnyAnswerBut200RefusesTheLinkAtOnceAndItsXTryListFillsTheHostCache) {
    // 503 as the Part knows it, 403 as current servents refuse a connect
    // without X-Ultrapeer, and others.
    const char* refusals[] = {"GNUTELLA/0.6 503 Busy", "GNUTELLA/0.6 403 Normal nodes refused",
                              "GNUTELLA/0.6 404 Whatever", "GNUTELLA/0.6 2000 OK", "GNUTELLA/0.6 200"};
    unsigned short port = 1;
    for (const char* status : refusals) {
        SCOPED_TRACE(status);
        ClearHostCatcher();
        plainListener listener;
        peerSocket peer;
        dialPeer(listener, peer);
        std::string offered = "X-Try: 1.2.3.4:" + std::to_string(port) + ",10.0.0.1:6346,5.6.7.8:6347,9.9.9.9:1\r\n";
        bool accepted = std::string(status) == "GNUTELLA/0.6 200";
        ASSERT_TRUE(peerSends(peer, std::string(status) + "\r\n" + offered + "\r\n"));
        ASSERT_TRUE(stepUntil([] { return g_InactiveHostList.IsEmpty(); })) << "no time-out is waited for";
        if (accepted) {  // the status line's code alone decides
            EXPECT_EQ(g_Settings.Counts().outgoingLinks, 1u);
            DestroyHosts(g_ActiveHostList);
            g_Settings.Clear();
            continue;
        }
        EXPECT_TRUE(peerSeesClose(peer));
        EXPECT_TRUE(g_ActiveHostList.IsEmpty());
        trackerCounts counts = g_Settings.Counts();
        EXPECT_EQ(counts.links, 0u) << "a refusal is no link";
        EXPECT_EQ(counts.connecting, 0u);
        EXPECT_NE(protocol->lastState(), protocolState::connected);
        EXPECT_EQ(CachedHosts(10).size(), 2u);
        EXPECT_EQ(g_HostCatcher.count("1.2.3.4:" + std::to_string(port)), 1u);
        EXPECT_EQ(g_HostCatcher.count("5.6.7.8:6347"), 1u) << "private hosts and the last, unended entry are not";
        ++port;
    }
    EXPECT_EQ(recorded("IGnutellaHostDockWnd::RemoveConnect").size(), 4u) << "each refused dial's row goes";
}

TEST_F(LinkTest, RefusalsWithXTryListsKeepTheHostCacheWithinItsBoundOldestOutFirst) {
    g_Settings.m_MaxHostCatcher = 50;
    plainListener listener;
    for (int refusal = 1; refusal <= 3; ++refusal) {
        SCOPED_TRACE("refusal " + std::to_string(refusal));
        peerSocket peer;
        dialPeer(listener, peer);
        std::string offered;
        for (int i = 1; i <= 40; ++i)
            offered += "11.0." + std::to_string(refusal) + "." + std::to_string(i) + ":6346,";
        ASSERT_TRUE(peerSends(peer, "GNUTELLA/0.6 503 Busy\r\nX-Try: " + offered + "\r\n\r\n"));
        ASSERT_TRUE(stepUntil([] { return g_InactiveHostList.IsEmpty(); }));
    }
    EXPECT_EQ(CachedHosts(1000).size(), 50u);
    EXPECT_EQ(g_HostCatcher.count("11.0.2.30:6346"), 0u);
    EXPECT_EQ(g_HostCatcher.count("11.0.2.31:6346"), 1u) << "the newest 50 stay";
    EXPECT_EQ(recorded("IGnutellaHostDockWnd::UpdateCatch").size(), 120u);
    EXPECT_EQ(recorded("IGnutellaHostDockWnd::RemoveCatch").size(), 70u);
}

TEST_F(LinkTest, AnAnswerThatIsNoHandshakeClosesTheDial) {
    plainListener listener;
    peerSocket peer;
    dialPeer(listener, peer);
    ASSERT_TRUE(peerSends(peer, "HTTP/1.0 200 OK\r\n\r\n"));
    ASSERT_TRUE(stepUntil([] { return g_InactiveHostList.IsEmpty(); }));
    EXPECT_TRUE(peerSeesClose(peer));
    EXPECT_TRUE(g_ActiveHostList.IsEmpty());
    EXPECT_EQ(g_Settings.Counts().outgoingLinks, 0u);
}

TEST_F(LinkTest, AtTheOutgoingLimitNoConnectIsSent) {
    g_Settings.m_MaxOutgoing = 0;
    plainListener listener;
    ASSERT_EQ(ConnectToHost("127.0.0.1", listener.port()), 0);
    stepInactive();
    peerSocket peer;
    peer.s = listener.acceptOne();
    ASSERT_NE(peer.s, INVALID_SOCKET);
    ASSERT_TRUE(stepUntil([] { return g_InactiveHostList.IsEmpty(); }));
    bool closed = false;
    EXPECT_TRUE(net::test::receiveUntilClosed(peer, closed, 10000).empty());
    EXPECT_TRUE(closed);
}

TEST_F(LinkTest, OnlyAFewAcceptedConnectionsWaitForTheirFirstBytesTheRestAreClosedAtOnce) {
    std::vector<peerSocket> peers(acceptedWaitingLimit);
    for (std::size_t i = 0; i < peers.size(); ++i) {
        peers[i].s = plainConnect(listenPort());
        ASSERT_TRUE(stepUntil([&] { return g_InactiveHostList.Count() == i + 1; }));
    }
    for (int extra = 0; extra < 2; ++extra) {
        peerSocket refused;
        refused.s = plainConnect(listenPort());
        EXPECT_TRUE(stepUntil([&] { return peerClosedNow(refused); })) << "one more is closed at once";
    }
    for (const peerSocket& peer : peers)
        EXPECT_FALSE(peerClosedNow(peer));
    EXPECT_EQ(g_InactiveHostList.Count(), acceptedWaitingLimit);
    EXPECT_EQ(g_Settings.Counts().connecting, acceptedWaitingLimit);

    // One that speaks is served and makes room for the next.
    ASSERT_TRUE(peerSends(peers[0], "GNUTELLA CONNECT/0.4\n\n"));
    ASSERT_TRUE(stepUntil([] { return !g_ActiveHostList.IsEmpty(); }));
    peerSocket next;
    next.s = plainConnect(listenPort());
    ASSERT_TRUE(stepUntil([] { return g_InactiveHostList.Count() == acceptedWaitingLimit; }));
    EXPECT_FALSE(peerClosedNow(next));
}

TEST_F(LinkTest, AnIncoming04ConnectIsAcknowledgedAndUpAtOnce) {
    peerSocket peer;
    peerDials(peer, "GNUTELLA CONNECT/0.4\n\n");
    ASSERT_TRUE(stepUntil([] { return !g_ActiveHostList.IsEmpty(); }));
    EXPECT_EQ(peerReads(peer, 13), "GNUTELLA OK\n\n");
    CGnutellaHost* link = onlyLink(g_ActiveHostList);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->m_Kind, linkKind::incomingUp);
    EXPECT_EQ(link->m_State, linkState::accepted);
    EXPECT_EQ(link->m_MinorVersion, 6u);
    EXPECT_TRUE(g_InactiveHostList.IsEmpty());
    EXPECT_EQ(g_Settings.Counts().incomingLinks, 1u);
    EXPECT_TRUE(g_Settings.m_IncomingLinkSeen);
    EXPECT_EQ(protocol->lastState(), protocolState::connected);
}

TEST_F(LinkTest, TheConfiguredConnectStringIsMatchedInAnyCase) {
    peerSocket peer;
    peerDials(peer, "gnutella connect/0.4\n\n");
    ASSERT_TRUE(stepUntil([] { return !g_ActiveHostList.IsEmpty(); }));
    EXPECT_EQ(peerReads(peer, 13), "GNUTELLA OK\n\n");
}

TEST_F(LinkTest, AnEmptyConnectStringMakesNoRequestALink) {
    std::strcpy(g_Settings.m_ConnectString, "");  // a hand-edited settings file
    {
        peerSocket peer;
        peerDials(peer, "GET /get/1/song.mp3 HTTP/1.0\r\n\r\n");
        ASSERT_TRUE(stepUntil([] { return g_InactiveHostList.IsEmpty(); }));
        bool closed = false;
        std::vector<unsigned char> answer = net::test::receiveUntilClosed(peer, closed, 10000);
        EXPECT_EQ(std::string(answer.begin(), answer.end()).find("GNUTELLA OK"), std::string::npos);
        EXPECT_TRUE(g_ActiveHostList.IsEmpty()) << "a request is no link";
    }
    peerSocket peer;
    peerDials(peer, "GNUTELLA CONNECT/0.4\n\n");
    ASSERT_TRUE(stepUntil([] { return !g_ActiveHostList.IsEmpty(); }));
    EXPECT_EQ(peerReads(peer, 13), "GNUTELLA OK\n\n");
}

TEST_F(LinkTest, AnIncoming06ConnectIsAnsweredAndUpOnThePeersFinalReply) {
    peerSocket peer;
    peerDials(peer, "GNUTELLA CONNECT/0.6\r\nUser-Agent: Peer/1.0\r\nX-Other: 1\r\n\r\n");
    const std::string answer =
        "GNUTELLA/0.6 200 OK\r\nUser-Agent: Pelloran v3.1.3\r\nPong-Caching: 0.1\r\nHops-Flow: 1.0\r\n"
        "Remote-IP: 127.0.0.1\r\n\r\n";
    ASSERT_TRUE(stepUntil([] {
        CGnutellaHost* link = onlyLink(g_InactiveHostList);
        return link && link->m_State == linkState::answered;
    }));
    EXPECT_EQ(peerReads(peer, answer.size()), answer);
    EXPECT_TRUE(g_ActiveHostList.IsEmpty());

    ASSERT_TRUE(peerSends(peer, "GNUTELLA/0.6 200 OK\r\n\r\n"));
    ASSERT_TRUE(stepUntil([] { return !g_ActiveHostList.IsEmpty(); }));
    CGnutellaHost* link = onlyLink(g_ActiveHostList);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->m_State, linkState::built);
    EXPECT_EQ(link->m_Kind, linkKind::incomingUp);
    EXPECT_STREQ(link->m_UserAgent, "Peer/1.0");
    EXPECT_EQ(rowText(link->m_Row, IDS_GNU_FIELD_CLIENT), "Peer/1.0");
    EXPECT_EQ(g_Settings.Counts().incomingLinks, 1u);
}

TEST_F(LinkTest, ADescriptorSentRightBehindTheFinalReplyIsRead) {
    peerSocket peer;
    peerDials(peer, "GNUTELLA CONNECT/0.6\r\nUser-Agent: Peer/1.0\r\n\r\n");
    ASSERT_TRUE(stepUntil([] {
        CGnutellaHost* link = onlyLink(g_InactiveHostList);
        return link && link->m_State == linkState::answered;
    }));
    // The answer, then the reply and a Ping for this node in one send.
    peerReads(peer, std::strlen("GNUTELLA/0.6 200 OK\r\n"));
    const unsigned char ping[23] = {0x51, 0x51, 0x51, 0x51, 0x51, 0x51, 0x51, 0x51, 0x51, 0x51, 0x51, 0x51,
                                    0x51, 0x51, 0x51, 0x51, function::ping, 1, 0, 0, 0, 0, 0};
    ASSERT_TRUE(peerSends(peer, finalReply + std::string(reinterpret_cast<const char*>(ping), sizeof ping)));
    ASSERT_TRUE(stepUntil([] { return !g_ActiveHostList.IsEmpty(); }));
    CGnutellaHost* link = onlyLink(g_ActiveHostList);
    ASSERT_NE(link, nullptr);
    ASSERT_TRUE(stepUntil([&] {
        ServiceActiveHost(link);
        return link->m_ReceivedCount == 1;
    })) << "the Ping was lost with the reply's receive";
}

TEST_F(LinkTest, ABusyAnswerOffersCachedHostsAndKeepsTheLinkForItsBusyTime) {
    g_Settings.m_MaxIncoming = 0;
    cacheHost("5.6.7.8", 6347);
    cacheHost("1.2.3.4", 6346);
    peerSocket peer;
    peerDials(peer, "GNUTELLA CONNECT/0.6\r\nUser-Agent: Peer/1.0\r\n\r\n");
    ASSERT_TRUE(stepUntil([] { return !g_ActiveHostList.IsEmpty(); }));
    const std::string answer =
        "GNUTELLA/0.6 503 BUSY\r\nUser-Agent: Pelloran v3.1.3\r\nPong-Caching: 0.1\r\nHops-Flow: 1.0\r\n"
        "Remote-IP: 127.0.0.1\r\nX-Try: 1.2.3.4:6346,5.6.7.8:6347,\r\n\r\n";
    EXPECT_EQ(peerReads(peer, answer.size()), answer);
    CGnutellaHost* link = onlyLink(g_ActiveHostList);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->m_State, linkState::busy);
    EXPECT_EQ(link->m_Kind, linkKind::incomingUp);
    EXPECT_EQ(rowColour(link), rowColour::inactive);
    EXPECT_EQ(g_Settings.Counts().incomingLinks, 1u) << "a busy link counts until it goes";

    advance(10000);
    ServiceActiveHosts();
    EXPECT_EQ(onlyLink(g_ActiveHostList), link);
    advance(1);
    ServiceActiveHosts();
    EXPECT_TRUE(g_ActiveHostList.IsEmpty());
    EXPECT_EQ(g_Settings.Counts().incomingLinks, 0u);
    EXPECT_TRUE(peerSeesClose(peer));
}

TEST_F(LinkTest, ABusyAnswerWithAnEmptyCacheHasNoXTryLine) {
    g_Settings.m_MaxIncoming = 0;
    peerSocket peer;
    peerDials(peer, "GNUTELLA CONNECT/0.7\r\n\r\n");
    ASSERT_TRUE(stepUntil([] { return !g_ActiveHostList.IsEmpty(); }));
    const std::string answer =
        "GNUTELLA/0.6 503 BUSY\r\nUser-Agent: Pelloran v3.1.3\r\nPong-Caching: 0.1\r\nHops-Flow: 1.0\r\n"
        "Remote-IP: 127.0.0.1\r\n\r\n";
    EXPECT_EQ(peerReads(peer, answer.size()), answer);
}

TEST_F(LinkTest, The04AcknowledgementGoesOutEvenWhenBusy) {
    g_Settings.m_MaxIncoming = 0;
    peerSocket peer;
    peerDials(peer, "GNUTELLA CONNECT/0.4\n\n");
    ASSERT_TRUE(stepUntil([] { return !g_ActiveHostList.IsEmpty(); }));
    EXPECT_EQ(peerReads(peer, 13), "GNUTELLA OK\n\n");
    EXPECT_EQ(onlyLink(g_ActiveHostList)->m_State, linkState::busy);
}

TEST_F(LinkTest, APeerThatNeverSendsItsFinalReplyIsClosedAfter3000Ms) {
    peerSocket peer;
    peerDials(peer, "GNUTELLA CONNECT/0.6\r\n\r\n");
    ASSERT_TRUE(stepUntil([] {
        CGnutellaHost* link = onlyLink(g_InactiveHostList);
        return link && link->m_State == linkState::answered;
    }));
    advance(3000);
    stepInactive();
    EXPECT_FALSE(g_InactiveHostList.IsEmpty()) << "3000 ms are allowed";
    advance(1);
    ASSERT_TRUE(stepUntil([] { return g_InactiveHostList.IsEmpty(); }));
    EXPECT_TRUE(g_ActiveHostList.IsEmpty());
    EXPECT_EQ(g_Settings.Counts().connecting, 0u);
    EXPECT_TRUE(peerSeesClose(peer));
}

TEST_F(LinkTest, ConnectionsThatAreNoHandshakeAreRefusedUncounted) {
    const char* firstTexts[] = {
        "HELLO\r\n\r\n",
        "giv 1:00/a\n\n",                                       // a push answer is case-sensitive
        "GNUTELLA CONNECT/0.6\r\nUser-Agent: x\r\n",            // no blank line
        "GNUTELLA CONNECT/06\r\n\r\n",                          // no version dot
        "GNUTELLA CONNECT/0.123456789012345678901\r\n\r\n",     // an over-long version
    };
    for (const char* text : firstTexts) {
        SCOPED_TRACE(text);
        peerSocket peer;
        peerDials(peer, text);
        ASSERT_TRUE(stepUntil([this] { return !recorded("IGnutellaHostDockWnd::RemoveConnect").empty(); }));
        ui.calls().clear();
        EXPECT_TRUE(g_InactiveHostList.IsEmpty());
        EXPECT_TRUE(g_ActiveHostList.IsEmpty());
        EXPECT_EQ(g_Settings.Counts().connecting, 0u);
        EXPECT_EQ(g_Settings.Counts().incomingLinks, 0u);
        EXPECT_TRUE(peerSeesClose(peer));
    }
}

TEST_F(LinkTest, AConnectionAcceptedWhileOfflineIsClosedAtOnce) {
    g_State.running = 0;
    peerSocket peer;
    peerDials(peer, "GNUTELLA CONNECT/0.4\n\n");
    EXPECT_TRUE(stepUntil([&] { return peerClosedNow(peer); }));
    EXPECT_TRUE(g_InactiveHostList.IsEmpty());
    EXPECT_EQ(g_Settings.Counts().connecting, 0u);
}

// The descriptors a scripted peer received after the handshake, by
// function code: their identifiers.
std::multimap<unsigned char, std::string> descriptorsIn(const std::string& bytes) {
    std::multimap<unsigned char, std::string> found;
    std::size_t at = 0;
    while (bytes.size() - at >= descriptorHeaderSize) {
        const unsigned char* header = reinterpret_cast<const unsigned char*>(bytes.data() + at);
        std::uint32_t payload = ReadLe32(header + header::payloadLength);
        found.emplace(header[header::function], bytes.substr(at, guidSize));
        at += descriptorHeaderSize + payload;
    }
    return found;
}

TEST_F(LinkTest, ANewLinkGetsEachActiveSearchsQueryOnce) {
    CGnutellaSearch first, second;
    std::strcpy(first.m_Query, "first words");
    std::strcpy(second.m_Query, "second");
    NewMessageGuid(first.m_Guid.bytes);
    NewMessageGuid(second.m_Guid.bytes);
    {
        std::lock_guard<std::recursive_mutex> hold(g_SearchListsGuard);
        g_ActiveSearchList[first.m_Guid] = &first;
        g_ActiveSearchList[second.m_Guid] = &second;
    }
    plainListener listener;
    peerSocket peer;
    dialPeer(listener, peer);
    ASSERT_TRUE(peerSends(peer, "GNUTELLA/0.6 200 OK\r\n\r\n"));
    ASSERT_TRUE(stepUntil([] { return !g_ActiveHostList.IsEmpty(); }));
    {
        std::lock_guard<std::recursive_mutex> hold(g_SearchListsGuard);
        g_ActiveSearchList.clear();
    }
    EXPECT_EQ(peerReads(peer, finalReply.size()), finalReply);
    // Two queries of 23 + 2 + the text + 1 bytes; other descriptors may come
    // along (this node's Ping), so everything that arrives is read.
    CloseHost(onlyLink(g_ActiveHostList));
    bool closed = false;
    std::vector<unsigned char> rest = net::test::receiveUntilClosed(peer, closed, 10000);
    auto queries = descriptorsIn(std::string(rest.begin(), rest.end()));
    EXPECT_EQ(queries.count(function::query), 2u);
    std::string firstId(reinterpret_cast<const char*>(first.m_Guid.bytes), guidSize);
    std::string secondId(reinterpret_cast<const char*>(second.m_Guid.bytes), guidSize);
    int seenFirst = 0, seenSecond = 0;
    for (auto range = queries.equal_range(function::query); range.first != range.second; ++range.first) {
        seenFirst += range.first->second == firstId;
        seenSecond += range.first->second == secondId;
    }
    EXPECT_EQ(seenFirst, 1);
    EXPECT_EQ(seenSecond, 1);
}

TEST_F(LinkTest, GoingOfflineClosesLinksAndOnlineDialsTheOutgoingOnesAgain) {
    plainListener listener;
    peerSocket outgoingPeer, incomingPeer;
    dialPeer(listener, outgoingPeer);
    ASSERT_TRUE(peerSends(outgoingPeer, "GNUTELLA/0.6 200 OK\r\n\r\n"));
    peerDials(incomingPeer, "GNUTELLA CONNECT/0.4\n\n");
    ASSERT_TRUE(stepUntil([] { return g_ActiveHostList.Count() == 2; }));
    EXPECT_EQ(g_Settings.Counts().links, 2u);

    on_disconnect();
    ServiceActiveHosts();
    EXPECT_TRUE(g_ActiveHostList.IsEmpty());
    CGnutellaHost* waiting = onlyLink(g_InactiveHostList);
    ASSERT_NE(waiting, nullptr) << "the outgoing link waits to be dialled again; the incoming one is gone";
    EXPECT_EQ(waiting->m_Kind, linkKind::waiting);
    EXPECT_EQ(rowColour(waiting), rowColour::inactive);
    EXPECT_EQ(g_Settings.Counts().links, 0u);
    EXPECT_EQ(g_Settings.Counts().connecting, 1u);
    EXPECT_TRUE(peerSeesClose(outgoingPeer));
    EXPECT_TRUE(peerSeesClose(incomingPeer));
    for (int turn = 0; turn < 5; ++turn)
        stepInactive();
    EXPECT_EQ(onlyLink(g_InactiveHostList), waiting) << "offline it only waits";

    on_connect();
    peerSocket again;
    stepInactive();
    again.s = listener.acceptOne();
    ASSERT_NE(again.s, INVALID_SOCKET);
    ASSERT_TRUE(stepUntil([&] { return waiting->m_State == linkState::requestSent; }));
    EXPECT_EQ(peerReads(again, request06.size()), request06);
}

TEST_F(LinkTest, TheLastLinkGoingWhileOnlineShowsTheNodeStillConnecting) {
    peerSocket peer;
    peerDials(peer, "GNUTELLA CONNECT/0.4\n\n");
    ASSERT_TRUE(stepUntil([] { return !g_ActiveHostList.IsEmpty(); }));
    net::test::closePlain(peer.s);
    peer.s = INVALID_SOCKET;
    ASSERT_TRUE(net::test::waitFor([] {
        ServiceActiveHosts();
        return g_ActiveHostList.IsEmpty();
    }));
    EXPECT_EQ(protocol->lastState(), protocolState::connecting);
    EXPECT_EQ(g_Settings.Counts().incomingLinks, 0u);
}

TEST_F(LinkTest, TheDropActionEndsALinkAndARowWithoutOneIsOnlyTakenOff) {
    peerSocket peer;
    peerDials(peer, "GNUTELLA CONNECT/0.4\n\n");
    ASSERT_TRUE(stepUntil([] { return !g_ActiveHostList.IsEmpty(); }));
    CGnutellaHost* link = onlyLink(g_ActiveHostList);
    ss::IAgent* row = link->m_Row;
    row->addRef();
    EXPECT_TRUE(row->FireAction(ResourceText(IDS_GNU_LINK_CLOSED)));
    ServiceActiveHosts();
    EXPECT_TRUE(g_ActiveHostList.IsEmpty());
    EXPECT_EQ(g_Settings.Counts().incomingLinks, 0u);
    EXPECT_TRUE(peerSeesClose(peer));

    ui.calls().clear();
    EXPECT_TRUE(row->FireAction(ResourceText(IDS_GNU_LINK_CLOSED)));
    EXPECT_EQ(recorded("IGnutellaHostDockWnd::RemoveConnect").size(), 1u);
    row->release();
}

TEST_F(LinkTest, DroppingALinkInItsHandshakeEndsIt) {
    plainListener listener;
    peerSocket peer;
    dialPeer(listener, peer);
    drop_host(onlyLink(g_InactiveHostList)->m_Row);
    stepInactive();
    EXPECT_TRUE(g_InactiveHostList.IsEmpty());
    EXPECT_EQ(g_Settings.Counts().connecting, 0u);
    EXPECT_TRUE(peerSeesClose(peer));
}

// The row's action runs on the GUI thread while the link machine and the
// active host thread move links between the two lists.
TEST_F(LinkTest, ALinkMovingBetweenTheListsIsAlwaysFoundByItsRowsDropAction) {
    auto* link = new CGnutellaHost();
    link->m_Kind = linkKind::incomingUp;
    FillHostRow(link);
    {
        std::lock_guard<std::recursive_mutex> hold(g_InactiveHostList.guard);
        g_InactiveHostList.items[link->m_Id] = link;
    }
    std::atomic<bool> stop{false};
    std::thread mover([&] {
        while (!stop) {
            MoveHost(link, g_InactiveHostList, g_ActiveHostList);
            MoveHost(link, g_ActiveHostList, g_InactiveHostList);
        }
    });
    int lost = 0;
    for (int i = 0; i < 20000; ++i) {
        link->m_DropRequested = false;
        drop_host(link->m_Row);
        lost += link->m_DropRequested ? 0 : 1;
    }
    stop = true;
    mover.join();
    EXPECT_EQ(lost, 0) << "drops that found the link in neither list";
    EXPECT_TRUE(recorded("IGnutellaHostDockWnd::RemoveConnect").empty()) << "a row taken from a link that lives on";
}

TEST_F(LinkTest, AHostNameIsKeptAsTheNameToDialAndShownInTheRow) {
    ASSERT_EQ(ConnectToHost("peer.example", 6346), 0);
    CGnutellaHost* link = onlyLink(g_InactiveHostList);
    ASSERT_NE(link, nullptr);
    EXPECT_STREQ(link->m_HostName, "peer.example");
    EXPECT_STREQ(link->m_AddressText, "");
    EXPECT_STREQ(link->m_AddressAndPort, ":6346");
    EXPECT_EQ(rowText(link->m_Row, IDS_GNU_FIELD_ADDRESS), "peer.example");
    EXPECT_EQ(rowText(link->m_Row, IDS_GNU_FIELD_LINK_STATUS), ResourceText(IDS_GNU_LINK_WAITING));
    DestroyHosts(g_InactiveHostList);  // never dialled: the test ends here

    EXPECT_EQ(ConnectToHost(std::string(hostNameSize, 'a').c_str(), 6346), -1) << "a name too long to dial";
    EXPECT_EQ(ConnectToHost(nullptr, 6346), -1);
    EXPECT_TRUE(g_InactiveHostList.IsEmpty());
}

TEST_F(LinkTest, RequestedConnectionsAreDialledByTheActiveHostThreadInTheirOrder) {
    ui.calls().clear();
    QueueRequestedConnection("127.0.0.1", 1001);
    QueueRequestedConnection("peer.example", 1002);
    EXPECT_EQ(g_Settings.Counts().connecting, 2u);
    ServiceRequestedConnections();
    EXPECT_TRUE(g_InactiveHostList.IsEmpty()) << "not moved yet: the listener thread moves them";
    MoveRequestedConnections();
    QueueRequestedConnection("127.0.0.1", 1003);  // after the move: a later turn
    ServiceRequestedConnections();
    // Each dial shows its row: the rows' order is the dialling order.
    std::map<std::string, unsigned short> portOfRow;
    {
        std::lock_guard<std::recursive_mutex> hold(g_InactiveHostList.guard);
        for (auto& entry : g_InactiveHostList.items)
            portOfRow[vesk::testing::callText("IGnutellaHostDockWnd::UpdateConnect")
                          .address(entry.second->m_Row)
                          .text()] = entry.second->m_Port;
    }
    std::vector<unsigned short> ports;
    for (const std::string& line : recorded("IGnutellaHostDockWnd::UpdateConnect"))
        ports.push_back(portOfRow[line]);
    EXPECT_EQ(ports, (std::vector<unsigned short>{1001, 1002}));
    EXPECT_EQ(g_InactiveRequestedConnectionQueue.Count(), 1u);
    EXPECT_EQ(g_Settings.Counts().connecting, 3u);
}

TEST_F(LinkTest, ASendTheNetworkRefusesIsDroppedAndCountedOnTheLink) {
    CGnutellaHost link;
    auto* descriptor = new capsule<scriptedDescriptor>();
    link.m_Link = descriptor;
    link.m_Link->addRef();
    descriptor->sendResult = 0;
    EXPECT_EQ(SendConnect06(&link), 0);
    EXPECT_EQ(descriptor->sent, request06);
    EXPECT_EQ(link.m_RefusedSends, 1u);
    EXPECT_EQ(link.m_State, linkState::requestSent) << "the answer's time-out ends it";
    EXPECT_EQ(SendToHost(&link, "abc", 3), 0);
    EXPECT_EQ(link.m_RefusedSends, 2u);
    descriptor->sendResult = 1;
    EXPECT_EQ(SendToHost(&link, "abc", 3), 1);
    EXPECT_EQ(link.m_RefusedSends, 2u);
    EXPECT_EQ(link.m_SentCount, 2u);
}

}  // namespace
}  // namespace vesk::gnutella::test
