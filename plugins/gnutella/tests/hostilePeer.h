// What a hostile peer sends, drawn from a fixed seed so that a failure can
// be replayed: random and mutated handshakes, descriptors of every function
// byte with any length, truncated headers, hits whose records run past
// their payload, broken Pushes and GIV lines, and HTTP requests with huge
// or endless header lines, ranges past the end and paths that try to leave
// the shares.
//
// Every address inside a descriptor is 127.0.0.1: whatever the client keeps
// from them (host cache, push targets) it could only ever dial here.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace vesk::gnutella::test {

using bytes = std::vector<unsigned char>;

class hostilePeer {
public:
    explicit hostilePeer(std::uint32_t seed) : random_(seed) {}

    // A connection's first bytes: random bytes, or a 0.6 connect with
    // bytes changed, inserted, cut or lines made long. Never one with an
    // X-Try header.
    bytes handshake();
    // Descriptor number n on a link: function byte n % 256, random TTL and
    // hops, a payload length from 0 to 65,535 or beyond, and up to 4 KiB of
    // payload bytes whatever the length says.
    bytes descriptor(unsigned n);
    // The first 1 to 22 bytes of a Ping's header.
    bytes truncatedHeader();
    // A Query Hit whose record count, name ends or trailer run past the
    // payload the header gives.
    bytes overlongHit();
    // A Push with a payload length from 0 to 64 (26 is right) and random
    // fields.
    bytes push();
    // A "GIV index:servent/name" line with long, missing or broken fields.
    bytes giv();
    // An upload request: a path from the list (escapes, "..", "\", drive
    // letters, the absolute path of secretFile), long or endless header
    // lines, ranges past any end.
    bytes httpRequest(const std::string& secretFile);

    std::uint32_t below(std::uint32_t bound) { return bound ? random_() % bound : 0; }

private:
    bytes randomBytes(std::size_t count);
    void mutate(std::string& text);

    std::mt19937 random_;
};

// Whether any byte of the needle appears as a whole in the haystack.
bool contains(const bytes& haystack, const std::string& needle);

}  // namespace vesk::gnutella::test
