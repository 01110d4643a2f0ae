// The module's threads. The three long-running workers share one loop form:
// each turn runs the thread's steps; once the module is shutting down and
// the thread's own list is empty the thread ends by itself; otherwise it
// sleeps 1 ms. Threads made for one search or one finished download are
// registered, so that _unload can stop and wait for them before anything
// they use goes.
#pragma once

#include "plugins/gnutella/moduleLists.h"
#include "vesk/threading.h"

namespace vesk::gnutella {

// A new thread of the class "vesk::thread" with the module's entity, not
// started; one reference held by the caller. Null when it cannot be made.
Ithread* CreateModuleThread(const char* name, threadProc procedure, void* data);

// Makes, registers and starts a short-lived thread. The started thread with
// one reference for the caller (who may release it at once), or null.
Ithread* StartWorkerThread(const char* name, threadProc procedure, void* data);
// Asks every registered thread to stop, waits for each until it has ended
// (however long: a file copy thread still uses its download's connection)
// and forgets it.
void JoinWorkerThreads();

struct workerLoop {
    void (*turn)();                 // the steps of one turn
    guardedList<hostMap>* ownList;  // the list the thread empties before it ends
    void (*beforeEarlyEnd)();       // may be null
    void (*afterStopRequest)();     // may be null
    // Steps of a turn that run only when the thread goes on after the
    // shutdown check; may be null.
    void (*lateTurn)() = nullptr;
    // Given, a failure caught in the loop runs it, reports the thread ended
    // and starts the thread object again (the procedure then returns -1);
    // null, the failure leaves the procedure.
    void (*afterFailure)() = nullptr;
};

// The common form of the three worker procedures. 0, or -1 after a caught
// failure.
int RunWorkerLoop(Ithread* thread, const workerLoop& loop);

// The three procedures, each given its own thread object.
int listener_thread(Ithread* thread);
int active_host_update_thread(Ithread* thread);
int file_transfer_thread(Ithread* thread);

}  // namespace vesk::gnutella
