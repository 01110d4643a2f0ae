// A dock window holding up to 20 child windows, one shown at a time, and a
// strip of folder tabs along its bottom edge to choose between them.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "plugins/Dravik/customTabCtrl.h"
#include "plugins/Dravik/dockWnd.h"
#include "vesk/ui.h"

namespace vesk::ui {

class VDockTabBarWnd : public VDockWnd, public IDockTabBarWnd {
public:
    static constexpr int maximumTabs = 20;
    static constexpr int stripHeight = 16;

    VDockTabBarWnd();
    VDockTabBarWnd(const VDockTabBarWnd&) = delete;
    VDockTabBarWnd& operator=(const VDockTabBarWnd&) = delete;
    ~VDockTabBarWnd() override;

    using VDockWnd::Create;
    HWND Create(const char* caption, IWnd* parent, RECT* rect) override;
    int AddTab(const char* name, HWND window, int image) override;
    int InsertTab(const char* name, HWND window) override { return AddTab(name, window, -1); }
    bool SetImageList(HIMAGELIST images) override;
    HWND GetTabWindow(int index) override;
    int FindTab(const char* name) override;
    HWND GetTabBarHandle() override { return tabs_.GetHandle(); }
    IWnd* GetTabBarWnd() override;
    void SelectTab(int index) override;
    LONG SetTabStyle(int placement) override;
    HWND GetSelectedWindow() override { return current_; }

    LRESULT OnNotify(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnSkinChanged(LONG_PTR wParam, LONG_PTR lParam) override;
    // Answered without drawing: the tab bar's window is all children.
    LRESULT OnPaint(LONG_PTR wParam, LONG_PTR lParam) override;

    const CFolderTabCtrl& Tabs() const { return tabs_; }

private:
    static LRESULT ContainerHook(void* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool ValidTab(int index) const { return index >= 0 && index < count_; }
    // The strip along the bottom of the container, the current window above.
    void LayOutTabs(int width, int height);
    void LayOutTabs();
    // Hides the other tabs' windows and shows this one's in the container.
    void ShowTab(int index);
    void TakeSkinColours(bool sameBackgrounds);

    CFolderTabCtrl tabs_;
    VWnd* tabArea_;                   // one reference; over the container's window
    IWndProc* hook_ = nullptr;        // one reference, on the container
    LONG tabStyle_ = 0x54016100;
    std::map<std::string, int> names_;  // name -> tab index + 1
    HWND windows_[maximumTabs] = {};
    int count_ = 0;
    HWND current_ = nullptr;
    int currentIndex_ = -1;
    HIMAGELIST images_ = nullptr;  // not owned
};

}  // namespace vesk::ui
