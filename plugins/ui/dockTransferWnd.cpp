#include "plugins/ui/dockTransferWnd.h"

#include <string>

#include "core/string.h"
#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/agentExplorerCtrl.h"
#include "plugins/ui/cellText.h"
#include "plugins/ui/dropTarget.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/playlistActions.h"

namespace vesk::ui {

namespace {

constexpr unsigned playlistFieldType = 0x4040;
constexpr int playlistFieldLevel = 1000;

void AttachDownloadActions(ss::IAgent* row) {
    const char* play = ListText(IDS_UIL_PLAY);
    AddGroupedAction(row, ListText(IDS_UIL_ADD_TO_PLAYLIST), &AddToPlaylistAction, play);
    AddGroupedAction(row, play, &PlayAction, play);
    AddGroupedAction(row, ListText(IDS_UIL_EXPLORE), &ExploreAction, shellGroup);
    AddGroupedAction(row, ListText(IDS_UIL_OPEN), &OpenAction, shellGroup);
}

void AttachUploadActions(ss::IAgent* row) {
    const char* play = ListText(IDS_UIL_PLAY);
    AddGroupedAction(row, ListText(IDS_UIL_REMOVE_FROM_PLAYLIST), &RemoveFromPlaylistAction, play);
    AddGroupedAction(row, play, &PlayAction, play);
    AddGroupedAction(row, ListText(IDS_UIL_EXPLORE), &ExploreAction, shellGroup);
    AddGroupedAction(row, ListText(IDS_UIL_OPEN), &OpenAction, shellGroup);
}

struct eventAction {
    const char* code;
    unsigned action;
};

void Register(CAgentListView& list, std::initializer_list<eventAction> events) {
    for (const eventAction& e : events)
        list.AddEventAction(e.code, ListText(e.action));
}

}  // namespace

VDockTransferWnd::VDockTransferWnd() {
    registerInterfaceOf<IDockTransferWnd>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
}

VDockTransferWnd::~VDockTransferWnd() {
    if (dropTarget_)
        dropTarget_->Release();
}

int VDockTransferWnd::Create(const char* name, RECT* rect) {
    if (!tabs_.Make(name, rect, &VDockTransferWnd::Hook, this))
        return 0;
    HWND parent = tabs_.ContentParent();
    downloads_.Create(parent, 0, 0);
    uploads_.Create(parent, 0, 0);
    playlist_.Create(parent, playlistStyle, 0);

    const char* name231 = ListText(IDS_UIL_FILE_NAME);
    downloads_.SetPrimaryColumn(name231);
    uploads_.SetPrimaryColumn(name231);
    downloads_.SetColumnMenuBase(1524);
    uploads_.SetColumnMenuBase(1324);
    playlist_.SetColumnMenuBase(1724);
    downloads_.SetColumns("DownloadLV.", ListText(IDS_UIL_LIST_DOWNLOADS));
    uploads_.SetColumns("UploadLV.", ListText(IDS_UIL_LIST_UPLOADS));
    if (ss::ISSManager* manager = ListServices().manager) {
        ref<Istring> field(new vesk::string(name231));
        ref<Istring> list(new vesk::string(ListText(IDS_UIL_PLAYLIST)));
        manager->AddField(field.get(), list.get(), playlistFieldType, playlistFieldLevel);
    }
    playlist_.SetColumns("PlaylistLV.", ListText(IDS_UIL_PLAYLIST));

    tabs_.AddTab(ListText(IDS_UIL_FILE_PATH), downloads_.GetHandle(), IDI_UIL_DOWNLOADS);
    tabs_.AddTab(ListText(IDS_UIL_UPLOADS_TAB), uploads_.GetHandle(), IDI_UIL_UPLOADS);
    tabs_.AddTab(ListText(IDS_UIL_PLAYLIST), playlist_.GetHandle(), IDI_UIL_PLAYLIST);

    if (HWND playlist = playlist_.GetHandle()) {
        dropTarget_ = new CIDropTarget(playlist);
        if (FAILED(::RegisterDragDrop(playlist, dropTarget_))) {
            dropTarget_->Release();
            dropTarget_ = nullptr;
        }
    }
    RegisterEvents();
    return 1;
}

void VDockTransferWnd::RegisterEvents() {
    Register(downloads_, {{"DC", IDS_UIL_START},
                          {"DC", IDS_UIL_FILE_PATH},
                          {"DC", IDS_UIL_PLAY},
                          {"KP", IDS_UIL_STOP},
                          {"KD", IDS_UIL_STOP},
                          {"KD", IDS_UIL_REMOVE},
                          {"KE", IDS_UIL_PLAY},
                          {"KR", IDS_UIL_PLAY}});
    Register(playlist_, {{"KE", IDS_UIL_PLAY}, {"KR", IDS_UIL_PLAY}, {"KD", IDS_UIL_REMOVE_FROM_PLAYLIST}, {"DC", IDS_UIL_PLAY}});
    Register(uploads_, {{"KP", IDS_UIL_STOP}, {"KD", IDS_UIL_REMOVE}, {"KD", IDS_UIL_STOP}});
}

void VDockTransferWnd::AddUpload(ss::IAgent* row) { uploads_.AddItem(row); }
int VDockTransferWnd::UpdateUpload(ss::IAgent* row) { return uploads_.UpdateItem(row, &AttachUploadActions) ? 1 : 0; }
int VDockTransferWnd::RemoveUpload(ss::IAgent* row) { return uploads_.RemoveItem(row); }
void VDockTransferWnd::AddDownload(ss::IAgent* row) { downloads_.AddItem(row); }
int VDockTransferWnd::UpdateDownload(ss::IAgent* row) { return downloads_.UpdateItem(row, &AttachDownloadActions) ? 1 : 0; }
int VDockTransferWnd::RemoveDownload(ss::IAgent* row) { return downloads_.RemoveItem(row); }

void VDockTransferWnd::SaveColumns() {
    downloads_.SaveColumns();
    uploads_.SaveColumns();
    playlist_.SaveColumns();
}

void VDockTransferWnd::RowTip(ss::IAgent* agent, char* out, int size) {
    std::string tip = AttributeText(agent, ListText(IDS_UIL_FILE_NAME));
    std::string status = AttributeText(agent, ListText(IDS_UIL_STATUS));
    if (!status.empty())
        tip += "\r\n" + status;
    long progress = AttributeNumber(agent, ListText(IDS_UIL_PROGRESS), -1);
    if (progress != -1)
        tip += "\r\n" + std::to_string(progress) + "%";
    std::string left = AttributeText(agent, ListText(IDS_UIL_TIME_LEFT));
    if (!left.empty())
        tip += " " + left + " ";
    CopyCut(tip, out, size > 0 ? static_cast<std::size_t>(size) : 0);
}

LRESULT VDockTransferWnd::Hook(void* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return static_cast<VDockTransferWnd*>(self)->OnMessage(window, message, wParam, lParam);
}

LRESULT VDockTransferWnd::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CAgentListView* lists[] = {&downloads_, &uploads_, &playlist_};
    switch (message) {
    case WM_DROPFILES:
        return 0;
    case WM_SKINCHANGED:
        for (CAgentListView* list : lists)
            list->ApplySkinColours();
        return -1;
    case WM_DESTROY:
        if (dropTarget_ && playlist_.GetHandle()) {
            ::RevokeDragDrop(playlist_.GetHandle());
            dropTarget_->Release();
            dropTarget_ = nullptr;
        }
        for (CAgentListView* list : lists)
            list->WindowProc(window, message, wParam, lParam);
        return -1;
    default:
        break;
    }
    for (CAgentListView* list : lists) {
        if (!list->GetHandle() || !::IsWindowVisible(list->GetHandle()))
            continue;
        LRESULT answer = list->WindowProc(window, message, wParam, lParam);
        if (answer != -1)
            return answer;
    }
    if (message == WM_NOTIFY && lParam) {
        auto* tip = reinterpret_cast<NMLVGETINFOTIPA*>(lParam);
        if (tip->hdr.code == LVN_GETINFOTIPA) {
            for (CAgentListView* list : lists) {
                if (tip->hdr.hwndFrom != list->GetHandle())
                    continue;
                ss::IAgent* agent = list->AgentAt(tip->iItem);
                RowTip(agent, tip->pszText, tip->cchTextMax);
                if (agent)
                    agent->release();
                return 0;
            }
        }
    }
    return -1;
}

}  // namespace vesk::ui
