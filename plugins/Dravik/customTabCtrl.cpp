#include "plugins/Dravik/customTabCtrl.h"

#include <commctrl.h>

#include <cstring>

#include "plugins/Dravik/paint.h"

namespace vesk::ui {

namespace {

const char controlProperty[] = "vesk::ui::CCustomTabCtrl";
constexpr LONG notifyStyle = 0x100;  // SS_NOTIFY: the strip gets the mouse
constexpr std::size_t maximumItems = 64;

// A GDI object deleted by scope.
template <class H>
class gdiObject {
public:
    explicit gdiObject(H handle) : handle_(handle) {}
    ~gdiObject() {
        if (handle_)
            ::DeleteObject(handle_);
    }
    gdiObject(const gdiObject&) = delete;
    gdiObject& operator=(const gdiObject&) = delete;
    H get() const { return handle_; }

private:
    H handle_;
};

// An object selected into a device context for a scope.
class selected {
public:
    selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? ::SelectObject(dc, object) : nullptr) {}
    ~selected() {
        if (old_)
            ::SelectObject(dc_, old_);
    }
    selected(const selected&) = delete;
    selected& operator=(const selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace

// ---- the control

CCustomTabCtrl::~CCustomTabCtrl() {
    Release();
    if (font_)
        ::DeleteObject(font_);
}

bool CCustomTabCtrl::SubclassWindow(HWND window) {
    if (!window || window_ || !::SetPropA(window, controlProperty, this))
        return false;
    window_ = window;
    previous_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CCustomTabCtrl::Procedure)));
    SetUp();
    return true;
}

void CCustomTabCtrl::Release() {
    if (!window_)
        return;
    if (::IsWindow(window_)) {
        ::SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        ::RemovePropA(window_, controlProperty);
    }
    window_ = nullptr;
}

LRESULT CALLBACK CCustomTabCtrl::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* control = static_cast<CCustomTabCtrl*>(::GetPropA(window, controlProperty));
    if (!control)
        return ::DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        WNDPROC previous = control->previous_;
        control->Release();
        return previous ? ::CallWindowProcA(previous, window, message, wParam, lParam)
                        : ::DefWindowProcA(window, message, wParam, lParam);
    }
    return control->Handle(message, wParam, lParam);
}

LRESULT CCustomTabCtrl::CallPrevious(UINT message, WPARAM wParam, LPARAM lParam) {
    return previous_ ? ::CallWindowProcA(previous_, window_, message, wParam, lParam)
                     : ::DefWindowProcA(window_, message, wParam, lParam);
}

void CCustomTabCtrl::SetUp() {
    ::SetWindowLongA(window_, GWL_STYLE, ::GetWindowLongA(window_, GWL_STYLE) | notifyStyle);
    id_ = ::GetDlgCtrlID(window_);
    ReplaceFont();
    UpdateLayout();
    ::InvalidateRect(window_, nullptr, TRUE);
    Notify(setUpNotification);
}

void CCustomTabCtrl::ReplaceFont() {
    HFONT made = ::CreateFontA(-(::GetSystemMetrics(SM_CYHSCROLL) - 1), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                               DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_SWISS, "Arial");
    if (!made)
        return;
    HFONT old = font_;
    bool inUse = CurrentFont() == old;
    font_ = made;
    if (inUse || !old)
        CallPrevious(WM_SETFONT, reinterpret_cast<WPARAM>(made), FALSE);
    if (old)
        ::DeleteObject(old);
}

HFONT CCustomTabCtrl::CurrentFont() const {
    auto font = reinterpret_cast<HFONT>(::SendMessageA(window_, WM_GETFONT, 0, 0));
    return font ? font : font_;
}

LRESULT CCustomTabCtrl::Notify(UINT code) const {
    HWND parent = ::GetParent(window_);
    if (!parent)
        return 0;
    NMHDR header = {window_, static_cast<UINT_PTR>(id_), code};
    return ::SendMessageA(parent, WM_NOTIFY, static_cast<WPARAM>(id_), reinterpret_cast<LPARAM>(&header));
}

int CCustomTabCtrl::AddItem(const char* text, int image) {
    if (items_.size() >= maximumItems)
        return -1;
    item added;
    if (text)
        added.text.assign(text, ::strnlen(text, longestText));
    added.image = image;
    items_.push_back(added);
    int index = GetItemCount() - 1;
    Notify(insertedNotification);
    if (selected_ == -1)
        selected_ = 0;
    UpdateLayout();
    ::InvalidateRect(window_, nullptr, TRUE);
    return index;
}

