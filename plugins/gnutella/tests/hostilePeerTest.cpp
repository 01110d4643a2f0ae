// A hostile peer on 127.0.0.1 against the client in runtime.exe (every real
// module, the network module, the recording fake user interface), sharing
// one folder beside a file it must never serve. Kind after kind, from a
// fixed seed, the peer sends what a broken or malicious servent might; a
// well-behaved peer linked all along must still get its answers, the
// client must drop the links that send garbage, never send a byte of the
// file outside its shares, keep nothing of the links that came and went,
// and end the run still serving a plain request and holding about the
// memory it held before (a little per connection the run made).
//
// VESK_HOSTILE_COUNT sets the attempts per kind (default 300, which keeps
// the run short enough for CI; the full run is 10000).
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "extern/net/tests/loopback.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/tests/hostilePeer.h"
#include "runtime/tests/hostRun.h"
#include "testing/processMemory.h"
#include "testing/testPaths.h"

namespace vesk::gnutella::test {
namespace {

using net::test::closePlain;
using net::test::plainConnect;
using net::test::sendAll;
using net::test::waitFor;
using vesk::test::hostRun;

constexpr std::uint32_t seed = 20261210;
const std::string secretMark = "SECRET-BYTES-OUTSIDE-THE-SHARES";
const std::string sharedName = "tangerine quartet.ogg";
// Larger than the sockets hold: an upload of it to a peer that reads
// nothing stalls.
const std::string bigName = "plum orchard.bin";
constexpr std::size_t bigSize = 24u << 20;
// What the client may hold after the run beyond what it held before: what
// it makes once (its pools' and heaps' high-water marks), and a little per
// connection the run made, far below what a link that kept its row would.
constexpr std::size_t memoryMadeOnce = 2u << 20;
constexpr std::size_t memoryPerConnection = 256;
// Connections the test opened to the client, links included.
std::atomic<unsigned> connectionsMade{0};

unsigned attemptsPerKind() {
    const char* text = std::getenv("VESK_HOSTILE_COUNT");
    unsigned n = text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : 0;
    return n ? n : 300;
}

std::string settingsFile(unsigned short port) {
    std::string keys[][2] = {{"Gnutella_ListenPort", "(ushort)" + std::to_string(port)},
                             {"Gnutella_MaxIncoming", "(ulong)50"},
                             {"Gnutella_MaxTotalConnections", "(ulong)60"}};
    std::string text = "<vesk_settings>\r\n\t<zUdoradur>\r\n";
    for (const auto& k : keys)
        text += "\t\t<" + k[0] + ">" + k[1] + "</" + k[0] + ">\r\n";
    return text + "\t</zUdoradur>\r\n</vesk_settings>\r\n";
}

// The bytes of the shared file.
bytes sharedBytes() {
    return net::test::pattern(7, 0, 20000);
}

// The client, online and sharing Shared\ until the test makes its stop file.
class client {
public:
    client() : port_(net::test::freePort()) {
        for (const char* module : {"sysrt.vkm", "rsrc.vkm", "fs.vkm", "Quillet.vkm", "persist.vkm", "share2.vkm",
                                   "Ombrel.vkm", "net.vkm"})
            if (!run_.addStagedModule(module))
                return;
        // Without the built-in web caches: nothing but this test is dialled.
        if (!run_.addFixtureModule("gnutellaNoWebCaches.vkm", "gnutella.vkm") ||
            !run_.addFixtureModule("fakeUi.vkm", "ui.vkm"))
            return;
        std::string shared = path("Shared");
        CreateDirectoryA(shared.c_str(), nullptr);
        std::string secret;
        while (secret.size() < 20000)
            secret += secretMark + "\r\n";
        bytes music = sharedBytes();
        bytes big = net::test::pattern(9, 0, bigSize);
        ready_ = testing::writeFile(path("secret.txt"), secret) &&
                 testing::writeFile(shared + "\\" + sharedName, std::string(music.begin(), music.end())) &&
                 testing::writeFile(shared + "\\" + bigName, std::string(big.begin(), big.end())) &&
                 testing::writeFile(path("vesk.egg"), settingsFile(port_)) &&
                 // Ended uploads leave the list, as a servent running all day has them.
                 testing::writeFile(path("fakeui.script"), "record-file-only\nshare-add " + shared + "|1\nshare-save\nengine-reload\n"
                                                           "autoclear 1 1\nautoclear 3 1\n"
                                                           "connect\nawait-file 1800000 " + path("stop") +
                                                           "\nshutdown\n") &&
                 run_.start();
    }
    ~client() { stop(); }

