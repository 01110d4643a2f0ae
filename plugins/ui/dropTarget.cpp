#include "plugins/ui/dropTarget.h"

#include "core/module.h"
#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/agentExplorerCtrl.h"
#include "plugins/ui/dropFiles.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/oleDrag.h"
#include "plugins/ui/playlistActions.h"

namespace vesk::ui {

CIDropTarget::CIDropTarget(HWND window) : window_(window) {
    void* helper = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDropTargetHelper, &helper)))
        helper_ = static_cast<IDropTargetHelper*>(helper);
}

CIDropTarget::~CIDropTarget() {
    if (helper_)
        helper_->Release();
}

HRESULT CIDropTarget::DragEnter(IDataObject* data, DWORD keys, POINTL, DWORD* effect) {
    if (!data || !effect)
        return E_INVALIDARG;
    *effect = DropEffectFor(keys, *effect);
    return S_OK;
}

HRESULT CIDropTarget::DragOver(DWORD keys, POINTL point, DWORD* effect) {
    if (!effect)
        return E_INVALIDARG;
    *effect = DropEffectFor(keys, *effect);
    if (helper_) {
        POINT at = {point.x, point.y};
        helper_->DragOver(&at, *effect);
    }
    return S_OK;
}

HRESULT CIDropTarget::DragLeave() {
    if (helper_)
        helper_->DragLeave();
    return S_OK;
}

HRESULT CIDropTarget::Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) {
    if (!data || !effect)
        return E_INVALIDARG;
    if (helper_) {
        POINT at = {point.x, point.y};
        helper_->Drop(data, &at, DropEffectFor(keys, *effect));
    }
    *effect = DROPEFFECT_NONE;
    FORMATETC format = FileListFormat();
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&format, &medium)))
        return S_OK;
    std::vector<std::string> paths;
    if (medium.tymed == TYMED_HGLOBAL)
        paths = ReadDropFiles(medium.hGlobal);
    ::ReleaseStgMedium(&medium);
    for (const std::string& path : paths) {
        ForEachDroppedFile(path, [](const std::string& file) {
            if (ss::IAgent* agent = NewDroppedFileAgent(file)) {
                AddToPlaylist(agent);
                agent->release();
            }
        });
        ::Sleep(0);
    }
    return S_OK;
}

ss::IAgent* NewDroppedFileAgent(const std::string& path) {
    listServices& s = ListServices();
    ss::IAgent* agent = createAs<ss::IAgent>(s.factory, s.owner, "vesk::ss::CAgent");
    if (!agent)
        return nullptr;
    agent->addRef();
    std::size_t slash = path.find_last_of('\\');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    agent->SetAttribute(ListText(IDS_UIL_FILE_PATH), value(path.c_str()));
    agent->SetAttribute(ListText(IDS_UIL_FILE_NAME), value(name.c_str()));
    const char* play = ListText(IDS_UIL_PLAY);
    AddGroupedAction(agent, ListText(IDS_UIL_REMOVE_FROM_PLAYLIST), &RemoveFromPlaylistAction, play);
    AddGroupedAction(agent, play, &PlayAction, play);
    AddGroupedAction(agent, ListText(IDS_UIL_EXPLORE), &ExploreAction, shellGroup);
    AddGroupedAction(agent, ListText(IDS_UIL_OPEN), &OpenAction, shellGroup);
    GiveFileIcon(agent);
    return agent;
}

}  // namespace vesk::ui
