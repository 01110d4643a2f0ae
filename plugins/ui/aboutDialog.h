// The about box (menu command 40070): a modal dialog of the default module
// with the main window's title, the web site and the support address; a
// click on either opens it through the shell (ListServices().shellExecute).
// OK ends it with 1; Cancel, Escape and the close box with 0, and only end
// it. Its two fonts are made once per showing and freed when it goes.
#pragma once

#include <windows.h>

namespace vesk::ui {

constexpr const char* productSite = "https://www.pelloran.example/";
constexpr const char* supportMail = "mailto:support@pelloran.example";
constexpr COLORREF siteTextColour = 0x0000F4;

// title: the main window's title (its first 63 characters are shown).
// -1 when the dialog cannot be shown.
INT_PTR RunAboutDialog(HWND owner, const char* title);

}  // namespace vesk::ui
