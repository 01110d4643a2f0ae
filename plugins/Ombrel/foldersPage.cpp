// The folders page: the download and temporary folders, their drives'
// free space, and emptying the temporary folder.
#include <cstring>
#include <string>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/Ombrel/driveSpace.h"
#include "plugins/Ombrel/manager.h"
#include "plugins/Ombrel/moduleServices.h"
#include "plugins/Ombrel/optionPages.h"
#include "plugins/Ombrel/shareManager.h"

namespace vesk::ss {

namespace {

constexpr int folderTextSize = 260;  // 259 characters
constexpr int dropDownHeight = 100;
constexpr DWORD fileSystemCompletion = 1;

struct folderRow {
    int combo;
    int space;
    int browse;
    bool (ISSManager::*get)(int, char*);
    bool (ISSManager::*set)(const char*);
};

const folderRow folders[] = {
    {IDC_SS_DOWNLOAD_DIR, IDC_SS_DOWNLOAD_FREE, IDC_SS_BROWSE_DOWNLOAD, &ISSManager::GetDownloadDir,
     &ISSManager::SetDownloadDir},
    {IDC_SS_TEMP_DIR, IDC_SS_TEMP_FREE, IDC_SS_BROWSE_TEMP, &ISSManager::GetTempDir, &ISSManager::SetTempDir},
};

std::string managerFolder(ISSManager& manager, const folderRow& row) {
    char folder[folderTextSize] = {};
    (manager.*row.get)(0, folder);
    return folder;
}

void showFolder(HWND page, const folderRow& row, const std::string& folder) {
    SetDlgItemTextA(page, row.combo, folder.c_str());
    SetDlgItemTextA(page, row.space, FreeSpaceText(folder).c_str());
}

void prepareCombo(HWND page, const folderRow& row) {
    HWND combo = GetDlgItem(page, row.combo);
    if (!combo)
        return;
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    ui::IUIControl* control = services().uiControl;
    if (control && GetComboBoxInfo(combo, &info) && info.hwndItem)
        control->AutoComplete(info.hwndItem, fileSystemCompletion);
    RECT place;
    if (GetWindowRect(combo, &place))
        SetWindowPos(combo, nullptr, 0, 0, place.right - place.left, dropDownHeight, SWP_NOMOVE | SWP_NOZORDER);
}

void show(HWND page, ISSManager& manager) {
    for (const folderRow& row : folders) {
        prepareCombo(page, row);
        showFolder(page, row, managerFolder(manager, row));
    }
}

void browse(HWND page, ISSManager& manager, const folderRow& row) {
    std::string chosen = PageShell().browseForFolder(page, managerFolder(manager, row));
    if (chosen.empty())
        return;
    showFolder(page, row, chosen);
    SendDlgItemMessageA(page, row.combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(chosen.c_str()));
}

// Lower case with one trailing backslash, as the share list keeps paths;
// empty for an empty folder.
std::string normalised(const std::string& folder) {
    std::string normal;
    return CShareManager::Normalise(folder.c_str(), normal) ? normal : "";
}

bool holds(const std::string& outer, const std::string& inner) {
    std::string o = normalised(outer), i = normalised(inner);
    return !o.empty() && !i.empty() && i.compare(0, o.size(), o) == 0;
}

bool isDriveRoot(const std::string& folder) {
    std::string f = normalised(folder);
    return f.size() <= 3 || (f.size() > 2 && f[0] == '\\' && f[1] == '\\' && f.find('\\', 2) == f.size() - 1);
}

// Emptying deletes every file below the folder: a folder that is not set,
// a drive's root or one holding what the user keeps is refused.
bool mayEmpty(ISSManager& manager, const std::string& temp) {
    if (temp.empty() || isDriveRoot(temp))
        return false;
    if (holds(temp, managerFolder(manager, folders[0])))
        return false;
    if (CShareManager* shares = services().shareManager)
        for (const auto& share : shares->Shares())
            if (holds(temp, share.first))
                return false;
    return true;
}

// The manager's folder, not the text typed since the last OK.
void emptyTemporaryFolder(HWND page, ISSManager& manager) {
    std::string temp = managerFolder(manager, folders[1]);
    if (!mayEmpty(manager, temp)) {
        PageShell().tellUser(page, languageText(IDS_SS_EMPTY_TEMP_REFUSED, 512).c_str());
        return;
    }
    ClearFolder(temp);
}

void store(HWND page, ISSManager& manager) {
    for (const folderRow& row : folders) {
        char folder[folderTextSize] = {};
        GetDlgItemTextA(page, row.combo, folder, folderTextSize);
        (manager.*row.set)(folder);
    }
}

}  // namespace

INT_PTR CALLBACK FoldersPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    ISSManager* manager = services().manager;
    if (!manager)
        return 0;
    if (message == WM_INITDIALOG) {
        show(page, *manager);
        return 1;
    }
    if (message != WM_COMMAND)
        return 0;
    switch (wParam) {
    case pageOk:
    case pageApply:
        store(page, *manager);
        return 0;
    case pageCancel:
        SendMessageA(page, WM_INITDIALOG, 0, 0);
        return 0;
    case IDC_SS_EMPTY_TEMP:
        emptyTemporaryFolder(page, *manager);
        return 0;
    }
    for (const folderRow& row : folders)
        if (wParam == static_cast<WPARAM>(row.browse))
            browse(page, *manager, row);
    return 0;
}

}  // namespace vesk::ss
