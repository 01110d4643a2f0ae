#include "plugins/ui/uiControl.h"

#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/string.h"
#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/controlServices.h"
#include "plugins/ui/dockMenu.h"
#include "plugins/ui/layoutWindows.h"
#include "plugins/ui/listServices.h"

namespace vesk::ui {

namespace {

UIControl* theControl = nullptr;

constexpr UINT imageListFlags = ILC_COLOR | ILC_MASK;  // 0x21
constexpr int imageListStart = 50;
constexpr int imageListGrowth = 1;
constexpr const char* registryKey = "Software\\Pelloran";
constexpr const char* languageValue = "LanguageID";
constexpr WORD englishPrimary = 9;

// Appends text to the fixed title field; what does not fit is cut.
void AppendBounded(char* field, std::size_t size, const char* text) {
    std::size_t used = std::strlen(field);
    if (used + 1 >= size || !text)
        return;
    std::snprintf(field + used, size - used, "%s", text);
}

DWORD ReadLanguageChoice() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, registryKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD v = 0, type = 0, size = sizeof v;
    LONG read = ::RegQueryValueExA(key, languageValue, nullptr, &type, reinterpret_cast<BYTE*>(&v), &size);
    ::RegCloseKey(key);
    return read == ERROR_SUCCESS && type == REG_DWORD && size == sizeof v ? v : 0;
}

HICON SmallIcon(HINSTANCE module, int id, int size) {
    return static_cast<HICON>(::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
}

}  // namespace

UIControl* TheControl() { return theControl; }
void SetTheControl(UIControl* control) { theControl = control; }

UIControl::UIControl() {
    registerInterfaceOf<IUIControl>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
}

UIControl::~UIControl() {
    if (menu_)
        menu_->release();
    if (small_)
        ::ImageList_Destroy(small_);
    if (large_)
        ::ImageList_Destroy(large_);
    if (shellLight_)
        ::FreeLibrary(shellLight_);
    if (theControl == this)
        theControl = nullptr;
}

void UIControl::LoadResources(const std::string& pluginsFolder) {
    languageId_ = ReadLanguageChoice();
    WORD chosen = LANGIDFROMLCID(languageId_ ? languageId_ : ::GetUserDefaultLangID());
    WORD primary = chosen & 0x3FF;
    std::string defaultsPath = pluginsFolder + "rsrc.vkm";
    std::string languagePath =
        primary == englishPrimary ? defaultsPath : pluginsFolder + "rsrc" + std::to_string(primary) + ".vkm";
    HINSTANCE defaults = ::LoadLibraryA(defaultsPath.c_str());
    HINSTANCE language = ::LoadLibraryA(languagePath.c_str());
    UseResources(language ? language : defaults, defaults);
}

void UIControl::UseResources(HINSTANCE language, HINSTANCE defaults) {
    language_ = language;
    defaults_ = defaults;
    if (links_.frame && language_)
        if (HACCEL table = ::LoadAcceleratorsA(language_, MAKEINTRESOURCEA(IDA_UIM_MAIN)))
            links_.frame->SetAccelerator(table);
    ComposeTitle();
    MakeImageLists();
    AddIcon(defaults_, IDI_UIM_FIRST_IMAGE);
}

void UIControl::ComposeTitle() {
    char first[64] = "";
    char second[64] = "";
    if (defaults_) {
        ::LoadStringA(defaults_, IDS_UIM_TITLE_FIRST, first, sizeof first);
        ::LoadStringA(defaults_, IDS_UIM_TITLE_SECOND, second, sizeof second);
    }
    std::snprintf(titleTail_, sizeof titleTail_, "%s", second);
    title_[0] = '\0';
    AppendBounded(title_, sizeof title_, first);
    AppendBounded(title_, sizeof title_, " ");
    AppendBounded(title_, sizeof title_, titleTail_);
}

void UIControl::MakeImageLists() {
    if (!small_)
        small_ = ::ImageList_Create(16, 16, imageListFlags, imageListStart, imageListGrowth);
    if (!large_)
        large_ = ::ImageList_Create(32, 32, imageListFlags, imageListStart, imageListGrowth);
}

// The "PrivateBuild" text of the version module's first translation.
void UIControl::AppendVersionText() {
    char path[] = "plugins\\veskrsrc.vkm";
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0)
        return;
    std::vector<char> block(size);
    if (!::GetFileVersionInfoA(path, 0, size, block.data()))
        return;
    struct translation {
        WORD language;
        WORD codePage;
    };
    translation* pairs = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&pairs), &length) ||
        length < sizeof(translation))
        return;
    char query[64];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\PrivateBuild", pairs[0].language,
                  pairs[0].codePage);
    char* text = nullptr;
    if (::VerQueryValueA(block.data(), query, reinterpret_cast<void**>(&text), &length) && text && length > 0)
        AppendBounded(title_, sizeof title_, std::string(text, strnlen(text, length)).c_str());
}

