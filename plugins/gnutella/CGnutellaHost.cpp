#include "plugins/gnutella/CGnutellaHost.h"

#include <cstdio>
#include <cstring>

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

}  // namespace vesk::gnutella
