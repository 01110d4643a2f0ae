// One link over the real network module on 127.0.0.1: a scripted peer
// writes descriptors in pieces of its own choosing and reads the answers;
// every buffer the module hands out is given back through the link code.
#include <gtest/gtest.h>

#include <mutex>

#include "extern/net/tests/loopback.h"
#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/activeHosts.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/tests/trafficFixture.h"

namespace vesk::gnutella::test {
namespace {

using net::test::closePlain;
using net::test::plainConnect;
using net::test::receiveBytes;
using net::test::sendAll;
using net::test::waitFor;

class LoopbackLink : public trafficFixture {};

TEST_F(LoopbackLink, DescriptorsInAnyPiecesAreAnsweredAndTheLinkEndsWithItsPeer) {
    ref<net::ITCPDescriptor> listener(
        interfaceCast<net::ITCPDescriptor>(network->createDescriptor("vesk::net::tcp", nullptr)));
    ASSERT_TRUE(listener);
    ASSERT_EQ(listener->listen(0), 1);
    SOCKET remote = plainConnect(listener->port());
    ASSERT_NE(remote, INVALID_SOCKET);
    ASSERT_TRUE(waitFor([&] { return listener->status() == net::status::peerWaiting; }));
    auto* host = new CGnutellaHost(listener->accept());  // takes the accepted link's reference
    ASSERT_NE(host->m_Link, nullptr);
    host->m_State = linkState::built;
    host->m_Kind = linkKind::incomingUp;
    {
        std::lock_guard<std::recursive_mutex> hold(g_ActiveHostList.guard);
        g_ActiveHostList.items[host->m_Id] = host;
    }
    peer other = addPeer("2.2.2.2");

    // Garbage, a ping for this node alone and a query, in uneven pieces.
    bytes ping = descriptorOf(guidOf(0x51), function::ping, 1, 0, {});
    bytes query = descriptorOf(guidOf(0x21), function::query, 3, 0, queryPayload("abc"));
    bytes stream = joined({bytes(40, 0xFF), ping, query});
    ASSERT_TRUE(sendAll(remote, bytes(stream.begin(), stream.begin() + 10)));
    ASSERT_TRUE(sendAll(remote, bytes(stream.begin() + 10, stream.end())));

    ASSERT_TRUE(waitFor([&] {
        ServiceActiveHost(host);
        turn();
        return host->m_ReceivedCount == 2 && !other.link->sends().empty();
    })) << "received " << host->m_ReceivedCount;
    bytes answer = receiveBytes(remote, 37, 10000);
    ASSERT_EQ(answer.size(), 37u) << "this node's own pong";
    EXPECT_EQ(bytes(answer.begin(), answer.begin() + 16), guidOf(0x51));
    EXPECT_EQ(answer[header::function], function::pong);
    EXPECT_EQ(other.link->sends(),
              std::vector<bytes>{descriptorOf(guidOf(0x21), function::query, 2, 1, queryPayload("abc"))});
    EXPECT_EQ(host->m_GarbageCount, 0u) << "garbage in front of a start is skipped, not counted";

    closePlain(remote);
    EXPECT_TRUE(waitFor([&] { return ServiceActiveHost(host) == 1; })) << "the link goes once its peer left";
}

}  // namespace
}  // namespace vesk::gnutella::test
