// The module's life cycle as the host drives it: registration (retried
// until every service it needs exists), load, initialization and unload.
// The entry points of module.cpp call these.
#pragma once

#include "vesk/directory.h"
#include "vesk/host.h"

namespace vesk::gnutella {

// -1 for a null argument, 0 while a required service is missing (the host
// asks again), 1 when registered.
int RegisterModule(Icartridge* self, Icore* core);
// 0 while there is no user interface control; 1 once the texts are loaded
// and the protocol registered (a repeated call does nothing).
int LoadModule();
// 1 when the module runs (its three threads started), 0 when a step
// failed; a later call runs every step again.
int InitializeModule();
// Stops and waits for every thread of the module, then lets go of
// everything they used. 1.
int UnloadModule();

// The module's entity, released when the library is freed.
void ReleaseEntity();

}  // namespace vesk::gnutella