    bool ready() const { return ready_; }
    unsigned short port() const { return port_; }
    bool running() const { return run_.running(); }
    // The exit code of a client that ended (a crash shows as an exception code).
    DWORD endCode() const {
        DWORD code = STILL_ACTIVE;
        return run_.process() && GetExitCodeProcess(run_.process(), &code) ? code : code;
    }
    std::string path(const std::string& name) const { return run_.path(name); }
    std::size_t privateBytes() const { return testing::privateBytes(run_.process()); }

    // Asks the client to stop and waits; true when it ended by itself.
    bool stop() {
        if (run_.process())
            ended_ = run_.stopByFile();
        return ended_;
    }
    DWORD exitCode() const { return run_.exitCode(); }
    std::string log() const { return run_.log(); }
    std::string record() const { return testing::readFile(path("fakeui.calls")); }

private:
    hostRun run_;
    unsigned short port_;
    bool ready_ = false;
    bool ended_ = false;
};

// Receives until the client ends the connection (or resets it) or the time
// is up; what came is added to got. True when the connection ended.
bool endsWithin(SOCKET s, unsigned milliseconds, bytes& got) {
    DWORD timeout = 200;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    ULONGLONG end = GetTickCount64() + milliseconds;
    char piece[16384];
    while (GetTickCount64() < end) {
        int n = recv(s, piece, sizeof piece, 0);
        if (n == 0)
            return true;
        if (n < 0 && WSAGetLastError() != WSAETIMEDOUT)
            return true;
        if (n > 0)
            got.insert(got.end(), piece, piece + n);
    }
    return false;
}

// A request of a shared file from this test's address; what the client
// answered until it ended the connection.
bytes requestFromClient(unsigned short port, const std::string& request) {
    SOCKET s = plainConnect(port);
    bytes got;
    if (s == INVALID_SOCKET)
        return got;
    ++connectionsMade;
    sendAll(s, bytes(request.begin(), request.end()), 10000);
    endsWithin(s, 20000, got);
    closePlain(s);
    return got;
}

bool startsWith(const bytes& b, const std::string& prefix) {
    return b.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), b.begin());
}

// The index the client serves the shared file under (a one-byte range of
// each index in turn); empty when none.
std::string indexOf(unsigned short port, const std::string& name) {
    for (unsigned index = 0; index < 40; ++index) {
        std::string request = "GET /get/" + std::to_string(index) + "/" + name + " HTTP/1.0\r\nRange: bytes=0-0\r\n\r\n";
        if (startsWith(requestFromClient(port, request), "HTTP 200 OK"))
            return std::to_string(index);
    }
    return std::string();
}

// A Gnutella link of the test's to the client: the 0.6 handshake, then a
// thread that reads and frames whatever the client sends, keeping the
// Query Hits.
class peerLink {
public:
    // Accepted links only: a busy answer or a refusal leaves it not linked.
    explicit peerLink(unsigned short port) : socket_(plainConnect(port)) {
        if (socket_ == INVALID_SOCKET)
            return;
        ++connectionsMade;
        const std::string connect = "GNUTELLA CONNECT/0.6\r\nUser-Agent: TestPeer/1.0\r\n\r\n";
        if (!sendAll(socket_, bytes(connect.begin(), connect.end()), 10000))
            return;
        std::string answer;
        while (answer.find("\r\n\r\n") == std::string::npos && answer.size() < 4096) {
            bytes b = net::test::receiveBytes(socket_, 1, 10000);
            if (b.empty())
                return;
            answer += static_cast<char>(b[0]);
        }
        const std::string reply = "GNUTELLA/0.6 200 OK\r\n\r\n";
        linked_ = answer.rfind("GNUTELLA/0.6 200", 0) == 0 && sendAll(socket_, bytes(reply.begin(), reply.end()));
        if (linked_)
            reader_ = std::thread([this] { read(); });
    }
    ~peerLink() {
        if (socket_ != INVALID_SOCKET)
            shutdown(socket_, SD_BOTH);
        if (reader_.joinable())
            reader_.join();
        closePlain(socket_);
    }

    bool linked() const { return linked_; }
    bool ended() const { return ended_; }
    bool send(const bytes& b) { return !ended_ && sendAll(socket_, b, 20000); }

