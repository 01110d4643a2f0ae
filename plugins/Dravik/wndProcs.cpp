#include "plugins/Dravik/wndProcs.h"

#include "plugins/Dravik/windowBinding.h"
#include "vesk/ui.h"

namespace vesk::ui {

LRESULT DispatchToObject(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    IWndEvents* events = boundEvents(window);
    if (!events)
        return -1;
    LRESULT answer = events->WindowProc(message, wParam, lParam);
    if (message == WM_PAINT && answer != -1)
        ::ValidateRect(window, nullptr);
    return answer;
}

void WindowDone(HWND window, UINT message) {
    if (message != WM_NCDESTROY)
        return;
    if (IWnd* object = boundObject(window))
        if (object->GetHandle() == window)
            object->Detach();
    forgetWindow(window);
}

LRESULT __ProcPump(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    IWndEvents* events = boundEvents(window);
    LRESULT answer = events ? DispatchToObject(window, message, wParam, lParam) : 0;
    WindowDone(window, message);
    return answer;
}

INT_PTR CALLBACK ___DlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT answer = __ProcPump(window, message, wParam, lParam);
    return answer == -1 ? 0 : answer;
}

LRESULT CALLBACK ___DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT answer = DispatchToObject(window, message, wParam, lParam);
    if (answer == -1)
        answer = ::DefWindowProcA(window, message, wParam, lParam);
    WindowDone(window, message);
    return answer;
}

LRESULT CALLBACK ___DefSubclassWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DispatchToObject(window, message, wParam, lParam);
    WNDPROC previous = previousProc(window);
    LRESULT answer = previous ? ::CallWindowProcA(previous, window, message, wParam, lParam)
                              : ::DefWindowProcA(window, message, wParam, lParam);
    WindowDone(window, message);
    return answer;
}

LRESULT CALLBACK ___DefMDIChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT answer = DispatchToObject(window, message, wParam, lParam);
    if (answer == -1)
        answer = ::DefMDIChildProcA(window, message, wParam, lParam);
    WindowDone(window, message);
    return answer;
}

}  // namespace vesk::ui
