// The owner-drawn tab strip of the tab bars, over a window it subclasses.
// CCustomTabCtrl keeps the items, the selection, the layout and the input;
// CFolderTabCtrl draws them as overlapping folder tabs. Changes are told to
// the strip's parent as WM_NOTIFY with the strip's control id; painting asks
// the parent (NM_CUSTOMDRAW) whether it draws the items, and a parent that
// hands the question back (reflectedNotify) has the control draw them.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace vesk::ui {

class CCustomTabCtrl {
public:
    // Notifications besides NM_CLICK, NM_RCLICK, TCN_SELCHANGING (a reply
    // of 1 keeps the selection) and TCN_SELCHANGE.
    static constexpr UINT setUpNotification = static_cast<UINT>(-560);
    static constexpr UINT insertedNotification = static_cast<UINT>(-561);
    static constexpr UINT deletedNotification = static_cast<UINT>(-562);
    static constexpr std::size_t longestText = 127;
    // A notification the parent hands back to the control that sent it.
    static constexpr UINT reflectedNotify = WM_NOTIFY + 0x2000;

    CCustomTabCtrl() = default;
    CCustomTabCtrl(const CCustomTabCtrl&) = delete;
    CCustomTabCtrl& operator=(const CCustomTabCtrl&) = delete;
    // Gives the window its own procedure back.
    virtual ~CCustomTabCtrl();

    // Takes the window's messages and sets the control up; false when the
    // window cannot be subclassed.
    bool SubclassWindow(HWND window);
    HWND GetHandle() const { return window_; }

    // Appended; the first item becomes the selected one. The item's index,
    // -1 when refused.
    int AddItem(const char* text, int image);
    void DeleteItem(int index);
    void DeleteAllItems();
    int GetItemCount() const { return static_cast<int>(items_.size()); }
    int GetCurSel() const { return selected_; }
    // Through TCN_SELCHANGING and TCN_SELCHANGE; nothing for the selected
    // item or an index outside -1 to count - 1.
    void SetCurSel(int index);
    RECT GetItemRect(int index) const;
    std::string GetItemText(int index) const;
    // The item under the point (client coordinates), the selected one
    // first since it lies on top; -1 for none.
    int HitTest(POINT point) const;
    void UpdateLayout();
    // The Arial font the control made; it replaces it on a setting change.
    HFONT OwnFont() const { return font_; }
    // Used only while skinned.
    void SetColours(COLORREF selectedBackground, COLORREF unselectedBackground, COLORREF selectedText,
                    COLORREF unselectedText, bool skinned);

protected:
    struct item {
        std::string text;
        int image = -1;
        RECT rect = {0, 0, 0, 0};
    };
    struct colours {
        COLORREF background, text;
    };

    colours ColoursOf(bool selected) const;
    const std::vector<item>& Items() const { return items_; }
    // The item margin on each side of the text, the overlap of neighbours
    // (negative), the strip's left margin, the widening of the selected item.
    int itemMargin_ = 0, overlap_ = 0, leftMargin_ = 0, selectedWidening_ = 0;

    virtual void PaintBackground(HDC dc, const RECT& area) const = 0;
    virtual void DrawItem(HDC dc, const item& drawn, bool selected) const = 0;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT CallPrevious(UINT message, WPARAM wParam, LPARAM lParam);
    void SetUp();
    void ReplaceFont();
    HFONT CurrentFont() const;
    LRESULT Notify(UINT code) const;
    // NM_CUSTOMDRAW to the parent for the whole strip (index -1) or an item.
    LRESULT CustomDraw(DWORD stage, HDC dc, int index) const;
    LRESULT OnReflectedCustomDraw(const NMCUSTOMDRAW& draw) const;
    void Paint(HDC dc, const RECT& area) const;
    void OnPress(UINT code, LPARAM point);
    void Release();

    HWND window_ = nullptr;
    WNDPROC previous_ = nullptr;
    int id_ = 0;
    HFONT font_ = nullptr;  // owned
    std::vector<item> items_;
    int selected_ = -1;
    bool skinned_ = false;
    colours selectedColours_ = {0, 0}, unselectedColours_ = {0, 0};
};

class CFolderTabCtrl : public CCustomTabCtrl {
public:
    CFolderTabCtrl();

protected:
    void PaintBackground(HDC dc, const RECT& area) const override;
    void DrawItem(HDC dc, const item& drawn, bool selected) const override;
};

}  // namespace vesk::ui
