// The descriptor header, the module's marked identifiers, Query building and
// the copy of a buffered descriptor.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "extern/net/CNetDataBuffer.h"
#include "plugins/gnutella/CGnutellaPacket.h"
#include "plugins/gnutella/CGnutellaSearch.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/tests/gnutellaFixture.h"

namespace vesk::gnutella::test {
namespace {

using bytes = std::vector<unsigned char>;

TEST(Descriptors, ChecksumIsTheComplementedOnesComplementSumOfLittleEndianWords) {
    struct row {
        bytes in;
        std::uint16_t sum;
    } rows[] = {
        {{0x01, 0x02, 0x03, 0x04, 0x05, 0x06}, 0xF3F6},  // 0x0201 + 0x0403 + 0x0605, complemented
        {{0x01, 0x02, 0x03}, 0xFDFB},                    // an odd last byte is added as a number
        {{0xFF, 0xFF, 0xFF, 0xFF}, 0x0000},              // the carry is folded back in
        {{}, 0xFFFF},
    };
    for (const row& r : rows)
        EXPECT_EQ(Checksum16(r.in.data(), r.in.size()), r.sum);
}

TEST(Descriptors, AMarkedIdentifierCarriesTheGuidTextsDigitsAndItsCheckValue) {
    unsigned char id[16] = {};
    ASSERT_EQ(MarkGuidText("{1234ABCD-56EF-0000-1111-222233334444}", id), 0);
    // Check value over "1234AB": 0x3231 + 0x3433 + 0x4241 = 0xA8A5, complemented 0x575A.
    bytes expected = {0x5A, 0x57, '1', '2', '3', '4', 'A', 'B', 'C', 'D', '5', '6', 'E', 'F', 1, 0};
    EXPECT_EQ(bytes(id, id + 16), expected);
    EXPECT_TRUE(IsMarkedGuid(id));
    EXPECT_EQ(MarkGuidText("{1234}", id), -1);
}

TEST(Descriptors, NewIdentifiersAreMarkedAndTheMarkCoversBytesTwoToSeven) {
    unsigned char a[16], b[16];
    ASSERT_EQ(NewMessageGuid(a), 0);
    ASSERT_EQ(NewMessageGuid(b), 0);
    EXPECT_NE(bytes(a, a + 16), bytes(b, b + 16));
    for (int i = 2; i < 14; ++i)
        EXPECT_TRUE((a[i] >= '0' && a[i] <= '9') || (a[i] >= 'A' && a[i] <= 'F')) << i;
    EXPECT_EQ(a[14], 1);
    EXPECT_EQ(a[15], 0);
    EXPECT_TRUE(IsMarkedGuid(a));
    for (int i = 2; i < 8; ++i) {
        unsigned char changed[16];
        std::copy(a, a + 16, changed);
        changed[i] ^= 0x01;
        EXPECT_FALSE(IsMarkedGuid(changed)) << "byte " << i;
    }
    // Bytes 8 to 15 are not covered.
    a[12] ^= 0x01;
    a[14] = 7;
    EXPECT_TRUE(IsMarkedGuid(a));
    EXPECT_EQ(NewMessageGuid(nullptr), -1);
}

TEST(Descriptors, TheHeaderIsWrittenLittleEndianAndOnlyForTheFiveFunctions) {
    unsigned char id[16];
    for (int i = 0; i < 16; ++i)
        id[i] = static_cast<unsigned char>(i);
    unsigned char out[descriptorHeaderSize];
    ASSERT_EQ(WriteDescriptorHeader(out, id, function::queryHit, 7, 2, 0x01020304), 0);
    bytes expected(id, id + 16);
    for (unsigned char b : {0x81, 7, 2, 0x04, 0x03, 0x02, 0x01})
        expected.push_back(b);
    EXPECT_EQ(bytes(out, out + sizeof out), expected);

    unsigned char untouched[descriptorHeaderSize];
    std::fill(untouched, untouched + sizeof untouched, 0xEE);
    EXPECT_EQ(WriteDescriptorHeader(untouched, id, 0x02, 7, 0, 0), -1);
    EXPECT_EQ(bytes(untouched, untouched + sizeof untouched), bytes(sizeof untouched, 0xEE));
    EXPECT_EQ(WriteDescriptorHeader(nullptr, id, function::ping, 7, 0, 0), -1);

    ASSERT_EQ(WriteDescriptorHeader(out, nullptr, function::ping, 1, 0, 0), 0);
    EXPECT_TRUE(IsMarkedGuid(out)) << "no identifier given: a new marked one";
}

TEST(Descriptors, AQueryForAbcIs29BytesWithPayload6) {
    unsigned char id[16];
    ASSERT_EQ(NewMessageGuid(id), 0);
    bytes q = QueryDescriptor(id, "abc", 0x1234, 5);
    ASSERT_EQ(q.size(), 29u);
    EXPECT_EQ(bytes(q.begin(), q.begin() + 16), bytes(id, id + 16));
    EXPECT_EQ(q[16], 0x80);
    EXPECT_EQ(q[17], 5);  // TTL
    EXPECT_EQ(q[18], 0);  // hops
    EXPECT_EQ(bytes(q.begin() + 19, q.begin() + 23), (bytes{6, 0, 0, 0}));
    EXPECT_EQ(bytes(q.begin() + 23, q.end()), (bytes{0x34, 0x12, 'a', 'b', 'c', 0}));
}

// A whole descriptor of the function with a payload of n bytes 0, 1, 2...
bytes descriptor(unsigned char functionCode, std::size_t n) {
    bytes d(descriptorHeaderSize + n);
    WriteDescriptorHeader(d.data(), nullptr, functionCode, 7, 0, static_cast<std::uint32_t>(n));
    for (std::size_t i = 0; i < n; ++i)
        d[descriptorHeaderSize + i] = static_cast<unsigned char>(i);
    return d;
}

bytes counting(std::size_t from, std::size_t n) {
    bytes b;
    for (std::size_t i = 0; i < n; ++i)
        b.push_back(static_cast<unsigned char>(from + i));
    return b;
}

TEST(Descriptors, ACopiedPacketKeepsThePayloadItsFunctionNeeds) {
    struct row {
        unsigned char functionCode;
        std::size_t payload;
        bytes kept;
    } rows[] = {
        {function::ping, 5, {}},
        {function::pong, 14, counting(0, 14)},
        {function::pong, 10, counting(0, 10)},  // fewer when fewer are there
        {function::push, 30, counting(0, 26)},
        {function::query, 300, counting(0, 258)},
        {function::query, 6, counting(0, 6)},
    };
    for (const row& r : rows) {
        bytes d = descriptor(r.functionCode, r.payload);
        std::unique_ptr<CGnutellaPacket> p(ClonePacketBytes(d.data(), d.size()));
        ASSERT_TRUE(p) << int(r.functionCode);
        EXPECT_EQ(bytes(p->m_Header, p->m_Header + descriptorHeaderSize), bytes(d.begin(), d.begin() + 23));
        EXPECT_EQ(p->m_Payload, r.kept) << int(r.functionCode) << " " << r.payload;
        EXPECT_EQ(p->PayloadLength(), r.payload);
    }
}

TEST(Descriptors, ACopiedQueryHitKeepsItsHeadAndItsServentIdentifier) {
    bytes d = descriptor(function::queryHit, 60);
    std::unique_ptr<CGnutellaPacket> p(ClonePacketBytes(d.data(), d.size()));
    ASSERT_TRUE(p);
    bytes expected = counting(0, 11);
    bytes tail = counting(44, 16);  // the last 16 of the 60 payload bytes
    expected.insert(expected.end(), tail.begin(), tail.end());
    EXPECT_EQ(p->m_Payload, expected);

    bytes shortHit = descriptor(function::queryHit, 4);
    p.reset(ClonePacketBytes(shortHit.data(), shortHit.size()));
    ASSERT_TRUE(p);
    expected = counting(0, 4);
    expected.insert(expected.end(), shortHit.end() - 16, shortHit.end());
    EXPECT_EQ(p->m_Payload, expected);
}

TEST(Descriptors, NoPacketFromLessThanAHeaderOrAnUnknownFunction) {
    bytes d = descriptor(function::ping, 0);
    EXPECT_EQ(ClonePacketBytes(d.data(), 22), nullptr);
    EXPECT_EQ(ClonePacketBytes(nullptr, 40), nullptr);
    d[header::function] = 0x02;
    EXPECT_EQ(ClonePacketBytes(d.data(), d.size()), nullptr);
    EXPECT_EQ(ClonePacket(nullptr), nullptr);
}

class QueryPacketTest : public gnutellaFixture {
protected:
    void SetUp() override {
        gnutellaFixture::SetUp();
        if (!factory->findClass("vesk::net::CNetDataBuffer")) {
            ref<Iconstruct> buffers(new capsule<net::_constructNetDataBuffer>());
            factory->registerClass(buffers.get(), 0, 0);
        }
        g_State.dataBufferClass = factory->findClass("vesk::net::CNetDataBuffer");
    }
    void TearDown() override {
        g_State.dataBufferClass = 0;
        gnutellaFixture::TearDown();
    }
};

TEST_F(QueryPacketTest, ASearchsQueryGoesOutWithThisNodesTtlAndMinimumSpeed) {
    g_Settings.m_LocalTTL = 5;
    g_Settings.m_MinResponseSpeed = 0x0102;
    CGnutellaSearch search;
    std::strcpy(search.m_Query, "abc");
    ASSERT_EQ(NewMessageGuid(search.m_Guid.bytes), 0);
    ref<net::INetDataBuffer> packet(BuildQueryPacket(&search));
    ASSERT_TRUE(packet);
    bytes sent(packet->data(), packet->data() + packet->length());
    EXPECT_EQ(sent, QueryDescriptor(search.m_Guid.bytes, "abc", 0x0102, 5));
    EXPECT_EQ(sent[header::ttl], 5);
    EXPECT_EQ(sent[23], 0x02);
    EXPECT_EQ(BuildQueryPacket(nullptr), nullptr);

    // The same bytes again as a received descriptor.
    std::unique_ptr<CGnutellaPacket> copy(ClonePacket(packet.get()));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->Function(), function::query);
    EXPECT_EQ(copy->m_Payload, bytes(sent.begin() + 23, sent.end()));
}

}  // namespace
}  // namespace vesk::gnutella::test
