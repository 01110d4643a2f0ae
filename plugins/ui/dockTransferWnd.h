// vesk::ui::VDockTransferWnd: the transfer window, a dock tab bar with the
// download, upload and playlist lists. The Gnutella module fills the first
// two from its threads; the playlist takes dropped files and the rows the
// play actions add.
#pragma once

#include <windows.h>

#include "core/capsule.h"
#include "plugins/ui/agentListView.h"
#include "plugins/ui/tabBarHost.h"
#include "vesk/ui.h"

namespace vesk::ui {

class CIDropTarget;

class VDockTransferWnd : public objectBase, public IDockTransferWnd, public IcoreObject {
public:
    static constexpr DWORD playlistStyle = 0x50304049;

    VDockTransferWnd();
    ~VDockTransferWnd();

    // 1; 0 without the controller or the tab bar.
    int Create(const char* name, RECT* rect) override;
    void AddUpload(ss::IAgent* row) override;
    // A row new to the list gets the upload actions first.
    int UpdateUpload(ss::IAgent* row) override;
    int RemoveUpload(ss::IAgent* row) override;
    void AddDownload(ss::IAgent* row) override;
    // A row new to the list gets the download actions first.
    int UpdateDownload(ss::IAgent* row) override;
    int RemoveDownload(ss::IAgent* row) override;
    IDockTabBarWnd* GetDockWnd() override { return tabs_.Bar(); }

    // The columns of the download, upload and playlist lists, in that order.
    void SaveColumns();

    CAgentListView& Downloads() { return downloads_; }
    CAgentListView& Uploads() { return uploads_; }
    CAgentListView& Playlist() { return playlist_; }

    // The tooltip of a row: name, status, progress and time left, cut to
    // size bytes.
    static void RowTip(ss::IAgent* agent, char* out, int size);

private:
    static LRESULT Hook(void* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void RegisterEvents();

    tabBarHost tabs_;
    CAgentListView downloads_;
    CAgentListView uploads_;
    CAgentListView playlist_;
    CIDropTarget* dropTarget_ = nullptr;  // one reference while registered
};

}  // namespace vesk::ui
