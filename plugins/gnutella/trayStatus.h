// The status refresh: after each change of the status tracker, the link
// and transfer counts go to the frame's status bar (panes 1 and 2) and to
// the tray icon's tip and image. It calls the user interface, so it runs
// with no module lock held.
#pragma once

#include <windows.h>

#include <string>

#include "plugins/gnutella/statusTracker.h"

namespace vesk::gnutella {

// The texts the tip is made of (read from the language module at each
// refresh).
struct trayTexts {
    std::string title;      // 267
    std::string links;      // 244
    std::string incoming;   // 40053
    std::string outgoing;   // 40054
    std::string downloads;  // 213
    std::string uploads;    // 40052
};

// Pane 2: "DL: <downloads> UL: <uploads>".
std::string TransferPaneText(const trackerCounts& counts);
// Pane 1: text 244, ": " and the links up.
std::string LinkPaneText(const std::string& linksText, const trackerCounts& counts);
// Three lines: the title; the links up, incoming and outgoing; the
// downloads and uploads running. At most 259 characters.
std::string TrayTip(const trayTexts& texts, const trackerCounts& counts);
// The tray icon's id: links without transfers, downloads only, uploads
// only, both; the offline icon whenever no link is up.
int ChooseTrayIcon(const trackerCounts& counts);

// Loads the five tray icons (16 x 16, from the default module) once the
// resource module is there; they stay for the life of the module.
void LoadTrayIcons();
// The loaded icon of that id, null before LoadTrayIcons or for another id.
HICON TrayIcon(int iconId);

// Shows the counts: status bar panes 2 and 1; the tray's tip and icon when
// the module found a tray control.
void UpdateTray(const trackerCounts& counts);

}  // namespace vesk::gnutella
