#include "plugins/gnutella/advertisedAddress.h"

#include "plugins/gnutella/CGnutellaSettings.h"

namespace vesk::gnutella {

advertisedAddress AdvertisedAddress() {
    advertisedAddress own{};
    if (g_Settings.m_EnableReported == 1) {
        g_Settings.m_ReportedIP.Get(own.address);
        own.port = g_Settings.m_ReportedPort;
    } else {
        g_Settings.m_OwnAddress.Get(own.address);
        own.port = g_Settings.m_ListenPort;
    }
    return own;
}

}  // namespace vesk::gnutella
