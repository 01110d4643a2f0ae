// A download's request and the source's answer: the request goes out once
// the link is up; the answer's header is gathered across steps (never
// waited for in a loop), read once it is complete, and the partial file is
// opened (resumed, created, or created under a free name) for the body.
#include <cstring>
#include <mutex>
#include <string>

#include "core/text.h"
#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaTransfer.h"
#include "plugins/gnutella/clock.h"
#include "plugins/gnutella/downloadActions.h"
#include "plugins/gnutella/downloadAnswer.h"
#include "plugins/gnutella/fixedText.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/httpMessages.h"
#include "plugins/gnutella/localFiles.h"
#include "plugins/gnutella/rateTexts.h"
#include "plugins/gnutella/resources.h"
#include "plugins/gnutella/transferRows.h"
#include "plugins/gnutella/transferStates.h"
#include "plugins/gnutella/transferSteps.h"
#include "vesk/data.h"

namespace vesk::gnutella {

namespace {

constexpr std::uint32_t answerTimeout = 5000;

// The row of a download that failed before its closing work: the failure,
// remove and retry.
void showFailedRow(CGnutellaTransfer* transfer) {
    ShowFailure(transfer);
    SetTransferActions(transfer->row,
                       {{IDS_GNU_ACTION_REMOVE, &remove_download}, {IDS_GNU_ACTION_RETRY, &retry_download}});
    ShowDownload(transfer->row);
}

// Closes the link and leaves the download failed; FinishFailedDownload
// ends it once the closed link is seen.
int failDownload(CGnutellaHost* host, std::uint32_t code) {
    host->m_Transfer->code = code;
    if (host->m_Link)
        host->m_Link->close();
    SetTransferState(host, transferState::downloadFailed);
    showFailedRow(host->m_Transfer);
    return 0;
}

// The same, ended at once (the source may be asked again later).
int endDownloadNow(CGnutellaHost* host, std::uint32_t code) {
    SetTransferState(host, transferState::downloadFailed);  // for its cleared percent
    return EndFailedDownload(
        host, code, {{IDS_GNU_ACTION_REMOVE, &remove_download}, {IDS_GNU_ACTION_RETRY, &retry_download}});
}

// The source answered with a status other than 200 or 206.
int answerRefused(CGnutellaHost* host, const std::string& statusLine) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    if (transfer->code == 0) {
        // A status the table does not name still ends the download as failed.
        std::size_t blank = statusLine.find(' ');
        int status = blank == std::string::npos ? 0 : std::atoi(statusLine.c_str() + blank + 1);
        transfer->code = status > 0 && status < 990 ? static_cast<std::uint32_t>(status) : 993;
    }
    ShowFailure(transfer);
    if (transfer->code == 503)
        SetTransferActions(transfer->row, {{IDS_GNU_ACTION_REMOVE, &remove_download},
                                           {IDS_GNU_ACTION_START_NOW, &start_queued_download}});
    else
        SetTransferActions(transfer->row, {{IDS_GNU_ACTION_START, &start_download},
                                           {IDS_GNU_ACTION_REMOVE, &remove_download},
                                           {IDS_GNU_ACTION_RETRY, &retry_download}});
    ShowDownload(transfer->row);
    host->m_Link->close();
    SetTransferState(host, transferState::downloadEnded);
    UntrackDownloadRow(transfer->row);
    return 0;
}

// The partial file for an answer that starts at byte start: resumed when a
// partial file of exactly that length is there, else new (under a free
// name when a file of the local name is there). 0, or the failure's code.
std::uint32_t openPartialFile(CGnutellaTransfer* transfer, std::uint32_t start) {
    if (!transfer->localName[0])
        CopyText(transfer->localName, SafeLocalName(transfer->remoteName));
    if (transfer->file) {
        transfer->file->close();
        transfer->file->release();
    }
    transfer->file = NewFileObject(JoinPath(transfer->tempFolder, transfer->localName));
    if (!transfer->file)
        return 996;
    transfer->bytesDone = start;
    if (transfer->file->exists()) {
        if (start == 0)
            return MakeUniqueFileName(transfer) == 0 ? 0 : 996;
        if (transfer->file->getSize() != start)
            return 990;
        return transfer->file->open(fs::openFlag::writeOnly | fs::openFlag::sequential | fs::openFlag::binary,
                                    fs::shareDenyNone)
                   ? 0
                   : 990;
    }
    // An answer from the middle of a file whose first part is not here
    // would leave a hole of zeros in a file that counts as complete.
    if (start > 0)
        return 990;
    return transfer->file->open(fs::openFlag::readWrite | fs::openFlag::sequential | fs::openFlag::create |
                                    fs::openFlag::binary,
                                fs::shareDenyNone)
               ? 0
               : 996;
}

Ibuffer* newBuffer() {
    static std::once_flag found;
    static unsigned long bufferClass = 0;
    std::call_once(found, [] {
        if (Ifactory* factory = moduleFactory())
            bufferClass = factory->findClass("vesk::buffer");
    });
    Ibuffer* buffer = CreateObject<Ibuffer>(bufferClass);
    if (buffer)
        buffer->addRef();
    return buffer;
}

// The answer's header is read: the row shows the source and the progress.
void showAnswerRead(CGnutellaTransfer* transfer, const std::string& clientName) {
    ss::IAgent* row = transfer->row;
    SetRowColour(row, rowColour::normal);
    CopyText(transfer->statusText,
             ProgressText(ResourceText(IDS_GNU_LINK_UPLOADING), transfer->bytesDone, transfer->fileSize));
    SetRowTexts(row, transfer->statusText, ResourceText(IDS_GNU_XFER_CONNECTED));
    CopyText(transfer->clientName, clientName);
    SetRowText(row, IDS_GNU_FIELD_CLIENT, transfer->clientName);
    if (row)
        row->SetAttributeProperty(ResourceText(IDS_GNU_FIELD_CLIENT), "II",
                                  value(static_cast<long>(VendorImage(VendorOf(clientName)))));
}

// The complete header was read: the file opened and the body that came
// with the header written.
int readAnswer(CGnutellaHost* host, std::size_t headerLength) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    std::string header = lowerCase(transfer->responseHeader.substr(0, headerLength));
    std::string body = transfer->responseHeader.substr(headerLength);
    std::string().swap(transfer->responseHeader);

