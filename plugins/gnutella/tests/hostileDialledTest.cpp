// Hostile peers the client dials, and a hostile web cache, against the
// client in runtime.exe (every real module, the network module, the
// recording fake user interface). The client learns the peer from its saved
// hosts and the web cache from its "gcache" file; both are the test's own
// sockets. The peer refuses the client's connects with floods of 503
// answers and X-Try lists, then as current servents refuse a connect
// without X-Ultrapeer (403), then says nothing at all; the web cache answers
// with 64 KiB of hosts and of cache URLs, some naming the machine itself.
// The client must keep its host cache within its bound all along (the host
// window hears once per batch), take no refusal for a link, end a silent
// dial, never ask a cache at the machine's own addresses, and still link to
// the peer once it accepts.
//
// Offered hosts are dialled for real: the test runs only inside a network
// namespace of its own with the address VESK_TEST_ADDRESS on its loopback
// device and no route anywhere (testHosts/hostileDialledTest.sh makes it);
// the hosts it offers are other addresses of 198.18.0.0/15, which fail at
// once there. Without VESK_TEST_ADDRESS the test is skipped.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "extern/net/tests/loopback.h"
#include "runtime/tests/hostRun.h"
#include "testing/testPaths.h"

namespace vesk::gnutella::test {
namespace {

using net::test::closePlain;
using net::test::sendAll;
using net::test::waitFor;
using vesk::test::hostRun;
using bytes = std::vector<unsigned char>;

constexpr std::size_t hostCacheBound = 50;  // Gnutella_MaxHostCatcher
constexpr unsigned storedHosts = 300;       // the saved host cache read back at start

// Hosts of the test range that cannot be reached in the namespace.
std::string farHost(unsigned i) {
    return "198.18." + std::to_string(9 + i / 250 % 40) + "." + std::to_string(i % 250 + 1);
}

std::string testAddress() {
    const char* address = std::getenv("VESK_TEST_ADDRESS");
    return address ? address : "";
}

// A listening socket on the test's address (or any address) with a free
// port; accepted connections are handed to serve on a thread of its own,
// one after the other, with their number from 0.
class server {
public:
    server(const std::string& address, std::function<void(SOCKET, unsigned)> serve) : serve_(std::move(serve)) {
        sock_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        inet_pton(AF_INET, address.c_str(), &at.sin_addr);
        int length = sizeof at;
        if (sock_ == INVALID_SOCKET || bind(sock_, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 ||
            listen(sock_, SOMAXCONN) != 0 || getsockname(sock_, reinterpret_cast<sockaddr*>(&at), &length) != 0)
            return;
        port_ = ntohs(at.sin_port);
        thread_ = std::thread([this] {
            for (unsigned n = 0;; ++n) {
                SOCKET s = accept(sock_, nullptr, nullptr);
                if (s == INVALID_SOCKET)
                    return;
                serve_(s, n);
                closePlain(s);
            }
        });
    }
    ~server() {
        closesocket(sock_);  // ends the accept
        if (thread_.joinable())
            thread_.join();
    }
    unsigned short port() const { return port_; }

private:
    SOCKET sock_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::function<void(SOCKET, unsigned)> serve_;
    std::thread thread_;
};

// What arrives up to the first blank line (at most 4 KiB).
std::string readHead(SOCKET s) {
    std::string head;
    while (head.find("\r\n\r\n") == std::string::npos && head.size() < 4096) {
        bytes b = net::test::receiveBytes(s, 1, 10000);
        if (b.empty())
            break;
        head += static_cast<char>(b[0]);
    }
    return head;
}

// Whether the client ends the connection within the time.
bool endsWithin(SOCKET s, unsigned milliseconds) {
    bool closed = false;
    net::test::receiveUntilClosed(s, closed, milliseconds);
    return closed;
}

bool sendText(SOCKET s, const std::string& t) {
    return sendAll(s, bytes(t.begin(), t.end()), 20000);
}

// The peer the client dials: connection 0 gets a flood of 503 answers, 1 a
// 403, 2 silence, every later one is accepted as a link. Each refusal's
// X-Try list offers far hosts and, last, the peer itself: so it is dialled
// again.
class dialledPeer {
public:
    // beforeLink runs as the peer is about to accept the client's connect.
    dialledPeer(const std::string& address, std::function<void()> beforeLink)
        : address_(address), beforeLink_(std::move(beforeLink)),
          server_(address, [this](SOCKET s, unsigned n) { serve(s, n); }) {}