void CCustomTabCtrl::DeleteItem(int index) {
    if (index < 0 || index >= GetItemCount())
        return;
    items_.erase(items_.begin() + index);
    if (selected_ >= index && selected_ > 0)
        --selected_;
    if (items_.empty())
        selected_ = -1;
    Notify(deletedNotification);
    UpdateLayout();
    ::InvalidateRect(window_, nullptr, TRUE);
}

void CCustomTabCtrl::DeleteAllItems() {
    while (!items_.empty())
        DeleteItem(0);
}

void CCustomTabCtrl::SetCurSel(int index) {
    if (index == selected_ || index < -1 || index >= GetItemCount())
        return;
    if (Notify(TCN_SELCHANGING) == 1)
        return;
    selected_ = index;
    UpdateLayout();
    ::InvalidateRect(window_, nullptr, TRUE);
    Notify(TCN_SELCHANGE);
}

RECT CCustomTabCtrl::GetItemRect(int index) const {
    return index >= 0 && index < GetItemCount() ? items_[static_cast<std::size_t>(index)].rect : RECT{0, 0, 0, 0};
}

std::string CCustomTabCtrl::GetItemText(int index) const {
    return index >= 0 && index < GetItemCount() ? items_[static_cast<std::size_t>(index)].text : std::string();
}

int CCustomTabCtrl::HitTest(POINT point) const {
    if (selected_ >= 0 && Contains(GetItemRect(selected_), point))
        return selected_;
    for (int i = 0; i < GetItemCount(); ++i)
        if (Contains(GetItemRect(i), point))
            return i;
    return -1;
}

void CCustomTabCtrl::UpdateLayout() {
    RECT client;
    if (!window_ || !::GetClientRect(window_, &client))
        return;
    HDC dc = ::GetDC(window_);
    if (!dc)
        return;
    {
        selected font(dc, CurrentFont());
        int x = leftMargin_;
        for (item& each : items_) {
            SIZE text = {0, 0};
            ::GetTextExtentPoint32A(dc, each.text.c_str(), static_cast<int>(each.text.size()), &text);
            each.rect = RECT{x, client.top, x + 2 * itemMargin_ + text.cx, client.bottom};
            x = each.rect.right + overlap_;
        }
    }
    ::ReleaseDC(window_, dc);
    if (selected_ >= 0)
        ::InflateRect(&items_[static_cast<std::size_t>(selected_)].rect, selectedWidening_, 0);
}

void CCustomTabCtrl::SetColours(COLORREF selectedBackground, COLORREF unselectedBackground, COLORREF selectedText,
                                COLORREF unselectedText, bool skinned) {
    selectedColours_ = colours{selectedBackground, selectedText};
    unselectedColours_ = colours{unselectedBackground, unselectedText};
    skinned_ = skinned;
    if (window_)
        ::InvalidateRect(window_, nullptr, TRUE);
}

CCustomTabCtrl::colours CCustomTabCtrl::ColoursOf(bool isSelected) const {
    if (skinned_)
        return isSelected ? selectedColours_ : unselectedColours_;
    return isSelected ? colours{::GetSysColor(COLOR_WINDOW), ::GetSysColor(COLOR_WINDOWTEXT)}
                      : colours{::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNTEXT)};
}

LRESULT CCustomTabCtrl::CustomDraw(DWORD stage, HDC dc, int index) const {
    HWND parent = ::GetParent(window_);
    if (!parent)
        return CDRF_DODEFAULT;
    NMCUSTOMDRAW draw = {};
    draw.hdr = NMHDR{window_, static_cast<UINT_PTR>(id_), static_cast<UINT>(NM_CUSTOMDRAW)};
    draw.dwDrawStage = stage;
    draw.hdc = dc;
    if (index >= 0) {
        draw.rc = items_[static_cast<std::size_t>(index)].rect;
        draw.dwItemSpec = static_cast<DWORD_PTR>(index);
        draw.uItemState = index == selected_ ? CDIS_SELECTED : 0;
    } else {
        ::GetClientRect(window_, &draw.rc);
    }
    return ::SendMessageA(parent, WM_NOTIFY, static_cast<WPARAM>(id_), reinterpret_cast<LPARAM>(&draw));
}

