// The main window's start and end as another module's threads see them: a
// manager already connected when the menu is built, and a protocol thread
// calling the lists while the main window goes. The suite ends with the
// window destroyed, so it has a program of its own.
#include <windows.h>
#include <commctrl.h>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/Dravik/tests/dravikTestSupport.h"
#include "plugins/ui/dockTransferWnd.h"
#include "plugins/ui/layoutWindows.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/tests/mainWindowTestSupport.h"

namespace vesk::ui::test {
namespace {

const DWORD handOverBoundMs = 3000;

// What the protocol thread saw while the main window was being destroyed.
struct closingCall {
    bool asked = false;     // the window was going when the protocol disconnected
    bool finished = false;  // the thread's call came back within the bound
    bool rowAdded = true;   // the call's answer
    DWORD elapsedMs = 0;
};

bool destroying = false;
closingCall seen;
ss::IAgent* lateAgent = nullptr;

DWORD WINAPI AddRowFromOtherThread(void*) {
    seen.rowAdded = ListServices().transferWnd->UpdateDownload(lateAgent) != 0;
    return 0;
}

bool ConnectAlways() { return true; }

// The protocol's disconnect: while the window is being destroyed the GUI
// thread waits here on a thread of its own that calls the download list,
// as a protocol ending its threads would.
bool DisconnectWaitingOnAThread() {
    if (!destroying || seen.asked)
        return true;
    seen.asked = true;
    DWORD start = ::GetTickCount();
    HANDLE thread = ::CreateThread(nullptr, 0, &AddRowFromOtherThread, nullptr, 0, nullptr);
    if (!thread)
        return true;
    seen.finished = ::WaitForSingleObject(thread, handOverBoundMs) == WAIT_OBJECT_0;
    seen.elapsedMs = ::GetTickCount() - start;
    ::CloseHandle(thread);
    return true;
}

ss::IProtocol* protocol = nullptr;

void ConnectBeforeTheLayout(ss::ISSManager* manager) {
    ss::ProtocolRegistration registration = {&protocol, "Test", "test protocol", "T", 0, 0,
                                             &ConnectAlways, &DisconnectWaitingOnAThread, nullptr, nullptr};
    ASSERT_EQ(manager->RegisterProtocol(registration), 1);
    // As an auto-connecting protocol module does while the modules load.
    ASSERT_TRUE(manager->ConnectAll(true));
}

class mainWindowClosing : public mainWindow {
protected:
    static void SetUpTestSuite() {
        beforeLayout = &ConnectBeforeTheLayout;
        mainWindow::SetUpTestSuite();
    }
};

TEST_F(mainWindowClosing, AMenuBuiltWhileConnectedOffersDisconnect) {
    HMENU file = menu().PopupOf(IDS_UIM_MENU_FILE);
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(Grayed(file, IDCMD_UIM_MENU_CONNECT));
    EXPECT_FALSE(Grayed(file, IDCMD_UIM_MENU_DISCONNECT));
}

// Last in the suite: the window does not come back.
TEST_F(mainWindowClosing, ListsCalledFromAnotherThreadOnceTheWindowGoesAnswerAtOnce) {
    lateAgent = newAgent();
    ASSERT_NE(lateAgent, nullptr);
    HWND downloads = ListServices().transferWnd->Downloads().GetHandle();
    ASSERT_TRUE(::IsWindow(downloads));
    ASSERT_EQ(::SendMessageA(downloads, LVM_GETITEMCOUNT, 0, 0), 0);

    destroying = true;
    ASSERT_TRUE(::DestroyWindow(frameWindow()));
    ASSERT_TRUE(seen.asked) << "the protocol disconnects as the window goes";
    EXPECT_TRUE(seen.finished) << "the list call waited on the GUI thread";
    EXPECT_LT(seen.elapsedMs, 1000u);
    EXPECT_FALSE(seen.rowAdded);
    EXPECT_TRUE(control().IsClosed());

    // Later calls, the GUI thread not serving them, fail at once too.
    seen = closingCall();
    DWORD start = ::GetTickCount();
    HANDLE thread = ::CreateThread(nullptr, 0, &AddRowFromOtherThread, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(::WaitForSingleObject(thread, handOverBoundMs), WAIT_OBJECT_0);
    ::CloseHandle(thread);
    EXPECT_LT(::GetTickCount() - start, 1000u);
    EXPECT_FALSE(seen.rowAdded);
    lateAgent->release();

    // The host window's windows are not waited for: they are gone for good.
    listWindowObjects windows;
    ASSERT_TRUE(MakeListWindowObjects(windows));
    start = ::GetTickCount();
    EXPECT_EQ(windows.host->WaitCreated(), nullptr);
    EXPECT_LT(::GetTickCount() - start, 1000u);
}

}  // namespace
}  // namespace vesk::ui::test
