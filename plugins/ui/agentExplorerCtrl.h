// vesk::ui::CAgentExplorerCtrl: the "open" and "explore" row actions and
// the file-type icons of rows, by file extension.
#pragma once

#include <windows.h>

#include "core/capsule.h"
#include "vesk/ss.h"
#include "vesk/ui.h"

namespace vesk::ui {

class CAgentExplorerCtrl : public objectBase, public IAgentExplorerCtrl, public IcoreObject {
public:
    CAgentExplorerCtrl();
    // Gives new results their icons (the manager's result callback) and
    // declares the result list's link-state field; 1.
    int Init() override;
};

// Extensions longer than this are a peer's nonsense: the generic icon.
constexpr std::size_t longestIconExtension = 16;
// Extensions with an icon of their own; later ones get the generic icon.
constexpr std::size_t iconCacheLimit = 256;

// Sets the agent's type (attribute 234, the upper-cased extension) and the
// image of its name cell ("II" of attribute 231), from its file name.
void GiveFileIcon(ss::IAgent* agent);
// The number of extensions with a cached image index.
std::size_t CachedIconCount();

// Row actions (the agent's path is attribute 302 when present, else 211):
// open the file, explore its folder. Each first fires the row's 211.
int OpenAction(ss::IAgent* agent);
int ExploreAction(ss::IAgent* agent);

}  // namespace vesk::ui
