// The states of a transfer connection and the steps its closing handlers
// share. Every function here is called with the connection's lock held.
#pragma once

#include <cstdint>
#include <string>

namespace vesk::gnutella {

class CGnutellaHost;
class CGnutellaTransfer;

namespace transferState {
constexpr std::uint16_t requestPending = 4;    // download: connect, then send the request
constexpr std::uint16_t receiving = 5;         // download: file data arriving
constexpr std::uint16_t awaitingResponse = 6;  // download: request sent
constexpr std::uint16_t sending = 7;           // upload: file data going out
constexpr std::uint16_t pushConnecting = 8;    // upload for a push: connecting back for the GIV
constexpr std::uint16_t downloadStopRequested = 9;
constexpr std::uint16_t uploadStopRequested = 10;
constexpr std::uint16_t downloadFailed = 0x50;  // the failure is still to be shown and finished
constexpr std::uint16_t uploadFailed = 0x51;
constexpr std::uint16_t awaitingGiv = 0x59;    // a push was asked for
constexpr std::uint16_t downloadEnded = 0x5a;  // complete, failed, stopped or busy
constexpr std::uint16_t uploadEnded = 0x5b;
constexpr std::uint16_t movingFile = 0x62;    // the file copy thread moves the finished file
constexpr std::uint16_t unclassified = 0x63;  // first data not yet read; handed over after a GIV
constexpr std::uint16_t removing = 0x96;      // deleted by the next pass
}  // namespace transferState

// Changes the state. While a stop is asked for (downloadStopRequested)
// only downloadEnded, uploadEnded and removing are taken. The side effects follow the value
// asked for even when it is not taken: downloadEnded starts the busy-retry
// clock (180 s shown for a pushed source that answered by GIV, else 60),
// downloadFailed and uploadFailed clear the row's percent. The state after.
std::uint16_t SetTransferState(CGnutellaHost* host, std::uint16_t state);

// The failure as the status column shows it: text 40045, ": " and the
// code's text (the system's message for a socket error).
std::string FailureText(std::uint32_t code);
// Failure and stop as the row shows them: status, speed and time left,
// colour.
void ShowFailure(CGnutellaTransfer* transfer);
void ShowStop(CGnutellaTransfer* transfer);
// Closes the connection's descriptor, and closes and lets go of its file.
void ReleaseTransfer(CGnutellaHost* host);

// A transfer whose bytes have not moved for this long has stalled: a source
// that sends nothing more, a peer that reads nothing more. Its link is then
// closed and the transfer ends as a lost connection.
constexpr std::uint32_t stallTimeoutMs = 60000;
// Bytes moved (or the transfer begins to move them) now.
void NoteProgress(CGnutellaTransfer* transfer);
bool Stalled(const CGnutellaTransfer* transfer);

// The stamp time-outs count from: a connect, a request or a push request.
void StampTransfer(CGnutellaHost* host);
std::uint32_t SinceStamp(const CGnutellaHost* host);

}  // namespace vesk::gnutella
