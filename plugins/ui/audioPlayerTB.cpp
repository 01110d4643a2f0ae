#include "plugins/ui/audioPlayerTB.h"

#include <commctrl.h>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/dockTransferWnd.h"
#include "plugins/ui/dropTarget.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/playerHost.h"

namespace vesk::ui {

namespace {

const toolTip tips[] = {
    {IDCMD_UIL_PLAYER_STOP, IDS_UIL_STOP_PLAYING}, {IDCMD_UIL_PLAYER_PLAY, IDS_UIL_PLAY},
    {IDCMD_UIL_PLAYER_VIDEO, IDS_UIL_VIDEO},       {IDCMD_UIL_PLAYER_PREVIOUS, IDS_UIL_PREVIOUS},
    {IDCMD_UIL_PLAYER_NEXT, IDS_UIL_NEXT},
};

constexpr int stopImage = 6;
const wchar_t fullMode[] = L"full";
const wchar_t noMode[] = L"none";

IFrameChildWnd* CurrentResultChild() {
    ss::ISSManager* manager = ListServices().manager;
    ISearchResultWnd* results = manager ? manager->GetCurrentResultWindow() : nullptr;
    return results ? results->GetChildWnd() : nullptr;
}

void PutMode(media::IMediaPlayer* player, const wchar_t* mode) {
    BSTR text = ::SysAllocString(mode);
    if (!text)
        return;
    // Some players cannot change their mode (Wine's answers E_NOTIMPL):
    // they keep playing in the one they have.
    player->put_uiMode(text);
    ::SysFreeString(text);
}

}  // namespace

VTBAudioPlayer::VTBAudioPlayer() {
    registerInterfaceOf<IVTBAudioPlayer>(this);
    registerInterfaceOf<Igeneric>(this);
}

VTBAudioPlayer::~VTBAudioPlayer() {
    // The player may call the sink while the rest goes: it is told first.
    if (eventPoint_ && cookie_)
        eventPoint_->Unadvise(cookie_);
    cookie_ = 0;
    if (sink_)
        sink_->Detach();
    if (hostWnd_ && ::IsWindow(hostWnd_))
        ::DestroyWindow(hostWnd_);
    hostWnd_ = nullptr;
    HWND video = VideoWindow();
    if (videoDropTarget_) {
        if (video && ::IsWindow(video))
            ::RevokeDragDrop(video);
        videoDropTarget_->Release();
    }
    ReleasePlayer();
    if (watchedPlaylist_ && ::IsWindow(watchedPlaylist_))
        ::RemoveWindowSubclass(watchedPlaylist_, &VTBAudioPlayer::PlaylistProc, reinterpret_cast<UINT_PTR>(this));
    if (videoHook_) {
        if (IWndEvents* events = interfaceCast<IWndEvents>(videoWnd_))
            events->RemoveMessageHook(videoHook_);
        videoHook_->release();
    }
    if (videoWnd_)
        videoWnd_->release();
}

int VTBAudioPlayer::Create(const char* name, RECT* rect) {
    if (!bar_.Make(name, rect, singleRowToolBarStyle, IDT_UIL_AUDIO, IDB_UIL_AUDIO, &VTBAudioPlayer::Hook, this))
        return -1;
    ::SendMessageA(Buttons(), TB_CHANGEBITMAP, IDCMD_UIL_PLAYER_STOP, MAKELPARAM(stopImage, 0));
    if (!MakeVideoWindow(rect))
        return 0;
    if (IFrameChildWnd* results = CurrentResultChild())
        results->Maximize();
    WatchPlaylist();
    hostWnd_ = CreatePlayerHostWindow(VideoWindow());
    return ConnectPlayer() ? 1 : 0;
}

HWND VTBAudioPlayer::VideoWindow() const { return HandleOf(videoWnd_); }

bool VTBAudioPlayer::MakeVideoWindow(RECT* rect) {
    IUIControl* control = ListServices().control;
    std::string title = LanguageText(IDS_UIL_VIDEO);
    videoWnd_ = control ? control->CreateChildWnd(title.c_str(), rect) : nullptr;
    if (!videoWnd_)
        return false;
    videoWnd_->addRef();
    HWND video = VideoWindow();
    if (IWndEvents* events = interfaceCast<IWndEvents>(videoWnd_)) {
        videoHook_ = NewMessageHook(&VTBAudioPlayer::VideoHook, this);
        if (videoHook_)
            events->AddMessageHook(videoHook_);
    }
    ::ShowWindow(video, SW_HIDE);
    videoDropTarget_ = new CIDropTarget(video);
    if (FAILED(::RegisterDragDrop(video, videoDropTarget_))) {
        videoDropTarget_->Release();
        videoDropTarget_ = nullptr;
    }
    return video != nullptr;
}

// The playlist's name column takes the width the list has while its tab
// is shown.
void VTBAudioPlayer::WatchPlaylist() {
    CAgentListView* playlist = Playlist();
    HWND list = playlist ? playlist->GetHandle() : nullptr;
    if (list && ::SetWindowSubclass(list, &VTBAudioPlayer::PlaylistProc, reinterpret_cast<UINT_PTR>(this), 0))
        watchedPlaylist_ = list;
}

LRESULT CALLBACK VTBAudioPlayer::PlaylistProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR) {
    if (message == WM_SIZE) {
        VDockTransferWnd* transfers = ListServices().transferWnd;
        IDockTabBarWnd* tabs = transfers ? transfers->GetDockWnd() : nullptr;
        if (tabs && tabs->GetSelectedWindow() == window) {
            ::SendMessageA(window, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(LOWORD(lParam), 0));
            ::SendMessageA(window, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(LVSCW_AUTOSIZE, 0));
        }
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

bool VTBAudioPlayer::ConnectPlayer() {
    playerMakerFn make = ListServices().makePlayer;
    player_ = hostWnd_ && make ? make(hostWnd_) : nullptr;
    if (!player_)
        return false;
    sink_ = new CWMPEventDispatch(this);
    IConnectionPointContainer* points = nullptr;
    bool ready = SUCCEEDED(player_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points))) &&
                 points && SUCCEEDED(points->FindConnectionPoint(media::eventsId, &eventPoint_)) && eventPoint_ &&
                 SUCCEEDED(eventPoint_->Advise(sink_, &cookie_));
    if (points)
        points->Release();
    ready = ready && SUCCEEDED(player_->get_controls(&controls_)) && controls_ &&
            SUCCEEDED(player_->get_settings(&settings_)) && settings_;
    if (!ready) {
        ReleasePlayer();
        return false;
    }
    PutMode(player_, noMode);
    return true;
}

