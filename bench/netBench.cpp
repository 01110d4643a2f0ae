// Loopback throughput of one TCP connection through the network module,
// against the same transfer over plain blocking sockets in the same run.
// Prints the figures and their ratio; asserts nothing. Loopback only.
//   netBench [MiB]     (default 256)
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "bench/stopwatch.h"
#include "core/capsule.h"
#include "extern/net/communications.h"
#include "extern/net/engine.h"
#include "vesk/net.h"

using namespace vesk;
using namespace vesk::net;

namespace {

using bench::seconds;

double mibPerSecond(size_t bytes, double elapsed) { return elapsed > 0 ? bytes / 1048576.0 / elapsed : 0; }

// A plain listener on a free port of 127.0.0.1, its address in address;
// INVALID_SOCKET when it could not be made.
SOCKET loopbackListener(sockaddr_in& address) {
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener == INVALID_SOCKET)
        return INVALID_SOCKET;
    address = sockaddr_in{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener, 1) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closesocket(listener);
        return INVALID_SOCKET;
    }
    return listener;
}

// A connected pair of plain blocking sockets on 127.0.0.1.
bool plainPair(SOCKET& out, SOCKET& in) {
    sockaddr_in address{};
    SOCKET listener = loopbackListener(address);
    if (listener == INVALID_SOCKET)
        return false;
    out = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (connect(out, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        closesocket(listener);
        return false;
    }
    in = accept(listener, nullptr, nullptr);
    closesocket(listener);
    return in != INVALID_SOCKET;
}

bool plainSend(SOCKET s, size_t total, size_t piece) {
    std::vector<char> block(piece, 'x');
    for (size_t sent = 0; sent < total;) {
        int n = send(s, block.data(), static_cast<int>(std::min(piece, total - sent)), 0);
        if (n <= 0)
            return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

size_t plainReceive(SOCKET s, size_t total) {
    std::vector<char> sink(256 * 1024);
    size_t got = 0;
    while (got < total) {
        int n = recv(s, sink.data(), static_cast<int>(sink.size()), 0);
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    return got;
}

// Sends through the module, retrying while it refuses.
bool moduleSend(ITCPDescriptor* d, size_t total, size_t piece) {
    std::vector<char> block(piece, 'x');
    for (size_t sent = 0; sent < total;) {
        size_t n = std::min(piece, total - sent);
        if (d->send(block.data(), static_cast<unsigned long>(n)) == 1)
            sent += n;
        else if (d->status() != status::connected)
            return false;
        else
            SwitchToThread();
    }
    return true;
}

// Polls receive() as the client's threads do, without their sleeps.
size_t moduleReceive(ITCPDescriptor* d, size_t total) {
    size_t got = 0;
    double deadline = seconds() + 600;
    while (got < total && seconds() < deadline) {
        INetDataBuffer* bytes = d->receive();
        if (!bytes) {
            SwitchToThread();
            continue;
        }
        got += bytes->length();
        bytes->release();  // the reference receive() handed over
    }
    return got;
}

ref<ITCPDescriptor> newDescriptor(ICommunications* service) {
    return ref<ITCPDescriptor>(interfaceCast<ITCPDescriptor>(service->createDescriptor("vesk::net::tcp", nullptr)));
}

bool settle(ITCPDescriptor* d, int wanted) {
    double deadline = seconds() + 10;
    while (d->status() != wanted && seconds() < deadline)
        Sleep(1);
    return d->status() == wanted;
}

// One end of a transfer: a plain socket or a module descriptor.
struct end {
    SOCKET plain = INVALID_SOCKET;
    ref<ITCPDescriptor> module;
};

// A connection whose sending and receiving ends are each plain or the
// module's; both over 127.0.0.1.
bool connectEnds(ICommunications* service, end& sender, end& receiver, bool moduleSends, bool moduleReceives) {
    if (!moduleSends && !moduleReceives)
        return plainPair(sender.plain, receiver.plain);
    if (moduleSends && moduleReceives) {
        ref<ITCPDescriptor> listener = newDescriptor(service);
        sender.module = newDescriptor(service);
        if (listener->listen(0) != 1 || sender.module->connect("127.0.0.1", listener->port()) != 1 ||
            !settle(listener.get(), status::peerWaiting))
            return false;
        receiver.module = ref<ITCPDescriptor>::adopt(listener->accept());
        return receiver.module && settle(sender.module.get(), status::connected);
    }
    // One end plain: it listens, the module dials.
    sockaddr_in address{};
    SOCKET listener = loopbackListener(address);
    if (listener == INVALID_SOCKET)
        return false;
    end& dialler = moduleSends ? sender : receiver;
    end& plainEnd = moduleSends ? receiver : sender;
    dialler.module = newDescriptor(service);
    if (dialler.module->connect("127.0.0.1", ntohs(address.sin_port)) != 1)
        return false;
    plainEnd.plain = accept(listener, nullptr, nullptr);
    closesocket(listener);
    return plainEnd.plain != INVALID_SOCKET && settle(dialler.module.get(), status::connected);
}

// Seconds for total bytes from sender to receiver; -1 when it failed.
double transferSeconds(ICommunications* service, size_t total, size_t piece, bool moduleSends, bool moduleReceives,
                       bool transferMode) {
    end sender, receiver;
    if (!connectEnds(service, sender, receiver, moduleSends, moduleReceives))
        return -1;
    if (sender.module) {
        sender.module->setSendMode(true);
        sender.module->setTransferMode(transferMode);
    }
    double begin = seconds();
    std::thread sending([&] {
        sender.module ? moduleSend(sender.module.get(), total, piece) : plainSend(sender.plain, total, piece);
    });
    size_t got = receiver.module ? moduleReceive(receiver.module.get(), total) : plainReceive(receiver.plain, total);
    double elapsed = seconds() - begin;
    sending.join();
    for (end* e : {&sender, &receiver})
        if (e->plain != INVALID_SOCKET)
            closesocket(e->plain);
    return got == total ? elapsed : -1;
}

}  // namespace

int main(int argc, char** argv) {
    size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 256;
    if (mib == 0)
        mib = 256;
    size_t total = mib << 20;
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);

    auto e = std::make_shared<engine>();
    if (!e->start()) {
        std::printf("network thread did not start\n");
        return 1;
    }
    auto* service = new capsule_core<communications>(e);

    struct run {
        const char* what;
        size_t piece;
        bool moduleSends, moduleReceives, transferMode;
    } runs[] = {
        {"module sends, plain receives (64 KiB sends)    ", 64 * 1024, true, false, false},
        {"module sends in transfer mode (8 KiB, uploads) ", 8192, true, false, true},
        {"plain sends, module receives (downloads)       ", 64 * 1024, false, true, false},
        {"module on both ends (one network thread)       ", 64 * 1024, true, true, false},
    };
    double plain = transferSeconds(service, total, 64 * 1024, false, false, false);
    double plainRate = mibPerSecond(total, plain);
    std::printf("loopback, one connection, %zu MiB\n", mib);
    std::printf("  plain blocking sockets on both ends (64 KiB)   %8.1f MiB/s\n", plain < 0 ? 0.0 : plainRate);
    for (const run& r : runs) {
        double elapsed = transferSeconds(service, total, r.piece, r.moduleSends, r.moduleReceives, r.transferMode);
        if (elapsed < 0) {
            std::printf("  %s  did not complete\n", r.what);
            continue;
        }
        double rate = mibPerSecond(total, elapsed);
        std::printf("  %s %8.1f MiB/s  ratio %.2f\n", r.what, rate, plainRate > 0 ? rate / plainRate : 0.0);
    }

    service->releaseCore();
    e->stop();
    WSACleanup();
    return 0;
}
