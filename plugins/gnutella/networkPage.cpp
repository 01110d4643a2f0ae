// The network page: the listen port, the speed this node reports, the
// TTLs, and the address and port it reports instead of its own.
#include <cstdint>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/addresses.h"
#include "plugins/gnutella/network.h"
#include "plugins/gnutella/optionPages.h"
#include "plugins/gnutella/pageControls.h"

namespace vesk::gnutella {

namespace {

struct speedRow {
    const char* text;
    std::uint32_t speed;
};

const speedRow speeds[] = {
    {"28.8 Modem", 28}, {"56K Modem", 56}, {"Cable Modem/DSL", 300}, {"T1", 1000}, {"T3", 3000},
};
constexpr int otherSpeedItem = 1;  // a speed not in the list shows as a 56K modem

// The address text the page reads: 49 characters.
constexpr int addressTextLimit = 50;

void fillSpeedList(HWND page) {
    HWND list = GetDlgItem(page, IDC_GNU_SPEED_LIST);
    if (!list || SendMessageA(list, CB_GETCOUNT, 0, 0) != 0)
        return;
    RECT place;
    if (GetWindowRect(list, &place))
        SetWindowPos(list, nullptr, 0, 0, place.right - place.left, 6 * (place.bottom - place.top),
                     SWP_NOMOVE | SWP_NOZORDER);
    for (const speedRow& row : speeds) {
        LRESULT item = SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.text));
        if (item >= 0)
            SendMessageA(list, CB_SETITEMDATA, static_cast<WPARAM>(item), row.speed);
    }
}

void showSpeed(HWND page, std::uint32_t speed) {
    int shown = otherSpeedItem;
    for (int i = 0; i < static_cast<int>(sizeof speeds / sizeof speeds[0]); ++i)
        if (speeds[i].speed == speed)
            shown = i;
    SendDlgItemMessageA(page, IDC_GNU_SPEED_LIST, CB_SETCURSEL, static_cast<WPARAM>(shown), 0);
}

void enableReported(HWND page) {
    bool on = PageBox(page, IDC_GNU_ENABLE_REPORTED);
    for (int id : {IDC_GNU_REPORTED_IP_LABEL, IDC_GNU_REPORTED_PORT_LABEL, IDC_GNU_REPORTED_IP,
                   IDC_GNU_REPORTED_PORT})
        EnablePageControl(page, id, on);
}

void showSettings(HWND page) {
    fillSpeedList(page);
    showSpeed(page, g_Settings.m_LocalSpeed.load());
    unsigned char reported[4];
    g_Settings.m_ReportedIP.Get(reported);
    char text[addressTextSize];
    IpToText(reported, text);
    SetDlgItemTextA(page, IDC_GNU_REPORTED_IP, text);
    ShowPageBox(page, IDC_GNU_ENABLE_REPORTED, g_Settings.m_EnableReported.load() != 0);
    enableReported(page);
    ShowPageNumber(page, IDC_GNU_LISTEN_PORT, g_Settings.m_ListenPort.load());
    ShowPageNumber(page, IDC_GNU_LOCAL_SPEED, g_Settings.m_LocalSpeed.load());
    ShowPageNumber(page, IDC_GNU_MAX_TTL, g_Settings.m_MaxTTLAllowed.load());
    ShowPageNumber(page, IDC_GNU_LOCAL_TTL, g_Settings.m_LocalTTL.load());
    ShowPageNumber(page, IDC_GNU_REPORTED_PORT, g_Settings.m_ReportedPort.load());
}

void store(HWND page) {
    // Compared as stored: 70000 is port 4464, and the same port twice
    // restarts nothing.
    auto port = static_cast<std::uint16_t>(PageNumber(page, IDC_GNU_LISTEN_PORT));
    if (port != g_Settings.m_ListenPort.load()) {
        g_Settings.m_ListenPort.store(port);
        ListenAgain();
    }
    LRESULT item = SendDlgItemMessageA(page, IDC_GNU_SPEED_LIST, CB_GETCURSEL, 0, 0);
    if (item != CB_ERR)
        g_Settings.m_LocalSpeed.store(static_cast<std::uint32_t>(
            SendDlgItemMessageA(page, IDC_GNU_SPEED_LIST, CB_GETITEMDATA, static_cast<WPARAM>(item), 0)));
    g_Settings.m_LocalSpeed.store(PageNumber(page, IDC_GNU_LOCAL_SPEED));  // the number decides
    g_Settings.m_MaxTTLAllowed.store(static_cast<std::uint8_t>(PageNumber(page, IDC_GNU_MAX_TTL)));
    g_Settings.m_LocalTTL.store(static_cast<std::uint8_t>(PageNumber(page, IDC_GNU_LOCAL_TTL)));
    g_Settings.m_ReportedPort.store(static_cast<std::uint16_t>(PageNumber(page, IDC_GNU_REPORTED_PORT)));
    char text[addressTextLimit] = {};
    GetDlgItemTextA(page, IDC_GNU_REPORTED_IP, text, sizeof text);
    // Only a whole address replaces the stored one: the parser leaves the
    // bytes before a fault half written.
    unsigned char reported[4];
    if (TextToIp(text, reported) == 0)
        g_Settings.m_ReportedIP.Set(reported);
    g_Settings.m_EnableReported.store(PageBox(page, IDC_GNU_ENABLE_REPORTED) ? 1 : 0);
}

}  // namespace

INT_PTR CALLBACK options_network_proc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        showSettings(page);
        return 1;
    case WM_COMMAND:
        if (wParam == pageOk || wParam == pageApply)
            store(page);
        else if (wParam == pageCancel)
            ShowStoredAgain(page);
        else if (wParam == IDC_GNU_ENABLE_REPORTED)
            enableReported(page);
        return 0;
    }
    return 0;
}

}  // namespace vesk::gnutella
