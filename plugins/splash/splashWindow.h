// The splash window and the thread "vesk::splash::loop()" that owns it:
// a borderless picture in the middle of the screen that closes by itself
// 5000 ms after it was shown, 1200 ms after a dismissal, on a click once
// clicks are allowed, or on WM_CLOSE or message 9999 from any thread.
#pragma once

#include <windows.h>

#include <atomic>

#include "plugins/splash/splashGeometry.h"
#include "vesk/threading.h"

namespace vesk::splash {

class CSplashScreen;

constexpr UINT_PTR splashTimerId = 666666;
constexpr UINT splashShowMs = 5000;
constexpr UINT splashDismissMs = 1200;
constexpr UINT splashCloseMessage = 9999;
// Asks the splash's own thread to restart its timer with the dismissal delay:
// a timer of a window can only be set by the thread that owns the window.
constexpr UINT splashDismissMessage = WM_APP + 1;

// What the module, its service and its thread share; one per module.
struct splashState {
    HINSTANCE instance = nullptr;
    CSplashScreen* screen = nullptr;  // the published service
    std::atomic<int> quit{0};         // ends the loop
    std::atomic<unsigned char> clickClose{0};
    HBITMAP bitmap = nullptr;  // the splash thread's
};
splashState& moduleState();

int SplashLoop(Ithread* thread);
LRESULT CALLBACK SplashWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
VOID CALLBACK SplashTimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);

// From any thread: ends the loop and closes the window if there is one.
void CloseSplash();

}  // namespace vesk::splash
