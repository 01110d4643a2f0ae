#include "plugins/gnutella/incomingTransferStandIns.h"

#include "plugins/gnutella/handshake.h"

namespace vesk::gnutella {

int HandlePushAnswer(CGnutellaHost* host, std::string_view) {
    return RefuseConnection(host);
}

int HandleUploadRequest(CGnutellaHost* host, std::string_view) {
    return RefuseConnection(host);
}

}  // namespace vesk::gnutella
