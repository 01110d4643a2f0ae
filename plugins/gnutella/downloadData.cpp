// A download's file data: each piece is written at the transfer's offset,
// never past the size the source named, and the download is complete as
// soon as its bytes reach that size; the finished file is then moved by a
// thread of its own.
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
    std::uint32_t room =
        transfer->fileSize > transfer->bytesDone ? transfer->fileSize - transfer->bytesDone : 0;
    if (length > room) {
        // Bytes past the size the source named are no part of the file.
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
    if (WriteDownloadPiece(transfer, data->asBuffer()) < 0) {
        failWrite(host);
        return 0;
    }
    transfer->UpdateStats();
    if (transfer->bytesDone == transfer->fileSize) {
        FinishReceivedFile(host);
        return 0;
    }
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
