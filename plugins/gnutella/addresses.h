// Addresses as the module handles them: four bytes, first octet first, and
// their dotted text; identifiers as hexadecimal text; host and port texts.
// No state, no I/O.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vesk::gnutella {

// A host as peers name it: its address text and port.
struct hostAddress {
    std::string address;
    std::uint16_t port = 0;
};

// Room for a dotted address and its terminator ("255.255.255.255").
constexpr std::size_t addressTextSize = 16;
// Room for 16 bytes as hexadecimal text and its terminator.
constexpr std::size_t idHexSize = 33;

// The C library's atoi (and atol) over [from, to), without its overflow:
// leading blanks, a sign, then digits, wrapping modulo 2^32 as a 32-bit
// number would.
unsigned DecimalValue(const char* from, const char* to);

// Writes "a.b.c.d" into out (addressTextSize bytes). 0, or -1 for a null
// argument.
int IpToText(const unsigned char* address, char* out);

// Reads dotted text into 4 bytes: the first three parts end at a dot, the
// fourth is the rest; each part counts as the C library's atoi reads it,
// low 8 bits only ("300" gives 44). 0, or -1 when the text has fewer than
// three dots or a part is longer than 11 characters; bytes converted before
// the fault stay in out.
int TextToIp(const char* text, unsigned char* out);

// Writes 32 upper-case hexadecimal characters (two per byte, in order) and
// a terminator into out (idHexSize bytes). 0, or -1 for a null argument.
int IdToHex(const unsigned char* id, char* out);

// 10.x.x.x, 172.16.x.x to 172.31.x.x and 192.168.x.x.
bool IsPrivateAddress(const unsigned char* address);

// Text beginning "192.168.", "10." or "127.", or "172." followed by two
// digits from 16 to 31 and a dot. Loopback counts here, not in the byte test.
bool IsPrivateAddressText(const char* text);

// Digits and dots only, no group of more than 3 digits and at most 3 dots
// (so "1.2.3" and the empty text pass, and so does "999.1.1.1"): the test
// that tells an address from a host name in requests, handshake replies and
// web-cache answers.
bool IsAddressText(const char* text);

// Splits "host[:port]" at its first colon. The host part goes into host
// (cut to hostSize - 1 characters). With no colon the port is left as it
// was; an empty port text, one with a character that is not a decimal
// digit, or one longer than 11 characters gives 0; otherwise its value,
// kept in 16 bits. Always 0.
int SplitHostPort(const char* text, char* host, std::size_t hostSize, unsigned short* port);

}  // namespace vesk::gnutella
