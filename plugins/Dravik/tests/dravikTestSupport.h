// Helpers for the window library's tests, which run its windows in the
// test's own thread: message pumping with bounded waits, a frame with a
// status bar at a known place, dock windows, geometry and screen pixels.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "plugins/Dravik/dock.h"
#include "plugins/Dravik/dockArea.h"
#include "plugins/Dravik/dockBand.h"
#include "plugins/Dravik/dockContainer.h"
#include "plugins/Dravik/dockWnd.h"
#include "plugins/Dravik/frameWnd.h"
#include "plugins/Dravik/statusBar.h"
#include "plugins/Dravik/wnd.h"
#include "testing/screen/rgbImage.h"
#include "testing/statusPanes.h"

namespace vesk::ui::test {

// Handles every message waiting for this thread.
void pump();
// Pumps until the condition holds; false when it still fails after the
// limit.
bool pumpUntil(const std::function<bool()>& done, DWORD limitMs = 5000);

// A shown frame whose client area has the given size, at a fixed place on
// the screen, with its dock and (optionally) a status bar.
class frameFixture {
public:
    explicit frameFixture(int clientWidth = 600, int clientHeight = 400, bool statusBar = true);
    ~frameFixture();
    frameFixture(const frameFixture&) = delete;
    frameFixture& operator=(const frameFixture&) = delete;

    VFrameWnd& frame() { return *frame_; }
    HWND window() const { return window_; }
    VDock& dock();
    VDockArea& area(int side);
    HWND client();
    VStatusBar* statusBar() { return statusBar_; }
    // A dock window made through the dock, its container resizable or not,
    // with docked rectangles of the given size for both orientations.
    VDockWnd* dockWindow(const char* name, SIZE docked, bool resizable = true);
    // Docks the window so that its dragged rectangle's top-left corner is
    // at the point (frame client coordinates).
    void dockAt(VDockWnd* window, int side, POINT clientPoint, long band = -1);

private:
    capsule_core<VFrameWnd>* frame_;
    capsule_core<VStatusBar>* statusBar_ = nullptr;  // a core object, ended with the fixture
    HWND window_ = nullptr;
};

// A window's rectangle in another window's client coordinates.
RECT rectIn(HWND window, HWND relativeTo);
std::string describe(const RECT& r);

// Pixels of the screen, read through the desktop's device context.
COLORREF screenPixel(POINT at);

using vesk::testing::paneFlags;
using vesk::testing::paneText;

}  // namespace vesk::ui::test

namespace vesk::ui::test {

// Writes the picture as <name>.png when the environment names a folder in
// DRAVIK_SCREENSHOTS (for a person to look at); false otherwise.
bool SaveIfAsked(const std::string& name, const testing::rgbImage& image);

// The screen's pixels inside a rectangle, read through the desktop's device
// context, row by row from the top.
class screenShot {
public:
    explicit screenShot(const RECT& area);
    COLORREF at(POINT screen) const;  // CLR_INVALID outside the shot
    // SaveIfAsked of the shot.
    bool saveIfAsked(const std::string& name) const { return SaveIfAsked(name, image_); }

private:
    RECT area_;
    testing::rgbImage image_;
};

}  // namespace vesk::ui::test
