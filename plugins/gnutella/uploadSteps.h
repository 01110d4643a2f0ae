// The steps of an upload's states, as the transfer step runs them on the
// transfer thread with the connection's lock held; each returns 0 to keep
// the connection in the transfer list, 1 to take it out.
#pragma once

#include "vesk/net.h"

namespace vesk::gnutella {

class CGnutellaHost;

// Sending, link up: one chunk of at most chunkSize bytes from bytesDone;
// the upload completes, and its link closes, once the file or the range has
// been sent. A chunk the link refuses is read and sent again at the next
// step, until the stall time-out closes the link.
int SendUploadData(CGnutellaHost* host);
// Sending, link closed: complete when every byte went, else failed (998).
int OnUploadClosed(CGnutellaHost* host);
// A stop from the row, or a link lost while sending, once the link closed.
int FinishStoppedUpload(CGnutellaHost* host);
int FinishFailedUpload(CGnutellaHost* host);
// Unclassified in the transfer list, data came: a 0.4 connect makes it a
// link (1); a browser's request is refused with 403; anything else waits.
int ReadUploadRequest(CGnutellaHost* host, net::INetDataBuffer* data);
// A push upload connected back: sends the GIV and hands the connection to
// the listener thread, where the requester's GET is classified (1).
int SendGiv(CGnutellaHost* host);

}  // namespace vesk::gnutella