int UIControl::FailCreate(const char* what) {
    char line[256];
    std::snprintf(line, sizeof line, " !!ERROR!! UI: the main window could not be made: %s", what);
    logLine(links_.log, line);
    if (auto* status = interfaceCast<IexitStatus>(links_.runtime))
        status->reportFailure(1);
    return 0;
}

int UIControl::Create() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, 0x3FFF};
    ::InitCommonControlsEx(&controls);
    if (::OleInitialize(nullptr) != S_OK)
        return FailCreate("OLE could not be initialized on the GUI thread");
    AppendVersionText();
    IFrameWnd* frame = links_.frame;
    if (!frame)
        return FailCreate("there is no frame window service");
    frame->SetModuleHandle(links_.module);
    if (!frame->Create(static_cast<IWnd*>(nullptr), nullptr, title_)) {
        // Without a display or a window class the system says which.
        char what[96];
        std::snprintf(what, sizeof what, "the frame window could not be created (system error %lu)",
                      static_cast<unsigned long>(::GetLastError()));
        return FailCreate(what);
    }
    statusBar_ = frame->GetStatusBar();
    if (statusBar_) {
        if (HICON transfers = SmallIcon(defaults_, IDI_UIM_STATUS_TRANSFERS, 16))
            statusBar_->SetIcon(2, transfers);
        if (HICON links = SmallIcon(defaults_, IDI_UIM_STATUS_LINKS, 16))
            statusBar_->SetIcon(1, links);
    }
    if (IWnd* window = interfaceCast<IWnd>(frame)) {
        if (HICON icon = SmallIcon(defaults_, IDI_UIM_FRAME_SMALL, 16))
            window->SetIcon(icon, FALSE);
        if (HICON icon = SmallIcon(defaults_, IDI_UIM_FRAME_BIG, 32))
            window->SetIcon(icon, TRUE);
    }
    if (!BuildLayout())
        return FailCreate("the dock layout could not be built");
    if (splash::ISplashScreen* splash = links_.splash) {
        splash->EnableClickClose(true);
        splash->Dismiss();
        links_.splash = nullptr;
    }
    if (links_.shareEngine)
        links_.shareEngine->setState(1);
    ShowMainWindow();
    return 1;
}

int UIControl::Run() {
    if (links_.frame)
        links_.frame->Run();
    // The menu bar's hooks leave the frame while it still exists: the
    // directory may end the frame before the controller.
    if (menu_) {
        menu_->release();
        menu_ = nullptr;
    }
    EndAudioPlayer();
    if (links_.shareEngine)
        links_.shareEngine->setState(-1);
    if (links_.tray)
        links_.tray->Remove();
    return 0;
}

int UIControl::Shutdown() {
    if (links_.shareEngine)
        links_.shareEngine->setState(0);
    if (links_.runtime)
        links_.runtime->shutdown();
    return 0;
}

HWND UIControl::FrameWindow() { return HandleOf(links_.frame); }

IDock* UIControl::Dock() { return links_.frame ? links_.frame->GetDock() : nullptr; }

IDockWnd* UIControl::CreateDockWindow(const char* caption, RECT* rect) {
    IDock* dock = Dock();
    return dock ? dock->CreateDockWindow(caption, rect) : nullptr;
}

IDockToolBarWnd* UIControl::CreateDockToolBarWindow(const char* caption, RECT* rect) {
    IDock* dock = Dock();
    return dock ? dock->CreateDockToolBarWindow(caption, rect) : nullptr;
}

