// The row actions of downloads and uploads: the functions the transfer
// window (and a result row's download action) fires on the GUI thread,
// which the transfer thread also calls for the queue and auto-clear. Each
// takes the row agent; the result is not used.
//
// They find a row's connection by its "GnuTID" in g_TransferHostList and
// change it under the list's guard and the connection's lock; their calls
// into the user interface wait until those are let go.
#pragma once

#include "vesk/ss.h"

namespace vesk::gnutella {

// Queues a result or download row: waiting texts, remove and start now.
int add_download(ss::IAgent* row);
// Starts the row's download now: on its connection when it has one, else
// on a new one (also when its "GnuTID" names a connection that is gone).
int start_download(ss::IAgent* row);
// Takes the row out of the queue and starts it.
int start_queued_download(ss::IAgent* row);
// Asks the row's connection to stop; the transfer thread does the rest.
int stop_download(ss::IAgent* row);
int stop_upload(ss::IAgent* row);
// Ends the row's life as a transfer: its connection goes at the next pass,
// the row leaves the queue and the window and can be downloaded again.
int remove_download(ss::IAgent* row);
int remove_upload(ss::IAgent* row);
// Starts the download again from its first byte.
int retry_download(ss::IAgent* row);

// The row part of remove_download: out of the queue and the window, off
// the running downloads, the download action back, no "GnuTID".
void DetachDownloadRow(ss::IAgent* row);
// The row part of remove_upload.
void DetachUploadRow(ss::IAgent* row);

}  // namespace vesk::gnutella
