// The module as the protocol "Gnutella" of the search-and-share manager:
// its registration with the result fields its rows carry and its four
// callbacks, and going online and offline (the search callbacks are in
// searches.h).
#pragma once

namespace vesk::gnutella {

// Protocol states the module shows.
namespace protocolState {
constexpr int connecting = 2;
constexpr int connected = 3;
constexpr int offline = 4;
}  // namespace protocolState

// Registers the protocol with its four callbacks and declares its 40 result
// fields, once, from _load. Nothing without the manager.
void InitProtocol();

// Shows the state (protocolState) through the registered protocol; nothing
// before the protocol is registered.
void SetProtocolState(int state);

// The manager's connect and disconnect callbacks (GUI thread): the running
// flag, the quick-connect list when the settings ask for it, and the
// protocol state. Both true.
bool on_connect();
bool on_disconnect();

}  // namespace vesk::gnutella
