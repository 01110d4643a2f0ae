// Reading a Query Hit: its result records, the responder's address, port
// and servent identifier, and the trailer's vendor code and push flags. No
// state, no I/O: what becomes of the records is decided by the caller.
//
// Payload (little-endian): count (1), port (2), address (4, first octet
// first), speed (4), the records, an optional trailer, and the responder's
// servent identifier in the last 16 bytes. A record: index (4), size (4),
// a name ended by a zero byte, then an extension block ended by a zero byte
// (only that zero when there is none). The trailer begins with the 4-byte
// vendor code, then the open-data length and two flag bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "plugins/gnutella/addresses.h"
#include "plugins/gnutella/guid16.h"
#include "plugins/gnutella/resources.h"

namespace vesk::gnutella {

// Longest file name taken from a record; a longer one makes the hit
// malformed.
constexpr std::size_t maxResultNameLength = 255;

struct hitRecord {
    std::uint32_t index = 0;
    std::uint32_t size = 0;
    std::string name;
};

struct vendorEntry {
    const char* code;  // as written in the trailer; compared ignoring case
    const char* name;
    vendorImage image;
};

// "Not Reported": no trailer, an unknown code, or a malformed hit.
const vendorEntry& UnreportedVendor();
// The vendor of a 4-byte code (null: none), or UnreportedVendor().
const vendorEntry& VendorOf(const unsigned char* code);

struct parsedHit {
    std::uint16_t port = 0;
    char address[addressTextSize] = {};  // dotted text
    guid16 servent;
    std::vector<hitRecord> records;  // every record read before a fault, in order
    // Reading stopped at a fault in the records (or the hit is too short to
    // hold its head and servent identifier): the trailer is not read.
    bool malformed = false;
    const vendorEntry* vendor = &UnreportedVendor();
    bool pushFlag = false;  // the trailer's flags ask for a push
};

// Reads a whole Query Hit descriptor (header included). Records never run
// into the servent identifier; the trailer is what lies between the last
// record and the servent identifier.
parsedHit ParseQueryHit(const unsigned char* descriptor, std::size_t length);

// The responder must be fetched by push: it says so, or it gave no address.
// Never for a malformed hit.
bool MustPush(const parsedHit& hit);

// Results from this address are shown: never from loopback, from private
// addresses only with showFirewalled.
bool AcceptsResultsFrom(const char* addressText, bool showFirewalled);

}  // namespace vesk::gnutella