    unsigned short port() const { return server_.port(); }
    std::atomic<bool> connectRead[4] = {};
    std::atomic<bool> endedByClient[3] = {};  // the refusals and the silence
    std::atomic<bool> linked{false};
    std::atomic<unsigned> refusalsSent{0};

private:
    std::string xTry(unsigned first, unsigned count) {
        std::string list = "X-Try: ";
        for (unsigned i = first; i < first + count; ++i)
            list += farHost(i) + ":6346,";
        return list + address_ + ":" + std::to_string(port()) + ",\r\n";
    }

    void serve(SOCKET s, unsigned n) {
        std::string connect = readHead(s);
        bool isConnect = connect.rfind("GNUTELLA CONNECT/0.6\r\n", 0) == 0;
        connectRead[std::min(n, 3u)] = isConnect;
        if (!isConnect)
            return;
        switch (n) {
            case 0: {  // a flood of refusals inside the answer's time
                std::string flood;
                for (unsigned i = 0; i < 200; ++i)
                    flood += "GNUTELLA/0.6 503 Busy\r\n" + xTry(1000 + 40 * i, 40) + "\r\n";
                sendText(s, flood);
                refusalsSent = 200;
                endedByClient[0] = endsWithin(s, 3000);
                return;
            }
            case 1:  // as current servents answer a connect without X-Ultrapeer
                sendText(s, "GNUTELLA/0.6 403 Normal nodes refused\r\n" + xTry(20000, 10) + "\r\n");
                endedByClient[1] = endsWithin(s, 3000);
                return;
            case 2:  // silence after the connect
                endedByClient[2] = endsWithin(s, 5000);
                return;
            default:
                beforeLink_();
                sendText(s, "GNUTELLA/0.6 200 OK\r\nUser-Agent: TestPeer/1.0\r\n\r\n");
                linked = readHead(s).rfind("GNUTELLA/0.6 200", 0) == 0;
                endsWithin(s, 600000);  // a link until the client ends
        }
    }

    std::string address_;
    std::function<void()> beforeLink_;
    server server_;
};

// The web cache: the first request for hosts gets 64 KiB of far hosts with
// the peer last, the first request for caches 64 KiB of cache URLs, some at
// the machine's own addresses (where the trap listens) and some with port
// 0; every later request a "404 " page, which fails the cache.
class hostileCache {
public:
    hostileCache(const std::string& address, unsigned short peerPort, unsigned short trapPort)
        : address_(address), peerPort_(peerPort), trapPort_(trapPort),
          server_(address, [this](SOCKET s, unsigned) { serve(s); }) {}

    unsigned short port() const { return server_.port(); }
    std::atomic<unsigned> hostsOffered{0};
    std::atomic<unsigned> answersWithHosts{0};

private:
    std::string hostAnswer() {
        std::string body;
        unsigned i = 0;
        for (; body.size() + 40 < 64 * 1024; ++i)
            body += farHost(30000 + i) + ":6346\r\n";
        hostsOffered = i + 1;
        return body + address_ + ":" + std::to_string(peerPort_) + "\r\n";
    }
    std::string urlAnswer() {
        std::string trap = std::to_string(trapPort_);
        const std::string refused[] = {"127.0.0.1:" + trap,       "localhost:" + trap, "127.1:" + trap,
                                       address_ + ":0",           "224.0.0.1:" + trap, "0.0.0.0:" + trap,
                                       "[::1]:" + trap};
        std::string body;
        for (unsigned i = 0; body.size() + 80 < 64 * 1024; ++i)
            body += "http://" + (i % 2 ? farHost(40000 + i) + ":80" : refused[i / 2 % 7]) + "/gcache.php\r\n";
        return body;
    }

    void serve(SOCKET s) {
        std::string request = readHead(s);
        bool hosts = request.find("?hostfile=1") != std::string::npos;
        std::string answer;
        if (hosts && !hostsServed_.exchange(true)) {
            answer = "HTTP/1.0 200 OK\r\n\r\n" + hostAnswer();
            ++answersWithHosts;
        } else if (!hosts && !urlsServed_.exchange(true)) {
            answer = "HTTP/1.0 200 OK\r\n\r\n" + urlAnswer();
        } else {
            answer = "<html>404 Not Found</html>";
        }
        sendText(s, answer);
    }

