#include "plugins/gnutella/CGnutellaHost.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "plugins/gnutella/CGnutellaTransfer.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/fixedText.h"
#include "plugins/gnutella/gnutellaInternal.h"

namespace vesk::gnutella {

void CGnutellaHost::makeRowAndLock() {
    NewMessageGuid(m_Id.bytes);
    m_Lock = NewLock();
    m_Row = NewAgent();
}

CGnutellaHost::CGnutellaHost() {
    makeRowAndLock();
}

CGnutellaHost::CGnutellaHost(net::ITCPDescriptor* accepted) : m_State(linkState::accepted) {
    makeRowAndLock();
    m_Link = accepted;
    if (!m_Link)
        return;
    m_Port = m_Link->port();
    // The network module's text; copied bounded, converted only when whole.
    const char* address = m_Link->addressText();
    if (CopyWhole(m_AddressText, address))
        TextToIp(m_AddressText, m_Address);
    std::snprintf(m_AddressAndPort, sizeof m_AddressAndPort, "%s:%u", m_AddressText,
                  static_cast<unsigned>(m_Port));
}

CGnutellaHost::~CGnutellaHost() {
    if (m_Lock)
        m_Lock->lock(0);
    m_Closing = true;
    if (m_Row)
        m_Row->release();
    delete m_Transfer;
    if (m_Link) {
        m_Link->close();
        m_Link->release();
    }
    if (m_Lock) {
        m_Lock->unlock(0);
        m_Lock->release();
    }
}

CGnutellaHost* NewTransferHost(net::ITCPDescriptor* link) {
    if (!link)
        return nullptr;
    auto* host = new (std::nothrow) CGnutellaHost();
    if (!host) {
        link->release();
        return nullptr;
    }
    host->m_Link = link;  // let go with the host from here on
    host->m_Transfer = new (std::nothrow) CGnutellaTransfer();
    if (!host->m_Transfer || !host->HasRowAndLock()) {
        delete host;
        return nullptr;
    }
    return host;
}

}  // namespace vesk::gnutella
