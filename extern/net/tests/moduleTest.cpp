// net.vkm as the host drives it: registration against the real core
// directory, factory and entity table, its class table, a descriptor made
// through the published service, and the unload that withdraws it all.
#include <gtest/gtest.h>

#include <string>

#include "core/constructs.h"
#include "core/coreDirectory.h"
#include "core/entityTable.h"
#include "core/factory.h"
#include "extern/net/tests/loopback.h"
#include "testing/testPaths.h"
#include "vesk/containers.h"
#include "vesk/host.h"
#include "vesk/net.h"

namespace vesk::net::test {
namespace {

// The registration record, as far as a module fills it.
class record : public objectBase, public Icartridge {
public:
    record() {
        registerInterfaceOf<Icartridge>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    int setName(const char* n) override { return name_ = n, 1; }
    int setAuthor(const char* a) override { return author_ = a, 1; }
    int setDescription(const char* d) override { return description_ = d, 1; }
    int setMajorVersion(int v) override { return major_ = v, 1; }
    int setMinorVersion(int v) override { return minor_ = v, 1; }
    const char* getAuthor() override { return author_.c_str(); }
    const char* getName() override { return name_.c_str(); }
    const char* getDescription() override { return description_.c_str(); }
    int getMajorVersion() override { return major_; }
    int getMinorVersion() override { return minor_; }
    const char* getMajorVersionText() override { return ""; }
    const char* getMinorVersionText() override { return ""; }

private:
    std::string name_, author_, description_;
    int major_ = -1, minor_ = -1;
};

template <class F>
F entry(HMODULE m, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m, name)));
}

TEST(NetModule, RegistersPublishesMakesClassesAndWithdrawsOnUnload) {
    winsockSession winsock;
    auto* directory = new capsule_core<core>();
    Icore* coreView = directory;
    IcoreAccessor* publish = directory;
    auto* classes = new capsule_core<factory>();
    ASSERT_TRUE(registerCoreClasses(classes));
    auto* entities = new capsule_core<entityTable>();
    ref<Icartridge> self(new capsule<record>());

    HMODULE module = LoadLibraryA((vesk::testing::stageDir() + "\\plugins\\net.vkm").c_str());
    ASSERT_NE(module, nullptr) << GetLastError();
    auto doRegister = entry<registerEntry>(module, "_register");
    auto doFactory = entry<factoryEntry>(module, "_factory");
    auto doUnload = entry<lifecycleEntry>(module, "_unload");
    ASSERT_TRUE(doRegister && doFactory && doUnload && entry<lifecycleEntry>(module, "_load") &&
                entry<lifecycleEntry>(module, "_initialize"));

    // Without the factory and entity table it asks to be tried again.
    EXPECT_EQ(doRegister(self.get(), coreView), 0);
    EXPECT_EQ(coreView->getObject("vesk::net::ICommunications *"), nullptr);
    publish->registerObject(nameOf<Ifactory>(), static_cast<Ifactory*>(classes));
    publish->registerObject(nameOf<IentityTable>(), static_cast<IentityTable*>(entities));
    ASSERT_EQ(doRegister(self.get(), coreView), 1);
    EXPECT_STREQ(self->getName(), "net");
    EXPECT_NE(entities->findEntity("net"), 0u);
    auto* service = interfaceCast<ICommunications>(coreView->getObject("vesk::net::ICommunications *"));
    ASSERT_NE(service, nullptr);

    // Its class table, registered as the host does.
    ref<Ihash> table(doFactory());
    ASSERT_TRUE(table);
    ASSERT_EQ(table->size(), 1u);
    auto* construct = interfaceCast<Iconstruct>(table->first().anyObject());
    ASSERT_NE(construct, nullptr);
    ASSERT_NE(classes->registerClass(construct, 2, 0), 0u);
    table.reset(nullptr);
    unsigned long id = classes->findClass("vesk::net::CNetDataBuffer");
    ASSERT_NE(id, 0u);
    char bytes[] = "PING";
    value args[] = {value(4L), value(static_cast<void*>(bytes)), value(4ul), value(static_cast<const char*>(nullptr)),
                    value(static_cast<unsigned short>(0))};
    for (Igeneric* made : {classes->create2(id, nullptr, value(static_cast<void*>(bytes)), value(4ul)),
                           classes->createWithArgs(id, nullptr, args)}) {
        ref<INetDataBuffer> b(interfaceCast<INetDataBuffer>(made));
        ASSERT_TRUE(b);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(b->data()), b->length()), "PING");
    }

    // A descriptor from the service works against a loopback peer.
    EXPECT_EQ(service->createDescriptor("vesk::net::udp", nullptr), nullptr);
    EXPECT_EQ(service->createDescriptor(nullptr, nullptr), nullptr);
    {
        plainListener peer;
        ref<ITCPDescriptor> d(interfaceCast<ITCPDescriptor>(service->createDescriptor("vesk::net::tcp", nullptr)));
        ASSERT_TRUE(d);
        ASSERT_EQ(d->connect("127.0.0.1", peer.port()), 1);
        EXPECT_EQ(d->send("hello", 5), 1);
        SOCKET s = peer.acceptOne();
        std::vector<unsigned char> got = receiveBytes(s, 5);
        EXPECT_EQ(std::string(got.begin(), got.end()), "hello");
        EXPECT_TRUE(waitFor([&] { return d->status() == status::connected; }));
        closePlain(s);
    }

    EXPECT_EQ(doUnload(), 1);
    EXPECT_EQ(coreView->getObject("vesk::net::ICommunications *"), nullptr);
    EXPECT_EQ(entities->findEntity("net"), 0u);

    // The factory holds the module's construct object: it goes first.
    interfaceCast<IcoreObject>(static_cast<Ifactory*>(classes))->releaseCore();
    publish->unregisterObject(nameOf<Ifactory>());
    EXPECT_TRUE(FreeLibrary(module));
    interfaceCast<IcoreObject>(coreView)->releaseCore();
}

}  // namespace
}  // namespace vesk::net::test
