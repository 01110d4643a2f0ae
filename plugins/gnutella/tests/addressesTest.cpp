// Address texts, identifiers as hexadecimal text and host:port texts.
#include <gtest/gtest.h>

#include <string>

#include "plugins/gnutella/addresses.h"

namespace vesk::gnutella::test {
namespace {

std::string textOf(unsigned char a, unsigned char b, unsigned char c, unsigned char d) {
    unsigned char bytes[4] = {a, b, c, d};
    char out[addressTextSize];
    EXPECT_EQ(IpToText(bytes, out), 0);
    return out;
}

TEST(Addresses, BytesBecomeDottedTextWithoutLeadingZeros) {
    EXPECT_EQ(textOf(192, 168, 0, 1), "192.168.0.1");
    EXPECT_EQ(textOf(255, 255, 255, 255), "255.255.255.255");
    EXPECT_EQ(textOf(0, 0, 0, 0), "0.0.0.0");
    unsigned char bytes[4] = {};
    EXPECT_EQ(IpToText(bytes, nullptr), -1);
}

TEST(Addresses, DottedTextBecomesBytesAsAtoiReadsEachPart) {
    struct row {
        const char* text;
        int result;
        unsigned char bytes[4];
    } rows[] = {
        {"10.0.0.1", 0, {10, 0, 0, 1}},
        {"1.2.3.300", 0, {1, 2, 3, 44}},    // low 8 bits only
        {"1.2.3.4x", 0, {1, 2, 3, 4}},      // atoi stops at the letter
        {"-1. 7.+8.9", 0, {255, 7, 8, 9}},  // sign and blanks as atoi takes them
        {"1.2.3.4.5", 0, {1, 2, 3, 4}},     // the fourth part is the rest
        {"1.2", -1, {1, 9, 9, 9}},          // fewer than three dots: the first part stays
        {"1.2.3", -1, {1, 2, 9, 9}},
        {"1.2.123456789012.4", -1, {1, 2, 9, 9}},  // a part longer than 11 characters
    };
    for (const row& r : rows) {
        unsigned char out[4] = {9, 9, 9, 9};
        EXPECT_EQ(TextToIp(r.text, out), r.result) << r.text;
        EXPECT_EQ(std::string(out, out + 4), std::string(r.bytes, r.bytes + 4)) << r.text;
    }
    unsigned char out[4];
    EXPECT_EQ(TextToIp(nullptr, out), -1);
}

TEST(Addresses, IdentifiersAsUpperCaseHexadecimal) {
    unsigned char id[16];
    id[0] = 0x00;
    id[1] = 0x0A;
    for (int i = 2; i < 16; ++i)
        id[i] = 0xFF;
    char out[idHexSize];
    ASSERT_EQ(IdToHex(id, out), 0);
    EXPECT_EQ(std::string(out), "000A" + std::string(28, 'F'));
    EXPECT_EQ(IdToHex(nullptr, out), -1);
    EXPECT_EQ(IdToHex(id, nullptr), -1);
}

TEST(Addresses, PrivateByBytesAndByText) {
    struct row {
        unsigned char bytes[4];
        const char* text;
        bool privateBytes;
        bool privateText;
    } rows[] = {
        {{10, 1, 2, 3}, "10.1.2.3", true, true},
        {{172, 16, 0, 1}, "172.16.0.1", true, true},
        {{172, 20, 1, 1}, "172.20.1.1", true, true},
        {{172, 31, 9, 9}, "172.31.9.9", true, true},
        {{172, 32, 0, 1}, "172.32.0.1", false, false},
        {{172, 15, 0, 1}, "172.15.0.1", false, false},
        {{172, 5, 1, 1}, "172.5.1.1", false, false},
        {{192, 168, 7, 7}, "192.168.7.7", true, true},
        {{192, 169, 0, 1}, "192.169.0.1", false, false},
        {{127, 0, 0, 1}, "127.0.0.1", false, true},  // loopback counts only as text
        {{8, 8, 8, 8}, "8.8.8.8", false, false},
    };
    for (const row& r : rows) {
        EXPECT_EQ(IsPrivateAddress(r.bytes), r.privateBytes) << r.text;
        EXPECT_EQ(IsPrivateAddressText(r.text), r.privateText) << r.text;
    }
    EXPECT_FALSE(IsPrivateAddressText("172."));
    EXPECT_FALSE(IsPrivateAddressText("172.1"));
    EXPECT_FALSE(IsPrivateAddressText(nullptr));
    EXPECT_FALSE(IsPrivateAddress(nullptr));
}

TEST(Addresses, HostAndPortSplitAtTheColon) {
    struct row {
        const char* text;
        const char* host;
        unsigned short port;
    } rows[] = {
        {"1.2.3.4:6347", "1.2.3.4", 6347},
        {"1.2.3.4:", "1.2.3.4", 0},
        {"1.2.3.4:63a7", "1.2.3.4", 0},
        {"1.2.3.4:-5", "1.2.3.4", 0},
        {"1.2.3.4:70000", "1.2.3.4", 4464},         // kept in 16 bits
        {"1.2.3.4:000000000006346", "1.2.3.4", 0},  // a port text longer than 11 characters
        {"host.example:1:2", "host.example", 0},
        {"no.colon.here", "no.colon.here", 1234},  // the port is left as it was
    };
    for (const row& r : rows) {
        char host[30];
        unsigned short port = 1234;
        EXPECT_EQ(SplitHostPort(r.text, host, sizeof host, &port), 0);
        EXPECT_STREQ(host, r.host) << r.text;
        EXPECT_EQ(port, r.port) << r.text;
    }
}

TEST(Addresses, AHostPartLongerThanItsBufferIsCut) {
    char host[8];
    unsigned short port = 0;
    SplitHostPort("a-rather-long-name:80", host, sizeof host, &port);
    EXPECT_STREQ(host, "a-rathe");
    EXPECT_EQ(port, 80);
}

}  // namespace
}  // namespace vesk::gnutella::test
