// What a polling user sees of a connection's life: the status codes, the
// addresses, the end of a connection and a listener's life.
#include "extern/net/tests/netFixture.h"

#include <string>

#include "extern/net/addresses.h"

namespace vesk::net::test {
namespace {

TEST_F(NetTest, DialGoesFromIdleThroughConnectingToConnected) {
    start();
    stalledListener peer;
    ref<ITCPDescriptor> d = newDescriptor();
    ASSERT_TRUE(d);
    EXPECT_EQ(d->status(), status::idle);
    EXPECT_EQ(d->isOpen(), 0);

    ASSERT_EQ(d->connect("127.0.0.1", peer.port()), 1);
    EXPECT_EQ(d->status(), status::connecting);
    Sleep(300);  // the dial cannot complete while the peer's backlog is full
    EXPECT_EQ(d->status(), status::connecting);
    EXPECT_NE(d->isOpen(), 0);

    peer.release();
    EXPECT_EQ(settledStatus(d.get()), status::connected);
    EXPECT_STREQ(d->addressText(), "127.0.0.1");
    EXPECT_EQ(d->port(), peer.port());
    EXPECT_NE(d->isOpen(), 0);
}

TEST_F(NetTest, RefusedDialFailsAndDropsWhatWasQueued) {
    start();
    ref<ITCPDescriptor> d = newDescriptor();
    ASSERT_EQ(d->connect("127.0.0.1", freePort()), 1);
    EXPECT_EQ(d->send("lost", 4), 1);
    EXPECT_EQ(settledStatus(d.get()), status::failed);
    EXPECT_EQ(d->lastError(), WSAECONNREFUSED);
    EXPECT_EQ(d->isOpen(), 0);
    EXPECT_EQ(waiting(d.get()), 0u);
    EXPECT_EQ(d->send("late", 4), 0);

    // The same descriptor dials again; the dropped bytes stay dropped.
    plainListener peer;
    ASSERT_EQ(d->connect("127.0.0.1", peer.port()), 1);
    EXPECT_EQ(d->send("fresh", 5), 1);
    SOCKET s = peer.acceptOne();
    ASSERT_NE(s, INVALID_SOCKET);
    std::vector<unsigned char> got = receiveBytes(s, 5);
    EXPECT_EQ(std::string(got.begin(), got.end()), "fresh");
    closePlain(s);
}

TEST_F(NetTest, DialThatHangsFailsAfterItsTimeOut) {
    engineSettings quick;
    quick.dialTimeoutMs = 400;
    start(quick);
    stalledListener peer;
    ref<ITCPDescriptor> d = newDescriptor();
    ASSERT_EQ(d->connect("127.0.0.1", peer.port()), 1);
    EXPECT_EQ(d->status(), status::connecting);
    EXPECT_EQ(settledStatus(d.get()), status::failed);
    EXPECT_EQ(d->lastError(), WSAETIMEDOUT);
}

TEST_F(NetTest, HostNameIsResolvedBeforeTheDial) {
    start();
    plainListener peer;
    ref<ITCPDescriptor> d = newDescriptor();
    ASSERT_EQ(d->connect("localhost", peer.port()), 1);
    EXPECT_EQ(settledStatus(d.get()), status::connected);
    EXPECT_STREQ(d->addressText(), "127.0.0.1");
}

TEST_F(NetTest, UnusableHostTextFailsAtOnce) {
    start();
    ref<ITCPDescriptor> d = newDescriptor();
    std::string tooLong(300, 'a');
    for (const char* host : {static_cast<const char*>(nullptr), "", tooLong.c_str()}) {
        EXPECT_EQ(d->connect(host, 80), 0);
        EXPECT_EQ(d->status(), status::failed);
        EXPECT_EQ(d->lastError(), WSAEINVAL);
    }
}

TEST_F(NetTest, PeerCloseIsToldOnceSeenAndTheLastBytesStayForReceive) {
    start();
    plainListener peer;
    ref<ITCPDescriptor> d;
    SOCKET s = INVALID_SOCKET;
    ASSERT_NO_FATAL_FAILURE(dialPlain(peer, d, s));
    // More than the module holds before it stops reading: the end lies
    // behind bytes not read yet.
    const size_t total = 3 * engineSettings().receiveLimit + 12345;
    ASSERT_TRUE(sendAll(s, pattern(7, 0, total)));
    closePlain(s);

    Sleep(500);
    EXPECT_EQ(d->status(), status::connected) << "the end is not seen yet";
    std::vector<unsigned char> got;
    bool ended = waitFor([&] {
        int seen = d->status();
        if (seen == status::idle)
            return true;
        EXPECT_EQ(seen, status::connected);
        drain(d.get(), got);
        Sleep(5);
        return false;
    }, 30000);
    ASSERT_TRUE(ended);
    // Told the end: what came before it is still there, once.
    while (drain(d.get(), got) > 0) {
    }
    EXPECT_EQ(d->receive(), nullptr);
    ASSERT_EQ(got.size(), total);
    EXPECT_EQ(firstMismatch(7, 0, got.data(), got.size()), -1);
    EXPECT_EQ(d->lastError(), 0);
    EXPECT_EQ(d->isOpen(), 0);
    EXPECT_EQ(d->send("x", 1), 0);
}

// A peer that sends and then resets the connection while its bytes wait
// unread: the end is told without any receive, and the bytes that came
// before it are still handed out.
TEST_F(NetTest, AnEndIsToldWhileReceivedBytesWaitUnread) {
    start();
    plainListener peer;
    ref<ITCPDescriptor> d;
    SOCKET s = INVALID_SOCKET;
    ASSERT_NO_FATAL_FAILURE(dialPlain(peer, d, s));
    const size_t total = 90000;
    ASSERT_TRUE(sendAll(s, pattern(8, 0, total)));
    Sleep(200);
    linger reset{1, 0};
    setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&reset), sizeof reset);
    closePlain(s);
    EXPECT_TRUE(waitFor([&] { return d->status() == status::idle; })) << "status stayed " << d->status();
    EXPECT_EQ(d->isOpen(), 0);
    EXPECT_EQ(d->send("x", 1), 0);
    std::vector<unsigned char> got;
    while (drain(d.get(), got) > 0) {
    }
    ASSERT_EQ(got.size(), total);
    EXPECT_EQ(firstMismatch(8, 0, got.data(), got.size()), -1);
    EXPECT_EQ(d->receive(), nullptr);
}