IDockTabBarWnd* UIControl::CreateDockTabBarWindow(const char* caption, RECT* rect) {
    IDock* dock = Dock();
    return dock ? dock->CreateDockTabBarWindow(caption, rect) : nullptr;
}

ISearchResultWnd* UIControl::CreateSearchResultWnd(const char* name, RECT* rect) {
    return MakeVSearchResultWnd(this, name, rect);
}

IFrameChildWnd* UIControl::CreateChildWnd(const char* title, RECT* rect) {
    IFrameClientWnd* client = links_.frame ? links_.frame->GetClientWnd() : nullptr;
    return client ? client->CreateChild(title, rect) : nullptr;
}

int UIControl::AddIcon(HINSTANCE module, int iconId) {
    std::lock_guard<std::mutex> hold(iconLock_);
    auto key = std::make_pair(module, iconId);
    auto found = icons_.find(key);
    if (found != icons_.end())
        return found->second;
    if (!small_ || !large_)
        return -1;
    HICON icon = ::LoadIconA(module, MAKEINTRESOURCEA(iconId));
    if (!icon)
        return -1;
    int index = ::ImageList_ReplaceIcon(small_, -1, icon);
    int large = index < 0 ? -1 : ::ImageList_ReplaceIcon(large_, -1, icon);
    ::DestroyIcon(icon);
    // One index serves both lists: a half-added icon is taken out again.
    if (index >= 0 && large != index) {
        ::ImageList_Remove(small_, index);
        if (large >= 0)
            ::ImageList_Remove(large_, large);
        return -1;
    }
    if (index >= 0)
        icons_[key] = index;
    return index;
}

bool UIControl::AutoComplete(HWND edit, DWORD flags) {
    if (!edit)
        return false;
    if (!shellLight_)
        shellLight_ = ::LoadLibraryA("SHLWAPI.DLL");
    if (!shellLight_)
        return false;
    using autoCompleteFn = HRESULT(WINAPI*)(HWND, DWORD);
    auto complete = reinterpret_cast<autoCompleteFn>(
        reinterpret_cast<void*>(::GetProcAddress(shellLight_, "SHAutoComplete")));
    // Wine answers S_FALSE for a completion it accepted.
    return complete && SUCCEEDED(complete(edit, flags));
}

bool UIControl::ShowMainWindow() {
    HWND window = FrameWindow();
    if (minimizeOnStart_ == 1) {
        ::ShowWindow(window, SW_MINIMIZE);
        // Without the tray icon the taskbar button is the only way back.
        if (showInTray_ == 1)
            HideTaskbarButton(window);
        return true;
    }
    ::ShowWindow(window, SW_SHOW);
    ::SetActiveWindow(window);
    ::SetForegroundWindow(window);
    ::BringWindowToTop(window);
    return true;
}

bool UIControl::AddTabStop(HWND window) {
    if (window && std::find(tabStops_.begin(), tabStops_.end(), window) == tabStops_.end())
        tabStops_.push_back(window);
    return false;
}

bool UIControl::FocusNextTabStop() {
    HWND focused = ::GetFocus();
    HWND focusedParent = focused ? ::GetParent(focused) : nullptr;
    auto isFocused = [&](HWND stop) { return focused && (stop == focused || stop == focusedParent); };
    auto current = std::find_if(tabStops_.begin(), tabStops_.end(), isFocused);
    // A tab bar hands the focus on to its page's list, which lives beside
    // the bar, not in it: a stop also holds the focus while it is anywhere
    // in the stop's own parent. Without this the focus never got past the
    // first stop.
    if (current == tabStops_.end() && focused)
        current = std::find_if(tabStops_.begin(), tabStops_.end(),
                               [&](HWND stop) { return ::IsChild(::GetParent(stop), focused); });
    auto focus = [](HWND stop) {
        ::SetFocus(stop);
        return ::GetFocus() == stop || ::IsChild(::GetParent(stop), ::GetFocus());
    };
    if (current != tabStops_.end())
        for (auto next = current + 1; next != tabStops_.end(); ++next)
            if (::IsWindowVisible(*next))
                return focus(*next);
    for (HWND stop : tabStops_)
        if (::IsWindowVisible(stop))
            return focus(stop);
    return false;
}

}  // namespace vesk::ui
