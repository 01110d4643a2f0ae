// The window library's frame with its status bar, made in a test's own
// process for the fake user interface's library mode.
#pragma once

#include <windows.h>

#include "vesk/ui.h"

namespace vesk::testing {

class libraryFrame {
public:
    libraryFrame();
    // After the fake that ran it: its window must be gone.
    ~libraryFrame();
    libraryFrame(const libraryFrame&) = delete;
    libraryFrame& operator=(const libraryFrame&) = delete;

    ui::IFrameWnd* frame() const { return frame_; }
    // The status bar's window; null until the frame's window exists.
    HWND statusWindow() const;

private:
    ui::IFrameWnd* frame_;
    ui::IStatusBar* statusBar_;
};

}  // namespace vesk::testing
