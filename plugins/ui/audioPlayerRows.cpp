// The audio toolbar's playing of playlist rows and its answers to the
// player's events and the main window's volume commands.
#include "plugins/ui/audioPlayerTB.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/agentListView.h"
#include "plugins/ui/cellText.h"
#include "plugins/ui/listServices.h"

namespace vesk::ui {

namespace {

constexpr int playingImage = 1;
constexpr int stoppedImage = 2;
constexpr long lowestVolume = 0, highestVolume = 100;

// The finished file when the row has one, else the download's path.
std::string RowPath(ss::IAgent* agent) {
    std::string path = AttributeText(agent, ListText(IDS_UIL_TEMP_PATH));
    return path.empty() ? AttributeText(agent, ListText(IDS_UIL_FILE_PATH)) : path;
}

// Null when the text cannot be converted.
BSTR WideText(const std::string& text) {
    int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0)
        return nullptr;
    BSTR wide = ::SysAllocStringLen(nullptr, static_cast<UINT>(length));
    if (wide && ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), wide, length) != length) {
        ::SysFreeString(wide);
        return nullptr;
    }
    return wide;
}

}  // namespace

int VTBAudioPlayer::PlayRow(int row) {
    playRequested_ = true;
    CAgentListView* list = Playlist();
    if (!player_ || !controls_ || !list || row < 0)
        return -1;
    ss::IAgent* agent = list->AgentAt(row);
    if (!agent)
        return -1;
    std::string path = RowPath(agent);
    BSTR url = path.empty() ? nullptr : WideText(path);
    if (!url) {
        agent->release();
        return -1;
    }
    HWND view = list->GetHandle();
    ::SendMessageA(view, LVM_SETSELECTIONMARK, 0, row);
    ::SendMessageA(view, LVM_SETHOTITEM, static_cast<WPARAM>(row), 0);
    list->UpdateItem(agent);
    agent->release();
    player_->put_URL(url);
    ::SysFreeString(url);
    controls_->play();
    currentIndex_ = row;
    return row;
}

// Both leave the new row playing: the play button's command would pause
// a row that started at once.
void VTBAudioPlayer::NextRow() {
    if (PlayRow(currentIndex_ + 1) < 0)
        PlayRow(0);
}

void VTBAudioPlayer::PreviousRow() {
    CAgentListView* list = Playlist();
    if (PlayRow(currentIndex_ - 1) < 0 && list)
        PlayRow(list->RowCount() - 1);
}

void VTBAudioPlayer::ShowPlayButton(bool playing) {
    HWND buttons = Buttons();
    ::SendMessageA(buttons, TB_CHANGEBITMAP, IDCMD_UIL_PLAYER_PLAY, MAKELPARAM(playing ? playingImage : stoppedImage, 0));
    ::SendMessageA(buttons, TB_PRESSBUTTON, IDCMD_UIL_PLAYER_PLAY, playing ? TRUE : FALSE);
}

void VTBAudioPlayer::OnPlayStateChange(long state) {
    switch (state) {
    case media::stateStopped:
        ShowPlayButton(false);
        if (advanceOnStop_) {
            advanceOnStop_ = false;
            NextRow();
        }
        break;
    case media::statePaused:
    case media::stateReady:
        ShowPlayButton(false);
        break;
    case media::statePlaying:
        ShowPlayButton(true);
        ::RedrawWindow(Buttons(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        break;
    case media::stateMediaEnded:
        if (playRequested_)
            advanceOnStop_ = true;
        break;
    default:
        break;
    }
}

void VTBAudioPlayer::OnCurrentItemChange(IDispatch* item) {
    media::IMediaItem* media = nullptr;
    if (!item || FAILED(item->QueryInterface(media::itemId, reinterpret_cast<void**>(&media))) || !media)
        return;
    BSTR name = nullptr;
    if (SUCCEEDED(media->get_name(&name)) && name)
        ::SetWindowTextW(VideoWindow(), name);
    if (name)
        ::SysFreeString(name);
    media->Release();
}

void VTBAudioPlayer::OnPlayerError() {
    media::IMediaError* error = nullptr;
    if (!player_ || FAILED(player_->get_error(&error)) || !error)
        return;
    error->webHelp();
    error->Release();
}

void VTBAudioPlayer::ChangeVolume(int change) {
    long volume = 0;
    if (!settings_ || FAILED(settings_->get_volume(&volume)))
        return;
    settings_->put_volume(std::clamp(volume + change, lowestVolume, highestVolume));
}

void VTBAudioPlayer::ToggleMute() {
    VARIANT_BOOL muted = VARIANT_FALSE;
    if (!settings_ || FAILED(settings_->get_mute(&muted)))
        return;
    settings_->put_mute(muted ? VARIANT_FALSE : VARIANT_TRUE);
}

}  // namespace vesk::ui
