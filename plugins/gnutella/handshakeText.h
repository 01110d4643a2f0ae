// The texts of the 0.4 and 0.6 handshakes: what this node sends, and the
// reading of what peers send. No state, no I/O.
//
// Peer data is read as text up to its first zero byte and never past the
// bytes received. Every line of a peer's handshake is bounded: a connect or
// reply with a line longer than handshakeLineLimit is refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "plugins/gnutella/addresses.h"

namespace vesk::gnutella {

namespace handshakeText {
// This node's 0.6 connect, as one send.
constexpr const char* connect06 =
    "GNUTELLA CONNECT/0.6\r\n"
    "User-Agent: Pelloran 3.1.3\r\n"
    "Pong-Caching: 0.1\r\n"
    "Hops-Flow: 1.0\r\n"
    "\r\n";
// This node's final response once a peer accepted its connect.
constexpr const char* finalReply = "GNUTELLA/0.6 200 OK\r\n\r\n";
// The 0.4 connect every peer understands (besides the configured one).
constexpr const char* connect04 = "GNUTELLA CONNECT/0.4\n\n";
constexpr const char* connectPrefix = "GNUTELLA CONNECT/";
// The status line of a peer's answer; only its code 200 accepts.
constexpr const char* answerPrefix = "GNUTELLA/0.6";
constexpr const char* acceptance = "GNUTELLA/0.6 200";
constexpr const char* versionedReply = "GNUTELLA OK/";
}  // namespace handshakeText

constexpr std::size_t handshakeLineLimit = 1024;
constexpr std::size_t versionTextLimit = 19;   // each number of a version
constexpr std::size_t xTryEntryLimit = 259;    // one "address:port" of an X-Try list
constexpr std::size_t xTryAnswerEntries = 10;  // hosts offered in a busy answer

// The received bytes as text: up to the first zero byte, at most length.
std::string_view ReceivedText(const unsigned char* bytes, std::size_t length);

// Where a handshake message in the received bytes ends: just behind its
// first empty line ("\n\n" or "\n\r\n"), or 0 when it has none. What
// follows in the same receive is the peer's first descriptors.
std::size_t HandshakeMessageEnd(const unsigned char* bytes, std::size_t length);

bool StartsWith(std::string_view text, std::string_view prefix);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

// Whether no line of the text (up to its blank line, or its end) is longer
// than handshakeLineLimit.
bool LinesWithinLimit(std::string_view text);

struct protocolVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
};

// The peer's answer to this node's 0.6 connect, by its status line: a
// link only for code 200; any other code ("GNUTELLA/0.6 503", or the 403
// current servents give a connect without X-Ultrapeer) refuses it, and
// text that is no status line is no handshake at all.
enum class connectAnswer { accepted, refused, noHandshake };
connectAnswer ReadConnectAnswer(std::string_view text);

// A peer's 0.6 connect (text beginning with "GNUTELLA CONNECT/" in any
// case): its version and, when it names one, its user agent (cut to
// userAgentLimit characters). False for a bad connect: no blank line, no
// version dot or line end after it, a version number text longer than
// versionTextLimit, or an over-long line.
struct connectRequest {
    protocolVersion version;
    bool hasUserAgent = false;
    std::string userAgent;
};
bool ParseConnect06(std::string_view text, std::size_t userAgentLimit, connectRequest& out);

// The version this node answers a connect of the peer's version with: 0.6
// for any major above 0 or 0 with a minor above 6, else the peer's.
protocolVersion AnswerVersion(protocolVersion peer);

// This node's answer to a 0.6 connect: the status line with the version
// (" 503 BUSY" when busy, else " 200 OK"), its headers with the peer's
// address, an X-Try line with the offered hosts when busy and there are
// any (each "address:port,"), and the blank line.
std::string Answer06(protocolVersion version, bool busy, const char* remoteAddress,
                     const std::vector<hostAddress>& offered);

// The hosts of the X-Try list of a refusal: the text after "X-Try:" and one
// more character, up to the end of that line, cut at each comma (an entry
// without a comma after it is not taken). An entry is kept when it has a
// colon, is at most xTryEntryLimit characters, and its address part is a
// non-empty address text that is not private; its port is the text after
// the colon as atoi reads it. An over-long line gives none.
std::vector<hostAddress> ParseXTry(std::string_view text);

// A peer's final response to this node's 0.6 answer: "GNUTELLA OK/" with a
// version (any case), or "GNUTELLA/0.6 200" in any case. False for anything
// else (another status refuses the link), a versioned reply without its
// dot or line end, or an over-long line.
bool ParseFinalReply(std::string_view text, protocolVersion& out);

}  // namespace vesk::gnutella
