// The shared-folders page: the shell's folder tree, where a click on a
// folder's state image shares it or stops sharing it, the recursion box,
// and the drive's space.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "core/module.h"
#include "extern/rsrc/rsrcIds.h"
#include "plugins/Ombrel/driveSpace.h"
#include "plugins/Ombrel/moduleServices.h"
#include "plugins/Ombrel/optionPages.h"
#include "plugins/Ombrel/shareManager.h"
#include "plugins/Ombrel/shellFolderTree.h"
#include "vesk/share2.h"

namespace vesk::ss {

namespace {

const char* const startDrive = "c:\\";

// One page window's state, kept in its DWLP_USER slot.
class sharesPage {
public:
    explicit sharesPage(HWND page)
        : page_(page), tree_(GetDlgItem(page, IDC_SS_FOLDER_TREE)), folders_(tree_, services().shareManager) {}

    void start() {
        if (CShareManager* shares = services().shareManager)
            shares->LoadShareFile(nullptr);
        if (share2::IShareEngine* engine = shareEngine())
            engine->addWindow(page_);
        folders_.Open(defaultResources());
        showTree();
        SetDlgItemTextA(page_, IDC_SS_DRIVE_FREE, FreeSpaceText(startDrive).c_str());
        SetDlgItemTextA(page_, IDC_SS_DRIVE_SIZE, DriveSizeText(startDrive).c_str());
    }

    // The list as the file holds it, and the tree to match.
    void reload() {
        if (CShareManager* shares = services().shareManager)
            shares->LoadShareFile(nullptr);
        showTree();
    }

    // The handle goes back to the system: a window made later may get it.
    void close() {
        if (share2::IShareEngine* engine = shareEngine())
            engine->removeWindow(page_);
        folders_.Close();
    }

    void apply() {
        if (CShareManager* shares = services().shareManager)
            shares->SaveShares(nullptr);
        showCount();
    }

    LRESULT notify(const NMHDR& header) {
        if (header.idFrom != IDC_SS_FOLDER_TREE)
            return 0;
        const auto& change = reinterpret_cast<const NMTREEVIEWA&>(header);
        switch (header.code) {
        case TVN_SELCHANGEDA:
        case TVN_SELCHANGEDW:
            selected(change.itemNew.hItem);
            return 0;
        case TVN_ITEMEXPANDINGA:
        case TVN_ITEMEXPANDINGW:
            if (change.action & TVE_EXPAND)
                expand(change.itemNew.hItem);
            return 0;
        case TVN_ITEMEXPANDEDA:
        case TVN_ITEMEXPANDEDW:
            if (change.action & TVE_COLLAPSE)
                folders_.Collapse(change.itemNew.hItem);
            return 0;
        case TVN_DELETEITEMA:
        case TVN_DELETEITEMW:
            shellFolderTree::Forget(change.itemOld.lParam);
            return 0;
        case NM_CLICK:
            clickedAt(cursorItem(TVHT_ONITEMSTATEICON));
            return 0;
        case NM_RCLICK:
            return showMenu(cursorItem(TVHT_ONITEM)) ? 1 : 0;
        case TVN_BEGINLABELEDITA:
        case TVN_BEGINLABELEDITW: {
            const auto& edit = reinterpret_cast<const NMTVDISPINFOA&>(header);
            return folders_.PathOf(edit.item.hItem).empty() ? 1 : 0;  // only folders with a path
        }
        case TVN_ENDLABELEDITA:
            return renamed(reinterpret_cast<const NMTVDISPINFOA&>(header).item.hItem,
                           reinterpret_cast<const NMTVDISPINFOA&>(header).item.pszText);
        case TVN_ENDLABELEDITW: {
            const auto& edit = reinterpret_cast<const NMTVDISPINFOW&>(header);
            if (!edit.item.pszText)
                return 0;
            char name[MAX_PATH] = {};
            if (!WideCharToMultiByte(CP_ACP, 0, edit.item.pszText, -1, name, MAX_PATH, nullptr, nullptr))
                return 0;
            return renamed(edit.item.hItem, name);
        }
        }
        return 0;
    }

    void recursionClicked() {
        HTREEITEM item = TreeView_GetSelection(tree_);
        CShareManager* shares = services().shareManager;
        std::string path = folders_.PathOf(item);
        if (!shares || path.empty())
            return;
        int state = folders_.StateOf(item);
        if (state == stateShared || state == stateHoldsShare)
            shares->AddShare(path.c_str(), IsDlgButtonChecked(page_, IDC_SS_SHARE_RECURSIVE) == BST_CHECKED);
        if (state == stateNotShared || state == stateHoldsShare)
            shares->RemoveShare(path.c_str());
    }

private:
    static share2::IShareEngine* shareEngine() {
        moduleServices& s = services();
        return s.core ? lookupService<share2::IShareEngine>(s.core) : nullptr;
    }

