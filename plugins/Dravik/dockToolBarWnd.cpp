#include "plugins/Dravik/dockToolBarWnd.h"

#include <cstring>
#include <new>
#include <vector>

#include "plugins/Dravik/dock.h"
#include "plugins/Dravik/dockContainer.h"
#include "plugins/Dravik/dockSides.h"
#include "plugins/Dravik/paint.h"

namespace vesk::ui {

namespace {

constexpr DWORD toolBarExStyle = 0x18;
constexpr DWORD toolBarStyle = 0x42008F6C;  // child, flat, tooltips, wrapable, adjustable, no divider
const LPCSTR toolBarResourceType = MAKEINTRESOURCEA(241);
constexpr int hotTipPane = 0;
constexpr DWORD hotTipFlags = 0x100;  // SBT_NOBORDERS
constexpr BYTE autoSizeStyle = 0x10;  // BTNS_AUTOSIZE
constexpr int flatSeparator = 6, raisedSeparator = 8;

struct modeSizes {
    SIZE image, button;
};
const modeSizes modes[] = {{{16, 15}, {23, 22}}, {{32, 32}, {39, 39}}, {{32, 32}, {39, 44}}};

// The control reads a string list up to an empty string: one text becomes
// a list of one, with both terminators ours.
std::string stringList(const char* text) {
    std::string list = text ? std::string(text) : std::string();
    list.push_back('\0');
    list.push_back('\0');
    return list;
}

void clearReserved(TBBUTTON& button) { std::memset(button.bReserved, 0, sizeof(button.bReserved)); }

bool sameButton(const TBBUTTON& a, const TBBUTTON& b) { return std::memcmp(&a, &b, sizeof(TBBUTTON)) == 0; }

bool isSeparator(const TBBUTTON& button) { return (button.fsStyle & BTNS_SEP) != 0; }

}  // namespace

VDockToolBarWnd::VDockToolBarWnd() : toolBarWnd_(new capsule<VWnd>()) {
    static_cast<IWnd*>(toolBarWnd_)->addRef();
    Container()->SetAutoSizeChild(1);
    Container()->SetResizable(0);
    SetMode(0);
    registerInterfaceOf<IDockToolBarWnd>(this);
    registerInterfaceOf<IDockWnd>(this);
    registerInterfaceOf<IWnd>(this);
    registerInterfaceOf<IWndEvents>(this);
    registerInterfaceOf<Igeneric>(this);
}

VDockToolBarWnd::~VDockToolBarWnd() {
    static_cast<IWnd*>(toolBarWnd_)->release();
    if (images_)
        ::ImageList_Destroy(images_);
}

IWnd* VDockToolBarWnd::GetToolBarWnd() { return toolBarWnd_; }

HWND VDockToolBarWnd::Create(const char* caption, IWnd* parent, RECT* rect) {
    HWND made = VDockWnd::Create(caption, parent, rect);
    if (!made)
        return nullptr;
    toolBar_ = ::CreateWindowExA(toolBarExStyle, TOOLBARCLASSNAMEA, caption, toolBarStyle, 0, 0, 0, 0,
                                 GetContainerHandle(), nullptr, GetModuleInstance(), nullptr);
    if (!toolBar_)
        return made;
    toolBarWnd_->Attach(toolBar_);
    ::SendMessageA(toolBar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SetSizes(buttonSize_.cx, buttonSize_.cy, imageSize_.cx, imageSize_.cy);
    ::ShowWindow(toolBar_, SW_SHOW);
    // The buttons wrap to the toolbar's width: it starts as wide as the
    // container, not at nothing, so that its extent means one row.
    ::SendMessageA(GetContainerHandle(), WM_SIZE, 0, 0);
    return made;
}

unsigned long VDockToolBarWnd::SetMode(unsigned long mode) {
    unsigned long previous = mode_;
    mode_ = mode;
    if (mode < sizeof(modes) / sizeof(modes[0])) {
        imageSize_ = modes[mode].image;
        buttonSize_ = modes[mode].button;
        SetSizes(buttonSize_.cx, buttonSize_.cy, imageSize_.cx, imageSize_.cy);
    }
    return previous;
}

void VDockToolBarWnd::SetSizes(int buttonWidth, int buttonHeight, int imageWidth, int imageHeight) {
    if (!toolBar_)
        return;
    ::SendMessageA(toolBar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(imageWidth, imageHeight));
    ::SendMessageA(toolBar_, TB_SETBUTTONSIZE, 0, MAKELPARAM(buttonWidth, buttonHeight));
}

void VDockToolBarWnd::SetBitMapSize(int width, int height) {
    ::SendMessageA(toolBar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(width, height));
}

void VDockToolBarWnd::SetMaxTextRows(int rows) { ::SendMessageA(toolBar_, TB_SETMAXTEXTROWS, rows, 0); }

void VDockToolBarWnd::SetRows(int rows, int larger, RECT* out) {
    ::SendMessageA(toolBar_, TB_SETROWS, MAKEWPARAM(rows, larger), reinterpret_cast<LPARAM>(out));
}

int VDockToolBarWnd::AddBitMap(int count, TBADDBITMAP* bitmap) {
    return static_cast<int>(::SendMessageA(toolBar_, TB_ADDBITMAP, count, reinterpret_cast<LPARAM>(bitmap)));
}

int VDockToolBarWnd::SetButtons(const UINT* ids, int count) {
    if (count <= 0)
        return 0;
    std::string empty = stringList("");
    ::SendMessageA(toolBar_, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(empty.data()));
    bool flat = (::GetWindowLongA(toolBar_, GWL_STYLE) & TBSTYLE_FLAT) != 0;
    int image = 0;
    for (int i = 0; i < count; ++i) {
        TBBUTTON button = {};
        button.fsState = TBSTATE_ENABLED;
        if (ids && ids[i] == 0) {
            button.fsStyle = BTNS_SEP;
            button.iBitmap = flat ? flatSeparator : raisedSeparator;
        } else if (ids) {
            button.idCommand = static_cast<int>(ids[i]);
            button.fsStyle = autoSizeStyle;
            button.iBitmap = image++;
        }
        // No text until one is set: the empty list adds no string, so index
        // 0 would be whichever text comes first, shown on every button.
        button.iString = -1;
        if (!::SendMessageA(toolBar_, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button)))
            return 0;
    }
    return 1;
}

int VDockToolBarWnd::LoadToolBar(HINSTANCE module, const char* toolBarName, const char* bitmapName) {
    HRSRC found = ::FindResourceA(module, toolBarName, toolBarResourceType);
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const auto* words = loaded ? static_cast<const WORD*>(::LockResource(loaded)) : nullptr;
    DWORD size = found ? ::SizeofResource(module, found) : 0;
    // version, image width, image height, count, then one id per item
    constexpr DWORD headerWords = 4;
    if (!words || size < headerWords * sizeof(WORD))
        return 0;
    DWORD count = words[3];
    if (headerWords + count > size / sizeof(WORD))
        return 0;
    std::vector<UINT> ids(words + headerWords, words + headerWords + count);
    int width = words[1], height = words[2];
    int result = SetButtons(ids.data(), static_cast<int>(ids.size()));
    if (result) {
        SetSizes(width + 7, height + 7, width, height);
        result = LoadBitmapA(module, toolBarName, bitmapName);
    }
    // The dock window takes the buttons' size; its top-left corner stays.
    SIZE fixed = FixedWindowSize();
    ::SetWindowPos(hWnd_, nullptr, 0, 0, fixed.cx, fixed.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return result;
}

int VDockToolBarWnd::LoadToolBarLarge(HINSTANCE module, const char* toolBarName, const char*, const char*) {
    return LoadToolBar(module, toolBarName, toolBarName);
}

int VDockToolBarWnd::LoadBitmapA(HINSTANCE module, const char* name, const char* maskName) {
    HBITMAP image = ::LoadBitmapA(module, name);
    if (!image)
        return 0;
    HBITMAP mask = maskName ? ::LoadBitmapA(module, maskName) : nullptr;
    AddReplaceBitmap(image, mask);
    ::DeleteObject(image);
    if (mask)
        ::DeleteObject(mask);
    return 1;
}

int VDockToolBarWnd::AddReplaceBitmap(HBITMAP image, HBITMAP mask) {
    ::SendMessageA(toolBar_, CCM_SETVERSION, 5, 0);
    int side = ::GetSystemMetrics(SM_CXSMICON);
    HIMAGELIST list = ::ImageList_Create(side, side, 0xFF, 20, 100);
    if (!list)
        return 1;
    ::ImageList_Add(list, image, mask);
    ::SendMessageA(toolBar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list));
    if (images_)
        ::ImageList_Destroy(images_);
    images_ = list;
    return 1;
}

int VDockToolBarWnd::StringIndexOf(const char* text) {
    std::string key = text ? text : "";
    auto known = strings_.find(key);
    if (known != strings_.end())
        return known->second - 1;
    std::string list = stringList(key.c_str());
    auto index = static_cast<int>(::SendMessageA(toolBar_, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(list.data())));
    if (index >= 0)
        strings_[key] = index + 1;
    return index;
}

int VDockToolBarWnd::AddButton(int image, int command, BYTE state, BYTE style, DWORD data, const char* text) {
    TBBUTTON button = {};
    button.iBitmap = image;
    button.idCommand = command;
    button.fsState = state;
    button.fsStyle = style;
    button.dwData = data;
    button.iString = text ? StringIndexOf(text) : -1;
    ::SendMessageA(toolBar_, TB_INSERTBUTTONA, 0, reinterpret_cast<LPARAM>(&button));
    ::SendMessageA(toolBar_, TB_AUTOSIZE, 0, 0);
    return 1;
}

long VDockToolBarWnd::GetButtonIdFromCommand(long command) {
    return static_cast<long>(::SendMessageA(toolBar_, TB_COMMANDTOINDEX, command, 0));
}

BOOL VDockToolBarWnd::GetButton(int index, TBBUTTON* button) {
    if (!button || !toolBar_)
        return FALSE;
    TBBUTTON read = {};
    if (!::SendMessageA(toolBar_, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&read)))
        return FALSE;
    read.fsState ^= TBSTATE_ENABLED;
    *button = read;
    return TRUE;
}

