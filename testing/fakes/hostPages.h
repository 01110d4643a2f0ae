// The host window's two pages as a test hands them to the fake host
// window: the connection page's list (460), the host-cache page's list
// (466) and the address box. With pages given, the fake keeps the rows it
// is handed in those lists (each row's item data its agent, one reference
// held), as the real window does, so that commands reading the lists see
// rows come and go. GUI thread only.
#pragma once

#include <windows.h>

#include "vesk/ss.h"

namespace vesk::testing {

struct hostPages {
    HWND connectPage = nullptr;
    HWND catchPage = nullptr;
    HWND addressCombo = nullptr;
};

constexpr int connectListId = 460;
constexpr int catchListId = 466;

// Adds the row to the list unless it is there; removes it (releasing it);
// removes every row.
void ListRow(HWND list, ss::IAgent* row);
void UnlistRow(HWND list, ss::IAgent* row);
void UnlistAll(HWND list);

}  // namespace vesk::testing
