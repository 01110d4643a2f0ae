#include "plugins/Ombrel/searchInst.h"

#include <climits>

#include "core/module.h"
#include "plugins/Ombrel/moduleServices.h"
#include "vesk/containers.h"
#include "vesk/lock.h"

namespace vesk::ss {

CSearchInst::CSearchInst(ISSManager* manager, unsigned limit) : manager_(manager), limit_(limit) {
    registerInterfaceOf<ISearchInstPrivate>(this);
    registerInterfaceOf<ISearchInst>(this);
    registerInterfaceOf<Igeneric>(this);
    moduleServices& s = services();
    results_ = createAs<Ivector>(s.factory, s.token, "vesk::vector", addRefMode);
    if (results_)
        results_->addRef();
    IAgent* agent = createAs<IAgent>(s.factory, s.token, "vesk::ss::CAgent");
    if (agent) {
        agent->SetAttribute("ISearchInst", value(static_cast<Igeneric*>(static_cast<ISearchInst*>(this))));
        if (!s.searchTextName.empty())
            agent->SetAttribute(s.searchTextName.c_str(), value(""));
        SetAgent(agent);
        showResultCount(0);
    }
}

CSearchInst::~CSearchInst() {
    if (window_)
        window_->release();
    if (agent_)
        agent_->release();
    if (results_)
        results_->release();
}

CSearchInst* CSearchInst::From(ISearchInst* search) {
    if (!search || !interfaceCast<ISearchInstPrivate>(search))
        return nullptr;
    return dynamic_cast<CSearchInst*>(search);
}

bool CSearchInst::SetWindow(ui::ISearchResultWnd* window) {
    window_ = window;
    return true;
}

bool CSearchInst::SetQuery(const char* query) {
    if (!query)
        return false;
    query_ = query;
    return true;
}

bool CSearchInst::SetAgent(IAgent* agent) {
    if (agent)
        agent->addRef();
    if (agent_)
        agent_->release();
    agent_ = agent;
    return agent != nullptr;
}

bool CSearchInst::MarkStarted() { return InterlockedCompareExchange(&started_, 1, 0) == 0; }

bool CSearchInst::Deactivate() {
    return started_ && InterlockedCompareExchange(&active_, 0, 1) == 1;
}

void CSearchInst::showResultCount(unsigned stored) {
    const std::string& name = services().resultCountName;
    if (agent_ && !name.empty())
        agent_->SetAttribute(name.c_str(), value(static_cast<long>(stored)));
}

unsigned CSearchInst::roomBeside(unsigned stored) const {
    if (limit_ == 0)
        return UINT_MAX;
    return limit_ > stored ? limit_ - stored : 0;
}

unsigned CSearchInst::roomFor(unsigned n) {
    if (limit_ == 0)
        return n;
    lockGuard hold(results_->getLock());
    return roomBeside(results_->size());
}

// One result at a time under the results' lock, which the window's readers
// take too; the pause after each result, which keeps the user interface
// running while results arrive, comes after the lock is let go. Another
// protocol's search thread may store results meanwhile: the limit holds for
// both.
unsigned CSearchInst::storeResults(Ivector* batch, unsigned room) {
    for (unsigned i = 0;; ++i) {
        {
            lockGuard hold(results_->getLock());
            unsigned stored = results_->size();
            if (i >= room || i >= batch->size() || roomBeside(stored) == 0)
                return stored;
            results_->pushBack(batch->at(i));
        }
        Sleep(1);
    }
}

int CSearchInst::AddResults(Ivector* batch) {
    if (!batch || !active_ || !results_)
        return 0;
    ref<Ivector> holdBatch(batch);
    // The room is fixed before filtering: filtered results do not count.
    unsigned room = roomFor(batch->size());
    if (room == 0 && limit_ != 0) {
        // The limit was reached by an earlier batch.
        manager_->StopSearch(this);
        return 0;
    }
    manager_->FireResultCallbacks(batch);
    unsigned stored = storeResults(batch, room);
    showResultCount(stored);
    // Calls that end on the GUI thread: no lock held.
    if (ui::ISearchHistoryDockWnd* history = services().searchHistory)
        history->UpdateSearch(agent_);
    if (window_)
        window_->RefreshList(0);
    return static_cast<int>(stored);
}

}  // namespace vesk::ss