BOOL VDockToolBarWnd::SetButton(int index, TBBUTTON* button) {
    if (!button || !toolBar_)
        return FALSE;
    TBBUTTON wanted = *button;
    wanted.fsState ^= TBSTATE_ENABLED;
    clearReserved(wanted);
    TBBUTTON present = {};
    if (!::SendMessageA(toolBar_, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&present)))
        return FALSE;
    clearReserved(present);
    if (sameButton(wanted, present))
        return TRUE;
    // Hidden for the change, so the toolbar is not drawn half-changed.
    HWND window = toolBar_;
    bool visible = (::GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
    if (visible)
        ::SetWindowLongA(window, GWL_STYLE, ::GetWindowLongA(window, GWL_STYLE) & ~WS_VISIBLE);
    ::SendMessageA(toolBar_, TB_DELETEBUTTON, index, 0);
    ::SendMessageA(toolBar_, TB_INSERTBUTTONA, index, reinterpret_cast<LPARAM>(&wanted));
    if (visible)
        ::SetWindowLongA(window, GWL_STYLE, ::GetWindowLongA(window, GWL_STYLE) | WS_VISIBLE);
    bool separatorChange = isSeparator(wanted) != isSeparator(present) ||
                           (isSeparator(wanted) && isSeparator(present) && wanted.iBitmap != present.iBitmap);
    if (separatorChange) {
        ::InvalidateRect(toolBar_, nullptr, TRUE);
    } else {
        RECT item;
        if (::SendMessageA(toolBar_, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)))
            ::InvalidateRect(toolBar_, &item, TRUE);
    }
    return TRUE;
}

