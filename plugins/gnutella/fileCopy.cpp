// The "gnutella filecopy thread": one per finished download, it moves the
// partial file from the temporary folder into the download folder (a copy
// across volumes may take long, so not on the transfer thread). The
// transfer thread leaves the connection alone meanwhile: its state is
// movingFile, and a removal waits until copyRunning is clear. At unload the
// thread is asked to stop (a copy ends between its pieces) and waited for
// before any connection goes.
#include <cstring>
#include <string>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaTransfer.h"
#include "plugins/gnutella/fixedText.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/localFiles.h"
#include "plugins/gnutella/rateTexts.h"
#include "plugins/gnutella/resources.h"
#include "plugins/gnutella/transferRows.h"
#include "plugins/gnutella/transferStates.h"
#include "plugins/gnutella/transferSteps.h"
#include "plugins/gnutella/workerThreads.h"

namespace vesk::gnutella {

namespace {

std::string partialPath(const CGnutellaTransfer* transfer) {
    return JoinPath(transfer->tempFolder, transfer->localName);
}

// The text 40038, ": ", a reason read now and the partial file's path.
std::string notMovedText(const CGnutellaTransfer* transfer, unsigned reasonId) {
    return std::string(ResourceText(IDS_GNU_XFER_COMPLETE)) + ": " + LanguageText(reasonId) + " " +
           partialPath(transfer);
}

// The destination the answer's row names, else the download folder now.
std::string destinationOf(const CGnutellaTransfer* transfer) {
    std::string destination = RowText(transfer->row, ResourceText(IDS_GNU_ACTION_DOWNLOAD));
    if (!destination.empty())
        return destination;
    return JoinPath(ManagerFolder(true), transfer->localName);
}

// The row's final texts once the move is over (movedTo empty: it failed).
void writeMoved(CGnutellaTransfer* transfer, const std::string& movedTo) {
    ss::IAgent* row = transfer->row;
    if (movedTo.empty()) {
        CopyText(transfer->statusText, notMovedText(transfer, IDS_GNU_XFER_NOT_MOVED));
    } else {
        if (row) {
            row->RemoveAttribute(ResourceText(IDS_GNU_FIELD_TEMP_PATH));
            row->SetAttribute("AFD", value(2L));
        }
        SetRowText(row, IDS_GNU_ACTION_DOWNLOAD, movedTo);
        CopyText(transfer->statusText,
                 CompletionText(ResourceText(IDS_GNU_XFER_COMPLETE), transfer->bytesDone));
    }
    SetRowTexts(row, transfer->statusText, ResourceText(IDS_GNU_XFER_DONE));
    SetRowColour(row, rowColour::complete);
    transfer->code = 0;
}

}  // namespace

int StartFileCopy(CGnutellaHost* host) {
    CGnutellaTransfer* transfer = host ? host->m_Transfer : nullptr;
    if (!transfer)
        return -1;
    transfer->copyRunning = true;
    if (Ithread* thread = StartWorkerThread("gnutella filecopy thread", &file_copy_thread, host)) {
        thread->release();  // the module's thread registry holds its own
        return 0;
    }
    transfer->copyRunning = false;
    CopyText(transfer->statusText, notMovedText(transfer, IDS_GNU_XFER_COPY_NOT_STARTED));
    SetRowText(transfer->row, IDS_GNU_FIELD_STATUS, transfer->statusText);
    return -1;
}

int file_copy_thread(Ithread* thread) {
    auto* host = static_cast<CGnutellaHost*>(thread ? thread->getParameter() : nullptr);
    CGnutellaTransfer* transfer = host ? host->m_Transfer : nullptr;
    if (transfer) {
        // A copy across volumes stops when the module unloads (the file
        // then stays in the temporary folder); the unload waits for it.
        std::string movedTo = MoveToFreeName(partialPath(transfer), destinationOf(transfer),
                                             [thread] { return thread->shouldRun() != 0; });
        bool removed;
        {
            lockGuard hold(host->m_Lock);
            // A row removed meanwhile has left the window (and may be
            // downloaded anew): it is not written again.
            removed = host->m_State == transferState::removing;
            if (!removed)
                writeMoved(transfer, movedTo);
            if (host->m_State == transferState::movingFile)
                SetTransferState(host, transferState::downloadEnded);
        }
        if (!removed)
            ShowDownload(transfer->row);
        transfer->copyRunning = false;  // the last use: the host may be deleted from here on
    }
    if (thread)
        thread->ended();
    return 0;
}

}  // namespace vesk::gnutella
