#include "testing/fakes/fakeUi.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <mutex>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "core/capsule.h"
#include "testing/fakes/agentText.h"
#include "testing/fakes/hostPages.h"
#include "testing/fakes/inertWindow.h"
#include "testing/fakes/wndProc.h"

namespace vesk::testing {

namespace {

// Every fake object knows the fake it belongs to; each operation records
// itself and runs on the GUI thread through enter().
class part : public objectBase {
protected:
    explicit part(fakeUi& ui) : ui_(ui) {}

    // Records the call; the result is computed on the GUI thread.
    template <class R>
    R answer(const callText& call, std::function<R()> work) {
        R result{};
        ui_.enter(call, [&] { result = work(); });
        return result;
    }
    template <class R>
    R answer(const callText& call, R fixed) {
        ui_.enter(call);
        return fixed;
    }
    void note(const callText& call) { ui_.enter(call); }

    fakeUi& ui_;
};

callText row(const char* operation, ss::IAgent* agent) { return std::move(callText(operation).address(agent)); }

// ---- the window library's pieces

// Message hooks of a window object, as the window library keeps them:
// asked in the order added, on the GUI thread, for every message. The
// message handlers stay inert.
class hookedPart : public part, public inertWndEvents {
public:
    int AddMessageHook(ui::IWndProc* hook) override {
        return answer<int>(callText("IWndEvents::AddMessageHook").address(hook), [&] {
            if (!hook)
                return 0;
            hook->addRef();
            hooks_.push_back(hook);
            return 1;
        });
    }
    int RemoveMessageHook(ui::IWndProc* hook) override {
        return answer<int>(callText("IWndEvents::RemoveMessageHook").address(hook), [&] {
            if (!hook)
                return 0;
            auto end = std::remove(hooks_.begin(), hooks_.end(), hook);
            if (end != hooks_.end()) {
                hooks_.erase(end, hooks_.end());
                hook->release();
            }
            return 1;
        });
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        LRESULT result = -1;
        ui_.gui().run([&] { result = dispatch(nullptr, message, wParam, lParam); });
        return result;
    }

    // On the GUI thread: the first hook answer other than -1.
    LRESULT dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        std::vector<ui::IWndProc*> hooks = hooks_;
        for (ui::IWndProc* hook : hooks) {
            LRESULT r = hook->HookProc(window, message, wParam, lParam);
            if (r != -1)
                return r;
        }
        return -1;
    }

protected:
    explicit hookedPart(fakeUi& ui) : part(ui) {}
    ~hookedPart() {
        for (ui::IWndProc* hook : hooks_)
            hook->release();
    }

private:
    std::vector<ui::IWndProc*> hooks_;  // each holds a reference; GUI thread only
};

// A window object: recorded window operations over an optional platform
// window (window_), whose messages pass through the hooks first; the
// operations no caller uses stay inert.
class fakeWindow : public hookedPart, public inertWnd {
public:
    LONG_PTR Attach(ui::IWnd*) override { return answer(callText("IWnd::Attach"), 0L); }
    void Attach(HWND) override { note(callText("IWnd::Attach")); }
    HWND Detach() override { return answer(callText("IWnd::Detach"), HWND(nullptr)); }
    ATOM Register(const char* name, UINT, HICON, HICON, HBRUSH, WNDPROC) override {
        return answer(callText("IWnd::Register").arg(name), ATOM(0));
    }
    HWND Create(const char* cls, HWND, RECT*, const char* title, DWORD, DWORD, HMENU, void*) override {
        return answer(callText("IWnd::Create").arg(cls).arg(title), HWND(nullptr));
    }
    HWND Create(const char* cls, HWND, RECT&, const char* title, DWORD, DWORD, UINT, void*) override {
        return answer(callText("IWnd::Create").arg(cls).arg(title), HWND(nullptr));
    }
    LONG_PTR SetWindowClassPtr(ui::IWnd*) override { return answer(callText("IWnd::SetWindowClassPtr"), 0L); }
    int DestroyWindow() override { return answer(callText("IWnd::DestroyWindow"), 0); }
    int OnChildAttached(ui::IWnd*) override { return answer(callText("IWnd::OnChildAttached"), 1); }
    int OnChildDetach(ui::IWnd*) override { return answer(callText("IWnd::OnChildDetach"), 1); }
    BOOL AdjustWindowRectEx(RECT*) override { return answer(callText("IWnd::AdjustWindowRectEx"), BOOL(0)); }
    DWORD GetStyle(DWORD style) override { return answer(callText("IWnd::GetStyle").arg(style), style); }
    DWORD GetStyle() override { return answer(callText("IWnd::GetStyle"), DWORD(0)); }
    DWORD GetExStyle(DWORD style) override { return answer(callText("IWnd::GetExStyle").arg(style), style); }
    DWORD GetExStyle() override { return answer(callText("IWnd::GetExStyle"), DWORD(0)); }
    LONG GetWindowLongA(int index) override { return answer(callText("IWnd::GetWindowLongA").arg(index), LONG(0)); }
    LONG SetWindowLongA(int index, LONG v) override {
        return answer(callText("IWnd::SetWindowLongA").arg(index).arg(v), LONG(0));
    }
    HWND GetHandle() override { return answer(callText("IWnd::GetHandle"), window_); }
    WNDPROC SubclassWindowProc(WNDPROC) override {
        return answer(callText("IWnd::SubclassWindowProc"), WNDPROC(nullptr));
    }
    WORD GetWindowWord(int index) override { return answer(callText("IWnd::GetWindowWord").arg(index), WORD(0)); }
    WORD SetWindowWord(int index, WORD v) override {
        return answer(callText("IWnd::SetWindowWord").arg(index).arg(int(v)), WORD(0));
    }
    LRESULT SendMsg(HWND, UINT message, WPARAM, LPARAM) override {
        return answer(callText("IWnd::SendMsg").arg(message), LRESULT(0));
    }
    LRESULT SendMsg(UINT message, WPARAM, LPARAM) override {
        return answer(callText("IWnd::SendMsg").arg(message), LRESULT(0));
    }
    BOOL PostMessageA(UINT message, WPARAM, LPARAM) override {
        return answer(callText("IWnd::PostMessageA").arg(message), BOOL(1));
    }
    BOOL SendNotifyMessageA(UINT message, WPARAM, LPARAM) override {
        return answer(callText("IWnd::SendNotifyMessageA").arg(message), BOOL(1));
    }
    BOOL SetWindowTextA(const char* text) override {
        return answer(callText("IWnd::SetWindowTextA").arg(text), BOOL(1));
    }

protected:
    explicit fakeWindow(fakeUi& ui) : hookedPart(ui) {}
    ~fakeWindow() {
        ui_.gui().run([&] {
            if (window_) {
                ::SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
                ::DestroyWindow(window_);
            }
        });
    }

