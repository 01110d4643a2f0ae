// The web-cache client: reading answers, a scripted web cache on 127.0.0.1
// filling the host cache, the limits on asking, time-outs (clock replaced)
// and the file "gcache" byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "plugins/gnutella/CGWebCache.h"
#include "plugins/gnutella/CGWebConn.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/clock.h"
#include "plugins/gnutella/hostCache.h"
#include "plugins/gnutella/tests/linkFixture.h"
#include "plugins/gnutella/webCacheResponse.h"
#include "testing/testPaths.h"

namespace vesk::gnutella::test {
namespace {

using net::test::plainListener;

std::vector<std::string> hostTexts(const webCacheAnswer& a) {
    std::vector<std::string> out;
    for (const hostAddress& h : a.hosts)
        out.push_back(h.address + ":" + std::to_string(h.port));
    return out;
}

TEST(WebCacheAnswer, ABodyListsHostsAndCachesLineByLine) {
    using list = std::vector<std::string>;
    webCacheAnswer plain = ReadWebCacheAnswer("1.2.3.4:6346\n2.3.4.5:6346\n3.4.5.6:1");
    EXPECT_FALSE(plain.failed);
    EXPECT_EQ(hostTexts(plain), list({"1.2.3.4:6346", "2.3.4.5:6346"})) << "an unended last line is not read";

    webCacheAnswer http = ReadWebCacheAnswer("HTTP/1.0 200 OK\r\nServer: x\r\n\r\n1.2.3.4:6346\r\n");
    EXPECT_EQ(hostTexts(http), list({"1.2.3.4:6346"})) << "the carriage return ends the port";

    webCacheAnswer mixed = ReadWebCacheAnswer(
        "http://cache.example/gcache.php\r\nHTTP://Other.example:8080/x.php\n192.168.0.1:6346\nab.cd.ef.gh:1\n"
        "no colon here\n:6346\n9.9.9.9:6347\n");
    EXPECT_EQ(mixed.urls, list({"cache.example/gcache.php", "Other.example:8080/x.php"}));
    EXPECT_EQ(hostTexts(mixed), list({"9.9.9.9:6347"})) << "private, lettered and empty addresses are skipped";

    webCacheAnswer noBody = ReadWebCacheAnswer("HTTP/1.1 200 OK\r\n1.2.3.4:6346\n");
    EXPECT_FALSE(noBody.failed);
    EXPECT_TRUE(noBody.hosts.empty()) << "no blank line: nothing is read";

    webCacheAnswer longLine = ReadWebCacheAnswer("http://" + std::string(300, 'a') + "\n1.2.3.4:1\n");
    EXPECT_TRUE(longLine.urls.empty());
    EXPECT_EQ(longLine.hosts.size(), 1u);
}

TEST(WebCacheAnswer, FailuresAndRedirects) {
    EXPECT_TRUE(ReadWebCacheAnswer("HTTP/1.1 503 Busy\r\n\r\n1.2.3.4:6346\n").failed);
    EXPECT_TRUE(ReadWebCacheAnswer("<html>404 Not Found</html>").failed);
    webCacheAnswer other = ReadWebCacheAnswer("<html>hello 1.2.3.4:6346\n</html>");
    EXPECT_FALSE(other.failed);
    EXPECT_TRUE(other.hosts.empty()) << "a page is not a host list";

    webCacheAnswer moved =
        ReadWebCacheAnswer("<html><title>302 Found</title><a HREF=\"http://new.example/gc.php?x=1\">here</a>");
    EXPECT_TRUE(moved.failed);
    ASSERT_TRUE(moved.redirected);
    EXPECT_EQ(moved.redirect, "new.example/gc.php");

    webCacheAnswer unmarked = ReadWebCacheAnswer("<html>302 Found <a href=\"http://new.example/?\">");
    EXPECT_TRUE(unmarked.failed);
    EXPECT_FALSE(unmarked.redirected) << "only HREF= in capitals marks the place";
}

TEST(WebCacheAnswer, CachesAtTheNetworksOwnAddressesOrPort0AreRefused) {
    struct row {
        const char* url;
        bool refused;
    } rows[] = {
        {"cache.example/gcache.php", false},   {"cache.example:8080/x.php", false},
        {"1.2.3.4:80/g.php", false},           {"10.0.0.1/g.php", false},
        {"bad.cafe/g.php", false},             {"Cache.Example:65535/g", false},
        {"127.0.0.1:8080/g.php", true},        {"127.9.9.9/g.php", true},
        {"localhost/g.php", true},             {"LocalHost./g.php", true},
        {"cache.localhost/g.php", true},       {"0.0.0.0/g.php", true},
        {"0.1.2.3/g.php", true},               {"224.0.0.1/g.php", true},
        {"239.255.255.250:1900/g.php", true},  {"255.255.255.255/g.php", true},
        {"127.1/g.php", true},                 {"0x7f000001/g.php", true},
        {"2130706433/g.php", true},            {"1.2.3.256/g.php", true},
        {"[::1]:80/g.php", true},              {"/g.php", true},
        {"cache.example:0/g.php", true},       {"cache.example:/g.php", true},
        {"cache.example:65536/g.php", true},   {"cache.example:80x/g.php", true},
    };
    std::string answer;
    std::vector<std::string> taken;
    for (const row& r : rows) {
        EXPECT_EQ(IsRefusedCacheUrl(r.url), r.refused) << r.url;
        answer += "http://" + std::string(r.url) + "\r\n";
        if (!r.refused)
            taken.push_back(r.url);
    }
    EXPECT_EQ(ReadWebCacheAnswer(answer).urls, taken);

    webCacheAnswer home =
        ReadWebCacheAnswer("<html><title>302 Found</title><a HREF=\"http://127.0.0.1:6346/gc.php?x=1\">here</a>");
    EXPECT_TRUE(home.failed);
    EXPECT_FALSE(home.redirected) << "a redirect to the client's own machine is not followed";
}

class WebCacheTest : public linkFixture {
protected:
    void SetUp() override {
        linkFixture::SetUp();
        folder = std::make_unique<vesk::testing::tempDir>();
    }
    void TearDown() override {
        cache.reset();
        linkFixture::TearDown();
    }

