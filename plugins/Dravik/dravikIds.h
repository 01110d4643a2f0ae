// Resource ids of the window library's own module, shared by dravik.rc and
// the code.
#pragma once

#define IDS_CUSTOMIZE_MENU 1
#define IDS_TOOLBARS 2
#define IDS_WINDOWS_PAGE 3
#define IDS_CUSTOMIZE_CAPTION 4
#define IDS_FILE 5
#define IDS_HELP 6
#define IDS_VIEW 7
#define IDS_TIME 8
#define IDS_MESSAGE 9

// The Customize dialog: the sheet's hidden dialog, an unused child dialog,
// the page.
#define IDD_CUSTOMIZE 101
#define IDD_CUSTOMIZE_CHILD 104
#define IDD_WINDOWS_PAGE 106
#define IDC_CUSTOMIZE_TABS 1001
#define IDC_CUSTOMIZE_CLOSE 1002
#define IDC_WINDOW_LIST 1003
#define IDC_CHILD_LIST 1004