    // Gives the object a message-only window of the GUI thread.
    void makeWindow() {
        ui_.gui().run([&] {
            static const char className[] = "vesk fake hooked window";
            WNDCLASSA wc = {};
            wc.lpfnWndProc = procedure;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = className;
            RegisterClassA(&wc);  // fails harmlessly when registered before
            window_ = CreateWindowExA(0, className, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                      nullptr);
            auto* owner = static_cast<hookedPart*>(this);
            if (window_)
                ::SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
        });
    }

    HWND window_ = nullptr;  // GUI thread's; null: no platform window

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* owner = reinterpret_cast<hookedPart*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        LRESULT r = owner ? owner->dispatch(window, message, wParam, lParam) : -1;
        return r != -1 ? r : DefWindowProcA(window, message, wParam, lParam);
    }
};

// The frame child window shared by every result window.
class fakeChildWindow : public fakeWindow, public ui::IFrameChildWnd {
public:
    explicit fakeChildWindow(fakeUi& ui) : fakeWindow(ui) {
        registerInterfaceOf<ui::IFrameChildWnd>(this);
        registerInterfaceOf<ui::IWnd>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    HWND Create(ui::IWnd*, const char* title, RECT*) override {
        return answer(callText("IFrameChildWnd::Create").arg(title), HWND(nullptr));
    }
    int Maximize() override { return answer(callText("IFrameChildWnd::Maximize"), 1); }
    int Activate() override { return answer(callText("IFrameChildWnd::Activate"), 1); }
    using fakeWindow::Create;
};

// The container of the host window: it keeps message hooks.
class fakeContainer : public hookedPart, public ui::IDockContainer {
public:
    explicit fakeContainer(fakeUi& ui) : hookedPart(ui) {
        registerInterfaceOf<ui::IDockContainer>(this);
        registerInterfaceOf<ui::IWndEvents>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    HWND Create(const char* name, ui::IWnd*, RECT*) override {
        return answer(callText("IDockContainer::Create").arg(name), HWND(nullptr));
    }
    long DrawBorder(HDC, const RECT*) override { return answer(callText("IDockContainer::DrawBorder"), 0L); }
    long DrawGripper(HDC, const RECT*) override { return answer(callText("IDockContainer::DrawGripper"), 0L); }
    int SetDockRect(DWORD vertical, RECT*) override {
        return answer(callText("IDockContainer::SetDockRect").arg(vertical), 1);
    }
    int GetDockRect(DWORD vertical, RECT*) override {
        return answer(callText("IDockContainer::GetDockRect").arg(vertical), 0);
    }
    int SetRect(RECT*) override { return answer(callText("IDockContainer::SetRect"), 1); }
    void SetAutoSizeChild(int on) override { note(callText("IDockContainer::SetAutoSizeChild").arg(on)); }
    int IsResizable() override { return answer(callText("IDockContainer::IsResizable"), 0); }
    void SetResizable(int on) override { note(callText("IDockContainer::SetResizable").arg(on)); }
    int IsDocked() override { return answer(callText("IDockContainer::IsDocked"), 0); }
    int IsVertical() override { return answer(callText("IDockContainer::IsVertical"), 0); }
    LRESULT OnSize(LONG_PTR, LONG_PTR) override { return answer(callText("IDockContainer::OnSize"), -1L); }
    LRESULT OnDocking(LONG_PTR, LONG_PTR) override { return answer(callText("IDockContainer::OnDocking"), -1L); }
    LRESULT OnUnDocking(LONG_PTR, LONG_PTR) override { return answer(callText("IDockContainer::OnUnDocking"), -1L); }
};

// The status bar has a window of the GUI thread, as the real one has once
// the frame made it: messages sent there pass through its hooks.
class fakeStatusBar : public fakeWindow, public ui::IStatusBar {
public:
    explicit fakeStatusBar(fakeUi& ui) : fakeWindow(ui) {
        registerInterfaceOf<ui::IStatusBar>(this);
        registerInterfaceOf<ui::IWnd>(this);
        registerInterfaceOf<ui::IWndEvents>(this);
        registerInterfaceOf<Igeneric>(this);
        makeWindow();
    }
    using fakeWindow::Create;
    int Create(ui::IWnd*) override { return answer(callText("IStatusBar::Create"), 0); }
    void Output(const char* text) override { note(callText("IStatusBar::Output").arg(text).arg(0).arg(0x400)); }
    void Output(const char* text, int pane, DWORD flags) override {
        note(callText("IStatusBar::Output").arg(text).arg(pane).arg(flags));
    }
    int Resize(RECT*, void*, int width, int height) override {
        return answer(callText("IStatusBar::Resize").arg(width).arg(height), 1);
    }
    long SetIcon(int pane, HICON icon) override {
        return answer(callText("IStatusBar::SetIcon").arg(pane).address(icon), 1L);
    }
};

class fakeFrame : public part, public ui::IFrameWnd {
public:
    fakeFrame(fakeUi& ui, ui::IStatusBar* bar) : part(ui), bar_(bar) {
        registerInterfaceOf<ui::IFrameWnd>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    int Execute(Ifunction*) override { return answer(callText("IFrameWnd::Execute"), 1); }
    HWND Create(HWND, RECT*, const char* title, DWORD, DWORD, HMENU, WORD, void*) override {
        return answer(callText("IFrameWnd::Create").arg(title), HWND(nullptr));
    }
    HWND Create(ui::IWnd*, RECT*, const char* title) override {
        return answer(callText("IFrameWnd::Create").arg(title), HWND(nullptr));
    }
    long Run() override { return answer(callText("IFrameWnd::Run"), 0L); }
    ui::IDock* GetDock() override { return answer(callText("IFrameWnd::GetDock"), static_cast<ui::IDock*>(nullptr)); }
    ui::IFrameClientWnd* GetClientWnd() override {
        return answer(callText("IFrameWnd::GetClientWnd"), static_cast<ui::IFrameClientWnd*>(nullptr));
    }
    ui::IStatusBar* GetStatusBar() override { return answer(callText("IFrameWnd::GetStatusBar"), bar_); }
    int SetAccelerator(HACCEL) override { return answer(callText("IFrameWnd::SetAccelerator"), 1); }
    int SetModuleHandle(HINSTANCE) override { return answer(callText("IFrameWnd::SetModuleHandle"), 1); }
    long Resize(RECT*, void*, int width, int height) override {
        return answer(callText("IFrameWnd::Resize").arg(width).arg(height), 1L);
    }
    void SetDialogHandle(HWND dialog) override { note(callText("IFrameWnd::SetDialogHandle").address(dialog)); }
    HWND GetDialogHandle() override { return answer(callText("IFrameWnd::GetDialogHandle"), HWND(nullptr)); }
    void SetStatusBarVisible(int on) override { note(callText("IFrameWnd::SetStatusBarVisible").arg(on)); }
    int GetStatusBarVisible() override { return answer(callText("IFrameWnd::GetStatusBarVisible"), 1); }
    ui::ISkinEngine* GetSkinEngine() override {
        return answer(callText("IFrameWnd::GetSkinEngine"), static_cast<ui::ISkinEngine*>(nullptr));
    }

private:
    ui::IStatusBar* bar_;  // not owned
};

// ---- the user interface's pieces

class fakeResultWindow : public part, public ui::ISearchResultWnd {
public:
    fakeResultWindow(fakeUi& ui, ui::IFrameChildWnd* child) : part(ui), child_(child) {
        registerInterfaceOf<ui::ISearchResultWnd>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    int Create(const char* name, RECT*) override {
        return answer(callText("ISearchResultWnd::Create").address(this).arg(name), 1);
    }
    HWND GetListWnd() override {
        return answer(callText("ISearchResultWnd::GetListWnd").address(this), HWND(nullptr));
    }
    ui::IFrameChildWnd* GetChildWnd() override {
        return answer(callText("ISearchResultWnd::GetChildWnd").address(this), child_);
    }
    int ShowFilter() override { return answer(callText("ISearchResultWnd::ShowFilter").address(this), 1); }
    int HideFilter() override { return answer(callText("ISearchResultWnd::HideFilter").address(this), 1); }
    void Refresh(int n) override { note(callText("ISearchResultWnd::Refresh").address(this).arg(n)); }
    int RefreshList(int n) override {
        return answer(callText("ISearchResultWnd::RefreshList").address(this).arg(n), 1);
    }
    void Remove(ss::IAgent* agent) override {
        note(callText("ISearchResultWnd::Remove").address(this).address(agent));
    }
    void Attach(ss::IAgent* agent) override {
        note(callText("ISearchResultWnd::Attach").address(this).address(agent));
    }
    void SaveColumns() override { note(callText("ISearchResultWnd::SaveColumns").address(this)); }
    void Close() override { note(callText("ISearchResultWnd::Close").address(this)); }
    void Activate() override { note(callText("ISearchResultWnd::Activate").address(this)); }

private:
    ui::IFrameChildWnd* child_;  // not owned; lives as long as the fake
};

class fakeControl : public part, public ui::IUIControl {
public:
    fakeControl(fakeUi& ui, ui::IFrameChildWnd* child) : part(ui), child_(child) {
        registerInterfaceOf<ui::IUIControl>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    int Create() override { return answer(callText("IUIControl::Create"), 1); }
    int Run() override { return answer(callText("IUIControl::Run"), 0); }
    int Shutdown() override { return answer(callText("IUIControl::Shutdown"), 0); }
    HINSTANCE GetResourceInstance() override {
        return answer(callText("IUIControl::GetResourceInstance"), ui_.languageModule());
    }
    void SetResourceInstance(HINSTANCE module) override {
        ui_.enter(callText("IUIControl::SetResourceInstance").address(module),
                  [&] { ui_.setResourceModules(module, ui_.defaultModule()); });
    }
    HINSTANCE GetDefaultResourceInstance() override {
        return answer(callText("IUIControl::GetDefaultResourceInstance"), ui_.defaultModule());
    }
    HIMAGELIST GetSmallImageList() override {
        return answer(callText("IUIControl::GetSmallImageList"), HIMAGELIST(nullptr));
    }
    HIMAGELIST GetLargeImageList() override {
        return answer(callText("IUIControl::GetLargeImageList"), HIMAGELIST(nullptr));
    }
    ui::IDockWnd* CreateDockWindow(const char* caption, RECT*) override {
        return answer(callText("IUIControl::CreateDockWindow").arg(caption), static_cast<ui::IDockWnd*>(nullptr));
    }
    ui::IDockToolBarWnd* CreateDockToolBarWindow(const char* caption, RECT*) override {
        return answer(callText("IUIControl::CreateDockToolBarWindow").arg(caption),
                      static_cast<ui::IDockToolBarWnd*>(nullptr));
    }
    ui::IDockTabBarWnd* CreateDockTabBarWindow(const char* caption, RECT*) override {
        return answer(callText("IUIControl::CreateDockTabBarWindow").arg(caption),
                      static_cast<ui::IDockTabBarWnd*>(nullptr));
    }
    ui::ISearchResultWnd* CreateSearchResultWnd(const char* name, RECT* rect) override {
        callText call("IUIControl::CreateSearchResultWnd");
        call.arg(name);
        if (rect)
            call.arg(rect->left).arg(rect->top).arg(rect->right).arg(rect->bottom);
        return answer<ui::ISearchResultWnd*>(call, [&]() -> ui::ISearchResultWnd* {
            return new (std::nothrow) capsule<fakeResultWindow>(ui_, child_);
        });
    }
    ui::IFrameChildWnd* CreateChildWnd(const char* title, RECT*) override {
        return answer(callText("IUIControl::CreateChildWnd").arg(title), child_);
    }
    bool IsClosed() override { return answer(callText("IUIControl::IsClosed"), false); }
    int AddIcon(HINSTANCE module, int id) override {
        return answer<int>(callText("IUIControl::AddIcon").address(module).arg(id), [&] {
            auto key = std::make_pair(module, id);
            auto found = icons_.find(key);
            if (found != icons_.end())
                return found->second;
            int index = static_cast<int>(icons_.size());
            icons_.emplace(key, index);
            return index;
        });
    }
    bool AutoComplete(HWND, DWORD flags) override {
        return answer(callText("IUIControl::AutoComplete").arg(flags), true);
    }

private:
    ui::IFrameChildWnd* child_;                        // not owned
    std::map<std::pair<HINSTANCE, int>, int> icons_;  // GUI thread only
};

class fakeOptions : public part, public ui::IOptions {
public:
    explicit fakeOptions(fakeUi& ui) : part(ui) {
        registerInterfaceOf<ui::IOptions>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    int Create() override { return answer(callText("IOptions::Create"), 0); }
    // Every page is kept and made from its template when a test selects
    // it (optionsPages.h).
    HTREEITEM AddPage(const char* title, const char* parent, int image, int dialog, HINSTANCE module,
                      DLGPROC procedure) override {
        return answer<HTREEITEM>(callText("IOptions::AddPage").arg(title).arg(parent).arg(image).arg(dialog),
                                 [&]() -> HTREEITEM {
                                     if (!title || !*title)
                                         return nullptr;
                                     ui_.optionsDialog().add(title, parent, image, dialog, module, procedure);
                                     return reinterpret_cast<HTREEITEM>(++pages_);
                                 });
    }
    int Show() override { return answer(callText("IOptions::Show"), 1); }
    int Hide() override { return answer(callText("IOptions::Hide"), 1); }

private:
    INT_PTR pages_ = 0;  // GUI thread only
};

class fakeSearchHistory : public part, public ui::ISearchHistoryDockWnd {
public:
    explicit fakeSearchHistory(fakeUi& ui) : part(ui) {
        registerInterfaceOf<ui::ISearchHistoryDockWnd>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    int Create(const char* name, RECT*) override {
        return answer(callText("ISearchHistoryDockWnd::Create").arg(name), 0);
    }
    ui::IDockTabBarWnd* GetDockWnd() override {
        return answer(callText("ISearchHistoryDockWnd::GetDockWnd"), static_cast<ui::IDockTabBarWnd*>(nullptr));
    }
    int RemoveSearch(ss::IAgent* agent) override {
        return answer(row("ISearchHistoryDockWnd::RemoveSearch", agent), 1);
    }
    bool UpdateSearch(ss::IAgent* agent) override {
        return answer(row("ISearchHistoryDockWnd::UpdateSearch", agent), true);
    }
};

class fakeConnectToolbar : public part, public ui::IDockConnectTB {
public:
    explicit fakeConnectToolbar(fakeUi& ui) : part(ui) {
        registerInterfaceOf<ui::IDockConnectTB>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    int Create(const char* caption, RECT*) override {
        return answer(callText("IDockConnectTB::Create").arg(caption), 1);
    }
    int SetConnectedState(int connected) override {
        return answer(callText("IDockConnectTB::SetConnectedState").arg(connected), connected ? 0 : 1);
    }
    bool IsConnected() override {
        bool connected = last_;
        if (ss::ISSManager* m = ui_.manager())
            connected = m->IsConnected();
        return answer(callText("IDockConnectTB::IsConnected"), connected);
    }
    // The manager is driven on the caller's thread, as the real toolbar does.
    int Connect() override { return change(true, "IDockConnectTB::Connect"); }
    int Disconnect() override { return change(false, "IDockConnectTB::Disconnect"); }

private:
    int change(bool connect, const char* operation) {
        note(callText(operation));
        if (ss::ISSManager* m = ui_.manager())
            m->ConnectAll(connect);
        last_ = connect;
        SetConnectedState(connect ? 1 : 0);
        return 1;
    }

    volatile bool last_ = false;
};

class fakeHostWindow : public part, public ui::IGnutellaHostDockWnd {
public:
    fakeHostWindow(fakeUi& ui, ui::IDockContainer* container) : part(ui), container_(container) {
        registerInterfaceOf<ui::IGnutellaHostDockWnd>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    int Create(const char* name, RECT*) override {
        return answer(callText("IGnutellaHostDockWnd::Create").arg(name), 1);
    }
    ~fakeHostWindow() { setPages(hostPages()); }
    void AddConnect(ss::IAgent* a) override {
        keep(a);
        ui_.enter(row("IGnutellaHostDockWnd::AddConnect", a), [&] { ListRow(list(connectListId), a); });
    }
    bool UpdateConnect(ss::IAgent* a) override {
        keep(a);
        ui_.enter(row("IGnutellaHostDockWnd::UpdateConnect", a), [&] { ListRow(list(connectListId), a); });
        return true;
    }
    int RemoveConnect(ss::IAgent* a) override {
        ui_.enter(row("IGnutellaHostDockWnd::RemoveConnect", a), [&] { UnlistRow(list(connectListId), a); });
        return 1;
    }
    int RemoveAllConnect() override {
        ui_.enter(callText("IGnutellaHostDockWnd::RemoveAllConnect"), [&] { UnlistAll(list(connectListId)); });
        return 1;
    }
    void AddCatch(ss::IAgent* a) override {
        ui_.enter(row("IGnutellaHostDockWnd::AddCatch", a), [&] { ListRow(list(catchListId), a); });
    }
    bool UpdateCatch(ss::IAgent* a) override {
        ui_.enter(row("IGnutellaHostDockWnd::UpdateCatch", a), [&] { ListRow(list(catchListId), a); });
        return true;
    }
    int ClearCatch() override {
        ui_.enter(callText("IGnutellaHostDockWnd::ClearCatch"), [&] { UnlistAll(list(catchListId)); });
        return 1;
    }
    int Reserved() override { return answer(callText("IGnutellaHostDockWnd::Reserved"), 0); }
    int RemoveCatch(ss::IAgent* a) override {
        ui_.enter(row("IGnutellaHostDockWnd::RemoveCatch", a), [&] { UnlistRow(list(catchListId), a); });
        return 1;
    }
    ui::IDockTabBarWnd* GetDockWnd() override {
        return answer(callText("IGnutellaHostDockWnd::GetDockWnd"), static_cast<ui::IDockTabBarWnd*>(nullptr));
    }
    ui::IDockContainer* WaitCreated() override {
        return answer(callText("IGnutellaHostDockWnd::WaitCreated"), container_);
    }
    HWND GetConnectPage() override {
        return answer<HWND>(callText("IGnutellaHostDockWnd::GetConnectPage"), [&] { return pages_.connectPage; });
    }
    HWND GetCatchPage() override {
        return answer<HWND>(callText("IGnutellaHostDockWnd::GetCatchPage"), [&] { return pages_.catchPage; });
    }
    HWND GetAddressCombo() override {
        return answer<HWND>(callText("IGnutellaHostDockWnd::GetAddressCombo"), [&] { return pages_.addressCombo; });
    }

    // The pages handed out from now on; the rows listed in the old ones are
    // let go.
    void setPages(const hostPages& pages) {
        ui_.gui().run([&] {
            UnlistAll(list(connectListId));
            UnlistAll(list(catchListId));
            pages_ = pages;
        });
    }
    int SaveHistory() override { return answer(callText("IGnutellaHostDockWnd::SaveHistory"), 1); }

    // The connect rows given (the latest keptRows of them), as last added or
    // updated, in first-seen order.
    std::vector<std::string> connectRows() {
        std::lock_guard<std::mutex> hold(rowsLock_);
        std::vector<std::string> rows;
        for (const auto& r : rowOrder_)
            rows.push_back(rowTexts_[r]);
        return rows;
    }

private:
    // The row's text, not the row: nothing is held once the module lets go.
    void keep(ss::IAgent* a) {
        if (!a)
            return;
        std::string text = agentAttributes(a);
        std::lock_guard<std::mutex> hold(rowsLock_);
        if (rowTexts_.find(a) == rowTexts_.end()) {
            rowOrder_.push_back(a);
            if (rowOrder_.size() > keptRows) {  // a long run holds no more
                rowTexts_.erase(rowOrder_.front());
                rowOrder_.erase(rowOrder_.begin());
            }
        }
        rowTexts_[a] = text;
    }

    HWND list(int id) const {
        HWND page = id == connectListId ? pages_.connectPage : pages_.catchPage;
        return page ? GetDlgItem(page, id) : nullptr;
    }

    static constexpr std::size_t keptRows = 256;
    ui::IDockContainer* container_;  // not owned
    hostPages pages_;                // the test's windows; GUI thread only
    std::mutex rowsLock_;
    std::vector<const void*> rowOrder_;  // addresses only, never followed
    std::map<const void*, std::string> rowTexts_;
};

class fakeStatWindow : public part, public ui::IGnutellaStatDockWnd {
public:
    explicit fakeStatWindow(fakeUi& ui) : part(ui) {
        registerInterfaceOf<ui::IGnutellaStatDockWnd>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    int Create(const char* name, RECT*) override {
        return answer(callText("IGnutellaStatDockWnd::Create").arg(name), 1);
    }
    bool AddLine(const char* text) override { return answer(callText("IGnutellaStatDockWnd::AddLine").arg(text), true); }
};

// The transfer window keeps its lists as the real one does: a row added
// takes a reference, which its removal (or the window's end) gives back,
// and a row new to a list gets the window's own actions (stand-ins that do
// nothing), which the protocol's transfer actions must leave alone.
class fakeTransferWindow : public part, public ui::IDockTransferWnd {
public:
    explicit fakeTransferWindow(fakeUi& ui) : part(ui) {
        registerInterfaceOf<ui::IDockTransferWnd>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    ~fakeTransferWindow() {
        for (auto* list : {&downloads_, &uploads_})
            for (ss::IAgent* a : *list)
                a->release();
    }
    int Create(const char* name, RECT*) override {
        return answer(callText("IDockTransferWnd::Create").arg(name), 1);
    }
    void AddUpload(ss::IAgent* a) override { note(row("IDockTransferWnd::AddUpload", a)); }
    int UpdateUpload(ss::IAgent* a) override {
        return answer<int>(row("IDockTransferWnd::UpdateUpload", a), [&] { return list(uploads_, a, false); });
    }
    int RemoveUpload(ss::IAgent* a) override {
        return answer<int>(row("IDockTransferWnd::RemoveUpload", a), [&] { return unlist(uploads_, a); });
    }
    void AddDownload(ss::IAgent* a) override { note(row("IDockTransferWnd::AddDownload", a)); }
    int UpdateDownload(ss::IAgent* a) override {
        return answer<int>(row("IDockTransferWnd::UpdateDownload", a), [&] { return list(downloads_, a, true); });
    }
    int RemoveDownload(ss::IAgent* a) override {
        return answer<int>(row("IDockTransferWnd::RemoveDownload", a), [&] { return unlist(downloads_, a); });
    }
    ui::IDockTabBarWnd* GetDockWnd() override {
        return answer(callText("IDockTransferWnd::GetDockWnd"), static_cast<ui::IDockTabBarWnd*>(nullptr));
    }

    // The rows of a list, read on the GUI thread (no reference added).
    std::vector<ss::IAgent*> rows(bool downloads) {
        std::vector<ss::IAgent*> out;
        ui_.gui().run([&] { out = downloads ? downloads_ : uploads_; });
        return out;
    }

    // The names of the actions the window attaches: add to (or remove
    // from) the playlist, play, explore, open; the language module's texts
    // when it has them.
    static std::vector<std::string> windowActionNames(HINSTANCE language, bool downloads) {
        static const int downloadActions[] = {40019, 249, 288, 289};
        static const int uploadActions[] = {40020, 249, 288, 289};
        std::vector<std::string> names;
        for (int id : downloads ? downloadActions : uploadActions) {
            char text[260] = {};
            if (!language || LoadStringA(language, static_cast<UINT>(id), text, sizeof text) <= 0)
                std::snprintf(text, sizeof text, "window action %d", id);
            names.push_back(text);
        }
        return names;
    }

private:
    static int windowAction(ss::IAgent*) { return 0; }

    int list(std::vector<ss::IAgent*>& rows, ss::IAgent* a, bool downloads) {
        if (!a)
            return 0;
        if (std::find(rows.begin(), rows.end(), a) == rows.end()) {
            a->addRef();
            rows.push_back(a);
            for (const std::string& name : windowActionNames(ui_.languageModule(), downloads))
                a->AddAction(name.c_str(), &windowAction);
        }
        return 1;
    }
    int unlist(std::vector<ss::IAgent*>& rows, ss::IAgent* a) {
        auto found = std::find(rows.begin(), rows.end(), a);
        if (found == rows.end())
            return 0;
        rows.erase(found);
        a->release();
        return 1;
    }

    std::vector<ss::IAgent*> downloads_;  // one reference each; GUI thread only
    std::vector<ss::IAgent*> uploads_;
};

class fakeTray : public part, public ui::ITrayCtrl {
public:
    explicit fakeTray(fakeUi& ui) : part(ui) {
        registerInterfaceOf<ui::ITrayCtrl>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    int Add() override { return answer(callText("ITrayCtrl::Add"), 1); }
    int Remove() override { return answer(callText("ITrayCtrl::Remove"), 1); }
    int SetIcon(HICON icon) override { return answer(callText("ITrayCtrl::SetIcon").address(icon), 1); }
    int SetTip(const char* text) override { return answer(callText("ITrayCtrl::SetTip").arg(text), 1); }
};

// Makes a fake object and holds one reference to it.
template <class T, class I, class... A>
I* held(fakeUi& ui, A... args) {
    I* object = new capsule<T>(ui, args...);
    object->addRef();
    return object;
}

}  // namespace

struct fakeUi::parts {
    ui::IFrameChildWnd* child;
    fakeContainer* container;
    ui::IStatusBar* statusBar;
    ui::IFrameWnd* frame;
    ui::IUIControl* control;
    ui::IOptions* options;
    ui::ISearchHistoryDockWnd* history;
    ui::IDockConnectTB* connect;
    ui::IGnutellaHostDockWnd* host;
    fakeHostWindow* hostFake;  // the same object
    ui::IGnutellaStatDockWnd* stat;
    ui::IDockTransferWnd* transfer;
    fakeTransferWindow* transferFake;  // the same object
    ui::ITrayCtrl* tray;

