// How downloads end: the closing work of each state once its link has
// closed (and of a stop while the link is still up), the busy countdown and
// retry, auto-clear, and a link that reports an error.
#include <algorithm>
#include <string>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/CGnutellaTransfer.h"
#include "plugins/gnutella/addresses.h"
#include "plugins/gnutella/clock.h"
#include "plugins/gnutella/downloadActions.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/pushRequests.h"
#include "plugins/gnutella/rateTexts.h"
#include "plugins/gnutella/resources.h"
#include "plugins/gnutella/transferRows.h"
#include "plugins/gnutella/transferStates.h"
#include "plugins/gnutella/transferSteps.h"
#include "plugins/gnutella/transferThread.h"
#include "plugins/gnutella/uploadSlots.h"
#include "vesk/data.h"

namespace vesk::gnutella {

namespace {

constexpr rowAction retryAction{IDS_GNU_ACTION_RETRY, &retry_download};
constexpr rowAction removeAction{IDS_GNU_ACTION_REMOVE, &remove_download};
constexpr rowAction startAction{IDS_GNU_ACTION_START, &start_download};

// Ends the download: closed, downloadEnded, off the running downloads.
int endDownload(CGnutellaHost* host) {
    ReleaseTransfer(host);
    SetTransferState(host, transferState::downloadEnded);
    UntrackDownloadRow(host->m_Transfer->row);
    return 0;
}

// The source could not be reached (its link closed before an answer, or
// with no file byte): a push may still reach it, unless both ends are
// private and this node reports no address. After an empty answer a push
// that cannot be sent leaves the download failed, to be finished later.
int tryPush(CGnutellaHost* host, bool afterEmptyAnswer) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    unsigned char own[4];
    g_Settings.m_OwnAddress.Get(own);
    if (!transfer->viaPush && IsPrivateAddress(host->m_Address) && IsPrivateAddress(own) &&
        g_Settings.m_EnableReported == 0) {
        SetRowNumber(transfer->row, IDS_GNU_FIELD_PROGRESS, -1);
        return EndFailedDownload(host, 991, {retryAction, removeAction});
    }
    return RequestPushOrFail(host, !afterEmptyAnswer);
}

// The row of a busy source while its retry waits: the seconds left, at
// first and then every fifth second (and at every step once 0 was shown).
void showCountdown(CGnutellaTransfer* transfer, std::uint32_t wait, std::uint32_t secondsLeft) {
    if (!(secondsLeft < transfer->retrySecondsShown - 4u))
        return;
    ss::IAgent* row = transfer->row;
    unsigned retryText = wait == 180000 ? IDS_GNU_XFER_RETRY_180 : IDS_GNU_XFER_RETRY_60;
    SetRowText(row, IDS_GNU_FIELD_STATUS,
               std::string(ResourceText(IDS_GNU_XFER_BUSY)) + " - " + ResourceText(retryText));
    SetRowText(row, IDS_GNU_FIELD_TIME_LEFT, CountdownText(secondsLeft));
    SetRowNumber(row, IDS_GNU_FIELD_PROGRESS, 0);
    SetRowText(row, IDS_GNU_FIELD_SPEED, ResourceText(IDS_GNU_XFER_QUEUED));
    SetRowColour(row, rowColour::waiting);
    transfer->retrySecondsShown = secondsLeft;
    SetTransferActions(row, {removeAction, {IDS_GNU_ACTION_START_NOW, &start_queued_download}});
    ShowDownload(row);
}

// A busy source: the countdown, then the row goes back into the queue (the
// connection is not stepped until the queue starts it again).
int waitForBusySource(CGnutellaHost* host) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    std::uint32_t wait = transfer->pushSent && transfer->viaPush ? 180000 : 60000;
    std::uint32_t elapsed = static_cast<std::uint32_t>(TickNow()) - transfer->retryStart;
    if (elapsed < wait) {
        showCountdown(transfer, wait, (wait - elapsed) / 1000);
        return 0;
    }
    SetTransferState(host, transferState::requestPending);
    ++transfer->retryCount;
    transfer->awaitingSlot = true;
    WithRowLater(transfer->row, &add_download);
    return 0;
}

bool autoClear(int index) {
    return g_Services.manager && g_Services.manager->GetAutoClear(index);
}

}  // namespace

int RequestPushOrFail(CGnutellaHost* host, bool endOnFailure) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    if (!transfer)
        return 0;
    transfer->pushSent = 1;
    SetRowNumber(transfer->row, IDS_GNU_FIELD_PROGRESS, -1);
    if (RequestPush(host) == 0) {
        StampTransfer(host);
        SetRowTexts(transfer->row, ResourceText(IDS_GNU_XFER_PUSH_SENT),
                    ResourceText(IDS_GNU_XFER_AWAITING_GIV));
        SetTransferActions(transfer->row, {{IDS_GNU_ACTION_STOP, &stop_download}});
        ShowDownload(transfer->row);
        ReleaseTransfer(host);
        SetTransferState(host, transferState::awaitingGiv);
        return 0;
    }
    if (endOnFailure)
        return EndFailedDownload(host, 994, {startAction, retryAction, removeAction});
    transfer->code = 994;
    ShowFailure(transfer);
    ShowDownload(transfer->row);
    ReleaseTransfer(host);
    SetTransferState(host, transferState::downloadFailed);
    return 0;
}

