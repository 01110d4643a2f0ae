// What links hold: the references receive() and accept() hand over,
// received buffers the size of what arrived, a receive loop whose memory
// stays flat over 100,000 buffers, a flooding peer held back at the receive
// limit, and 1,000 stalled links within their send backlogs.
#include "extern/net/tests/netFixture.h"

#include <malloc.h>

#include <atomic>
#include <thread>

#include "extern/net/channel.h"
#include "testing/processMemory.h"

namespace vesk::net::test {
namespace {

using vesk::testing::privateBytes;

// What the C runtime allocated behind a buffer's bytes; the fixture's
// network code shares the test's runtime.
size_t heldFor(INetDataBuffer* b) { return _msize(b->data()); }

// Room a buffer may hold beyond its bytes and their zero.
size_t slackFor(size_t length) { return length / 8 + 64; }

TEST_F(NetTest, ReceiveAndAcceptHandOverTheCallersReference) {
    start();
    ref<ITCPDescriptor> listener = newDescriptor();
    ASSERT_EQ(listener->listen(0), 1);
    SOCKET s = plainConnect(listener->port());
    ASSERT_NE(s, INVALID_SOCKET);
    ASSERT_TRUE(waitFor([&] { return listener->status() == status::peerWaiting; }));
    ITCPDescriptor* accepted = listener->accept();
    ASSERT_NE(accepted, nullptr);

    ASSERT_TRUE(sendAll(s, {'h', 'i'}));
    INetDataBuffer* got = nullptr;
    ASSERT_TRUE(waitFor([&] { return (got = accepted->receive()) != nullptr; }));
    EXPECT_EQ(got->release(), 0) << "the caller's release ends the buffer";
    EXPECT_EQ(accepted->release(), 0) << "the caller's release ends the descriptor";

    bool closed = false;
    receiveUntilClosed(s, closed);
    EXPECT_TRUE(closed) << "the descriptor's end closes its connection";
    closePlain(s);
}

TEST_F(NetTest, ReceivedBuffersHoldWhatArrivedAndLittleMore) {
    start();
    plainListener peer;
    ref<ITCPDescriptor> d;
    SOCKET s = INVALID_SOCKET;
    ASSERT_NO_FATAL_FAILURE(dialPlain(peer, d, s));
    // A message as short as a Gnutella header, and a stream that arrives in
    // many reads, some of them gathered into one buffer.
    for (size_t length : {size_t(23), size_t(3u << 20)}) {
        std::thread sender([&] { sendAll(s, pattern(13, 0, length)); });
        size_t received = 0;
        waitFor([&] {
            ref<INetDataBuffer> got = ref<INetDataBuffer>::adopt(d->receive());
            if (got) {
                received += got->length();
                EXPECT_LE(heldFor(got.get()), got->length() + 1 + slackFor(got->length()))
                    << "a buffer of " << got->length() << " bytes";
            }
            return received >= length;
        });
        sender.join();
        EXPECT_EQ(received, length);
    }
    closePlain(s);
}

// A tiny receive limit makes every buffer a read of a few bytes, so that
// 100,000 of them come from little traffic.
TEST_F(NetTest, ReceiveLoopHoldsNoMoreMemoryAfter100000Buffers) {
    engineSettings tiny;
    tiny.receiveLimit = 16;
    start(tiny);
    plainListener peer;
    ref<ITCPDescriptor> d;
    SOCKET s = INVALID_SOCKET;
    ASSERT_NO_FATAL_FAILURE(dialPlain(peer, d, s));
    const size_t buffers = 100000, warmUp = 10000;
    const size_t total = buffers * tiny.receiveLimit;
    std::thread sender([&] { sendAll(s, pattern(19, 0, total), 600000); });

    size_t count = 0, checked = 0, afterWarmUp = 0;
    long long bad = -1;
    ULONGLONG end = GetTickCount64() + 500000;
    while (count < buffers && checked < total && GetTickCount64() < end) {
        INetDataBuffer* got = d->receive();
        if (!got) {
            SwitchToThread();
            continue;
        }
        if (bad < 0)
            bad = firstMismatch(19, checked, got->data(), got->length());
        checked += got->length();
        got->release();
        if (++count == warmUp)
            afterWarmUp = privateBytes();
    }
    size_t atEnd = privateBytes();
    closePlain(s);  // ends the sender should bytes be left
    sender.join();
    ASSERT_EQ(count, buffers);
    EXPECT_EQ(bad, -1);
    ASSERT_GT(afterWarmUp, 0u);
    EXPECT_LT(atEnd, afterWarmUp + (1u << 20)) << "private bytes grew from " << afterWarmUp << " to " << atEnd;
}

TEST_F(NetTest, FloodingPeerIsHeldBackAtTheReceiveLimit) {
    start();
    plainListener peer;
    ref<ITCPDescriptor> d;
    SOCKET s = INVALID_SOCKET;
    ASSERT_NO_FATAL_FAILURE(dialPlain(peer, d, s));
    const size_t total = 64u << 20;  // far more than the system buffers
    const std::vector<unsigned char> flood = pattern(17, 0, total);
    size_t before = privateBytes();
    std::atomic<size_t> pushed{0};
    std::atomic<bool> done{false};
    std::thread flooder([&] {
        for (size_t at = 0; at < total; at += 64 * 1024) {
            std::vector<unsigned char> piece(flood.begin() + static_cast<long>(at),
                                             flood.begin() + static_cast<long>(std::min(total, at + 64 * 1024)));
            if (!sendAll(s, piece, 120000))
                break;
            pushed += piece.size();
        }
        done = true;
    });

    // Nobody reads: the flood stops moving once the module holds its limit
    // and the system's buffers are full.
    size_t last = ~size_t(0);
    bool heldBack = waitFor([&] {
        size_t now = pushed;
        bool still = now == last;
        last = now;
        Sleep(300);
        return still && pushed == now;
    }, 60000);
    size_t during = privateBytes();
    EXPECT_TRUE(heldBack);
    EXPECT_LT(pushed, total);
    EXPECT_LT(during, before + engineSettings().receiveLimit + (4u << 20))
        << "private bytes grew from " << before << " to " << during;
    ref<INetDataBuffer> first = ref<INetDataBuffer>::adopt(d->receive());
    ASSERT_TRUE(first);
    EXPECT_LE(first->length(), engineSettings().receiveLimit);
    EXPECT_LE(heldFor(first.get()), first->length() + 1 + slackFor(first->length()));

    // Read at last, every byte arrives in order.
    std::vector<unsigned char> got(first->data(), first->data() + first->length());
    size_t checked = 0;
    long long bad = firstMismatch(17, 0, got.data(), got.size());
    checked = got.size();
    got.clear();
    waitFor([&] {
        drain(d.get(), got);
        if (bad < 0)
            bad = firstMismatch(17, checked, got.data(), got.size());
        checked += got.size();
        got.clear();
        return checked >= total;
    }, 120000);
    flooder.join();
    EXPECT_TRUE(done);
    EXPECT_EQ(checked, total);
    EXPECT_EQ(bad, -1);
    closePlain(s);
}

// The system's own buffers are kept small on both ends: they are not the
// module's memory, and at their default size 1,000 stalled links would
// fill gigabytes of the machine's before the module's backlogs fill.
TEST_F(NetTest, ThousandStalledLinksStayWithinTheirBacklogs) {
    engineSettings smallSystemBuffers;
    smallSystemBuffers.socketSendBuffer = 8 * 1024;
    start(smallSystemBuffers);
    size_t before = privateBytes();
    plainListener peer(SOMAXCONN, 8 * 1024);
    const size_t links = 1000;
    std::vector<ref<ITCPDescriptor>> dialled(links);
    std::vector<SOCKET> accepted(links, INVALID_SOCKET);
    struct closeAll {
        std::vector<SOCKET>& sockets;
        ~closeAll() {
            for (SOCKET s : sockets)
                closePlain(s);
        }
    } closer{accepted};
    for (size_t i = 0; i < links; ++i)
        ASSERT_NO_FATAL_FAILURE(dialPlain(peer, dialled[i], accepted[i])) << "link " << i;

    // Every link is sent to until it refuses; the peers read nothing. Far
    // beyond the backlog a link that still takes bytes fails the test.
    const size_t piece = 16 * 1024, most = 1u << 20;
    std::vector<size_t> taken(links, 0);
    std::vector<unsigned char> block;
    for (int round = 0; round < 2; ++round)
        for (size_t i = 0; i < links; ++i)
            for (;;) {
                if (taken[i] >= most)
                    break;
                block = pattern(static_cast<unsigned>(i), taken[i], piece);
                if (dialled[i]->send(block.data(), piece) != 1)
                    break;
                taken[i] += piece;
            }
    size_t held = privateBytes();
    const unsigned long long backlog = engineSettings().linkBacklog;
    for (size_t i = 0; i < links; ++i) {
        EXPECT_LT(taken[i], most) << "link " << i << " never refused";
        EXPECT_LE(waiting(dialled[i].get()) * (piece + queuedPieceOverhead), backlog) << "link " << i;
        EXPECT_EQ(dialled[i]->status(), status::connected) << "a refused send leaves the link as it was";
    }
    EXPECT_LT(held, before + (256u << 20)) << "private bytes grew from " << before << " to " << held;

    // Once read, a link delivers everything it took.
    for (size_t i : {size_t(0), links / 2, links - 1}) {
        std::vector<unsigned char> got = receiveBytes(accepted[i], taken[i], 60000);
        ASSERT_EQ(got.size(), taken[i]) << "link " << i;
        EXPECT_EQ(firstMismatch(static_cast<unsigned>(i), 0, got.data(), got.size()), -1) << "link " << i;
    }
}

}  // namespace
}  // namespace vesk::net::test