    std::uint64_t start = 0;
    if (RangeStartFrom(header, transfer->fileSize, start) == rangeStart::beyondLimit)
        return failDownload(host, 990);
    transfer->answerEnd = static_cast<std::uint32_t>(AnnouncedEnd(header, start, transfer->fileSize));
    // An answer that announces none of the bytes still missing could only
    // be asked again for ever.
    if (transfer->answerEnd <= start && start < transfer->fileSize)
        return endDownloadNow(host, 993);
    if (std::uint32_t failure = openPartialFile(transfer, static_cast<std::uint32_t>(start)))
        return failDownload(host, failure);

    SetRowText(transfer->row, IDS_GNU_ACTION_DOWNLOAD, JoinPath(ManagerFolder(true), transfer->localName));
    SetRowText(transfer->row, IDS_GNU_FIELD_TEMP_PATH, JoinPath(transfer->tempFolder, transfer->localName));
    if (transfer->row)
        transfer->row->SetAttribute("AFD", value(1L));
    transfer->ResetStats();

    Ibuffer* first = newBuffer();
    if (!first)
        return endDownloadNow(host, 995);
    first->append(body.data(), static_cast<int>(body.size()));
    long written = WriteDownloadPiece(transfer, first);
    first->release();
    if (written < 0) {
        host->m_Link->close();
        transfer->code = 996;
        SetTransferState(host, transferState::downloadFailed);
        return 0;
    }
    transfer->UpdateStats();
    showAnswerRead(transfer, ClientNameFrom(header));

    if (host->m_State == transferState::downloadStopRequested)
        return 0;
    SetTransferState(host, transferState::receiving);
    transfer->followUp = false;
    NoteProgress(transfer);
    std::uint32_t now = static_cast<std::uint32_t>(TickNow());
    if (transfer->bytesDone < transfer->fileSize && now - transfer->lastRowRefresh > 500) {
        ShowDownload(transfer->row);
        transfer->lastRowRefresh = now;
    }
    return AfterPiece(host);
}

}  // namespace

void DialSource(CGnutellaHost* host) {
    if (!host || !host->m_Link)
        return;
    host->m_Link->setSendMode(true);
    host->m_Link->setTransferMode(true);
    host->m_Link->connect(host->m_AddressText, host->m_Port);
    StampTransfer(host);
}

int SendDownloadRequest(CGnutellaHost* host) {
    CGnutellaTransfer* transfer = host ? host->m_Transfer : nullptr;
    if (!transfer || !host->m_Link)
        return 0;
    std::string request =
        DownloadRequestText(transfer->remoteIndex, transfer->remoteName, transfer->bytesDone);
    if (!host->m_Link->send(request.data(), static_cast<unsigned long>(request.size()))) {
        if (!transfer->sendWaiting) {
            transfer->sendWaiting = 1;
            StampTransfer(host);
            return 0;
        }
        if (SinceStamp(host) <= answerTimeout)
            return 0;
        transfer->sendWaiting = 0;
        SendHttpError(host, nullptr, 992);
        return failDownload(host, 992);
    }
    transfer->sendWaiting = 0;
    transfer->responseHeader.clear();
    if (host->m_State != transferState::downloadStopRequested) {
        StampTransfer(host);
        SetTransferState(host, transferState::awaitingResponse);
    }
    return 0;
}

int ReadDownloadResponse(CGnutellaHost* host, net::INetDataBuffer* data) {
    CGnutellaTransfer* transfer = host ? host->m_Transfer : nullptr;
    if (!transfer || !data || !host->m_Link)
        return 0;
    std::string& bytes = transfer->responseHeader;
    bytes.append(reinterpret_cast<const char*>(data->data()), data->length());
    if (!BeginsLikeHttp(bytes))
        return endDownloadNow(host, 993);
    std::size_t lineEnd = bytes.find("\r\n");
    if (lineEnd != std::string::npos) {
        std::string statusLine = bytes.substr(0, lineEnd);
        if (ParseHttpStatus(statusLine.c_str(), transfer->code))
            return answerRefused(host, statusLine);
        if (std::size_t headerLength = AnswerHeaderLength(bytes))
            return headerLength > maxAnswerHeader ? endDownloadNow(host, 993)
                                                  : readAnswer(host, headerLength);
    }
    // The rest of the header comes in a later step, within the time-out.
    return bytes.size() > maxAnswerHeader ? endDownloadNow(host, 993) : 0;
}

int OnResponseTimeout(CGnutellaHost* host) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    if (transfer && !transfer->responseHeader.empty()) {
        SendHttpError(host, nullptr, 992);
        return failDownload(host, 992);
    }
    if (host->m_Link)
        host->m_Link->close();
    return 0;
}

}  // namespace vesk::gnutella
