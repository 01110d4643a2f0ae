#include "plugins/gnutella/linkControl.h"

#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/linkRow.h"
#include "plugins/gnutella/routing.h"

namespace vesk::gnutella {

int SendOnLink(CGnutellaHost* host, const void* bytes, unsigned long length) {
    if (!host || !host->m_Link)
        return -1;
    int sent = host->m_Link->send(bytes, length);
    if (!sent)
        ++host->m_RefusedSends;
    return sent;
}

int SendText(CGnutellaHost* host, const std::string& text) {
    return SendOnLink(host, text.data(), static_cast<unsigned long>(text.size()));
}

void UntrackLinkByKind(CGnutellaHost* host) {
    if (!host)
        return;
    if (host->m_Kind == linkKind::incomingUp)
        g_Settings.UntrackIncomingLink(host->m_Row);
    else if (host->m_Kind == linkKind::outgoingUp)
        g_Settings.UntrackOutgoingLink(host->m_Row);
}

int CloseHost(CGnutellaHost* host) {
    if (!host || !host->m_Link)
        return 0;
    std::uint32_t kind = host->m_Kind;
    if (kind != linkKind::none && kind != linkKind::waiting) {
        UntrackLinkByKind(host);
        MarkInactiveLink(host, linkKind::closed, false);
    }
    if (kind != linkKind::none)
        TouchHost(host);
    ClearRoutingMemory(host);
    return host->m_Link->close();
}

void ConnectHost(CGnutellaHost* host) {
    if (!host)
        return;
    host->m_Dialled = true;
    if (!IsOnline()) {
        MarkInactiveLink(host, linkKind::waiting, false);
        return;
    }
    MarkInactiveLink(host, linkKind::dialling, true);
    if (host->m_Link)
        host->m_Link->connect(host->m_HostName[0] ? host->m_HostName : host->m_AddressText, host->m_Port);
}

bool BeingDialledOrUp(const CGnutellaHost* host) {
    return host->m_State == linkState::dialled || host->m_State == linkState::requestSent ||
           host->m_State == linkState::outgoingUp;
}

int LinkStatus(CGnutellaHost* host) {
    return host && host->m_Link ? host->m_Link->status() : net::status::idle;
}

void DialWaitingLink(CGnutellaHost* host) {
    ConnectHost(host);
    host->m_State = linkState::dialled;
}

void DestroyLink(CGnutellaHost* host) {
    if (!host)
        return;
    if (host->m_Row && g_Services.hostWindow)
        g_Services.hostWindow->RemoveConnect(host->m_Row);
    delete host;
}

}  // namespace vesk::gnutella