    // With the library's frame, its status bar is the one handed out.
    parts(fakeUi& ui, ui::IFrameWnd* libraryFrame) {
        child = held<fakeChildWindow, ui::IFrameChildWnd>(ui);
        container = new capsule<fakeContainer>(ui);
        static_cast<ui::IDockContainer*>(container)->addRef();
        if (libraryFrame) {
            frame = libraryFrame;
            frame->addRef();
            statusBar = frame->GetStatusBar();
            statusBar->addRef();
        } else {
            statusBar = held<fakeStatusBar, ui::IStatusBar>(ui);
            frame = held<fakeFrame, ui::IFrameWnd>(ui, statusBar);
        }
        control = held<fakeControl, ui::IUIControl>(ui, child);
        options = held<fakeOptions, ui::IOptions>(ui);
        history = held<fakeSearchHistory, ui::ISearchHistoryDockWnd>(ui);
        connect = held<fakeConnectToolbar, ui::IDockConnectTB>(ui);
        hostFake = new capsule<fakeHostWindow>(ui, static_cast<ui::IDockContainer*>(container));
        host = hostFake;
        host->addRef();
        stat = held<fakeStatWindow, ui::IGnutellaStatDockWnd>(ui);
        transferFake = new capsule<fakeTransferWindow>(ui);
        transfer = transferFake;
        transfer->addRef();
        tray = held<fakeTray, ui::ITrayCtrl>(ui);
    }

