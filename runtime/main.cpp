// The client's process: a GUI-subsystem program that opens no window of
// its own; the modules it loads do.
#include <windows.h>

#include "runtime/host.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    return vesk::runHost(instance, commandLine, showCommand);
}
