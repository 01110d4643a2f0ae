// Screenshots a test keeps for a person to look at: written only when the
// variable UI_SCREENSHOTS names a folder.
#pragma once

#include <windows.h>

#include <string>

namespace vesk::testing {

// Writes what the window shows (have it painted first) as
// <UI_SCREENSHOTS>\<name>.png. False when not asked for or not written.
bool KeepShotWhenAsked(HWND window, const std::string& name);

}  // namespace vesk::testing
