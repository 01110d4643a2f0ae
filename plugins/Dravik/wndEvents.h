// The message handling every window object of the library inherits: the
// hook list and the dispatch of window messages to handlers.
#pragma once

#include <windows.h>

#include <vector>

#include "core/capsule.h"
#include "plugins/Dravik/export.h"
#include "plugins/Dravik/section.h"
#include "vesk/ui.h"

namespace vesk::ui {

class DRAVIK_API VWndEvents : public objectBase, public IWndEvents {
public:
    VWndEvents();
    // A copy holds its own reference on each hook.
    VWndEvents(const VWndEvents& other);
    VWndEvents& operator=(const VWndEvents& other);
    virtual ~VWndEvents();

    int AddMessageHook(IWndProc* hook) override;
    int RemoveMessageHook(IWndProc* hook) override;
    // Hooks first, in the order added (the first answer other than -1
    // wins); then the message's handler; -1 for every other message.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Every handler answers -1, "not handled".
    LRESULT OnActivateApp(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnCancelMode(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnChildActivate(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnPaint(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnClose(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnCompacting(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnCreate(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnDestroy(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnEnable(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnEnterSizeMove(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnEraseBkGnd(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnExitSizeMove(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnGetIcon(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnGetMinMaxInfo(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnGetText(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnGetTextLength(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnInputLangChange(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnInputLangChangeRequest(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnMove(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnMoving(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnNcActivate(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnNcCalcSize(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnNcCreate(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnNcDestroy(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnNcPaint(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnNcLButtonDown(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnNcLButtonDblClk(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnNotify(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnNotifyChild(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnParentNotify(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnQueryDragIcon(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnQueryOpen(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnQuit(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnSetIcon(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnSetText(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnShowWindow(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnSizing(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnSizeParent(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnSize(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnStyleChanged(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnStyleChanging(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnUserChanged(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnWindowPosChanged(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnWindowPosChanging(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnLButtonUp(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnLButtonDown(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnLButtonDblClk(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnRButtonDown(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnRButtonUp(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnMouseMove(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnNcHitTest(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnTimer(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnInitMenu(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnInitMenuPopup(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnMenuChar(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnMenuSelect(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnSysChar(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnSysCommand(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnCommand(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnDrawItem(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnMouseWheel(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnCaptureChanged(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnMButtonDown(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnMButtonUp(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnMouseActivate(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnMouseHover(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnMouseLeave(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnNcMouseLeave(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnNcMouseMove(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnAppCommand(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnMDIActivate(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnSettingChange(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnSkinChanged(LONG_PTR wParam, LONG_PTR lParam) override;

    // Reached by no message.
    int PreTranslateMessage(MSG*) { return 0; }
    LRESULT OnContextMenu(LONG_PTR, LONG_PTR) { return -1; }
    LRESULT OnMeasureItem(LONG_PTR, LONG_PTR) { return -1; }
    LRESULT OnNcLButtonUp(LONG_PTR, LONG_PTR) { return -1; }

    // The message table: the handler of a message, null for a message no
    // handler takes.
    using handler = LRESULT (VWndEvents::*)(LONG_PTR, LONG_PTR);
    static handler HandlerOf(UINT message);

protected:
    // The window the hooks are told about.
    virtual HWND HookWindow() { return nullptr; }

private:
    // The hooks as they are now, each with a reference the caller releases.
    std::vector<IWndProc*> TakeHooks();
    void ReleaseHooks();

    criticalSection hookLock_;
    std::vector<IWndProc*> hooks_;  // one reference per entry
};

}  // namespace vesk::ui
