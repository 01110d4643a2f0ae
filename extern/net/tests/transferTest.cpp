// Bytes on the way: what is queued before the connection is up, what is
// left when the user closes, bulk transfers in both directions, the count of
// waiting buffers and the paced backlog of transfer mode.
#include "extern/net/tests/netFixture.h"

#include <cstring>
#include <string>
#include <thread>

#include "extern/net/channel.h"

namespace vesk::net::test {
namespace {

TEST_F(NetTest, BytesSentWhileDiallingGoOutInOrderOnceConnected) {
    start();
    stalledListener peer;
    ref<ITCPDescriptor> d = newDescriptor();
    ASSERT_EQ(d->connect("127.0.0.1", peer.port()), 1);
    const char* pieces[] = {"GET /gcache.php?hostfile=1", " HTTP/1.0\r\n", "\r\n"};
    for (const char* piece : pieces)
        EXPECT_EQ(d->send(piece, static_cast<unsigned long>(std::strlen(piece))), 1);
    EXPECT_EQ(d->status(), status::connecting);
    EXPECT_EQ(waiting(d.get()), 3u) << "one waiting buffer per send";

    peer.release();  // takes the filler; our dial is next
    SOCKET s = peer.listener().acceptOne();
    ASSERT_NE(s, INVALID_SOCKET);
    std::vector<unsigned char> got = receiveBytes(s, 39);
    EXPECT_EQ(std::string(got.begin(), got.end()), "GET /gcache.php?hostfile=1 HTTP/1.0\r\n\r\n");
    EXPECT_TRUE(waitFor([&] { return waiting(d.get()) == 0; }));
    closePlain(s);
}

TEST_F(NetTest, CloseStillDeliversWhatWasQueuedAndThenEnds) {
    start();
    plainListener peer;
    ref<ITCPDescriptor> d;
    SOCKET s = INVALID_SOCKET;
    ASSERT_NO_FATAL_FAILURE(dialPlain(peer, d, s));
    // The peer reads nothing yet: the link's backlog fills behind the
    // system's buffers.
    size_t total = fillUntilStalled(d.get(), 3, 64 * 1024);
    EXPECT_GT(waiting(d.get()), 0u);
    ASSERT_EQ(d->close(), 1);
    EXPECT_EQ(d->status(), status::idle);
    EXPECT_EQ(d->isOpen(), 0);

    bool closed = false;
    std::vector<unsigned char> got = receiveUntilClosed(s, closed);
    EXPECT_TRUE(closed);
    ASSERT_EQ(got.size(), total);
    EXPECT_EQ(firstMismatch(3, 0, got.data(), got.size()), -1);
    closePlain(s);
}

TEST_F(NetTest, CloseWhileDiallingStillDeliversWhatWasQueued) {
    start();
    stalledListener peer;
    ref<ITCPDescriptor> d = newDescriptor();
    ASSERT_EQ(d->connect("127.0.0.1", peer.port()), 1);
    const std::string request = "GET /gcache.php?hostfile=1 HTTP/1.0\r\n\r\n";
    ASSERT_EQ(d->send(request.data(), static_cast<unsigned long>(request.size())), 1);
    ASSERT_EQ(d->close(), 1);
    EXPECT_EQ(d->status(), status::idle);

    peer.release();  // the dial completes only now, after the close
    SOCKET s = peer.listener().acceptOne();
    ASSERT_NE(s, INVALID_SOCKET);
    bool closed = false;
    std::vector<unsigned char> got = receiveUntilClosed(s, closed);
    EXPECT_EQ(std::string(got.begin(), got.end()), request);
    EXPECT_TRUE(closed);
    closePlain(s);
}

TEST_F(NetTest, DroppedLinkLetsGoOfWhatWasNotSent) {
    start();
    plainListener peer;
    ref<ITCPDescriptor> d;
    SOCKET s = INVALID_SOCKET;
    ASSERT_NO_FATAL_FAILURE(dialPlain(peer, d, s));
    size_t taken = fillUntilStalled(d.get(), 5, 64 * 1024);
    ASSERT_GT(waiting(d.get()), 0u);
    ASSERT_EQ(d->shutdownLink(), 1);
    ASSERT_EQ(d->releaseLink(), 1);
    EXPECT_EQ(d->status(), status::idle);

    bool closed = false;
    std::vector<unsigned char> got = receiveUntilClosed(s, closed);
    EXPECT_LT(got.size(), taken) << "the queue should have been dropped";
    EXPECT_EQ(firstMismatch(5, 0, got.data(), got.size()), -1);
    closePlain(s);
}

// Sends total bytes of the stream seed, retrying while send refuses.
bool sendStream(ITCPDescriptor* d, unsigned seed, size_t total, size_t piece) {
    std::vector<unsigned char> block;
    ULONGLONG end = GetTickCount64() + 120000;
    for (size_t at = 0; at < total;) {
        size_t n = std::min(piece, total - at);
        block = pattern(seed, at, n);
        while (d->send(block.data(), static_cast<unsigned long>(n)) != 1) {
            if (d->status() != status::connected || GetTickCount64() > end)
                return false;
            Sleep(1);
        }
        at += n;
    }
    return true;
}

TEST_F(NetTest, LargeTransfersArriveIntactInBothDirections) {
    start();
    ref<ITCPDescriptor> dialled, accepted;
    connectedPair(dialled, accepted);
    if (HasFatalFailure())
        return;
    // One side paced by transfer mode, the other queuing freely.
    dialled->setSendMode(true);
    dialled->setTransferMode(true);
    const size_t total = 40u << 20;

    bool sentUp = false, sentDown = false;
    std::thread up([&] { sentUp = sendStream(dialled.get(), 11, total, 8192); });
    std::thread down([&] { sentDown = sendStream(accepted.get(), 12, total, 64 * 1024); });
    std::vector<unsigned char> atAccepted, atDialled;
    size_t checkedUp = 0, checkedDown = 0;
    long long badUp = -1, badDown = -1;
    auto check = [](std::vector<unsigned char>& got, size_t& checked, unsigned seed, long long& bad) {
        if (bad < 0)
            bad = firstMismatch(seed, checked, got.data(), got.size());
        checked += got.size();
        got.clear();
    };
    waitFor([&] {
        drain(accepted.get(), atAccepted);
        drain(dialled.get(), atDialled);
        check(atAccepted, checkedUp, 11, badUp);
        check(atDialled, checkedDown, 12, badDown);
        return checkedUp >= total && checkedDown >= total;
    }, 180000);
    up.join();
    down.join();
    EXPECT_TRUE(sentUp);
    EXPECT_TRUE(sentDown);
    EXPECT_EQ(checkedUp, total);
    EXPECT_EQ(checkedDown, total);
    EXPECT_EQ(badUp, -1) << "first wrong byte upwards";
    EXPECT_EQ(badDown, -1) << "first wrong byte downwards";
    EXPECT_EQ(waiting(dialled.get()), 0u);
    EXPECT_EQ(waiting(accepted.get()), 0u);
}

// With a tiny receive limit every receive() reads one small piece, and a
// read that empties the socket waits for the system's next notice. The
// fixture's thread never wakes by its own timer within the test's time, so
// one lost notice or wake stalls the stream for good.
TEST_F(NetTest, ReadingPausedAtTheLimitResumesWithEachReceive) {
    engineSettings tiny;
    tiny.receiveLimit = 4096;
    start(tiny);
    plainListener peer;
    ref<ITCPDescriptor> d;
    SOCKET s = INVALID_SOCKET;
    ASSERT_NO_FATAL_FAILURE(dialPlain(peer, d, s));
    const size_t total = 24u << 20;
    std::thread sender([&] { sendAll(s, pattern(31, 0, total), 60000); });
    std::vector<unsigned char> got;
    size_t checked = 0;
    long long bad = -1;
    ULONGLONG end = GetTickCount64() + 60000;
    while (checked < total && GetTickCount64() < end) {
        if (!drain(d.get(), got)) {
            SwitchToThread();
            continue;
        }
        if (bad < 0)
            bad = firstMismatch(31, checked, got.data(), got.size());
        checked += got.size();
        got.clear();
    }
    sender.join();
    EXPECT_EQ(checked, total);
    EXPECT_EQ(bad, -1);
    closePlain(s);
}

TEST_F(NetTest, OutQueueCountsBuffersUntilThePeerReadsThem) {
    start();
    plainListener peer;
    ref<ITCPDescriptor> d = newDescriptor();
    auto* base = interfaceCast<IPrivateBaseDescriptor>(d.get());
    ASSERT_NE(base, nullptr);
    IOutQueue* queue = base->outQueue();
    ASSERT_NE(queue, nullptr);
    EXPECT_EQ(interfaceCast<IOutQueue>(queue), queue);
    EXPECT_EQ(queue->size(), 0u);

    ASSERT_EQ(d->connect("127.0.0.1", peer.port()), 1);
    SOCKET s = peer.acceptOne();
    ASSERT_EQ(settledStatus(d.get()), status::connected);
    // The peer reads nothing yet: the system's buffers fill, the rest waits,
    // one buffer per send, within the link's backlog.
    const size_t piece = 16 * 1024;
    size_t sent = fillUntilStalled(d.get(), 9, piece);
    unsigned long stalled = queue->size();
    EXPECT_GT(stalled, 0u);
    EXPECT_LE(stalled, sent / piece);
    EXPECT_LE(stalled * (piece + queuedPieceOverhead), engineSettings().linkBacklog);

    std::vector<unsigned char> got = receiveBytes(s, sent, 60000);
    ASSERT_EQ(got.size(), sent);
    EXPECT_EQ(firstMismatch(9, 0, got.data(), got.size()), -1);
    EXPECT_TRUE(waitFor([&] { return queue->size() == 0; }));
    closePlain(s);
}

TEST_F(NetTest, TransferModeRefusesAboveItsBacklog) {
    start();
    plainListener peer;
    ref<ITCPDescriptor> d;
    SOCKET s = INVALID_SOCKET;
    ASSERT_NO_FATAL_FAILURE(dialPlain(peer, d, s));
    d->setSendMode(true);
    d->setTransferMode(true);

    const size_t piece = 8192;
    const size_t most = 256u << 20;  // a backlog that never fills fails the test
    size_t taken = 0;
    std::vector<unsigned char> block;
    for (;;) {
        block = pattern(21, taken, piece);
        if (d->send(block.data(), piece) != 1)
            break;
        taken += piece;
        ASSERT_LT(taken, most);
    }
    const unsigned long long backlog = engineSettings().transferBacklog;
    EXPECT_LE(waiting(d.get()) * piece, backlog + piece);
    EXPECT_EQ(d->status(), status::connected);

    // The refused block was not queued; without transfer mode it is taken.
    d->setTransferMode(false);
    ASSERT_EQ(d->send(block.data(), piece), 1);
    taken += piece;

    std::vector<unsigned char> got = receiveBytes(s, taken, 60000);
    ASSERT_EQ(got.size(), taken);
    EXPECT_EQ(firstMismatch(21, 0, got.data(), got.size()), -1);
    closePlain(s);
}

TEST_F(NetTest, SendBeyondTheBacklogIsRefusedWhole) {
    start();
    plainListener peer;
    ref<ITCPDescriptor> d;
    SOCKET s = INVALID_SOCKET;
    ASSERT_NO_FATAL_FAILURE(dialPlain(peer, d, s));
    const size_t fits = static_cast<size_t>(engineSettings().linkBacklog - queuedPieceOverhead);
    std::vector<unsigned char> bytes = pattern(23, 0, fits + 1);
    EXPECT_EQ(d->send(bytes.data(), static_cast<unsigned long>(fits + 1)), 0) << "one byte beyond the backlog";
    EXPECT_EQ(d->status(), status::connected);
    EXPECT_EQ(waiting(d.get()), 0u) << "nothing of the refused send was kept";
    ASSERT_EQ(d->send(bytes.data(), static_cast<unsigned long>(fits)), 1);

    std::vector<unsigned char> got = receiveBytes(s, fits, 60000);
    ASSERT_EQ(got.size(), fits);
    EXPECT_EQ(firstMismatch(23, 0, got.data(), got.size()), -1);
    closePlain(s);
}

// Many connections, one reply at a time, backwards through them: the
// fixture's thread never wakes by its own timer within the test, so a
// connection whose read is not pending waits for good.
TEST_F(NetTest, EveryOneOfManyConnectionsIsServed) {
    start();
    plainListener peer;
    const size_t count = 64;
    std::vector<ref<ITCPDescriptor>> dialled(count);
    std::vector<SOCKET> accepted(count, INVALID_SOCKET);
    struct closeAll {
        std::vector<SOCKET>& sockets;
        ~closeAll() {
            for (SOCKET s : sockets)
                closePlain(s);
        }
    } closer{accepted};
    for (size_t i = 0; i < count; ++i)
        ASSERT_NO_FATAL_FAILURE(dialPlain(peer, dialled[i], accepted[i])) << "connection " << i;

    for (size_t i = count; i-- > 0;) {
        unsigned char mark = static_cast<unsigned char>(i);
        ASSERT_TRUE(sendAll(accepted[i], {mark}));
        std::vector<unsigned char> got;
        ASSERT_TRUE(waitFor([&] { return drain(dialled[i].get(), got) > 0; }, 15000)) << "connection " << i;
        EXPECT_EQ(got, std::vector<unsigned char>{mark});
    }
}

// The peer speaks first, at once: its bytes may reach the socket before
// the module watches it for reads, and must be received all the same,
// without a later send to bring them out.
TEST_F(NetTest, BytesThePeerSendsTheMomentALinkOpensAreReceived) {
    start();
    const size_t count = 16;
    struct {
        const char* what;
        bool moduleDials;
    } const cases[] = {{"dialled by the module", true}, {"accepted by the module", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        plainListener plainPeer;
        ref<ITCPDescriptor> listener = newDescriptor();
        if (!c.moduleDials) {
            ASSERT_EQ(listener->listen(0), 1);
        }
        std::vector<ref<ITCPDescriptor>> links(count);
        std::vector<SOCKET> peers(count, INVALID_SOCKET);
        struct closeAll {
            std::vector<SOCKET>& sockets;
            ~closeAll() {
                for (SOCKET s : sockets)
                    closePlain(s);
            }
        } closer{peers};
        for (size_t i = 0; i < count; ++i) {
            if (c.moduleDials) {
                links[i] = newDescriptor();
                ASSERT_EQ(links[i]->connect("127.0.0.1", plainPeer.port()), 1);
                peers[i] = plainPeer.acceptOne();
            } else {
                peers[i] = plainConnect(listener->port());
            }
            ASSERT_NE(peers[i], INVALID_SOCKET) << "link " << i;
            ASSERT_TRUE(sendAll(peers[i], {static_cast<unsigned char>(i)}));
        }
        for (size_t i = 0; i < count && !c.moduleDials; ++i) {
            ASSERT_TRUE(waitFor([&] {
                links[i] = ref<ITCPDescriptor>::adopt(listener->accept());
                return links[i].get() != nullptr;
            })) << "link " << i;
        }
        // Accepted links come in the order the system took them: each
        // shows which peer it is by its port.
        for (size_t i = 0; i < count; ++i) {
            std::vector<unsigned char> got;
            ASSERT_TRUE(waitFor([&] { return drain(links[i].get(), got) > 0; }, 5000)) << "link " << i;
            size_t from = i;
            for (size_t p = 0; p < count && !c.moduleDials; ++p)
                if (localPort(peers[p]) == links[i]->port())
                    from = p;
            EXPECT_EQ(got, std::vector<unsigned char>{static_cast<unsigned char>(from)}) << "link " << i;
        }
    }
}

}  // namespace
}  // namespace vesk::net::test
