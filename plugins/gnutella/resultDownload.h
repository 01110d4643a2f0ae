// Stands in for the downloads side: starting the download of one search
// result (its agent becomes a download row and the download is queued).
// The downloads code replaces this file's definition.
#pragma once

#include "vesk/ss.h"

namespace vesk::gnutella {

// Called on the GUI thread when the user picks a result's download action.
void StartDownloadFromResult(ss::IAgent* result);

}  // namespace vesk::gnutella
