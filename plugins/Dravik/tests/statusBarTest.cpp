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

TEST(StatusBar, ResizingPutsTheRightPanesAtTheRightEdge) {
    parentWindow parent(1000);
    heldCore<VStatusBar> bar;
    bar->Create(parent.window.get());
    HWND status = bar->GetHandle();
    // Without texts the panes keep the widths they start with.
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(bar->Resize(nullptr, nullptr, 1000, 200), 1);
        EXPECT_EQ(edgesOf(status), (std::vector<int>{570, 670, 760, 870, 1000})) << round;
    }
    RECT placed;
    ::GetWindowRect(status, &placed);
    EXPECT_EQ(placed.right - placed.left, 1000) << "along the parent's whole width";
}

// The width the status control needs to draw the pane's text whole: its
// text in the control's font, 3 pixels of inset, a one-pixel edge on each
// side and, with an icon, a square as high as the inside of the pane.
int roomFor(HWND status, int pane, const std::string& text) {
    RECT bound = {};
    ::SendMessageA(status, SB_GETRECT, pane, reinterpret_cast<LPARAM>(&bound));
    HDC dc = ::GetDC(status);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(status, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(status, dc);
    bool icon = ::SendMessageA(status, SB_GETICON, pane, 0) != 0;
    return extent.cx + 3 + 2 + (icon ? bound.bottom - bound.top - 2 : 0);
}

int paneWidth(HWND status, int pane) {
    RECT bound = {};
    ::SendMessageA(status, SB_GETRECT, pane, reinterpret_cast<LPARAM>(&bound));
    return bound.right - bound.left;
}

TEST(StatusBar, EachPaneIsWideEnoughForItsTextAndIconAndCountsDoNotMoveIt) {
    parentWindow parent(1000);
    heldCore<VStatusBar> bar;
    bar->Create(parent.window.get());
    HWND status = bar->GetHandle();
    HICON icon = ::LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_INFORMATION));
    bar->SetIcon(1, icon);
    bar->SetIcon(2, icon);
    bar->Resize(nullptr, nullptr, 1000, 200);
    const struct {
        int pane;
        const char* text;
    } texts[] = {
        {1, "Connections: 0"},   {1, "Connections: 7"},     {1, "Connections: 999"},
        {2, "DL: 0  UL: 0"},     {2, "DL: 88  UL: 88"},     {3, "S: 12 SR: 340"},
        {4, "Connecting to the network"},
    };
    int widthAtZero[VStatusBar::paneCount] = {};
    for (const auto& t : texts) {
        bar->Output(t.text, t.pane, 0);
        EXPECT_GE(paneWidth(status, t.pane), roomFor(status, t.pane, t.text)) << t.text;
        if (!widthAtZero[t.pane]) {
            widthAtZero[t.pane] = paneWidth(status, t.pane);
        } else if (t.pane < 3) {
            EXPECT_EQ(paneWidth(status, t.pane), widthAtZero[t.pane]) << "a growing count keeps the pane: " << t.text;
        }
    }
    std::vector<int> edges = edgesOf(status);
    EXPECT_EQ(edges.back(), 1000) << "the panes stay at the right";
    int panes = edges.back() - edges[0];
    EXPECT_EQ(bar->LeastWidth(), panes + VStatusBar::leastPaneZero);
    bar->Output("", 4, 0);
    edges = edgesOf(status);
    EXPECT_EQ(edges[4] - edges[3], 130) << "never narrower than it started";
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
