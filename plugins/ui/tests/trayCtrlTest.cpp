// The tray icon under Wine's notification area: the icon's presence is
// seen by NIM_MODIFY, which succeeds only while the icon exists.
#include "plugins/ui/tests/optionsTestSupport.h"

#include <shellapi.h>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/tests/trayIconShown.h"

namespace vesk::ui::test {
namespace {

struct tipCase {
    const char* name;
    std::string text;
    bool null;
    std::string tip;
};

const tipCase tipCases[] = {
    {"null", "", true, ""},
    {"empty", "", false, ""},
    {"short", "Pelloran", false, "Pelloran"},
    {"63 characters whole", std::string(63, 'a'), false, std::string(63, 'a')},
    {"64 characters cut", std::string(64, 'b'), false, std::string(63, 'b')},
    {"three lines cut", std::string(40, 'c') + "\r\n" + std::string(40, 'd'), false,
     std::string(40, 'c') + "\r\n" + std::string(21, 'd')},
};

class trayTips : public ::testing::TestWithParam<tipCase> {};

TEST_P(trayTips, TheTipKeepsAtMost63Characters) {
    const tipCase& c = GetParam();
    EXPECT_EQ(TrayTip(c.null ? nullptr : c.text.c_str()), c.tip);
}

INSTANTIATE_TEST_SUITE_P(cases, trayTips, ::testing::ValuesIn(tipCases), NamedCase());

class trayIcon : public optionsTest {
protected:
    void SetUp() override {
        optionsTest::SetUp();
        tray = CreateTrayCtrl();
        ASSERT_NE(tray, nullptr);
    }
    void TearDown() override {
        if (tray)
            static_cast<IcoreObject*>(tray)->releaseCore();
        optionsTest::TearDown();
    }
    VTrayCtrl* tray = nullptr;
};

TEST_F(trayIcon, AddShowsTheIconAndRemoveTakesItAway) {
    EXPECT_FALSE(TrayIconShown(frame->window()));
    EXPECT_EQ(tray->SetTip("before"), 0) << "no icon to change yet";
    EXPECT_EQ(tray->Add(), 1);
    EXPECT_TRUE(TrayIconShown(frame->window()));
    EXPECT_NE(tray->SetTip(std::string(63, 't').c_str()), 0);
    EXPECT_NE(tray->SetTip(std::string(500, 'u').c_str()), 0);
    EXPECT_NE(tray->SetIcon(::LoadIconA(nullptr, IDI_APPLICATION)), 0);
    EXPECT_NE(tray->Remove(), 0);
    EXPECT_FALSE(TrayIconShown(frame->window()));
    EXPECT_EQ(tray->Remove(), 0) << "the shell's failure is the caller's answer";
}

TEST_F(trayIcon, WithoutTheMainWindowAddFailsAndSaysSo) {
    ListServices().frame = nullptr;
    EXPECT_EQ(tray->Add(), 0);
    EXPECT_FALSE(TrayIconShown(frame->window()));
}

TEST_F(trayIcon, EndingTheControlTakesTheIconAway) {
    ASSERT_EQ(tray->Add(), 1);
    static_cast<IcoreObject*>(tray)->releaseCore();
    tray = nullptr;
    EXPECT_FALSE(TrayIconShown(frame->window()));
}

struct restartCase {
    const char* name;
    bool shownBefore;
    int showInTray;
    bool shownAfter;
};

const restartCase restartCases[] = {
    {"shown and wanted comes back", true, 1, true},
    {"not wanted stays away", true, 0, false},
    {"never added but wanted comes", false, 1, true},
    {"never added and not wanted stays away", false, 0, false},
};

class trayRestart : public trayIcon, public ::testing::WithParamInterface<restartCase> {};

TEST_P(trayRestart, TaskbarCreatedAddsTheIconOnlyWhileItIsWanted) {
    const restartCase& c = GetParam();
    UINT created = ::RegisterWindowMessageA("TaskbarCreated");
    ASSERT_NE(created, 0u);
    EXPECT_EQ(tray->TaskbarCreatedMessage(), created);
    if (c.shownBefore) {
        ASSERT_EQ(tray->Add(), 1);
        tray->Remove();  // the shell lost it
    }
    EXPECT_FALSE(tray->OnTaskbarCreated(WM_NULL, c.showInTray));
    EXPECT_FALSE(TrayIconShown(frame->window())) << "no other message adds the icon";
    EXPECT_TRUE(tray->OnTaskbarCreated(created, c.showInTray));
    EXPECT_EQ(TrayIconShown(frame->window()), c.shownAfter);
    tray->Remove();
}

INSTANTIATE_TEST_SUITE_P(cases, trayRestart, ::testing::ValuesIn(restartCases), NamedCase());

TEST_F(trayIcon, TurningTheTrayOffOnTheGeneralPageRemovesTheIconAtOnce) {
    windowFlags& flags = TestFlags();
    flags = windowFlags();
    GeneralPageServices() = generalPageServices();
    GeneralPageServices().readFlags = &ReadTestFlags;
    GeneralPageServices().writeFlags = &WriteTestFlags;
    GeneralPageServices().tray = tray;
    ASSERT_EQ(tray->Add(), 1);
    ASSERT_EQ(options->Create(), 1);
    ASSERT_NE(AddGeneralPage(*options), nullptr);
    HWND page = options->CurrentPage();
    ASSERT_NE(page, nullptr);

    ::CheckDlgButton(page, IDC_UIO_SHOW_IN_TRAY, BST_UNCHECKED);
    ::SendMessageA(options->Dialog(), WM_COMMAND, IDC_UIO_APPLY, 0);
    EXPECT_EQ(flags.showInTray, 0);
    EXPECT_FALSE(TrayIconShown(frame->window()));

    ::CheckDlgButton(page, IDC_UIO_SHOW_IN_TRAY, BST_CHECKED);
    ::SendMessageA(options->Dialog(), WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(TrayIconShown(frame->window()));
    tray->Remove();
    GeneralPageServices() = generalPageServices();
}

TEST_F(trayIcon, HidingTheTaskbarButtonHidesTheWindow) {
    ASSERT_TRUE(::IsWindowVisible(frame->window()));
    VTrayCtrl::HideTaskbarButton(frame->window());
    EXPECT_FALSE(::IsWindowVisible(frame->window()));
    VTrayCtrl::ShowTaskbarButton(frame->window());
    EXPECT_FALSE(::IsWindowVisible(frame->window())) << "showing the button leaves the window as it is";
    ::ShowWindow(frame->window(), SW_SHOW);
}

}  // namespace
}  // namespace vesk::ui::test
