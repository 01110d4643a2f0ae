#include "plugins/gnutella/trayStatus.h"

#include <mutex>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/resources.h"

namespace vesk::gnutella {

namespace {

constexpr std::size_t tipLimit = 259;

// In the order they are loaded.
const int trayIconIds[] = {IDI_GNU_TRAY_DOWNLOADING, IDI_GNU_TRAY_UPLOADING, IDI_GNU_TRAY_BOTH,
                           IDI_GNU_TRAY_CONNECTED, IDI_GNU_TRAY_OFFLINE};
HICON trayIcons[sizeof trayIconIds / sizeof trayIconIds[0]] = {};
std::mutex iconsLock;
bool iconsLoaded = false;

std::string number(std::uint32_t n) {
    return std::to_string(n);
}

}  // namespace

std::string TransferPaneText(const trackerCounts& counts) {
    return "DL: " + number(counts.downloads) + " UL: " + number(counts.uploads);
}

std::string LinkPaneText(const std::string& linksText, const trackerCounts& counts) {
    return linksText + ": " + number(counts.links);
}

std::string TrayTip(const trayTexts& t, const trackerCounts& c) {
    std::string tip = t.title + "\r\n" + t.links + ": " + number(c.links) + " " + t.incoming + ": " +
                      number(c.incomingLinks) + " " + t.outgoing + ": " + number(c.outgoingLinks) + "\r\n" +
                      t.downloads + ": " + number(c.downloads) + " " + t.uploads + ": " + number(c.uploads);
    if (tip.size() > tipLimit)
        tip.resize(tipLimit);
    return tip;
}

int ChooseTrayIcon(const trackerCounts& c) {
    if (c.links == 0)
        return IDI_GNU_TRAY_OFFLINE;
    if (c.downloads && c.uploads)
        return IDI_GNU_TRAY_BOTH;
    if (c.downloads)
        return IDI_GNU_TRAY_DOWNLOADING;
    if (c.uploads)
        return IDI_GNU_TRAY_UPLOADING;
    return IDI_GNU_TRAY_CONNECTED;
}

void LoadTrayIcons() {
    std::lock_guard<std::mutex> hold(iconsLock);
    HINSTANCE module = iconsLoaded ? nullptr : DefaultResources();
    if (!module)
        return;  // loaded already, or no resource module yet: the next refresh tries
    for (std::size_t i = 0; i < sizeof trayIconIds / sizeof trayIconIds[0]; ++i)
        trayIcons[i] = static_cast<HICON>(
            LoadImageA(module, MAKEINTRESOURCEA(trayIconIds[i]), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    iconsLoaded = true;
}

HICON TrayIcon(int iconId) {
    std::lock_guard<std::mutex> hold(iconsLock);
    for (std::size_t i = 0; i < sizeof trayIconIds / sizeof trayIconIds[0]; ++i)
        if (trayIconIds[i] == iconId)
            return trayIcons[i];
    return nullptr;
}

void UpdateTray(const trackerCounts& counts) {
    LoadTrayIcons();
    if (ui::IStatusBar* bar = g_Services.statusBar) {
        bar->Output(TransferPaneText(counts).c_str(), 2, 0);
        bar->Output(LinkPaneText(LanguageText(IDS_GNU_TRAY_LINKS), counts).c_str(), 1, 0);
    }
    ui::ITrayCtrl* tray = g_Services.tray;
    if (!tray)
        return;
    trayTexts texts{LanguageText(IDS_GNU_TRAY_TITLE),     LanguageText(IDS_GNU_TRAY_LINKS),
                    LanguageText(IDS_GNU_TRAY_INCOMING),  LanguageText(IDS_GNU_TRAY_OUTGOING),
                    LanguageText(IDS_GNU_TRAY_DOWNLOADS), LanguageText(IDS_GNU_TRAY_UPLOADS)};
    tray->SetTip(TrayTip(texts, counts).c_str());
    tray->SetIcon(TrayIcon(ChooseTrayIcon(counts)));
}

}  // namespace vesk::gnutella
