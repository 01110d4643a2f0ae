/* Resource ids of the resource module "plugins\rsrc.vkm", shared by the .rc
   files and by the code that loads them. Plain #defines only: windres reads
   this file too.

   Every id here is one a module's code asks for by number, so the numbers
   are fixed and follow no ranges by kind; the prefix tells the kind:
     IDV_   version block   IDS_   text (string table)   IDI_   icon
     IDD_   dialog          IDC_   control of a dialog   IDM_   menu
     IDT_   toolbar (type 241)     IDB_   bitmap        IDCMD_ command
   Texts and icons are different resource types, so one number may name a
   text and an icon at once. Held so far: the version block 1; texts 196 to
   317 and 40018 to 40075; icons 132 to 175, 318 and 321; dialogs 112 to 130
   and 324; menus 183, 184, 186 to 188, 192 and 325; accelerators 177;
   toolbars 178, 179, 181, 189, 190 and 193 with bitmaps 104, 105 and 107 to
   110 (a toolbar's pictures are the bitmap of its own id, see uiMainIds.h);
   bitmap 106.

   One block per module. An id two modules use names one resource, defined
   in the block (and the .rc file) of the module listed first; the other
   block names it again beside its own use. */
#ifndef VESK_RSRC_IDS_H
#define VESK_RSRC_IDS_H

/* The version block; the host reads "PrivateBuild" from it for its banner. */
#define IDV_VERSION 1

/* Search-and-share manager (fixed ids its code asks for). */
#define IDS_SS_STATE_CONNECTED      271  /* protocol state 3 */
#define IDS_SS_STATE_CONNECTING     272  /* protocol state 2 */
#define IDS_SS_STATE_OFFLINE        273  /* protocol state 4 */
#define IDS_SS_STATE_RECONNECTING   274  /* protocol state 5 */
#define IDS_SS_STATE_STOPPED        275  /* protocol state 6 */
#define IDS_SS_STATE_STARTING       276  /* protocol state 1 */
#define IDS_SS_STATE_IDLE           277  /* protocol state 0 */
#define IDS_SS_SEARCH_TEXT          283  /* attribute name: a search's query */
#define IDS_SS_RESULT_COUNT       40021  /* attribute name: a search's result count */
#define IDI_SS_CONNECTED            167  /* status bar: steady state */
#define IDI_SS_IDLE                 168
#define IDI_SS_ACTIVE               169  /* status bar: connecting, offline, blink */
/* The manager's option pages: titles, icons, dialogs and their controls. */
#define IDS_SS_PAGE_SHARES          287
#define IDS_SS_PAGE_FOLDERS         213  /* the same text as IDS_GNU_TRAY_DOWNLOADS */
#define IDS_SS_PAGE_SEARCH          270  /* the same text as IDS_GNU_PAGE_PROTOCOLS */
#define IDS_SS_PAGE_FILTERS         235
#define IDS_SS_EMPTY_TEMP_REFUSED   218  /* the folders page would not empty the temporary folder */
#define IDS_SS_FILTER_FIELD         231  /* the text of IDS_GNU_FIELD_NAME: the field filters match */
#define IDI_SS_FOLDER               133  /* first image of the shares page's tree */
#define IDI_SS_PAGE_FILTERS         142
#define IDI_SS_SHARED_FOLDER        143  /* also the shares page's icon */
#define IDI_SS_PAGE_FOLDERS         150  /* the same icon as IDI_UIL_DOWNLOADS */
#define IDI_SS_PAGE_SEARCH          321
#define IDB_SS_SHARE_STATES         106  /* 0 none, 1 not shared, 2 shared, 3 holds a share */
#define IDD_SS_FILTERS              113
#define IDD_SS_SEARCH               121
#define IDD_SS_FOLDERS              124
#define IDD_SS_SHARES               130
#define IDC_SS_AUTO_CONNECT_SEARCH  400
#define IDC_SS_BROWSE_DOWNLOAD      401
#define IDC_SS_ADD_IN_ORDER         402
#define IDC_SS_REMOVE_IN_ORDER      403
#define IDC_SS_ADD_CONTAINS         404
#define IDC_SS_REMOVE_CONTAINS      405
#define IDC_SS_EMPTY_TEMP           415
#define IDC_SS_SHARE_COUNT          418
#define IDC_SS_DRIVE_SIZE           419
#define IDC_SS_DOWNLOAD_DIR         422
#define IDC_SS_DOWNLOAD_FREE        425
#define IDC_SS_IN_ORDER_WORD        426
#define IDC_SS_CONTAINS_WORD        427
#define IDC_SS_MAX_RESULTS          434
#define IDC_SS_DRIVE_FREE           455
#define IDC_SS_IN_ORDER_LIST        463
#define IDC_SS_CONTAINS_LIST        464
#define IDC_SS_AUTO_CONNECT_START   471
#define IDC_SS_SHARE_RECURSIVE      478
#define IDC_SS_FOLDER_TREE          479
#define IDC_SS_BROWSE_TEMP          497
#define IDC_SS_TEMP_DIR             498
#define IDC_SS_TEMP_FREE            499

