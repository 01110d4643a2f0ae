// One link over the real network module on 127.0.0.1: a scripted peer
// writes descriptors in pieces of its own choosing and reads the answers;
// every buffer the module hands out is given back through the link code.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <memory>
#include <mutex>

#include "core/capsule.h"
#include "extern/net/communications.h"
#include "extern/net/engine.h"
#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/broadcasts.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/readDescriptors.h"
#include "plugins/gnutella/tests/linkFixture.h"

namespace vesk::gnutella::test {
namespace {

// The peer's end: a blocking socket with a receive time-out.
class scriptedPeer {
public:
    explicit scriptedPeer(unsigned short port) {
        WSADATA data;
        started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
        sock_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        DWORD timeoutMs = 20;
        setsockopt(sock_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof timeoutMs);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = connect(sock_, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
    }
    ~scriptedPeer() {
        closesocket(sock_);
        if (started_)
            WSACleanup();
    }
    bool connected() const { return connected_; }
    bool write(const bytes& b) {
        return send(sock_, reinterpret_cast<const char*>(b.data()), static_cast<int>(b.size()), 0) ==
               static_cast<int>(b.size());
    }
    // Whatever arrived within the time-out.
    bytes read() {
        char buffer[4096];
        int n = recv(sock_, buffer, sizeof buffer, 0);
        return n > 0 ? bytes(buffer, buffer + n) : bytes();
    }
    void end() {
        shutdown(sock_, SD_BOTH);
        closesocket(sock_);
        sock_ = INVALID_SOCKET;
    }

private:
    bool started_ = false;
    bool connected_ = false;
    SOCKET sock_ = INVALID_SOCKET;
};

class LoopbackLink : public linkFixture {
protected:
    void SetUp() override {
        linkFixture::SetUp();
        network = std::make_shared<net::engine>();
        ASSERT_TRUE(network->start());
        service = new capsule_core<net::communications>(network);
    }
    void TearDown() override {
        DestroyHosts(g_ActiveHostList);  // the links go before their network
        static_cast<IcoreObject*>(service)->releaseCore();
        network->stop();
        linkFixture::TearDown();
    }
    ref<net::ITCPDescriptor> newDescriptor() {
        return ref<net::ITCPDescriptor>(
            interfaceCast<net::ITCPDescriptor>(service->createDescriptor("vesk::net::tcp", nullptr)));
    }
    // Polls the condition for up to 10 s.
    template <class F>
    bool eventually(F condition) {
        DWORD start = GetTickCount();
        while (!condition()) {
            if (GetTickCount() - start > 10000)
                return false;
            Sleep(2);
        }
        return true;
    }

    std::shared_ptr<net::engine> network;
    net::communications* service = nullptr;
};

TEST_F(LoopbackLink, DescriptorsInAnyPiecesAreAnsweredAndTheLinkEndsWithItsPeer) {
    ref<net::ITCPDescriptor> listener = newDescriptor();
    ASSERT_EQ(listener->listen(0), 1);
    scriptedPeer remote(listener->port());
    ASSERT_TRUE(remote.connected());
    ASSERT_TRUE(eventually([&] { return listener->status() == net::status::peerWaiting; }));
    auto* host = new CGnutellaHost(ref<net::ITCPDescriptor>::adopt(listener->accept()).get());
    ASSERT_NE(host->m_Link, nullptr);
    host->m_State = linkState::built;
    {
        std::lock_guard<std::recursive_mutex> hold(g_ActiveHostList.guard);
        g_ActiveHostList.items[host->m_Id] = host;
    }
    peer other = addPeer("2.2.2.2");

    // Garbage, a ping for this node alone and a query, in uneven pieces.
    bytes ping = descriptorOf(guidOf(0x51), function::ping, 1, 0, {});
    bytes query = descriptorOf(guidOf(0x21), function::query, 3, 0, queryPayload("abc"));
    bytes stream = joined({bytes(40, 0xFF), ping, query});
    ASSERT_TRUE(remote.write(bytes(stream.begin(), stream.begin() + 10)));
    ASSERT_TRUE(remote.write(bytes(stream.begin() + 10, stream.end())));

    bytes answered;
    ASSERT_TRUE(eventually([&] {
        turn();
        ServiceLinkTraffic(*host);
        bytes got = remote.read();
        answered.insert(answered.end(), got.begin(), got.end());
        return answered.size() >= 37 && !other.link->sends().empty();
    })) << "received " << host->m_ReceivedCount << ", answered " << answered.size();
    EXPECT_EQ(bytes(answered.begin(), answered.begin() + 16), guidOf(0x51)) << "the own pong";
    EXPECT_EQ(answered[header::function], function::pong);
    EXPECT_EQ(other.link->sends(), std::vector<bytes>{descriptorOf(guidOf(0x21), function::query, 2, 1,
                                                                   queryPayload("abc"))});
    EXPECT_EQ(host->m_ReceivedCount, 2u);
    EXPECT_EQ(host->m_GarbageCount, 0u) << "garbage in front of a start is skipped, not counted";

    remote.end();
    EXPECT_TRUE(eventually([&] { return ServiceLinkTraffic(*host) == 1; })) << "the link is done once its peer left";
}

}  // namespace
}  // namespace vesk::gnutella::test