LRESULT CCustomTabCtrl::OnReflectedCustomDraw(const NMCUSTOMDRAW& draw) const {
    if (draw.dwDrawStage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW;
    auto index = static_cast<int>(draw.dwItemSpec);
    if (draw.dwDrawStage != CDDS_ITEMPREPAINT || index < 0 || index >= GetItemCount() || !draw.hdc)
        return CDRF_DODEFAULT;
    selected font(draw.hdc, CurrentFont());
    DrawItem(draw.hdc, items_[static_cast<std::size_t>(index)], index == selected_);
    return CDRF_SKIPDEFAULT;
}

void CCustomTabCtrl::Paint(HDC dc, const RECT& area) const {
    PaintBackground(dc, area);
    selected font(dc, CurrentFont());
    // The parent may draw the items: the tab bars reflect the question back
    // to the control, which draws them itself.
    bool askPerItem = (CustomDraw(CDDS_PREPAINT, dc, -1) & CDRF_NOTIFYITEMDRAW) != 0;
    auto drawItem = [&](int index) {
        if (askPerItem && (CustomDraw(CDDS_ITEMPREPAINT, dc, index) & CDRF_SKIPDEFAULT))
            return;
        DrawItem(dc, items_[static_cast<std::size_t>(index)], index == selected_);
    };
    RECT meets;
    for (int i = 0; i < GetItemCount(); ++i)
        if (i != selected_ && ::IntersectRect(&meets, &items_[static_cast<std::size_t>(i)].rect, &area))
            drawItem(i);
    // Last, so that it lies over its neighbours.
    if (selected_ >= 0)
        drawItem(selected_);
}

void CCustomTabCtrl::OnPress(UINT code, LPARAM point) {
    Notify(code);
    int index = HitTest(PointOf(point));
    if (index < 0)
        return;
    ::SetFocus(window_);
    SetCurSel(index);
}

LRESULT CCustomTabCtrl::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        DeleteAllItems();
        break;
    case WM_SIZE:
        UpdateLayout();
        break;
    case WM_KEYDOWN:
        if (wParam == VK_LEFT && selected_ > 0)
            SetCurSel(selected_ - 1);
        else if (wParam == VK_RIGHT && selected_ + 1 < GetItemCount())
            SetCurSel(selected_ + 1);
        return 0;
    case WM_LBUTTONDOWN:
        OnPress(static_cast<UINT>(NM_CLICK), lParam);
        return 0;
    case WM_RBUTTONDOWN:
        OnPress(static_cast<UINT>(NM_RCLICK), lParam);
        return 0;
    case WM_SETTINGCHANGE:
        ReplaceFont();
        UpdateLayout();
        ::InvalidateRect(window_, nullptr, TRUE);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case reflectedNotify: {
        const auto* draw = reinterpret_cast<const NMCUSTOMDRAW*>(lParam);
        if (draw && draw->hdr.code == static_cast<UINT>(NM_CUSTOMDRAW))
            return OnReflectedCustomDraw(*draw);
        break;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(window_, &paint);
        if (dc)
            Paint(dc, paint.rcPaint);
        ::EndPaint(window_, &paint);
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT client;
        ::GetClientRect(window_, &client);
        Paint(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    default:
        break;
    }
    return CallPrevious(message, wParam, lParam);
}

// ---- folder tabs

CFolderTabCtrl::CFolderTabCtrl() {
    itemMargin_ = 11;
    overlap_ = -8;
}

void CFolderTabCtrl::PaintBackground(HDC dc, const RECT& area) const {
    COLORREF fill = ColoursOf(false).background;
    FillSolid(dc, area, fill);
}

void CFolderTabCtrl::DrawItem(HDC dc, const item& drawn, bool isSelected) const {
    const RECT& r = drawn.rect;
    colours c = ColoursOf(isSelected);
    POINT outline[] = {{r.left, r.top}, {r.left + 8, r.bottom}, {r.right - 9, r.bottom}, {r.right - 1, r.top}};
    gdiObject<HBRUSH> fill(::CreateSolidBrush(c.background));
    gdiObject<HPEN> black(::CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    gdiObject<HPEN> edge(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW)));
    {
        selected brush(dc, fill.get());
        selected pen(dc, ::GetStockObject(NULL_PEN));
        ::Polygon(dc, outline, 4);
    }
    {
        selected pen(dc, black.get());
        ::MoveToEx(dc, r.left, r.top, nullptr);
        ::LineTo(dc, r.left + 8, r.bottom - 1);
        {
            selected second(dc, edge.get());
            ::LineTo(dc, r.right - 9, r.bottom - 1);
        }
        ::LineTo(dc, r.right - 1, r.top - 1);
        if (!isSelected) {
            selected second(dc, edge.get());
            ::MoveToEx(dc, r.right - 10, r.bottom - 1, nullptr);
            ::LineTo(dc, r.right - 2, r.top - 1);
        }
    }
    RECT text = {r.left + 10, r.top + 1, r.right - 10, r.bottom - 1};
    int oldMode = ::SetBkMode(dc, TRANSPARENT);
    COLORREF oldColour = ::SetTextColor(dc, c.text);
    ::DrawTextA(dc, drawn.text.c_str(), static_cast<int>(drawn.text.size()), &text,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    ::SetTextColor(dc, oldColour);
    ::SetBkMode(dc, oldMode);
}

}  // namespace vesk::ui
