// The network module against plain Winsock sockets on 127.0.0.1, in the
// same run: bulk transfer of one connection both ways, then many
// connections (time to arrival, CPU while idle, memory held). Prints each
// figure beside plain sockets; asserts nothing. Loopback only.
//   netBench [MiB per transfer] [rounds] [links] [cases]
// (default 128 5 1000 1234): links 0 leaves out the many connections;
// cases are the digits of the bulk cases to run.
// Each bulk case runs rounds times, each module run right after a plain
// run, and shows medians: the machine's load changes less between the two.
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <thread>
#include <vector>

#include "bench/netLinks.h"
#include "bench/netLoopback.h"
#include "bench/stopwatch.h"
#include "core/capsule.h"
#include "extern/net/communications.h"
#include "extern/net/engine.h"
#include "vesk/net.h"

using namespace vesk;
using namespace vesk::net;
using namespace vesk::bench;

namespace {

double mibPerSecond(size_t bytes, double elapsed) { return elapsed > 0 ? bytes / 1048576.0 / elapsed : 0; }

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

// One end of a transfer: a plain socket or a module descriptor.
struct end {
    SOCKET plain = INVALID_SOCKET;
    ref<ITCPDescriptor> module;
};

// A connection whose sending and receiving ends are each plain or the
// module's; both over 127.0.0.1. With one end plain, the module dials.
bool connectEnds(ICommunications* service, end& sender, end& receiver, bool moduleSends, bool moduleReceives,
                 bool receiverDials) {
    if (!moduleSends && !moduleReceives) {
        end& dialler = receiverDials ? receiver : sender;
        end& accepter = receiverDials ? sender : receiver;
        return plainPair(dialler.plain, accepter.plain);
    }
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
    SOCKET listener = loopbackListener(address, 1);
    if (listener == INVALID_SOCKET)
        return false;
    end& dialler = moduleSends ? sender : receiver;
    end& plainEnd = moduleSends ? receiver : sender;
    dialler.module = newDescriptor(service);
    if (dialler.module->connect("127.0.0.1", ntohs(address.sin_port)) != 1) {
        closesocket(listener);
        return false;
    }
    plainEnd.plain = accept(listener, nullptr, nullptr);
    closesocket(listener);
    return plainEnd.plain != INVALID_SOCKET && settle(dialler.module.get(), status::connected);
}

struct transfer {
    const char* what;
    size_t piece;  // the sender's writes
    bool moduleSends, moduleReceives, transferMode;
    // The receiving end dialled: on loopback under Wine the roles alone
    // change the rate, so each case's plain reference takes the same ones.
    bool receiverDials;
};

// Seconds for total bytes from sender to receiver; -1 when it failed.
double transferSeconds(ICommunications* service, size_t total, const transfer& t) {
    end sender, receiver;
    if (!connectEnds(service, sender, receiver, t.moduleSends, t.moduleReceives, t.receiverDials))
        return -1;
    if (sender.module) {
        sender.module->setSendMode(true);
        sender.module->setTransferMode(t.transferMode);
    }
    double begin = seconds();
    std::thread sending([&] {
        sender.module ? moduleSend(sender.module.get(), total, t.piece) : plainSend(sender.plain, total, t.piece);
    });
    size_t got = receiver.module ? moduleReceive(receiver.module.get(), total) : plainReceive(receiver.plain, total);
    double elapsed = seconds() - begin;
    sending.join();
    for (end* e : {&sender, &receiver})
        if (e->plain != INVALID_SOCKET)
            closesocket(e->plain);
    return got == total ? elapsed : -1;
}

// The plain reference of a case: blocking sockets, 64 KiB writes, 256 KiB
// reads, the same end dialling.
transfer plainReference(const transfer& t) {
    return {"plain", 64 * 1024, false, false, false, t.receiverDials};
}

void bulk(ICommunications* service, size_t mib, int rounds, const char* chosen, std::vector<double>& ratios) {
    const transfer cases[] = {
        {"module sends, plain receives (64 KiB sends)  ", 64 * 1024, true, false, false, false},
        {"module sends in transfer mode (8 KiB, uploads)", 8192, true, false, true, false},
        {"plain sends, module receives (downloads)     ", 64 * 1024, false, true, false, true},
        {"module on both ends (one network thread)     ", 64 * 1024, true, true, false, false},
    };
    size_t total = mib << 20;
    std::printf("Bulk transfer, one loopback connection, %zu MiB, medians of %d rounds\n", mib, rounds);
    std::printf("  %-46s %12s %12s %7s\n", "", "plain MiB/s", "module MiB/s", "ratio");
    for (size_t number = 1; number <= std::size(cases); ++number) {
        const transfer& t = cases[number - 1];
        if (!std::strchr(chosen, static_cast<char>('0' + number)))
            continue;
        std::vector<double> plainRates, moduleRates, paired;
        for (int r = 0; r < rounds; ++r) {
            double plain = transferSeconds(service, total, plainReference(t));
            double module = transferSeconds(service, total, t);
            if (plain <= 0 || module <= 0)
                continue;
            plainRates.push_back(mibPerSecond(total, plain));
            moduleRates.push_back(mibPerSecond(total, module));
            paired.push_back(plain / module);
        }
        if (paired.empty()) {
            std::printf("  %-46s did not complete\n", t.what);
            continue;
        }
        std::printf("  %-46s %12.1f %12.1f %7.2f   (rounds %.2f to %.2f)\n", t.what, median(plainRates),
                    median(moduleRates), median(paired), percentile(paired, 0), percentile(paired, 1));
        ratios.push_back(median(paired));
    }
}

}  // namespace

int main(int argc, char** argv) {
    size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 0;
    int rounds = argc > 2 ? std::atoi(argv[2]) : 0;
    size_t links = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 1000;
    const char* chosen = argc > 4 ? argv[4] : "1234";
    if (mib == 0)
        mib = 128;
    if (rounds <= 0)
        rounds = 5;
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return 1;

    auto e = std::make_shared<engine>();
    if (!e->start()) {
        std::printf("network thread did not start\n");
        return 1;
    }
    auto* service = new capsule_core<communications>(e);
    std::vector<double> ratios;
    bulk(service, mib, rounds, chosen, ratios);
    service->releaseCore();
    e->stop();

    if (links > 0) {
        std::printf("\n");
        manyLinks(links);
    }

    std::printf("\nBulk ratios (module / plain):");
    for (double r : ratios)
        std::printf(" %.2f", r);
    std::printf("\n");
    WSACleanup();
    return 0;
}
