// The Gnutella descriptor header and the module's own identifiers.
//
// Header, 23 bytes: identifier (16), function (1), TTL (1), hops (1),
// payload length (4, unsigned, little-endian). Identifiers this module
// makes carry a mark: a 16-bit check value in bytes 0-1 over bytes 2-7,
// the hexadecimal digits of a fresh platform GUID's first two groups in
// bytes 2-13, then the bytes 1 and 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "vesk/net.h"

namespace vesk::gnutella {

class CGnutellaSearch;

constexpr std::size_t descriptorHeaderSize = 23;
constexpr std::size_t guidSize = 16;

namespace header {
constexpr std::size_t function = 16;
constexpr std::size_t ttl = 17;
constexpr std::size_t hops = 18;
constexpr std::size_t payloadLength = 19;
}  // namespace header

namespace function {
constexpr unsigned char ping = 0x00;
constexpr unsigned char pong = 0x01;
constexpr unsigned char push = 0x40;
constexpr unsigned char query = 0x80;
constexpr unsigned char queryHit = 0x81;
}  // namespace function

// One of the five function codes.
bool IsKnownFunction(unsigned char code);

// Little-endian reads and writes at a fixed offset; the caller has checked
// that the bytes are there.
std::uint32_t ReadLe32(const unsigned char* at);
void WriteLe32(unsigned char* at, std::uint32_t v);
void WriteLe16(unsigned char* at, std::uint16_t v);

// Writes a header with the given fields. 0, or -1 for a null output or an
// unknown function (nothing written). A null id writes a new marked
// identifier.
int WriteDescriptorHeader(unsigned char* out, const unsigned char* id, unsigned char functionCode,
                          unsigned char ttl, unsigned char hops, std::uint32_t payloadLength);

// The same with this node's TTL (Gnutella_LocalTTL) and hops 0.
int BuildDescriptorHeader(unsigned char* out, const unsigned char* id, unsigned char functionCode,
                          std::uint32_t payloadLength);

// The one's-complement check value: the bytes summed as little-endian 16-bit
// words (an odd last byte added as a number), the carries folded in twice,
// the result complemented.
std::uint16_t Checksum16(const unsigned char* bytes, std::size_t count);

// Writes a marked identifier made from a GUID's braced text form
// ("{XXXXXXXX-XXXX-...}", 38 characters). -1 for a null argument or a text
// too short.
int MarkGuidText(const char* guidText, unsigned char* out);

// Writes a new marked identifier (from CoCreateGuid). 0, or -1 for a null
// output or when the platform gives no GUID.
int NewMessageGuid(unsigned char* out);

// True when bytes 0-1 hold the check value of bytes 2-7.
bool IsMarkedGuid(const unsigned char* id);

// The whole Query descriptor: header (the given id, function 0x80, ttl,
// hops 0), then the minimum speed (16 bits), the text and a zero byte.
std::vector<unsigned char> QueryDescriptor(const unsigned char* id, const char* text, unsigned short minSpeed,
                                           unsigned char ttl);

// The search's Query with this node's TTL and minimum speed, in a new
// network buffer ("vesk::net::CNetDataBuffer", count 0: the caller takes
// the first reference); null for a null search or when no buffer is made.
net::INetDataBuffer* BuildQueryPacket(const CGnutellaSearch* search);

}  // namespace vesk::gnutella
