#include "plugins/gnutella/linkTrafficStandIns.h"

#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/linkControl.h"

namespace vesk::gnutella {

int ReadDescriptors(CGnutellaHost*) {
    return 0;
}

int SendBroadcastsToHost(CGnutellaHost*) {
    return 0;
}

int PingHost(CGnutellaHost*) {
    return 0;
}

int RememberSent(CGnutellaHost*, const CGnutellaPacket*, unsigned) {
    return 0;
}

int ClearRoutingMemory(CGnutellaHost*) {
    return 0;
}

int ExpireBroadcasts() {
    return 0;
}

int SendToHost(CGnutellaHost* host, const void* bytes, unsigned long length) {
    if (!host || !host->m_Link)
        return -1;
    if (host->m_Link->status() != net::status::connected)
        return 0;
    ++host->m_SentCount;
    return SendOnLink(host, bytes, length);
}

}  // namespace vesk::gnutella
