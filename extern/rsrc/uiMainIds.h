/* Resource ids of the user interface's main window (uiMain.rc): the
   controller's title, captions and icons, the menu bar's menus, the
   accelerators, the four toolbars and the main window's commands. Included
   from rsrcIds.h; plain #defines only. */
#ifndef VESK_UI_MAIN_IDS_H
#define VESK_UI_MAIN_IDS_H

/* Title (default module): text 267, a blank, text 268. */
#define IDS_UIM_TITLE_FIRST          IDS_GNU_TRAY_TITLE  /* 267 */
#define IDS_UIM_TITLE_SECOND         268

/* Captions of the layout's windows. */
#define IDS_UIM_CONNECT_TB           205  /* also the connect button's tip */
#define IDS_UIM_TRANSFER_WND         233
#define IDS_UIM_SEARCH_TB            235  /* its buttons work the result filter: the text of IDS_SS_PAGE_FILTERS, one resource */
#define IDS_UIM_HOST_WND             239
#define IDS_UIM_AUDIO_TB             253
#define IDS_UIM_MENU_BAR             260
#define IDS_UIM_SEARCH_BAR           285
#define IDS_UIM_STAT_WND             IDS_GNU_LIST_STATISTICS  /* 316 */
#define IDS_UIM_TRANSFER_TB          IDS_GNU_PAGE_TRANSFERS   /* 307 */
#define IDS_UIM_HISTORY_WND          IDS_UIL_HISTORY          /* 284 */
#define IDS_UIM_VIEW_TB              IDS_UIL_VIEW             /* 311 */

/* Menu bar buttons: the text ids are the buttons' command ids, except the
   window menu's button, whose command is its menu id. */
#define IDS_UIM_MENU_FILE            254
#define IDS_UIM_MENU_HELP            255
#define IDS_UIM_MENU_TOOLS           256
#define IDS_UIM_MENU_SEARCH          257
#define IDS_UIM_MENU_VIEW            258
#define IDS_UIM_MENU_WINDOW          259
#define IDM_UIM_FILE                 183
#define IDM_UIM_HELP                 184
#define IDM_UIM_SEARCH               186
#define IDM_UIM_VIEW                 187
#define IDM_UIM_WINDOW               188
#define IDM_UIM_TOOLS                192
#define IDA_UIM_MAIN                 177

/* The General page the controller adds to the options dialog: its title
   (language module), tree image (default module) and dialog. */
#define IDS_UIM_GENERAL_PAGE         236
#define IDI_UIM_GENERAL_PAGE         320
#define IDD_UIM_GENERAL_PAGE         125

/* Status bar and tray tip texts. */
#define IDS_UIM_READY                40023
#define IDS_UIM_TIP_LINKS            IDS_GNU_TRAY_LINKS      /* 244 */
#define IDS_UIM_TIP_DOWNLOADS        IDS_GNU_TRAY_DOWNLOADS  /* 213 */
#define IDS_UIM_TIP_UPLOADS          IDS_UIL_UPLOADS_TAB     /* 310 */
#define IDS_UIM_WEB_SITE             304

/* Toolbar tips. */
#define IDS_UIM_TIP_DISCONNECT       210
#define IDS_UIM_TIP_FILTER_BAR       305
#define IDS_UIM_TIP_CLEAR_FILTER     306
#define IDS_UIM_TIP_CLEAR_ALL        IDS_UIL_CLEAR_ALL        /* 198 */
#define IDS_UIM_TIP_CLEAR_FAILED     199
#define IDS_UIM_TIP_CLEAR_DONE       200
#define IDS_UIM_TIP_QUICK_CONNECT    201
#define IDS_UIM_TIP_RETRY_ALL        282
#define IDS_UIM_TIP_DOWNLOAD         IDS_GNU_ACTION_DOWNLOAD  /* 211 */
#define IDS_UIM_TIP_STOP             IDS_GNU_ACTION_STOP      /* 196 */
#define IDS_UIM_TIP_OPTIONS          262

/* Icons (default module). */
#define IDI_UIM_STATUS_TRANSFERS     140  /* status pane 2; the Gnutella transfers page's icon, one resource */
#define IDI_UIM_FIRST_IMAGE          143  /* first image of the shared lists; the shared-folder icon, one resource */
#define IDI_UIM_STATUS_LINKS         IDI_UIL_CONNECTIONS  /* 147: status pane 1 */
#define IDI_UIM_FRAME_SMALL          IDI_GNU_VENDOR_OWN   /* 174 */
#define IDI_UIM_FRAME_BIG            175

