// The search monitor: the texts of incoming queries shown in the statistics
// window, at most one every 400 ms.
#pragma once

namespace vesk::gnutella {

constexpr unsigned long searchMonitorGapMs = 400;

// Whether a query arriving at now is shown, the last one having been shown
// at last (ticks compared by unsigned difference).
bool ShouldShowQuery(bool monitorOn, unsigned long now, unsigned long last);

// Called with the text of every incoming query (on the active host thread).
// Nothing for an empty text or while the module is shutting down.
void RefreshStats(const char* text);

}  // namespace vesk::gnutella
