// Minimizing to the tray and starting minimized. Xvfb has no taskbar, so
// the taskbar button cannot be seen: what shows is the frame hidden while
// the tray icon stays, and the icon's click bringing the frame back.
#include <windows.h>
#include <shellapi.h>

#include "plugins/Dravik/tests/dravikTestSupport.h"
#include "plugins/ui/tests/mainWindowTestSupport.h"
#include "plugins/ui/tests/trayIconShown.h"
#include "plugins/ui/trayCtrl.h"

namespace vesk::ui::test {
namespace {

class trayMinimize : public mainWindow {
protected:
    void SetUp() override {
        mainWindow::SetUp();
        saved = {control().MinimizeToTray(), control().MinimizeOnStart(), control().ShowInTray()};
        tray = CreateTrayCtrl();
        ASSERT_NE(tray, nullptr);
        // Wine's notification area may still be starting with the first test.
        ASSERT_TRUE(pumpUntil([this] { return tray->Add() == 1; }));
        showNormal();
    }
    void TearDown() override {
        control().SetMinimizeToTray(saved[0]);
        control().SetMinimizeOnStart(saved[1]);
        control().SetShowInTray(saved[2]);
        showNormal();
        if (tray)
            static_cast<IcoreObject*>(tray)->releaseCore();
    }
    void showNormal() {
        ::ShowWindow(frameWindow(), SW_SHOWNORMAL);
        pump();
    }
    // What the shell sends the frame for a left click on the icon.
    void clickIcon() {
        ::SendMessageA(frameWindow(), VTrayCtrl::callbackMessage, 0, WM_LBUTTONDOWN);
        pump();
    }

    std::vector<int> saved;
    VTrayCtrl* tray = nullptr;
};

struct minimizeCase {
    const char* name;
    int minimizeToTray;
    int showInTray;
    bool hidden;  // no window left but the tray icon
};

const minimizeCase minimizeCases[] = {
    {"to the tray", 1, 1, true},
    {"to the tray without a tray icon keeps the window", 1, 0, false},
    {"not to the tray", 0, 1, false},
};

TEST_F(trayMinimize, MinimizingHidesTheFrameOnlyWhenItGoesToTheTray) {
    for (const minimizeCase& c : minimizeCases) {
        control().SetMinimizeToTray(c.minimizeToTray);
        control().SetShowInTray(c.showInTray);
        showNormal();
        ::ShowWindow(frameWindow(), SW_MINIMIZE);
        pump();
        EXPECT_TRUE(::IsIconic(frameWindow())) << c.name;
        EXPECT_EQ(::IsWindowVisible(frameWindow()) == 0, c.hidden) << c.name;
        EXPECT_TRUE(TrayIconShown(frameWindow())) << c.name;

        clickIcon();
        EXPECT_FALSE(::IsIconic(frameWindow())) << c.name;
        EXPECT_TRUE(::IsWindowVisible(frameWindow())) << c.name;
        EXPECT_EQ(::GetForegroundWindow(), frameWindow()) << c.name;
    }
}

TEST_F(trayMinimize, TheIconsClickMinimizesAShownFrameToTheTray) {
    control().SetMinimizeToTray(1);
    control().SetShowInTray(1);
    clickIcon();
    EXPECT_TRUE(::IsIconic(frameWindow()));
    EXPECT_FALSE(::IsWindowVisible(frameWindow()));
    clickIcon();
    EXPECT_FALSE(::IsIconic(frameWindow()));
    EXPECT_TRUE(::IsWindowVisible(frameWindow()));
}

TEST_F(trayMinimize, StartingMinimizedLeavesOnlyTheTrayIconWhichBringsTheFrameBack) {
    control().SetMinimizeToTray(0);
    control().SetMinimizeOnStart(1);
    control().SetShowInTray(1);
    ::ShowWindow(frameWindow(), SW_HIDE);  // as the frame is before its first showing
    pump();
    EXPECT_TRUE(control().ShowMainWindow());
    pump();
    EXPECT_TRUE(::IsIconic(frameWindow()));
    EXPECT_FALSE(::IsWindowVisible(frameWindow()));
    clickIcon();
    EXPECT_FALSE(::IsIconic(frameWindow()));
    EXPECT_TRUE(::IsWindowVisible(frameWindow()));
}

TEST_F(trayMinimize, StartingMinimizedWithoutATrayIconKeepsTheWindowToComeBackBy) {
    control().SetMinimizeOnStart(1);
    control().SetShowInTray(0);
    ::ShowWindow(frameWindow(), SW_HIDE);
    pump();
    EXPECT_TRUE(control().ShowMainWindow());
    pump();
    EXPECT_TRUE(::IsIconic(frameWindow()));
    EXPECT_TRUE(::IsWindowVisible(frameWindow())) << "hidden with no icon, nothing could show it again";
}

}  // namespace
}  // namespace vesk::ui::test
