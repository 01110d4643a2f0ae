#include "bench/netLinks.h"

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "bench/netLoopback.h"
#include "bench/stopwatch.h"
#include "core/capsule.h"
#include "extern/net/communications.h"
#include "extern/net/engine.h"
#include "testing/processMemory.h"
#include "vesk/net.h"

namespace vesk::bench {

using namespace vesk::net;
using vesk::testing::heapBytesInUse;
using vesk::testing::privateBytes;

namespace {

const char message[] = "GNUTELLA message, short";  // 23 bytes, a header's size
constexpr int messageLength = sizeof message - 1;
constexpr double idleSeconds = 4;

double cpuSeconds() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    auto toSeconds = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7;
    };
    return toSeconds(kernel) + toSeconds(user);
}

// Milliseconds of CPU the process used while the program slept for
// idleSeconds (counted in the system's clock ticks).
double idleCpu() {
    double cpu = cpuSeconds();
    Sleep(static_cast<DWORD>(idleSeconds * 1000));
    return (cpuSeconds() - cpu) * 1000;
}

double kib(long long bytes) { return bytes / 1024.0; }
double mib(long long bytes) { return bytes / 1048576.0; }
long long grownSince(size_t before) {
    return static_cast<long long>(privateBytes()) - static_cast<long long>(before);
}
long long heapGrownSince(size_t before) {
    return static_cast<long long>(heapBytesInUse()) - static_cast<long long>(before);
}

// Waits until the heap in use stops changing (at most 10 s): the network
// thread has done with what was sent.
void settleHeap() {
    size_t last = heapBytesInUse();
    for (int i = 0; i < 20; ++i) {
        Sleep(500);
        size_t now = heapBytesInUse();
        if (now == last)
            return;
        last = now;
    }
}

// A plain select over many sockets at once: a set laid out as fd_set but
// as long as needed, as Winsock takes it.
class wideSet {
public:
    explicit wideSet(const std::vector<SOCKET>& sockets) : words_(sockets.size() + 1) {
        static_assert(offsetof(fd_set, fd_array) == sizeof(SOCKET), "fd_set layout");
        *reinterpret_cast<u_int*>(words_.data()) = static_cast<u_int>(sockets.size());
        std::copy(sockets.begin(), sockets.end(), words_.begin() + 1);
    }
    fd_set* get() { return reinterpret_cast<fd_set*>(words_.data()); }

private:
    std::vector<SOCKET> words_;
};

// The plain way to serve many sockets from one thread, idle: select over
// all of them, waking as often as the module's thread does.
double plainSelectIdleCpu(const std::vector<SOCKET>& sockets) {
    std::atomic<bool> stop{false};
    std::thread server([&] {
        while (!stop) {
            wideSet readable(sockets);
            timeval wait{0, 250 * 1000};
            select(0, readable.get(), nullptr, nullptr, &wait);
        }
    });
    Sleep(500);  // its first pass is done
    double cpu = idleCpu();
    stop = true;
    server.join();
    return cpu;
}

struct latencies {
    double median = 0, p99 = 0, worst = 0;
    size_t arrived = 0, within5ms = 0;
};

latencies summary(const std::vector<double>& milliseconds) {
    latencies l;
    l.median = median(milliseconds);
    l.p99 = percentile(milliseconds, 0.99);
    l.worst = percentile(milliseconds, 1);
    l.arrived = milliseconds.size();
    for (double m : milliseconds)
        l.within5ms += m <= 5 ? 1 : 0;
    return l;
}

// Waits for the next buffer on d, releasing it; false after seconds.
bool awaitBytes(ITCPDescriptor* d, double limit) {
    double deadline = seconds() + limit;
    while (seconds() < deadline) {
        if (INetDataBuffer* got = d->receive()) {
            got->release();
            return true;
        }
        SwitchToThread();
    }
    return false;
}

// One link at a time: a message from the peer, timed until receive()
// hands it over (or the plain socket's blocking recv returns it).
latencies oneAtATime(const std::vector<SOCKET>& senders, const std::vector<ref<ITCPDescriptor>>* module,
                     const std::vector<SOCKET>* plainReceivers) {
    std::vector<double> taken;
    char sink[256];
    for (size_t i = 0; i < senders.size(); ++i) {
        double begin = seconds();
        if (send(senders[i], message, messageLength, 0) != messageLength)
            continue;
        bool arrived = module ? awaitBytes((*module)[i].get(), 5)
                              : recv((*plainReceivers)[i], sink, sizeof sink, 0) > 0;
        if (arrived)
            taken.push_back((seconds() - begin) * 1000);
    }
    return summary(taken);
}

