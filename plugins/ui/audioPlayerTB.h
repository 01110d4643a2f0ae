// vesk::ui::VTBAudioPlayer: the audio toolbar. A dock toolbar with the
// player's buttons, a hidden frame child window (the video window) holding
// the media player control's host window, and the playing of the
// playlist's rows in order.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include "core/capsule.h"
#include "extern/player/mediaPlayer.h"
#include "plugins/ui/toolBarHost.h"
#include "plugins/ui/wmpEventDispatch.h"
#include "vesk/ui.h"

namespace vesk::ui {

class CAgentListView;
class CIDropTarget;

class VTBAudioPlayer : public objectBase, public IVTBAudioPlayer, public playerEventTarget {
public:
    VTBAudioPlayer();
    ~VTBAudioPlayer();

    int Create(const char* name, RECT* rect) override;

    // Plays playlist row i: its index, or -1 without a player, a row or a
    // path. Playback counts as requested either way.
    int PlayRow(int row);
    // The row after (before) the current one, wrapping around the list.
    void NextRow();
    void PreviousRow();
    // The main window's volume and mute commands; nothing without a player.
    void ChangeVolume(int change);
    void ToggleMute();

    void OnPlayStateChange(long state) override;
    void OnCurrentItemChange(IDispatch* item) override;
    void OnPlayerError() override;

    IDockToolBarWnd* ToolBar() const { return bar_.Bar(); }
    HWND Buttons() const { return bar_.Buttons(); }
    HWND VideoWindow() const;
    HWND HostWindow() const { return hostWnd_; }
    bool HasPlayer() const { return player_ != nullptr; }
    int CurrentIndex() const { return currentIndex_; }
    bool PlayRequested() const { return playRequested_; }
    bool VideoShown() const { return videoShown_; }

private:
    static LRESULT Hook(void* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT VideoHook(void* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PlaylistProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    void OnCommand(int command);
    bool MakeVideoWindow(RECT* rect);
    void WatchPlaylist();
    // False (and nothing kept) when the player cannot be used.
    bool ConnectPlayer();
    void ReleasePlayer();
    void ToggleMode();
    void PlayOrPause();
    void ToggleVideo();
    void HideVideo();
    void ShowPlayButton(bool playing);
    static CAgentListView* Playlist();

    toolBarHost bar_;
    IFrameChildWnd* videoWnd_ = nullptr;  // one reference
    IWndProc* videoHook_ = nullptr;       // one reference, on videoWnd_
    CIDropTarget* videoDropTarget_ = nullptr;  // one reference while registered
    HWND hostWnd_ = nullptr;
    HWND watchedPlaylist_ = nullptr;
    bool videoShown_ = false;

    media::IMediaPlayer* player_ = nullptr;  // one reference each
    media::IMediaControls* controls_ = nullptr;
    media::IMediaSettings* settings_ = nullptr;
    IConnectionPoint* eventPoint_ = nullptr;
    CWMPEventDispatch* sink_ = nullptr;
    DWORD cookie_ = 0;

    int currentIndex_ = 0;
    bool playRequested_ = false;
    // A media item ended while playback was requested: the stop that
    // follows moves on to the next row.
    bool advanceOnStop_ = false;
};

}  // namespace vesk::ui
