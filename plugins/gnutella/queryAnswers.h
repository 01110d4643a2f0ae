// Answering queries: the share engine's word search, and Query Hits built
// from its files (at most 255 results and 65,535 payload bytes per hit, the
// vendor code "VESK" in the trailer, this node's client GUID as servent
// identifier).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vesk::gnutella {

class CGnutellaHost;
class CGnutellaPacket;

// Longest query text answered.
constexpr std::size_t answeredQueryLimit = 80;
// Most distinct words handed to the share engine.
constexpr std::size_t shareQueryWordLimit = 10;
constexpr std::size_t maxResultsPerHit = 255;
constexpr std::size_t maxHitPayload = 65535;
// Longest file name put into a hit.
constexpr std::size_t hitNameLimit = 259;

// The text the share engine is asked with: its blank-separated words, each
// once (case aside, as the engine compares them), the first
// shareQueryWordLimit of them, joined by one blank.
std::string ShareEngineQuery(const std::string& text);

struct hitResult {
    std::uint32_t index;
    std::uint32_t size;
    std::string name;
};

// What this node tells of itself in a hit.
struct hitSender {
    std::uint16_t port;
    unsigned char address[4];
    std::uint32_t speed;
    unsigned char flags;  // the second flags byte
    unsigned char servent[16];
};

// This node as the settings describe it: the advertised address, the local
// speed, the flags (0x01, 0x08 once an upload was served, 0x04 while the
// uploads are full) and the client GUID.
hitSender ThisNodeInHits();

// How many results from `from` on fit into one hit.
std::size_t ResultsInOneHit(const std::vector<hitResult>& results, std::size_t from);

// A whole Query Hit for the results [first, first + count): the query's
// GUID, the TTL, hops 0.
std::vector<unsigned char> QueryHitDescriptor(const unsigned char* queryGuid, unsigned char ttl,
                                              const hitSender& sender, const hitResult* first, std::size_t count);

// The shared files the share engine finds for the text, at most limit of
// them; folders are never among them.
std::vector<hitResult> SharedFilesMatching(const std::string& text, std::uint32_t limit);

// Answers a query on the link it came from with hits of at most
// Gnutella_MaxOutgoingResults files; a text longer than answeredQueryLimit
// gets none. The text goes to the search monitor first (unless it is four
// blanks). Nothing while the module is shutting down. The number of hits
// sent (0 for a null argument).
int HandleQuery(const CGnutellaPacket* query, CGnutellaHost* host);

}  // namespace vesk::gnutella
