// Shared by the splash tests: finding the splash window and waiting on it.
#pragma once

#include <windows.h>

#include <functional>

namespace vesk::splash::test {

// A window of the class "SplashScreen" that belongs to the process (0: to
// any process but this one); null when there is none.
HWND findSplashWindow(DWORD processId);

// Polls done() every 2 ms for at most limitMs; whether it came true.
bool waitFor(const std::function<bool()>& done, DWORD limitMs);

// Milliseconds since start.
inline DWORD since(DWORD start) {
    return GetTickCount() - start;
}

}  // namespace vesk::splash::test
