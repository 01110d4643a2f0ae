// The connections page: link counts, the host cache's size, the connect
// timeout and the two start-up switches.
#include <windows.h>
#include <commctrl.h>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/optionPages.h"
#include "plugins/gnutella/pageControls.h"

namespace vesk::gnutella {

namespace {

const numberSetting numbers[] = {
    {IDC_GNU_MIN_CONNECTIONS, &CGnutellaSettings::m_MinTotalConnections},
    {IDC_GNU_MAX_INCOMING, &CGnutellaSettings::m_MaxIncoming},
    {IDC_GNU_MAX_OUTGOING, &CGnutellaSettings::m_MaxOutgoing},
    {IDC_GNU_MAX_HOST_CACHE, &CGnutellaSettings::m_MaxHostCatcher},
    {IDC_GNU_CONNECT_TIMEOUT, &CGnutellaSettings::m_ConnectTimeout},
};

struct stepperRow {
    int stepper;
    int control;
    unsigned limit;  // the number stays below it
};

const stepperRow steppers[] = {
    {IDC_GNU_STEP_TIMEOUT, IDC_GNU_CONNECT_TIMEOUT, 20},
    {IDC_GNU_STEP_INCOMING, IDC_GNU_MAX_INCOMING, 100},
    {IDC_GNU_STEP_OUTGOING, IDC_GNU_MAX_OUTGOING, 100},
    {IDC_GNU_STEP_MIN_CONNECTIONS, IDC_GNU_MIN_CONNECTIONS, 100},
    {IDC_GNU_STEP_HOST_CACHE, IDC_GNU_MAX_HOST_CACHE, 100},
};

// Each up-down rests in the middle of a range of three, so an arrow
// reports the way it points every time (an up-down's default range runs
// backwards, and one at its end reports nothing).
constexpr int stepperRest = 1;

void restSteppers(HWND page) {
    for (const stepperRow& row : steppers) {
        SendDlgItemMessageA(page, row.stepper, UDM_SETRANGE32, 0, 2 * stepperRest);
        SendDlgItemMessageA(page, row.stepper, UDM_SETPOS32, 0, stepperRest);
    }
}

void step(HWND page, HWND stepper, int position) {
    int id = GetDlgCtrlID(stepper);
    for (const stepperRow& row : steppers) {
        if (row.stepper != id)
            continue;
        unsigned number = PageNumber(page, row.control);
        if (position > stepperRest && number + 1 < row.limit)
            ShowPageNumber(page, row.control, number + 1);
        else if (position < stepperRest && number > 0)
            ShowPageNumber(page, row.control, number - 1);
        SendMessageA(stepper, UDM_SETPOS32, 0, stepperRest);
        return;
    }
}

void showSettings(HWND page) {
    ShowPageNumbers(page, numbers);
    ShowPageBox(page, IDC_GNU_LOAD_HOST_CACHE, g_Settings.m_LoadHostCatcher.load() != 0);
    ShowPageBox(page, IDC_GNU_QUICK_CONNECT, g_Settings.m_ConnectToQuickConnect.load() != 0);
    restSteppers(page);
}

void storeNumbers(HWND page) {
    StorePageNumbers(page, numbers);
}

}  // namespace

INT_PTR CALLBACK options_connections_proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        showSettings(page);
        return 1;
    case WM_VSCROLL:
        if (LOWORD(wParam) == SB_THUMBPOSITION && lParam)
            step(page, reinterpret_cast<HWND>(lParam), static_cast<short>(HIWORD(wParam)));
        return 0;
    case WM_COMMAND:
        switch (wParam) {
        case pageOk:
        case pageApply:
            storeNumbers(page);
            return 0;
        case pageCancel:
            ShowStoredAgain(page);
            return 0;
        case IDC_GNU_LOAD_HOST_CACHE:  // the switches take effect when clicked
            g_Settings.m_LoadHostCatcher.store(PageBox(page, IDC_GNU_LOAD_HOST_CACHE) ? 1 : 0);
            return 0;
        case IDC_GNU_QUICK_CONNECT:
            g_Settings.m_ConnectToQuickConnect.store(PageBox(page, IDC_GNU_QUICK_CONNECT) ? 1 : 0);
            return 0;
        }
        return 0;
    }
    return 0;
}

}  // namespace vesk::gnutella
