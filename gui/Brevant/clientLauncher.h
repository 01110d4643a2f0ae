// What the menu item does: bring the running client's main window to the
// front, or start the client through its App Paths entry, or tell the user
// that the client cannot be found.
#pragma once

#include <windows.h>

namespace vesk::brevant {

// The class of the client's main frame, by which a running client is found.
constexpr const char* clientFrameClass = "Pelloran:Dravik32:FrameWnd:1";

// module: the one whose strings name the App Paths key and the message.
// Shows a modal message box when the entry is missing.
void bringForwardOrStartClient(HMODULE module);

}  // namespace vesk::brevant
