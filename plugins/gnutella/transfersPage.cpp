// The transfers page: transfer counts and the manager's auto-clear
// switches, which the transfer window's toolbar changes too.
#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/optionPages.h"
#include "plugins/gnutella/pageControls.h"

namespace vesk::gnutella {

namespace {

const numberSetting numbers[] = {
    {IDC_GNU_MAX_UPLOADS, &CGnutellaSettings::m_MaxUploads},
    {IDC_GNU_MAX_UPLOADS_PER_IP, &CGnutellaSettings::m_MaxUploadsPerIP},
    {IDC_GNU_MAX_DOWNLOADS, &CGnutellaSettings::m_MaxDownloads},
};

// The boxes by auto-clear index.
const int clearBoxes[] = {IDC_GNU_CLEAR_DONE_DOWN, IDC_GNU_CLEAR_DONE_UP, IDC_GNU_CLEAR_FAILED_DOWN,
                          IDC_GNU_CLEAR_FAILED_UP};

void showAutoClear(HWND page) {
    ss::ISSManager* manager = g_Services.manager;
    for (int index = 0; index < 4; ++index)
        ShowPageBox(page, clearBoxes[index], manager && manager->GetAutoClear(index));
}

void showSettings(HWND page) {
    ShowPageNumbers(page, numbers);
    showAutoClear(page);
}

void store(HWND page) {
    StorePageNumbers(page, numbers);
    if (ss::ISSManager* manager = g_Services.manager)
        for (int index = 0; index < 4; ++index)
            manager->SetAutoClear(index, PageBox(page, clearBoxes[index]));
}

}  // namespace

INT_PTR CALLBACK options_transfers_proc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        showSettings(page);
        return 1;
    case WM_SHOWWINDOW:
        showAutoClear(page);
        if (wParam == 1)
            store(page);
        return 0;
    case WM_COMMAND:
        if (wParam == pageOk || wParam == pageApply)
            store(page);
        else if (wParam == pageCancel)
            ShowStoredAgain(page);
        return 0;
    }
    return 0;
}

}  // namespace vesk::gnutella
