// The application's single main frame: the MDI client, the dock manager and
// the status bar, the GUI thread's message loop, the layout and the skinned
// non-client area.
#pragma once

#include <windows.h>

#include <deque>

#include "plugins/Dravik/export.h"
#include "plugins/Dravik/wnd.h"
#include "vesk/threading.h"
#include "vesk/ui.h"

namespace vesk::ui {

class VDock;
class VFrameClientWnd;

class DRAVIK_API VFrameWnd : public VWnd, public IFrameWnd, public IcoreObject {
public:
    // The status bar is the status bar class's object, made with it (not
    // owned; null leaves the frame without one).
    explicit VFrameWnd(IStatusBar* statusBar = nullptr);
    VFrameWnd(const VFrameWnd&) = delete;
    VFrameWnd& operator=(const VFrameWnd&) = delete;
    ~VFrameWnd() override;

    // Queued without a reference; nothing in the library takes them out.
    int Execute(Ifunction* fn) override;
    using VWnd::Create;
    // The frame window always has style 0x04CF0000 and extended style
    // 0x110, whatever is asked for.
    HWND Create(HWND parent, RECT* rect, const char* title, DWORD style, DWORD exStyle, HMENU menu, WORD id,
                void* param) override;
    HWND Create(IWnd* parent, RECT* rect, const char* title) override;
    long Run() override;
    IDock* GetDock() override;
    IFrameClientWnd* GetClientWnd() override;
    IStatusBar* GetStatusBar() override { return statusBar_; }
    int SetAccelerator(HACCEL table) override;
    int SetModuleHandle(HINSTANCE module) override;
    long Resize(RECT* rect, void* deferred, int width, int height) override;
    void SetDialogHandle(HWND dialog) override { dialog_ = dialog; }
    HWND GetDialogHandle() override { return dialog_; }
    void SetStatusBarVisible(int visible) override;
    int GetStatusBarVisible() override { return statusBarVisible_; }
    // The library's one skin engine.
    ISkinEngine* GetSkinEngine() override;

    LRESULT OnDestroy(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnSize(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnSettingChange(LONG_PTR wParam, LONG_PTR lParam) override;
    // The least tracking size: the docked layout and the status bar fit.
    LRESULT OnGetMinMaxInfo(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnSkinChanged(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnNcActivate(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnNcCalcSize(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnNcPaint(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnNcHitTest(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnNcLButtonDown(LONG_PTR wParam, LONG_PTR lParam) override;
    LRESULT OnQuit(LONG_PTR wParam, LONG_PTR lParam) override;

    // The least client size at which every dock area has its bands' least
    // lengths and a thickness of its own, no two areas overlap, the space
    // between them (the MDI client) keeps leastCentre, and the status bar
    // shows pane 0 (VStatusBar::LeastWidth).
    SIZE LeastClientSize();
    static constexpr SIZE leastCentre = {100, 100};

    // The frame's window and object, once Create made them; null before.
    static HWND FrameWindow();
    static VFrameWnd* FrameObject();

private:
    void LayOut(int width, int height, bool statusBarFirst);
    void RepaintClientArea();
    HWND StatusWindow();
    HWND ClientWindow();
    void RefreshSkinned(HWND window, LPARAM skin, bool setClassBrush, HBRUSH brush);

    VFrameClientWnd* client_;  // one reference
    VDock* dock_;              // one reference
    IStatusBar* statusBar_;    // not owned
    int statusBarVisible_ = 1;
    HACCEL accelerator_ = nullptr;
    HWND dialog_ = nullptr;
    MSG message_ = {};
    std::deque<Ifunction*> executeQueue_;  // not owned
};

}  // namespace vesk::ui
