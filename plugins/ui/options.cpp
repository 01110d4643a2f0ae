#include "plugins/ui/options.h"

#include <cstring>
#include <new>

#include "core/locks.h"
#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/centreOver.h"
#include "plugins/ui/listServices.h"

namespace vesk::ui {

namespace {

// A caller's text, read no further than the title field holds.
std::string BoundedTitle(const char* text) {
    if (!text)
        return std::string();
    return std::string(text, ::strnlen(text, VOptions::titleSize - 1));
}

// The notifications' texts differ between the two forms; the item data
// sits at the same place in both.
bool IsSelectionChange(UINT code) {
    return code == TVN_SELCHANGEDA || code == TVN_SELCHANGEDW;
}
bool IsEndLabelEdit(UINT code) {
    return code == TVN_ENDLABELEDITA || code == TVN_ENDLABELEDITW;
}

INT_PTR Answer(HWND dialog, LONG_PTR result) {
    ::SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace

VOptions::VOptions(Ilock* lock) : lock_(lock) {
    if (lock_)
        lock_->addRef();
    registerInterfaceOf<IOptions>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
}

VOptions::~VOptions() {
    if (dialog_ && OnWindowThread(dialog_))
        ::DestroyWindow(dialog_);
    if (icon_)
        ::DestroyIcon(icon_);
    if (lock_)
        lock_->release();
}

UINT VOptions::WorkMessage() {
    static const UINT message = ::RegisterWindowMessageA("vesk::ui::VOptions add page");
    return message;
}

bool VOptions::OnGuiThread() const {
    if (dialog_)
        return OnWindowThread(dialog_);
    HWND frame = FrameWindow();
    return !frame || OnWindowThread(frame);
}

int VOptions::Create() {
    if (dialog_)
        return 1;
    IUIControl* control = ListServices().control;
    if (!control || !OnGuiThread())
        return 0;
    HWND made = ::CreateDialogParamA(control->GetResourceInstance(), MAKEINTRESOURCEA(IDD_UIO_OPTIONS),
                                     FrameWindow(), &VOptions::DialogProc, reinterpret_cast<LPARAM>(this));
    if (!made)
        return 0;
    if (IFrameWnd* frame = ListServices().frame)
        frame->SetDialogHandle(made);
    icon_ = static_cast<HICON>(::LoadImageA(control->GetDefaultResourceInstance(),
                                            MAKEINTRESOURCEA(IDI_UIO_OPTIONS), IMAGE_ICON, 16, 16, 0));
    if (icon_)
        ::SendMessageA(made, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    tree_ = ::GetDlgItem(made, IDC_UIO_PAGE_TREE);
    pageArea_ = ::GetDlgItem(made, IDC_UIO_PAGE_AREA);
    ::SetWindowLongPtrA(made, GWL_STYLE,
                        ::GetWindowLongPtrA(made, GWL_STYLE) & ~static_cast<LONG_PTR>(DS_SYSMODAL));
    if (tree_) {
        ::SendMessageA(tree_, TVM_SETINDENT, 10, 0);
        ::SendMessageA(tree_, TVM_SETBKCOLOR, 0, 0xFFFFFF);
        ::SendMessageA(tree_, TVM_SETLINECOLOR, 0, 0x646464);
        ::SendMessageA(tree_, TVM_SETTEXTCOLOR, 0, 0);
        ::SendMessageA(tree_, TVM_SETIMAGELIST, TVSIL_NORMAL,
                       reinterpret_cast<LPARAM>(control->GetSmallImageList()));
    }
    generalTitle_ = LanguageText(IDS_UIO_GENERAL, static_cast<int>(titleSize));
    lockGuard hold(lock_);
    dialog_ = made;
    PlaceWaitingLocked();
    return 1;
}

HTREEITEM VOptions::AddPage(const char* title, const char* parentTitle, int image, int dialogId,
                            HINSTANCE module, DLGPROC procedure) {
    // Copied at once: callers reuse their buffers for the next page.
    pageRequest request;
    request.title = BoundedTitle(title);
    if (request.title.empty())
        return nullptr;
    request.parent = BoundedTitle(parentTitle);
    request.image = image;
    request.dialogId = dialogId;
    request.module = module;
    request.procedure = procedure;
    HWND dialog;
    {
        lockGuard hold(lock_);
        if (!dialog_)
            return QueueLocked(request);
        dialog = dialog_;
    }
    if (OnWindowThread(dialog))
        return AddOnGuiThread(request);
    // A dialog gone meanwhile answers nothing: the send gives 0.
    return reinterpret_cast<HTREEITEM>(
        SendToGuiThread(dialog, WorkMessage(), reinterpret_cast<LPARAM>(&request)));
}

int VOptions::Show() {
    if (!dialog_)
        Create();
    if (!dialog_)
        return 0;
    // Made with the layout, before the main window took its place: placed
    // each time it opens.
    if (!::IsWindowVisible(dialog_))
        CentreOver(dialog_, FrameWindow());
    return ::ShowWindow(dialog_, SW_SHOW);
}

int VOptions::Hide() {
    return dialog_ ? ::ShowWindow(dialog_, SW_HIDE) : 0;
}

bool VOptions::Select(HTREEITEM item) {
    return tree_ && item &&
           ::SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0;
}

std::size_t VOptions::WaitingCount() {
    lockGuard hold(lock_);
    return waiting_.size();
}

HTREEITEM VOptions::AddOnGuiThread(const pageRequest& request) {
    lockGuard hold(lock_);
    HTREEITEM item = AddLocked(request);
    PlaceWaitingLocked();
    return item;
}

HTREEITEM VOptions::AddLocked(const pageRequest& request) {
    if (!dialog_)
        return QueueLocked(request);
    auto present = titles_.find(request.title);
    if (request.parent.empty()) {
        if (present != titles_.end())
            return nullptr;
        return InsertLocked(request, TVI_ROOT);
    }
    auto parent = titles_.find(request.parent);
    if (parent == titles_.end())
        return QueueLocked(request);
    if (present != titles_.end() && reinterpret_cast<HTREEITEM>(::SendMessageA(
                                        tree_, TVM_GETNEXTITEM, TVGN_PARENT,
                                        reinterpret_cast<LPARAM>(present->second))) == parent->second)
        return nullptr;
    HTREEITEM item = InsertLocked(request, parent->second);
    ::SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent->second));
    return item;
}

HTREEITEM VOptions::QueueLocked(const pageRequest& request) {
    if (!request.parent.empty()) {
        for (const pageRequest& other : waiting_)
            if (other.title == request.title && other.parent == request.parent)
                return nullptr;
    }
    waiting_.push_back(request);
    return nullptr;
}

HTREEITEM VOptions::InsertLocked(const pageRequest& request, HTREEITEM parent) {
    pages_.push_back(pageRecord{request, nullptr});
    pageRecord& record = pages_.back();
    if (!record.request.module && ListServices().control)
        record.request.module = ListServices().control->GetResourceInstance();
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_SORT;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(record.request.title.c_str());
    insert.item.iImage = request.image;
    insert.item.iSelectedImage = request.image;
    insert.item.lParam = reinterpret_cast<LPARAM>(&record);
    auto item = reinterpret_cast<HTREEITEM>(
        ::SendMessageA(tree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    if (!item) {
        pages_.pop_back();
        return nullptr;
    }
    titles_[record.request.title] = item;
    return item;
}

std::size_t VOptions::PlaceWaitingLocked() {
    std::size_t count = waiting_.size();
    if (!dialog_ || count == 0)
        return count;
    for (;;) {
        // A request whose parent is still missing goes back to the end.
        for (std::size_t i = 0; i < count && !waiting_.empty(); ++i) {
            pageRequest request = waiting_.front();
            waiting_.pop_front();
            AddLocked(request);
        }
        std::size_t left = waiting_.size();
        if (left == count)
            return left;
        count = left;
    }
}

INT_PTR CALLBACK VOptions::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG)
        ::SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
    auto* self = reinterpret_cast<VOptions*>(::GetWindowLongPtrA(dialog, GWLP_USERDATA));
    if (!self)
        return 0;
    if (message == WorkMessage()) {
        if (!lParam)
            return Answer(dialog, 0);
        HTREEITEM item = self->AddOnGuiThread(*reinterpret_cast<const pageRequest*>(lParam));
        return Answer(dialog, reinterpret_cast<LONG_PTR>(item));
    }
    return self->OnMessage(message, wParam, lParam);
}

INT_PTR VOptions::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SHOWWINDOW:
            if (currentPage_)
                ::SendMessageA(currentPage_, WM_SHOWWINDOW, 0, 0);
            return 0;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (!header || header->hwndFrom != tree_)
                return 0;
            if (IsSelectionChange(header->code))
                OnSelectionChanged(*reinterpret_cast<const NMTREEVIEWA*>(lParam));
            else if (IsEndLabelEdit(header->code))
                return Answer(dialog_, 1);
            return 0;
        }
        case WM_COMMAND:
            if (wParam != IDOK && wParam != IDC_UIO_APPLY && wParam != IDCANCEL)
                return 0;
            OnPageCommand(wParam);
            return 1;
        case WM_DESTROY: {
            // Only the frame's end destroys the dialog; its pages go with it.
            IFrameWnd* frame = ListServices().frame;
            if (frame && frame->GetDialogHandle() == dialog_)
                frame->SetDialogHandle(nullptr);
            lockGuard hold(lock_);
            dialog_ = tree_ = pageArea_ = currentPage_ = nullptr;
            titles_.clear();
            pages_.clear();
            return 0;
        }
        default:
            return 0;
    }
}

