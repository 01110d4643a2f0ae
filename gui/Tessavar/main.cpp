// Tessavar: puts the client back to its default settings. A windowed
// program that opens no window and reads no command line; it is run in
// the client's folder while the client is not running.
#include <windows.h>

#include "gui/Tessavar/resetSettings.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return vesk::tessavar::resetSettings();
}
