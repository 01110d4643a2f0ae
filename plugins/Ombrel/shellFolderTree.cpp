#include "plugins/Ombrel/shellFolderTree.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <vector>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/Ombrel/shareManager.h"

namespace vesk::ss {

struct shellFolderTree::folderItem {
    IShellFolder* parent = nullptr;  // one reference
    LPITEMIDLIST child = nullptr;    // the id in its parent; owned
    LPITEMIDLIST whole = nullptr;    // the id from the desktop; owned
    std::string path;                // lower case, trailing backslash; empty when none
    int image = 0;                   // the shell's icons
    int openImage = 0;

    ~folderItem() {
        if (parent)
            parent->Release();
        CoTaskMemFree(child);
        CoTaskMemFree(whole);
    }
};

namespace {

constexpr int childrenUnknown = 1;

// A file-system path with a trailing backslash, or empty.
std::string pathOfId(LPCITEMIDLIST whole) {
    char path[MAX_PATH] = {};
    if (!whole || !SHGetPathFromIDListA(whole, path) || !*path)
        return "";
    std::string normal;
    return CShareManager::Normalise(path, normal) ? normal : "";
}

LPITEMIDLIST combine(LPCITEMIDLIST folder, LPCITEMIDLIST child) {
    return folder ? ILCombine(folder, child) : ILClone(child);
}

int addIcon(HIMAGELIST list, HICON icon) {
    int index = icon ? ImageList_AddIcon(list, icon) : -1;
    if (icon)
        DestroyIcon(icon);
    return index;
}

}  // namespace

shellFolderTree::shellFolderTree(HWND tree, CShareManager* shares) : tree_(tree), shares_(shares) {}

shellFolderTree::~shellFolderTree() {
    Close();
}

void shellFolderTree::Close() {
    // Deleting the items frees their shell data (TVN_DELETEITEM).
    if (tree_ && IsWindow(tree_)) {
        TreeView_DeleteAllItems(tree_);
        TreeView_SetImageList(tree_, nullptr, TVSIL_NORMAL);
        TreeView_SetImageList(tree_, nullptr, TVSIL_STATE);
    }
    if (images_)
        ImageList_Destroy(images_);
    if (states_)
        ImageList_Destroy(states_);
    if (desktop_)
        desktop_->Release();
    if (comStarted_)
        CoUninitialize();
    images_ = states_ = nullptr;
    desktop_ = nullptr;
    comStarted_ = false;
    imageByLocation_.clear();
}

bool shellFolderTree::Open(HINSTANCE defaults) {
    if (desktop_)
        return true;
    comStarted_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    int width = GetSystemMetrics(SM_CXSMICON), height = GetSystemMetrics(SM_CYSMICON);
    images_ = ImageList_Create(width, height, ILC_COLORDDB | ILC_MASK, 16, 16);
    if (images_) {
        ImageList_SetBkColor(images_, RGB(255, 255, 255));
        auto load = [&](int id) {
            return static_cast<HICON>(LoadImageA(defaults, MAKEINTRESOURCEA(id), IMAGE_ICON, width, height, 0));
        };
        addIcon(images_, load(IDI_SS_FOLDER));  // image 0, for a folder the shell has no icon for
        int shared = addIcon(images_, load(IDI_SS_SHARED_FOLDER));
        sharedImage_ = shared < 0 ? 0 : shared;
        TreeView_SetImageList(tree_, images_, TVSIL_NORMAL);
    }
    states_ = ImageList_LoadImageA(defaults, MAKEINTRESOURCEA(IDB_SS_SHARE_STATES), width, 0, CLR_DEFAULT,
                                   IMAGE_BITMAP, LR_CREATEDIBSECTION);
    if (states_)
        TreeView_SetImageList(tree_, states_, TVSIL_STATE);
    if (FAILED(SHGetDesktopFolder(&desktop_)))
        desktop_ = nullptr;
    return desktop_ != nullptr;
}

void shellFolderTree::Rebuild() {
    TreeView_DeleteAllItems(tree_);
    if (desktop_)
        fill(TVI_ROOT, desktop_, nullptr);
}

shellFolderTree::folderItem* shellFolderTree::itemData(HTREEITEM item) const {
    TVITEMA tv = {};
    tv.mask = TVIF_PARAM | TVIF_HANDLE;
    tv.hItem = item;
    if (!item || !TreeView_GetItem(tree_, &tv))
        return nullptr;
    return reinterpret_cast<folderItem*>(tv.lParam);
}

void shellFolderTree::Expand(HTREEITEM item) {
    folderItem* data = itemData(item);
    if (!data || TreeView_GetChild(tree_, item))
        return;
    IShellFolder* folder = nullptr;
    if (SUCCEEDED(data->parent->BindToObject(data->child, nullptr, IID_IShellFolder,
                                             reinterpret_cast<void**>(&folder))) &&
        folder) {
        fill(item, folder, data->whole);
        folder->Release();
    }
}

void shellFolderTree::Collapse(HTREEITEM item) {
    while (HTREEITEM child = TreeView_GetChild(tree_, item))
        TreeView_DeleteItem(tree_, child);
    // Filled again at the next expansion, which then notifies again.
    TVITEMA tv = {};
    tv.mask = TVIF_STATE | TVIF_HANDLE | TVIF_CHILDREN;
    tv.hItem = item;
    tv.stateMask = TVIS_EXPANDEDONCE | TVIS_EXPANDED;
    tv.cChildren = childrenUnknown;
    TreeView_SetItem(tree_, &tv);
}

void shellFolderTree::Forget(LPARAM itemData) {
    delete reinterpret_cast<folderItem*>(itemData);
}

void shellFolderTree::fill(HTREEITEM parent, IShellFolder* folder, LPCITEMIDLIST folderId) {
    IEnumIDList* children = nullptr;
    if (FAILED(folder->EnumObjects(GetParent(tree_), SHCONTF_FOLDERS, &children)) || !children)
        return;
    std::vector<HTREEITEM> toExpand;
    LPITEMIDLIST child = nullptr;
    ULONG got = 0;
    while (children->Next(1, &child, &got) == S_OK && child) {
        SFGAOF attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR;
        LPCITEMIDLIST one = child;
        bool wanted = SUCCEEDED(folder->GetAttributesOf(1, &one, &attributes)) && (attributes & SFGAO_FOLDER) &&
                      (attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR));
        HTREEITEM item = wanted ? insert(parent, folder, folderId, child) : nullptr;  // takes child
        if (!wanted)
            CoTaskMemFree(child);
        if (item && (parent == TVI_ROOT || StateOf(item) == stateHoldsShare))
            toExpand.push_back(item);
        child = nullptr;
    }
    children->Release();
    for (HTREEITEM item : toExpand) {
        Expand(item);
        TreeView_Expand(tree_, item, TVE_EXPAND);
    }
}

