// Descriptors shared by several threads at once: senders, pollers, a
// receiver on another thread than the one that made the descriptor, and a
// thread that closes and dials again under the others. GoogleTest is built
// without thread support here, so workers count and the test thread checks.
#include "extern/net/tests/netFixture.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace vesk::net::test {
namespace {

// Runs the workers; false when they did not all end in time. Then giveUp
// must make them end (the test fails either way); workers that still hang
// end the program, since they use the test's objects.
bool runAll(std::vector<std::function<void()>> work, const std::function<void()>& giveUp,
            unsigned milliseconds = 60000) {
    std::atomic<unsigned> done{0};
    std::vector<std::thread> threads;
    for (auto& w : work)
        threads.emplace_back([&done, w] {
            w();
            ++done;
        });
    auto allDone = [&] { return done == threads.size(); };
    bool ended = waitFor(allDone, milliseconds);
    if (!ended) {
        giveUp();
        if (!waitFor(allDone, 30000)) {
            std::fprintf(stderr, "worker threads hang\n");
            std::_Exit(3);
        }
    }
    for (auto& t : threads)
        t.join();
    return ended;
}

// A message: sender, sequence number, payload length, payload.
constexpr size_t headerSize = 7;
std::vector<unsigned char> message(unsigned char sender, unsigned sequence) {
    unsigned short length = static_cast<unsigned short>(16 + (sequence * 37 + sender * 101) % 1900);
    std::vector<unsigned char> bytes = pattern(sender, sequence * 4096ull, length);
    unsigned char header[headerSize] = {sender};
    std::memcpy(header + 1, &sequence, 4);
    std::memcpy(header + 5, &length, 2);
    bytes.insert(bytes.begin(), header, header + headerSize);
    return bytes;
}

TEST_F(NetTest, ConcurrentSendersAndPollersLoseNothing) {
    start();
    ref<ITCPDescriptor> dialled, accepted;
    connectedPair(dialled, accepted);
    if (HasFatalFailure())
        return;
    const unsigned senders = 4, messages = 3000;
    std::atomic<bool> sending{true};
    std::atomic<unsigned> refused{0}, oddAnswers{0};

    std::vector<std::function<void()>> work;
    // A send the link's backlog refuses is tried again, as a sender that
    // loses nothing does; one refused by a link that went away is lost.
    for (unsigned char who = 0; who < senders; ++who)
        work.push_back([&, who] {
            for (unsigned n = 0; n < messages; ++n) {
                std::vector<unsigned char> m = message(who, n);
                while (dialled->send(m.data(), static_cast<unsigned long>(m.size())) != 1) {
                    if (dialled->status() != status::connected) {
                        ++refused;
                        return;
                    }
                    SwitchToThread();
                }
            }
        });
    for (int poller = 0; poller < 2; ++poller)
        work.push_back([&, poller] {
            // Send mode decides whether a send goes out at once or waits for
            // the network thread; switching it mixes both under the senders.
            bool burst = false;
            while (sending) {
                if (poller == 0)
                    dialled->setSendMode(burst = !burst);
                for (ITCPDescriptor* d : {dialled.get(), accepted.get()}) {
                    d->status();
                    d->isOpen();
                    d->port();
                    d->lastError();
                    if (std::strcmp(d->addressText(), "127.0.0.1") != 0)
                        ++oddAnswers;
                    waiting(d);
                }
                if (INetDataBuffer* got = dialled->receive()) {  // nothing comes this way
                    got->release();
                    ++oddAnswers;
                }
                Sleep(0);
            }
        });

    std::vector<unsigned> next(senders, 0);
    unsigned received = 0, wrong = 0;
    work.push_back([&] {
        std::vector<unsigned char> stream;
        size_t at = 0;
        ULONGLONG end = GetTickCount64() + 50000;
        while (received < senders * messages && GetTickCount64() < end) {
            if (!drain(accepted.get(), stream)) {
                Sleep(1);
                continue;
            }
            while (stream.size() - at >= headerSize) {
                unsigned char who = stream[at];
                unsigned sequence;
                unsigned short length;
                std::memcpy(&sequence, &stream[at + 1], 4);
                std::memcpy(&length, &stream[at + 5], 2);
                if (stream.size() - at < headerSize + length)
                    break;
                bool right = who < senders && sequence == next[who] &&
                             firstMismatch(who, sequence * 4096ull, &stream[at + headerSize], length) < 0;
                if (!right) {
                    ++wrong;
                    sending = false;
                    return;  // the stream cannot be followed past a bad message
                }
                ++next[who];
                ++received;
                at += headerSize + length;
            }
            stream.erase(stream.begin(), stream.begin() + static_cast<long>(at));
            at = 0;
        }
        sending = false;
    });
    ASSERT_TRUE(runAll(work, [&] {
        engine_->stop();
        sending = false;
    })) << "a thread got stuck";
    EXPECT_EQ(refused, 0u);
    EXPECT_EQ(oddAnswers, 0u);
    EXPECT_EQ(wrong, 0u);
    EXPECT_EQ(received, senders * messages);
}

TEST_F(NetTest, ClosingAndDiallingUnderOtherThreadsIsSafe) {
    start();
    plainListener peer;
    std::atomic<bool> running{true};
    ref<ITCPDescriptor> d = newDescriptor();
    std::vector<std::function<void()>> work;
    work.push_back([&] {  // the peer takes every connection and drops it
        while (running)
            closePlain(peer.acceptOne(50));
    });
    work.push_back([&] {
        for (int round = 0; round < 150; ++round) {
            d->connect("127.0.0.1", peer.port());
            Sleep(round % 3);
            round % 2 ? d->close() : (d->shutdownLink(), d->releaseLink());
        }
        running = false;
    });
    for (int user = 0; user < 3; ++user)
        work.push_back([&] {
            while (running) {
                d->send("ping", 4);
                if (INetDataBuffer* got = d->receive())
                    got->release();
                d->status();
                d->addressText();
                waiting(d.get());
                d->setSendMode(true);
                d->setSendMode(false);
            }
        });
    ASSERT_TRUE(runAll(work, [&] {
        engine_->stop();
        running = false;
    })) << "a thread got stuck";

    // Still a working descriptor afterwards.
    plainListener last;
    ASSERT_EQ(d->connect("127.0.0.1", last.port()), 1);
    EXPECT_EQ(d->send("after", 5), 1);
    SOCKET s = last.acceptOne();
    std::vector<unsigned char> got = receiveBytes(s, 5);
    EXPECT_EQ(std::string(got.begin(), got.end()), "after");
    closePlain(s);
}

}  // namespace
}  // namespace vesk::net::test
