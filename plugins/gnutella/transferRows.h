// The rows of the transfer window as the transfer side writes them: their
// columns (attributes named by resource texts), colour, actions, and the
// window and status calls, which wait while a deferredCalls scope is open
// (they end in the GUI thread).
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>

#include "plugins/gnutella/deferredCalls.h"
#include "plugins/gnutella/guid16.h"
#include "vesk/ss.h"

namespace vesk::gnutella {

// Row text colours (platform colour values 0x00BBGGRR), the property "TC".
namespace rowColour {
constexpr unsigned long normal = 0;
constexpr unsigned long waiting = 0x787878;  // queued, waiting or stopped
constexpr unsigned long starting = 0xAF0000;
constexpr unsigned long failed = 0xAF;
constexpr unsigned long complete = 0x5000;
}  // namespace rowColour

// Writes a column named by a resource text.
void SetRowText(ss::IAgent* row, unsigned nameId, const std::string& text);
void SetRowNumber(ss::IAgent* row, unsigned nameId, long number);
void SetRowColour(ss::IAgent* row, unsigned long colour);
// The status column, and the speed and time-left columns (one text).
void SetRowTexts(ss::IAgent* row, const std::string& status, const std::string& speedAndTimeLeft);

// A copy of a string column; empty when absent or no string.
std::string RowText(ss::IAgent* row, const char* name);
// A column of any integer type; false when absent or no integer.
bool RowNumber(ss::IAgent* row, const char* name, unsigned long long& out);
// A buffer column of exactly size bytes; false otherwise.
bool RowBytes(ss::IAgent* row, const char* name, unsigned char* out, std::size_t size);

// The row's transfer identifier ("GnuTID"), which names its connection in
// g_TransferHostList. Rows are read on the GUI thread while the transfer
// thread removes their identifier: each of these holds one lock while it
// uses the stored buffer, so that a read never copies from a buffer a
// removal has let go. (Only these touch the attribute.) The lock is the
// last the module takes: only the agent is called under it.
void SetRowTransferId(ss::IAgent* row, const guid16& id);
void ClearRowTransferId(ss::IAgent* row);
// A copy of the identifier; false when the row has none.
bool RowTransferId(ss::IAgent* row, guid16& id);

// The six transfer actions (196, 40026, 40031, 40024, 211, 40044) taken off
// the row; the row's other actions stay.
void ClearTransferActions(ss::IAgent* row);

struct rowAction {
    unsigned nameId;
    ss::AgentActionFn fn;
};
// ClearTransferActions, then the actions in order.
void SetTransferActions(ss::IAgent* row, std::initializer_list<rowAction> actions);

// Runs call(row) now, or when the thread's open deferredCalls scope ends,
// keeping the row alive until then.
template <class F>
void WithRowLater(ss::IAgent* row, F call) {
    if (!row)
        return;
    row->addRef();
    RunOrDefer([row, call] {
        call(row);
        row->release();
    });
}

// The transfer window's download and upload lists, and the running
// downloads the status tracker counts: each holds its own reference to the
// row until the call is made.
void ShowDownload(ss::IAgent* row);
void HideDownload(ss::IAgent* row);
void ShowUpload(ss::IAgent* row);
void HideUpload(ss::IAgent* row);
void TrackDownloadRow(ss::IAgent* row);
void UntrackDownloadRow(ss::IAgent* row);
void TrackUploadRow(ss::IAgent* row);
void UntrackUploadRow(ss::IAgent* row);
// Takes a download slot for the row now, while fewer than
// Gnutella_MaxDownloads run (a row that holds one keeps it); whether it
// holds one. The status refresh waits like the calls above.
bool ReserveDownloadSlot(ss::IAgent* row);

}  // namespace vesk::gnutella
