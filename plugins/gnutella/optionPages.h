// The module's pages in the options dialog. Each page shows the settings
// object's fields when it starts, writes them back on OK (1) and Apply
// (101) and shows them again on Cancel (2); numbers are read unsigned and
// cut to the field's width. Everything here runs on the GUI thread.
#pragma once

#include <windows.h>

namespace vesk::gnutella {

// Adds the page tree: "Gnutella" under the manager's page, connections,
// search and network under it, transfers at the top level.
void init_options();

INT_PTR CALLBACK options_general_proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK options_connections_proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK options_transfers_proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK options_search_proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK options_network_proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace vesk::gnutella
