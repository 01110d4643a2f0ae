// A module in the skins folder that is no skin module: it has "Init" but
// no "Load", so a scan loads it, finds nothing to call and frees it.
#include <windows.h>

extern "C" __declspec(dllexport) int Init(void*) { return 0; }
