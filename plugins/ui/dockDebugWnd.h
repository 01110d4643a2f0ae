// vesk::ui::VDockDebugWnd: the debug window, a dock tab bar of text panes
// that other modules write their diagnostics into. The panes belong to the
// GUI thread; another thread's call is carried out there through one
// message sent to the tab bar's container.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/capsule.h"
#include "vesk/ui.h"

namespace vesk::ui {

class VDockDebugWnd : public objectBase, public IDockDebugWnd, public IcoreObject {
public:
    static constexpr std::size_t printLimit = 4997;
    static constexpr std::size_t writeLimit = 65535;  // more than any pane holds
    static constexpr int paneId = 9905;
    static constexpr DWORD paneStyle = 0x403010E4;  // multi-line, both scroll bars, keeps Enter
    static constexpr std::size_t nameLimit = 255;

    VDockDebugWnd();
    ~VDockDebugWnd();

    int Create(const char* caption, RECT* rect) override;
    void Write(int tab, const char* text) override;
    void Print(int tab, const char* text) override;
    int Forward(const char* name) override;
    int CreateEdit(const char* name) override;

    IDockTabBarWnd* Bar() const { return bar_; }

    // Makes room for more text in a pane: the older half of its text goes.
    static void KeepNewerHalf(HWND pane);

private:
    static LRESULT Hook(void* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static UINT WorkMessage();
    // Runs the work on the GUI thread; false without a tab bar.
    bool RunOnGuiThread(const std::function<void()>& work);
    int MakePane(const std::string& name);
    void Append(int tab, const std::string& text);

    IDockTabBarWnd* volatile bar_ = nullptr;  // one reference
    HWND container_ = nullptr;
    IWndProc* hook_ = nullptr;  // one reference, on the container
    std::mutex waitingLock_;
    std::vector<std::string> waiting_;  // names asked for before Create
};

// A new debug window object (a core object: releaseCore ends it).
VDockDebugWnd* CreateDockDebugWnd();

}  // namespace vesk::ui
