#include "plugins/Dravik/tests/recordingWindow.h"

#include "plugins/Dravik/wndProcs.h"

namespace vesk::ui::test {

HWND recordingWindow::Make(const char* title) {
    if (!Register(className, 0, nullptr, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), ___DefWindowProc))
        return nullptr;
    RECT place = {100, 100, 400, 300};
    HWND made = Create(className, nullptr, &place, title, WS_OVERLAPPEDWINDOW, 0, nullptr, nullptr);
    if (made)
        ::ShowWindow(made, SW_SHOWNOACTIVATE);
    return made;
}

}  // namespace vesk::ui::test
