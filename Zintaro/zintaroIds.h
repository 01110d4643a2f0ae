// Resource ids of Zintaro.dll, shared by Zintaro.rc and the code.
#pragma once

#define IDS_TITLE 101
#define IDS_PRESET_BARS 102
#define IDS_PRESET_WAVE 103

#define IDR_ZINTARO 104

#define IDB_LOGO 207
#define IDB_SPARK 208
#define IDB_GLOW 209
