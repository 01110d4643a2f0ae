#include "plugins/gnutella/downloadActions.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaTransfer.h"
#include "plugins/gnutella/addresses.h"
#include "plugins/gnutella/deferredCalls.h"
#include "plugins/gnutella/downloadQueue.h"
#include "plugins/gnutella/fixedText.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/localFiles.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/network.h"
#include "plugins/gnutella/resources.h"
#include "plugins/gnutella/transferRows.h"
#include "plugins/gnutella/transferStates.h"
#include "plugins/gnutella/transferSteps.h"

namespace vesk::gnutella {

namespace {

// Set on results whose source can only be reached by a push.
constexpr const char* forcePushName = "GNUTELLA_FORCE_PUSH";

// The connection the row's "GnuTID" names; with g_TransferHostList's guard.
CGnutellaHost* findRowHost(ss::IAgent* row) {
    guid16 id;
    if (!RowTransferId(row, id))
        return nullptr;
    auto entry = g_TransferHostList.items.find(id);
    return entry == g_TransferHostList.items.end() ? nullptr : entry->second;
}

// Runs change on the row's connection, under the list's guard and the
// connection's lock; false when the row names none.
template <class F>
bool withRowHost(ss::IAgent* row, F change) {
    std::lock_guard<std::recursive_mutex> hold(g_TransferHostList.guard);
    CGnutellaHost* host = findRowHost(row);
    if (!host)
        return false;
    lockGuard locked(host->m_Lock);
    change(host);
    return true;
}

bool pushChosen(CGnutellaHost* host, ss::IAgent* row) {
    return host->m_Transfer->pushSent ||
           (row->HasAttribute(forcePushName) && IsPrivateAddress(host->m_Address));
}

// The row of a download being started: a running download with stop.
void showStarting(ss::IAgent* row) {
    TrackDownloadRow(row);
    SetTransferActions(row, {{IDS_GNU_ACTION_STOP, &stop_download}});
    std::string connecting = ResourceText(IDS_GNU_LINK_DIALLING);
    SetRowTexts(row, connecting, connecting);
    SetRowColour(row, rowColour::starting);
    ShowDownload(row);
}

// No connection could be made for the row: it shows why and leaves the
// running downloads.
void showStartFailed(ss::IAgent* row, std::uint32_t code) {
    SetRowTexts(row, FailureText(code), ResourceText(IDS_GNU_XFER_STOPPED));
    SetRowColour(row, rowColour::failed);
    SetTransferActions(row, {{IDS_GNU_ACTION_START, &start_download},
                             {IDS_GNU_ACTION_RETRY, &retry_download},
                             {IDS_GNU_ACTION_REMOVE, &remove_download}});
    ShowDownload(row);
    UntrackDownloadRow(row);
}

// A start on the row's own connection (busy retry, start, retry): it goes
// on from the bytes it has. Under the list's guard and the connection's lock.
void startAgain(CGnutellaHost* host, ss::IAgent* row) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    if (!transfer || transfer->copyRunning)
        return;
    unsigned long long phase = 0;
    bool complete = transfer->bytesDone == transfer->fileSize && transfer->localName[0];
    if (complete && RowNumber(row, "AFD", phase) && phase == 2)
        return;  // finished and moved: nothing to start
    showStarting(row);
    transfer->awaitingSlot = false;
    transfer->code = 0;
    transfer->sendWaiting = 0;
    transfer->responseHeader.clear();
    if (pushChosen(host, row)) {
        RequestPushOrFail(host, true);
        return;
    }
    int status = host->m_Link ? host->m_Link->status() : net::status::idle;
    if (status != net::status::idle && status != net::status::failed)
        return;  // under way
    if (complete) {
        // Every byte came before a stop did: only the move is left.
        FinishReceivedFile(host);
        return;
    }
    DialSource(host);
    SetTransferState(host, transferState::requestPending);
}

// The source as the result row names it; false when it names none usable.
bool readSource(ss::IAgent* row, CGnutellaHost* host, CGnutellaTransfer* transfer) {
    std::string address = RowText(row, ResourceText(IDS_GNU_FIELD_ADDRESS));
    unsigned long long port = 0, index = 0, size = 0;
    if (address.size() >= sizeof host->m_AddressText || TextToIp(address.c_str(), host->m_Address) != 0 ||
        !RowNumber(row, ResourceText(IDS_GNU_FIELD_PORT), port) || port == 0 || port > 0xFFFF ||
        !RowNumber(row, ResourceText(IDS_GNU_FIELD_INDEX), index) || index > 0xFFFFFFFFull ||
        !RowNumber(row, ResourceText(IDS_GNU_FIELD_SIZE), size) || size > 0xFFFFFFFFull)
        return false;
    CopyText(host->m_AddressText, address);
    host->m_Port = static_cast<std::uint16_t>(port);
    std::snprintf(host->m_AddressAndPort, sizeof host->m_AddressAndPort, "%s:%u", host->m_AddressText,
                  static_cast<unsigned>(host->m_Port));
    transfer->remoteIndex = static_cast<std::uint32_t>(index);
    transfer->fileSize = static_cast<std::uint32_t>(size);
    CopyText(transfer->remoteName, RowText(row, ResourceText(IDS_GNU_FIELD_NAME)));
    CopyText(transfer->sha1, RowText(row, "SHA1"));
    CopyText(transfer->tempFolder, ManagerFolder(false));
    return true;
}

// A new transfer connection for the row's source, with its descriptor and
// transfer, in requestPending; null (and the code) when none can be made.
CGnutellaHost* newDownloadHost(ss::IAgent* row, std::uint32_t& code) {
    code = 995;
    CGnutellaHost* host = NewTransferHost(NewTcpDescriptor());
    if (!host)
        return nullptr;
    CGnutellaTransfer* transfer = host->m_Transfer;
    host->m_Kind = linkKind::none;
    host->m_State = transferState::requestPending;
    if (!readSource(row, host, transfer)) {
        delete host;
        return nullptr;
    }
    row->addRef();
    transfer->row = row;
    return host;
}

void startNew(ss::IAgent* row) {
    showStarting(row);
    std::uint32_t code = 0;
    CGnutellaHost* host = newDownloadHost(row, code);
    if (!host) {
        showStartFailed(row, code);
        return;
    }
    SetRowNumber(row, IDS_GNU_FIELD_PROGRESS, 0);
    SetRowTransferId(row, host->m_Id);
    row->SetAttribute("AFD", value(0L));
    std::lock_guard<std::recursive_mutex> hold(g_TransferHostList.guard);
    g_TransferHostList.items[host->m_Id] = host;
    lockGuard locked(host->m_Lock);
    if (pushChosen(host, row))
        RequestPushOrFail(host, true);
    else
        DialSource(host);
}

}  // namespace

