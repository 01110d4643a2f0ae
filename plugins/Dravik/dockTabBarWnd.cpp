#include "plugins/Dravik/dockTabBarWnd.h"

#include <cstring>

#include "plugins/Dravik/dockContainer.h"
#include "plugins/Dravik/paint.h"
#include "plugins/Dravik/skin.h"
#include "plugins/Dravik/wndProc.h"

namespace vesk::ui {

namespace {

constexpr DWORD stripStyle = 0x4000000D;  // child, owner-drawn static
constexpr int stripId = 1;
constexpr std::size_t longestName = 255;

std::string nameKey(const char* name) { return name ? std::string(name, ::strnlen(name, longestName)) : std::string(); }

}  // namespace

VDockTabBarWnd::VDockTabBarWnd() : tabArea_(new capsule<VWnd>()) {
    static_cast<IWnd*>(tabArea_)->addRef();
    registerInterfaceOf<IDockTabBarWnd>(this);
    registerInterfaceOf<IDockWnd>(this);
    registerInterfaceOf<IWnd>(this);
    registerInterfaceOf<IWndEvents>(this);
    registerInterfaceOf<Igeneric>(this);
}

VDockTabBarWnd::~VDockTabBarWnd() {
    if (hook_) {
        Container()->RemoveMessageHook(hook_);
        hook_->release();
    }
    static_cast<IWnd*>(tabArea_)->release();
}

IWnd* VDockTabBarWnd::GetTabBarWnd() { return tabArea_; }

HWND VDockTabBarWnd::Create(const char* caption, IWnd* parent, RECT* rect) {
    if (!parent)
        return nullptr;
    HWND made = VDockWnd::Create(caption, parent, rect);
    if (!made)
        return nullptr;
    Container()->SetAutoSizeChild(0);
    HWND container = GetContainerHandle();
    // The container shows nothing of its own: once a skin gives its class a
    // brush, erasing it must not wipe the tabs and the page.
    ::SetWindowLongA(container, GWL_STYLE, ::GetWindowLongA(container, GWL_STYLE) | WS_CLIPCHILDREN);
    *tabArea_ = container;
    RECT client = {0, 0, 0, 0};
    ::GetClientRect(container, &client);
    HWND strip = ::CreateWindowExA(0, "STATIC", "", stripStyle, 0, 0, client.right, client.bottom, container,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(stripId)), GetModuleInstance(),
                                   nullptr);
    if (strip && tabs_.SubclassWindow(strip)) {
        SetTabStyle(3);
        ::ShowWindow(strip, SW_SHOWNA);
        ::SendMessageA(strip, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        tabs_.UpdateLayout();
        ::InvalidateRect(strip, nullptr, TRUE);
    }
    hook_ = new capsule<VWndProc>(reinterpret_cast<pointerInt>(&VDockTabBarWnd::ContainerHook),
                                  reinterpret_cast<pointerInt>(this));
    hook_->addRef();
    Container()->AddMessageHook(hook_);
    TakeSkinColours(false);
    LayOutTabs();
    return made;
}

LRESULT VDockTabBarWnd::ContainerHook(void* self, HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* bar = static_cast<VDockTabBarWnd*>(self);
    // The strip draws its own tabs when asked: the question goes back to it.
    const auto* header = message == WM_NOTIFY ? reinterpret_cast<const NMHDR*>(lParam) : nullptr;
    if (header && header->hwndFrom == bar->tabs_.GetHandle() && header->code == static_cast<UINT>(NM_CUSTOMDRAW))
        return ::SendMessageA(header->hwndFrom, CCustomTabCtrl::reflectedNotify, wParam, lParam);
    if (message == WM_SIZE)
        bar->LayOutTabs(LOWORD(lParam), HIWORD(lParam));
    else if (message == WM_SKINCHANGED)
        bar->TakeSkinColours(false);
    return -1;
}

void VDockTabBarWnd::LayOutTabs(int width, int height) {
    int above = height > stripHeight ? height - stripHeight : 0;
    if (HWND strip = tabs_.GetHandle())
        ::MoveWindow(strip, 0, above, width, stripHeight, TRUE);
    if (current_)
        ::MoveWindow(current_, 0, 0, width, above, TRUE);
}

void VDockTabBarWnd::LayOutTabs() {
    RECT client;
    if (::GetClientRect(GetContainerHandle(), &client))
        LayOutTabs(client.right, client.bottom);
}

void VDockTabBarWnd::TakeSkinColours(bool sameBackgrounds) {
    const skinData& skin = CurrentSkin();
    COLORREF selected = skin.Raw(skinValue::contentBackground);
    COLORREF text = skin.Raw(skinValue::contentText);
    COLORREF unselected = sameBackgrounds ? selected : skin.Raw(skinValue::background);
    tabs_.SetColours(selected, unselected, text, text, skin.draw != nullptr);
}

int VDockTabBarWnd::AddTab(const char* name, HWND window, int image) {
    std::string key = nameKey(name);
    auto known = names_.find(key);
    if (known != names_.end()) {
        if (window)
            ::ShowWindow(window, SW_HIDE);
        return known->second - 1;
    }
    if (count_ >= maximumTabs)
        return -1;
    if (window)
        ::ShowWindow(window, SW_HIDE);
    int index = tabs_.AddItem(key.c_str(), image);
    if (index != count_)
        return -1;
    names_[key] = index + 1;
    windows_[index] = window;
    ++count_;
    if (index == 0)
        SelectTab(0);
    return index;
}

bool VDockTabBarWnd::SetImageList(HIMAGELIST images) {
    images_ = images;
    return false;
}

HWND VDockTabBarWnd::GetTabWindow(int index) { return ValidTab(index) ? windows_[index] : nullptr; }

int VDockTabBarWnd::FindTab(const char* name) {
    auto known = names_.find(nameKey(name));
    return known == names_.end() ? -1 : known->second - 1;
}

void VDockTabBarWnd::SelectTab(int index) {
    if (!ValidTab(index))
        return;
    tabs_.SetCurSel(index);
    // A refused change (TCN_SELCHANGING answered 1) keeps the shown tab.
    if (tabs_.GetCurSel() == index)
        ShowTab(index);
}

void VDockTabBarWnd::ShowTab(int index) {
    if (!ValidTab(index))
        return;
    for (int i = 0; i < count_; ++i)
        if (i != index && windows_[i])
            ::ShowWindow(windows_[i], SW_HIDE);
    current_ = windows_[index];
    currentIndex_ = index;
    if (!current_)
        return;
    HWND container = GetContainerHandle();
    if (::GetParent(current_) != container)
        ::SetParent(current_, container);
    LayOutTabs();
    ::ShowWindow(current_, SW_SHOW);
}

LONG VDockTabBarWnd::SetTabStyle(int placement) {
    constexpr LONG bottom = 0x02, vertical = 0x80;
    LONG style = tabStyle_ & ~(bottom | vertical);
    if (placement == 2)
        style |= bottom | vertical;
    else if (placement == 3)
        style |= bottom;
    else if (placement == 4)
        style |= vertical;
    tabStyle_ = style;
    return ::SetWindowLongA(tabs_.GetHandle(), GWL_STYLE, style);
}

LRESULT VDockTabBarWnd::OnNotify(LONG_PTR, LONG_PTR lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header && header->hwndFrom == tabs_.GetHandle() && header->code == static_cast<UINT>(TCN_SELCHANGE))
        ShowTab(tabs_.GetCurSel());
    return -1;
}

LRESULT VDockTabBarWnd::OnSkinChanged(LONG_PTR, LONG_PTR) {
    TakeSkinColours(true);
    return -1;
}

LRESULT VDockTabBarWnd::OnPaint(LONG_PTR, LONG_PTR) { return 0; }

}  // namespace vesk::ui