int VDockToolBarWnd::SetButtonText(int index, const char* text) {
    TBBUTTON button;
    if (!GetButton(index, &button))
        return 0;
    int string = StringIndexOf(text);
    if (string < 0)
        return 0;
    button.iString = string;
    SetButton(index, &button);
    return 1;
}

bool VDockToolBarWnd::GetButtonText(int index, std::string& text) {
    TBBUTTON button;
    if (!GetButton(index, &button))
        return false;
    auto length = static_cast<int>(::SendMessageA(toolBar_, TB_GETBUTTONTEXTA, button.idCommand, 0));
    if (length < 0)
        return false;
    std::vector<char> read(static_cast<std::size_t>(length) + 1, '\0');
    ::SendMessageA(toolBar_, TB_GETBUTTONTEXTA, button.idCommand, reinterpret_cast<LPARAM>(read.data()));
    text.assign(read.data(), ::strnlen(read.data(), read.size()));
    return true;
}

int VDockToolBarWnd::SetIsMenu(int isMenu) {
    isMenu_ = isMenu;
    Container()->SetBorders(2, 2, 2, 2);
    return 1;
}

SIZE VDockToolBarWnd::ButtonsExtent() {
    SIZE extent = {0, 0};
    if (toolBar_)
        ::SendMessageA(toolBar_, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&extent));
    return extent;
}

