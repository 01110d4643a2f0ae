#include "plugins/Dravik/wnd.h"

#include <cstring>

#include "plugins/Dravik/section.h"
#include "plugins/Dravik/windowBinding.h"

namespace vesk::ui {

HINSTANCE g_DLLhInstance = nullptr;
std::map<std::string, ATOM> VWnd::m_mWndClasses;

namespace {

// Guards m_mWndClasses and the instance each class was registered under.
criticalSection& classLock() {
    static criticalSection* lock = new criticalSection();
    return *lock;
}

std::map<std::string, HINSTANCE>& classInstances() {
    static std::map<std::string, HINSTANCE> instances;
    return instances;
}

HWND descendantWithId(HWND window, int id) {
    if (HWND direct = ::GetDlgItem(window, id)) {
        if (::GetTopWindow(direct))
            if (HWND deeper = descendantWithId(direct, id))
                return deeper;
        return direct;
    }
    for (HWND child = ::GetTopWindow(window); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (HWND found = descendantWithId(child, id))
            return found;
    return nullptr;
}

void sendToDescendants(HWND window, UINT message, WPARAM wParam, LPARAM lParam, BOOL deep) {
    for (HWND child = ::GetTopWindow(window); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        ::SendMessageA(child, message, wParam, lParam);
        if (deep && ::GetTopWindow(child))
            sendToDescendants(child, message, wParam, lParam, deep);
    }
}

// The position on one axis of a window of the given length centred on
// [centreFrom, centreTo) and kept inside [low, high), low edge first.
int centredIn(int centreFrom, int centreTo, int length, int low, int high) {
    int position = (centreFrom + centreTo) / 2 - length / 2;
    if (position < low)
        position = low;
    else if (position + length > high)
        position = high - length;
    return position;
}

}  // namespace

IWnd* ObjectOfWindow(HWND window) { return boundObject(window); }

VWnd::VWnd(HWND window) : hWnd_(window) {
    registerInterfaceOf<IWndEvents>(this);
    registerInterfaceOf<IWnd>(this);
    registerInterfaceOf<Igeneric>(this);
}

VWnd::VWnd(const VWnd& other)
    : VWndEvents(other),
      IWnd(),
      hWnd_(other.hWnd_),
      parent_(other.parent_),
      hInstance_(other.hInstance_),
      defaultRect_(other.defaultRect_),
      placement_(other.placement_),
      children_(other.children_) {
    registerInterfaceOf<IWndEvents>(this);
    registerInterfaceOf<IWnd>(this);
    registerInterfaceOf<Igeneric>(this);
}

VWnd& VWnd::operator=(const VWnd& other) {
    if (this == &other)
        return *this;
    VWndEvents::operator=(other);
    hWnd_ = other.hWnd_;
    parent_ = other.parent_;
    hInstance_ = other.hInstance_;
    defaultRect_ = other.defaultRect_;
    placement_ = other.placement_;
    children_ = other.children_;
    return *this;
}

VWnd::~VWnd() { unbindObject(this); }

VWnd& VWnd::operator=(HWND window) {
    hWnd_ = window;
    return *this;
}

LONG_PTR VWnd::Attach(IWnd* object) { return bindObject(hWnd_, object); }

void VWnd::Attach(HWND window) {
    if (!window || !::IsWindow(window))
        return;
    hWnd_ = window;
    bindObject(window, this);
}

HWND VWnd::Detach() {
    HWND window = hWnd_;
    hWnd_ = nullptr;
    return window;
}

ATOM VWnd::Register(const char* className, UINT classStyle, HICON icon, HICON smallIcon, HBRUSH background,
                    WNDPROC procedure) {
    if (!className)
        return 0;
    if (classStyle == 0)
        classStyle = CS_DBLCLKS | CS_CLASSDC;
    // Windows are looked up by class name and instance together: the class
    // goes under the instance its windows are made with, and again when that
    // instance changed (SetModuleHandle after a first window).
    HINSTANCE instance = GetModuleInstance();
    sectionGuard guard(classLock());
    auto known = m_mWndClasses.find(className);
    if (known != m_mWndClasses.end() && known->second && classInstances()[className] == instance)
        return known->second;
    WNDCLASSEXA description = {};
    description.cbSize = sizeof(description);
    description.style = classStyle;
    description.lpfnWndProc = procedure;
    description.cbWndExtra = 4;
    description.hInstance = instance;
    description.hIcon = icon;
    description.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    description.hbrBackground = background;
    description.lpszClassName = className;
    description.hIconSm = smallIcon;
    ATOM atom = ::RegisterClassExA(&description);
    if (!atom && ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS) {
        // Registered under this instance before the instance changed away
        // and back: the platform still has it.
        WNDCLASSEXA existing = {};
        existing.cbSize = sizeof(existing);
        atom = static_cast<ATOM>(::GetClassInfoExA(instance ? instance : ::GetModuleHandleA(nullptr), className,
                                                   &existing));
    }
    if (!atom)
        return 0;
    m_mWndClasses[className] = atom;
    classInstances()[className] = instance;
    return atom;
}

HWND VWnd::CreateBound(const char* className, HWND parent, const RECT* rect, const char* title, DWORD style,
                       DWORD exStyle, HMENU menuOrId, void* param) {
    IWnd* parentObject = ObjectOfWindow(parent);
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT, width = CW_USEDEFAULT, height = CW_USEDEFAULT;
    if (rect) {
        x = rect->left;
        y = rect->top;
        width = rect->right - rect->left;
        height = rect->bottom - rect->top;
    }
    // Bound after creation: messages sent while the window is made get the
    // default processing.
    HWND made = ::CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menuOrId,
                                  GetModuleInstance(), param ? param : static_cast<void*>(Self()));
    hWnd_ = made;
    if (!made)
        return nullptr;
    parent_ = parentObject;
    Attach(made);
    if (parentObject)
        parentObject->OnChildAttached(this);
    return made;
}

HWND VWnd::Create(const char* className, HWND parent, RECT* rect, const char* title, DWORD style, DWORD exStyle,
                  HMENU menu, void* param) {
    return CreateBound(className, parent, rect, title, style, exStyle, menu, param);
}

HWND VWnd::Create(const char* className, HWND parent, RECT& rect, const char* title, DWORD style, DWORD exStyle,
                  UINT controlId, void* param) {
    return CreateBound(className, parent, &rect, title, style, exStyle,
                       reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId)), param);
}