    // A client whose only cache is the scripted one (or the given URLs).
    void makeClient(const std::vector<std::string>& urls) {
        cache = std::make_unique<CGWebCache>(urls, folder->path());
    }
    std::string gcachePath() const { return folder->path() + "\\gcache"; }

    // A request up to its blank line, byte by byte so nothing after it is
    // taken.
    static std::string readRequest(SOCKET s) {
        std::string request;
        while (request.find("\r\n\r\n") == std::string::npos) {
            std::vector<unsigned char> got = net::test::receiveBytes(s, 1, 10000);
            if (got.empty())
                break;
            request += static_cast<char>(got[0]);
        }
        return request;
    }

    // The scripted cache takes one exchange: reads the request, answers,
    // closes.
    static std::string serveOne(plainListener& server, const std::string& answer) {
        SOCKET s = server.acceptOne();
        if (s == INVALID_SOCKET)
            return "(no exchange)";
        std::string request = readRequest(s);
        peerSends(s, answer);
        net::test::closePlain(s);
        return request;
    }

    std::unique_ptr<vesk::testing::tempDir> folder;
    std::unique_ptr<CGWebCache> cache;
};

TEST_F(WebCacheTest, AScriptedCacheFillsTheHostCacheAndTheFileKeepsTheCachesThatServed) {
    plainListener server;
    std::string self = "127.0.0.1:" + std::to_string(server.port()) + "/gcache/gcache.php";
    std::string learned = "other.example/other.php";  // never asked here
    makeClient({self});
    cache->RequestHosts();
    EXPECT_EQ(cache->m_Connections.size(), 2u) << "fewer than 100 usable caches: hosts and caches asked";

    std::vector<std::string> requests;
    for (int i = 0; i < 2; ++i) {
        // The two exchanges may arrive in either order: each is answered by
        // what it asks for.
        SOCKET s = server.acceptOne();
        ASSERT_NE(s, INVALID_SOCKET);
        std::string request = readRequest(s);
        requests.push_back(request);
        bool hosts = request.find("hostfile") != std::string::npos;
        peerSends(s, hosts ? "1.2.3.4:6346\r\n5.6.7.8:6347\n192.168.0.1:6346\n1.2.3.4:6346\n"
                           : "HTTP/1.0 200 OK\r\n\r\nhttp://" + learned + "\r\n");
        net::test::closePlain(s);
    }
    std::sort(requests.begin(), requests.end());
    EXPECT_EQ(requests, (std::vector<std::string>{"GET /gcache/gcache.php?hostfile=1\r\n\r\n",
                                                  "GET /gcache/gcache.php?urlfile=1\r\n\r\n"}));
    ASSERT_TRUE(net::test::waitFor([&] {
        cache->PollConnections();
        return cache->m_Connections.empty();
    }));

    EXPECT_EQ(CachedHosts(10).size(), 2u);
    EXPECT_EQ(g_HostCatcher.count("1.2.3.4:6346"), 1u);
    EXPECT_EQ(g_HostCatcher.count("5.6.7.8:6347"), 1u);
    EXPECT_EQ(recorded("IGnutellaHostDockWnd::UpdateCatch").size(), 2u);
    EXPECT_EQ(cache->m_Hosts.at(self).m_NewHosts, 2u) << "a host already cached is not counted";
    ASSERT_EQ(cache->m_Hosts.count(learned), 1u) << "the carriage return is not part of the URL";

    ASSERT_EQ(cache->SaveCacheFile(), 0);
    EXPECT_EQ(vesk::testing::readFile(gcachePath()), self + "\r\r\n" + learned + "\r\r\n")
        << "most new hosts first; each line written as text";
}

TEST_F(WebCacheTest, AnAnswerOf64KiBKeepsTheHostCacheWithinItsBoundAndShowsOnlyTheHostsKept) {
    g_Settings.m_MaxHostCatcher = 50;
    for (unsigned short port = 1; port <= 10; ++port)
        cacheHost("127.0.0.1", port);  // older than anything the answer brings
    plainListener server;
    std::string self = "127.0.0.1:" + std::to_string(server.port()) + "/gcache.php";
    makeClient({self});
    cache->m_UrlLimit = 1;  // hosts only
    std::string answer, last;
    for (unsigned i = 0; answer.size() + 16 <= webAnswerLimit; ++i) {
        last = "11." + std::to_string(i / 250 % 250 + 1) + "." + std::to_string(i % 250 + 1) + ".7:6346";
        answer += last + "\n";
    }
    cache->RequestHosts();
    EXPECT_EQ(serveOne(server, answer), "GET /gcache.php?hostfile=1\r\n\r\n");
    ASSERT_TRUE(net::test::waitFor([&] {
        cache->PollConnections();
        return cache->m_Connections.empty();
    }));

    EXPECT_EQ(CachedHosts(100000).size(), 50u);
    EXPECT_EQ(g_HostCatcher.count(last), 1u) << "the newest hosts are kept";
    EXPECT_EQ(g_HostCatcher.count("127.0.0.1:1"), 0u) << "the oldest gave way";
    EXPECT_EQ(recorded("IGnutellaHostDockWnd::UpdateCatch").size(), 50u) << "no row for a host that did not stay";
    EXPECT_EQ(recorded("IGnutellaHostDockWnd::RemoveCatch").size(), 10u);
    EXPECT_EQ(cache->m_Hosts.at(self).m_NewHosts, 50u);
}

TEST_F(WebCacheTest, AnswersListingThousandsOfCachesGrowTheListToItsBoundOnly) {
    plainListener server;
    std::string self = "127.0.0.1:" + std::to_string(server.port()) + "/gcache.php";
    makeClient({self});
    std::string answer = "HTTP/1.0 200 OK\r\n\r\n";
    for (unsigned i = 0; answer.size() + 40 <= webAnswerLimit; ++i)
        answer += "http://c" + std::to_string(i) + ".example/gcache.php\r\n";
    cache->RequestHosts();  // asks for hosts and for caches
    for (int i = 0; i < 2; ++i)
        serveOne(server, answer);
    ASSERT_TRUE(net::test::waitFor([&] {
        cache->PollConnections();
        return cache->m_Connections.empty();
    }));
    EXPECT_EQ(cache->m_Hosts.size(), webCacheListLimit);
    EXPECT_EQ(cache->m_Hosts.count("c0.example/gcache.php"), 1u) << "the first listed are taken";
    cache->AddURL("late.example/gcache.php");
    EXPECT_EQ(cache->m_Hosts.size(), webCacheListLimit);
    ASSERT_EQ(cache->SaveCacheFile(), 0);
    std::string text = vesk::testing::readFile(gcachePath());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 101) << "the file keeps its 101";
}

TEST_F(WebCacheTest, AnExchangeNotAnsweredWithin2000MsIsDroppedUnread) {
    plainListener server;
    std::string self = "127.0.0.1:" + std::to_string(server.port()) + "/gcache.php";
    makeClient({self});
    cache->m_UrlLimit = 1;  // hosts only
    cache->RequestHosts();
    ASSERT_EQ(cache->m_Connections.size(), 1u);
    SOCKET s = server.acceptOne();
    ASSERT_NE(s, INVALID_SOCKET);
    advance(2000);
    cache->PollConnections();
    EXPECT_EQ(cache->m_Connections.size(), 1u) << "2000 ms are allowed";
    advance(1);
    cache->PollConnections();
    EXPECT_TRUE(cache->m_Connections.empty());
    peerSends(s, "1.2.3.4:6346\n");  // too late
    net::test::closePlain(s);
    EXPECT_TRUE(HostCatcherEmpty());
    EXPECT_EQ(cache->m_Hosts.at(self).m_Failures, 0u) << "a time-out does not count against the cache";
}

TEST_F(WebCacheTest, AFailingCacheIsNeitherAskedAgainNorSaved) {
    plainListener server;
    std::string self = "127.0.0.1:" + std::to_string(server.port()) + "/gcache.php";
    makeClient({self});
    cache->m_UrlLimit = 1;
    cache->RequestHosts();
    EXPECT_EQ(serveOne(server, "HTTP/1.1 503 Busy\r\n\r\n"), "GET /gcache.php?hostfile=1\r\n\r\n");
    ASSERT_TRUE(net::test::waitFor([&] {
        cache->PollConnections();
        return cache->m_Connections.empty();
    }));
    EXPECT_EQ(cache->m_Hosts.at(self).m_Failures, 1u);
    cache->RequestHosts();
    EXPECT_TRUE(cache->m_Connections.empty());
    cache->SaveCacheFile();
    EXPECT_EQ(vesk::testing::readFile(gcachePath()), "");
}

TEST_F(WebCacheTest, AskingIsBoundedByOpenExchangesAndTheUrlLimit) {
    unsigned short closed = net::test::freePort();  // dials fail: nothing listens
    std::string url = "127.0.0.1:" + std::to_string(closed) + "/gcache.php";
    makeClient({url});
    for (int i = 0; i < 3; ++i)
        cache->RequestHosts();
    EXPECT_EQ(cache->m_Connections.size(), 6u);
    cache->RequestHosts();
    EXPECT_EQ(cache->m_Connections.size(), 6u) << "more than 5 open: nothing more";
    cache->EndExchanges();

    for (int i = 0; i < 99; ++i)
        cache->AddURL("127.0.0.1:" + std::to_string(closed) + "/c" + std::to_string(i) + ".php");
    cache->RequestHosts();
    EXPECT_EQ(cache->m_Connections.size(), 1u) << "100 usable caches: hosts only";
    cache->EndExchanges();

    for (auto& entry : cache->m_Hosts)
        entry.second.m_Failures = 1;
    cache->RequestHosts();
    EXPECT_TRUE(cache->m_Connections.empty());
}

TEST_F(WebCacheTest, TheFileIsReadAsWordsAndWrittenBestFirstUpTo101) {
    ASSERT_TRUE(vesk::testing::writeFile(gcachePath(), "a.example/g.php\r\n  HTTP://a.example/g.php\tb.example:81/x.php\n" +
                                                           std::string(300, 'c') + " d.example/y.php"));
    makeClient({});
    std::vector<std::string> urls;
    for (auto& entry : cache->m_Hosts)
        urls.push_back(entry.first);
    EXPECT_EQ(urls, (std::vector<std::string>{"a.example/g.php", "b.example:81/x.php", "d.example/y.php"}));

    for (int i = 0; i < 150; ++i) {
        std::string url = "h" + std::to_string(1000 + i) + ".example/g.php";
        cache->AddURL(url);
        cache->m_Hosts.at(url).m_NewHosts = static_cast<std::uint32_t>(i);
    }
    ASSERT_EQ(cache->SaveCacheFile(), 0);
    std::string text = vesk::testing::readFile(gcachePath());
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = text.find("\r\r\n", at)) != std::string::npos; at += 3)
        ++lines;
    EXPECT_EQ(lines, 101u);
    EXPECT_EQ(text.rfind("h1149.example/g.php\r\r\n", 0), 0u) << "the most new hosts first";
    EXPECT_EQ(text.find("h1048.example"), std::string::npos) << "the 101 best only";
    EXPECT_NE(text.find("h1049.example"), std::string::npos);
}

