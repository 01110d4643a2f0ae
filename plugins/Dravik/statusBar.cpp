#include "plugins/Dravik/statusBar.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>

#include "plugins/Dravik/paint.h"
#include "plugins/Dravik/wndProcs.h"

namespace vesk::ui {

namespace {

constexpr DWORD statusStyle = 0x54001043;
constexpr UINT statusId = 40010;
constexpr DWORD paneZeroFlags = 0x400;  // the one-argument Output's drawing flags
constexpr int creationEdges[VStatusBar::paneCount] = {400, 475, 565, 675, 785};
// The widths panes 1 to 4 start with; a text that needs more widens them.
constexpr int startWidths[VStatusBar::paneCount] = {0, 100, 90, 110, 130};
// How the status control draws a pane: a one-pixel edge all round, the
// icon as a square as high as the inside, the text 3 pixels after it.
constexpr int paneEdge = 1, textInset = 3, spare = 4;
constexpr std::size_t countDigits = 3;

bool validPane(int pane) { return pane >= 0 && pane < VStatusBar::paneCount; }

// The text with each count given room for countDigits wide digits.
std::string WithRoomForCounts(const std::string& text) {
    std::string room;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] < '0' || text[i] > '9') {
            room += text[i++];
            continue;
        }
        std::size_t digits = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
            ++digits;
        room.append(std::max(digits, countDigits), '8');
    }
    return room;
}

std::string PaneText(HWND window, int pane) {
    auto length = LOWORD(::SendMessageA(window, SB_GETTEXTLENGTHA, pane, 0));
    std::string text(length + 1u, '\0');
    ::SendMessageA(window, SB_GETTEXTA, pane, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(::strnlen(text.c_str(), length));
    return text;
}

}  // namespace

VStatusBar::VStatusBar() {
    std::copy(std::begin(startWidths), std::end(startWidths), widths_);
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
    for (int pane = 1; pane < paneCount; ++pane)
        FitPane(made, pane);
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
    if (pane > 0)
        FitPane(target, pane);
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
    auto answer = static_cast<long>(::SendMessageA(target, SB_SETICON, pane, reinterpret_cast<LPARAM>(icon)));
    if (pane > 0)
        FitPane(target, pane);
    return answer;
}

int VStatusBar::NeededWidth(HWND window, int pane) {
    std::string room = WithRoomForCounts(PaneText(window, pane));
    SIZE extent = {0, 0};
    if (!room.empty()) {
        // The pane's font is the control's (its own default until one is set).
        auto font = reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0));
        windowDC dc(window);
        if (!dc)
            return 0;
        HGDIOBJ old = font ? ::SelectObject(dc.get(), font) : nullptr;
        ::GetTextExtentPoint32A(dc.get(), room.c_str(), static_cast<int>(room.size()), &extent);
        if (old)
            ::SelectObject(dc.get(), old);
    }
    int icon = 0;
    RECT bound;
    if (::SendMessageA(window, SB_GETICON, pane, 0) && ::SendMessageA(window, SB_GETRECT, pane,
                                                                       reinterpret_cast<LPARAM>(&bound)))
        icon = Height(bound) - 2 * paneEdge;
    return 2 * paneEdge + icon + textInset + extent.cx + spare;
}

void VStatusBar::FitPane(HWND window, int pane) {
    int width = std::max(startWidths[pane], NeededWidth(window, pane));
    {
        sectionGuard guard(lock_);
        if (widths_[pane] == width)
            return;
        widths_[pane] = width;
    }
    PlaceParts(window);
}

void VStatusBar::PlaceParts(HWND window) {
    RECT placed;
    if (!::GetWindowRect(window, &placed))
        return;
    int edges[paneCount];
    {
        sectionGuard guard(lock_);
        edges[paneCount - 1] = Width(placed);
        for (int pane = paneCount - 1; pane > 0; --pane)
            edges[pane - 1] = edges[pane] - widths_[pane];
    }
    ::SendMessageA(window, SB_SETPARTS, paneCount, reinterpret_cast<LPARAM>(edges));
}

int VStatusBar::LeastWidth() {
    sectionGuard guard(lock_);
    int width = leastPaneZero;
    for (int pane = 1; pane < paneCount; ++pane)
        width += widths_[pane];
    return width;
}

int VStatusBar::Resize(RECT*, void*, int, int) {
    HWND window = hWnd_;
    if (!window)
        return 1;
    ::SendMessageA(window, WM_SIZE, 0, 0);
    PlaceParts(window);
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