// The user reads a connected socket itself, but a user that only polls
// status() must still learn that the peer ended, on a dialled link and on
// an accepted one.
TEST_F(NetTest, PeerEndIsToldWithoutAnyReceive) {
    start();
    plainListener peer;
    ref<ITCPDescriptor> listener = newDescriptor();
    ASSERT_EQ(listener->listen(0), 1);
    for (bool accepted : {false, true}) {
        SCOPED_TRACE(accepted ? "accepted" : "dialled");
        ref<ITCPDescriptor> d;
        SOCKET s = INVALID_SOCKET;
        if (accepted) {
            s = plainConnect(listener->port());
            ASSERT_TRUE(waitFor([&] { return listener->status() == status::peerWaiting; }));
            d = ref<ITCPDescriptor>::adopt(listener->accept());
            ASSERT_TRUE(d);
        } else {
            ASSERT_NO_FATAL_FAILURE(dialPlain(peer, d, s));
        }
        ASSERT_EQ(d->status(), status::connected);
        closePlain(s);
        EXPECT_TRUE(waitFor([&] { return d->status() == status::idle; })) << "status stayed " << d->status();
        EXPECT_EQ(d->lastError(), 0);
        EXPECT_EQ(d->receive(), nullptr);
    }
}

TEST_F(NetTest, ListenerAcceptsAConnectedDescriptor) {
    start();
    ref<ITCPDescriptor> listener = newDescriptor();
    ASSERT_EQ(listener->listen(0), 1);
    unsigned short port = listener->port();
    EXPECT_NE(port, 0);
    EXPECT_EQ(listener->status(), status::listening);
    EXPECT_NE(listener->isOpen(), 0);
    EXPECT_EQ(listener->accept(), nullptr);
    in_addr own;
    EXPECT_TRUE(parseDottedAddress(listener->addressText(), own)) << listener->addressText();
    EXPECT_NE(own.s_addr, 0u);

    SOCKET s = plainConnect(port);
    ASSERT_NE(s, INVALID_SOCKET);
    ASSERT_TRUE(waitFor([&] { return listener->status() == status::peerWaiting; }));
    auto accepted = ref<ITCPDescriptor>::adopt(listener->accept());
    ASSERT_TRUE(accepted);
    EXPECT_EQ(accepted->status(), status::connected);
    EXPECT_STREQ(accepted->addressText(), "127.0.0.1");
    EXPECT_EQ(accepted->port(), localPort(s));
    EXPECT_EQ(listener->status(), status::listening);
    EXPECT_EQ(listener->accept(), nullptr);

    ASSERT_TRUE(sendAll(s, {'h', 'i'}));
    std::vector<unsigned char> got;
    EXPECT_TRUE(waitFor([&] { drain(accepted.get(), got); return got.size() >= 2; }));
    EXPECT_EQ(std::string(got.begin(), got.end()), "hi");
    EXPECT_EQ(accepted->send("ok", 2), 1);
    std::vector<unsigned char> answer = receiveBytes(s, 2);
    EXPECT_EQ(std::string(answer.begin(), answer.end()), "ok");
    closePlain(s);
}

TEST_F(NetTest, ClosedListenerListensAgainOnItsPort) {
    start();
    ref<ITCPDescriptor> listener = newDescriptor();
    ASSERT_EQ(listener->listen(0), 1);
    unsigned short port = listener->port();
    SOCKET first = plainConnect(port);
    ASSERT_TRUE(waitFor([&] { return listener->status() == status::peerWaiting; }));
    auto accepted = ref<ITCPDescriptor>::adopt(listener->accept());
    ASSERT_TRUE(accepted);

    ASSERT_EQ(listener->close(), 1);
    EXPECT_EQ(listener->status(), status::idle);
    EXPECT_EQ(listener->isOpen(), 0);
    EXPECT_TRUE(waitFor([&] {
        SOCKET s = plainConnect(port);
        closePlain(s);
        return s == INVALID_SOCKET;
    })) << "the port is still taken";

    // Old connections on the port do not keep the listener from coming back.
    accepted->close();
    closePlain(first);
    ASSERT_EQ(listener->listen(port), 1) << listener->lastError();
    EXPECT_EQ(listener->port(), port);
    SOCKET second = plainConnect(port);
    ASSERT_NE(second, INVALID_SOCKET);
    EXPECT_TRUE(waitFor([&] { return listener->status() == status::peerWaiting; }));
    auto again = ref<ITCPDescriptor>::adopt(listener->accept());
    EXPECT_TRUE(again && again->status() == status::connected);
    closePlain(second);
}

TEST_F(NetTest, ListeningOnATakenPortFails) {
    start();
    plainListener other;
    ref<ITCPDescriptor> d = newDescriptor();
    EXPECT_EQ(d->listen(other.port()), 0);
    EXPECT_EQ(d->status(), status::failed);
    // Winsock answers a taken port with either code.
    int code = d->lastError();
    EXPECT_TRUE(code == WSAEADDRINUSE || code == WSAEACCES) << code;
}

}  // namespace
}  // namespace vesk::net::test