    ~parts() {
        Igeneric* all[] = {tray, transfer, stat, host, connect, history, options, control, frame,
                           statusBar, static_cast<ui::IDockContainer*>(container), child};
        for (Igeneric* object : all)
            object->release();
    }
};

fakeUi::fakeUi() : optionsDialog_(gui_), parts_(new parts(*this, nullptr)) {}

fakeUi::fakeUi(ui::IFrameWnd* libraryFrame) : optionsDialog_(gui_), parts_(new parts(*this, libraryFrame)) {
    if (!libraryFrame || !libraryFrame->GetStatusBar())
        return;
    gui_.run([&] {
        RECT place = {0, 0, 800, 600};
        frameWindow_ = libraryFrame->Create(static_cast<ui::IWnd*>(nullptr), &place, "fake user interface");
    });
    // The frame's loop serves the GUI thread from now on, this fake's work
    // included, until the frame window is gone.
    if (frameWindow_)
        gui_.post([libraryFrame] { libraryFrame->Run(); });
}

fakeUi::~fakeUi() {
    if (frameWindow_)
        gui_.run([&] { ::DestroyWindow(frameWindow_); });
    parts_.reset();
}

void fakeUi::setResourceModules(HINSTANCE language, HINSTANCE defaults) {
    language_ = language;
    defaults_ = defaults;
    optionsDialog_.setLanguageModule(language);
}

void fakeUi::enter(const callText& call, const std::function<void()>& work) {
    std::string line = call.text();
    gui_.run([&] {
        calls_.add(line);
        if (work)
            work();
    });
}

LRESULT fakeUi::deliverToHostContainer(UINT message, WPARAM wParam, LPARAM lParam) {
    return static_cast<ui::IWndEvents*>(parts_->container)->WindowProc(message, wParam, lParam);
}

bool fakeUi::publish(IcoreAccessor* directory) {
    if (!directory)
        return false;
    struct entry {
        const char* name;
        Igeneric* object;
    } entries[] = {
        {nameOf<ui::IFrameWnd>(), parts_->frame},
        {nameOf<ui::IUIControl>(), parts_->control},
        {nameOf<ui::IGnutellaHostDockWnd>(), parts_->host},
        {nameOf<ui::IGnutellaStatDockWnd>(), parts_->stat},
        {nameOf<ui::IDockTransferWnd>(), parts_->transfer},
        {nameOf<ui::IOptions>(), parts_->options},
        {nameOf<ui::ISearchHistoryDockWnd>(), parts_->history},
        {nameOf<ui::ITrayCtrl>(), parts_->tray},
        {nameOf<ui::IStatusBar>(), parts_->statusBar},
        {nameOf<ui::IDockConnectTB>(), parts_->connect},
    };
    bool all = true;
    for (const entry& e : entries)
        all = directory->registerObject(e.name, e.object) != 0 && all;
    return all;
}

bool fakeUi::registerClasses(Ifactory* factory) {
    if (!factory)
        return false;
    ref<Iconstruct> construct(newWndProcConstruct());
    return construct && factory->registerClass(construct.get(), 0, 0) != 0;
}

ui::IUIControl* fakeUi::control() { return parts_->control; }
ui::IOptions* fakeUi::options() { return parts_->options; }
ui::ISearchHistoryDockWnd* fakeUi::searchHistory() { return parts_->history; }
ui::IDockConnectTB* fakeUi::connectToolbar() { return parts_->connect; }
ui::IGnutellaHostDockWnd* fakeUi::hostWindow() { return parts_->host; }
ui::IGnutellaStatDockWnd* fakeUi::statWindow() { return parts_->stat; }
ui::IDockTransferWnd* fakeUi::transferWindow() { return parts_->transfer; }
std::vector<std::string> fakeUi::connectRows() { return parts_->hostFake->connectRows(); }
void fakeUi::setHostPages(const hostPages& pages) { parts_->hostFake->setPages(pages); }
std::vector<ss::IAgent*> fakeUi::downloadRows() { return parts_->transferFake->rows(true); }
std::vector<ss::IAgent*> fakeUi::uploadRows() { return parts_->transferFake->rows(false); }
std::vector<std::string> fakeUi::transferWindowActions(bool downloads) const {
    return fakeTransferWindow::windowActionNames(language_, downloads);
}
ui::ITrayCtrl* fakeUi::tray() { return parts_->tray; }
ui::IStatusBar* fakeUi::statusBar() { return parts_->statusBar; }
ui::IFrameWnd* fakeUi::frame() { return parts_->frame; }

}  // namespace vesk::testing
