#include "testing/screen/keptShots.h"

#include "testing/screen/pngFile.h"
#include "testing/screen/screenCapture.h"

namespace vesk::testing {

bool KeepShotWhenAsked(HWND window, const std::string& name) {
    char folder[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("UI_SCREENSHOTS", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    return WritePngFile(std::string(folder) + "\\" + name + ".png", CaptureWindow(window));
}

}  // namespace vesk::testing
