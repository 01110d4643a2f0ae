// The download queue (g_QueuedDownloadList): rows waiting for a free
// download slot, in the order they were queued, one reference each.
#pragma once

#include "vesk/ss.h"

namespace vesk::gnutella {

// Appends the row (an earlier entry of it stays). -1 for a null row, else 0.
int QueueDownload(ss::IAgent* row);
// Takes the row's first entry out, if any. 0.
int UnqueueDownload(ss::IAgent* row);
// The first row, taken out with the queue's reference handed to the
// caller; null when the queue is empty.
ss::IAgent* PopQueuedDownload();
// The same, only when admit (called under the queue's guard) takes the
// first row; null otherwise.
ss::IAgent* PopQueuedDownloadIf(bool (*admit)(ss::IAgent* row));

}  // namespace vesk::gnutella
