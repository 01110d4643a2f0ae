#include "plugins/gnutella/moduleLists.h"

#include <windows.h>

#include <string>
#include <vector>

#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaSearch.h"
#include "plugins/gnutella/hostCache.h"
#include "plugins/gnutella/moduleRecords.h"
#include "plugins/gnutella/pushRequests.h"

namespace vesk::gnutella {

guardedList<hostMap> g_InactiveHostList;
guardedList<hostMap> g_ActiveHostList;
guardedList<hostMap> g_TransferHostList;
guardedList<hostQueue> g_ActiveRequestedConnectionQueue;
guardedList<hostQueue> g_InactiveRequestedConnectionQueue;

std::recursive_mutex g_SearchListsGuard;
std::list<CGnutellaSearch*> g_PendingSearchList;
std::map<guid16, CGnutellaSearch*> g_ActiveSearchList;
std::list<CGnutellaSearch*> g_SearchRemoveList;
std::map<int, guid16> g_SearchInstIDtoSearchGUID;

guardedList<std::list<CGnutellaBroadcast*>> g_PendingBroadcastList;
guardedList<std::map<std::string, CGnutellaRequestedPush*>> g_RequestedPushList;
guardedList<std::list<ss::IAgent*>> g_QueuedDownloadList;
guardedList<std::map<std::string, unsigned>> g_HostIPUploadCount;

std::vector<CGnutellaHost*> HostsIn(guardedList<hostMap>& list) {
    std::vector<CGnutellaHost*> hosts;
    std::lock_guard<std::recursive_mutex> hold(list.guard);
    for (auto& entry : list.items)
        hosts.push_back(entry.second);
    return hosts;
}

void MoveHost(CGnutellaHost* host, guardedList<hostMap>& from, guardedList<hostMap>& to) {
    std::scoped_lock hold(from.guard, to.guard);
    from.items.erase(host->m_Id);
    to.items[host->m_Id] = host;
}

void DestroyHosts(guardedList<hostMap>& list) {
    hostMap gone;
    {
        std::lock_guard<std::recursive_mutex> hold(list.guard);
        gone.swap(list.items);
    }
    for (auto& entry : gone)
        delete entry.second;
}

void DestroyHosts(guardedList<hostQueue>& queue) {
    hostQueue gone;
    {
        std::lock_guard<std::recursive_mutex> hold(queue.guard);
        gone.swap(queue.items);
    }
    for (CGnutellaHost* host : gone)
        delete host;
}

void MarkRemovedSearches() {
    std::lock_guard<std::recursive_mutex> hold(g_SearchListsGuard);
    for (CGnutellaSearch* search : g_SearchRemoveList)
        search->m_Stopping = true;
    g_SearchRemoveList.clear();
}

void StopAllSearches() {
    std::lock_guard<std::recursive_mutex> hold(g_SearchListsGuard);
    for (CGnutellaSearch* search : g_PendingSearchList)
        search->m_Stopping = true;
    for (auto& entry : g_ActiveSearchList)
        entry.second->m_Stopping = true;
    MarkRemovedSearches();
}

void ForgetSearches() {
    std::lock_guard<std::recursive_mutex> hold(g_SearchListsGuard);
    g_PendingSearchList.clear();
    g_ActiveSearchList.clear();
    g_SearchRemoveList.clear();
    g_SearchInstIDtoSearchGUID.clear();
}

void ClearTransferLists() {
    std::list<CGnutellaBroadcast*> broadcasts;
    std::map<std::string, CGnutellaRequestedPush*> pushes;
    std::list<ss::IAgent*> queued;
    {
        std::lock_guard<std::recursive_mutex> hold(g_PendingBroadcastList.guard);
        broadcasts.swap(g_PendingBroadcastList.items);
    }
    {
        std::lock_guard<std::recursive_mutex> hold(g_RequestedPushList.guard);
        pushes.swap(g_RequestedPushList.items);
    }
    {
        std::lock_guard<std::recursive_mutex> hold(g_QueuedDownloadList.guard);
        queued.swap(g_QueuedDownloadList.items);
    }
    {
        std::lock_guard<std::recursive_mutex> hold(g_HostIPUploadCount.guard);
        g_HostIPUploadCount.items.clear();
    }
    ClearRequestedPushes();
    for (CGnutellaBroadcast* b : broadcasts)
        delete b;
    for (auto& entry : pushes)
        delete entry.second;
    for (ss::IAgent* row : queued)
        row->release();
}

namespace {

void dumpLine(const char* label, std::size_t count) {
    OutputDebugStringA((std::string(label) + std::to_string(count) + "\r\n").c_str());
}

}  // namespace

void DumpQueues() {
    OutputDebugStringA("___________________________________\r\n");
    OutputDebugStringA("\r\n");
    dumpLine("g_ActiveHostList : ", g_ActiveHostList.items.size());
    dumpLine("g_ActiveRequestedConnectionQueue : ", g_ActiveRequestedConnectionQueue.items.size());
    dumpLine("g_ActiveSearchList: ", g_ActiveSearchList.size());
    dumpLine("g_HostCatcher: ", g_HostCatcher.size());
    dumpLine("g_HostCatchKeyQueue: ", g_HostCatchKeyQueue.size());
    dumpLine("g_HostIPUploadCount: ", g_HostIPUploadCount.items.size());
    dumpLine("g_InactiveHostList: ", g_InactiveHostList.items.size());
    dumpLine("g_InactiveRequestedConnectionQueue: ", g_InactiveRequestedConnectionQueue.items.size());
    dumpLine("g_PendingBroadcastList: ", g_PendingBroadcastList.items.size());
    dumpLine("g_PendingSearchList: ", g_PendingSearchList.size());
    dumpLine("g_QueuedDownloadList: ", g_QueuedDownloadList.items.size());
    dumpLine("g_QuickConnect: ", g_QuickConnect.size());
    dumpLine("g_RequestedPushList: ", g_RequestedPushList.items.size());
    dumpLine("g_SearchInstIDtoSearchGUID: ", g_SearchInstIDtoSearchGUID.size());
    dumpLine("g_SearchRemoveList: ", g_SearchRemoveList.size());
    dumpLine("g_SuccessfulHosts: ", g_SuccessfulHosts.items.size());
    dumpLine("g_TransferHostList: ", g_TransferHostList.items.size());
}

}  // namespace vesk::gnutella