HTREEITEM shellFolderTree::insert(HTREEITEM parent, IShellFolder* folder, LPCITEMIDLIST folderId,
                                  LPITEMIDLIST child) {
    auto* data = new folderItem;
    data->parent = folder;
    folder->AddRef();
    data->child = child;
    data->whole = combine(folderId, child);
    data->path = pathOfId(data->whole);
    data->image = shellImage(data->whole, 0);
    data->openImage = shellImage(data->whole, SHGFI_OPENICON);

    char name[MAX_PATH] = {};
    STRRET shown = {};
    if (FAILED(folder->GetDisplayNameOf(child, SHGDN_INFOLDER, &shown)) ||
        FAILED(StrRetToBufA(&shown, child, name, MAX_PATH)))
        lstrcpynA(name, "?", MAX_PATH);
    SFGAOF attributes = SFGAO_HASSUBFOLDER;
    LPCITEMIDLIST one = child;
    bool hasChildren = SUCCEEDED(folder->GetAttributesOf(1, &one, &attributes)) && (attributes & SFGAO_HASSUBFOLDER);
    int state = data->path.empty() ? stateNone : stateFor(data->path);

    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN | TVIF_STATE;
    insert.item.pszText = name;
    insert.item.iImage = state == stateShared ? sharedImage_ : data->image;
    insert.item.iSelectedImage = state == stateShared ? sharedImage_ : data->openImage;
    insert.item.cChildren = hasChildren ? 1 : 0;
    insert.item.lParam = reinterpret_cast<LPARAM>(data);
    insert.item.state = INDEXTOSTATEIMAGEMASK(state);
    insert.item.stateMask = TVIS_STATEIMAGEMASK;
    HTREEITEM item = TreeView_InsertItem(tree_, &insert);
    if (!item)
        delete data;
    return item;
}

int shellFolderTree::shellImage(LPCITEMIDLIST id, UINT flags) {
    if (!images_ || !id)
        return 0;
    SHFILEINFOA info = {};
    auto pidl = reinterpret_cast<LPCSTR>(id);
    std::string location;
    if (SHGetFileInfoA(pidl, 0, &info, sizeof info, SHGFI_PIDL | SHGFI_ICONLOCATION | flags) && info.szDisplayName[0])
        location = std::string(info.szDisplayName) + "," + std::to_string(info.iIcon);
    if (!location.empty()) {
        auto known = imageByLocation_.find(location);
        if (known != imageByLocation_.end())
            return known->second;
    }
    info = SHFILEINFOA{};
    if (!SHGetFileInfoA(pidl, 0, &info, sizeof info, SHGFI_PIDL | SHGFI_ICON | SHGFI_SMALLICON | flags))
        return 0;
    int index = addIcon(images_, info.hIcon);
    if (index < 0)
        return 0;
    if (!location.empty())
        imageByLocation_[location] = index;
    return index;
}

