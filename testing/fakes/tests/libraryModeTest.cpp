// The fake user interface in library mode: the window library's frame and
// status bar, made and run on the fake's GUI thread.
#include <gtest/gtest.h>

#include <windows.h>

#include "testing/fakes/fakeUi.h"
#include "testing/fakes/libraryFrame.h"
#include "testing/statusPanes.h"

namespace vesk::testing {
namespace {

TEST(FakeUiLibraryMode, HandsOutTheLibrarysFrameAndStatusBarRunOnItsGuiThread) {
    libraryFrame library;
    HWND status = nullptr;
    {
        fakeUi ui(library.frame());
        EXPECT_EQ(ui.frame(), library.frame());
        EXPECT_EQ(ui.statusBar(), library.frame()->GetStatusBar());
        status = library.statusWindow();
        ASSERT_NE(status, nullptr);
        EXPECT_EQ(::GetWindowThreadProcessId(status, nullptr), ui.gui().threadId());
        HWND frameWindow = ::GetParent(status);
        char className[64] = "";
        ::GetClassNameA(frameWindow, className, sizeof(className));
        EXPECT_STREQ(className, "Pelloran:Dravik32:FrameWnd:1");

        ui.statusBar()->Output("DL: 0  UL: 0", 2, 0);
        EXPECT_EQ(paneText(status, 2), "DL: 0  UL: 0");
        EXPECT_TRUE(ui.calls().linesStartingWith("IStatusBar::").empty()) << "real panes, not a record";
        ui.options()->Show();
        EXPECT_EQ(ui.calls().linesStartingWith("IOptions::Show").size(), 1u) << "the other parts still record";
        int ran = 0;
        ui.gui().run([&] { ran = 1; });
        EXPECT_EQ(ran, 1) << "the frame's loop serves the GUI thread";
    }
    EXPECT_FALSE(::IsWindow(status)) << "the fake takes its frame window with it";
}

}  // namespace
}  // namespace vesk::testing
