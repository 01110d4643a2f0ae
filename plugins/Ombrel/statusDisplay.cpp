#include "plugins/Ombrel/statusDisplay.h"

#include <windows.h>

#include <mutex>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/Ombrel/moduleServices.h"

namespace vesk::ss::statusDisplay {

namespace {

constexpr int statePane = 4;
constexpr UINT blinkMilliseconds = 800;
constexpr int iconIds[3] = {IDI_SS_CONNECTED, IDI_SS_IDLE, IDI_SS_ACTIVE};
constexpr int steadyIcon = 0;
constexpr int activeIcon = 2;
HICON icons[3] = {};

// The blink. A thread timer can only be killed by its own thread, while
// protocols report states from any thread: a stop from another thread
// clears blinkWanted and the timer ends itself at its next tick.
volatile LONG blinkWanted = 0;  // written under timerLock
std::mutex timerLock;  // guards the two below; never held over a UI call
UINT_PTR timerId = 0;  // 0: no timer runs
DWORD timerThread = 0;
int phase = 0;  // 0 or 2: the icon table entry shown next
volatile HICON stateIcon = nullptr;  // the icon of the last state shown

void setPaneIcon(HICON icon) {
    if (ui::IStatusBar* bar = services().statusBar)
        bar->SetIcon(statePane, icon);
}

// Ends the timer when no blink is wanted. Decided under the lock, so that a
// start coming meanwhile either keeps this timer or makes a new one.
bool blinkEnded(UINT_PTR id) {
    std::lock_guard<std::mutex> hold(timerLock);
    if (blinkWanted)
        return false;
    KillTimer(nullptr, id);
    if (timerId == id)
        timerId = 0;
    return true;
}

void CALLBACK blinkTick(HWND, UINT, UINT_PTR id, DWORD) {
    if (blinkEnded(id))
        return;
    phase = phase == 0 ? 2 : 0;
    setPaneIcon(icons[phase]);
    // A stop that came while the icon was being set must win.
    if (!blinkWanted)
        setPaneIcon(stateIcon);
}

// A thread timer ends with its thread; the caller holds timerLock.
bool timerThreadEnded() {
    HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, timerThread);
    if (!thread)
        return true;  // no such thread any more
    bool ended = WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
    CloseHandle(thread);
    return ended;
}

void startBlink() {
    std::lock_guard<std::mutex> hold(timerLock);
    blinkWanted = 1;
    if (timerId != 0 && timerThread != GetCurrentThreadId() && timerThreadEnded())
        timerId = 0;  // nothing runs it any more: a new one is made here
    if (timerId != 0)
        return;
    timerId = SetTimer(nullptr, 0, blinkMilliseconds, blinkTick);
    timerThread = GetCurrentThreadId();
}

void stopBlink() {
    std::lock_guard<std::mutex> hold(timerLock);
    blinkWanted = 0;
    if (timerId != 0 && timerThread == GetCurrentThreadId()) {
        KillTimer(nullptr, timerId);
        timerId = 0;
    }
}

}  // namespace

void LoadIcons() {
    HINSTANCE module = defaultResources();
    for (int i = 0; i < 3; ++i)
        if (!icons[i])
            icons[i] = static_cast<HICON>(
                LoadImageA(module, MAKEINTRESOURCEA(iconIds[i]), IMAGE_ICON, 16, 16, 0));
}

void Show(int state, const char* text) {
    ui::IStatusBar* bar = services().statusBar;
    if (!bar)
        return;
    HICON icon = nullptr;
    switch (state) {
    case 2:
    case 5:
        startBlink();
        icon = icons[activeIcon];
        break;
    case 3:
        stopBlink();
        icon = icons[steadyIcon];
        break;
    case 4:
        stopBlink();
        icon = icons[activeIcon];
        break;
    default:
        break;  // the icon of the other states is left as it is
    }
    if (icon)
        stateIcon = icon;
    bar->Output(text, statePane, 0);
    if (icon)
        bar->SetIcon(statePane, icon);
}

}  // namespace vesk::ss::statusDisplay