    // Sends a Query for the word and waits for a hit to it naming the file.
    bool answered(const std::string& word, const std::string& file, unsigned milliseconds) {
        // A new identifier each time, over all links: the client answers a
        // Query it has seen once only.
        static std::atomic<unsigned> queries{0};
        bytes query(descriptorHeaderSize);
        unsigned number = ++queries;
        for (std::size_t i = 0; i < guidSize; ++i)
            query[i] = static_cast<unsigned char>(i < 4 ? number >> (8 * i) : 0x30 + i);
        bytes id(query.begin(), query.begin() + guidSize);
        query[header::function] = function::query;
        query[header::ttl] = 2;
        query.insert(query.end(), {0, 0});  // minimum speed
        query.insert(query.end(), word.begin(), word.end());
        query.push_back(0);
        WriteLe32(query.data() + header::payloadLength,
                  static_cast<std::uint32_t>(query.size() - descriptorHeaderSize));
        if (!send(query))
            return false;
        return waitFor([&] {
            std::lock_guard<std::mutex> hold(lock_);
            for (const bytes& hit : hits_)
                if (std::equal(id.begin(), id.end(), hit.begin()) && contains(hit, file))
                    return true;
            return false;
        }, milliseconds);
    }

private:
    void read() {
        DWORD forever = 0;  // the handshake's reads left a time-out
        setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&forever), sizeof forever);
        bytes held;
        char piece[65536];
        for (;;) {
            int n = recv(socket_, piece, sizeof piece, 0);
            if (n <= 0)
                break;
            held.insert(held.end(), piece, piece + n);
            while (held.size() >= descriptorHeaderSize) {
                std::uint32_t length = ReadLe32(held.data() + header::payloadLength);
                if (length > 65536) {
                    malformed_ = true;  // the client never sends such
                    held.clear();
                    break;
                }
                if (held.size() < descriptorHeaderSize + length)
                    break;
                if (held[header::function] == function::queryHit) {
                    std::lock_guard<std::mutex> hold(lock_);
                    hits_.emplace_back(held.begin(), held.begin() + descriptorHeaderSize + length);
                }
                held.erase(held.begin(), held.begin() + descriptorHeaderSize + length);
            }
        }
        ended_ = true;
    }

    SOCKET socket_;
    bool linked_ = false;
    std::atomic<bool> ended_{false};
    std::atomic<bool> malformed_{false};
    std::thread reader_;
    std::mutex lock_;
    std::vector<bytes> hits_;

public:
    bool malformed() const { return malformed_; }
};

// The links up as the client's tray tip last told them ("Connections: n"
// on a line of its own in the record); -1 before any.
long linksUp(const std::string& record) {
    std::size_t at = record.rfind("\nConnections: ");
    return at == std::string::npos ? -1 : std::strtol(record.c_str() + at + 14, nullptr, 10);
}

// What each kind of attempt came to.
struct outcome {
    unsigned notConnect = 0, refused = 0;  // handshakes that were no connect, and those closed
    unsigned dropped = 0;                  // hostile links the client ended
    unsigned ended = 0;                    // connections the client ended
};

