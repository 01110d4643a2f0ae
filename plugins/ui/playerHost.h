// The media player control in a host window of the control-hosting
// library, which is loaded once and kept for the process.
#pragma once

#include <windows.h>

#include "extern/player/mediaPlayer.h"

namespace vesk::ui {

// The host window ("AtlAxWin", "WMP Host") filling the parent's client
// area; null when the library or its class is missing.
HWND CreatePlayerHostWindow(HWND parent);

// Creates the player control in the host window: the player interface with
// one reference for the caller. When the control cannot be made the host
// shows the player's web page, when it lacks the player interface the
// download page; null then.
media::IMediaPlayer* HostMediaPlayer(HWND host);

}  // namespace vesk::ui
