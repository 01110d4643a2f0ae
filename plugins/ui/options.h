// vesk::ui::VOptions: the options dialog, a page tree on the left and the
// selected page on the right. Modules add pages from any thread; a page
// asked for before the dialog or its parent page exists waits in a queue.
// The dialog, its tree and every page window belong to the GUI thread (the
// frame's): another thread's AddPage is carried out there through one sent
// message, and the page lock is never held across that send.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <deque>
#include <map>
#include <string>

#include "core/capsule.h"
#include "vesk/lock.h"
#include "vesk/ui.h"

namespace vesk::ui {

class VOptions : public objectBase, public IOptions, public IcoreObject {
public:
    // Titles are kept to this many characters (and the terminator).
    static constexpr std::size_t titleSize = 64;

    // lock: the page lock (one reference taken).
    explicit VOptions(Ilock* lock);
    ~VOptions();

    // On the GUI thread only; elsewhere nothing is made and 0 is returned.
    int Create() override;
    HTREEITEM AddPage(const char* title, const char* parentTitle, int image, int dialogId, HINSTANCE module,
                      DLGPROC procedure) override;
    int Show() override;
    int Hide() override;

    // Text 236 of the language module, read by Create: the General page's
    // title.
    const char* GeneralTitle() const { return generalTitle_.c_str(); }
    HWND Dialog() const { return dialog_; }
    HWND Tree() const { return tree_; }
    HWND CurrentPage() const { return currentPage_; }
    // Selects a page's item; false for an item not in the tree.
    bool Select(HTREEITEM item);
    // The number of requests waiting for the dialog or their parent.
    std::size_t WaitingCount();

private:
    struct pageRequest {
        std::string title;
        std::string parent;  // empty: a root page
        int image = 0;
        int dialogId = 0;
        HINSTANCE module = nullptr;
        DLGPROC procedure = nullptr;
    };
    // A page in the tree; its item carries the record's address.
    struct pageRecord {
        pageRequest request;
        HWND window = nullptr;  // made when the page is first selected
    };

    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static UINT WorkMessage();
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnGuiThread() const;
    HTREEITEM AddOnGuiThread(const pageRequest& request);

    // With the lock held.
    HTREEITEM AddLocked(const pageRequest& request);
    HTREEITEM QueueLocked(const pageRequest& request);
    HTREEITEM InsertLocked(const pageRequest& request, HTREEITEM parent);
    std::size_t PlaceWaitingLocked();

    void OnSelectionChanged(const NMTREEVIEWA& change);
    void OnPageCommand(WPARAM command);

    Ilock* lock_;  // one reference
    HWND dialog_ = nullptr;
    HWND tree_ = nullptr;
    HWND pageArea_ = nullptr;
    HWND currentPage_ = nullptr;
    HICON icon_ = nullptr;
    std::string generalTitle_;
    std::deque<pageRecord> pages_;  // in the order added; addresses stay put
    std::map<std::string, HTREEITEM> titles_;
    std::deque<pageRequest> waiting_;
};

// A new options dialog object (a core object: releaseCore ends it); null
// when memory runs out. Needs nothing of ListServices() until Create.
VOptions* CreateOptions();

}  // namespace vesk::ui
