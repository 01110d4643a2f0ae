#include "plugins/splash/splashWindow.h"

#include <shobjidl.h>

#include "plugins/splash/splashResources.h"
#include "plugins/splash/splashScreen.h"

namespace vesk::splash {

namespace {

constexpr const char* className = "SplashScreen";
constexpr const char* windowTitle = "Pelloran";

// GetMessageA returns only for a posted message: a message sent from
// another thread is handled inside it and would leave the loop waiting.
void quitLoop() {
    moduleState().quit = 1;
    PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
}

void paint(HWND window) {
    HBITMAP bitmap = moduleState().bitmap;
    HDC dc = bitmap ? GetDC(window) : nullptr;
    if (!dc)
        return;
    if (HDC memory = CreateCompatibleDC(dc)) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BITMAP info;
        if (previous && GetObjectA(bitmap, sizeof info, &info)) {
            POINT size = {info.bmWidth, info.bmHeight};
            DPtoLP(memory, &size, 1);
            BitBlt(dc, 0, 0, size.x, size.y, memory, 0, 0, SRCCOPY);
        }
        if (previous)
            SelectObject(memory, previous);
        DeleteDC(memory);
    }
    ReleaseDC(window, dc);
}

// A tool window has no button anyway; this takes away one a shell may
// still have made. Failures change nothing.
void removeTaskbarButton(HWND window) {
    if (FAILED(CoInitialize(nullptr)))
        return;
    ITaskbarList* list = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                   IID_ITaskbarList, reinterpret_cast<void**>(&list))) &&
        list) {
        if (SUCCEEDED(list->HrInit()))
            list->DeleteTab(window);
        list->Release();
    }
    CoUninitialize();
}

HWND createSplashWindow() {
    splashState& state = moduleState();
    WNDCLASSA windowClass = {};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = SplashWndProc;
    windowClass.cbWndExtra = 4;
    windowClass.hInstance = state.instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    state.bitmap = LoadBitmapA(state.instance, MAKEINTRESOURCEA(IDB_SPLASH));
    POINT at = splashOrigin(GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN));
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, className, windowTitle, WS_POPUP | WS_CLIPCHILDREN, at.x,
                                  at.y, splashWidth, splashHeight, nullptr, nullptr, state.instance, nullptr);
    if (!window)
        return nullptr;
    SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(splashStyle(GetWindowLongA(window, GWL_STYLE))));
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    SetTimer(window, splashTimerId, splashShowMs, SplashTimerProc);
    return window;
}

}  // namespace

int SplashLoop(Ithread* thread) {
    splashState& state = moduleState();
    if (HWND window = createSplashWindow()) {
        // Published once the first timer is set, so that a dismissal is not
        // undone by it; a close asked for before this is seen by the loop.
        // The timer starts before the shell call, which may take a while
        // on a busy desktop: the 5000 ms count from the showing.
        state.screen->setWindow(window);
        removeTaskbarButton(window);
        MSG message;
        while (!state.quit) {
            BOOL got = GetMessageA(&message, nullptr, 0, 0);
            if (got == 0 || got == -1 || message.message == WM_CLOSE)
                break;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        state.screen->setWindow(nullptr);
        if (IsWindow(window))
            DestroyWindow(window);  // message 9999 and a posted WM_CLOSE leave it
    }
    if (state.bitmap) {
        DeleteObject(state.bitmap);
        state.bitmap = nullptr;
    }
    UnregisterClassA(className, state.instance);
    thread->ended();
    return 0;
}

LRESULT CALLBACK SplashWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            paint(window);
            break;
        case WM_CLOSE:
        case splashCloseMessage:
            quitLoop();
            if (InSendMessage())
                ReplyMessage(1);  // the sender does not wait for the window to go
            break;
        case splashDismissMessage:
            SetTimer(window, splashTimerId, splashDismissMs, SplashTimerProc);
            return 0;
        case WM_NCCALCSIZE:
            if (wParam == 1)
                reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0].top = 0;
            break;
        case WM_LBUTTONDOWN:
            if (moduleState().clickClose) {
                SendMessageA(window, WM_CLOSE, 0, 0);
                quitLoop();
            }
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

VOID CALLBACK SplashTimerProc(HWND window, UINT, UINT_PTR id, DWORD) {
    moduleState().quit = 1;
    PostQuitMessage(0);
    SendNotifyMessageA(window, WM_CLOSE, 0, 0);
    KillTimer(window, id);
}

void CloseSplash() {
    splashState& state = moduleState();
    state.quit = 1;
    if (HWND window = state.screen ? state.screen->window() : nullptr)
        PostMessageA(window, WM_CLOSE, 0, 0);
}

}  // namespace vesk::splash
