#include "plugins/gnutella/transferStates.h"

#include <windows.h>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaTransfer.h"
#include "plugins/gnutella/clock.h"
#include "plugins/gnutella/httpMessages.h"
#include "plugins/gnutella/resources.h"
#include "plugins/gnutella/transferRows.h"

namespace vesk::gnutella {

std::uint16_t SetTransferState(CGnutellaHost* host, std::uint16_t state) {
    if (!host)
        return 0;
    CGnutellaTransfer* transfer = host->m_Transfer;
    if (transfer && state == transferState::downloadEnded) {
        transfer->retryStart = static_cast<std::uint32_t>(TickNow());
        transfer->retrySecondsShown = transfer->pushSent && transfer->viaPush ? 180 : 60;
    }
    if (transfer && (state == transferState::downloadFailed || state == transferState::uploadFailed))
        SetRowNumber(transfer->row, IDS_GNU_FIELD_PROGRESS, -1);
    // A stop asked for is overwritten only by an ending, or by a removal,
    // which ends the connection anyway (a removal kept waiting would leave
    // a connection behind whose row has left the window).
    bool stopping = host->m_State == transferState::downloadStopRequested;
    if (stopping && state != transferState::downloadEnded && state != transferState::uploadEnded &&
        state != transferState::removing)
        return host->m_State;
    host->m_State = state;
    return state;
}

namespace {

// The system's text for an error number, without its line end.
std::string systemMessage(DWORD error) {
    char text[512] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                             text, sizeof text, nullptr);
    std::string message(text, n);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message;
}

// Codes above the HTTP and internal ones are socket errors.
constexpr std::uint32_t firstSocketError = 10000;

}  // namespace

std::string FailureText(std::uint32_t code) {
    std::string reason = code >= firstSocketError ? systemMessage(code) : std::string();
    if (reason.empty())
        reason = StatusText(code);
    return std::string(ResourceText(IDS_GNU_XFER_ERROR)) + ": " + reason;
}

void ShowFailure(CGnutellaTransfer* transfer) {
    if (!transfer)
        return;
    SetRowTexts(transfer->row, FailureText(transfer->code), ResourceText(IDS_GNU_XFER_STOPPED));
    SetRowColour(transfer->row, rowColour::failed);
}

void ShowStop(CGnutellaTransfer* transfer) {
    if (!transfer)
        return;
    SetRowTexts(transfer->row, StatusText(999), ResourceText(IDS_GNU_STATUS_STOPPED));
    SetRowColour(transfer->row, rowColour::waiting);
}

void ReleaseTransfer(CGnutellaHost* host) {
    if (!host)
        return;
    if (host->m_Link)
        host->m_Link->close();
    CGnutellaTransfer* transfer = host->m_Transfer;
    if (transfer && transfer->file) {
        transfer->file->close();
        transfer->file->release();
        transfer->file = nullptr;
    }
}

void NoteProgress(CGnutellaTransfer* transfer) {
    if (transfer)
        transfer->lastProgress = static_cast<std::uint32_t>(TickNow());
}

bool Stalled(const CGnutellaTransfer* transfer) {
    return transfer && static_cast<std::uint32_t>(TickNow()) - transfer->lastProgress > stallTimeoutMs;
}

// A transfer connection has no handshake: its activity time is the stamp.
void StampTransfer(CGnutellaHost* host) {
    if (host)
        host->m_ActivityTime = static_cast<std::uint32_t>(TickNow());
}

std::uint32_t SinceStamp(const CGnutellaHost* host) {
    return host ? static_cast<std::uint32_t>(TickNow()) - host->m_ActivityTime : 0;
}

}  // namespace vesk::gnutella
