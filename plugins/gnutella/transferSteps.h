// The work of one transfer state, as the transfer step (ServiceTransfers)
// runs it on the transfer thread with the connection's lock held. Each
// returns 0 to leave the connection in the transfer list, 1 to take it
// out. Calls into the user interface are held back by the step's
// deferredCalls scope until the lock is let go.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "plugins/gnutella/transferRows.h"
#include "vesk/net.h"
#include "vesk/threading.h"

namespace vesk {
struct Ibuffer;
}

namespace vesk::gnutella {

class CGnutellaHost;
class CGnutellaTransfer;

// Dials the download's source (the connection's address and port) anew on
// its link, in transfer mode; time-outs count from now.
void DialSource(CGnutellaHost* host);

// Request and answer (state requestPending, awaitingResponse).
int SendDownloadRequest(CGnutellaHost* host);
int ReadDownloadResponse(CGnutellaHost* host, net::INetDataBuffer* data);
// The answer has not come 5000 ms after the request: a header begun and
// left unfinished fails with 992; no answer at all drops the link, and
// OnResponseLost ends the download.
int OnResponseTimeout(CGnutellaHost* host);

// File data (state receiving).
int ReceiveDownloadData(CGnutellaHost* host, net::INetDataBuffer* data);
// Writes a piece at the transfer's offset, cut to the bytes the file still
// lacks (the piece itself is shortened); the bytes written (0 for an empty
// piece) or -1 when not all of them could be written.
long WriteDownloadPiece(CGnutellaTransfer* transfer, Ibuffer* piece);
// Every byte is in the partial file: the link and file are closed, the
// file copy thread moves it and the download leaves the running ones.
void FinishReceivedFile(CGnutellaHost* host);
// After a piece: complete when every byte of the file came; when only the
// answer's range is complete, the same source is asked for the rest (from
// bytesDone): on the same connection while it is up, else on a new one. 0.
int AfterPiece(CGnutellaHost* host);
// Asks the source for the rest (from bytesDone): again on the connection of
// the last answer (sameConnection), else over a new one it dials.
void AskForRest(CGnutellaHost* host, bool sameConnection);

// The download fails with the code: the failure shown with the actions
// given, the link and file closed, downloadEnded, off the running
// downloads. 0.
int EndFailedDownload(CGnutellaHost* host, std::uint32_t code, std::initializer_list<rowAction> actions);

// Asks the source to connect back (a push). Sent: the download waits for
// the GIV (awaitingGiv). Not sent: status 994, and the download ends, or
// unless endOnFailure is left failed for its closing work. 0.
int RequestPushOrFail(CGnutellaHost* host, bool endOnFailure);

// The link has closed (or, for a stop, is still up).
int OnConnectFailed(CGnutellaHost* host);
int OnResponseLost(CGnutellaHost* host);
int OnReceiveClosed(CGnutellaHost* host);
int FinishFailedDownload(CGnutellaHost* host);
int CloseStoppedDownload(CGnutellaHost* host);
int FinishStoppedDownload(CGnutellaHost* host);
// A download that has ended: the busy countdown and retry, or auto-clear.
int EndDownload(CGnutellaHost* host);
// An upload that has ended: auto-clear.
int EndUpload(CGnutellaHost* host);
// The link reported an error.
int OnLinkError(CGnutellaHost* host);

// Starts a "gnutella filecopy thread" for a host in movingFile. 0, or -1
// when no thread could be made (the row then says so).
int StartFileCopy(CGnutellaHost* host);
// Its procedure: moves the finished file into the download folder (under a
// free name when its own is taken there), writes the row's final texts
// unless the row was removed meanwhile, and ends the download.
int file_copy_thread(Ithread* thread);

}  // namespace vesk::gnutella
