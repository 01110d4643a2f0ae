// What the user interface's lists and windows take from the rest of the
// module: the services the module looked up, the controller, the frame's
// parts and the texts of the language module that name the attributes,
// actions and lists the rows share with other modules. The module fills it
// on the host's thread before the GUI thread starts (tests fill it with
// their own controller); afterwards it is read from any thread.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "plugins/ui/playerHost.h"
#include "vesk/factory.h"
#include "vesk/host.h"
#include "vesk/persist.h"
#include "vesk/ss.h"
#include "vesk/ui.h"

namespace vesk::ui {

class VDockTransferWnd;
class VSearchHistoryDockWnd;
class VDockSearchBar;
class VTBAudioPlayer;

using shellExecuteFn = HINSTANCE(WINAPI*)(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                          LPCSTR folder, INT show);
using messageBoxFn = int(WINAPI*)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
using playerMakerFn = media::IMediaPlayer* (*)(HWND host);

struct listServices {
    Ifactory* factory = nullptr;
    IentityToken* owner = nullptr;           // the module's entity "UI": owner of settings and agents
    persist::Isettings* settings = nullptr;  // may be null: columns then keep their defaults
    ss::ISSManager* manager = nullptr;
    IUIControl* control = nullptr;
    IFrameWnd* frame = nullptr;
    IStatusBar* statusBar = nullptr;         // may be null
    IDockConnectTB* connectToolbar = nullptr;  // may be null
    // The controller's tab-stop list; null when there is none.
    void (*addTabStop)(HWND window) = nullptr;
    // The view popup of the menu bar (item 40069 follows the audio toolbar)
    // and the search toolbar's control (button 40040 follows the result
    // filter); null until the controller has them.
    HMENU viewMenu = nullptr;
    HWND searchToolBar = nullptr;
    // Shell verbs and message boxes go through here, so that tests see them without starting
    // the shell.
    shellExecuteFn shellExecute = ::ShellExecuteA;
    messageBoxFn messageBox = ::MessageBoxA;
    // The media player control put in its host window; tests put their own
    // player there.
    playerMakerFn makePlayer = &HostMediaPlayer;

    // The module's own windows that others reach (not owned; null until made).
    VDockTransferWnd* transferWnd = nullptr;
    VSearchHistoryDockWnd* historyWnd = nullptr;
    VDockSearchBar* searchBar = nullptr;
    VTBAudioPlayer* audioPlayer = nullptr;
};

listServices& ListServices();

// Loads the texts the lists use from the language module, once at start.
void LoadListTexts(HINSTANCE language);
// A text loaded by LoadListTexts; empty for an id not loaded.
const char* ListText(unsigned id);
// A text of the language module read now, at most limit - 1 characters.
std::string LanguageText(unsigned id, int limit = 260);

// The current skin's value, 0 without a skin.
unsigned SkinValue(unsigned id);

// The window of an object that is one; null otherwise.
HWND HandleOf(Igeneric* object);
// The main frame's window; null before the frame is there.
HWND FrameWindow();

// The window's thread is the caller's.
bool OnWindowThread(HWND window);

// The main window has been destroyed: the GUI thread is ending.
bool MainWindowClosed();

// Hands work to the GUI thread in one sent message and gives its answer.
// Once the main window is destroyed the GUI thread serves no more sends
// (it is ending, or waiting on the caller's module): 0 at once then.
LRESULT SendToGuiThread(HWND window, UINT message, LPARAM work);

}  // namespace vesk::ui
