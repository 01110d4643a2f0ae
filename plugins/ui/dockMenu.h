// vesk::ui::VDockMenu: the main window's menu bar, a dock toolbar of
// drop-down buttons whose popups come from the language module. It also
// holds the main frame's message hook: the one handler of the main
// window's commands, of closing, destroying and minimizing it, of the tray
// icon's mouse messages, of help and of owner-drawn menu items.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>

#include "core/capsule.h"
#include "vesk/ui.h"

namespace vesk::ui {

class UIControl;

// The menu bar as the controller sees it (not published).
struct IDockMenu : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IDockMenu *";
    // Builds the menu bar; 0 either way (GetToolBarWnd tells whether it was
    // made).
    virtual int Create(const char* caption, RECT* rect) = 0;
    // A text button opening the popup; the command id.
    virtual int AddMenu(int commandId, const char* text, int unused, HMENU popup) = 0;
    virtual IDockToolBarWnd* GetToolBarWnd() = 0;
    // The button's index; -1 for -1 or an unknown id.
    virtual int FindMenu(int commandId) = 0;
};

class VDockMenu : public objectBase, public IDockMenu {
public:
    static constexpr int maxMenus = 20;
    static constexpr DWORD toolBarStyle = 0x42009F4C;
    // Mixed buttons without hiding clipped ones: the docked bar is a few
    // pixels lower than its buttons, which would hide every one of them.
    static constexpr DWORD toolBarExStyle = TBSTYLE_EX_MIXEDBUTTONS;

    explicit VDockMenu(UIControl& control);
    ~VDockMenu();
    VDockMenu(const VDockMenu&) = delete;
    VDockMenu& operator=(const VDockMenu&) = delete;

    int Create(const char* caption, RECT* rect) override;
    int AddMenu(int commandId, const char* text, int unused, HMENU popup) override;
    IDockToolBarWnd* GetToolBarWnd() override { return toolBar_; }
    int FindMenu(int commandId) override;

    // The popup of the button at the index, or of the button with the
    // command id; null when there is none.
    HMENU GetPopup(int index) const;
    // File menu's Connect and Disconnect items for the given state.
    void SetConnectItems(bool connected);
    HMENU PopupOf(int commandId) const;
    int MenuCount() const { return count_; }
    HWND ToolBarHandle() const { return buttons_; }
    // Opens the button's popup and tracks it, then every popup the user
    // moves to, until one closes without a next.
    void TrackMenu(int commandId);
    // The button whose popup is open (-1 none) and the tracking mode (0
    // none, 2 a popup open).
    int OpenButton() const { return openButton_; }
    int TrackingMode() const { return trackingMode_; }

    // The main frame's messages; -1 when not handled.
    LRESULT OnMainMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // A main-window command by id; -1 for an unlisted one.
    LRESULT OnCommand(int id);

private:
    static LRESULT DropDownHook(void* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT MainHook(void* self, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MessageFilter(int code, WPARAM wParam, LPARAM lParam);
    bool FilterMenuMessage(const MSG& message);
    void TrackOne(int commandId);
    void ShowStatusPanes();
    void ToggleWindow(int slot);
    void FlipCheck(HMENU popup, int item, bool* nowChecked);
    void SelectAllInFocusedList();
    void DrawMenuItem(const DRAWITEMSTRUCT& item);
    void MeasureMenuItem(MEASUREITEMSTRUCT& item);
    LRESULT OnClose();
    LRESULT OnDestroy();
    void OnSize(WPARAM type);
    void OnHelp();
    void OnTrayMessage(LPARAM mouse);
    void SaveNow();

    UIControl& control_;
    IDockToolBarWnd* toolBar_ = nullptr;  // one reference
    HWND buttons_ = nullptr;
    IWndProc* dropDownHook_ = nullptr;  // one reference, on the container
    IWndProc* mainHook_ = nullptr;      // one reference, on the frame
    int count_ = 0;
    HMENU popups_[maxMenus] = {};
    HMENU loaded_[maxMenus] = {};  // the menus the popups belong to, destroyed with the bar
    int commands_[maxMenus] = {};
    std::map<int, int> indexOf_;
    // Tracking.
    int openButton_ = -1;
    int nextButton_ = -1;
    POINT lastPoint_ = {-1, -1};
    int trackingMode_ = 0;
    bool allowPrevious_ = true;
    bool allowNext_ = true;
    bool escaped_ = false;
    HHOOK filter_ = nullptr;
};

}  // namespace vesk::ui