int shellFolderTree::stateFor(const std::string& path) const {
    if (!shares_)
        return stateNotShared;
    int state = stateNotShared;
    for (const auto& share : shares_->Shares()) {
        if (share.first == path)
            return stateShared;
        if (share.first.size() > path.size() && share.first.compare(0, path.size(), path) == 0)
            state = stateHoldsShare;
    }
    return state;
}

std::string shellFolderTree::PathOf(HTREEITEM item) const {
    return PathOfItem(tree_, item);
}

std::string shellFolderTree::PathOfItem(HWND tree, HTREEITEM item) {
    TVITEMA tv = {};
    tv.mask = TVIF_PARAM | TVIF_HANDLE;
    tv.hItem = item;
    if (!item || !TreeView_GetItem(tree, &tv) || !tv.lParam)
        return "";
    return reinterpret_cast<folderItem*>(tv.lParam)->path;
}

int shellFolderTree::StateOf(HTREEITEM item) const {
    return static_cast<int>((TreeView_GetItemState(tree_, item, TVIS_STATEIMAGEMASK) & TVIS_STATEIMAGEMASK) >> 12);
}

void shellFolderTree::SetState(HTREEITEM item, int state) {
    folderItem* data = itemData(item);
    if (!data)
        return;
    TVITEMA tv = {};
    tv.mask = TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
    tv.hItem = item;
    tv.state = INDEXTOSTATEIMAGEMASK(state);
    tv.stateMask = TVIS_STATEIMAGEMASK;
    tv.iImage = state == stateShared ? sharedImage_ : data->image;
    tv.iSelectedImage = state == stateShared ? sharedImage_ : data->openImage;
    TreeView_SetItem(tree_, &tv);
}

bool shellFolderTree::Rename(HTREEITEM item, const char* name) {
    folderItem* data = itemData(item);
    if (!data || !name || !*name)
        return false;
    wchar_t wide[MAX_PATH] = {};
    if (!MultiByteToWideChar(CP_ACP, 0, name, -1, wide, MAX_PATH))
        return false;
    LPITEMIDLIST renamed = nullptr;
    if (FAILED(data->parent->SetNameOf(GetParent(tree_), data->child, wide, SHGDN_INFOLDER, &renamed)))
        return false;
    if (renamed) {
        // The folder's identity changed with its name.
        LPITEMIDLIST folderId = ILClone(data->whole);
        if (folderId)
            ILRemoveLastID(folderId);
        LPITEMIDLIST whole = folderId ? ILCombine(folderId, renamed) : nullptr;
        CoTaskMemFree(folderId);
        if (whole) {
            CoTaskMemFree(data->child);
            CoTaskMemFree(data->whole);
            data->child = renamed;
            data->whole = whole;
            data->path = pathOfId(whole);
        } else {
            CoTaskMemFree(renamed);
        }
    }
    Collapse(item);  // children named by the old identity go
    return true;
}

bool shellFolderTree::ShowMenu(HTREEITEM item, HWND owner, POINT at, int (*choose)(HWND, HMENU, POINT)) {
    folderItem* data = itemData(item);
    if (!data || !choose)
        return false;
    IContextMenu* menu = nullptr;
    LPCITEMIDLIST one = data->child;
    if (FAILED(data->parent->GetUIObjectOf(owner, 1, &one, IID_IContextMenu, nullptr,
                                           reinterpret_cast<void**>(&menu))) ||
        !menu)
        return false;
    constexpr UINT firstCommand = 1, lastCommand = 0x7FFF;
    HMENU popup = CreatePopupMenu();
    bool shown = false;
    if (popup && SUCCEEDED(menu->QueryContextMenu(popup, 0, firstCommand, lastCommand, CMF_EXPLORE))) {
        shown = true;
        int command = choose(owner, popup, at);
        if (command >= static_cast<int>(firstCommand)) {
            CMINVOKECOMMANDINFO invoke = {};
            invoke.cbSize = sizeof invoke;
            invoke.hwnd = owner;
            invoke.lpVerb = MAKEINTRESOURCEA(command - firstCommand);
            invoke.nShow = SW_SHOWNORMAL;
            menu->InvokeCommand(&invoke);
        }
    }
    if (popup)
        DestroyMenu(popup);
    menu->Release();
    return shown;
}

}  // namespace vesk::ss
