// A protocol's state text and blinking icon in pane 4 of the window
// library's own status bar, reached through the fake user interface's
// library mode: the real panes, not a record of calls.
#include <set>

#include "plugins/Ombrel/tests/managerFixture.h"
#include "testing/fakes/libraryFrame.h"
#include "testing/statusPanes.h"

namespace vesk::ss::test {
namespace {

using vesk::testing::paneIcon;
using vesk::testing::paneText;

bool connects() { return true; }

class LibraryStatusBar : public managerFixture {
protected:
    void SetUp() override {
        managerFixture::SetUp();
        statusDisplay::Detach();
        services().statusBar = libraryUi.statusBar();
        statusDisplay::Attach();
    }

    IProtocol* add() {
        IProtocol* p = nullptr;
        EXPECT_EQ(manager->RegisterProtocol(ProtocolRegistration{&p, "P", "description", "short", 4, 5, connects,
                                                                 connects, nullptr, nullptr}),
                  1);
        return p;
    }

    vesk::testing::libraryFrame frame;
    vesk::testing::fakeUi libraryUi{frame.frame()};
};

TEST_F(LibraryStatusBar, StatesShowTheirTextAndIconInPaneFourAndConnectingBlinks) {
    HWND status = frame.statusWindow();
    ASSERT_NE(status, nullptr) << "the frame and its status bar were made on the GUI thread";
    EXPECT_EQ(libraryUi.frame(), frame.frame());
    IProtocol* p = add();
    p->SetState(3);
    EXPECT_EQ(paneText(status, 4), "Connected");
    HICON steady = paneIcon(status, 4);
    p->SetState(4);
    EXPECT_EQ(paneText(status, 4), "Offline");
    HICON active = paneIcon(status, 4);
    EXPECT_NE(steady, nullptr);
    EXPECT_NE(active, nullptr);
    EXPECT_NE(steady, active);
    EXPECT_EQ(paneText(status, 0), "Ready") << "the other panes are left alone";

    p->SetState(2);
    EXPECT_EQ(paneText(status, 4), "Connecting");
    // The blink swaps the two icons on the GUI thread; both show within a
    // few ticks of 800 ms.
    std::set<HICON> seen;
    for (DWORD start = GetTickCount(); seen.size() < 2 && GetTickCount() - start < 15000; Sleep(20))
        seen.insert(paneIcon(status, 4));
    EXPECT_EQ(seen, (std::set<HICON>{steady, active}));

    p->SetState(3);
    EXPECT_EQ(paneIcon(status, 4), steady);
    Sleep(1700);
    EXPECT_EQ(paneIcon(status, 4), steady) << "connected stops the blink";
}

}  // namespace
}  // namespace vesk::ss::test
