// A "GET " on an accepted connection: a peer asks for one of the shared
// files, by index and name or by SHA-1. Only files the share engine shares
// are ever served.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include <string.h>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaHTTP.h"
#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/CGnutellaTransfer.h"
#include "plugins/gnutella/downloadActions.h"
#include "plugins/gnutella/fixedText.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/handshake.h"
#include "plugins/gnutella/httpMessages.h"
#include "plugins/gnutella/incomingTransfers.h"
#include "plugins/gnutella/linkControl.h"
#include "plugins/gnutella/localFiles.h"
#include "plugins/gnutella/rateTexts.h"
#include "plugins/gnutella/resources.h"
#include "plugins/gnutella/transferRows.h"
#include "plugins/gnutella/transferStates.h"
#include "plugins/gnutella/uploadSlots.h"
#include "vesk/data.h"
#include "vesk/share2.h"

namespace vesk::gnutella {

namespace {

constexpr const char* browserPage =
    "<html><head><title>Access Forbidden</title></head><body><h1>403 Forbidden</h1><br>You may no longer "
    "download files from Pelloran using a web browser. <br>Please download a client if you wish to receive "
    "files from now on. <br>Only downloading and not sharing hinders the Gnutella Network. <br></body></html>";

// Longest request texts taken from a path.
constexpr std::size_t indexTextLimit = 15;
constexpr std::size_t nameTextLimit = 259;
constexpr std::size_t hashTextLimit = 39;

// The shared file a path names, or the status to refuse it with.
struct lookup {
    share2::IShareObj* file = nullptr;
    unsigned refusal = 0;
};

bool parseIndex(const std::string& text, unsigned& index) {
    if (text.empty() || text.size() > indexTextLimit)
        return false;
    unsigned long long n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + static_cast<unsigned>(c - '0');
        if (n > 0xFFFFFFFFull)
            return false;
    }
    index = static_cast<unsigned>(n);
    return true;
}

// A folder has no name: it is never served.
share2::IShareObj* fileOnly(share2::IShareObj* object) {
    return object && object->getName()[0] ? object : nullptr;
}

// "/get/<index>/<name>": the name must begin the shared file's name, in
// any case (an empty name matches).
lookup byIndex(share2::IShareEngine* shares, const std::string& path, std::size_t at) {
    std::size_t from = at + std::strlen("/get/");
    std::size_t slash = path.find('/', from);
    unsigned index = 0;
    if (slash == std::string::npos || !parseIndex(path.substr(from, slash - from), index))
        return {nullptr, 400};
    std::string name = path.substr(slash + 1);
    if (name.size() > nameTextLimit)
        return {nullptr, 400};
    share2::IShareObj* file = fileOnly(shares->objectById(index));
    if (!file)
        return {nullptr, 500};
    if (_strnicmp(name.c_str(), file->getName(), name.size()) != 0)
        return {nullptr, 404};
    return {file, 0};
}

// "/uri-res/...urn:sha1:<base-32 hash>".
lookup byHash(share2::IShareEngine* shares, const std::string& path, std::size_t at) {
    std::size_t urn = path.find("urn:sha1:", at + std::strlen("/uri-res/"));
    if (urn == std::string::npos)
        return {nullptr, 400};
    std::string hash = path.substr(urn + std::strlen("urn:sha1:"));
    if (hash.size() > hashTextLimit)
        return {nullptr, 400};
    share2::IShareObj* file = fileOnly(shares->fileByHash(hash.c_str()));
    return {file, file ? 0u : 500u};
}

lookup requestedFile(const CGnutellaHTTP& request) {
    share2::IShareEngine* shares = g_Services.shareEngine;
    std::string line = request.requestLine;
    std::size_t blank = line.find(' ');
    std::string path = blank == std::string::npos ? std::string() : line.substr(blank + 1);
    if (!shares)
        return {nullptr, 500};
    std::size_t at = path.find("/get/");
    if (at != std::string::npos)
        return byIndex(shares, path, at);
    at = path.find("/uri-res/");
    if (at != std::string::npos)
        return byHash(shares, path, at);
    return {nullptr, 400};
}

// The bytes to send: [start, end). A range must start inside the file; its
// end is inclusive and cut to the file.
bool rangeOf(const CGnutellaHTTP& request, std::uint32_t size, std::uint32_t& start, std::uint32_t& end) {
    if (request.rangeUnreadable)
        return false;
    start = request.rangeStart;
    end = request.hasRangeEnd && request.rangeEnd < size ? request.rangeEnd + 1 : size;
    return start < size || (start == 0 && size == 0);
}

// The answer's header; its length is the bytes this answer carries.
std::string successHeader(std::uint32_t start, std::uint32_t end, std::uint32_t size) {
    std::string header = "HTTP 200 OK\r\nServer: Pelloran v3.1.3\r\nContent-type:application/binary\r\nContent-length: " +
                         std::to_string(end - start) + "\r\n";
    if (end > start)
        header += "Content-range: bytes=" + std::to_string(start) + "-" + std::to_string(end - 1) + "/" +
                  std::to_string(size) + "\r\n";
    return header + "\r\n";
}

// The upload's row in the transfer window.
ss::IAgent* uploadRow(CGnutellaHost* host, share2::IShareObj* file, CGnutellaTransfer* transfer) {
    ss::IAgent* row = NewAgent();
    if (!row)
        return nullptr;
    char path[share2::pathBufferSize] = {};
    file->getPath(path);
    SetRowText(row, IDS_GNU_FIELD_NAME, transfer->remoteName);
    row->SetAttributeBuffer(ResourceText(IDS_GNU_FIELD_ID), host->m_Id.bytes, sizeof host->m_Id.bytes);
    SetRowText(row, IDS_GNU_FIELD_ADDRESS, host->m_AddressText);
    row->SetAttribute(ResourceText(IDS_GNU_FIELD_PORT), value(host->m_Port));
    row->SetAttribute(ResourceText(IDS_GNU_FIELD_INDEX), value(static_cast<unsigned long>(transfer->remoteIndex)));
    row->SetAttribute(ResourceText(IDS_GNU_FIELD_SIZE), value(static_cast<unsigned long>(transfer->fileSize)));
    SetRowText(row, IDS_GNU_ACTION_DOWNLOAD, path);
    row->AddAction(ResourceText(IDS_GNU_ACTION_STOP), &stop_upload);
    return row;
}

// Opens the file and sends the header with the first piece in one send.
// False (nothing sent) when the file cannot be opened or read.
bool sendFirstPiece(CGnutellaHost* host, CGnutellaTransfer* transfer, share2::IShareObj* file,
                    const std::string& header) {
    char path[share2::pathBufferSize] = {};
    file->getPath(path);
    transfer->file = NewFileObject(path);
    if (!transfer->file || !transfer->file->open(fs::openFlag::binary | fs::openFlag::sequential, fs::shareDenyNone))
        return false;
    std::uint32_t n = std::min(transfer->chunkSize, transfer->endOffset - transfer->bytesDone);
    transfer->ResetStats();
    Ibuffer* piece = n ? transfer->file->read(n, transfer->bytesDone) : nullptr;
    if (piece)
        piece->addRef();
    unsigned got = piece ? piece->resize(0) : 0;
    if (n && got != n) {
        if (piece)
            piece->release();
        return false;
    }
    std::string block = header;
    if (piece) {
        block.append(reinterpret_cast<const char*>(piece->current()), got);
        piece->release();
    }
    transfer->bytesDone += got;
    transfer->windowBytes += got;
    transfer->UpdateStats();
    host->m_Link->send(block.data(), static_cast<unsigned long>(block.size()));
    NoteProgress(transfer);
    return true;
}

// The request is refused after its slot was taken: the answer, the slot
// back, the connection closed.
int refuse(CGnutellaHost* host, unsigned code, const char* page = nullptr) {
    SendHttpError(host, page, code);
    RemoveUploadForIp(host->m_AddressText);
    return RefuseConnection(host);
}

// Serves the file: the transfer, its row, the first piece; the upload then
// goes on in the transfer list.
int startUpload(CGnutellaHost* host, share2::IShareObj* file, std::uint32_t start, std::uint32_t end) {
    std::unique_ptr<CGnutellaTransfer> transfer(new (std::nothrow) CGnutellaTransfer());
    if (!transfer)
        return refuse(host, 500);
    CopyText(transfer->remoteName, file->getName());
    transfer->remoteIndex = file->getId();
    transfer->fileSize = file->getSize();
    transfer->chunkSize = g_Settings.m_UploadChunkSize ? g_Settings.m_UploadChunkSize.load() : 8192;
    transfer->bytesDone = start;
    transfer->endOffset = end;
    transfer->row = uploadRow(host, file, transfer.get());
    if (!transfer->row)
        return refuse(host, 500);
    if (!sendFirstPiece(host, transfer.get(), file, successHeader(start, end, transfer->fileSize)))
        return refuse(host, 500);
    ss::IAgent* row = transfer->row;
    transfer->uploadSlotHeld = true;
    CopyText(transfer->statusText,
             ProgressText(ResourceText(IDS_GNU_LINK_DOWNLOADING), transfer->bytesDone, transfer->fileSize));
    host->m_Transfer = transfer.release();
    host->m_State = transferState::sending;
    host->m_Kind = linkKind::none;
    host->m_HandOver = hostHandOver::transferList;
    TrackUploadRow(row);
    SetRowTransferId(row, host->m_Id);
    SetRowText(row, IDS_GNU_FIELD_STATUS, host->m_Transfer->statusText);
    SetRowNumber(row, IDS_GNU_FIELD_PROGRESS, 0);
    ShowUpload(row);
    return 1;
}

}  // namespace

