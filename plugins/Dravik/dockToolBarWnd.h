// A dock window whose content is a platform toolbar ("ToolbarWindow32"):
// buttons from a toolbar resource, images from a bitmap, a docked size per
// side from the buttons' extent, a fixed size while the user drags a border,
// and the hot button's tip in the frame's status bar.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>

#include "plugins/Dravik/dockWnd.h"
#include "plugins/Dravik/export.h"
#include "vesk/ui.h"

namespace vesk::ui {

class DRAVIK_API VDockToolBarWnd : public VDockWnd, public IDockToolBarWnd {
public:
    VDockToolBarWnd();
    VDockToolBarWnd(const VDockToolBarWnd&) = delete;
    VDockToolBarWnd& operator=(const VDockToolBarWnd&) = delete;
    ~VDockToolBarWnd() override;

    using VDockWnd::Create;
    HWND Create(const char* caption, IWnd* parent, RECT* rect) override;
    long GetRect(int side, RECT* out) override;
    HWND GetToolBarHandle() override { return toolBar_; }
    IWnd* GetToolBarWnd() override;
    LRESULT OnSize(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnNotify(LONG_PTR wParam, LONG_PTR lParam) override;
    int LoadBitmapA(HINSTANCE module, const char* name, const char* maskName) override;
    int SetButtons(const UINT* ids, int count) override;
    void SetSizes(int buttonWidth, int buttonHeight, int imageWidth, int imageHeight) override;
    int LoadToolBar(HINSTANCE module, const char* toolBarName, const char* bitmapName) override;
    int LoadToolBarLarge(HINSTANCE module, const char* toolBarName, const char* bitmapName,
                         const char* maskName) override;
    int AddButton(int image, int command, BYTE state, BYTE style, DWORD data, const char* text) override;
    void SetBitMapSize(int width, int height) override;
    void SetMaxTextRows(int rows) override;
    void SetRows(int rows, int larger, RECT* out) override;
    int AddBitMap(int count, TBADDBITMAP* bitmap) override;
    int AddReplaceBitmap(HBITMAP image, HBITMAP mask) override;
    int SetButtonText(int index, const char* text) override;
    int SetIsMenu(int isMenu) override;
    void SetSizeableVertical(int sizeable) override { sizeableVertical_ = sizeable; }
    void SetSizeableHorizontal(int sizeable) override { sizeableHorizontal_ = sizeable; }

    // 0: 16 x 15 images on 23 x 22 buttons; 1: 32 x 32 on 39 x 39; 2: 32 x 32
    // on 39 x 44 (text under the images). The previous mode.
    unsigned long SetMode(unsigned long mode);
    long GetButtonIdFromCommand(long command);
    // In these two the state's TBSTATE_ENABLED bit means disabled. 0 for
    // an index without a button.
    BOOL GetButton(int index, TBBUTTON* button);
    BOOL SetButton(int index, TBBUTTON* button);
    // False for an index without a button or text.
    bool GetButtonText(int index, std::string& text);
    // While the user drags a border (WM_SIZING): the sides that are not
    // sizeable keep the buttons' extent.
    LRESULT OnSizing(LONG_PTR edge, LONG_PTR rect) override;

private:
    SIZE ButtonsExtent();
    // The buttons' extent grown by the dock window's borders.
    SIZE FixedWindowSize();
    // The toolbar string of the text, added once; -1 when refused.
    int StringIndexOf(const char* text);
    void ShowHotTip(const NMTBHOTITEM& hot);

    HWND toolBar_ = nullptr;
    VWnd* toolBarWnd_;  // one reference; over toolBar_
    unsigned long mode_ = 0;
    SIZE buttonSize_ = {23, 22};
    SIZE imageSize_ = {16, 15};
    int isMenu_ = 0;
    int sizeableVertical_ = 0;
    int sizeableHorizontal_ = 0;
    HIMAGELIST images_ = nullptr;  // made by AddReplaceBitmap
    std::map<std::string, int> strings_;  // text -> string index + 1
};

}  // namespace vesk::ui
