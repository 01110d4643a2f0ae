// The host program's life: start-up, the passes over the plug-in modules,
// the signal loop (or a poll of the running flag) and shutdown.
#pragma once

#include <windows.h>

namespace vesk {

// Runs the client in the current directory until a shutdown is requested.
// Returns 0 on every path: it is the process's exit code.
int runHost(HINSTANCE instance, const char* commandLine, int showCommand);

}  // namespace vesk
