#include "plugins/gnutella/searchMonitor.h"

#include <atomic>

#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/clock.h"
#include "plugins/gnutella/gnutellaInternal.h"

namespace vesk::gnutella {

namespace {

std::atomic<unsigned long> lastShown{0};

}  // namespace

bool ShouldShowQuery(bool monitorOn, unsigned long now, unsigned long last) {
    return monitorOn && now - last >= searchMonitorGapMs;
}

void RefreshStats(const char* text) {
    if (!text || !*text || IsShuttingDown())
        return;
    unsigned long now = TickNow();
    if (!ShouldShowQuery(g_Settings.m_EnableSearchMonitor != 0, now, lastShown))
        return;
    lastShown = now;
    if (ui::IGnutellaStatDockWnd* window = g_Services.statWindow)
        window->AddLine(text);
}

}  // namespace vesk::gnutella