class HostilePeer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        winsock_ = new net::test::winsockSession;
        client_ = new client;
        if (!client_->ready())
            return;
        // Online once it takes a link; the well-behaved peer stays linked
        // through every kind.
        waitFor([] {
            good_ = std::make_unique<peerLink>(client_->port());
            return good_->linked();
        }, 60000);
        if (!good_->linked())
            return;
        // A few of every kind first: what the client makes once (its
        // threads' stacks, the network module's pools, the routing tables'
        // first blocks) is in the figure the run is compared with.
        for (unsigned kind = 0; kind < kinds; ++kind)
            attempt(kind, 20);
        memoryBefore_ = client_->privateBytes();
        connectionsBefore_ = connectionsMade;
    }
    static void TearDownTestSuite() {
        good_.reset();
        delete client_;
        delete winsock_;
    }

    void SetUp() override {
        ASSERT_TRUE(client_->ready()) << "the client did not start";
        ASSERT_TRUE(good_ && good_->linked()) << client_->log();
        leaked_ = false;
    }

    // After each kind: the client runs, never sent the secret, and still
    // answers the peer that behaved.
    void TearDown() override {
        if (!good_)
            return;  // the last test stopped the client
        EXPECT_TRUE(client_->running()) << "the client ended, code 0x" << std::hex << client_->endCode() << std::dec
                                         << "\n" << client_->log();
        EXPECT_FALSE(leaked_) << "bytes of a file outside the shares were sent";
        EXPECT_TRUE(good_->answered("tangerine", sharedName, 30000))
            << "the behaved peer is no longer answered" << (good_->ended() ? ": its link ended" : "");
        EXPECT_FALSE(good_->malformed());
        std::cout << "[ memory   ] private bytes " << client_->privateBytes() << "\n";
    }

    enum kind : unsigned { handshakes, descriptors, truncatedHeaders, overlongHits, pushes, givs, requests, kinds };

    static outcome attempt(unsigned which, unsigned count) {
        outcome o;
        switch (which) {
            case handshakes:
                for (unsigned i = 0; i < count; ++i) {
                    bytes sent = peer_.handshake();
                    bool known = startsWithNoCase(sent, "GNUTELLA") || startsWithNoCase(sent, "GET ") ||
                                 startsWithNoCase(sent, "GIV ") || sent.empty();
                    bool ended = connection(sent, known ? 200 : 10000);
                    o.notConnect += known ? 0 : 1;
                    o.refused += !known && ended ? 1 : 0;
                }
                break;
            case descriptors:
                o.dropped = onLinks(count, [](unsigned i) { return peer_.descriptor(i); });
                break;
            case truncatedHeaders:
                o.dropped = onLinks(count, [](unsigned i) {
                    bytes b = peer_.truncatedHeader();
                    if (i % 2) {  // a whole Ping behind some of them
                        bytes ping(descriptorHeaderSize, 0x11);
                        ping[header::function] = function::ping;
                        ping[header::ttl] = 1;
                        ping[header::hops] = 0;
                        WriteLe32(ping.data() + header::payloadLength, 0);
                        b.insert(b.end(), ping.begin(), ping.end());
                    }
                    return b;
                });
                break;
            case overlongHits:
                o.dropped = onLinks(count, [](unsigned) { return peer_.overlongHit(); });
                break;
            case pushes:
                o.dropped = onLinks(count, [](unsigned) { return peer_.push(); });
                break;
            case givs:
                for (unsigned i = 0; i < count; ++i)
                    o.ended += connection(peer_.giv(), 10000) ? 1 : 0;
                break;
            case requests:
                for (unsigned i = 0; i < count; ++i)
                    o.ended += connection(peer_.httpRequest(client_->path("secret.txt")), 3000) ? 1 : 0;
                break;
        }
        return o;
    }

    // One connection per attempt: its bytes, then whatever the client
    // answers until it ends the connection or the time is up. True when the
    // client ended it.
    static bool connection(const bytes& sent, unsigned milliseconds) {
        SOCKET s = plainConnect(client_->port());
        if (s == INVALID_SOCKET)
            return false;
        ++connectionsMade;
        sendAll(s, sent, 10000);
        bytes got;
        bool ended = endsWithin(s, milliseconds, got);
        closePlain(s);
        if (contains(got, secretMark))
            leaked_ = true;
        return ended;
    }

    // Sends each attempt on a hostile link, opening another whenever the
    // client dropped the last. The links the client dropped. (Whether the
    // client read a kept link to its end cannot be asked of it: a header
    // that passes inside the garbage may rightly hold the rest as payload.)
    template <typename Next>
    static unsigned onLinks(unsigned count, Next next) {
        unsigned dropped = 0;
        std::unique_ptr<peerLink> link;
        for (unsigned i = 0; i < count; ++i) {
            if (!link || link->ended()) {
                dropped += link ? 1 : 0;
                EXPECT_TRUE(waitFor([&] {
                    link = std::make_unique<peerLink>(client_->port());
                    return link->linked();
                }, 30000)) << "no link taken";
            }
            link->send(next(i));
        }
        return dropped;
    }

    // A peer asks for the shared file as any servent would: the answer is a
    // 200 with every byte of it.
    static bool servesTheSharedFile() {
        std::string index = indexOf(client_->port(), sharedName);
        if (index.empty())
            return false;
        std::string request = "GET /get/" + index + "/" + sharedName + " HTTP/1.0\r\nUser-Agent: TestPeer/1.0\r\n\r\n";
        SOCKET s = plainConnect(client_->port());
        if (s == INVALID_SOCKET)
            return false;
        ++connectionsMade;
        std::string got;
        bool sent = sendAll(s, bytes(request.begin(), request.end()), 10000);
        std::size_t head = std::string::npos;
        waitFor([&] {
            bytes piece = net::test::receiveBytes(s, 65536, 200);
            got.append(piece.begin(), piece.end());
            head = got.find("\r\n\r\n");
            return head != std::string::npos && got.size() - head - 4 >= sharedBytes().size();
        }, 30000);
        closePlain(s);
        bytes body = head == std::string::npos ? bytes() : bytes(got.begin() + head + 4, got.end());
        return sent && got.find(" 200 ") != std::string::npos && body == sharedBytes();
    }

    static bool startsWithNoCase(const bytes& b, const char* prefix) {
        for (std::size_t i = 0; prefix[i]; ++i)
            if (i >= b.size() || std::tolower(b[i]) != std::tolower(static_cast<unsigned char>(prefix[i])))
                return false;
        return true;
    }

    static net::test::winsockSession* winsock_;
    static client* client_;
    static std::unique_ptr<peerLink> good_;
    static hostilePeer peer_;
    static std::size_t memoryBefore_;
    static unsigned connectionsBefore_;
    static bool leaked_;
};