    std::string address_;
    unsigned short peerPort_, trapPort_;
    std::atomic<bool> hostsServed_{false}, urlsServed_{false};
    server server_;
};

// The record's host-cache rows: the most listed at once, and the calls
// that showed one.
struct catchRows {
    std::size_t most = 0;
    std::size_t shown = 0;
};
catchRows catchRowsOf(const std::string& record) {
    catchRows rows;
    std::set<std::string> listed;
    std::size_t from = 0;
    for (std::size_t end; (end = record.find('\n', from)) != std::string::npos; from = end + 1) {
        std::string line = record.substr(from, end - from);
        std::string address = line.substr(line.rfind('|') + 1);
        if (line.rfind("IGnutellaHostDockWnd::UpdateCatch|", 0) == 0) {
            listed.insert(address);
            ++rows.shown;
        } else if (line.rfind("IGnutellaHostDockWnd::RemoveCatch|", 0) == 0) {
            listed.erase(address);
        } else if (line.rfind("IGnutellaHostDockWnd::ClearCatch", 0) == 0) {
            listed.clear();
        }
        rows.most = std::max(rows.most, listed.size());
    }
    return rows;
}

// The most links the client's tray tip told ("Connections: n").
long mostLinks(const std::string& record) {
    long most = 0;
    for (std::size_t at = 0; (at = record.find("\nConnections: ", at)) != std::string::npos; ++at)
        most = std::max(most, std::strtol(record.c_str() + at + 14, nullptr, 10));
    return most;
}

std::string settingsFile(const std::vector<std::pair<std::string, std::string>>& keys) {
    std::string file = "<vesk_settings>\r\n\t<zUdoradur>\r\n";
    for (const auto& k : keys)
        file += "\t\t<" + k.first + ">" + k.second + "</" + k.first + ">\r\n";
    return file + "\t</zUdoradur>\r\n</vesk_settings>\r\n";
}

// The client in runtime.exe, started with the peer as the one host it once
// linked to, a saved host cache far larger than the cache may be, and the
// web cache in its "gcache"; it saves its settings when asked to stop.
class client {
public:
    client(unsigned short peerPort, unsigned short cachePort) {
        for (const char* module : {"sysrt.vkm", "rsrc.vkm", "fs.vkm", "Quillet.vkm", "persist.vkm", "share2.vkm",
                                   "Ombrel.vkm", "net.vkm"})
            if (!run_.addStagedModule(module))
                return;
        if (!run_.addFixtureModule("gnutellaNoWebCaches.vkm", "gnutella.vkm") ||
            !run_.addFixtureModule("fakeUi.vkm", "ui.vkm"))
            return;
        std::vector<std::pair<std::string, std::string>> keys = {
            {"Gnutella_ListenPort", "(ushort)0"},
            {"Gnutella_MaxHostCatcher", "(ulong)" + std::to_string(hostCacheBound)},
            {"Gnutella_LoadHostCatcher", "(ushort)1"},
            {"Gnutella_SuccessfulEntires", "(ulong)1"},
            {"Gnutella_SuccessfulItemIP1", "(ushort)" + std::to_string(peerPort)},
            {"Gnutella_SuccessfulItemPort1", "(string)" + testAddress()},
            {"Gnutella_HostCatchEntires", "(ulong)" + std::to_string(storedHosts)}};
        for (unsigned i = 1; i <= storedHosts; ++i) {
            keys.push_back({"Gnutella_HostCatchItemIP" + std::to_string(i), "(string)" + farHost(50000 + i)});
            keys.push_back({"Gnutella_HostCatchItemPort" + std::to_string(i), "(ushort)6346"});
        }
        std::string cacheUrl = testAddress() + ":" + std::to_string(cachePort) + "/gcache.php\r\n";
        std::string script = "record-file-only\nconnect\nawait-file 600000 " + path("stop") + "\nsave\nshutdown\n";
        started_ = testing::writeFile(path("vesk.egg"), settingsFile(keys)) &&
                   testing::writeFile(path("gcache"), cacheUrl) && testing::writeFile(path("fakeui.script"), script) &&
                   run_.start();
    }
    // Ended first: the peer's link and the servers' threads end with it.
    ~client() { stop(); }

