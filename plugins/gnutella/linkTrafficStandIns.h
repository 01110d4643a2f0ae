// Stands in for the descriptor stream and its routing on links that are
// up (framing and handle_packet, broadcasts, the routing memories, the
// searches' first send, the own pings) until that part of the module is
// there. Each does the least the link code here needs of it; the real ones
// replace this file.
#pragma once

namespace vesk::gnutella {

class CGnutellaHost;
class CGnutellaPacket;

// Reads and handles at most one descriptor of the link: 1 when the link is
// to be removed. Reads nothing here: 0.
int ReadDescriptors(CGnutellaHost* host);
// Sends the link its due broadcasts. None here: 0.
int SendBroadcastsToHost(CGnutellaHost* host);
// Sends this node's Ping on a new link. Nothing here: 0.
int PingHost(CGnutellaHost* host);
// Records the descriptor as sent on the link for its routing kind. 0.
int RememberSent(CGnutellaHost* host, const CGnutellaPacket* packet, unsigned routingKind);
// Empties the link's routing memories when it closes. 0.
int ClearRoutingMemory(CGnutellaHost* host);
// The active host thread's broadcast turn step. 0.
int ExpireBroadcasts();

// Sends bytes on the link: -1 without a descriptor, 0 while it is not
// connected, else the descriptor's send result, the link's sent count
// raised by one; a send the network module refuses drops the bytes and is
// counted on the link.
int SendToHost(CGnutellaHost* host, const void* bytes, unsigned long length);

}  // namespace vesk::gnutella
