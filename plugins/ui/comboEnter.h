// Enter pressed in a ComboBoxEx's edit field: its CBEN_ENDEDIT comes in
// the ANSI or the wide form, as the box settled with its parent.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace vesk::ui {

// True for an end of editing by Enter; the edit text goes to text when
// given.
bool EnterPressed(const NMHDR* header, std::string* text = nullptr);

}  // namespace vesk::ui