// A cache that answers and then resets the connection: its end is told at
// once, and the answer that came before it is still read.
TEST_F(WebCacheTest, AnAnswerThatCameBeforeAResetIsRead) {
    plainListener server;
    std::string self = "127.0.0.1:" + std::to_string(server.port()) + "/gcache.php";
    makeClient({self});
    cache->m_UrlLimit = 1;  // hosts only
    cache->RequestHosts();
    SOCKET s = server.acceptOne();
    ASSERT_NE(s, INVALID_SOCKET);
    readRequest(s);
    peerSends(s, "1.2.3.4:6346\n5.6.7.8:6347\n");
    Sleep(200);
    linger reset{1, 0};
    setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&reset), sizeof reset);
    net::test::closePlain(s);
    Sleep(500);  // the reset is seen before the client looks
    ASSERT_TRUE(net::test::waitFor([&] {
        cache->PollConnections();
        return cache->m_Connections.empty();
    }));
    EXPECT_EQ(g_HostCatcher.count("1.2.3.4:6346"), 1u);
    EXPECT_EQ(g_HostCatcher.count("5.6.7.8:6347"), 1u);
}

TEST_F(WebCacheTest, SplittingAUrlGivesHostPortAndPath) {
    CGWebHost plain("cache.example/gcache/gcache.php"), ported("cache.example:8080/x.php"), bare("cache.example");
    ASSERT_EQ(plain.SplitURL(), 1);
    EXPECT_EQ(plain.m_Host, "cache.example");
    EXPECT_EQ(plain.m_Port, 80);
    EXPECT_EQ(plain.m_Path, "/gcache/gcache.php");
    ASSERT_EQ(ported.SplitURL(), 1);
    EXPECT_EQ(ported.m_Host, "cache.example");
    EXPECT_EQ(ported.m_Port, 8080);
    EXPECT_EQ(bare.SplitURL(), 0);
    EXPECT_EQ(bare.RequestText("?hostfile=1"), "") << "no path: no request";
    CGWebHost longPath("cache.example/" + std::string(240, 'p'));
    EXPECT_EQ(longPath.RequestText("?hostfile=1"), "") << "a request fits 260 bytes";
}

}  // namespace
}  // namespace vesk::gnutella::test