bool IsBrowserRequest(const CGnutellaHTTP& request) {
    return std::strstr(request.userAgent, "Mozilla") || std::strstr(request.userAgent, "mozilla");
}

int RefuseBrowser(CGnutellaHost* host) {
    return SendHttpError(host, browserPage, 403);
}

int HandleUploadRequest(CGnutellaHost* host, std::string_view text) {
    host->m_Link->setSendMode(true);
    host->m_Link->setTransferMode(true);
    if (g_Settings.Counts().uploads >= g_Settings.m_MaxUploads || !AddUploadForIp(host->m_AddressText)) {
        SendHttpError(host, nullptr, 503);
        SetRowColour(host->m_Row, rowColour::normal);
        UntrackLinkByKind(host);
        host->m_Kind = linkKind::closed;
        host->m_Link->close();
        return 1;
    }
    std::unique_ptr<CGnutellaHTTP> request(ParseHttpRequestText(text.data(), text.size()));
    if (!request && text.find("\r\n\r\n") != std::string_view::npos)
        return refuse(host, 400);  // a whole request for nothing this node serves
    if (!request) {
        // Perhaps only its first part came: nothing answered, the slot back.
        RemoveUploadForIp(host->m_AddressText);
        return 0;
    }
    if (IsBrowserRequest(*request))
        return refuse(host, 403, browserPage);
    lookup found = requestedFile(*request);
    if (!found.file)
        return refuse(host, found.refusal);
    std::uint32_t start = 0, end = 0;
    if (!rangeOf(*request, found.file->getSize(), start, end))
        return refuse(host, 416);
    return startUpload(host, found.file, start, end);
}

}  // namespace vesk::gnutella