    void showTree() {
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        folders_.Rebuild();
        HTREEITEM first = TreeView_GetRoot(tree_);
        if (first) {
            TreeView_SelectItem(tree_, first);
            TreeView_EnsureVisible(tree_, first);
        }
        showCount();
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
    }

    void showCount() {
        CShareManager* shares = services().shareManager;
        SetDlgItemInt(page_, IDC_SS_SHARE_COUNT, shares ? static_cast<UINT>(shares->Count()) : 0, FALSE);
    }

    void enableRecursion(bool on) { EnableWindow(GetDlgItem(page_, IDC_SS_SHARE_RECURSIVE), on ? TRUE : FALSE); }

    void selected(HTREEITEM item) {
        CheckDlgButton(page_, IDC_SS_SHARE_RECURSIVE, BST_UNCHECKED);
        enableRecursion(false);
        std::string path = folders_.PathOf(item);
        SetDlgItemTextA(page_, IDC_SS_DRIVE_FREE, FreeSpaceText(path).c_str());
        SetDlgItemTextA(page_, IDC_SS_DRIVE_SIZE, DriveSizeText(path).c_str());
        CShareManager* shares = services().shareManager;
        if (shares && !path.empty() && shares->IsShared(path.c_str())) {
            enableRecursion(true);
            if (shares->IsRecursive(path.c_str()))
                CheckDlgButton(page_, IDC_SS_SHARE_RECURSIVE, BST_CHECKED);
        }
        int state = folders_.StateOf(item);
        if (state != stateNotShared && state != stateNone)
            enableRecursion(true);
    }

    void expand(HTREEITEM item) {
        HCURSOR before = SetCursor(LoadCursor(nullptr, IDC_WAIT));
        SendMessageA(tree_, WM_SETREDRAW, FALSE, 0);
        folders_.Expand(item);
        SendMessageA(tree_, WM_SETREDRAW, TRUE, 0);
        SetCursor(before);
    }

    HTREEITEM cursorItem(UINT where) {
        TVHITTESTINFO hit = {};
        if (!GetCursorPos(&hit.pt) || !ScreenToClient(tree_, &hit.pt))
            return nullptr;
        HTREEITEM item = TreeView_HitTest(tree_, &hit);
        return item && (hit.flags & where) ? item : nullptr;
    }

    // The tree has no check boxes: the page steps the state image itself
    // (1 -> 2 -> 3 -> 1) and acts on the new one at once.
    void clickedAt(HTREEITEM item) {
        int state = item ? folders_.StateOf(item) : stateNone;
        std::string path = folders_.PathOf(item);
        CShareManager* shares = services().shareManager;
        if (state == stateNone || path.empty() || !shares)
            return;
        state = state == stateHoldsShare ? stateNotShared : state + 1;
        folders_.SetState(item, state);
        if (state == stateNotShared) {
            enableRecursion(false);
        } else if (shares->IsShared(path.c_str())) {
            shares->RemoveShare(path.c_str());
            folders_.SetState(item, stateNotShared);
        } else {
            shares->AddShare(path.c_str(), false);
            enableRecursion(true);
        }
    }

    bool showMenu(HTREEITEM item) {
        POINT at;
        return item && GetCursorPos(&at) && folders_.ShowMenu(item, page_, at, PageShell().chooseFromMenu);
    }

    LRESULT renamed(HTREEITEM item, const char* name) {
        return name && folders_.Rename(item, name) ? 1 : 0;  // a failed rename keeps the old label
    }

    HWND page_;
    HWND tree_;
    shellFolderTree folders_;
};

sharesPage* pageOf(HWND page) {
    return reinterpret_cast<sharesPage*>(GetWindowLongPtrA(page, DWLP_USER));
}

INT_PTR answer(HWND page, LRESULT result) {
    SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK SharesPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    sharesPage* state = pageOf(page);
    switch (message) {
    case WM_INITDIALOG:
        if (!state) {
            state = new sharesPage(page);
            SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
        }
        state->start();
        return TRUE;
    case WM_NOTIFY:
        return state && lParam ? answer(page, state->notify(*reinterpret_cast<const NMHDR*>(lParam))) : FALSE;
    case WM_COMMAND:
        if (!state)
            return FALSE;
        if (wParam == pageOk || wParam == pageApply)
            state->apply();
        else if (wParam == pageCancel)  // else the next OK of any page saves what was cancelled
            state->reload();
        else if (wParam == IDC_SS_SHARE_RECURSIVE)
            state->recursionClicked();
        return FALSE;
    case share2::shareListChangedMessage:
        if (state)
            state->reload();
        return TRUE;
    case WM_DESTROY:
        if (state)
            state->close();  // the engine's hold, the items' shell data, the image lists, the desktop folder
        SetWindowLongPtrA(page, DWLP_USER, 0);
        delete state;
        return FALSE;
    }
    return FALSE;
}

void AddSharesPage() {
    AddOptionPage(IDS_SS_PAGE_SHARES, IDI_SS_SHARED_FOLDER, IDD_SS_SHARES, &SharesPageProc);
}

}  // namespace vesk::ss
