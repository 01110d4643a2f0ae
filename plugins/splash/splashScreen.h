// The splash service handed to the user interface: it knows the window its
// thread shows and passes the interface's two requests on to it.
#pragma once

#include <windows.h>

#include <atomic>

#include "core/capsule.h"
#include "vesk/splash.h"

namespace vesk::splash {

class CSplashScreen : public objectBase, public ISplashScreen {
public:
    CSplashScreen();
    virtual ~CSplashScreen() {}

    bool EnableClickClose(bool enable) override;
    bool Dismiss() override;

    // Set by the splash thread once the window is up, cleared when it goes.
    void setWindow(HWND window) { window_ = window; }
    HWND window() const { return window_; }
    bool dismissed() const { return dismissed_; }

private:
    std::atomic<HWND> window_{nullptr};
    std::atomic<bool> dismissed_{false};
};

}  // namespace vesk::splash
