#include "plugins/gnutella/resultDownload.h"

namespace vesk::gnutella {

// Nothing until the downloads side is there.
void StartDownloadFromResult(ss::IAgent*) {}

}  // namespace vesk::gnutella