SIZE VDockToolBarWnd::FixedWindowSize() {
    SIZE extent = ButtonsExtent();
    RECT r = {0, 0, extent.cx, extent.cy};
    AdjustWindowRectEx(&r);
    return SIZE{Width(r), Height(r)};
}

long VDockToolBarWnd::GetRect(int sideId, RECT* out) {
    if (!out)
        return 0;
    ::GetWindowRect(hWnd_, out);
    if (sideId < side::top || sideId > side::left)
        return 1;
    SIZE extent = ButtonsExtent();
    bool upright = IsVerticalSide(sideId);
    LONG width, height;
    if (!isMenu_) {
        width = upright ? extent.cy + 10 : extent.cx + 20;
        height = upright ? extent.cx + 18 : extent.cy + 8;
    } else {
        width = upright ? extent.cx + 10 : extent.cx + (Area() ? 10 : 0);
        height = upright ? extent.cx + 18 : extent.cy + 4;
    }
    out->right = out->left + width;
    out->bottom = out->top + height;
    return 1;
}

LRESULT VDockToolBarWnd::OnSize(LONG_PTR wParam, LONG_PTR lParam) {
    VDockWnd::OnSize(wParam, lParam);
    return -1;
}

LRESULT VDockToolBarWnd::OnSizing(LONG_PTR edge, LONG_PTR rect) {
    if (sizeableVertical_ && sizeableHorizontal_)
        return -1;
    auto* dragged = reinterpret_cast<RECT*>(rect);
    if (!dragged)
        return -1;
    SIZE fixed = FixedWindowSize();
    if (!sizeableVertical_) {
        if (edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT)
            dragged->top = dragged->bottom - fixed.cy;
        else
            dragged->bottom = dragged->top + fixed.cy;
    }
    if (!sizeableHorizontal_)
        dragged->right = dragged->left + fixed.cx;
    return 1;
}

void VDockToolBarWnd::ShowHotTip(const NMTBHOTITEM& hot) {
    VDock* dock = Dock();
    IFrameWnd* frame = dock ? dock->Frame() : nullptr;
    IStatusBar* statusBar = frame ? frame->GetStatusBar() : nullptr;
    if (!statusBar)
        return;
    char tip[INFOTIPSIZE] = "";
    HWND tips = reinterpret_cast<HWND>(::SendMessageA(toolBar_, TB_GETTOOLTIPS, 0, 0));
    if (tips && !(hot.dwFlags & HICF_LEAVING)) {
        TTTOOLINFOA tool = {};
        tool.cbSize = sizeof(tool);
        tool.hwnd = toolBar_;
        tool.uId = static_cast<UINT_PTR>(hot.idNew);
        tool.lpszText = tip;
        ::SendMessageA(tips, TTM_GETTEXTA, sizeof(tip), reinterpret_cast<LPARAM>(&tool));
        tip[sizeof(tip) - 1] = '\0';
    }
    statusBar->Output(tip, hotTipPane, hotTipFlags);
}

LRESULT VDockToolBarWnd::OnNotify(LONG_PTR, LONG_PTR lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header)
        return -1;
    switch (header->code) {
    case TBN_INITCUSTOMIZE:
    case TBN_QUERYDELETE:
    case TBN_QUERYINSERT:
    case TBN_BEGINADJUST:
        return 1;
    case TBN_ENDADJUST:
        return 0;
    case TBN_HOTITEMCHANGE:
        ShowHotTip(*reinterpret_cast<const NMTBHOTITEM*>(lParam));
        return 0;
    default:
        return -1;
    }
}

}  // namespace vesk::ui
