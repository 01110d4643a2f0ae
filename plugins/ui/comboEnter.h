// The ComboBoxEx boxes of the lists' windows: Enter pressed in the edit
// field (its CBEN_ENDEDIT comes in the ANSI or the wide form, as the box
// settled with its parent) and the entries of the drop-down list.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace vesk::ui {

// True for an end of editing by Enter; the edit text goes to text when
// given.
bool EnterPressed(const NMHDR* header, std::string* text = nullptr);

// The box's entries, top first, each cut to limit - 1 characters; none for
// a null box.
std::vector<std::string> ComboEntries(HWND box, int limit);

}  // namespace vesk::ui
