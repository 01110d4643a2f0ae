// Reading what peers send in a handshake and building this node's answer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugins/gnutella/handshakeText.h"

namespace vesk::gnutella::test {
namespace {

TEST(HandshakeText, APeersConnectGivesItsVersionAndUserAgent) {
    const std::string longLine = "GNUTELLA CONNECT/0.6\r\nX-Long: " + std::string(handshakeLineLimit, 'x') + "\r\n\r\n";
    struct row {
        std::string text;
        bool good;
        std::uint32_t major, minor;
        const char* agent;  // null: none
    } rows[] = {
        {"GNUTELLA CONNECT/0.6\r\nUser-Agent:   Peer/1.0\r\n\r\n", true, 0, 6, "Peer/1.0"},
        {"gnutella connect/0.7\r\n\r\n", true, 0, 7, nullptr},
        {"GNUTELLA CONNECT/1.0\r\nuser-agent: lower\r\n\r\n", true, 1, 0, nullptr},
        {"GNUTELLA CONNECT/0.4\r\n\r\n", true, 0, 4, nullptr},
        {"GNUTELLA CONNECT/0.6\r\nUser-Agent: " + std::string(200, 'a') + "\r\n\r\n", true, 0, 6, ""},
        {"GNUTELLA CONNECT/0.6\r\nUser-Agent: x\r\n", false, 0, 0, nullptr},  // no blank line
        {"GNUTELLA CONNECT/06\r\n\r\n", false, 0, 0, nullptr},
        {"GNUTELLA CONNECT/0.6", false, 0, 0, nullptr},
        {"GNUTELLA CONNECT/12345678901234567890.6\r\n\r\n", false, 0, 0, nullptr},
        {"GNUTELLA CONNECT/0.12345678901234567890\r\n\r\n", false, 0, 0, nullptr},
        {longLine, false, 0, 0, nullptr},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.text.substr(0, 60));
        connectRequest request;
        ASSERT_EQ(ParseConnect06(r.text, 99, request), r.good);
        if (!r.good)
            continue;
        EXPECT_EQ(request.version.major, r.major);
        EXPECT_EQ(request.version.minor, r.minor);
        EXPECT_EQ(request.hasUserAgent, r.agent != nullptr);
        if (r.agent) {
            std::string expected = *r.agent ? std::string(r.agent) : std::string(99, 'a');  // "": cut to the field
            EXPECT_EQ(request.userAgent, expected);
        }
    }
}

TEST(HandshakeText, TheAnswerNeverOffersAVersionAbove06) {
    struct row {
        protocolVersion peer, answer;
    } rows[] = {{{0, 7}, {0, 6}}, {{1, 0}, {0, 6}}, {{0, 5}, {0, 5}}, {{0, 6}, {0, 6}}, {{0, 4}, {0, 4}}};
    for (const row& r : rows) {
        protocolVersion v = AnswerVersion(r.peer);
        EXPECT_EQ(v.major, r.answer.major);
        EXPECT_EQ(v.minor, r.answer.minor);
    }
}

TEST(HandshakeText, AnswersAreExactWithEveryOfferedHostEndingInAComma) {
    EXPECT_EQ(Answer06({0, 5}, false, "1.2.3.4", {{"5.6.7.8", 6346}}),
              "GNUTELLA/0.5 200 OK\r\nUser-Agent: Pelloran v3.1.3\r\nPong-Caching: 0.1\r\nHops-Flow: 1.0\r\n"
              "Remote-IP: 1.2.3.4\r\n\r\n")
        << "hosts are offered only when busy";
    EXPECT_EQ(Answer06({0, 6}, true, "1.2.3.4", {{"5.6.7.8", 6346}, {"9.8.7.6", 1}}),
              "GNUTELLA/0.6 503 BUSY\r\nUser-Agent: Pelloran v3.1.3\r\nPong-Caching: 0.1\r\nHops-Flow: 1.0\r\n"
              "Remote-IP: 1.2.3.4\r\nX-Try: 5.6.7.8:6346,9.8.7.6:1,\r\n\r\n");
}

TEST(HandshakeText, XTryEntriesAreTakenUpToTheLastCommaOfTheirLine) {
    auto hosts = [](const std::string& text) {
        std::vector<std::string> out;
        for (const hostAddress& h : ParseXTry(text))
            out.push_back(h.address + ":" + std::to_string(h.port));
        return out;
    };
    using list = std::vector<std::string>;
    const std::string head = "GNUTELLA/0.6 503 Busy\r\n";
    EXPECT_EQ(hosts(head + "X-Try: 1.2.3.4:6346,5.6.7.8:6347\r\n\r\n"), list({"1.2.3.4:6346"}));
    EXPECT_EQ(hosts(head + "X-Try: 1.2.3.4:6346,5.6.7.8:6347,\r\n\r\n"), list({"1.2.3.4:6346", "5.6.7.8:6347"}));
    EXPECT_EQ(hosts(head + "X-Try: 1.2.3.4:6346, 5.6.7.8:6347, 9.9.9.9:1,\r\n\r\n"), list({"1.2.3.4:6346"}))
        << "an entry after a comma and a blank begins with the blank";
    EXPECT_EQ(hosts(head + "X-Try: 10.1.1.1:1,192.168.1.1:1,127.0.0.1:1,172.20.0.1:1,\r\n\r\n"), list());
    EXPECT_EQ(hosts(head + "X-Try: a.b.c.d:1,1.2.3.4,:6346,1.2.3.4:x,\r\n\r\n"), list({"1.2.3.4:0"}));
    EXPECT_EQ(hosts(head + "X-Try: 1.2.3.4:6346\r\nOther: 5.6.7.8:1,\r\n\r\n"), list())
        << "the list ends with its line";
    EXPECT_EQ(hosts(head + "X-Try: " + std::string(300, '1') + ":1,2.3.4.5:1,\r\n\r\n"), list({"2.3.4.5:1"}))
        << "an over-long entry is skipped";
    EXPECT_EQ(hosts(head + "X-Try: " + std::string(handshakeLineLimit, '1') + ",2.3.4.5:1,\r\n\r\n"), list())
        << "an over-long line is not read";
    EXPECT_EQ(hosts(head + "\r\n"), list());
}

TEST(HandshakeText, OnlyA200AnswerAcceptsThisNodesConnect) {
    struct row {
        const char* text;
        connectAnswer answer;
    } rows[] = {
        {"GNUTELLA/0.6 200 OK\r\n\r\n", connectAnswer::accepted},
        {"GNUTELLA/0.6 200\r\n\r\n", connectAnswer::accepted},
        {"GNUTELLA/0.6 200", connectAnswer::accepted},
        {"GNUTELLA/0.6 503 Busy\r\n\r\n", connectAnswer::refused},
        {"GNUTELLA/0.6 403 Normal nodes refused\r\n\r\n", connectAnswer::refused},
        {"GNUTELLA/0.6 2000 OK\r\n\r\n", connectAnswer::refused},
        {"GNUTELLA/0.6 20", connectAnswer::refused},
        {"GNUTELLA/0.6", connectAnswer::refused},
        {"gnutella/0.6 200 OK\r\n\r\n", connectAnswer::noHandshake},
        {"HTTP/1.1 200 OK\r\n\r\n", connectAnswer::noHandshake},
        {"", connectAnswer::noHandshake},
    };
    for (const row& r : rows)
        EXPECT_EQ(ReadConnectAnswer(r.text), r.answer) << r.text;
}

TEST(HandshakeText, APeersFinalReplyIsAVersionedOkOrA06Status200) {
    struct row {
        const char* text;
        bool good;
        std::uint32_t major, minor;
    } rows[] = {
        {"GNUTELLA/0.6 200 OK\r\n\r\n", true, 0, 6},    {"gnutella/0.6 200 ok\r\n\r\n", true, 0, 6},
        {"gnutella/0.6 503 No\r\n\r\n", false, 0, 0},   {"GNUTELLA/0.6 403 Refused\r\n\r\n", false, 0, 0},
        {"GNUTELLA OK/0.7\r\n\r\n", true, 0, 7},        {"Gnutella ok/1.2\r\n", true, 1, 2},
        {"GNUTELLA OK/07\r\n", false, 0, 0},            {"GNUTELLA OK/0.7", false, 0, 0},
        {"GNUTELLA OK\n\n", false, 0, 0},               {"HTTP/1.1 200 OK\r\n\r\n", false, 0, 0},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.text);
        protocolVersion v;
        ASSERT_EQ(ParseFinalReply(r.text, v), r.good);
        if (r.good) {
            EXPECT_EQ(v.major, r.major);
            EXPECT_EQ(v.minor, r.minor);
        }
    }
}

