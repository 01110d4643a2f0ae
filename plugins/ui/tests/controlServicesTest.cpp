// What the controller and the menu bar call: one object per service for
// the process, the General page's procedure and its save-on-exit box, the
// options dialog's visibility, and the about box titled by the main window.
#include "plugins/ui/controlServices.h"

#include <functional>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/tests/optionsTestSupport.h"

namespace vesk::ui::test {
namespace {

class controlServices : public listWindowTest {
protected:
    void TearDown() override {
        GeneralPageServices() = generalPageServices();
        listWindowTest::TearDown();
    }
};

TEST_F(controlServices, EachServiceIsOneObjectForTheProcess) {
    // The module makes them at registration, before it fills the services
    // the windows use.
    listServices saved = ListServices();
    ListServices() = listServices();
    IOptions* options = MakeVOptions();
    ListServices() = saved;
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(MakeVOptions(), options);
    ITrayCtrl* tray = MakeVTrayCtrl();
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(MakeVTrayCtrl(), tray);
    Igeneric* debug = MakeVDockDebugWnd();
    ASSERT_NE(debug, nullptr);
    EXPECT_EQ(MakeVDockDebugWnd(), debug);
    EXPECT_NE(interfaceCast<IDockDebugWnd>(debug), nullptr);
    EXPECT_NE(interfaceCast<IcoreObject>(debug), nullptr);
    EXPECT_EQ(GeneralPageProcedure(), &GeneralPageProc);
}

TEST_F(controlServices, TheGeneralPageFollowsTheMenusSaveOnExitAndTheDialogShowsAndHides) {
    TestFlags() = windowFlags();
    GeneralPageServices().readFlags = &ReadTestFlags;
    GeneralPageServices().writeFlags = &WriteTestFlags;
    IOptions* options = MakeVOptions();
    ASSERT_NE(options, nullptr);
    ShowSaveOnExitOnGeneralPage(true);  // no page yet: nothing to change
    options->Create();
    EXPECT_FALSE(OptionsDialogVisible());
    HTREEITEM item =
        options->AddPage("General", nullptr, 0, IDD_UIO_GENERAL, nullptr, GeneralPageProcedure());
    ASSERT_NE(item, nullptr);
    SelectOptionsPage(item);
    HWND page = GeneralPageWindow();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(::IsDlgButtonChecked(page, IDC_UIO_SAVE_ON_EXIT), BST_UNCHECKED);
    ShowSaveOnExitOnGeneralPage(true);
    EXPECT_EQ(::IsDlgButtonChecked(page, IDC_UIO_SAVE_ON_EXIT), BST_CHECKED);
    ShowSaveOnExitOnGeneralPage(false);
    EXPECT_EQ(::IsDlgButtonChecked(page, IDC_UIO_SAVE_ON_EXIT), BST_UNCHECKED);
    options->Show();
    EXPECT_TRUE(OptionsDialogVisible());
    options->Hide();
    EXPECT_FALSE(OptionsDialogVisible());
}

void CALLBACK CloseAboutBox(HWND, UINT, UINT_PTR id, DWORD);
std::string& AboutCaption() {
    static std::string caption;
    return caption;
}

BOOL CALLBACK FindAboutBox(HWND window, LPARAM found) {
    char type[16] = "";
    ::GetClassNameA(window, type, sizeof type);
    if (std::string(type) == "#32770" && ::IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK CloseAboutBox(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindAboutBox, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog)
        return;
    ::KillTimer(nullptr, id);
    char caption[100] = "";
    ::GetWindowTextA(dialog, caption, sizeof caption);
    AboutCaption() = caption;
    ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(controlServices, TheAboutBoxIsTitledLikeTheMainWindow) {
    ASSERT_TRUE(::SetWindowTextA(frame->window(), "Pelloran 0.1"));
    AboutCaption().clear();
    UINT_PTR timer = ::SetTimer(nullptr, 0, 10, &CloseAboutBox);
    ShowAboutDialog(frame->window());
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(AboutCaption(), "Pelloran 0.1");
    EXPECT_TRUE(::IsWindowEnabled(frame->window()));
}

}  // namespace
}  // namespace vesk::ui::test