    bool started() const { return started_; }
    // Asks the client to stop (it saves its settings) and waits; true when
    // it ended by itself.
    bool stop() {
        if (run_.process())
            ended_ = run_.stopByFile();
        return ended_;
    }
    DWORD exitCode() const { return run_.exitCode(); }
    std::string path(const std::string& name) const { return run_.path(name); }
    std::string record() const { return testing::readFile(path("fakeui.calls")); }
    std::string log() const { return run_.log(); }

private:
    hostRun run_;
    bool started_ = false;
    bool ended_ = false;
};

class HostileDialled : public ::testing::Test {
protected:
    void SetUp() override {
        if (testAddress().empty())
            GTEST_SKIP() << "runs only in the network namespace of testHosts/hostileDialledTest.sh";
    }

    net::test::winsockSession winsock;
};

TEST_F(HostileDialled, RefusalsFloodsSilenceAndAHostileCacheLeaveTheClientBoundedAndLinking) {
    // A listener on every address of the machine: a cache URL that names the
    // machine itself must never reach it.
    std::atomic<unsigned> trapped{0};
    server trap("0.0.0.0", [&](SOCKET, unsigned) { ++trapped; });
    std::unique_ptr<client> dialling;
    std::atomic<long> linksBeforeTheAccept{-1};
    dialledPeer peer(testAddress(), [&] { linksBeforeTheAccept = mostLinks(dialling->record()); });
    hostileCache cache(testAddress(), peer.port(), trap.port());
    // The client ends before the servers: the peer's link ends with it.
    struct endFirst {
        std::unique_ptr<client>& c;
        ~endFirst() { c.reset(); }
    } clientEndsFirst{dialling};
    ASSERT_NE(peer.port(), 0) << "no listener on " << testAddress();
    dialling = std::make_unique<client>(peer.port(), cache.port());
    ASSERT_TRUE(dialling->started());

    EXPECT_TRUE(waitFor([&] { return peer.linked.load(); }, 240000)) << "the peer never got a link\n"
                                                                      << dialling->log();
    EXPECT_TRUE(peer.connectRead[0] && peer.connectRead[1] && peer.connectRead[2] && peer.connectRead[3])
        << "each dial sends the 0.6 connect";
    EXPECT_TRUE(peer.endedByClient[0]) << "a flood of refusals ends the dial at its first";
    EXPECT_TRUE(peer.endedByClient[1]) << "a 403 ends the dial";
    EXPECT_TRUE(peer.endedByClient[2]) << "a silent peer's dial ends";
    EXPECT_EQ(linksBeforeTheAccept.load(), 0) << "a refusal was counted as a link";
    EXPECT_EQ(cache.answersWithHosts.load(), 1u);
    Sleep(2000);  // the cache's URLs are asked meanwhile
    EXPECT_EQ(trapped.load(), 0u) << "a cache at the machine's own address was asked";
    EXPECT_EQ(mostLinks(dialling->record()), 1) << "the accepting peer is a link";

    ASSERT_TRUE(dialling->stop()) << "the client did not end when asked";
    EXPECT_EQ(dialling->exitCode(), 0u);
    EXPECT_EQ(dialling->log().find("unhandled exception"), std::string::npos) << dialling->log();
    catchRows rows = catchRowsOf(dialling->record());
    EXPECT_LE(rows.most, hostCacheBound) << "host-cache rows listed at once";
    // The batches: the saved cache, the two refusals read, the cache's hosts.
    EXPECT_LE(rows.shown, 4 * hostCacheBound) << "rows shown for " << storedHosts + cache.hostsOffered.load()
                                              << " hosts offered";
    const std::string savedCount = "<Gnutella_HostCatchEntires>(ulong)";
    std::string saved = testing::readFile(dialling->path("vesk.egg"));
    std::size_t at = saved.find(savedCount);
    ASSERT_NE(at, std::string::npos);
    EXPECT_LE(std::strtoul(saved.c_str() + at + savedCount.size(), nullptr, 10), hostCacheBound)
        << "hosts saved at exit";
    std::cout << "[ hosts    ] rows shown " << rows.shown << ", at most " << rows.most << " at once, "
              << peer.refusalsSent.load() << " refusals and " << cache.hostsOffered.load() << " cache hosts offered\n";
}

}  // namespace
}  // namespace vesk::gnutella::test