net::test::winsockSession* HostilePeer::winsock_ = nullptr;
client* HostilePeer::client_ = nullptr;
std::unique_ptr<peerLink> HostilePeer::good_;
hostilePeer HostilePeer::peer_(seed);
std::size_t HostilePeer::memoryBefore_ = 0;
unsigned HostilePeer::connectionsBefore_ = 0;
bool HostilePeer::leaked_ = false;

TEST_F(HostilePeer, HandshakesThatAreNoConnectAreRefused) {
    outcome o = attempt(handshakes, attemptsPerKind());
    EXPECT_EQ(o.refused, o.notConnect) << "every connection that is no handshake is closed";
}

TEST_F(HostilePeer, DescriptorsOfEveryFunctionAndLengthAreSurvivedAndGarbageEndsTheLink) {
    attempt(descriptors, attemptsPerKind());
    // Bytes that can start no descriptor, piece after piece: the client
    // counts each piece it reads as garbage and drops the link past its
    // limit.
    peerLink link(client_->port());
    ASSERT_TRUE(link.linked());
    bool dropped = waitFor([&] {
        link.send(bytes(512, 0xFF));
        return link.ended();
    }, 60000);
    EXPECT_TRUE(dropped) << "a link sending only garbage was kept";
}

TEST_F(HostilePeer, TruncatedHeadersAreSurvived) { attempt(truncatedHeaders, attemptsPerKind()); }

TEST_F(HostilePeer, HitsWhoseRecordsRunPastTheirPayloadAreSurvived) { attempt(overlongHits, attemptsPerKind()); }

TEST_F(HostilePeer, BrokenPushesAndGivLinesAreSurvived) {
    attempt(pushes, attemptsPerKind());
    unsigned n = attemptsPerKind();
    EXPECT_EQ(attempt(givs, n).ended, n) << "a GIV for no push of the client's is closed";
}

TEST_F(HostilePeer, UploadRequestsNeverServeAByteOutsideTheShares) { attempt(requests, attemptsPerKind()); }

// A servent links and drops peers all day: once the first round has made
// what the client makes once, a link that came and went keeps nothing.
TEST_F(HostilePeer, LinksThatComeAndGoLeaveNoMemoryBehind) {
    constexpr unsigned linksPerRound = 1000;
    constexpr std::size_t secondRoundBound = 100 * 1024;
    auto round = [&] {
        for (unsigned i = 0; i < linksPerRound; ++i) {
            peerLink link(client_->port());
            ASSERT_TRUE(link.linked()) << "link " << i;
        }
        ASSERT_TRUE(waitFor([] { return linksUp(client_->record()) == 1; }, 30000))
            << "the client still counts links of the round";
    };
    round();
    if (HasFatalFailure())
        return;
    std::size_t before = client_->privateBytes();
    round();
    std::size_t after = client_->privateBytes();
    std::cout << "[ memory   ] private bytes before the second round " << before << ", after " << after << "\n";
    EXPECT_LT(after, before + secondRoundBound) << (after - before) / linksPerRound << " bytes per link";
}

