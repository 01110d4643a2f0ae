// vesk::ui::ZUdoradurHostDockWnd: the host window, a dock tab bar with two
// pages of the language module: the open connections with the address box
// (dialog 127) and the host cache (dialog 126). The Gnutella module fills
// both lists from its threads and hooks the window's container for the
// pages' commands.
#pragma once

#include <windows.h>

#include "core/capsule.h"
#include "plugins/ui/agentListView.h"
#include "plugins/ui/tabBarHost.h"
#include "vesk/ui.h"

namespace vesk::ui {

class ZUdoradurHostDockWnd : public objectBase, public IGnutellaHostDockWnd, public IcoreObject {
public:
    static constexpr DWORD pageListExStyle = 0x2432;
    static constexpr DWORD addressBoxStyle = 0x50800042;
    static constexpr int addressLimit = 29;
    static constexpr DWORD waitLimitMs = 3000;

    ZUdoradurHostDockWnd();

    int Create(const char* name, RECT* rect) override;
    void AddConnect(ss::IAgent* row) override;
    bool UpdateConnect(ss::IAgent* row) override;
    int RemoveConnect(ss::IAgent* row) override;
    int RemoveAllConnect() override;
    void AddCatch(ss::IAgent* row) override;
    bool UpdateCatch(ss::IAgent* row) override;
    int ClearCatch() override;
    int Reserved() override { return 0; }
    int RemoveCatch(ss::IAgent* row) override;
    IDockTabBarWnd* GetDockWnd() override { return tabs_.Bar(); }
    IDockContainer* WaitCreated() override;
    HWND GetConnectPage() override { return connectPage_; }
    HWND GetCatchPage() override { return cachePage_; }
    HWND GetAddressCombo() override { return addressBox_; }
    // The lists' columns, then the address box's last entries (none while
    // the history size stays 0) and the history size.
    int SaveHistory() override;

    CAgentListView& Connections() { return connectList_; }
    CAgentListView& HostCache() { return cacheList_; }
    // The address box's entries, top first.
    std::vector<std::string> Addresses();

private:
    static LRESULT Hook(void* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK ConnectPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK CachePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
    HWND MakePage(int dialogId, DLGPROC procedure, int listId, CAgentListView& list);
    void RememberAddress();

    tabBarHost tabs_;
    HWND connectPage_ = nullptr;
    HWND cachePage_ = nullptr;
    HWND addressBox_ = nullptr;
    CAgentListView connectList_;
    CAgentListView cacheList_;
    int historyMax_ = 0;
};

}  // namespace vesk::ui
