// What every step of a link's life does to it: sending on it, counting it
// in and out of the status tracker by its kind, closing it and dialling it.
#pragma once

#include <string>

namespace vesk::gnutella {

class CGnutellaHost;

// Hands the bytes to the link's descriptor at once: -1 without one, else
// the send result; a refused send drops the bytes and is counted on the
// link (m_RefusedSends).
int SendOnLink(CGnutellaHost* host, const void* bytes, unsigned long length);
int SendText(CGnutellaHost* host, const std::string& text);

// Takes a link of kind incoming up or outgoing up out of the tracker's
// count of its direction; other kinds are not counted.
void UntrackLinkByKind(CGnutellaHost* host);

// Closes the link's descriptor. A counted link (kind neither none nor
// waiting) is first taken out of its count and marked closed; its row is
// refreshed unless it was none. The result of the descriptor's close, 0
// without one.
int CloseHost(CGnutellaHost* host);

// Dials the link's host name, or its address text when it has none, while
// the node is online (kind dialling, grey row shown); offline it is only
// marked waiting. Sets the dialled flag either way.
void ConnectHost(CGnutellaHost* host);

// An outgoing link in its dial, its handshake or up (states dialled,
// request sent, outgoing up): the links dialled again after going offline.
bool BeingDialledOrUp(const CGnutellaHost* host);

// The status of the link's descriptor; idle without one.
int LinkStatus(CGnutellaHost* host);

// A link waiting to be dialled is dialled (ConnectHost) and set to the
// dialled state.
void DialWaitingLink(CGnutellaHost* host);

// Takes the link's row out of the connection list and destroys the link.
void DestroyLink(CGnutellaHost* host);

}  // namespace vesk::gnutella
