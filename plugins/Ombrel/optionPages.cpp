#include "plugins/Ombrel/optionPages.h"

#include <shlobj.h>

#include <map>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/Ombrel/moduleServices.h"

namespace vesk::ss {

namespace {

constexpr int titleLimit = 260;

int CALLBACK startBrowserAt(HWND browser, UINT message, LPARAM, LPARAM start) {
    if (message == BFFM_INITIALIZED)
        SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, start);
    return 0;
}

std::string shellBrowseForFolder(HWND owner, const std::string& start) {
    BROWSEINFOA info = {};
    info.hwndOwner = owner;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX;
    info.lpfn = startBrowserAt;
    info.lParam = reinterpret_cast<LPARAM>(start.c_str());
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    if (!chosen)
        return "";
    char path[MAX_PATH] = {};
    bool found = SHGetPathFromIDListA(chosen, path) != FALSE;
    CoTaskMemFree(chosen);
    return found ? path : "";
}

void shellTellUser(HWND owner, const char* text) {
    MessageBoxA(owner, text, "Options", MB_OK | MB_ICONWARNING);
}

int shellChooseFromMenu(HWND owner, HMENU menu, POINT at) {
    return static_cast<int>(
        TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr));
}

}  // namespace

pageShell& PageShell() {
    static pageShell shell = {shellBrowseForFolder, shellTellUser, shellChooseFromMenu};
    return shell;
}

void AddOptionPage(unsigned titleId, int iconId, int dialogId, DLGPROC procedure) {
    // The dialog keeps the title pointer for its life: the texts live as
    // long as the module (map nodes stay where they are).
    static std::map<unsigned, std::string> titles;
    moduleServices& s = services();
    if (!s.uiControl || !s.options)
        return;
    std::string& title = titles[titleId];
    if (title.empty())
        title = languageText(titleId, titleLimit);
    int image = s.uiControl->AddIcon(s.uiControl->GetDefaultResourceInstance(), iconId);
    s.options->AddPage(title.c_str(), nullptr, image, dialogId, s.uiControl->GetResourceInstance(), procedure);
}

void AddManagerPages() {
    AddOptionPage(IDS_SS_PAGE_FOLDERS, IDI_SS_PAGE_FOLDERS, IDD_SS_FOLDERS, &FoldersPageProc);
    AddOptionPage(IDS_SS_PAGE_SEARCH, IDI_SS_PAGE_SEARCH, IDD_SS_SEARCH, &SearchPageProc);
    AddOptionPage(IDS_SS_PAGE_FILTERS, IDI_SS_PAGE_FILTERS, IDD_SS_FILTERS, &FiltersPageProc);
}

}  // namespace vesk::ss