/* Settings reset tool and General options page (fixed id they ask for):
   the default settings file, resource type "txt". */
#define IDR_DEFAULT_SETTINGS        319

/* The user interface's services (uiOptions.rc): the options dialog and its
   General page, the tray icon, the debug window and the two information
   dialogs. */
#define IDD_UIO_OPTIONS              129
#define IDC_UIO_PAGE_TREE            469
#define IDC_UIO_PAGE_AREA            470  /* places the pages, shows the title */
#define IDC_UIO_APPLY                101
#define IDD_UIO_GENERAL              125
#define IDC_UIO_MINIMIZE_ON_START    467
#define IDC_UIO_MINIMIZE_TO_TRAY     468
#define IDC_UIO_SAVE_ON_EXIT         474
#define IDC_UIO_SHOW_IN_TRAY         480
#define IDC_UIO_DEFAULT_SETTINGS     502
#define IDC_UIO_LANGUAGE             511
#define IDS_UIO_GENERAL              236  /* the General page's title */
#define IDS_UIO_SYSTEM_LANGUAGE      40076
#define IDS_UIO_TRAY_TITLE           IDS_GNU_TRAY_TITLE  /* 267 */
#define IDI_UIO_OPTIONS              165
#define IDI_UIO_GENERAL              320
#define IDI_UIO_TRAY                 IDI_GNU_VENDOR_OWN  /* 174 */
#define IDD_UIO_CREDITS              111
#define IDB_UIO_CREDITS              103
#define IDD_UIO_ABOUT                323
#define IDC_UIO_ABOUT_MAIL           510
#define IDC_UIO_ABOUT_TITLE          509
#define IDC_UIO_ABOUT_SITE           508

/* Gnutella module (gnutella.rc). Several texts are at once an attribute
   name, a list's column and a row action's name. */
