// The module as the protocol "Gnutella" of the search-and-share manager:
// its registration with the result fields its rows carry, and going online
// and offline.
#pragma once

namespace vesk::gnutella {

// Protocol states the module shows.
namespace protocolState {
constexpr int connecting = 2;
constexpr int connected = 3;
constexpr int offline = 4;
}  // namespace protocolState

// Registers the protocol and declares its 40 result fields, once, from
// _load. Nothing without the manager.
void InitProtocol();

// The manager's connect and disconnect callbacks (GUI thread): the running
// flag and the protocol state. Both true.
bool on_connect();
bool on_disconnect();

}  // namespace vesk::gnutella
