// The search page: what the node answers, what it shows, and the search
// monitor.
#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/optionPages.h"
#include "plugins/gnutella/pageControls.h"

namespace vesk::gnutella {

namespace {

void showMonitorNumber(HWND page) {
    EnablePageControl(page, IDC_GNU_MONITOR_NUMBER, PageBox(page, IDC_GNU_SEARCH_MONITOR));
}

void showSettings(HWND page) {
    ShowPageNumber(page, IDC_GNU_MAX_RESULTS_OUT, g_Settings.m_MaxOutgoingResults.load());
    ShowPageNumber(page, IDC_GNU_MIN_CRITERIA, g_Settings.m_MinSearchCriteria.load());
    ShowPageNumber(page, IDC_GNU_MIN_SPEED, g_Settings.m_MinResponseSpeed.load());
    ShowPageBox(page, IDC_GNU_SEARCH_MONITOR, g_Settings.m_EnableSearchMonitor.load() != 0);
    ShowPageBox(page, IDC_GNU_SHOW_FIREWALLED, g_Settings.m_ShowFirewalledResults.load());
    ShowPageNumber(page, IDC_GNU_MONITOR_NUMBER, g_Settings.m_SearchPageNumber.load());
    ShowPageNumber(page, IDC_GNU_SECOND_NUMBER, g_Settings.m_SecondSearchPageNumber.load());
    showMonitorNumber(page);
}

void store(HWND page) {
    g_Settings.m_MaxOutgoingResults.store(PageNumber(page, IDC_GNU_MAX_RESULTS_OUT));
    g_Settings.m_MinSearchCriteria.store(PageNumber(page, IDC_GNU_MIN_CRITERIA));
    g_Settings.m_MinResponseSpeed.store(static_cast<std::uint16_t>(PageNumber(page, IDC_GNU_MIN_SPEED)));
    g_Settings.m_EnableSearchMonitor.store(PageBox(page, IDC_GNU_SEARCH_MONITOR) ? 1 : 0);
    g_Settings.m_ShowFirewalledResults.store(PageBox(page, IDC_GNU_SHOW_FIREWALLED));
    g_Settings.m_SearchPageNumber.store(PageNumber(page, IDC_GNU_MONITOR_NUMBER));
    g_Settings.m_SecondSearchPageNumber.store(PageNumber(page, IDC_GNU_SECOND_NUMBER));
}

}  // namespace

INT_PTR CALLBACK options_search_proc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        showSettings(page);
        return 1;
    case WM_COMMAND:
        if (wParam == pageOk || wParam == pageApply)
            store(page);
        else if (wParam == pageCancel)
            ShowStoredAgain(page);
        else if (wParam == IDC_GNU_SEARCH_MONITOR)
            showMonitorNumber(page);
        return 0;
    }
    return 0;
}

}  // namespace vesk::gnutella