#define IDS_GNU_ACTION_STOP          196
#define IDS_GNU_FIELD_CLIENT         202  /* vendor or server name; a peer's user agent */
#define IDS_GNU_ACTION_CONNECT       206  /* host-cache rows; also an option page title */
#define IDS_GNU_ACTION_DOWNLOAD      211  /* result rows; a download row's destination path */
#define IDS_GNU_TRAY_DOWNLOADS       213
#define IDS_GNU_FIELD_NAME           231
#define IDS_GNU_FIELD_SIZE           232
#define IDS_GNU_PAGE_GNUTELLA        237
#define IDS_GNU_FIELD_ID             238  /* servent, link or host-cache key */
#define IDS_GNU_FIELD_INDEX          240
#define IDS_GNU_TRAY_LINKS           244
#define IDS_GNU_FIELD_ADDRESS        246
#define IDS_GNU_FIELD_PORT           264
#define IDS_GNU_TRAY_TITLE           267  /* first line of the tray tip */
#define IDS_GNU_FIELD_PROGRESS       269
#define IDS_GNU_PAGE_PROTOCOLS       270
#define IDS_GNU_XFER_CONNECTED       IDS_SS_STATE_CONNECTED  /* 271 */
#define IDS_GNU_XFER_STOPPED         IDS_SS_STATE_STOPPED    /* 275 */
#define IDS_GNU_FIELD_SPEED          280
#define IDS_GNU_FIELD_SEARCH         IDS_SS_SEARCH_TEXT      /* 283; also a page title */
#define IDS_GNU_PAGE_NETWORK         286
#define IDS_GNU_LINK_DIALLING        292
#define IDS_GNU_LINK_CLOSED          293  /* also the action that drops a link */
#define IDS_GNU_LINK_INCOMING        294
#define IDS_GNU_LINK_OUTGOING        295
#define IDS_GNU_LINK_WAITING         296
#define IDS_GNU_FIELD_GARBAGE        297
#define IDS_GNU_FIELD_DROPPED        298
#define IDS_GNU_FIELD_RECEIVED       299
#define IDS_GNU_FIELD_SENT           300
#define IDS_GNU_FIELD_TEMP_PATH      302
#define IDS_GNU_FIELD_TIME_LEFT      303
#define IDS_GNU_PAGE_TRANSFERS       307
#define IDS_GNU_FIELD_STATUS         308
#define IDS_GNU_FIELD_LINK_STATUS    309
#define IDS_GNU_LIST_DOWNLOADS       312
#define IDS_GNU_LIST_HOST_CACHE      313
#define IDS_GNU_LIST_CONNECTIONS     314
#define IDS_GNU_LIST_RESULTS         315
#define IDS_GNU_LIST_STATISTICS      316
#define IDS_GNU_LIST_UPLOADS         317
#define IDS_GNU_ACTION_REMOVE        40024
#define IDS_GNU_ACTION_START         40026
#define IDS_GNU_ACTION_RETRY         40031
#define IDS_GNU_XFER_BUSY            40033
#define IDS_GNU_XFER_RETRY_60        40035
#define IDS_GNU_XFER_QUEUED          40036
#define IDS_GNU_XFER_COMPLETE        40038
#define IDS_GNU_LINK_NONE            40040  /* a transfer connection */
#define IDS_GNU_LINK_UPLOADING       40041  /* also begins a download's progress text */
#define IDS_GNU_LINK_DOWNLOADING     40042
#define IDS_GNU_ACTION_START_NOW     40044
#define IDS_GNU_XFER_ERROR           40045
#define IDS_GNU_XFER_DONE            40046
#define IDS_GNU_STATUS_STOPPED       40047  /* transfer status 999 */
#define IDS_GNU_STATUS_UNKNOWN       40048  /* any status without a text; any other link kind */
#define IDS_GNU_XFER_PUSH_SENT       40050
#define IDS_GNU_XFER_AWAITING_GIV    40051
#define IDS_GNU_TRAY_UPLOADS         40052
#define IDS_GNU_TRAY_INCOMING        40053
#define IDS_GNU_TRAY_OUTGOING        40054
#define IDS_GNU_HTTP_301             40056
#define IDS_GNU_HTTP_302             40057
#define IDS_GNU_HTTP_304             40058
#define IDS_GNU_HTTP_400             40059
#define IDS_GNU_HTTP_401             40060
#define IDS_GNU_HTTP_403             40061
#define IDS_GNU_HTTP_404             40062
#define IDS_GNU_HTTP_500             40063  /* also 503 */
#define IDS_GNU_HTTP_501             40064
#define IDS_GNU_HTTP_502             40065
#define IDS_GNU_STATUS_990           40066  /* partial file does not match */
#define IDS_GNU_STATUS_994           40067  /* push request not sent */
#define IDS_GNU_STATUS_995           40068  /* connection ended early */
#define IDS_GNU_STATUS_996           40069  /* file not created */
#define IDS_GNU_STATUS_997           40070  /* write failed */
#define IDS_GNU_STATUS_998           40071  /* connection lost */
#define IDS_GNU_STATUS_993           40072  /* not an HTTP answer */
#define IDS_GNU_STATUS_992           40073  /* timed out */
#define IDS_GNU_STATUS_991           40074  /* both sides firewalled */
/* Downloads: queue, busy retry, completion and the 503 status. */
#define IDS_GNU_XFER_WAITING         40032  /* queued for a free download slot */
#define IDS_GNU_XFER_RETRY_180       40034
#define IDS_GNU_XFER_COPY_NOT_STARTED 40039 /* the move could not be started */
#define IDS_GNU_XFER_NOT_MOVED       40049  /* the move failed */
#define IDS_GNU_HTTP_503             40075
#define IDI_GNU_VENDOR_149           149
#define IDI_GNU_VENDOR_151           151
#define IDI_GNU_VENDOR_OTHER         152  /* any client without an icon of its own */
#define IDI_GNU_VENDOR_154           154
#define IDI_GNU_VENDOR_OWN           174  /* this program's own client code */
#define IDI_GNU_TRAY_CONNECTED       IDI_SS_CONNECTED  /* 167: links, no transfer */
#define IDI_GNU_TRAY_OFFLINE         IDI_SS_ACTIVE     /* 169: no link */
#define IDI_GNU_TRAY_DOWNLOADING     171
#define IDI_GNU_TRAY_BOTH            172
#define IDI_GNU_TRAY_UPLOADING       173
/* The Gnutella option pages (titles 237, 206, 283, 286, 307 above). */
#define IDI_GNU_PAGE_NETWORK         134
#define IDI_GNU_PAGE_CONNECTIONS     135
#define IDI_GNU_PAGE_SEARCH          139
#define IDI_GNU_PAGE_TRANSFERS       140
#define IDI_GNU_PAGE_GNUTELLA        IDI_GNU_VENDOR_OTHER  /* 152 */
#define IDD_GNU_CONNECTIONS          112
#define IDD_GNU_SEARCH               116
#define IDD_GNU_NETWORK              117
#define IDD_GNU_TRANSFERS            118
#define IDC_GNU_ENABLE_REPORTED      410
#define IDC_GNU_LOAD_HOST_CACHE      411
#define IDC_GNU_QUICK_CONNECT        412
#define IDC_GNU_SPEED_LIST           417
#define IDC_GNU_CLEAR_FAILED_DOWN    423
#define IDC_GNU_CLEAR_DONE_DOWN      424
#define IDC_GNU_CONNECT_TIMEOUT      428
#define IDC_GNU_LISTEN_PORT          429
#define IDC_GNU_LOCAL_TTL            430
#define IDC_GNU_MAX_DOWNLOADS        431
#define IDC_GNU_MAX_INCOMING         432
#define IDC_GNU_MAX_OUTGOING         433
#define IDC_GNU_SECOND_NUMBER        434
#define IDC_GNU_MAX_TTL              435
#define IDC_GNU_MAX_UPLOADS          436
#define IDC_GNU_MIN_CRITERIA         437
#define IDC_GNU_MIN_CONNECTIONS      438
#define IDC_GNU_MIN_SPEED            439
#define IDC_GNU_MAX_HOST_CACHE       440
#define IDC_GNU_REPORTED_IP          443
#define IDC_GNU_REPORTED_PORT        444
#define IDC_GNU_LOCAL_SPEED          445
#define IDC_GNU_MONITOR_NUMBER       446
#define IDC_GNU_MAX_RESULTS_OUT      447
#define IDC_GNU_MAX_UPLOADS_PER_IP   451
#define IDC_GNU_SHOW_FIREWALLED      454
#define IDC_GNU_SEARCH_MONITOR       457
#define IDC_GNU_REPORTED_IP_LABEL    461
#define IDC_GNU_REPORTED_PORT_LABEL  462
#define IDC_GNU_STEP_TIMEOUT         484
#define IDC_GNU_STEP_INCOMING        485
#define IDC_GNU_STEP_OUTGOING        486
#define IDC_GNU_STEP_MIN_CONNECTIONS 487
#define IDC_GNU_STEP_HOST_CACHE      488
#define IDC_GNU_CLEAR_FAILED_UP      500
#define IDC_GNU_CLEAR_DONE_UP        501
#define IDCMD_GNU_CLEAR_QUEUE        2023  /* the host window's command: drop every queued download */

