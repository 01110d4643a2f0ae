// The main window's toolbars as the controller sees them: the objects are
// made once (the connect toolbar's is published), and while it builds the
// layout the controller makes each window through its Make function, which
// gives the toolbar's dock window (null when it was not made).
#pragma once

#include <windows.h>

#include "vesk/ui.h"

namespace vesk::ui {

class VDockConnectTB;

// The toolbars' own interfaces (not published).
struct ISearchTB : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::ISearchTB *";
    // 1, or -1 when the dock toolbar is not made.
    virtual int Create(const char* caption, RECT* rect) = 0;
};

struct ITransferTB : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::ITransferTB *";
};

struct IViewTB : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ui::IViewTB *";
    virtual int Create(const char* caption, RECT* rect) = 0;
};

// The connect toolbar's object, a core object made on the first call; null
// when it cannot be made.
VDockConnectTB* ConnectToolBarObject();

IDockWnd* MakeVDockConnectTB(IUIControl* control, const char* caption, RECT* rect);
IDockWnd* MakeVSearchTB(IUIControl* control, const char* caption, RECT* rect);
IDockWnd* MakeVTransferTB(IUIControl* control, const char* caption, RECT* rect);
IDockWnd* MakeVViewTB(IUIControl* control, const char* caption, RECT* rect);

// The action named by the text is fired on the agent of every download
// row; the agents are referenced first, as an action may remove rows.
void FireOnEveryDownload(unsigned actionText);

}  // namespace vesk::ui
