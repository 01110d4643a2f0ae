// The "Gnutella File Transfer Thread": every upload and download
// (g_TransferHostList) stepped once per pass, and the download queue.
//
// Only this thread deletes transfer connections, so it steps them outside
// the list's guard; the row actions (GUI thread) change a connection under
// the guard and its lock. Each step holds the connection's lock and a
// deferredCalls scope, so that the user interface is called only after the
// lock is let go.
#include "plugins/gnutella/transferThread.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/CGnutellaTransfer.h"
#include "plugins/gnutella/deferredCalls.h"
#include "plugins/gnutella/downloadActions.h"
#include "plugins/gnutella/downloadQueue.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/pushRequests.h"
#include "plugins/gnutella/transferRows.h"
#include "plugins/gnutella/transferStates.h"
#include "plugins/gnutella/transferSteps.h"
#include "plugins/gnutella/uploadSlots.h"
#include "plugins/gnutella/uploadSteps.h"
#include "plugins/gnutella/workerThreads.h"

namespace vesk::gnutella {

namespace {

constexpr std::uint32_t linkTimeout = 5000;

std::atomic<bool> clearQueueRequested{false};

bool copyRunning(const CGnutellaHost* host) {
    return host->m_Transfer && host->m_Transfer->copyRunning.load();
}

// Data on the link: read by the state that expects it; in any other state
// the link is closed (a download's own closing work then ends it).
int receivedData(CGnutellaHost* host) {
    net::INetDataBuffer* data = ReceiveHeld(host->m_Link);
    if (!data)
        return 0;
    int result = 0;
    switch (host->m_State) {
        case transferState::receiving:
            result = ReceiveDownloadData(host, data);
            break;
        case transferState::awaitingResponse:
            result = ReadDownloadResponse(host, data);
            break;
        case transferState::unclassified:
            result = ReadUploadRequest(host, data);
            break;
        case transferState::downloadFailed:
        case transferState::awaitingGiv:
            host->m_Link->close();
            break;
        default:
            host->m_Link->close();
            result = 1;
            break;
    }
    data->release();
    return result;
}

// An upload's peer may send more after its request (the rest of a request
// answered on its first part, or anything else): it is taken and dropped,
// so that what the peer sends never holds the link open.
void dropReceived(CGnutellaHost* host) {
    if (net::INetDataBuffer* data = ReceiveHeld(host->m_Link))
        data->release();
}

int whenConnected(CGnutellaHost* host) {
    switch (host->m_State) {
        case transferState::requestPending:
            // Whatever the source sent after its last answer is no answer
            // to the request still to be sent.
            if (host->m_Transfer && host->m_Transfer->followUp)
                dropReceived(host);
            return SendDownloadRequest(host);
        case transferState::awaitingResponse: {
            // What arrived is read before the time-out is judged: an answer
            // that came in time is taken however late this step runs.
            int result = receivedData(host);
            if (host->m_State == transferState::awaitingResponse && SinceStamp(host) > linkTimeout)
                return OnResponseTimeout(host);
            return result;
        }
        case transferState::sending:
            dropReceived(host);
            return SendUploadData(host);
        case transferState::pushConnecting:
            return SendGiv(host);
        case transferState::downloadStopRequested:
            return CloseStoppedDownload(host);
        case transferState::uploadStopRequested:
        case transferState::uploadFailed:
            // Closed first: the closing work gives the upload slot back.
            host->m_Link->close();
            return 0;
        case transferState::receiving: {
            int result = receivedData(host);
            // A source that sends nothing more for so long is gone: the
            // closed link's work ends the download as lost (to be resumed).
            if (host->m_State == transferState::receiving && Stalled(host->m_Transfer))
                host->m_Link->close();
            return result;
        }
        case transferState::downloadEnded:
        case transferState::uploadEnded:
        case transferState::movingFile:
            return 0;
        default:
            return receivedData(host);
    }
}

int whenConnecting(CGnutellaHost* host) {
    if (SinceStamp(host) > linkTimeout) {
        host->m_Link->close();
        return 0;
    }
    return host->m_State == transferState::downloadStopRequested ? CloseStoppedDownload(host) : 0;
}

// The end of a link is told as soon as it is seen: an answer that came
// before it is read first. True when there was one.
bool readAnswerBeforeEnd(CGnutellaHost* host) {
    net::INetDataBuffer* data = ReceiveHeld(host->m_Link);
    if (!data)
        return false;
    ReadDownloadResponse(host, data);
    data->release();
    return true;
}

int whenClosed(CGnutellaHost* host) {
    if (!host->m_Transfer)
        return 0;
    switch (host->m_State) {
        case transferState::downloadEnded:
            return EndDownload(host);
        case transferState::uploadEnded:
            return EndUpload(host);
        case transferState::awaitingGiv:
            return HandlePushWait(host);
        case transferState::receiving:
            return OnReceiveClosed(host);
        case transferState::requestPending:
            return OnConnectFailed(host);
        case transferState::awaitingResponse:
            return readAnswerBeforeEnd(host) ? 0 : OnResponseLost(host);
        case transferState::sending:
            return OnUploadClosed(host);
        case transferState::downloadStopRequested:
            return FinishStoppedDownload(host);
        case transferState::downloadFailed:
            return FinishFailedDownload(host);
        case transferState::uploadStopRequested:
            return FinishStoppedUpload(host);
        case transferState::uploadFailed:
            return FinishFailedUpload(host);
        case transferState::pushConnecting:
            return 1;  // the requester could not be reached: nothing to offer
        default:
            return 0;
    }
}

// A connection without a descriptor has nothing to step; an ended failure
// goes when failed downloads are cleared automatically.
int withoutLink(CGnutellaHost* host) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    if (!transfer || transfer->code == 0 || !g_Services.manager ||
        !g_Services.manager->GetAutoClear(ss::autoClear::failedDownloads))
        return 0;
    WithRowLater(transfer->row, &DetachDownloadRow);
    return 1;
}

enum class outcome { keep, destroy, handOver };

// One connection's step; the caller holds a deferredCalls scope.
outcome stepHost(CGnutellaHost* host) {
    {
        lockGuard hold(host->m_Lock);
        if (host->m_State == transferState::removing)
            return copyRunning(host) ? outcome::keep : outcome::destroy;
    }
    if (ServiceTransfers(host) != 1)
        return outcome::keep;
    lockGuard hold(host->m_Lock);
    if (host->m_State == transferState::unclassified)
        return outcome::handOver;
    host->m_Kind = linkKind::none;
    if (copyRunning(host)) {
        // Deleted by a later pass, once its file has been moved.
        host->m_State = transferState::removing;
        return outcome::keep;
    }
    return outcome::destroy;
}

// The list a connection handed over from here goes to.
guardedList<hostMap>* nextList(const CGnutellaHost* host) {
    switch (host->m_HandOver) {
        case hostHandOver::inactiveList:
            return &g_InactiveHostList;
        case hostHandOver::activeList:
            return &g_ActiveHostList;
        default:
            return nullptr;
    }
}

void takeOut(CGnutellaHost* host, outcome result) {
    {
        std::lock_guard<std::recursive_mutex> hold(g_TransferHostList.guard);
        auto entry = g_TransferHostList.items.find(host->m_Id);
        if (entry != g_TransferHostList.items.end() && entry->second == host)
            g_TransferHostList.items.erase(entry);
    }
    if (result == outcome::destroy) {
        ReleaseUploadSlot(host);  // an upload removed while it ran
        delete host;
        return;
    }
    if (guardedList<hostMap>* next = nextList(host)) {
        host->m_HandOver = hostHandOver::none;
        std::lock_guard<std::recursive_mutex> hold(next->guard);
        next->items[host->m_Id] = host;  // another thread's from here on
    }
}

// Shutting down: every connection goes, but one whose file is still being
// moved waits for its copy thread.
void discardAll() {
    std::vector<CGnutellaHost*> gone;
    {
        std::lock_guard<std::recursive_mutex> hold(g_TransferHostList.guard);
        auto& items = g_TransferHostList.items;
        for (auto entry = items.begin(); entry != items.end();) {
            if (copyRunning(entry->second)) {
                ++entry;
                continue;
            }
            gone.push_back(entry->second);
            entry = items.erase(entry);
        }
    }
    for (CGnutellaHost* host : gone)
        delete host;
}

void startQueuedDownload() {
    bool clear = clearQueueRequested.exchange(false);
    if (g_QueuedDownloadList.IsEmpty())
        return;
    if (clear) {
        while (ss::IAgent* row = PopQueuedDownload()) {
            remove_download(row);
            row->release();
        }
        return;
    }
    // The slot is taken as the row leaves the queue, so that a late GIV on
    // another thread cannot take the same one.
    deferredCalls afterLocks;
    if (ss::IAgent* row = PopQueuedDownloadIf(&ReserveDownloadSlot)) {
        start_download(row);
        row->release();
    }
}

void transferTurn() {
    TransferStep();
}

}  // namespace

