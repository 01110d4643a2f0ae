// A download's file data: each piece is written at the transfer's offset,
// never past the end of the range the source's answer announced (nor past
// the size its hit named); an answer whose range ends before the file does
// is followed by a request for the rest, and the download is complete as
// soon as its bytes reach the size. The finished file is then moved by a
// thread of its own.
#include <algorithm>
#include <cstring>
#include <string>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaTransfer.h"
#include "plugins/gnutella/clock.h"
#include "plugins/gnutella/downloadActions.h"
#include "plugins/gnutella/fixedText.h"
#include "plugins/gnutella/rateTexts.h"
#include "plugins/gnutella/resources.h"
#include "plugins/gnutella/transferRows.h"
#include "plugins/gnutella/transferStates.h"
#include "plugins/gnutella/transferSteps.h"
#include "vesk/data.h"

namespace vesk::gnutella {

namespace {

// The partial file cannot be written: the download ends, the file is kept.
void failWrite(CGnutellaHost* host) {
    SetTransferState(host, transferState::downloadFailed);  // for its cleared percent
    EndFailedDownload(host, 997,
                      {{IDS_GNU_ACTION_START, &start_download},
                       {IDS_GNU_ACTION_RETRY, &retry_download},
                       {IDS_GNU_ACTION_REMOVE, &remove_download}});
}

}  // namespace

long WriteDownloadPiece(CGnutellaTransfer* transfer, Ibuffer* piece) {
    if (!transfer || !piece)
        return 0;
    unsigned length = piece->resize(0);
    std::uint32_t end = std::min(transfer->answerEnd, transfer->fileSize);
    std::uint32_t room = end > transfer->bytesDone ? end - transfer->bytesDone : 0;
    if (length > room) {
        // Bytes past the answer's range (a source's error text on the same
        // connection) or past the size are no part of the file.
        if (room == 0)
            return 0;
        length = piece->setSize(room);
    }
    if (length == 0)
        return 0;
    int written = transfer->file ? transfer->file->write(piece, transfer->bytesDone) : 0;
    if (written <= 0)
        return -1;
    transfer->bytesDone += static_cast<std::uint32_t>(written);
    transfer->windowBytes += static_cast<std::uint32_t>(written);
    return static_cast<unsigned>(written) < length ? -1 : written;
}

int ReceiveDownloadData(CGnutellaHost* host, net::INetDataBuffer* data) {
    CGnutellaTransfer* transfer = host ? host->m_Transfer : nullptr;
    if (!transfer || !data)
        return 0;
    long written = WriteDownloadPiece(transfer, data->asBuffer());
    if (written < 0) {
        failWrite(host);
        return 0;
    }
    if (written > 0)
        NoteProgress(transfer);
    transfer->UpdateStats();
    if (transfer->bytesDone >= std::min(transfer->answerEnd, transfer->fileSize))
        return AfterPiece(host);
    std::uint32_t now = static_cast<std::uint32_t>(TickNow());
    if (now - transfer->lastRowRefresh > 2000) {
        SetRowColour(transfer->row, rowColour::normal);
        CopyText(transfer->statusText,
                 ProgressText(ResourceText(IDS_GNU_LINK_UPLOADING), transfer->bytesDone, transfer->fileSize));
        SetRowText(transfer->row, IDS_GNU_FIELD_STATUS, transfer->statusText);
        ShowDownload(transfer->row);
        transfer->lastRowRefresh = now;
    }
    return 0;
}

int AfterPiece(CGnutellaHost* host) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    if (transfer->bytesDone >= transfer->fileSize) {
        FinishReceivedFile(host);
        return 0;
    }
    if (transfer->bytesDone < transfer->answerEnd || host->m_State == transferState::downloadStopRequested)
        return 0;
    // The answer's range is complete, the file is not (a source that caps
    // its answers): the same source is asked for the rest.
    AskForRest(host, host->m_Link && host->m_Link->status() == net::status::connected);
    return 0;
}

void AskForRest(CGnutellaHost* host, bool sameConnection) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    transfer->responseHeader.clear();
    transfer->sendWaiting = 0;
    transfer->followUp = sameConnection;
    if (sameConnection)
        StampTransfer(host);
    else
        DialSource(host);
    SetTransferState(host, transferState::requestPending);
}

void FinishReceivedFile(CGnutellaHost* host) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    ReleaseTransfer(host);
    // A stop asked for meanwhile keeps its state; the stop's closing work
    // ends the download and a later start only moves the file.
    if (SetTransferState(host, transferState::movingFile) != transferState::movingFile)
        return;
    transfer->code = 0;
    CopyText(transfer->statusText, CompletionText(ResourceText(IDS_GNU_XFER_COMPLETE), transfer->bytesDone));
    SetRowTexts(transfer->row, transfer->statusText, ResourceText(IDS_GNU_XFER_DONE));
    SetTransferActions(transfer->row, {{IDS_GNU_ACTION_REMOVE, &remove_download}});
    UntrackDownloadRow(transfer->row);
    // The row is written before the copy thread starts: from then on that
    // thread alone writes the transfer.
    StartFileCopy(host);
    ShowDownload(transfer->row);
}

}  // namespace vesk::gnutella