// Every peer sends its message back to back from another thread; each
// message is timed from its send until it is taken.
latencies burst(const std::vector<SOCKET>& senders, const std::vector<ref<ITCPDescriptor>>* module,
                const std::vector<SOCKET>* plainReceivers) {
    size_t count = senders.size();
    std::vector<std::atomic<double>> sent(count);
    for (auto& s : sent)
        s = 0;
    std::thread sending([&] {
        for (size_t i = 0; i < count; ++i) {
            sent[i] = seconds();
            send(senders[i], message, messageLength, 0);
        }
    });
    std::vector<double> arrivedAt(count, 0);
    size_t left = count;
    double deadline = seconds() + 60;
    char sink[256];
    if (module) {
        while (left > 0 && seconds() < deadline) {
            for (size_t i = 0; i < count; ++i) {
                if (arrivedAt[i] > 0)
                    continue;
                if (INetDataBuffer* got = (*module)[i]->receive()) {
                    got->release();
                    arrivedAt[i] = seconds();
                    --left;
                }
            }
        }
    } else {
        for (size_t i = 0; i < count; ++i)
            if (recv((*plainReceivers)[i], sink, sizeof sink, 0) > 0)
                arrivedAt[i] = seconds();
    }
    sending.join();
    std::vector<double> taken;
    for (size_t i = 0; i < count; ++i)
        if (arrivedAt[i] > 0)
            taken.push_back((arrivedAt[i] - sent[i]) * 1000);
    return summary(taken);
}

void showLatency(const char* what, const latencies& module, const latencies& plain, size_t links) {
    std::printf("  %s\n", what);
    std::printf("    module: median %.2f ms, 99th %.2f ms, worst %.2f ms; %zu of %zu within 5 ms\n", module.median,
                module.p99, module.worst, module.within5ms, links);
    std::printf("    plain blocking sockets: median %.2f ms, 99th %.2f ms, worst %.2f ms; %zu of %zu within 5 ms\n",
                plain.median, plain.p99, plain.worst, plain.within5ms, links);
}

// A network thread and its service for one part of the benchmark.
struct moduleUnderTest {
    explicit moduleUnderTest(const engineSettings& settings = engineSettings())
        : threads(std::make_shared<engine>(settings)) {
        if (threads->start())
            service = new capsule_core<communications>(threads);
    }
    ~moduleUnderTest() {
        if (service)
            interfaceCast<IcoreObject>(service)->releaseCore();
        threads->stop();
    }
    std::shared_ptr<engine> threads;
    ICommunications* service = nullptr;
};

// Module descriptors dialled to plain peers accepted by listener.
bool dialLinks(ICommunications* service, SOCKET listener, const sockaddr_in& address, size_t links,
               std::vector<ref<ITCPDescriptor>>& dialled, std::vector<SOCKET>& peers) {
    for (size_t i = 0; i < links; ++i) {
        ref<ITCPDescriptor> d = newDescriptor(service);
        if (!d || d->connect("127.0.0.1", ntohs(address.sin_port)) != 1)
            return false;
        SOCKET peer = accept(listener, nullptr, nullptr);
        if (peer == INVALID_SOCKET || !settle(d.get(), status::connected))
            return false;
        dialled.push_back(d);
        peers.push_back(peer);
    }
    return true;
}

// Plain pairs made through one listener.
bool plainPairs(size_t links, std::vector<SOCKET>& out, std::vector<SOCKET>& in) {
    sockaddr_in address{};
    SOCKET listener = loopbackListener(address);
    if (listener == INVALID_SOCKET)
        return false;
    bool made = true;
    for (size_t i = 0; i < links && made; ++i) {
        SOCKET a, b;
        made = plainPair(listener, address, a, b);
        out.push_back(a);
        in.push_back(b);
    }
    closesocket(listener);
    return made;
}

// Sends to every module link until it refuses, twice over, while the
// peers read nothing.
void stallModuleLinks(std::vector<ref<ITCPDescriptor>>& dialled) {
    std::vector<char> piece(16 * 1024, 's');
    for (int round = 0; round < 2; ++round)
        for (auto& d : dialled)
            while (d->send(piece.data(), static_cast<unsigned long>(piece.size())) == 1) {
            }
}

// The same with plain non-blocking sockets: until the system refuses.
void stallPlainLinks(std::vector<SOCKET>& senders) {
    std::vector<char> piece(16 * 1024, 's');
    for (SOCKET s : senders) {
        u_long on = 1;
        ioctlsocket(s, FIONBIO, &on);
        while (send(s, piece.data(), static_cast<int>(piece.size()), 0) > 0) {
        }
    }
}

