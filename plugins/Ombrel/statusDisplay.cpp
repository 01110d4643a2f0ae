#include "plugins/Ombrel/statusDisplay.h"

#include <windows.h>

#include <atomic>

#include "core/module.h"
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

// A thread timer ticks only on a thread that runs a message loop, and the
// threads that report states (the active-host thread among them) run none.
// So a wish for a blink travels as a message to the status bar's window, and
// a hook of ours on that window makes or kills the timer on the GUI thread.
std::atomic<bool> blinkWanted{false};  // the last wish, sent again with each state
ui::IWndProc* hook = nullptr;          // one reference held; made and dropped on the main thread
ui::IWndEvents* hookedOn = nullptr;    // the status bar the hook sits on, not owned

// GUI thread only.
UINT_PTR timerId = 0;  // 0: no timer runs
int phase = 0;         // 0 or 2: the icon table entry shown last

UINT blinkMessage() {
    static const UINT message = RegisterWindowMessageA("vesk::ss::statusDisplay blink");
    return message;
}

void CALLBACK blinkTick(HWND, UINT, UINT_PTR, DWORD) {
    phase = phase == 0 ? 2 : 0;
    if (ui::IStatusBar* bar = services().statusBar)
        bar->SetIcon(statePane, icons[phase]);
}

// On the GUI thread: wParam 1 starts the timer unless one runs, 0 kills it.
LRESULT blinkHook(HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == 0 || message != blinkMessage())
        return -1;
    if (wParam && timerId == 0) {
        timerId = SetTimer(nullptr, 0, blinkMilliseconds, blinkTick);
    } else if (!wParam && timerId != 0) {
        KillTimer(nullptr, timerId);
        timerId = 0;
    }
    return 0;
}

// Carries the wish to the GUI thread; without a hooked status window (not
// made yet) it waits for the next state.
void sendBlinkWish() {
    ui::IWnd* window = hookedOn ? interfaceCast<ui::IWnd>(services().statusBar) : nullptr;
    HWND handle = window ? window->GetHandle() : nullptr;
    if (handle)
        SendMessageA(handle, blinkMessage(), blinkWanted ? 1 : 0, 0);
}

}  // namespace

void LoadIcons() {
    HINSTANCE module = defaultResources();
    for (int i = 0; i < 3; ++i)
        if (!icons[i])
            icons[i] = static_cast<HICON>(
                LoadImageA(module, MAKEINTRESOURCEA(iconIds[i]), IMAGE_ICON, 16, 16, 0));
}

void Attach() {
    moduleServices& s = services();
    ui::IWndEvents* events = interfaceCast<ui::IWndEvents>(s.statusBar);
    if (!events || events == hookedOn)
        return;
    Detach();
    ui::IWndProc* made = createAs<ui::IWndProc>(s.factory, s.token, "vesk::ui::VWndProc",
                                                addressValue(&blinkHook), pointerInt(0));
    if (!made)
        return;
    made->addRef();
    if (!events->AddMessageHook(made)) {
        made->release();
        return;
    }
    hook = made;
    hookedOn = events;
}

void Detach() {
    if (!hookedOn)
        return;
    blinkWanted = false;
    sendBlinkWish();  // a timer left running would tick into an unloaded module
    hookedOn->RemoveMessageHook(hook);
    hook->release();
    hook = nullptr;
    hookedOn = nullptr;
}

void Show(int state, const char* text) {
    ui::IStatusBar* bar = services().statusBar;
    if (!bar)
        return;
    HICON icon = nullptr;
    switch (state) {
    case 2:
    case 5:
        blinkWanted = true;
        icon = icons[activeIcon];
        break;
    case 3:
        blinkWanted = false;
        icon = icons[steadyIcon];
        break;
    case 4:
        blinkWanted = false;
        icon = icons[activeIcon];
        break;
    default:
        break;  // the icon and the blink of the other states are left as they are
    }
    sendBlinkWish();
    bar->Output(text, statePane, 0);
    if (icon)
        bar->SetIcon(statePane, icon);
}

}  // namespace vesk::ss::statusDisplay
