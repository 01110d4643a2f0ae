// The frame's MDI client and the child windows in it.
#pragma once

#include <windows.h>

#include "plugins/Dravik/export.h"
#include "plugins/Dravik/wnd.h"
#include "vesk/ui.h"

namespace vesk::ui {

// The platform's "MDICLIENT" window, subclassed so that its object sees
// every message while the platform's procedure still handles each.
class DRAVIK_API VFrameClientWnd : public VWnd, public IFrameClientWnd {
public:
    VFrameClientWnd();
    VFrameClientWnd(const VFrameClientWnd&) = delete;
    VFrameClientWnd& operator=(const VFrameClientWnd&) = delete;

    using VWnd::Create;
    // Over the frame's client area; null for a null frame.
    HWND Create(IWnd* frame) override;
    // A new child window (count 0; the caller takes its reference), null
    // when it could not be made.
    IFrameChildWnd* CreateChild(const char* title, RECT* rect) override;

    LRESULT OnSize(LONG_PTR wParam, LONG_PTR lParam) override;
};

// An MDI child. Its object lives as long as its window is wanted:
// destroying the object destroys the window through the MDI client.
class DRAVIK_API VFrameChildWnd : public VWnd, public IFrameChildWnd {
public:
    VFrameChildWnd();
    VFrameChildWnd(const VFrameChildWnd&) = delete;
    VFrameChildWnd& operator=(const VFrameChildWnd&) = delete;
    ~VFrameChildWnd() override;

    using VWnd::Create;
    // Filling the client's client area; the rectangle is not used.
    HWND Create(IWnd* client, const char* title, RECT* rect) override;
    int Maximize() override;
    int Activate() override;

private:
    HWND ClientWindow();
};

}  // namespace vesk::ui
