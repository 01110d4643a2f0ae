/* Resource ids of the resource module "plugins\rsrc.vkm", shared by the .rc
   files and by the code that loads them. Plain #defines only: windres reads
   this file too.

   Ranges by kind, so that an id tells what it is:
     IDS_   strings          1 - 9999
     IDD_   dialogs      10000 - 10999
     IDC_   controls     11000 - 19999
     IDM_   menus        20000 - 20999
     IDB_   bitmaps      21000 - 21999
     IDI_   icons        22000 - 22999
     IDR_   other data   23000 - 23999
   Where another module already asks for a fixed id, that id is used as is
   and noted beside it. */
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

/* Settings reset tool and General options page (fixed id they ask for):
   the default settings file, resource type "txt". */
#define IDR_DEFAULT_SETTINGS        319

#endif
