#include "plugins/ui/layoutWindows.h"

#include "core/capsule.h"
#include "plugins/ui/agentExplorerCtrl.h"
#include "plugins/ui/audioPlayerTB.h"
#include "plugins/ui/dockSearchBar.h"
#include "plugins/ui/dockTransferWnd.h"
#include "plugins/ui/hostDockWnd.h"
#include "plugins/ui/listServices.h"
#include "plugins/ui/searchHistoryDockWnd.h"
#include "plugins/ui/searchResultWnd.h"
#include "plugins/ui/statDockWnd.h"

namespace vesk::ui {

namespace {

// The windows' objects, made once and kept for the process: other modules
// hold the published ones until they end.
struct madeObjects {
    capsule_core<VDockTransferWnd>* transfer = nullptr;
    capsule_core<ZUdoradurHostDockWnd>* host = nullptr;
    capsule_core<ZUdoradurStatDockWnd>* statistics = nullptr;
    capsule_core<VSearchHistoryDockWnd>* history = nullptr;
    capsule_core<CAgentExplorerCtrl>* explorer = nullptr;
    capsule<VDockSearchBar>* searchBar = nullptr;  // one reference
    capsule<VTBAudioPlayer>* audioPlayer = nullptr;  // one reference, until EndAudioPlayer
};

madeObjects& Made() {
    static madeObjects made;
    return made;
}

template <class T>
void MakeOnce(T*& object) {
    if (!object)
        object = new (std::nothrow) T();
}

// The controller the windows use is the one that lays them out.
void UseControl(IUIControl* control) {
    if (control && !ListServices().control)
        ListServices().control = control;
}

IDockWnd* DockOf(Igeneric* window) { return interfaceCast<IDockWnd>(window); }

}  // namespace

bool MakeListWindowObjects(listWindowObjects& out) {
    madeObjects& made = Made();
    MakeOnce(made.transfer);
    MakeOnce(made.host);
    MakeOnce(made.statistics);
    MakeOnce(made.history);
    MakeOnce(made.explorer);
    if (!made.searchBar && (made.searchBar = new (std::nothrow) capsule<VDockSearchBar>()))
        made.searchBar->addRef();
    listServices& s = ListServices();
    s.transferWnd = made.transfer;
    s.historyWnd = made.history;
    s.searchBar = made.searchBar;
    out.transfer = made.transfer;
    out.host = made.host;
    out.statistics = made.statistics;
    out.history = made.history;
    out.explorer = made.explorer;
    return made.transfer && made.host && made.statistics && made.history && made.searchBar;
}

IDockWnd* MakeVDockSearchBar(IUIControl* control, const char* caption, RECT* rect) {
    UseControl(control);
    VDockSearchBar* bar = Made().searchBar;
    if (!bar || bar->Create(caption, rect) != 1)
        return nullptr;
    return DockOf(bar->ToolBar());
}

IDockWnd* MakeZUdoradurHostDockWnd(IUIControl* control, const char* caption, RECT* rect) {
    UseControl(control);
    ZUdoradurHostDockWnd* host = Made().host;
    if (!host || host->Create(caption, rect) != 1)
        return nullptr;
    return DockOf(host->GetDockWnd());
}

IDockWnd* MakeZUdoradurStatDockWnd(IUIControl* control, const char* caption, RECT* rect) {
    UseControl(control);
    ZUdoradurStatDockWnd* statistics = Made().statistics;
    if (!statistics || statistics->Create(caption, rect) != 1)
        return nullptr;
    return DockOf(statistics->GetDockWnd());
}

IDockWnd* MakeVDockTransferWnd(IUIControl* control, const char* caption, RECT* rect) {
    UseControl(control);
    VDockTransferWnd* transfer = Made().transfer;
    if (!transfer || transfer->Create(caption, rect) != 1)
        return nullptr;
    return DockOf(transfer->GetDockWnd());
}

IDockWnd* MakeVTBAudioPlayer(IUIControl* control, const char* caption, RECT* rect) {
    UseControl(control);
    madeObjects& made = Made();
    if (!made.audioPlayer && (made.audioPlayer = new (std::nothrow) capsule<VTBAudioPlayer>()))
        made.audioPlayer->addRef();
    VTBAudioPlayer* player = made.audioPlayer;
    if (!player)
        return nullptr;
    ListServices().audioPlayer = player;
    // Without a player control the toolbar is still laid out, its buttons
    // without effect.
    if (player->Create(caption, rect) == -1)
        return nullptr;
    return DockOf(player->ToolBar());
}

void EndAudioPlayer() {
    madeObjects& made = Made();
    if (!made.audioPlayer)
        return;
    ListServices().audioPlayer = nullptr;
    made.audioPlayer->release();
    made.audioPlayer = nullptr;
}

IDockWnd* MakeVSearchHistoryDockWnd(IUIControl* control, const char* caption, RECT* rect) {
    UseControl(control);
    VSearchHistoryDockWnd* history = Made().history;
    if (!history)
        return nullptr;
    history->Create(caption, rect);  // 0 either way, as its interface has it
    return DockOf(history->GetDockWnd());
}

ISearchResultWnd* MakeVSearchResultWnd(IUIControl* control, const char* name, RECT* rect) {
    UseControl(control);
    auto* window = new (std::nothrow) capsule<VSearchResultWnd>();
    if (!window)
        return nullptr;
    window->addRef();  // held while it is made
    if (window->Create(name, rect) != 1) {
        window->release();
        return nullptr;
    }
    window->addRef();
    window->release();
    return window;
}

void SaveListColumns() {
    madeObjects& made = Made();
    if (made.transfer)
        made.transfer->SaveColumns();
    if (made.history)
        made.history->SaveColumns();
}

void ChangePlayerVolume(int change) {
    if (VTBAudioPlayer* player = ListServices().audioPlayer)
        player->ChangeVolume(change);
}

void TogglePlayerMute() {
    if (VTBAudioPlayer* player = ListServices().audioPlayer)
        player->ToggleMute();
}

// No list view keeps an image by text, so no menu item draws one.
int MenuItemImage(const char*) { return -1; }

}  // namespace vesk::ui