LONG_PTR VWnd::SetWindowClassPtr(IWnd* object) { return bindObject(hWnd_, object); }

int VWnd::DestroyWindow() {
    if (!hWnd_ || !::IsWindow(hWnd_) || !::DestroyWindow(hWnd_))
        return 0;
    hWnd_ = nullptr;
    return 1;
}

int VWnd::OnChildAttached(IWnd* child) {
    if (child)
        children_[child->GetHandle()] = child;
    return 1;
}

int VWnd::OnChildDetach(IWnd* child) {
    if (!child)
        return 1;
    children_.erase(child->GetHandle());
    for (auto it = children_.begin(); it != children_.end();)
        it = it->second == child ? children_.erase(it) : ++it;
    return 1;
}

std::vector<IWnd*> VWnd::ChildObjects() const {
    std::vector<IWnd*> live;
    for (const auto& [window, child] : children_)
        if (ObjectOfWindow(window) == child)
            live.push_back(child);
    return live;
}

BOOL VWnd::AdjustWindowRectEx(RECT* rect) { return ::AdjustWindowRectEx(rect, GetStyle(), FALSE, GetExStyle()); }

DWORD VWnd::GetStyle(DWORD style) { return style ? style : GetStyle(); }
DWORD VWnd::GetStyle() { return static_cast<DWORD>(::GetWindowLongA(hWnd_, GWL_STYLE)); }
DWORD VWnd::GetExStyle(DWORD exStyle) { return exStyle ? exStyle : GetExStyle(); }
DWORD VWnd::GetExStyle() { return static_cast<DWORD>(::GetWindowLongA(hWnd_, GWL_EXSTYLE)); }

HWND VWnd::GetHandle() { return hWnd_; }

WNDPROC VWnd::SubclassWindowProc(WNDPROC procedure) {
    auto previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
    if (previous)
        rememberPreviousProc(hWnd_, previous);
    return previous;
}

LRESULT VWnd::SendMsg(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(window, message, wParam, lParam);
}
LRESULT VWnd::SendMsg(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(hWnd_, message, wParam, lParam);
}

void VWnd::SetFont(HFONT font, BOOL redraw) {
    ::SendMessageA(hWnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), MAKELPARAM(redraw, 0));
}
HFONT VWnd::GetFont() { return reinterpret_cast<HFONT>(::SendMessageA(hWnd_, WM_GETFONT, 0, 0)); }