int add_download(ss::IAgent* row) {
    if (!row)
        return 0;
    deferredCalls afterLocks;
    std::string waiting = ResourceText(IDS_GNU_XFER_WAITING);
    SetRowTexts(row, waiting + "...", waiting);
    SetRowNumber(row, IDS_GNU_FIELD_PROGRESS, -1);
    SetRowColour(row, rowColour::waiting);
    SetTransferActions(
        row, {{IDS_GNU_ACTION_REMOVE, &remove_download}, {IDS_GNU_ACTION_START_NOW, &start_queued_download}});
    ShowDownload(row);
    QueueDownload(row);
    return 0;
}

int start_download(ss::IAgent* row) {
    if (!row)
        return 0;
    deferredCalls afterLocks;
    // The look-up and a new connection under one hold of the list's guard:
    // "start now" on the GUI thread and the queue on the transfer thread
    // cannot both make one for the row.
    std::lock_guard<std::recursive_mutex> hold(g_TransferHostList.guard);
    if (withRowHost(row, [row](CGnutellaHost* host) { startAgain(host, row); }))
        return 0;
    // A "GnuTID" whose connection is gone names nothing: a fresh one.
    ClearRowTransferId(row);
    startNew(row);
    return 0;
}

int start_queued_download(ss::IAgent* row) {
    UnqueueDownload(row);
    return start_download(row);
}

int stop_download(ss::IAgent* row) {
    deferredCalls afterLocks;
    withRowHost(row, [row](CGnutellaHost* host) {
        CGnutellaTransfer* transfer = host->m_Transfer;
        if (transfer && transfer->copyRunning)
            return;  // complete: the file is being moved
        if (transfer && transfer->awaitingSlot) {
            // A busy source waiting in the queue: it leaves the queue too.
            transfer->awaitingSlot = false;
            WithRowLater(row, &UnqueueDownload);
        }
        SetTransferState(host, transferState::downloadStopRequested);
    });
    return 0;
}

int stop_upload(ss::IAgent* row) {
    withRowHost(row, [](CGnutellaHost* host) {
        if (host->m_State != transferState::sending)
            return;  // ended already, or not yet begun
        // A stopped upload's link closes at once, whatever the peer does.
        if (host->m_Link)
            host->m_Link->close();
        SetTransferState(host, transferState::uploadStopRequested);
    });
    return 0;
}

int remove_download(ss::IAgent* row) {
    if (!row)
        return 0;
    deferredCalls afterLocks;
    withRowHost(row, [](CGnutellaHost* host) {
        if (host->m_Link)
            host->m_Link->close();
        SetTransferState(host, transferState::removing);
    });
    DetachDownloadRow(row);
    return 0;
}

int remove_upload(ss::IAgent* row) {
    deferredCalls afterLocks;
    bool found = withRowHost(row, [](CGnutellaHost* host) {
        if (host->m_Link)
            host->m_Link->close();
        SetTransferState(host, transferState::removing);
    });
    if (found)
        DetachUploadRow(row);
    return 0;
}

int retry_download(ss::IAgent* row) {
    deferredCalls afterLocks;
    bool moving = false;
    withRowHost(row, [&moving](CGnutellaHost* host) {
        CGnutellaTransfer* transfer = host->m_Transfer;
        moving = transfer && transfer->copyRunning;
        if (transfer && !moving)
            transfer->bytesDone = 0;
    });
    return moving ? 0 : start_download(row);
}

void DetachDownloadRow(ss::IAgent* row) {
    if (!row)
        return;
    UnqueueDownload(row);
    ClearTransferActions(row);
    ClearRowTransferId(row);
    row->AddAction(ResourceText(IDS_GNU_ACTION_DOWNLOAD), &add_download);
    SetRowColour(row, rowColour::normal);
    UntrackDownloadRow(row);
    HideDownload(row);
}

void DetachUploadRow(ss::IAgent* row) {
    if (!row)
        return;
    ClearRowTransferId(row);
    HideUpload(row);
}

}  // namespace vesk::gnutella
