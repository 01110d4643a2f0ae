// The module-wide containers. Each shared one carries its own re-entrant
// guard, taken around every walk and every change, in the order given in
// gnutellaInternal.h; the host cache and the quick-connect list use the
// module's two spin locks instead (hostCache.h). Unless noted a container
// owns what it holds: emptying it deletes the objects.
#pragma once

#include <list>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "plugins/gnutella/guid16.h"
#include "vesk/ss.h"

namespace vesk::gnutella {

class CGnutellaHost;
class CGnutellaSearch;
class CGnutellaBroadcast;
class CGnutellaRequestedPush;

template <class C>
struct guardedList {
    std::recursive_mutex guard;
    C items;

    std::size_t Count() {
        std::lock_guard<std::recursive_mutex> hold(guard);
        return items.size();
    }
    bool IsEmpty() { return Count() == 0; }
};

using hostMap = std::map<guid16, CGnutellaHost*>;
using hostQueue = std::list<CGnutellaHost*>;

// Links connecting, accepted or in their handshake (listener thread).
extern guardedList<hostMap> g_InactiveHostList;
// Links that are up (active host thread).
extern guardedList<hostMap> g_ActiveHostList;
// Connections that carry an upload or a download (transfer thread).
extern guardedList<hostMap> g_TransferHostList;
// Requested links to dial at the next turn of the active host thread, and
// those waiting for the listener thread to move them there.
extern guardedList<hostQueue> g_ActiveRequestedConnectionQueue;
extern guardedList<hostQueue> g_InactiveRequestedConnectionQueue;

// The searches. None of them owns a search: a search is destroyed by its
// own thread once it is stopping, after it has taken itself out of all
// four under their one guard.
extern std::recursive_mutex g_SearchListsGuard;
extern std::list<CGnutellaSearch*> g_PendingSearchList;        // not sent yet
extern std::map<guid16, CGnutellaSearch*> g_ActiveSearchList;  // by query GUID
extern std::list<CGnutellaSearch*> g_SearchRemoveList;         // to be stopped
extern std::map<int, guid16> g_SearchInstIDtoSearchGUID;       // instance id -> query GUID

extern guardedList<std::list<CGnutellaBroadcast*>> g_PendingBroadcastList;
// Pushes asked for, by the GIV line expected back.
extern guardedList<std::map<std::string, CGnutellaRequestedPush*>> g_RequestedPushList;
// Downloads waiting for a free slot; one reference held per row.
extern guardedList<std::list<ss::IAgent*>> g_QueuedDownloadList;
// Running uploads per remote address text (no objects).
extern guardedList<std::map<std::string, unsigned>> g_HostIPUploadCount;

// The links of the list in key order, read under its guard. They stay
// alive only while the caller's thread is the one that takes links out.
std::vector<CGnutellaHost*> HostsIn(guardedList<hostMap>& list);

// Takes the link out of one host list and enters it into the other under
// both guards at once, so that a look-up under both (drop_host) always
// finds it in one of them. std::scoped_lock never waits for one guard while
// holding the other, whatever order other paths take them in.
void MoveHost(CGnutellaHost* host, guardedList<hostMap>& from, guardedList<hostMap>& to);

// Takes every link out of the list under its guard and destroys them after.
void DestroyHosts(guardedList<hostMap>& list);
void DestroyHosts(guardedList<hostQueue>& queue);

// Marks the searches to be stopped (the stop callback only moves them
// there) and empties that list; their threads end once they see the mark.
void MarkRemovedSearches();
// The same for every search the lists name.
void StopAllSearches();
// Drops the search lists' pointers once every search thread has ended.
void ForgetSearches();

// Empties the broadcast, push, download-queue and upload-count containers.
void ClearTransferLists();

// Writes every container's size to the debugger output, one line each. The
// counts are read without the guards: for diagnosis only.
void DumpQueues();

}  // namespace vesk::gnutella