BOOL VWnd::MoveWindow(const RECT* rect, BOOL repaint) {
    if (!rect)
        return FALSE;
    return ::MoveWindow(hWnd_, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

BOOL VWnd::SetWindowPos(HWND after, const RECT* rect, UINT flags) {
    if (!rect)
        return FALSE;
    return ::SetWindowPos(hWnd_, after, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
                          flags);
}

long VWnd::GetWidth() {
    RECT client;
    return ::GetClientRect(hWnd_, &client) ? client.right - client.left : 0;
}
long VWnd::GetHeight() {
    RECT client;
    return ::GetClientRect(hWnd_, &client) ? client.bottom - client.top : 0;
}

BOOL VWnd::ClientToScreen(RECT* rect) {
    auto* corners = reinterpret_cast<POINT*>(rect);
    if (!::ClientToScreen(hWnd_, &corners[0]))
        return FALSE;
    return ::ClientToScreen(hWnd_, &corners[1]);
}

BOOL VWnd::ScreenToClient(RECT* rect) {
    auto* corners = reinterpret_cast<POINT*>(rect);
    ::ScreenToClient(hWnd_, &corners[0]);
    ::ScreenToClient(hWnd_, &corners[1]);
    return TRUE;
}

int VWnd::MapWindowPoints(HWND to, RECT* rect) {
    return ::MapWindowPoints(hWnd_, to, reinterpret_cast<POINT*>(rect), 2);
}

void VWnd::Print(HDC dc, DWORD flags) {
    ::SendMessageA(hWnd_, WM_PRINT, reinterpret_cast<WPARAM>(dc), static_cast<LPARAM>(flags));
}
void VWnd::PrintClient(HDC dc, DWORD flags) {
    ::SendMessageA(hWnd_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), static_cast<LPARAM>(flags));
}

void VWnd::SetRedraw(BOOL redraw) { ::SendMessageA(hWnd_, WM_SETREDRAW, static_cast<WPARAM>(redraw), 0); }

BOOL VWnd::Invalidate(BOOL erase) { return ::InvalidateRect(hWnd_, nullptr, erase); }

BOOL VWnd::LockWindowUpdate(BOOL lock) { return ::LockWindowUpdate(lock ? hWnd_ : nullptr); }

UINT_PTR VWnd::SetTimer(UINT_PTR id, UINT milliseconds) { return ::SetTimer(hWnd_, id, milliseconds, nullptr); }

BOOL VWnd::CreateCaret(HBITMAP bitmap) { return ::CreateCaret(hWnd_, bitmap, 0, 0); }
BOOL VWnd::CreateSolidCaret(int width, int height) { return ::CreateCaret(hWnd_, nullptr, width, height); }
BOOL VWnd::CreateGrayCaret(int width, int height) {
    return ::CreateCaret(hWnd_, reinterpret_cast<HBITMAP>(1), width, height);
}

BOOL VWnd::DlgDirSelect(char* out, int size, int listId) { return ::DlgDirSelectExA(hWnd_, out, size, listId); }
BOOL VWnd::DlgDirSelectComboBox(char* out, int size, int comboId) {
    return ::DlgDirSelectComboBoxExA(hWnd_, out, size, comboId);
}

int VWnd::SetDlgCtrlID(int id) { return static_cast<int>(::SetWindowLongPtrA(hWnd_, GWLP_ID, id)); }

HWND VWnd::SetParent(IWnd* parent) {
    HWND previous = ::GetParent(hWnd_);
    if (parent)
        previous = ::SetParent(hWnd_, parent->GetHandle());
    parent_ = parent;
    return previous;
}

HWND VWnd::SetParent(HWND parent) {
    if (parent_)
        parent_->OnChildDetach(this);
    parent_ = ObjectOfWindow(parent);
    if (parent_)
        parent_->OnChildAttached(this);
    return ::SetParent(hWnd_, parent);
}

IWnd* VWnd::GetParentClass() { return parent_; }

HICON VWnd::SetIcon(HICON icon, BOOL big) {
    return reinterpret_cast<HICON>(
        ::SendMessageA(hWnd_, WM_SETICON, static_cast<WPARAM>(big), reinterpret_cast<LPARAM>(icon)));
}
HICON VWnd::GetIcon(BOOL big) {
    return reinterpret_cast<HICON>(::SendMessageA(hWnd_, WM_GETICON, static_cast<WPARAM>(big), 0));
}

int VWnd::SetHotKey(WORD virtualKey, WORD modifiers) {
    return static_cast<int>(::SendMessageA(hWnd_, WM_SETHOTKEY, MAKEWORD(virtualKey, modifiers), 0));
}
DWORD VWnd::GetHotKey() { return static_cast<DWORD>(::SendMessageA(hWnd_, WM_GETHOTKEY, 0, 0)); }

void VWnd::NextDlgCtrl() { ::SendMessageA(hWnd_, WM_NEXTDLGCTL, 0, 0); }
void VWnd::PrevDlgCtrl() { ::SendMessageA(hWnd_, WM_NEXTDLGCTL, 1, 0); }
void VWnd::GotoDlgCtrl(HWND control) {
    ::SendMessageA(hWnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), 1);
}

