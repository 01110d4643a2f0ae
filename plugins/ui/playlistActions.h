// The playlist row actions: moving agents into and out of the transfer
// window's playlist (swapping their add and remove actions, so that a row
// always offers the one that applies) and playing them.
#pragma once

#include "vesk/ss.h"

namespace vesk::ui {

// The menu group of the shell actions.
constexpr const char* shellGroup = "SHELL";

// Adds or replaces the action with its menu group ("MC").
void AddGroupedAction(ss::IAgent* agent, const char* action, ss::AgentActionFn fn, const char* group);

// The actions: add to playlist (40019), remove from playlist (40020), play (249).
int AddToPlaylistAction(ss::IAgent* agent);
int RemoveFromPlaylistAction(ss::IAgent* agent);
int PlayAction(ss::IAgent* agent);

// The same as the add action; false without the playlist.
bool AddToPlaylist(ss::IAgent* agent);

}  // namespace vesk::ui
