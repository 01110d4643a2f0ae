// vesk::ui::VTrayCtrl: the main window's notification-area icon (id 0 of
// the frame's window) and its taskbar button. Every operation is one shell
// call; a failed call changes nothing and its result goes to the caller.
// Called from the GUI thread and from the Gnutella module's threads.
#pragma once

#include <windows.h>

#include <string>

#include "core/capsule.h"
#include "vesk/ui.h"

namespace vesk::ui {

class VTrayCtrl : public objectBase, public ITrayCtrl, public IcoreObject {
public:
    // The icon's callback message to the main window.
    static constexpr UINT callbackMessage = 1690;
    // The tip field: 63 characters and the terminator.
    static constexpr std::size_t tipSize = 64;

    VTrayCtrl();
    ~VTrayCtrl();

    // Adds the icon to the frame's window with tip text 267; 1, or 0 when
    // the shell refused it.
    int Add() override;
    int Remove() override;
    int SetIcon(HICON icon) override;
    int SetTip(const char* text) override;

    // The main window's answer to the shell's restart: for the message
    // "TaskbarCreated" the icon is added again while showInTray is 1. True
    // when the message was that one.
    bool OnTaskbarCreated(UINT message, int showInTray);
    UINT TaskbarCreatedMessage() const { return taskbarCreated_; }

    static bool HideTaskbarButton(HWND window);
    static bool ShowTaskbarButton(HWND window);

private:
    HWND Owner() const;

    volatile HWND owner_ = nullptr;  // the frame's window, from Add
    UINT taskbarCreated_;            // registered at start, so never 0
    HICON icon_ = nullptr;           // icon 174, loaded by the first Add
};

// A new tray control (a core object: releaseCore ends it).
VTrayCtrl* CreateTrayCtrl();

// The tip as the tray keeps it: the first 63 characters at most; null gives
// an empty tip.
std::string TrayTip(const char* text);

}  // namespace vesk::ui