int EndFailedDownload(CGnutellaHost* host, std::uint32_t code, std::initializer_list<rowAction> actions) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    if (!transfer)
        return 0;
    transfer->code = code;
    ShowFailure(transfer);
    SetTransferActions(transfer->row, actions);
    ShowDownload(transfer->row);
    return endDownload(host);
}

namespace {

// A request for the rest on the connection of the last answer: the source
// may close such a connection at any time, so it is dialled anew (once).
bool redialAfterFollowUp(CGnutellaHost* host) {
    if (!host->m_Transfer->followUp)
        return false;
    AskForRest(host, false);
    return true;
}

}  // namespace

int OnConnectFailed(CGnutellaHost* host) {
    if (!host->m_Transfer || redialAfterFollowUp(host))
        return 0;
    return tryPush(host, false);
}

int OnResponseLost(CGnutellaHost* host) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    if (!transfer || redialAfterFollowUp(host))
        return 0;
    return EndFailedDownload(host, 998, {retryAction, removeAction});
}

int OnReceiveClosed(CGnutellaHost* host) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    if (!transfer)
        return 0;
    if (transfer->bytesDone == 0)
        return tryPush(host, true);
    // The last bytes may still be held for the closed link.
    if (net::INetDataBuffer* rest = ReceiveHeld(host->m_Link)) {
        if (WriteDownloadPiece(transfer, rest->asBuffer()) > 0)
            transfer->UpdateStats();
        rest->release();
    }
    // Every byte the answer announced came before the close: the file is
    // complete, or the source is asked for the rest.
    if (transfer->bytesDone >= std::min(transfer->answerEnd, transfer->fileSize))
        return AfterPiece(host);
    SetTransferState(host, transferState::downloadFailed);  // for its cleared percent
    return EndFailedDownload(host, 998, {startAction, retryAction, removeAction});
}

int FinishFailedDownload(CGnutellaHost* host) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    if (!transfer)
        return 0;
    if (transfer->code == 999) {
        SetTransferState(host, transferState::downloadStopRequested);
        return 0;
    }
    ShowFailure(transfer);
    ShowDownload(transfer->row);
    return endDownload(host);
}

int CloseStoppedDownload(CGnutellaHost* host) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    if (!transfer)
        return 0;
    transfer->code = 999;
    SetTransferState(host, transferState::downloadFailed);  // taken only for its cleared percent
    ShowStop(transfer);
    SetTransferActions(transfer->row, {startAction, retryAction, removeAction});
    ShowDownload(transfer->row);
    ReleaseTransfer(host);
    return 0;
}

int FinishStoppedDownload(CGnutellaHost* host) {
    if (!host->m_Transfer)
        return 0;
    CloseStoppedDownload(host);
    return endDownload(host);
}

int EndDownload(CGnutellaHost* host) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    if (!transfer)
        return 0;
    if (transfer->code == 503 && g_Settings.m_AutoRetry && transfer->retryCount < g_Settings.m_AutoRetryCount)
        return waitForBusySource(host);
    if (!autoClear(transfer->code == 0 ? ss::autoClear::completedDownloads : ss::autoClear::failedDownloads))
        return 0;
    WithRowLater(transfer->row, &DetachDownloadRow);
    return 1;
}

int EndUpload(CGnutellaHost* host) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    if (!transfer)
        return 0;
    if (!autoClear(transfer->code == 0 ? ss::autoClear::completedUploads : ss::autoClear::failedUploads))
        return 0;
    WithRowLater(transfer->row, &DetachUploadRow);
    return 1;
}

int OnLinkError(CGnutellaHost* host) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    if (!transfer) {
        host->m_Link->close();
        return 0;
    }
    int error = host->m_Link->lastError();
    transfer->code = error > 0 ? static_cast<std::uint32_t>(error) : 998;
    ShowFailure(transfer);
    std::uint16_t state = host->m_State;
    bool upload = state == transferState::sending || state == transferState::uploadStopRequested ||
                  state == transferState::uploadFailed || state == transferState::uploadEnded;
    if (upload)
        SetTransferActions(transfer->row, {{IDS_GNU_ACTION_REMOVE, &remove_upload}});
    else
        SetTransferActions(transfer->row, {removeAction, retryAction});
    ReleaseTransfer(host);
    switch (state) {
        case transferState::requestPending:
        case transferState::receiving:
        case transferState::awaitingResponse:
        case transferState::downloadStopRequested:
        case transferState::downloadFailed:
            // Also over a stop: the failure is shown and finished as such.
            host->m_State = transferState::downloadFailed;
            break;
        case transferState::sending:
            ShowUpload(transfer->row);
            SetTransferState(host, transferState::uploadEnded);
            ReleaseUploadSlot(host);
            break;
        case transferState::movingFile:
            ShowDownload(transfer->row);
            SetTransferState(host, transferState::downloadEnded);
            UntrackDownloadRow(transfer->row);
            break;
        default:
            break;
    }
    return 0;
}

}  // namespace vesk::gnutella
