// Stands in for the push side until it is built.
#include "plugins/gnutella/pushRequests.h"

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaTransfer.h"
#include "plugins/gnutella/downloadActions.h"
#include "plugins/gnutella/transferRows.h"
#include "plugins/gnutella/transferStates.h"
#include "plugins/gnutella/transferSteps.h"

namespace vesk::gnutella {

int RequestPush(CGnutellaHost*) {
    return -1;
}

int HandlePushWait(CGnutellaHost* host) {
    CGnutellaTransfer* transfer = host ? host->m_Transfer : nullptr;
    if (!transfer || SinceStamp(host) <= 10000)
        return 0;
    return EndFailedDownload(
        host, 992, {{IDS_GNU_ACTION_RETRY, &retry_download}, {IDS_GNU_ACTION_REMOVE, &remove_download}});
}

}  // namespace vesk::gnutella