int ServiceTransfers(CGnutellaHost* host) {
    if (!host)
        return 0;
    lockGuard hold(host->m_Lock);
    if (host->m_Closing)
        return 0;
    if (host->m_Transfer && host->m_Transfer->awaitingSlot)
        return 0;  // requeued after a busy answer: the queue starts it again
    if (!host->m_Link)
        return withoutLink(host);
    switch (host->m_Link->status()) {
        case net::status::connected:
            return whenConnected(host);
        case net::status::connecting:
            return whenConnecting(host);
        case net::status::idle:
            return whenClosed(host);
        case net::status::failed:
            return OnLinkError(host);
        default:
            return 0;
    }
}

int TransferStep() {
    if (IsShuttingDown()) {
        discardAll();
        return 0;
    }
    std::vector<CGnutellaHost*> hosts;
    {
        std::lock_guard<std::recursive_mutex> hold(g_TransferHostList.guard);
        for (auto& entry : g_TransferHostList.items)
            hosts.push_back(entry.second);
    }
    unsigned visited = 0;
    for (CGnutellaHost* host : hosts) {
        outcome result;
        {
            deferredCalls afterLocks;
            result = stepHost(host);
        }
        if (result != outcome::keep)
            takeOut(host, result);
        if (++visited % 10 == 1)
            Sleep(1);
    }
    startQueuedDownload();
    return 0;
}

void RequestClearQueue() {
    clearQueueRequested = true;
}

net::INetDataBuffer* ReceiveHeld(net::ITCPDescriptor* link) {
    net::INetDataBuffer* data = link ? link->receive() : nullptr;
    // Whether or not the network module hands the buffer out with the
    // caller's reference, exactly one is held from here on.
    if (data && data->addRef() > 1)
        data->release();
    return data;
}

int file_transfer_thread(Ithread* thread) {
    return RunWorkerLoop(thread, workerLoop{&transferTurn, &g_TransferHostList, nullptr, nullptr});
}

}  // namespace vesk::gnutella
