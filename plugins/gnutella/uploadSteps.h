// The steps of an upload's states. The upload side is not built yet: these
// stand in for it, closing the connection and dropping it (1).
#pragma once

#include "vesk/net.h"

namespace vesk::gnutella {

class CGnutellaHost;

int SendUploadData(CGnutellaHost* host);                                // sending, link up
int ReadUploadRequest(CGnutellaHost* host, net::INetDataBuffer* data);  // unclassified, data came
int OnUploadClosed(CGnutellaHost* host);                                // sending, link closed
int FinishStoppedUpload(CGnutellaHost* host);                           // uploadStopRequested, link closed
int FinishFailedUpload(CGnutellaHost* host);                            // uploadFailed, link closed
int SendGiv(CGnutellaHost* host);  // pushConnecting (a push upload connecting back), link up

}  // namespace vesk::gnutella
