#include "plugins/splash/tests/splashTestSupport.h"

namespace vesk::splash::test {

HWND findSplashWindow(DWORD processId) {
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, "SplashScreen", nullptr));) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (processId ? owner == processId : owner != GetCurrentProcessId())
            return window;
    }
    return nullptr;
}

bool waitFor(const std::function<bool()>& done, DWORD limitMs) {
    for (DWORD start = GetTickCount();; Sleep(2)) {
        if (done())
            return true;
        if (since(start) > limitMs)
            return false;
    }
}

}  // namespace vesk::splash::test
