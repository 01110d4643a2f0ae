#include "plugins/gnutella/uploadSteps.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaHTTP.h"
#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/CGnutellaTransfer.h"
#include "plugins/gnutella/addresses.h"
#include "plugins/gnutella/clock.h"
#include "plugins/gnutella/downloadActions.h"
#include "plugins/gnutella/fixedText.h"
#include "plugins/gnutella/handshake.h"
#include "plugins/gnutella/handshakeText.h"
#include "plugins/gnutella/httpMessages.h"
#include "plugins/gnutella/incomingTransfers.h"
#include "plugins/gnutella/pushRequests.h"
#include "plugins/gnutella/rateTexts.h"
#include "plugins/gnutella/resources.h"
#include "plugins/gnutella/routing.h"
#include "plugins/gnutella/transferRows.h"
#include "plugins/gnutella/transferStates.h"
#include "plugins/gnutella/uploadSlots.h"
#include "vesk/data.h"

namespace vesk::gnutella {

namespace {

constexpr std::uint32_t rowRefreshMs = 500;
constexpr rowAction removeUploadAction{IDS_GNU_ACTION_REMOVE, &remove_upload};

void closeFile(CGnutellaTransfer* transfer) {
    if (!transfer->file)
        return;
    transfer->file->close();
    transfer->file->release();
    transfer->file = nullptr;
}

// Every byte went: the complete texts, remove only, the slot back.
int completeUpload(CGnutellaHost* host) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    CopyText(transfer->statusText, CompletionText(ResourceText(IDS_GNU_XFER_COMPLETE), transfer->bytesDone));
    SetRowTexts(transfer->row, transfer->statusText, ResourceText(IDS_GNU_XFER_DONE));
    transfer->code = 0;
    SetTransferActions(transfer->row, {removeUploadAction});
    SetRowColour(transfer->row, rowColour::complete);
    ReleaseUploadSlot(host);
    SetTransferState(host, transferState::uploadEnded);
    ShowUpload(transfer->row);
    g_Settings.m_Uploaded = true;
    return 0;
}

void showProgress(CGnutellaTransfer* transfer) {
    CopyText(transfer->statusText,
             ProgressText(ResourceText(IDS_GNU_LINK_DOWNLOADING), transfer->bytesDone, transfer->fileSize));
    SetRowText(transfer->row, IDS_GNU_FIELD_STATUS, transfer->statusText);
    auto now = static_cast<std::uint32_t>(TickNow());
    if (now - transfer->lastRowRefresh > rowRefreshMs) {
        ShowUpload(transfer->row);
        transfer->lastRowRefresh = now;
    }
}

}  // namespace

int SendUploadData(CGnutellaHost* host) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    if (!transfer)
        return 0;
    if (!transfer->file) {
        // Nothing more can be read: the link closes, and its closing work
        // ends the upload (complete when every byte of the range went).
        host->m_Link->close();
        return 0;
    }
    std::uint32_t n = transfer->endOffset > transfer->bytesDone
                          ? std::min(transfer->chunkSize, transfer->endOffset - transfer->bytesDone)
                          : 0;
    // At the end of the range the read gives nothing and the upload completes.
    Ibuffer* chunk = n ? transfer->file->read(n, transfer->bytesDone) : nullptr;
    if (chunk)
        chunk->addRef();
    unsigned got = chunk ? chunk->resize(0) : 0;
    if (got == 0) {
        if (chunk)
            chunk->release();
        host->m_Link->close();
        closeFile(transfer);
        return completeUpload(host);
    }
    if (host->m_Link->status() != net::status::connected) {
        chunk->release();
        return 0;
    }
    int sent = host->m_Link->send(chunk->current(), got);
    chunk->release();
    if (sent != 1) {
        // Refused: the same bytes again at the next step, unless the peer
        // has read nothing for so long that the upload counts as lost
        // (its closing work follows).
        if (Stalled(transfer))
            host->m_Link->close();
        return 0;
    }
    NoteProgress(transfer);
    transfer->bytesDone += got;
    transfer->windowBytes += got;
    transfer->UpdateStats();
    if (transfer->bytesDone >= transfer->endOffset) {
        // The range, or the whole file, went: the link closes after its last
        // byte and the slot comes back.
        host->m_Link->close();
        closeFile(transfer);
        return completeUpload(host);
    }
    showProgress(transfer);
    return 0;
}

int OnUploadClosed(CGnutellaHost* host) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    if (!transfer)
        return 0;
    closeFile(transfer);
    // A range ends before the file does: once its last byte went, the
    // upload is complete however soon the peer closes.
    if (transfer->bytesDone >= transfer->endOffset)
        return completeUpload(host);
    ReleaseUploadSlot(host);
    SetTransferState(host, transferState::uploadFailed);
    transfer->code = 998;
    ShowFailure(transfer);
    SetTransferActions(transfer->row, {removeUploadAction});
    ShowUpload(transfer->row);
    SetTransferState(host, transferState::uploadEnded);
    return 0;
}

int FinishStoppedUpload(CGnutellaHost* host) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    if (!transfer)
        return 0;
    transfer->code = 999;
    SetTransferState(host, transferState::uploadFailed);
    ShowStop(transfer);
    SetTransferActions(transfer->row, {removeUploadAction});
    ShowUpload(transfer->row);
    ReleaseTransfer(host);
    ReleaseUploadSlot(host);
    SetTransferState(host, transferState::uploadEnded);
    g_Settings.m_Uploaded = true;
    return 0;
}

int FinishFailedUpload(CGnutellaHost* host) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    if (!transfer)
        return 0;
    if (transfer->code == 999) {
        SetTransferState(host, transferState::uploadStopRequested);
        return 0;
    }
    ShowFailure(transfer);
    ShowUpload(transfer->row);
    ReleaseTransfer(host);
    ReleaseUploadSlot(host);
    SetTransferState(host, transferState::uploadEnded);
    return 0;
}

int ReadUploadRequest(CGnutellaHost* host, net::INetDataBuffer* data) {
    if (!data || !host->m_Link)
        return 0;
    std::string_view text = ReceivedText(data->data(), data->length());
    if (StartsWithNoCase(text, g_Settings.ConnectString()))
        return AnswerConnect04(host);
    if (StartsWithNoCase(text, "GET ")) {
        std::unique_ptr<CGnutellaHTTP> request(ParseHttpRequestText(text.data(), text.size()));
        if (request && IsBrowserRequest(*request)) {
            RefuseBrowser(host);
            host->m_Link->close();
        }
    }
    return 0;
}

int SendGiv(CGnutellaHost* host) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    if (!transfer) {
        host->m_Link->close();
        return 1;
    }
    std::string line = GivKey(transfer->remoteIndex, g_Settings.m_ClientGuid, transfer->remoteName) + "\n\n";
    SendToHost(host, line.c_str(), static_cast<unsigned long>(line.size() + 1));
    delete transfer;
    host->m_Transfer = nullptr;
    host->m_State = transferState::unclassified;
    host->m_ActivityTime = static_cast<std::uint32_t>(TickNow());
    // The tracker refreshes the status bar and the tray: not under the
    // connection's lock (the step's deferredCalls scope runs it after).
    WithRowLater(host->m_Row, [](ss::IAgent* row) { g_Settings.TrackConnectingHost(row); });
    host->m_HandOver = hostHandOver::inactiveList;
    return 1;
}

}  // namespace vesk::gnutella
