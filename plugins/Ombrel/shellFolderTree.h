// The shares page's tree of the shell's folders: one item per folder that
// is a file-system folder or holds some, with the folder's shell icons and
// a state image that tells whether the share list holds it.
//
// Each item carries its shell identity (its parent folder, its own item id
// and the whole id), freed when the item goes. GUI thread only.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <map>
#include <string>

namespace vesk::ss {

class CShareManager;

// State image indexes of bitmap 106.
enum shareState : int { stateNone = 0, stateNotShared = 1, stateShared = 2, stateHoldsShare = 3 };

class shellFolderTree {
public:
    // The tree control (not owned) and the share list (not owned).
    shellFolderTree(HWND tree, CShareManager* shares);
    ~shellFolderTree();
    shellFolderTree(const shellFolderTree&) = delete;
    shellFolderTree& operator=(const shellFolderTree&) = delete;

    // Empties the tree (its items' shell data freed), lets go of the image
    // lists and the desktop folder. The destructor does it too.
    void Close();
    // Binds to the desktop folder and sets up the image lists; false when
    // the shell gives no desktop folder (the tree then stays empty).
    bool Open(HINSTANCE defaults);
    // Empties the tree and fills the top level again (top-level items and
    // those holding a share expanded).
    void Rebuild();
    // Fills the item's children (when it has none) or removes them.
    void Expand(HTREEITEM item);
    void Collapse(HTREEITEM item);
    // Frees the shell data of an item that goes (TVN_DELETEITEM).
    static void Forget(LPARAM itemData);

    // The folder's path, lower case with a trailing backslash; empty for a
    // folder without one.
    std::string PathOf(HTREEITEM item) const;
    // The same for an item of any tree this class filled.
    static std::string PathOfItem(HWND tree, HTREEITEM item);
    int StateOf(HTREEITEM item) const;
    // Sets the state image; a shared folder also shows the shared icon.
    void SetState(HTREEITEM item, int state);

    // Gives the folder the new name through the shell; the item then takes
    // the identity the shell returns. False when the shell refused.
    bool Rename(HTREEITEM item, const char* name);
    // The shell's context menu of the folder: shown through choose, the
    // chosen command carried out. False without a menu.
    bool ShowMenu(HTREEITEM item, HWND owner, POINT at, int (*choose)(HWND, HMENU, POINT));

private:
    struct folderItem;
    void fill(HTREEITEM parent, IShellFolder* folder, LPCITEMIDLIST folderId);
    HTREEITEM insert(HTREEITEM parent, IShellFolder* folder, LPCITEMIDLIST folderId, LPITEMIDLIST child);
    int shellImage(LPCITEMIDLIST id, UINT flags);
    int stateFor(const std::string& path) const;
    folderItem* itemData(HTREEITEM item) const;

    HWND tree_;
    CShareManager* shares_;
    IShellFolder* desktop_ = nullptr;  // one reference held
    HIMAGELIST images_ = nullptr;      // owned
    HIMAGELIST states_ = nullptr;      // owned
    int sharedImage_ = 0;              // icon 143 in images_
    std::map<std::string, int> imageByLocation_;  // icon file and index -> image in images_
    bool comStarted_ = false;
};

}  // namespace vesk::ss