void VOptions::OnSelectionChanged(const NMTREEVIEWA& change) {
    RECT area = {};
    if (pageArea_ && ::GetWindowRect(pageArea_, &area))
        ::MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&area), 2);
    ::OffsetRect(&area, 5, 15);
    if (currentPage_)
        ::ShowWindow(currentPage_, SW_HIDE);
    currentPage_ = nullptr;
    auto* record = reinterpret_cast<pageRecord*>(change.itemNew.lParam);
    if (!record)
        return;
    const pageRequest& page = record->request;
    if (page.dialogId != 0) {
        if (!record->window)
            record->window = ::CreateDialogParamA(page.module, MAKEINTRESOURCEA(page.dialogId), dialog_,
                                                  page.procedure, 0);
        currentPage_ = record->window;
        if (currentPage_) {
            ::SetWindowPos(currentPage_, HWND_TOP, area.left, area.top, area.right - area.left,
                           area.bottom - area.top - 20, 0);
            ::ShowWindow(currentPage_, SW_SHOW);
        }
    }
    if (pageArea_)
        ::SetWindowTextA(pageArea_, page.title.c_str());
}

void VOptions::OnPageCommand(WPARAM command) {
    HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    // By index: a page may add pages while it handles the command.
    for (std::size_t i = 0; i < pages_.size(); ++i)
        if (pages_[i].window)
            ::SendMessageA(pages_[i].window, WM_COMMAND, command, 0);
    if (command == IDOK || command == IDCANCEL)
        ::ShowWindow(dialog_, SW_HIDE);
    ::SetCursor(previous);
}

VOptions* CreateOptions() {
    // The core library's own spin lock: the dialog object is made at
    // registration, before the module has its factory at hand.
    auto* lock = new (std::nothrow) capsule<spinLock>();
    if (!lock)
        return nullptr;
    lock->addRef();
    VOptions* options = new (std::nothrow) capsule_core<VOptions>(lock);
    lock->release();  // the dialog holds its own reference
    return options;
}

}  // namespace vesk::ui
