#include "plugins/gnutella/pongHosts.h"

namespace vesk::gnutella {

int AddPongHost(const CGnutellaPacket&) {
    return 0;
}

}  // namespace vesk::gnutella
