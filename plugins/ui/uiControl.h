// vesk::ui::UIControl: the user interface's controller. It picks the
// resource modules, keeps the shared image lists, makes the main frame and
// its dock layout on the GUI thread, runs the frame's message loop, and
// saves and restores the frame's and dock windows' places under the
// entity "UI".
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "core/capsule.h"
#include "vesk/directory.h"
#include "vesk/factory.h"
#include "vesk/host.h"
#include "vesk/persist.h"
#include "vesk/share2.h"
#include "vesk/splash.h"
#include "vesk/ss.h"
#include "vesk/ui.h"

namespace vesk::ui {

class VDockMenu;

// The services the controller works with (core objects, not owned). The
// module fills them at registration; tests fill them with their own.
struct controlLinks {
    IFrameWnd* frame = nullptr;
    persist::Isettings* settings = nullptr;  // may be null: every read gives its default
    IentityToken* owner = nullptr;            // the module's entity "UI"
    ss::ISSManager* manager = nullptr;        // may be null
    share2::IShareEngine* shareEngine = nullptr;  // may be null
    Iruntime* runtime = nullptr;              // may be null
    Itarget* log = nullptr;                   // may be null
    splash::ISplashScreen* splash = nullptr;  // may be null; used once
    IOptions* options = nullptr;              // may be null until that dialog exists
    ITrayCtrl* tray = nullptr;                // may be null until that control exists
    HINSTANCE module = nullptr;               // the ui module's own handle
};

// The windows of the layout, in the order they are made.
enum class layoutSlot {
    connectToolBar,
    menuBar,
    searchBar,
    hostWindow,
    statisticsWindow,
    transferWindow,
    searchToolBar,
    transferToolBar,
    audioToolBar,
    historyWindow,
    viewToolBar,
    count
};

class UIControl : public objectBase, public IUIControl, public IcoreObject {
public:
    UIControl();
    ~UIControl();
    UIControl(const UIControl&) = delete;
    UIControl& operator=(const UIControl&) = delete;

    void SetLinks(const controlLinks& links) { links_ = links; }
    const controlLinks& Links() const { return links_; }

    // IUIControl
    int Create() override;
    int Run() override;
    int Shutdown() override;
    HINSTANCE GetResourceInstance() override { return language_; }
    void SetResourceInstance(HINSTANCE module) override { language_ = module; }
    HINSTANCE GetDefaultResourceInstance() override { return defaults_; }
    HIMAGELIST GetSmallImageList() override { return small_; }
    HIMAGELIST GetLargeImageList() override { return large_; }
    IDockWnd* CreateDockWindow(const char* caption, RECT* rect) override;
    IDockToolBarWnd* CreateDockToolBarWindow(const char* caption, RECT* rect) override;
    IDockTabBarWnd* CreateDockTabBarWindow(const char* caption, RECT* rect) override;
    ISearchResultWnd* CreateSearchResultWnd(const char* name, RECT* rect) override;
    IFrameChildWnd* CreateChildWnd(const char* title, RECT* rect) override;
    bool IsClosed() override { return closed_ == 1; }
    int AddIcon(HINSTANCE module, int iconId) override;
    bool AutoComplete(HWND edit, DWORD flags) override;

    // Resources: the language choice from the registry, the language and
    // default modules from the folder (ending in a backslash), the
    // accelerators, the title and the image lists.
    void LoadResources(const std::string& pluginsFolder = "plugins\\");
    // Both modules given, for tests; the image lists and title as above.
    void UseResources(HINSTANCE language, HINSTANCE defaults);

    bool BuildLayout();
    bool ShowMainWindow();
    bool SaveSettings();
    bool SaveDockState(const char* prefix, IDockWnd* window);
    bool LoadDockState(const char* prefix, IDockWnd* window);
    // Appends the window to the tab stops unless it is there; false.
    bool AddTabStop(HWND window);
    const std::vector<HWND>& TabStops() const { return tabStops_; }
    // Moves the focus to the next visible tab stop; false when none took it.
    bool FocusNextTabStop();

    // The window-behaviour flags and the language choice.
    int MinimizeToTray() const { return minimizeToTray_; }
    int MinimizeOnStart() const { return minimizeOnStart_; }
    int ShowInTray() const { return showInTray_; }
    int SaveOnExit() const { return saveOnExit_; }
    void SetMinimizeToTray(int on) { minimizeToTray_ = on; }
    void SetMinimizeOnStart(int on) { minimizeOnStart_ = on; }
    void SetShowInTray(int on) { showInTray_ = on; }
    void SetSaveOnExit(int on) { saveOnExit_ = on; }
    DWORD LanguageID() const { return languageId_; }
    void SetLanguageID(DWORD id) { languageId_ = id; }
    // Set once by the main window's destruction.
    void MarkClosed() { closed_ = 1; }

    const char* Title() const { return title_; }
    HWND FrameWindow();
    IStatusBar* StatusBar() const { return statusBar_; }
    // A window of the layout (null until made or when it was not made).
    IDockWnd* LayoutWindow(layoutSlot slot) const { return windows_[static_cast<int>(slot)]; }
    VDockMenu* MenuBar() const { return menu_; }
    // Item 40043 of the tools popup shows SaveOnExit.
    void MarkSaveOnExitItem();
    ISkinEngine* SkinEngine() const { return skinEngine_; }

private:
    struct restoreRecord {
        IDockWnd* window;
        int side;
        long band;
    };

    long ReadLong(const std::string& key, long defaultValue);
    float ReadFloat(const std::string& key, float defaultValue);
    void WriteLong(const std::string& key, long v);
    void WriteFloat(const std::string& key, float v);
    RECT ReadRect(const std::string& prefix);
    void WriteRect(const std::string& prefix, const RECT& rect);
    // Logs why the main window could not be made and tells the runtime the
    // process failed; returns 0 for Create to return.
    int FailCreate(const char* what);
    void MakeImageLists();
    void ComposeTitle();
    void AppendVersionText();
    bool MakeMenuBar(const char* caption, RECT* rect, IDockWnd** made);
    void Redock();
    IDock* Dock();

    controlLinks links_;
    int minimizeToTray_ = 0;
    int minimizeOnStart_ = 0;
    int showInTray_ = 1;
    int saveOnExit_ = 0;
    volatile LONG closed_ = 0;
    DWORD languageId_ = 0xFFFFFFFF;
    HIMAGELIST small_ = nullptr;
    HIMAGELIST large_ = nullptr;
    HINSTANCE language_ = nullptr;
    HINSTANCE defaults_ = nullptr;
    char title_[64] = "";
    char titleTail_[64] = "";
    std::mutex iconLock_;  // AddIcon is called from other modules' threads
    std::map<std::pair<HINSTANCE, int>, int> icons_;
    std::vector<HWND> tabStops_;
    std::vector<restoreRecord> restore_;
    IDockWnd* windows_[static_cast<int>(layoutSlot::count)] = {};  // owned by the dock
    VDockMenu* menu_ = nullptr;  // one reference
    IStatusBar* statusBar_ = nullptr;
    ISkinEngine* skinEngine_ = nullptr;
    HMODULE shellLight_ = nullptr;  // SHLWAPI, loaded on first use
};

// The process's controller (not owned); null before registration.
UIControl* TheControl();
void SetTheControl(UIControl* control);

// The settings save hook.
bool OnSettingsSave();

}  // namespace vesk::ui
