#include "plugins/gnutella/searches.h"

#include <windows.h>

#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "plugins/gnutella/CGnutellaQueryHitContainer.h"
#include "plugins/gnutella/CGnutellaSearch.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/queryHitResults.h"
#include "plugins/gnutella/querySending.h"
#include "plugins/gnutella/workerThreads.h"

namespace vesk::gnutella {

namespace {

using listsGuard = std::lock_guard<std::recursive_mutex>;

// Starts the search's thread, which from then on owns the search. The
// caller holds the lists' guard, so the thread cannot end and destroy the
// search before the caller has listed it. 0, or -1 without a thread.
int StartSearchThread(CGnutellaSearch* search, ss::ISearchInst* instance, int id) {
    instance->addRef();
    search->m_Instance = instance;
    search->m_Thread = StartWorkerThread(SearchThreadName(id).c_str(), &search_thread, search);
    return search->m_Thread ? 0 : -1;
}

std::list<CGnutellaSearch*>::iterator pendingSearch(const guid16& queryId) {
    for (auto it = g_PendingSearchList.begin(); it != g_PendingSearchList.end(); ++it)
        if ((*it)->m_Guid == queryId)
            return it;
    return g_PendingSearchList.end();
}

}  // namespace

std::string SearchThreadName(int id) {
    return "Gnutella Search- ID: " + std::to_string(static_cast<unsigned>(id));
}

int on_start_search(ss::ISearchInst* instance) {
    StartSearch(instance);
    return 1;
}

int on_stop_search(ss::ISearchInst* instance) {
    if (!instance)
        return 1;
    int id = instance->GetId();
    listsGuard hold(g_SearchListsGuard);
    auto found = g_SearchInstIDtoSearchGUID.find(id);
    if (found == g_SearchInstIDtoSearchGUID.end())
        return 0;
    guid16 queryId = found->second;
    g_SearchInstIDtoSearchGUID.erase(found);
    RemoveSearch(queryId);
    return 1;
}

int StartSearch(ss::ISearchInst* instance) {
    if (!instance)
        return -1;
    ref<ss::ISearchInst> hold(instance);
    std::unique_ptr<CGnutellaSearch> search(new (std::nothrow) CGnutellaSearch());
    if (!search)
        return -1;
    SetQueryText(*search, instance->GetQuery());
    if (NewMessageGuid(search->m_Guid.bytes) != 0)
        return -1;
    int id = instance->GetId();
    listsGuard lists(g_SearchListsGuard);
    g_SearchInstIDtoSearchGUID[id] = search->m_Guid;
    g_PendingSearchList.push_back(search.get());
    if (StartSearchThread(search.get(), instance, id) != 0) {
        g_PendingSearchList.pop_back();
        g_SearchInstIDtoSearchGUID.erase(id);
        LogLine("GNUTELLA SEARCH: <Error> no thread for a new search\r\n");
        return -1;
    }
    search.release();
    return 0;
}

int search_thread(Ithread* thread) {
    auto* search = thread ? static_cast<CGnutellaSearch*>(thread->getParameter()) : nullptr;
    if (!search) {
        if (thread)
            thread->ended();
        return 0;
    }
    thread->addRef();
    int result = 0;
    try {
        while (thread->shouldRun() && !search->m_Stopping) {
            ProcessQueryHit(search);
            Sleep(10);
        }
    } catch (...) {
        LogLine("GNUTELLA SEARCH: <Error> a search thread failed; the search ends\r\n");
        result = -1;
    }
    ForgetSearch(search);
    delete search;
    thread->ended();
    thread->release();
    return result;
}

int RemoveSearch(const guid16& queryId) {
    listsGuard hold(g_SearchListsGuard);
    CGnutellaSearch* search = nullptr;
    auto active = g_ActiveSearchList.find(queryId);
    auto pending = pendingSearch(queryId);
    if (active != g_ActiveSearchList.end()) {
        search = active->second;
        g_ActiveSearchList.erase(active);
    } else if (pending != g_PendingSearchList.end()) {
        // Stopped before its Query went out: it never goes out.
        search = *pending;
        g_PendingSearchList.erase(pending);
    }
    if (!search)
        return 0;
    g_SearchRemoveList.push_back(search);
    return 1;
}

void ForgetSearch(CGnutellaSearch* search) {
    listsGuard hold(g_SearchListsGuard);
    auto active = g_ActiveSearchList.find(search->m_Guid);
    if (active != g_ActiveSearchList.end() && active->second == search)
        g_ActiveSearchList.erase(active);
    g_PendingSearchList.remove(search);
    g_SearchRemoveList.remove(search);
}

void PromotePendingSearches() {
    std::vector<std::vector<unsigned char>> queries;
    {
        listsGuard hold(g_SearchListsGuard);
        while (!g_PendingSearchList.empty()) {
            CGnutellaSearch* search = g_PendingSearchList.front();
            // Active before its Query leaves, so that no early hit is lost.
            g_ActiveSearchList[search->m_Guid] = search;
            g_PendingSearchList.pop_front();
            queries.push_back(QueryDescriptor(search->m_Guid.bytes, search->m_Query,
                                              g_Settings.m_MinResponseSpeed, g_Settings.m_LocalTTL));
        }
    }
    for (const std::vector<unsigned char>& query : queries) {
        SendQueryToAllLinks(query);
        Sleep(1);
    }
}

int QueueQueryHit(CGnutellaSearch* search, CGnutellaQueryHitContainer* hit) {
    if (!hit)
        return -1;
    std::unique_ptr<CGnutellaQueryHitContainer> owned(hit);
    if (!search)
        return -1;
    std::lock_guard<std::mutex> hold(search->m_HitLock);
    std::size_t size = hit->m_Bytes.size();
    if (search->m_Stopping || size > maxQueuedHitBytes - search->m_QueuedBytes)
        return 0;
    search->m_Hits.push_back(hit);
    owned.release();
    search->m_QueuedBytes += size;
    return 1;
}

}  // namespace vesk::gnutella
