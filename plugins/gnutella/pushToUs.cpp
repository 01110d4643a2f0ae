#include "plugins/gnutella/pushToUs.h"

namespace vesk::gnutella {

int HandlePushToUs(const CGnutellaPacket*) {
    return -1;
}

}  // namespace vesk::gnutella
