// Stands in for the upload side until it is built.
#include "plugins/gnutella/uploadSteps.h"

#include "plugins/gnutella/CGnutellaHost.h"

namespace vesk::gnutella {

namespace {

int dropConnection(CGnutellaHost* host) {
    if (host && host->m_Link)
        host->m_Link->close();
    return 1;
}

}  // namespace

int SendUploadData(CGnutellaHost* host) {
    return dropConnection(host);
}

int ReadUploadRequest(CGnutellaHost* host, net::INetDataBuffer*) {
    return dropConnection(host);
}

int OnUploadClosed(CGnutellaHost* host) {
    return dropConnection(host);
}

int FinishStoppedUpload(CGnutellaHost* host) {
    return dropConnection(host);
}

int FinishFailedUpload(CGnutellaHost* host) {
    return dropConnection(host);
}

int SendGiv(CGnutellaHost* host) {
    return dropConnection(host);
}

}  // namespace vesk::gnutella