void VTBAudioPlayer::ReleasePlayer() {
    if (eventPoint_) {
        if (cookie_)
            eventPoint_->Unadvise(cookie_);
        eventPoint_->Release();
    }
    cookie_ = 0;
    eventPoint_ = nullptr;
    if (sink_) {
        sink_->Detach();
        sink_->Release();
        sink_ = nullptr;
    }
    if (settings_)
        settings_->Release();
    if (controls_)
        controls_->Release();
    if (player_)
        player_->Release();
    settings_ = nullptr;
    controls_ = nullptr;
    player_ = nullptr;
}

LRESULT VTBAudioPlayer::Hook(void* self, HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    if (toolBarHost::AnswerToolTip(message, lParam, tips, sizeof tips / sizeof tips[0]))
        return -1;
    if (message == WM_SHOWWINDOW)
        toolBarHost::MarkViewItem(IDCMD_UIM_AUDIO_TB, wParam != 0);
    else if (message == WM_COMMAND)
        static_cast<VTBAudioPlayer*>(self)->OnCommand(LOWORD(wParam));
    return -1;
}

void VTBAudioPlayer::OnCommand(int command) {
    switch (command) {
    case IDCMD_UIL_PLAYER_MODE:
        ToggleMode();
        break;
    case IDCMD_UIL_PLAYER_STOP:
        playRequested_ = false;
        if (controls_)
            controls_->stop();
        break;
    case IDCMD_UIL_PLAYER_PLAY:
        PlayOrPause();
        break;
    case IDCMD_UIL_PLAYER_VIDEO:
        ToggleVideo();
        break;
    case IDCMD_UIL_PLAYER_PREVIOUS:
        PreviousRow();
        break;
    case IDCMD_UIL_PLAYER_NEXT:
        NextRow();
        break;
    default:
        break;
    }
}

void VTBAudioPlayer::ToggleMode() {
    if (!player_)
        return;
    BSTR mode = nullptr;
    bool full = SUCCEEDED(player_->get_uiMode(&mode)) && mode && ::lstrcmpW(mode, fullMode) == 0;
    if (mode)
        ::SysFreeString(mode);
    PutMode(player_, full ? noMode : fullMode);
    ::SendMessageA(Buttons(), TB_PRESSBUTTON, IDCMD_UIL_PLAYER_MODE, full ? FALSE : TRUE);
}

void VTBAudioPlayer::PlayOrPause() {
    if (!player_ || !controls_)
        return;
    long state = media::stateUndefined;
    if (FAILED(player_->get_playState(&state)))
        state = media::stateUndefined;
    if (state == media::statePlaying) {
        controls_->pause();
        return;
    }
    if (state != media::statePaused)
        PlayRow(currentIndex_);
    controls_->play();
    playRequested_ = true;
}

void VTBAudioPlayer::ToggleVideo() {
    HWND video = VideoWindow();
    if (!video)
        return;
    if (videoShown_) {
        if (IFrameChildWnd* results = CurrentResultChild())
            results->Activate();
        // Without a result window nothing else takes the activation.
        HideVideo();
        return;
    }
    ::SendMessageA(Buttons(), TB_PRESSBUTTON, IDCMD_UIL_PLAYER_VIDEO, TRUE);
    ::ShowWindow(video, SW_SHOW);
    videoWnd_->Activate();
    videoShown_ = true;
}

// Cleared first: hiding the active child activates another, which tells
// this one it was deactivated.
void VTBAudioPlayer::HideVideo() {
    videoShown_ = false;
    ::SendMessageA(Buttons(), TB_PRESSBUTTON, IDCMD_UIL_PLAYER_VIDEO, FALSE);
    if (HWND video = VideoWindow())
        ::ShowWindow(video, SW_HIDE);
}

LRESULT VTBAudioPlayer::VideoHook(void* self, HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* player = static_cast<VTBAudioPlayer*>(self);
    switch (message) {
    case WM_SIZE:
        if (player->hostWnd_)
            ::MoveWindow(player->hostWnd_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        break;
    case WM_ACTIVATE:
        if (player->videoShown_)
            player->HideVideo();
        break;
    case WM_MDIACTIVATE:
        if (player->videoShown_ && reinterpret_cast<HWND>(wParam) == player->VideoWindow())
            player->HideVideo();
        break;
    default:
        break;
    }
    return -1;
}

CAgentListView* VTBAudioPlayer::Playlist() {
    VDockTransferWnd* transfers = ListServices().transferWnd;
    return transfers ? &transfers->Playlist() : nullptr;
}

}  // namespace vesk::ui
