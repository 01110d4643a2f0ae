#include "plugins/gnutella/dialling.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/fixedText.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/linkRow.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/network.h"

namespace vesk::gnutella {

namespace {

// The steps every dial shares once the link knows its address or name and
// port: its descriptor, its row marked waiting and shown, then the link
// counted and entered into g_InactiveHostList. False (nothing entered)
// when the descriptor or the row cannot be made.
bool enterForDialling(CGnutellaHost* link) {
    std::snprintf(link->m_AddressAndPort, sizeof link->m_AddressAndPort, "%s:%u", link->m_AddressText,
                  static_cast<unsigned>(link->m_Port));
    link->m_State = linkState::dialled;
    link->m_Link = NewTcpDescriptor();
    if (!link->m_Link)
        return false;
    link->m_Link->prepareLink();
    if (!link->m_Row)
        link->m_Row = NewAgent();
    if (!link->m_Row)
        return false;
    MarkInactiveLink(link, linkKind::waiting, false);
    TouchHost(link);
    g_Settings.TrackConnectingHost(link->m_Row);
    std::lock_guard<std::recursive_mutex> hold(g_InactiveHostList.guard);
    g_InactiveHostList.items[link->m_Id] = link;
    return true;
}

}  // namespace

int ConnectToHost(const char* text, unsigned short port) {
    if (!text || !HasValidIpFunction())
        return -1;
    std::unique_ptr<CGnutellaHost> link(new (std::nothrow) CGnutellaHost());
    if (!link)
        return -1;
    if (IsValidIpText(text)) {
        if (!CopyWhole(link->m_AddressText, text) || TextToIp(link->m_AddressText, link->m_Address) != 0)
            return -1;
    } else if (!CopyWhole(link->m_HostName, text)) {
        return -1;
    }
    link->m_Port = port;
    if (!enterForDialling(link.get()))
        return -1;
    link.release();  // g_InactiveHostList's now
    return 0;
}

int QueueRequestedConnection(const char* text, unsigned short port) {
    if (!text)
        return 0;
    std::unique_ptr<CGnutellaHost> link(new (std::nothrow) CGnutellaHost());
    if (!link)
        return 0;
    bool kept = IsAddressText(text) ? CopyWhole(link->m_AddressText, text) : CopyWhole(link->m_HostName, text);
    if (!kept)
        return 0;
    link->m_Port = port;
    g_Settings.TrackConnectingHost(link->m_Row);
    std::lock_guard<std::recursive_mutex> hold(g_InactiveRequestedConnectionQueue.guard);
    g_InactiveRequestedConnectionQueue.items.push_back(link.release());
    return 0;
}

int ConnectRequested(CGnutellaHost* link) {
    if (!link)
        return -1;
    bool addressOk = !link->m_AddressText[0] || TextToIp(link->m_AddressText, link->m_Address) == 0;
    if (addressOk && enterForDialling(link))
        return 0;
    g_Settings.UntrackConnectingHost(link->m_Row);
    delete link;
    return -1;
}

int MoveRequestedConnections() {
    hostQueue moving;
    {
        std::lock_guard<std::recursive_mutex> hold(g_InactiveRequestedConnectionQueue.guard);
        moving.swap(g_InactiveRequestedConnectionQueue.items);
    }
    if (moving.empty())
        return 0;
    std::lock_guard<std::recursive_mutex> hold(g_ActiveRequestedConnectionQueue.guard);
    g_ActiveRequestedConnectionQueue.items.splice(g_ActiveRequestedConnectionQueue.items.end(), moving);
    return 0;
}

int ServiceRequestedConnections() {
    for (std::size_t n = g_ActiveRequestedConnectionQueue.Count(); n > 0; --n) {
        CGnutellaHost* link = nullptr;
        {
            std::lock_guard<std::recursive_mutex> hold(g_ActiveRequestedConnectionQueue.guard);
            if (g_ActiveRequestedConnectionQueue.items.empty())
                break;
            link = g_ActiveRequestedConnectionQueue.items.front();
            g_ActiveRequestedConnectionQueue.items.pop_front();
        }
        ConnectRequested(link);
    }
    return 0;
}

}  // namespace vesk::gnutella
