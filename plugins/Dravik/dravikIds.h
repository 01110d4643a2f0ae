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