void VWnd::DragAcceptFiles(BOOL) {}

BOOL VWnd::ResizeClient(int width, int height, BOOL redraw) {
    RECT client;
    if (!::GetClientRect(hWnd_, &client))
        return FALSE;
    if (width != -1)
        client.right = width;
    if (height != -1)
        client.bottom = height;
    DWORD style = GetStyle();
    BOOL menu = !(style & WS_CHILD) && ::GetMenu(hWnd_) != nullptr;
    if (!::AdjustWindowRectEx(&client, style, menu, GetExStyle()))
        return FALSE;
    UINT flags = SWP_NOMOVE | SWP_NOZORDER | (redraw ? 0 : SWP_NOREDRAW);
    return ::SetWindowPos(hWnd_, nullptr, 0, 0, client.right - client.left, client.bottom - client.top, flags);
}

DWORD VWnd::GetWindowThreadID() { return ::GetWindowThreadProcessId(hWnd_, nullptr); }
DWORD VWnd::GetWindowProcessID() {
    DWORD process = 0;
    ::GetWindowThreadProcessId(hWnd_, &process);
    return process;
}

BOOL VWnd::IsParentDialog() {
    char name[8] = {};
    if (!::GetClassNameA(::GetParent(hWnd_), name, sizeof(name)))
        return FALSE;
    return std::strcmp(name, "#32770") == 0;
}

HWND VWnd::GetDescendantWindow(int id) { return descendantWithId(hWnd_, id); }

void VWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL deep) {
    sendToDescendants(hWnd_, message, wParam, lParam, deep);
}

BOOL VWnd::CenterWindow(HWND over) {
    DWORD style = GetStyle();
    bool child = (style & WS_CHILD) != 0;
    if (!over)
        over = child ? ::GetParent(hWnd_) : ::GetWindow(hWnd_, GW_OWNER);
    RECT own;
    if (!::GetWindowRect(hWnd_, &own))
        return FALSE;
    RECT area, centre;
    if (!child) {
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        if (over && ::IsWindowVisible(over) && !::IsIconic(over))
            ::GetWindowRect(over, &centre);
        else
            centre = area;
    } else {
        HWND parent = ::GetParent(hWnd_);
        ::GetClientRect(parent, &area);
        ::GetClientRect(over, &centre);
        ::MapWindowPoints(over, parent, reinterpret_cast<POINT*>(&centre), 2);
    }
    int width = own.right - own.left, height = own.bottom - own.top;
    int x = centredIn(centre.left, centre.right, width, area.left, area.right);
    int y = centredIn(centre.top, centre.bottom, height, area.top, area.bottom);
    return ::SetWindowPos(hWnd_, nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

BOOL modifyLong(HWND window, int index, DWORD remove, DWORD add, UINT flags) {
    DWORD old = static_cast<DWORD>(::GetWindowLongA(window, index));
    DWORD changed = (old & ~remove) | add;
    if (changed == old)
        return FALSE;
    ::SetWindowLongA(window, index, static_cast<LONG>(changed));
    if (flags)
        ::SetWindowPos(window, nullptr, 0, 0, 0, 0,
                       flags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

}  // namespace

BOOL VWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) { return modifyLong(hWnd_, GWL_STYLE, remove, add, flags); }
BOOL VWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT flags) {
    return modifyLong(hWnd_, GWL_EXSTYLE, remove, add, flags);
}

HWND VWnd::GetTopLevelParent() {
    HWND top = hWnd_;
    for (HWND up = ::GetParent(top); up; up = ::GetParent(top))
        top = up;
    return top;
}

HWND VWnd::GetTopLevelWindow() {
    HWND top = hWnd_;
    for (;;) {
        bool child = (::GetWindowLongA(top, GWL_STYLE) & WS_CHILD) != 0;
        HWND up = child ? ::GetParent(top) : ::GetWindow(top, GW_OWNER);
        if (!up)
            return top;
        top = up;
    }
}

LRESULT VWnd::OnSize(LONG_PTR, LONG_PTR) { return -1; }

LRESULT VWnd::OnDestroy(LONG_PTR, LONG_PTR) {
    if (parent_)
        parent_->OnChildDetach(this);
    return -1;
}

}  // namespace vesk::ui
