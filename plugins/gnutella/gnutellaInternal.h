// What the Gnutella module's files share: the services it looked up, its
// module-wide state and flags, and the order in which its locks are taken.
//
// The module is procedural: its classes (CGnutella*) carry data; the logic
// is free functions over module-wide containers named g_*.
//
// Threads that run module code: the host's main thread (entry points), the
// GUI thread (protocol callbacks, row actions, the host window's hook, the
// save hook), the three worker threads, one thread per search and one copy
// thread per finished download.
//
// Lock order. A code path that needs two of these takes them in this order
// and never the other way round; none is held across a call into the user
// interface (those calls end in SendMessage, and the GUI thread takes some
// of these locks itself):
//   1. g_InactiveRequestedConnectionQueue, g_ActiveRequestedConnectionQueue
//   2. g_InactiveHostList
//   3. g_ActiveHostList
//   4. g_TransferHostList
//   5. the search lists (one guard: g_SearchListsGuard), then one
//      search's hit queue (CGnutellaSearch::m_HitLock)
//   6. g_PendingBroadcastList
//   7. g_RequestedPushList
//   8. g_QueuedDownloadList
//   9. g_HostIPUploadCount
//  10. g_SuccessfulHosts
//  10b. the web-cache client's lock (CGWebCache)
//  11. the host cache lock or the quick-connect lock (never both; spin
//      locks, not re-entrant)
//  12. one link's own lock (CGnutellaHost::m_Lock)
//  13. the status tracker's lock (inside CStatusTracker only)
//  14. a link's routing memory (inside CRoutingMemory only)
//  15. the rows' transfer identifiers (inside transferRows.cpp only)
// The list guards are re-entrant, so a walk may look up the list it walks.
// A link moves between g_InactiveHostList and g_ActiveHostList under both
// guards at once (MoveHost), and the drop action looks for it under both:
// std::scoped_lock takes them without waiting for one while holding the
// other.
#pragma once

#include <atomic>

#include "core/module.h"
#include "vesk/directory.h"
#include "vesk/factory.h"
#include "vesk/host.h"
#include "vesk/lock.h"
#include "vesk/net.h"
#include "vesk/persist.h"
#include "vesk/share2.h"
#include "vesk/ss.h"
#include "vesk/threading.h"
#include "vesk/ui.h"

namespace vesk::gnutella {

// The services the module looked up in _register, held without a
// reference: each lives as long as the module that published it, and every
// one of those unloads after this module. The factory and the log target
// are not kept: the directory ends them before the modules' own services,
// so they are looked up at each use (moduleFactory(), LogLine()).
struct moduleServices {
    Icartridge* cartridge = nullptr;
    Icore* core = nullptr;
    IentityTable* entityTable = nullptr;
    IsignalProcessor* signalProcessor = nullptr;  // never called
    Ithreader* threader = nullptr;                // never called
    IfunctionIndex* functionIndex = nullptr;
    ss::ISSManager* manager = nullptr;
    persist::Isettings* settings = nullptr;
    ui::IFrameWnd* frame = nullptr;
    ui::IStatusBar* statusBar = nullptr;  // the frame's; may be null
    ui::IUIControl* uiControl = nullptr;  // may be null: _load then waits
    ui::ITrayCtrl* tray = nullptr;        // may be null: no tray updates
    ui::IGnutellaHostDockWnd* hostWindow = nullptr;
    ui::IDockTransferWnd* transferWindow = nullptr;
    ui::IOptions* options = nullptr;
    ui::IGnutellaStatDockWnd* statWindow = nullptr;
    net::ICommunications* communications = nullptr;
    share2::IShareEngine* shareEngine = nullptr;
};

// Module-wide state. The flags are single words written by one thread at a
// time and read by the others.
struct moduleState {
    IentityToken* token = nullptr;  // the module's entity "zUdoradur"; one reference held
    // 1 while the user wants the module on the network (protocol callbacks).
    std::atomic<int> running{0};
    // 1 for the whole of _unload: every worker empties its own list and ends.
    std::atomic<int> shuttingDown{0};
    bool loaded = false;  // _load has made the texts and registered the protocol
    // _initialize has read the saved host lists: from then on they are
    // written back (before, writing would replace them by empty ones).
    std::atomic<bool> hostListsRead{false};

    unsigned long threadClass = 0;      // "vesk::thread"
    unsigned long agentClass = 0;       // "vesk::ss::CAgent"
    unsigned long dataBufferClass = 0;  // "vesk::net::CNetDataBuffer"

    ss::IProtocol* protocol = nullptr;        // written by the manager at registration
    net::ITCPDescriptor* listener = nullptr;  // one reference held

    Ithread* listenerThread = nullptr;  // one reference held each
    Ithread* activeHostThread = nullptr;
    Ithread* transferThread = nullptr;

    Ilock* hostCacheLock = nullptr;     // "vesk::spinLock"; one reference held
    Ilock* quickConnectLock = nullptr;  // "vesk::spinLock"; one reference held

    // Set by the host window to have the active host thread trim the host
    // cache at its next turn.
    std::atomic<int> trimHostCacheRequest{0};
};

extern moduleServices g_Services;
extern moduleState g_State;

// The factory and the log target, looked up in the directory at each call;
// null once the directory no longer has them.
Ifactory* moduleFactory();
// Writes one line (the text carries its own "\r\n") to the log target.
void LogLine(const char* text);

// A new object of the class (count 0) as T, made with the module's entity;
// null when the class is unknown or the object is no T (which is then
// freed again).
template <class T>
T* CreateObject(unsigned long classId) {
    Ifactory* factory = moduleFactory();
    return newObjectAs<T>(factory && classId ? factory->create(classId, g_State.token) : nullptr);
}
// A new agent with one reference held by the caller, or null.
ss::IAgent* NewAgent();
// A new "vesk::spinLock" with one reference held by the caller, or null.
Ilock* NewLock();

// Whether the text is a dotted IPv4 address, by the function index's
// "vesk::net::valid_ip" (looked up once and kept); false without it.
bool IsValidIpText(const char* text);
// Whether the function index has "vesk::net::valid_ip" (without it no link
// is dialled).
bool HasValidIpFunction();

// Online (running flag 1) and shutting down.
inline bool IsOnline() {
    return g_State.running.load() == 1;
}
inline bool IsShuttingDown() {
    return g_State.shuttingDown.load() == 1;
}

}  // namespace vesk::gnutella
