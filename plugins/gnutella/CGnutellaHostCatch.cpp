#include "plugins/gnutella/CGnutellaHostCatch.h"

#include <cstring>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/addresses.h"
#include "plugins/gnutella/fixedText.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/resources.h"

namespace vesk::gnutella {

CGnutellaHostCatch::CGnutellaHostCatch(const unsigned char* address, std::uint16_t port) : m_Port(port) {
    if (address) {
        std::memcpy(m_Address, address, sizeof m_Address);
        IpToText(m_Address, m_AddressText);
    }
    finish();
}

CGnutellaHostCatch::CGnutellaHostCatch(const char* addressText, std::uint16_t port) : m_Port(port) {
    if (addressText) {
        CopyText(m_AddressText, addressText);
        AddressOf(m_AddressText, m_Address);
    }
    finish();
}

std::string CGnutellaHostCatch::KeyOf(const char* addressText, std::uint16_t port) {
    std::string text = addressText ? std::string(addressText, strnlen(addressText, catchAddressSize - 1)) : "";
    return text + ":" + std::to_string(port);
}

void CGnutellaHostCatch::AddressOf(const char* addressText, unsigned char* address) {
    if (addressText && IsValidIpText(addressText))
        TextToIp(addressText, address);
}

void CGnutellaHostCatch::finish() {
    m_Key = KeyOf(m_AddressText, m_Port);
    m_Row = NewAgent();
}

CGnutellaHostCatch::~CGnutellaHostCatch() {
    if (m_Row)
        m_Row->release();
}

void CGnutellaHostCatch::FillRow() {
    if (!m_Row)
        return;
    m_Row->SetAttribute(ResourceText(IDS_GNU_FIELD_ADDRESS), value(static_cast<const char*>(m_AddressText)));
    m_Row->SetAttribute(ResourceText(IDS_GNU_FIELD_ID), value(m_Key.c_str()));
    m_Row->SetAttribute(ResourceText(IDS_GNU_FIELD_PORT), value(static_cast<unsigned short>(m_Port)));
}

}  // namespace vesk::gnutella
