// Resource ids of Brevant.dll, shared by Brevant.rc and the code.
#pragma once

#define IDS_BREVANT 100
#define IDS_CLIENT_NOT_FOUND 101
#define IDS_CLIENT_ERROR_CAPTION 102
#define IDS_APP_PATHS_KEY 103

#define IDR_VESKSH 101
