#include "plugins/gnutella/network.h"

#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/addresses.h"
#include "plugins/gnutella/gnutellaInternal.h"

namespace vesk::gnutella {

int InitNetwork() {
    CloseListener();
    net::ICommunications* network = g_Services.communications;
    Igeneric* made = network ? network->createDescriptor("vesk::net::tcp", g_State.token) : nullptr;
    net::ITCPDescriptor* listener = interfaceCast<net::ITCPDescriptor>(made);
    if (!listener) {
        if (made) {
            made->addRef();
            made->release();
        }
        return -1;
    }
    listener->addRef();
    g_State.listener = listener;
    // A port already taken is not fatal: the listener reports its failure
    // and is listened on again.
    listener->listen(g_Settings.m_ListenPort);
    unsigned char own[4];
    const char* address = listener->addressText();
    if (address && TextToIp(address, own) == 0)
        g_Settings.m_OwnAddress.Set(own);
    return 0;
}

void CloseListener() {
    net::ITCPDescriptor* listener = g_State.listener;
    g_State.listener = nullptr;
    if (!listener)
        return;
    listener->close();
    listener->release();
}

}  // namespace vesk::gnutella
