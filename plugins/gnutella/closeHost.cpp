#include "plugins/gnutella/closeHost.h"

#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/routing.h"

namespace vesk::gnutella {

int CloseHost(CGnutellaHost& host) {
    ClearRoutingMemory(host);
    return host.m_Link ? host.m_Link->close() : 0;
}

}  // namespace vesk::gnutella
