#include "plugins/gnutella/connectQuickList.h"

#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/hostCache.h"

namespace vesk::gnutella {

// Dials nothing until the link code is there.
int ConnectQuickList() {
    Ilock* lock = g_State.quickConnectLock;
    if (lock)
        lock->lock(0);
    bool empty = g_QuickConnect.empty();
    if (lock)
        lock->unlock(0);
    return empty ? -1 : 0;
}

}  // namespace vesk::gnutella
