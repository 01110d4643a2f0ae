// The credits box (menu command 40028): a modal dialog of the language
// module showing bitmap 103 of the default module. Every way out (OK,
// Cancel, Escape, the close box) ends it through EndDialog, so the owner is
// enabled again, and the bitmap is freed once when it goes.
#pragma once

#include <windows.h>

namespace vesk::ui {

// 1 for OK, 0 for every other way out, -1 when the dialog cannot be shown.
INT_PTR RunCreditsDialog(HWND owner);

}  // namespace vesk::ui
