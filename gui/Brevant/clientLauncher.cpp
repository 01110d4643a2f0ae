#include "gui/Brevant/clientLauncher.h"

#include <shellapi.h>

#include "gui/Brevant/appPathsEntry.h"
#include "gui/Brevant/brevantIds.h"

namespace vesk::brevant {

namespace {

void loadText(HMODULE module, UINT id, char (&text)[MAX_PATH]) {
    if (LoadStringA(module, id, text, MAX_PATH) <= 0)
        text[0] = '\0';
}

void showClientNotFound(HMODULE module) {
    char message[MAX_PATH];
    char caption[MAX_PATH];
    loadText(module, IDS_CLIENT_NOT_FOUND, message);
    loadText(module, IDS_CLIENT_ERROR_CAPTION, caption);
    MessageBoxA(nullptr, message, caption, MB_OK);
}

}  // namespace

void bringForwardOrStartClient(HMODULE module) {
    char keyName[MAX_PATH];
    loadText(module, IDS_APP_PATHS_KEY, keyName);
    appPathsEntry entry;
    if (keyName[0] == '\0' || !readAppPathsEntry(keyName, entry)) {
        showClientNotFound(module);
        return;
    }
    if (HWND frame = FindWindowA(clientFrameClass, nullptr)) {
        BringWindowToTop(frame);
        FlashWindow(frame, TRUE);
        return;
    }
    // A start that fails is not reported: the shell has nobody to tell.
    ShellExecuteA(nullptr, nullptr, entry.executable, nullptr, entry.folder[0] ? entry.folder : nullptr, SW_SHOW);
}

}  // namespace vesk::brevant
