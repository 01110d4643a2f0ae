#include "plugins/splash/splashScreen.h"

#include "plugins/splash/splashWindow.h"

namespace vesk::splash {

CSplashScreen::CSplashScreen() {
    registerInterfaceOf<ISplashScreen>(this);
    registerInterfaceOf<Igeneric>(this);
}

bool CSplashScreen::EnableClickClose(bool) {
    moduleState().clickClose = 1;
    return true;
}

bool CSplashScreen::Dismiss() {
    dismissed_ = true;
    // Without a window SetTimer would make a thread timer on the caller's
    // thread, whose procedure would post WM_QUIT there.
    if (HWND window = window_)
        SetTimer(window, splashTimerId, splashDismissMs, SplashTimerProc);
    return true;
}

}  // namespace vesk::splash
