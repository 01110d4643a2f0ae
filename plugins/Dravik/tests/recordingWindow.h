// A window object that records which of its handlers each message reached
// and answers them all with one value.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "plugins/Dravik/wnd.h"

namespace vesk::ui::test {

#define DRAVIK_ALL_HANDLERS(X)                                                                                  \
    X(OnActivateApp) X(OnCancelMode) X(OnChildActivate) X(OnPaint) X(OnClose) X(OnCompacting) X(OnCreate)      \
    X(OnDestroy) X(OnEnable) X(OnEnterSizeMove) X(OnEraseBkGnd) X(OnExitSizeMove) X(OnGetIcon)                 \
    X(OnGetMinMaxInfo) X(OnGetText) X(OnGetTextLength) X(OnInputLangChange) X(OnInputLangChangeRequest)        \
    X(OnMove) X(OnMoving) X(OnNcActivate) X(OnNcCalcSize) X(OnNcCreate) X(OnNcDestroy) X(OnNcPaint)            \
    X(OnNcLButtonDown) X(OnNcLButtonDblClk) X(OnNotify) X(OnNotifyChild) X(OnParentNotify) X(OnQueryDragIcon)  \
    X(OnQueryOpen) X(OnQuit) X(OnSetIcon) X(OnSetText) X(OnShowWindow) X(OnSizing) X(OnSizeParent) X(OnSize)   \
    X(OnStyleChanged) X(OnStyleChanging) X(OnUserChanged) X(OnWindowPosChanged) X(OnWindowPosChanging)         \
    X(OnLButtonUp) X(OnLButtonDown) X(OnLButtonDblClk) X(OnRButtonDown) X(OnRButtonUp) X(OnMouseMove)          \
    X(OnNcHitTest) X(OnTimer) X(OnInitMenu) X(OnInitMenuPopup) X(OnMenuChar) X(OnMenuSelect) X(OnSysChar)      \
    X(OnSysCommand) X(OnCommand) X(OnDrawItem) X(OnMouseWheel) X(OnCaptureChanged) X(OnMButtonDown)            \
    X(OnMButtonUp) X(OnMouseActivate) X(OnMouseHover) X(OnMouseLeave) X(OnNcMouseLeave) X(OnNcMouseMove)       \
    X(OnAppCommand) X(OnMDIActivate) X(OnSettingChange) X(OnSkinChanged)

class recordingWindow : public VWnd {
public:
    static constexpr const char* className = "Dravik test window";

#define DRAVIK_RECORD(name)                                   \
    LRESULT name(LONG_PTR, LONG_PTR) override {               \
        if (recording)                                        \
            heard.push_back(#name);                           \
        return recording ? answer : VWnd::name(0, 0);         \
    }
    DRAVIK_ALL_HANDLERS(DRAVIK_RECORD)
#undef DRAVIK_RECORD

    // A shown top-level window of the test class.
    HWND Make(const char* title = "recording");

    bool recording = false;  // until set, every handler behaves as VWnd's
    LRESULT answer = 0;
    std::vector<std::string> heard;
};

}  // namespace vesk::ui::test
