// A main window that cannot be made is an error the user and the host see:
// a log line naming what failed and a failure exit code, not a quiet end.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "core/capsule.h"
#include "plugins/ui/uiControl.h"
#include "testing/recordingLog.h"
#include "vesk/host.h"

namespace vesk::ui::test {
namespace {

class failureRuntime : public objectBase, public Iruntime, public IexitStatus {
public:
    failureRuntime() {
        registerInterfaceOf<Iruntime>(this);
        registerInterfaceOf<IexitStatus>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    HINSTANCE getInstance() override { return nullptr; }
    int setInstance(HINSTANCE) override { return 1; }
    bool isRunning() override { return true; }
    bool shutdown() override { return false; }
    Ihash* getParameters() override { return nullptr; }
    void reportFailure(int exitCode) override { failures.push_back(exitCode); }
    int getExitCode() override { return failures.empty() ? 0 : failures.front(); }

    std::vector<int> failures;
};

// A frame whose window the system refuses, as without a display.
class refusedFrame : public objectBase, public IFrameWnd {
public:
    refusedFrame() {
        registerInterfaceOf<IFrameWnd>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    int Execute(Ifunction*) override { return 0; }
    HWND Create(HWND, RECT*, const char*, DWORD, DWORD, HMENU, WORD, void*) override { return Refuse(); }
    HWND Create(IWnd*, RECT*, const char*) override { return Refuse(); }
    long Run() override { return 0; }
    IDock* GetDock() override { return nullptr; }
    IFrameClientWnd* GetClientWnd() override { return nullptr; }
    IStatusBar* GetStatusBar() override { return nullptr; }
    int SetAccelerator(HACCEL) override { return 0; }
    int SetModuleHandle(HINSTANCE) override { return 1; }
    long Resize(RECT*, void*, int, int) override { return 0; }
    void SetDialogHandle(HWND) override {}
    HWND GetDialogHandle() override { return nullptr; }
    void SetStatusBarVisible(int) override {}
    int GetStatusBarVisible() override { return 0; }
    ISkinEngine* GetSkinEngine() override { return nullptr; }

private:
    static HWND Refuse() {
        ::SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
};

struct failureCase {
    const char* label;
    bool withFrame;     // a frame service that refuses its window
    const char* named;  // what the log line must name
};

class MainWindowFailure : public ::testing::TestWithParam<failureCase> {};

TEST_P(MainWindowFailure, IsLoggedAndReportedAsTheProcessFailure) {
    capsule<testing::recordingLog> log;
    capsule<failureRuntime> runtime;
    capsule<refusedFrame> frame;
    log.addRef();
    runtime.addRef();
    frame.addRef();
    capsule_core<UIControl>* control = new capsule_core<UIControl>();
    controlLinks links;
    links.frame = GetParam().withFrame ? static_cast<IFrameWnd*>(&frame) : nullptr;
    links.runtime = &runtime;
    links.log = &log;
    control->SetLinks(links);

    // A thread of its own, as the GUI thread is: OLE starts fresh there.
    int created = -1;
    std::thread gui([&] { created = control->Create(); });
    gui.join();
    control->releaseCore();

    EXPECT_EQ(created, 0);
    ASSERT_EQ(runtime.failures.size(), 1u) << "the runtime is told once";
    EXPECT_NE(runtime.failures[0], 0);
    std::vector<std::string> lines = log.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind(" !!ERROR!! UI: the main window could not be made: ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(GetParam().named), std::string::npos) << lines[0];
}

INSTANTIATE_TEST_SUITE_P(
    UI, MainWindowFailure,
    ::testing::Values(failureCase{"NoFrameService", false, "no frame window service"},
                      failureCase{"FrameWindowRefused", true, "frame window could not be created (system error 1407)"}),
    [](const auto& test) { return test.param.label; });

}  // namespace
}  // namespace vesk::ui::test