void timesAndIdle(size_t links) {
    // Plain reference: pairs of blocking sockets.
    std::vector<SOCKET> plainOut, plainIn;
    size_t before = heapBytesInUse();
    if (!plainPairs(links, plainOut, plainIn)) {
        std::printf("  plain pairs could not be made\n");
        closeAll(plainOut);
        closeAll(plainIn);
        return;
    }
    long long plainHeld = heapGrownSince(before);
    double plainIdle = plainSelectIdleCpu(plainIn);
    latencies plainOne = oneAtATime(plainOut, nullptr, &plainIn);
    latencies plainBurst = burst(plainOut, nullptr, &plainIn);
    closeAll(plainOut);
    closeAll(plainIn);

    moduleUnderTest module;
    sockaddr_in address{};
    SOCKET listener = loopbackListener(address);
    std::vector<ref<ITCPDescriptor>> dialled;
    std::vector<SOCKET> peers;
    before = heapBytesInUse();
    if (!module.service || listener == INVALID_SOCKET ||
        !dialLinks(module.service, listener, address, links, dialled, peers)) {
        std::printf("  module links could not be made\n");
        closesocket(listener);
        closeAll(peers);
        return;
    }
    closesocket(listener);
    settleHeap();
    long long moduleHeld = heapGrownSince(before);
    double moduleIdle = idleCpu();
    latencies moduleOne = oneAtATime(peers, &dialled, nullptr);
    latencies moduleBurst = burst(peers, &dialled, nullptr);

    // Every link holding one message nobody took yet, then idle again.
    settleHeap();
    size_t idleBytes = heapBytesInUse();
    for (SOCKET p : peers)
        send(p, message, messageLength, 0);
    settleHeap();
    long long holding = heapGrownSince(idleBytes);
    size_t taken = 0;
    for (auto& d : dialled)
        taken += awaitBytes(d.get(), 5) ? 1 : 0;
    settleHeap();
    long long afterTaking = heapGrownSince(idleBytes);

    std::printf("  time to arrival at receive(), %zu links open\n", links);
    showLatency("one link at a time, a 23-byte message", moduleOne, plainOne, links);
    showLatency("every link at once, sent back to back", moduleBurst, plainBurst, links);
    std::printf("  CPU while idle, %.0f s: module %.1f ms   plain select thread over the same sockets %.1f ms\n",
                idleSeconds, moduleIdle, plainIdle);
    std::printf("  heap held per idle link: module %.2f KiB (its descriptor and its channel)   "
                "plain pair %.2f KiB\n",
                kib(moduleHeld) / links, kib(plainHeld) / links);
    std::printf("  heap held per link for a 23-byte message not yet taken: %.0f bytes (%zu of %zu taken later); "
                "after taking it: %.0f bytes   plain sockets: held by the system\n",
                static_cast<double>(holding) / links, taken, links, static_cast<double>(afterTaking) / links);
    dialled.clear();
    closeAll(peers);
}

// The system's buffers are kept small on both ends: they are not the
// process's memory, and at their default size 1,000 stalled links fill
// gigabytes of the machine's.
void stalled(size_t links) {
    const int systemBuffer = 8 * 1024;
    engineSettings settings;
    settings.socketSendBuffer = systemBuffer;

    size_t before = privateBytes();
    size_t heapBefore = heapBytesInUse();
    long long moduleHeld = -1, moduleHeap = -1;
    {
        moduleUnderTest module(settings);
        sockaddr_in address{};
        SOCKET listener = loopbackListener(address, SOMAXCONN, systemBuffer);
        std::vector<ref<ITCPDescriptor>> dialled;
        std::vector<SOCKET> peers;
        if (module.service && listener != INVALID_SOCKET &&
            dialLinks(module.service, listener, address, links, dialled, peers)) {
            stallModuleLinks(dialled);
            moduleHeld = grownSince(before);
            moduleHeap = heapGrownSince(heapBefore);
        }
        closesocket(listener);
        dialled.clear();
        closeAll(peers);
    }

    before = privateBytes();
    long long plainHeld = -1;
    {
        sockaddr_in address{};
        SOCKET listener = loopbackListener(address, SOMAXCONN, systemBuffer);
        std::vector<SOCKET> out, in;
        bool made = listener != INVALID_SOCKET;
        for (size_t i = 0; i < links && made; ++i) {
            SOCKET a, b;
            made = plainPair(listener, address, a, b);
            if (a != INVALID_SOCKET)
                setsockopt(a, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&systemBuffer),
                           sizeof systemBuffer);
            out.push_back(a);
            in.push_back(b);
        }
        if (made) {
            stallPlainLinks(out);
            plainHeld = grownSince(before);
        }
        closesocket(listener);
        closeAll(out);
        closeAll(in);
    }
    std::printf("  private bytes grown by %zu stalled links (peers read nothing, sends refused): "
                "module %.1f MiB in all (heap in use %.1f MiB; bound 256 MiB)   "
                "plain non-blocking sockets filled alike %.1f MiB\n",
                links, mib(moduleHeld), mib(moduleHeap), mib(plainHeld));
}

}  // namespace

void manyLinks(size_t links) {
    std::printf("Many connections: %zu module descriptors dialled to plain peers on 127.0.0.1\n", links);
    timesAndIdle(links);
    stalled(links);
}

}  // namespace vesk::bench