TEST(HandshakeText, AMessageEndsBehindItsFirstEmptyLine) {
    struct row {
        std::string bytes;
        std::size_t end;
    };
    const row rows[] = {
        {"GNUTELLA/0.6 200 OK\r\n\r\n", 23},
        {std::string("GNUTELLA/0.6 200 OK\r\n\r\n\x01\x02\0\x03", 27), 23},
        {"GNUTELLA CONNECT/0.4\n\nrest", 22},
        {"A\r\nB: c\r\n\r\nD\r\n\r\n", 11},
        {"GNUTELLA/0.6 200 OK\r\n", 0},
        {"GNUTELLA/0.6 200 OK\r\n\r", 0},
        {"", 0},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.bytes);
        EXPECT_EQ(HandshakeMessageEnd(reinterpret_cast<const unsigned char*>(r.bytes.data()), r.bytes.size()), r.end);
    }
    EXPECT_EQ(HandshakeMessageEnd(nullptr, 5), 0u);
}

TEST(HandshakeText, ReceivedTextEndsAtItsFirstZeroByteOrItsLength) {
    const unsigned char bytes[] = {'a', 'b', 0, 'c'};
    EXPECT_EQ(ReceivedText(bytes, 4), "ab");
    EXPECT_EQ(ReceivedText(bytes, 1), "a");
    EXPECT_EQ(ReceivedText(nullptr, 4), "");
}

}  // namespace
}  // namespace vesk::gnutella::test
