#include "plugins/ui/transferTB.h"

#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/layoutWindows.h"
#include "plugins/ui/listServices.h"

namespace vesk::ui {

namespace {

const toolTip tips[] = {
    {IDCMD_UIM_CLEAR_ALL, IDS_UIM_TIP_CLEAR_ALL},          {IDCMD_UIM_AUTO_CLEAR_DONE, IDS_UIM_TIP_CLEAR_DONE},
    {IDCMD_UIM_AUTO_CLEAR_FAILED, IDS_UIM_TIP_CLEAR_FAILED}, {IDCMD_UIM_QUICK_CONNECT, IDS_UIM_TIP_QUICK_CONNECT},
    {IDCMD_UIM_TB_RETRY_ALL, IDS_UIM_TIP_RETRY_ALL},        {IDCMD_UIM_TB_DOWNLOAD, IDS_UIM_TIP_DOWNLOAD},
    {IDCMD_UIM_TB_STOP, IDS_UIM_TIP_STOP},
};

// The manager's auto-clear switches: completed downloads and uploads,
// failed downloads and uploads.
constexpr int clearDoneDownloads = 0, clearDoneUploads = 1, clearFailedDownloads = 2, clearFailedUploads = 3;
constexpr WPARAM quickConnect = 2023;

bool CurrentResultWindow() {
    ss::ISSManager* manager = ListServices().manager;
    return manager && manager->GetCurrentResultWindow();
}

}  // namespace

VTransferTB::VTransferTB() {
    registerInterfaceOf<ITransferTB>(this);
    registerInterfaceOf<Igeneric>(this);
}

int VTransferTB::Create(const char* caption, RECT* rect) {
    if (!bar_.Make(caption, rect, singleRowToolBarStyle, IDT_UIM_TRANSFER, IDB_UIM_TRANSFER, &VTransferTB::Hook, this))
        return -1;
    if (ss::ISSManager* manager = ListServices().manager) {
        ::SendMessageA(bar_.Buttons(), TB_PRESSBUTTON, IDCMD_UIM_AUTO_CLEAR_FAILED,
                       manager->GetAutoClear(clearFailedDownloads));
        ::SendMessageA(bar_.Buttons(), TB_PRESSBUTTON, IDCMD_UIM_AUTO_CLEAR_DONE,
                       manager->GetAutoClear(clearDoneDownloads));
    }
    return 1;
}

void VTransferTB::FlipAutoClear(int button, int first, int second) {
    ss::ISSManager* manager = ListServices().manager;
    if (!manager)
        return;
    bool on = !manager->GetAutoClear(first);
    ::SendMessageA(bar_.Buttons(), TB_PRESSBUTTON, button, on);
    manager->SetAutoClear(first, on);
    manager->SetAutoClear(second, on);
}

LRESULT VTransferTB::Hook(void* self, HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* bar = static_cast<VTransferTB*>(self);
    if (toolBarHost::AnswerToolTip(message, lParam, tips, sizeof tips / sizeof tips[0]))
        return -1;
    if (message == WM_SHOWWINDOW) {
        toolBarHost::MarkViewItem(IDCMD_UIM_TRANSFER_TB, wParam != 0);
        ::SendMessageA(bar->Buttons(), TB_SETSTATE, IDCMD_UIM_TRANSFER_TB, wParam ? 0x16 : 4);
        return -1;
    }
    if (message != WM_COMMAND)
        return -1;
    switch (LOWORD(wParam)) {
    case IDCMD_UIM_CLEAR_ALL:
        FireOnEveryDownload(IDS_GNU_ACTION_REMOVE);
        break;
    case IDCMD_UIM_AUTO_CLEAR_DONE:
        bar->FlipAutoClear(IDCMD_UIM_AUTO_CLEAR_DONE, clearDoneDownloads, clearDoneUploads);
        break;
    case IDCMD_UIM_AUTO_CLEAR_FAILED:
        bar->FlipAutoClear(IDCMD_UIM_AUTO_CLEAR_FAILED, clearFailedDownloads, clearFailedUploads);
        break;
    case IDCMD_UIM_QUICK_CONNECT: {
        listWindowObjects windows;
        MakeListWindowObjects(windows);
        if (HWND page = windows.host ? windows.host->GetConnectPage() : nullptr)
            ::SendMessageA(page, WM_COMMAND, quickConnect, 1);
        break;
    }
    case IDCMD_UIM_TB_RETRY_ALL:
        FireOnEveryDownload(IDS_GNU_ACTION_RETRY);
        break;
    case IDCMD_UIM_TB_DOWNLOAD:
        if (CurrentResultWindow()) {
            FireOnResultSelection(ListText(IDS_UIM_TIP_DOWNLOAD));
            FireOnResultSelection(ListText(IDS_GNU_ACTION_START));
        }
        break;
    case IDCMD_UIM_TB_STOP:
        if (CurrentResultWindow())
            FireOnResultSelection(ListText(IDS_UIM_TIP_STOP));
        break;
    default:
        break;
    }
    return -1;
}

}  // namespace vesk::ui
