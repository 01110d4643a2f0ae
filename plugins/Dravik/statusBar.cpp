#include "plugins/Dravik/statusBar.h"

#include <commctrl.h>

#include <cstring>
#include <utility>

#include "plugins/Dravik/paint.h"
#include "plugins/Dravik/wndProcs.h"

namespace vesk::ui {

namespace {

constexpr DWORD statusStyle = 0x54001043;
constexpr UINT statusId = 40010;
constexpr DWORD paneZeroFlags = 0x400;  // the one-argument Output's drawing flags
constexpr int creationEdges[VStatusBar::paneCount] = {400, 475, 565, 675, 785};
// Right edges of panes 1 to 4 from pane 0's right edge, after a resize.
constexpr int fixedOffsets[VStatusBar::paneCount] = {0, 100, 190, 300, 430};

bool validPane(int pane) { return pane >= 0 && pane < VStatusBar::paneCount; }

}  // namespace

VStatusBar::VStatusBar() {
    registerInterfaceOf<IStatusBar>(this);
    registerInterfaceOf<IWnd>(this);
    registerInterfaceOf<IWndEvents>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
}

int VStatusBar::Create(IWnd* parent) {
    if (!parent)
        return 0;
    HWND made = ::CreateStatusWindowA(statusStyle, "Ready", parent->GetHandle(), statusId);
    if (!made)
        return 0;
    Attach(made);
    parent_ = parent;
    // Hooks added to this object see the window's messages.
    SubclassWindowProc(___DefSubclassWindowProc);
    ::SendMessageA(parent->GetHandle(), WM_SIZE, 0, 0);
    ::SendMessageA(made, SB_SETPARTS, paneCount, reinterpret_cast<LPARAM>(creationEdges));

    keptText texts[paneCount];
    keptIcon icons[paneCount];
    {
        sectionGuard guard(lock_);
        target_ = made;
        for (int pane = 0; pane < paneCount; ++pane) {
            texts[pane] = std::move(texts_[pane]);
            texts_[pane] = keptText();
            icons[pane] = icons_[pane];
            icons_[pane] = keptIcon();
        }
    }
    for (int pane = 0; pane < paneCount; ++pane)
        if (icons[pane].kept)
            ::SendMessageA(made, SB_SETICON, pane, reinterpret_cast<LPARAM>(icons[pane].icon));
    for (int pane = 0; pane < paneCount; ++pane)
        if (texts[pane].kept)
            ::SendMessageA(made, SB_SETTEXTA, pane | texts[pane].flags,
                           reinterpret_cast<LPARAM>(texts[pane].text.c_str()));
    return 0;
}

void VStatusBar::Output(const char* text) { Output(text, 0, paneZeroFlags); }

void VStatusBar::Output(const char* text, int pane, DWORD flags) {
    if (!validPane(pane))
        return;
    if (!text)
        text = "";
    HWND target;
    {
        sectionGuard guard(lock_);
        target = target_;
        if (!target) {
            keptText& kept = texts_[pane];
            kept.kept = true;
            kept.text.assign(text, ::strnlen(text, keptTextLength));
            kept.flags = flags;
            return;
        }
    }
    ::SendMessageA(target, SB_SETTEXTA, pane | flags, reinterpret_cast<LPARAM>(text));
}

long VStatusBar::SetIcon(int pane, HICON icon) {
    if (!validPane(pane))
        return 0;
    HWND target;
    {
        sectionGuard guard(lock_);
        target = target_;
        if (!target) {
            icons_[pane] = keptIcon{true, icon};
            return 0;
        }
    }
    return static_cast<long>(::SendMessageA(target, SB_SETICON, pane, reinterpret_cast<LPARAM>(icon)));
}

int VStatusBar::Resize(RECT*, void*, int, int) {
    HWND window = hWnd_;
    if (!window)
        return 1;
    ::SendMessageA(window, WM_SIZE, 0, 0);
    RECT placed;
    int edges[paneCount] = {};
    if (!::GetWindowRect(window, &placed) ||
        ::SendMessageA(window, SB_GETPARTS, paneCount, reinterpret_cast<LPARAM>(edges)) != paneCount)
        return 1;
    int first = Width(placed) - (edges[paneCount - 1] - edges[0]);
    for (int pane = 0; pane < paneCount; ++pane)
        edges[pane] = first + fixedOffsets[pane];
    ::SendMessageA(window, SB_SETPARTS, paneCount, reinterpret_cast<LPARAM>(edges));
    return 1;
}

LRESULT VStatusBar::OnDestroy(LONG_PTR wParam, LONG_PTR lParam) {
    {
        sectionGuard guard(lock_);
        target_ = nullptr;
    }
    return VWnd::OnDestroy(wParam, lParam);
}

}  // namespace vesk::ui
