// A recording stand-in for the user interface and the window library's
// frame, so that the manager and the protocol modules can be loaded and
// tested without windows. It offers every service they call, records each
// call (see recorder.h) and carries the call out on its own GUI thread while
// the caller waits, as the real user interface does.
//
// Behaviour beyond recording: result windows are made per search and share
// one child window; the connect toolbar connects through the manager; the
// host window's container keeps message hooks and passes messages through
// them; "vesk::ui::VWndProc" hooks call their procedure; the options object
// keeps the pages added and makes them from their templates; the transfer
// window keeps its download and upload rows (a reference each) and gives a
// row new to a list the window's own actions, as the real window does.
//
// In library mode the window library's own frame and status bar take the
// recording ones' place: the frame's window is made on the GUI thread,
// which then runs the frame's message loop, so modules write into real
// panes (see libraryFrame.h).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "testing/fakes/guiThread.h"
#include "testing/fakes/hostPages.h"
#include "testing/fakes/optionsPages.h"
#include "testing/fakes/recorder.h"
#include "vesk/directory.h"
#include "vesk/factory.h"
#include "vesk/ss.h"
#include "vesk/ui.h"

namespace vesk::testing {

class fakeUi {
public:
    fakeUi();
    // Library mode: the frame (not owned; it must have a status bar and
    // outlive the fake) is created and run on the GUI thread.
    explicit fakeUi(ui::IFrameWnd* libraryFrame);
    ~fakeUi();
    fakeUi(const fakeUi&) = delete;
    fakeUi& operator=(const fakeUi&) = delete;

    // Publishes every service under its interface name; false when a name
    // was refused.
    bool publish(IcoreAccessor* directory);
    // Registers the class "vesk::ui::VWndProc"; false when refused.
    bool registerClasses(Ifactory* factory);
    // The manager the connect toolbar drives (not owned).
    void setManager(ss::ISSManager* manager) { manager_ = manager; }
    ss::ISSManager* manager() const { return manager_; }
    // The language and default resource modules handed out (not owned).
    void setResourceModules(HINSTANCE language, HINSTANCE defaults);

    recorder& calls() { return calls_; }
    guiThread& gui() { return gui_; }
    // Records the call and runs the work, both on the GUI thread.
    void enter(const callText& call, const std::function<void()>& work = nullptr);

    // A message passed through the hooks added to the host window's
    // container, in the order added, on the GUI thread; -1 when none
    // handled it.
    LRESULT deliverToHostContainer(UINT message, WPARAM wParam, LPARAM lParam);

    ui::IUIControl* control();
    ui::IOptions* options();
    // The pages added through options(), made and driven as the options
    // dialog does.
    optionsPages& optionsDialog() { return optionsDialog_; }
    ui::ISearchHistoryDockWnd* searchHistory();
    ui::IDockConnectTB* connectToolbar();
    ui::IGnutellaHostDockWnd* hostWindow();
    ui::IGnutellaStatDockWnd* statWindow();
    ui::IDockTransferWnd* transferWindow();
    ui::ITrayCtrl* tray();
    // The host window's link rows as last given: their attributes.
    std::vector<std::string> connectRows();
    // The pages (windows of the GUI thread, not owned) the host window
    // hands out and keeps its rows in (hostPages.h); none by default.
    void setHostPages(const hostPages& pages);
    // The rows the transfer window lists now (no reference added).
    std::vector<ss::IAgent*> downloadRows();
    std::vector<ss::IAgent*> uploadRows();
    // The names of the actions the transfer window attaches to a new row.
    std::vector<std::string> transferWindowActions(bool downloads) const;
    ui::IStatusBar* statusBar();
    ui::IFrameWnd* frame();

    // The languages module and default module as handed out.
    HINSTANCE languageModule() const { return language_; }
    HINSTANCE defaultModule() const { return defaults_; }

    struct parts;  // the fake objects

private:
    recorder calls_;
    guiThread gui_;
    ss::ISSManager* manager_ = nullptr;
    HINSTANCE language_ = nullptr;
    HINSTANCE defaults_ = nullptr;
    HWND frameWindow_ = nullptr;  // library mode: the frame's window, of the GUI thread
    optionsPages optionsDialog_;  // its windows go before the GUI thread ends
    std::unique_ptr<parts> parts_;
};

}  // namespace vesk::testing
