#include "plugins/gnutella/tests/linkFixture.h"

#include "extern/net/CNetDataBuffer.h"
#include "plugins/Ombrel/agent.h"
#include "plugins/Ombrel/moduleServices.h"
#include "plugins/gnutella/CGnutellaHostCatch.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/clock.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/hostCache.h"
#include "plugins/gnutella/inactiveHosts.h"
#include "plugins/gnutella/network.h"
#include "plugins/gnutella/resources.h"
#include "vesk/data.h"

namespace vesk::gnutella::test {

namespace {

std::atomic<unsigned long> fakeTick{1000000};

unsigned long fakeTicks() {
    return fakeTick.load();
}

// The classes the link code makes, registered once for the process.
void registerClasses(Ifactory* factory, IentityToken* token) {
    ss::services().factory = factory;
    ss::services().token = token;
    if (!factory->findClass("vesk::ss::CAgent")) {
        ref<Iconstruct> agents(new capsule<ss::_constructAgent>());
        factory->registerClass(agents.get(), 0, 0);
    }
    if (!factory->findClass("vesk::net::CNetDataBuffer")) {
        ref<Iconstruct> buffers(new capsule<net::_constructNetDataBuffer>());
        factory->registerClass(buffers.get(), 0, 0);
    }
}

}  // namespace

void linkFixture::SetUp() {
    gnutellaFixture::SetUp();
    registerClasses(factory, g_State.token);
    g_State.agentClass = factory->findClass("vesk::ss::CAgent");
    g_State.dataBufferClass = factory->findClass("vesk::net::CNetDataBuffer");
    g_State.hostCacheLock = NewLock();
    g_State.quickConnectLock = NewLock();
    InitResources();

    network = new capsule<loopbackNetwork>();
    static_cast<net::ICommunications*>(network)->addRef();
    ASSERT_TRUE(network->started());
    g_Services.communications = network;
    protocol = new capsule<recordingProtocol>();
    static_cast<ss::IProtocol*>(protocol)->addRef();
    g_State.protocol = protocol;

    g_Settings.LoadSettings(store, g_State.token);
    g_Settings.m_ListenPort = 0;  // never the port other programs use
    g_State.hostListsRead = true;
    g_State.running = 1;
    setNow(1000000);
    SetTickSource(&fakeTicks);
}

void linkFixture::TearDown() {
    g_State.running = 0;
    DestroyHosts(g_InactiveRequestedConnectionQueue);
    DestroyHosts(g_ActiveRequestedConnectionQueue);
    DestroyHosts(g_InactiveHostList);
    DestroyHosts(g_ActiveHostList);
    DestroyHosts(g_TransferHostList);
    CloseListener();
    ClearHostCatcher();
    ClearSuccessfulHosts();
    g_HostCatchKeyQueue.clear();
    SetTickSource(nullptr);
    g_State.hostListsRead = false;
    g_State.protocol = nullptr;
    static_cast<ss::IProtocol*>(protocol)->release();
    g_Services.communications = nullptr;
    static_cast<net::ICommunications*>(network)->release();
    ReleaseResources();
    for (Ilock** lock : {&g_State.hostCacheLock, &g_State.quickConnectLock}) {
        if (*lock)
            (*lock)->release();
        *lock = nullptr;
    }
    g_State.agentClass = g_State.dataBufferClass = 0;
    gnutellaFixture::TearDown();
}

void linkFixture::setNow(unsigned long tick) {
    fakeTick = tick;
}

unsigned long linkFixture::now() {
    return fakeTick.load();
}

void linkFixture::stepInactive() {
    AcceptIncoming();
    ServiceInactiveHosts();
}

CGnutellaHost* linkFixture::onlyLink(guardedList<hostMap>& list) {
    std::lock_guard<std::recursive_mutex> hold(list.guard);
    return list.items.size() == 1 ? list.items.begin()->second : nullptr;
}

unsigned short linkFixture::listenPort() {
    if (!g_State.listener && InitNetwork() != 0)
        return 0;
    net::test::waitFor([] { return g_State.listener->status() == net::status::listening; });
    return g_State.listener->port();
}

std::string linkFixture::peerReads(SOCKET peer, std::size_t count) {
    std::vector<unsigned char> bytes = net::test::receiveBytes(peer, count, 10000);
    return std::string(bytes.begin(), bytes.end());
}

bool linkFixture::peerSends(SOCKET peer, const std::string& text) {
    return net::test::sendAll(peer, std::vector<unsigned char>(text.begin(), text.end()));
}

bool linkFixture::peerSeesClose(SOCKET peer) {
    bool closed = false;
    net::test::receiveUntilClosed(peer, closed, 10000);
    return closed;
}

void linkFixture::cacheHost(const char* address, std::uint16_t port) {
    auto* entry = new CGnutellaHostCatch(address, port);
    g_HostCatcher[entry->m_Key] = entry;
    g_HostCatchKeyQueue.push_back(entry->m_Key);
}

std::string linkFixture::rowText(ss::IAgent* row, unsigned nameId) {
    value v = row ? row->GetAttribute(ResourceText(nameId)) : value();
    Istring* s = v.code == vt::stringObject ? v.asString() : nullptr;
    return s && s->c_str() ? s->c_str() : "";
}

}  // namespace vesk::gnutella::test
