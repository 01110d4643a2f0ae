#include "plugins/ui/playlistActions.h"

#include "extern/rsrc/rsrcIds.h"
#include "plugins/ui/agentListView.h"
#include "plugins/ui/audioPlayerTB.h"
#include "plugins/ui/dockTransferWnd.h"
#include "plugins/ui/listServices.h"

namespace vesk::ui {

namespace {

CAgentListView* Playlist() {
    VDockTransferWnd* transfers = ListServices().transferWnd;
    return transfers ? &transfers->Playlist() : nullptr;
}

}  // namespace

void AddGroupedAction(ss::IAgent* agent, const char* action, ss::AgentActionFn fn, const char* group) {
    if (!agent || !action || !*action)
        return;
    agent->AddAction(action, fn);
    agent->SetActionProperty(action, "MC", value(group ? group : ""));
}

bool AddToPlaylist(ss::IAgent* agent) {
    if (!agent)
        return false;
    const char* play = ListText(IDS_UIL_PLAY);
    agent->RemoveAction(ListText(IDS_UIL_ADD_TO_PLAYLIST));
    AddGroupedAction(agent, ListText(IDS_UIL_REMOVE_FROM_PLAYLIST), &RemoveFromPlaylistAction, play);
    CAgentListView* playlist = Playlist();
    return playlist && playlist->AddItem(agent);
}

int AddToPlaylistAction(ss::IAgent* agent) { return AddToPlaylist(agent) ? 1 : 0; }

int RemoveFromPlaylistAction(ss::IAgent* agent) {
    if (!agent)
        return 0;
    agent->RemoveAction(ListText(IDS_UIL_REMOVE_FROM_PLAYLIST));
    AddGroupedAction(agent, ListText(IDS_UIL_ADD_TO_PLAYLIST), &AddToPlaylistAction, ListText(IDS_UIL_PLAY));
    CAgentListView* playlist = Playlist();
    return playlist ? playlist->RemoveItem(agent) : 0;
}

// A row already in the playlist is found again, not added twice.
int PlayAction(ss::IAgent* agent) {
    CAgentListView* playlist = Playlist();
    if (!AddToPlaylist(agent) || !playlist)
        return 0;
    int row = playlist->RowOf(agent);
    VTBAudioPlayer* player = ListServices().audioPlayer;
    if (row >= 0 && player)
        player->PlayRow(row);
    return 1;
}

}  // namespace vesk::ui
