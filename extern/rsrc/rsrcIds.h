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

#endif
