// What the manager module looked up and made, shared by its parts. Filled on
// the host's main thread during start-up (or by a test), read afterwards
// from any thread.
#pragma once

#include <windows.h>

#include <string>

#include "vesk/directory.h"
#include "vesk/factory.h"
#include "vesk/host.h"
#include "vesk/persist.h"
#include "vesk/threading.h"
#include "vesk/ui.h"

namespace vesk::ss {

class CSSManager;
class CShareManager;

struct moduleServices {
    Icore* core = nullptr;
    Ifactory* factory = nullptr;
    IentityTable* entityTable = nullptr;
    IsignalProcessor* signalProcessor = nullptr;
    persist::Isettings* settings = nullptr;
    persist::IinstallSettings* installSettings = nullptr;
    Itarget* log = nullptr;
    IcoreAccessor* coreAccessor = nullptr;
    IentityToken* token = nullptr;  // the module's entity, one reference held

    ui::IUIControl* uiControl = nullptr;
    ui::ISearchHistoryDockWnd* searchHistory = nullptr;
    ui::IOptions* options = nullptr;
    ui::IStatusBar* statusBar = nullptr;  // may stay null
    ui::IDockConnectTB* connectToolbar = nullptr;  // may stay null

    CSSManager* manager = nullptr;
    CShareManager* shareManager = nullptr;

    // The share list file, fixed when the module registers (as the share
    // engine fixes its own): a file dialog moves the current directory
    // later. Empty when the start folder gives no usable path: then nothing
    // is read from or written to any share list.
    std::string shareList;

    // Attribute names of a search's own agent, from the language module.
    std::string searchTextName;
    std::string resultCountName;
};

moduleServices& services();

// One line to the log target, when there is one.
void logText(const char* text);

// A text of the language module (at most limit - 1 characters); empty when
// the user interface or the text is missing.
std::string languageText(unsigned id, int limit);

// The default resource module (icons), null without the user interface.
HINSTANCE defaultResources();

}  // namespace vesk::ss
