// The status bar: the window it makes, its panes' edges, what is kept for
// panes before the window exists, text from another thread while the window
// is made, and hooks that see the window's messages.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "plugins/Dravik/statusBar.h"
#include "plugins/Dravik/tests/dravikTestSupport.h"
#include "plugins/Dravik/tests/heldObject.h"
#include "plugins/Dravik/tests/recordingWindow.h"
#include "plugins/Dravik/wndProc.h"

namespace vesk::ui::test {
namespace {

std::vector<int> edgesOf(HWND status) {
    std::vector<int> edges(VStatusBar::paneCount, 0);
    ::SendMessageA(status, SB_GETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    return edges;
}

// A shown top-level window with the given client width, for a status bar
// of its own.
struct parentWindow {
    held<recordingWindow> window;
    HWND handle;
    explicit parentWindow(int clientWidth = 1000) : handle(window->Make("status parent")) {
        window->ResizeClient(clientWidth, 200, TRUE);
        pump();
    }
    ~parentWindow() { ::DestroyWindow(handle); }
};

TEST(StatusBar, MakesAReadyWindowWithFivePanes) {
    parentWindow parent;
    heldCore<VStatusBar> bar;
    EXPECT_EQ(bar->Create(nullptr), 0);
    EXPECT_EQ(bar->GetHandle(), nullptr) << "no parent, no window";
    EXPECT_EQ(bar->Create(parent.window.get()), 0);
    HWND status = bar->GetHandle();
    ASSERT_NE(status, nullptr);
    char className[64] = "";
    ::GetClassNameA(status, className, sizeof(className));
    EXPECT_STREQ(className, STATUSCLASSNAMEA);
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(status, GWL_STYLE)), 0x54001043u);
    EXPECT_EQ(::GetDlgCtrlID(status), 40010);
    EXPECT_EQ(::GetParent(status), parent.handle);
    EXPECT_EQ(ObjectOfWindow(status), static_cast<IWnd*>(bar.get()));
    EXPECT_EQ(paneText(status, 0), "Ready");
    EXPECT_EQ(edgesOf(status), (std::vector<int>{400, 475, 565, 675, 785}));
}

TEST(StatusBar, ResizingGivesTheRightPanesFixedWidths) {
    parentWindow parent(1000);
    heldCore<VStatusBar> bar;
    bar->Create(parent.window.get());
    HWND status = bar->GetHandle();
    EXPECT_EQ(bar->Resize(nullptr, nullptr, 1000, 200), 1);
    // The first resize starts from the creation edges: 1000 - 385.
    EXPECT_EQ(edgesOf(status), (std::vector<int>{615, 715, 805, 915, 1045}));
    bar->Resize(nullptr, nullptr, 1000, 200);
    EXPECT_EQ(edgesOf(status), (std::vector<int>{570, 670, 760, 870, 1000}));
    RECT placed;
    ::GetWindowRect(status, &placed);
    EXPECT_EQ(placed.right - placed.left, 1000) << "along the parent's whole width";
}

TEST(StatusBar, TextAndIconsGivenEarlyAreShownPerPaneOnceTheWindowExists) {
    parentWindow parent;
    heldCore<VStatusBar> bar;
    HICON connected = ::LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_INFORMATION));
    HICON transfers = ::LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_WARNING));
    bar->Output("Online", 4, 0);
    bar->SetIcon(4, connected);
    bar->Output("DL: 0  UL: 0", 2, 0);  // a later pane does not replace pane 4's
    bar->SetIcon(2, transfers);
    bar->Output("Outside", 5, 0);
    bar->Output("Outside", -1, 0);
    bar->SetIcon(7, connected);
    bar->Output(std::string(300, 'x').c_str(), 3, 0);
    bar->Create(parent.window.get());
    HWND status = bar->GetHandle();
    EXPECT_EQ(paneText(status, 4), "Online");
    EXPECT_EQ(paneText(status, 2), "DL: 0  UL: 0");
    EXPECT_EQ(paneText(status, 3), std::string(VStatusBar::keptTextLength, 'x')) << "kept texts are bounded";
    EXPECT_EQ(paneText(status, 0), "Ready");
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(status, SB_GETICON, 4, 0)), connected);
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(status, SB_GETICON, 2, 0)), transfers);

    bar->Output("", 4, 0);
    EXPECT_EQ(paneText(status, 4), "") << "an empty text clears the pane";
    bar->Output("Searching");
    EXPECT_EQ(paneText(status, 0), "Searching");
    EXPECT_EQ(paneFlags(status, 0), 0x400u);
}

// Another thread writes numbered texts into every pane while the window is
// made: each pane ends with the last text written to it.
TEST(StatusBar, TextFromAnotherThreadWhileTheWindowIsMadeIsNeverLost) {
    parentWindow parent;
    heldCore<VStatusBar> bar;
    constexpr int rounds = 400;
    std::atomic<int> written{0};
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < rounds; ++i) {
            int pane = i % VStatusBar::paneCount;
            bar->Output(("text " + std::to_string(i)).c_str(), pane, 0);
            ++written;
        }
        done = true;
    });
    ASSERT_TRUE(pumpUntil([&] { return written > 20 || done; }));
    bar->Create(parent.window.get());
    ASSERT_TRUE(pumpUntil([&] { return done.load(); }, 20000));
    writer.join();
    pump();
    for (int pane = 0; pane < VStatusBar::paneCount; ++pane) {
        int last = rounds - VStatusBar::paneCount + pane;
        EXPECT_EQ(paneText(bar->GetHandle(), pane), "text " + std::to_string(last)) << "pane " << pane;
    }
}

struct heard {
    UINT message;
    int count = 0;
};

LRESULT countMessage(void* user, HWND, UINT message, WPARAM, LPARAM) {
    auto* h = static_cast<heard*>(user);
    if (message == h->message)
        ++h->count;
    return -1;
}

TEST(StatusBar, HooksSeeTheStatusWindowsMessages) {
    parentWindow parent;
    heldCore<VStatusBar> bar;
    bar->Create(parent.window.get());
    heard blink{::RegisterWindowMessageA("vesk status bar test")};
    IWndProc* hook = new capsule<VWndProc>(reinterpret_cast<pointerInt>(&countMessage),
                                           reinterpret_cast<pointerInt>(&blink));
    ASSERT_EQ(bar->AddMessageHook(hook), 1);
    ::SendMessageA(bar->GetHandle(), blink.message, 1, 0);
    EXPECT_EQ(blink.count, 1);
    bar->Output("still a status window", 1, 0);
    EXPECT_EQ(paneText(bar->GetHandle(), 1), "still a status window");
    bar->RemoveMessageHook(hook);
}

TEST(StatusBar, TextGivenOnceTheWindowIsGoneWaitsForTheNextWindow) {
    parentWindow parent;
    heldCore<VStatusBar> bar;
    bar->Create(parent.window.get());
    ::DestroyWindow(bar->GetHandle());
    bar->Output("late", 1, 0);
    bar->Create(parent.window.get());
    EXPECT_EQ(paneText(bar->GetHandle(), 1), "late") << "kept, not sent to the dead window";
}

}  // namespace
}  // namespace vesk::ui::test