// Thousands of requests of a shared file abandoned early (ranges never read
// to the end), then peers that read nothing at all: the abandoned ones give
// their slots back as their peers go, the held ones once the stall time-out
// has ended them, and a normal request from the same address is served.
TEST_F(HostilePeer, AbandonedAndStalledRequestsGiveTheirSlotsBackAndANormalRequestIsServed) {
    std::string bigIndex = indexOf(client_->port(), bigName);
    std::string songIndex = indexOf(client_->port(), sharedName);
    ASSERT_FALSE(bigIndex.empty());
    ASSERT_FALSE(songIndex.empty());
    const std::string normal = "GET /get/" + songIndex + "/" + sharedName + " HTTP/1.0\r\n\r\n";
    bytes song = sharedBytes();
    auto servedOnce = [&] {
        bytes got = requestFromClient(client_->port(), normal);
        return startsWith(got, "HTTP 200 OK") && got.size() >= song.size() &&
               std::equal(song.begin(), song.end(), got.end() - song.size());
    };
    // Asked every other second, not in a tight loop.
    auto servedWithin = [&](unsigned milliseconds) {
        for (ULONGLONG end = GetTickCount64() + milliseconds; GetTickCount64() < end; Sleep(2000))
            if (servedOnce())
                return true;
        return false;
    };
    auto bigRequest = [&](std::uint32_t from) {
        std::string r = "GET /get/" + bigIndex + "/" + bigName + " HTTP/1.0\r\nRange: bytes=" + std::to_string(from) +
                        "-\r\n\r\n";
        return bytes(r.begin(), r.end());
    };

    // At most 2000, so that the full run stays within the client's time.
    for (unsigned i = 0, n = std::min(attemptsPerKind(), 2000u); i < n; ++i) {
        SOCKET s = plainConnect(client_->port());
        ASSERT_NE(s, INVALID_SOCKET);
        ++connectionsMade;
        sendAll(s, bigRequest(peer_.below(bigSize)), 10000);
        net::test::receiveBytes(s, 1 + peer_.below(64 * 1024), 3000);
        closePlain(s);
    }
    EXPECT_TRUE(servedWithin(60000)) << "a normal request after the abandoned ones";

    // As many peers as one address may have, each reading nothing.
    std::vector<SOCKET> stalled;
    for (int i = 0; i < 4; ++i) {
        SOCKET s = plainConnect(client_->port());
        ASSERT_NE(s, INVALID_SOCKET);
        ++connectionsMade;
        stalled.push_back(s);
        sendAll(s, bigRequest(0), 10000);
    }
    Sleep(2000);
    EXPECT_TRUE(startsWith(requestFromClient(client_->port(), normal), "HTTP/1.1 503"))
        << "the held uploads take the address's slots";
    ULONGLONG start = GetTickCount64();
    bool servedAgain = servedWithin(120000);
    EXPECT_TRUE(servedAgain) << "a normal request once the held uploads timed out";
    std::cout << "[ stalled  ] served again after " << (GetTickCount64() - start) << " ms\n";
    for (SOCKET s : stalled)
        closePlain(s);
}

// Last: the tests run in this order.
TEST_F(HostilePeer, TheClientStillServesAndHoldsAboutTheMemoryItHeldBeforeAndEndsCleanly) {
    EXPECT_TRUE(servesTheSharedFile()) << "a plain request for the shared file is no longer served";
    ASSERT_GT(memoryBefore_, 0u) << "the client's private bytes cannot be read";
    std::size_t connections = connectionsMade - connectionsBefore_;
    std::size_t bound = memoryBefore_ + memoryMadeOnce + memoryPerConnection * connections;
    std::size_t after = 0;
    bool settled = waitFor([&] {
        after = client_->privateBytes();
        return after <= bound;
    }, 20000);
    long long perConnection = (static_cast<long long>(after) - static_cast<long long>(memoryBefore_)) /
                              static_cast<long long>(connections ? connections : 1);
    EXPECT_TRUE(settled) << "before " << memoryBefore_ << " bytes, after " << after << ": " << perConnection
                         << " bytes for each of " << connections << " connections";
    std::cout << "[ memory   ] private bytes before " << memoryBefore_ << ", after " << after << ", "
              << perConnection << " per connection over " << connections << "\n";
    good_.reset();
    EXPECT_TRUE(client_->stop()) << "the client did not end when asked";
    EXPECT_EQ(client_->exitCode(), 0u);
    EXPECT_EQ(client_->log().find("unhandled exception"), std::string::npos) << client_->log();
}

}  // namespace
}  // namespace vesk::gnutella::test
