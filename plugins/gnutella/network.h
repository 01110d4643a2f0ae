// The module's listening descriptor: made and listening at start-up,
// closed at unload.
#pragma once

namespace vesk::gnutella {

// Makes the listening descriptor ("vesk::net::tcp"), listens on
// Gnutella_ListenPort and keeps the listener's local address as this node's
// own. 0, or -1 when no descriptor could be made. A descriptor made by an
// earlier call is closed first.
int InitNetwork();

// Closes the listening descriptor and forgets it.
void CloseListener();

}  // namespace vesk::gnutella