/* The user interface's lists and windows (uiLists.rc): the transfer, host,
   statistics, search and result windows, the audio player and the file
   actions. Several texts are attribute or action names that rows share with
   the Gnutella module. */
#define IDS_UIL_STOP                 IDS_GNU_ACTION_STOP        /* 196: transfer rows */
#define IDS_UIL_CLEAR_SEARCH         197
#define IDS_UIL_CLEAR_ALL            198
#define IDS_UIL_CONNECT              IDS_GNU_ACTION_CONNECT     /* 206: host-cache rows */
#define IDS_UIL_FILE_PATH            IDS_GNU_ACTION_DOWNLOAD    /* 211: also the download action */
#define IDS_UIL_FILE_NAME            IDS_GNU_FIELD_NAME         /* 231 */
#define IDS_UIL_FILE_SIZE            IDS_GNU_FIELD_SIZE         /* 232 */
#define IDS_UIL_FILE_TYPE            234
#define IDS_UIL_PAGE_HOST_CACHE      243
#define IDS_UIL_PAGE_CONNECTIONS     IDS_GNU_TRAY_LINKS         /* 244 */
#define IDS_UIL_ADDRESS              IDS_GNU_FIELD_ADDRESS      /* 246 */
#define IDS_UIL_NEXT                 247
#define IDS_UIL_STOP_PLAYING         248
#define IDS_UIL_PLAY                 249  /* the play action and the playlist's menu group */
#define IDS_UIL_PREVIOUS             250
#define IDS_UIL_VIDEO                252
#define IDS_UIL_PROGRESS             IDS_GNU_FIELD_PROGRESS     /* 269 */
#define IDS_UIL_SEARCH_TEXT          IDS_SS_SEARCH_TEXT         /* 283 */
#define IDS_UIL_HISTORY              284
#define IDS_UIL_EXPLORE              288
#define IDS_UIL_OPEN                 289
#define IDS_UIL_STOP_SEARCH          291
#define IDS_UIL_DISCONNECT           IDS_GNU_LINK_CLOSED        /* 293: connection rows */
#define IDS_UIL_TEMP_PATH            IDS_GNU_FIELD_TEMP_PATH    /* 302 */
#define IDS_UIL_TIME_LEFT            IDS_GNU_FIELD_TIME_LEFT    /* 303 */
#define IDS_UIL_STATUS               IDS_GNU_FIELD_STATUS       /* 308 */
#define IDS_UIL_LINK_STATUS          IDS_GNU_FIELD_LINK_STATUS  /* 309 */
#define IDS_UIL_UPLOADS_TAB          310
#define IDS_UIL_VIEW                 311
#define IDS_UIL_LIST_DOWNLOADS       IDS_GNU_LIST_DOWNLOADS     /* 312 */
#define IDS_UIL_LIST_HOST_CACHE      IDS_GNU_LIST_HOST_CACHE    /* 313 */
#define IDS_UIL_LIST_CONNECTIONS     IDS_GNU_LIST_CONNECTIONS   /* 314 */
#define IDS_UIL_LIST_RESULTS         IDS_GNU_LIST_RESULTS       /* 315 */
#define IDS_UIL_LIST_STATISTICS      IDS_GNU_LIST_STATISTICS    /* 316 */
#define IDS_UIL_LIST_UPLOADS         IDS_GNU_LIST_UPLOADS       /* 317 */
#define IDS_UIL_SEARCH               40018
#define IDS_UIL_ADD_TO_PLAYLIST      40019
#define IDS_UIL_REMOVE_FROM_PLAYLIST 40020
#define IDS_UIL_RESULT_COUNT         IDS_SS_RESULT_COUNT        /* 40021 */
#define IDS_UIL_REMOVE               IDS_GNU_ACTION_REMOVE      /* 40024 */
#define IDS_UIL_PLAYLIST             40025
#define IDS_UIL_START                IDS_GNU_ACTION_START       /* 40026 */
#define IDS_UIL_STAT_TIP             40027
#define IDS_UIL_COUNT                40028
#define IDI_UIL_STATISTICS           132
#define IDI_UIL_FILE                 141  /* any file without a type of its own */
#define IDI_UIL_HISTORY              145
#define IDI_UIL_HOST_CACHE           146
#define IDI_UIL_CONNECTIONS          147
#define IDI_UIL_DOWNLOADS            150
#define IDI_UIL_UPLOADS              155
#define IDI_UIL_QUERY                164
#define IDI_UIL_PLAYLIST             318
#define IDD_UIL_HOST_CACHE           126
#define IDD_UIL_CONNECTIONS          127
#define IDD_UIL_COLUMNS              324
#define IDC_UIL_CACHE_REPLACE        414  /* the Gnutella module's commands on the host pages */
#define IDC_UIL_PING_ALL             456
#define IDC_UIL_TRIM_CACHE           458
#define IDC_UIL_CONNECT_SELECTED     459
#define IDC_UIL_CONNECT_LIST         460
#define IDC_UIL_CACHE_LIST           466
#define IDC_UIL_COLUMN_LIST          512
#define IDC_UIL_COLUMN_WIDTH         517
#define IDC_UIL_DISCONNECT_SELECTED  40027
#define IDM_UIL_RESULT_VIEW          325
#define IDT_UIL_AUDIO                178
#define IDB_UIL_AUDIO                107
#define IDT_UIL_SEARCH_BAR           189
#define IDB_UIL_SEARCH_BAR           108
#define IDCMD_UIL_PLAYER_MODE        40014
#define IDCMD_UIL_PLAYER_STOP        40015
#define IDCMD_UIL_PLAYER_PLAY        40016
#define IDCMD_UIL_PLAYER_VIDEO       40017
#define IDCMD_UIL_SEARCH             40018
#define IDCMD_UIL_PLAYER_PREVIOUS    40019
#define IDCMD_UIL_PLAYER_NEXT        40020
#define IDCMD_UIL_CONNECT_ADDRESS    40026
#define IDCMD_UIL_VIEW_ICONS         40086
#define IDCMD_UIL_VIEW_SMALL_ICONS   40087
#define IDCMD_UIL_VIEW_LIST          40088
#define IDCMD_UIL_VIEW_DETAILS       40089

#include "extern/rsrc/uiMainIds.h"

#endif
