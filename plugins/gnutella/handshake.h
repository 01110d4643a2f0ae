// Both sides of the 0.4 and 0.6 handshakes, as the link machine drives them
// on the listener thread, and the steps that make a connection a counted
// link. Each reader gets the text of one receive (handshakeText.h).
//
// A result of 1 tells the link machine the connection is done with
// g_InactiveHostList: it has become a link (m_HandOver names the active
// list, into which the machine moves it) or it failed (kind closed, or none
// when refused). 0 keeps it there for the next step.
#pragma once

#include <string_view>

namespace vesk::gnutella {

class CGnutellaHost;

// Dialling side, connected in state dialled: sends this node's 0.6 connect
// and waits for the answer (state request sent, activity time now); closed
// (1) when the outgoing links are at their limit.
int SendConnect06(CGnutellaHost* host);

// Dialling side, the peer's answer: an acceptance ("GNUTELLA/0.6 200")
// below the outgoing limit makes it an outgoing link, sends the final reply,
// the Ping and the active searches (1). A refusal (any other status code)
// hands its X-Try hosts to the host cache and closes it uncounted, as does
// anything else (1).
int ReadConnect06Response(CGnutellaHost* host, std::string_view text);

// Accepting side, a 0.4 connect: the configured acknowledgement goes out
// first; the link is up at once, busy when the incoming links are at their
// limit. A connection this node opened counts as outgoing. 1.
int AnswerConnect04(CGnutellaHost* host);

// Accepting side, a 0.6 connect: answered with this node's status line and
// headers. Accepted: the final reply is awaited (state answered, 0). Busy:
// the answer offers up to ten cached hosts and the link becomes busy (1). A
// bad connect is refused and closed (kind none, 1).
int AnswerConnect06(CGnutellaHost* host, std::string_view text);

// Accepting side, the peer's final reply to the 0.6 answer: any
// "GNUTELLA OK/" with a version or "GNUTELLA/0.6 200" makes it an incoming
// link (busy when the incoming links are full meanwhile); anything else
// closes it (kind closed), a refusal's X-Try hosts harvested. 1.
int ReadConnectReply(CGnutellaHost* host, std::string_view text);

// Refuses an accepted connection: taken out of any link count, kind none,
// closed. 1.
int RefuseConnection(CGnutellaHost* host);

// Sends the Query of every active search to the link once, remembered as
// sent on it. 0.
int SendActiveQueries(CGnutellaHost* host);

}  // namespace vesk::gnutella
