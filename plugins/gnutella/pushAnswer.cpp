// A GIV on an accepted connection: the source of a download this node
// asked to push has connected back, and the download takes the connection.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaTransfer.h"
#include "plugins/gnutella/deferredCalls.h"
#include "plugins/gnutella/downloadActions.h"
#include "plugins/gnutella/handshake.h"
#include "plugins/gnutella/incomingTransfers.h"
#include "plugins/gnutella/linkControl.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/moduleRecords.h"
#include "plugins/gnutella/pushRequests.h"
#include "plugins/gnutella/transferRows.h"
#include "plugins/gnutella/transferStates.h"

namespace vesk::gnutella {

namespace {

// The download the GIV key was filed for, if the key is known.
bool waitingDownload(const std::string& key, guid16& download) {
    std::lock_guard<std::recursive_mutex> hold(g_RequestedPushList.guard);
    auto entry = g_RequestedPushList.items.find(key);
    if (entry == g_RequestedPushList.items.end())
        return false;
    download = entry->second->m_Download;
    return true;
}

// A download takes a pushed connection while it waits for it, or once its
// wait has run out; never in the middle of another connection's transfer.
// One whose wait ran out has left the running downloads: it comes back
// only into a free slot.
bool takesConnection(const CGnutellaHost* waiting) {
    const CGnutellaTransfer* transfer = waiting->m_Transfer;
    if (!transfer || waiting->m_Closing || transfer->copyRunning)
        return false;
    if (waiting->m_State == transferState::awaitingGiv)
        return true;
    return waiting->m_State == transferState::downloadEnded && (transfer->code == 991 || transfer->code == 992) &&
           ReserveDownloadSlot(transfer->row);
}

// Moves the accepted connection to the waiting download, which sends its
// request on it at its next step. Under the download's lock.
void handOver(CGnutellaHost* accepted, CGnutellaHost* waiting) {
    if (waiting->m_Link) {
        waiting->m_Link->close();
        waiting->m_Link->release();
    }
    waiting->m_Link = accepted->m_Link;
    accepted->m_Link = nullptr;
    waiting->m_Dialled = accepted->m_Dialled;
    std::memcpy(waiting->m_HostName, accepted->m_HostName, sizeof waiting->m_HostName);
    std::memcpy(waiting->m_AddressText, accepted->m_AddressText, sizeof waiting->m_AddressText);
    std::memcpy(waiting->m_Address, accepted->m_Address, sizeof waiting->m_Address);
    CGnutellaTransfer* transfer = waiting->m_Transfer;
    if (transfer->pushSent)
        transfer->viaPush = 1;
    transfer->code = 0;
    SetTransferActions(transfer->row, {{IDS_GNU_ACTION_STOP, &stop_download}});
    TrackDownloadRow(transfer->row);
    waiting->m_Link->setTransferMode(true);
    StampTransfer(waiting);
    SetTransferState(waiting, transferState::requestPending);
}

}  // namespace

int HandlePushAnswer(CGnutellaHost* host, std::string_view text) {
    std::size_t end = text.find("\n\n");
    guid16 download;
    // Cut as the key was cut when the push was asked for.
    if (end == std::string_view::npos || !waitingDownload(std::string(text.substr(0, std::min(end, givKeyLimit))), download))
        return RefuseConnection(host);
    // Row and window calls wait until the download's lock is let go.
    deferredCalls afterLocks;
    std::lock_guard<std::recursive_mutex> hold(g_TransferHostList.guard);
    auto entry = g_TransferHostList.items.find(download);
    if (entry == g_TransferHostList.items.end())
        return RefuseConnection(host);
    CGnutellaHost* waiting = entry->second;
    lockGuard locked(waiting->m_Lock);
    if (!takesConnection(waiting))
        return RefuseConnection(host);
    handOver(host, waiting);
    UntrackLinkByKind(host);
    host->m_Kind = linkKind::none;
    return 1;
}

}  // namespace vesk::gnutella