/* Toolbars (type 241) and their bitmaps (default module). */
#define IDT_UIM_CONNECT              179
#define IDB_UIM_CONNECT              104
#define IDT_UIM_TRANSFER             181
#define IDB_UIM_TRANSFER             105
#define IDT_UIM_SEARCH               190
#define IDB_UIM_SEARCH               109
#define IDT_UIM_VIEW                 193
#define IDB_UIM_VIEW                 110

/* Main window commands: menus, accelerators and toolbars. */
#define IDCMD_UIM_CONNECT            40000
#define IDCMD_UIM_DISCONNECT         40001
#define IDCMD_UIM_EXIT               40002
#define IDCMD_UIM_OPTIONS            40003
#define IDCMD_UIM_SAVE_NOW           40005
#define IDCMD_UIM_SELECT_ALL         40006
#define IDCMD_UIM_TB_CONNECT         40012
#define IDCMD_UIM_TB_DISCONNECT      40013
#define IDCMD_UIM_MENU_CONNECT       40023
#define IDCMD_UIM_MENU_DISCONNECT    40024
#define IDCMD_UIM_MENU_EXIT          40025
#define IDCMD_UIM_INFO               40028
#define IDCMD_UIM_HELP               40029
#define IDCMD_UIM_WEB_SITE           40030
#define IDCMD_UIM_HOST_WND           40035
#define IDCMD_UIM_HISTORY_WND        40036
#define IDCMD_UIM_STAT_WND           40037
#define IDCMD_UIM_TRANSFER_WND       40038
#define IDCMD_UIM_CLEAR_FILTER       40039
#define IDCMD_UIM_FILTER_BAR_TB      40040
#define IDCMD_UIM_MENU_OPTIONS       40041
#define IDCMD_UIM_MENU_SAVE_NOW      40042
#define IDCMD_UIM_SAVE_ON_EXIT       40043
#define IDCMD_UIM_STOP_SELECTED      40044
#define IDCMD_UIM_CLEAR_ALL          40045
#define IDCMD_UIM_AUTO_CLEAR_DONE    40046
#define IDCMD_UIM_AUTO_CLEAR_FAILED  40047
#define IDCMD_UIM_QUICK_CONNECT      40048
#define IDCMD_UIM_DOWNLOAD_SELECTED  40049
#define IDCMD_UIM_TB_RETRY_ALL       40050
#define IDCMD_UIM_RETRY_ALL          40051
#define IDCMD_UIM_TB_DOWNLOAD        40052
#define IDCMD_UIM_TB_STOP            40053
#define IDCMD_UIM_TB_OPTIONS         40055
#define IDCMD_UIM_LOCK_DOCKING       40056
#define IDCMD_UIM_TB_HOST_WND        40058
#define IDCMD_UIM_TB_HISTORY_WND     40059
#define IDCMD_UIM_TB_STAT_WND        40060
#define IDCMD_UIM_STATUS_BAR         40061
#define IDCMD_UIM_CONNECT_TB         40062
#define IDCMD_UIM_SEARCH_TB          40063
#define IDCMD_UIM_TRANSFER_TB        40064
#define IDCMD_UIM_VIEW_TB            40065
#define IDCMD_UIM_TB_TRANSFER_WND    40066
#define IDCMD_UIM_NEXT_WINDOW        40067
#define IDCMD_UIM_PREVIOUS_WINDOW    40068
#define IDCMD_UIM_AUDIO_TB           40069
#define IDCMD_UIM_ABOUT              40070
#define IDCMD_UIM_TRACK_MENU_0       40071  /* to 40075: menus 0 to 4 */
#define IDCMD_UIM_TRACK_MENU_4       40075
#define IDCMD_UIM_ACC_HISTORY_WND    40076
#define IDCMD_UIM_ACC_TRANSFER_WND   40077
#define IDCMD_UIM_ACC_STAT_WND       40078
#define IDCMD_UIM_ACC_HOST_WND       40079
#define IDCMD_UIM_FILTER_BAR         40080
#define IDCMD_UIM_ACC_STATUS_BAR     40081
#define IDCMD_UIM_ACC_LOCK_DOCKING   40082
#define IDCMD_UIM_TAB                40083
#define IDCMD_UIM_VOLUME_UP          40091
#define IDCMD_UIM_VOLUME_DOWN        40092
#define IDCMD_UIM_MUTE               40093
#define IDCMD_UIM_TRACK_HELP         57670

#endif
