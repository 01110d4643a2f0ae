// The "Gnutella File Transfer Thread": uploads and downloads
// (g_TransferHostList).
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/workerThreads.h"

namespace vesk::gnutella {

namespace {

void TransferStep() {
    if (IsShuttingDown())
        DestroyHosts(g_TransferHostList);
}

void transferTurn() {
    TransferStep();
}

}  // namespace

int file_transfer_thread(Ithread* thread) {
    return RunWorkerLoop(thread, workerLoop{&transferTurn, &g_TransferHostList, nullptr, nullptr});
}

}  // namespace vesk::gnutella
