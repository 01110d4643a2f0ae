// Cutting a link's byte stream into descriptors: whole, split, joined and
// garbage streams over a fake link, the header rules, and the garbage that
// drops a link.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugins/gnutella/CGnutellaPacket.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/framing.h"
#include "plugins/gnutella/readDescriptors.h"
#include "plugins/gnutella/tests/trafficFixture.h"

namespace vesk::gnutella::test {
namespace {

std::vector<bytes> handled;

int recordDescriptor(CGnutellaHost*, CGnutellaPacket*, const unsigned char* b, std::size_t n) {
    handled.emplace_back(b, b + n);
    return 1;
}

bytes ping(unsigned char fill = 0x11, unsigned char ttl = 5) {
    return descriptorOf(guidOf(fill), function::ping, ttl, 0, {});
}
bytes query(unsigned char fill = 0x22) {
    return descriptorOf(guidOf(fill), function::query, 5, 1, queryPayload("abc"));
}
// A hit whose payload is all 0xFF: no valid header anywhere inside it.
bytes opaqueHit(unsigned char fill = 0x33) {
    return descriptorOf(guidOf(fill), function::queryHit, 5, 1, bytes(40, 0xFF));
}
// Bytes in which no descriptor can start (0xFF is no function code).
bytes garbage(std::size_t n, unsigned char hopsByte = 0xFF) {
    bytes g(n, 0xFF);
    if (n > header::hops)
        g[header::hops] = hopsByte;
    return g;
}
bytes slice(const bytes& b, std::size_t from, std::size_t to) {
    return bytes(b.begin() + from, b.begin() + to);
}
bytes withLength(bytes d, std::uint32_t payloadLength) {
    WriteLe32(d.data() + header::payloadLength, payloadLength);
    d.resize(descriptorHeaderSize + payloadLength);
    return d;
}

class Framing : public trafficFixture {
protected:
    void SetUp() override {
        trafficFixture::SetUp();
        handled.clear();
        link = addPeer("1.2.3.4");
    }
    // Reads until the link has handed out everything (one descriptor a call).
    int readAll() {
        int calls = 0;
        while ((link.link->hasIncoming() || !link.host->m_Framing.leftover.Empty()) && calls < 1000) {
            ++calls;
            if (ReadDescriptors(link.host, &recordDescriptor) == 1)
                return 1;
        }
        return 0;
    }
    peer link{};
};

TEST_F(Framing, StreamsAreCutIntoTheDescriptorsTheyCarry) {
    bytes p = ping(), q = query(), h = opaqueHit();
    // A hit whose payload begins with what reads as a valid ping header.
    bytes disguised = descriptorOf(guidOf(0x44), function::queryHit, 5, 1, joined({ping(0x55), bytes(20, 0xEE)}));
    // TTL above Gnutella_MaxTTLAllowed (20); longer than a header, so that
    // it is looked at behind another descriptor.
    bytes tooHigh = descriptorOf(guidOf(0x66), function::query, 30, 1, queryPayload("abc"));
    struct row {
        const char* name;
        std::vector<bytes> chunks;
        std::vector<bytes> expected;
        std::uint32_t garbage;
    } rows[] = {
        {"whole", {p}, {p}, 0},
        {"header split", {slice(q, 0, 10), slice(q, 10, q.size())}, {q}, 0},
        {"payload split", {slice(q, 0, 25), slice(q, 25, q.size())}, {q}, 0},
        {"byte by byte", {}, {q}, 0},
        {"three joined", {joined({p, q, h})}, {p, q, h}, 0},
        {"joined across chunks", {joined({p, slice(q, 0, 5)}), joined({slice(q, 5, q.size()), h})}, {p, q, h}, 0},
        {"second piece without a header", {slice(h, 0, 30), slice(h, 30, h.size())}, {h}, 0},
        {"second piece that reads as a header", {slice(disguised, 0, 23), slice(disguised, 23, disguised.size())},
         {disguised}, 0},
        {"garbage in front", {joined({garbage(40), p, q})}, {p, q}, 0},
        {"garbage alone", {garbage(40)}, {}, 1},
        {"exactly one invalid header", {garbage(23)}, {}, 1},
        {"a header that follows with a TTL too high", {joined({p, tooHigh})}, {tooHigh}, 0},
        {"a TTL too high at the start", {tooHigh}, {tooHigh}, 0},
        // 23 bytes behind a descriptor are not looked at with it, only after.
        {"23 bytes of garbage behind", {joined({p, garbage(23)})}, {p}, 1},
        {"a short descriptor behind", {joined({p, withLength(query(), 2)})}, {}, 1},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        handled.clear();
        link.host->m_GarbageCount = 0;
        std::vector<bytes> chunks = r.chunks;
        if (chunks.empty())
            for (unsigned char c : q)
                chunks.push_back({c});
        for (const bytes& c : chunks)
            link.link->deliver(c);
        EXPECT_EQ(readAll(), 0);
        EXPECT_EQ(handled, r.expected);
        EXPECT_EQ(link.host->m_GarbageCount, r.garbage);
        EXPECT_TRUE(link.host->m_Framing.partial.empty());
    }
}

TEST_F(Framing, OneDescriptorPerCallAndTheRestWithoutReceiving) {
    link.link->deliver(joined({ping(), query()}));
    EXPECT_EQ(ReadDescriptors(link.host, &recordDescriptor), 0);
    EXPECT_EQ(handled.size(), 1u);
    EXPECT_FALSE(link.link->hasIncoming());
    link.link->deliver(ping(0x77));
    EXPECT_EQ(ReadDescriptors(link.host, &recordDescriptor), 0);
    ASSERT_EQ(handled.size(), 2u);
    EXPECT_EQ(handled[1], query()) << "the bytes held back come before newly received ones";
}

TEST_F(Framing, WrongPayloadLengthsAreInvalidAtTheStartAndBehindAnother) {
    struct row {
        unsigned char functionCode;
        std::uint32_t length;
    } rows[] = {{function::query, 2},    {function::query, 258},  {function::pong, 13},
                {function::pong, 4097},  {function::push, 25},    {function::push, 27},
                {function::ping, 4097},  {function::queryHit, 10}};
    for (const row& r : rows) {
        bytes bad = descriptorOf(guidOf(0x12), r.functionCode, 5, 0, bytes(r.length, 0));
        EXPECT_EQ(CheckDescriptorFrame(bad.data(), bad.size(), 20), -1) << int(r.functionCode) << "/" << r.length;
        EXPECT_EQ(CheckDescriptorHeader(bad.data(), 20), -1) << int(r.functionCode) << "/" << r.length;
        bytes pair = joined({ping(), bad});
        EXPECT_EQ(CheckDescriptorFrame(pair.data(), pair.size(), 20), -1) << int(r.functionCode) << "/" << r.length;
    }
    bytes atLimits = joined({query(), descriptorOf(guidOf(1), function::queryHit, 20, 20, bytes(11, 0))});
    EXPECT_EQ(CheckDescriptorFrame(atLimits.data(), atLimits.size(), 20), 0);
    // Extension blocks of current servents, up to a bound.
    for (std::uint32_t length : {1u, 7u, 4096u}) {
        bytes extended = joined({descriptorOf(guidOf(2), function::ping, 1, 0, bytes(length, 0xC3)), ping()});
        EXPECT_EQ(CheckDescriptorFrame(extended.data(), extended.size(), 20), 0) << "ping " << length;
    }
    for (std::uint32_t length : {15u, 18u, 41u, 4096u}) {
        bytes extended = joined({ping(), descriptorOf(guidOf(3), function::pong, 1, 0, bytes(length, 0xC3))});
        EXPECT_EQ(CheckDescriptorFrame(extended.data(), extended.size(), 20), 0) << "pong " << length;
    }
}

TEST_F(Framing, TooMuchGarbageDropsTheLink) {
    struct row {
        const char* name;
        unsigned char hopsByte;
        int chunksBeforeDrop;
    } rows[] = {{"garbage", 0xFF, 120}, {"garbage with a zero hops byte", 0, 10}};
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        peer other = addPeer("2.3.4.5");
        for (int i = 0; i < r.chunksBeforeDrop; ++i) {
            other.link->deliver(garbage(30, r.hopsByte));
            ASSERT_EQ(ReadDescriptors(other.host, &recordDescriptor), 0) << "chunk " << i + 1;
        }
        EXPECT_EQ(other.host->m_DroppedCount, static_cast<std::uint32_t>(r.chunksBeforeDrop));
        other.link->deliver(garbage(30, r.hopsByte));
        EXPECT_EQ(ReadDescriptors(other.host, &recordDescriptor), 1);
        std::vector<std::string> events = other.link->events();
        ASSERT_GE(events.size(), 3u);
        EXPECT_EQ(std::vector<std::string>(events.end() - 3, events.end()),
                  (std::vector<std::string>{"close", "shutdown", "release link"}));
    }
    EXPECT_TRUE(handled.empty());
}

TEST_F(Framing, AClosedLinkIsDoneOnceItsBytesAreRead) {
    link.link->deliver(joined({ping(), ping(0x12)}));
    link.link->statusValue = net::status::idle;
    EXPECT_EQ(ReadDescriptors(link.host, &recordDescriptor), 0);
    EXPECT_EQ(ReadDescriptors(link.host, &recordDescriptor), 0);
    EXPECT_EQ(handled.size(), 2u);
    EXPECT_EQ(ReadDescriptors(link.host, &recordDescriptor), 1);
    link.link->statusValue = net::status::connected;
    EXPECT_EQ(ReadDescriptors(link.host, &recordDescriptor), 0) << "connected with nothing new: it stays";
}

int failing(CGnutellaHost*, CGnutellaPacket*, const unsigned char*, std::size_t) {
    throw std::runtime_error("handling failed");
}

TEST_F(Framing, AFailureInHandlingIsLoggedAndTheSixthClosesTheLink) {
    bytes q = query();
    for (int i = 1; i <= 6; ++i) {
        link.link->deliver(joined({q, slice(ping(), 0, 10)}));
        link.host->m_Framing.partial = {1, 2, 3};
        EXPECT_EQ(ReadDescriptors(link.host, &failing), 0);
        EXPECT_TRUE(link.host->m_Framing.leftover.Empty());
        EXPECT_TRUE(link.host->m_Framing.partial.empty());
        bool closed = !link.link->events().empty() && link.link->events().back() == "close";
        EXPECT_EQ(closed, i == 6) << "failure " << i;
    }
    std::vector<std::string> lines = log->lines();
    ASSERT_FALSE(lines.empty());
    // The descriptor as text up to its first zero byte (in the payload
    // length), control characters as dots.
    std::string expected = "Exception thrown in handle_packet() - packet size: 29 Data Dump: \r\n" +
                           std::string(16, '"') + "\x80...\r\n";
    EXPECT_EQ(lines.back(), expected);
}

}  // namespace
}  // namespace vesk::gnutella::test
