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
    // Without a window there is nothing to close sooner.
    if (HWND window = window_)
        PostMessageA(window, splashDismissMessage, 0, 0);
    return true;
}

}  // namespace vesk::splash
