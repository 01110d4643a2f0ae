// The persist module's entry points driven as the host drives them.
#include <gtest/gtest.h>

#include "core/module.h"
#include "plugins/persist/tests/persistTestSupport.h"
#include "vesk/containers.h"

namespace vesk::svctest {
namespace {

// A program of its own: the first test sees the module before the XML
// services exist and the store before any target is attached.
TEST(PersistModule, WaitsForTheXmlServices) {
    moduleHost& host = moduleHost::instance();
    host.publishPlatformServices();
    ASSERT_EQ(host.registerModule("fs"), 1);
    ASSERT_EQ(host.factoryModule("fs"), 2);
    EXPECT_EQ(host.registerModule("persist"), 0);
    EXPECT_EQ(host.core()->getObject("vesk::persist::Isettings *"), nullptr);

    ASSERT_EQ(host.registerModule("Quillet"), 1);
    registration record;
    ASSERT_EQ(host.registerModule("persist", &record), 1);
    EXPECT_EQ(record, (registration{"persist objects", "pelloran", "vesk::persist::*", 0, 1}));
    EXPECT_NE(host.entities()->findEntity("vesk::persist::*"), 0u);
}

TEST(PersistModule, PublishesBothStoresAsCoreObjects) {
    moduleHost& host = moduleHost::instance();
    Igeneric* settings = host.core()->getObject("vesk::persist::Isettings *");
    Igeneric* install = host.core()->getObject("vesk::persist::IinstallSettings *");
    ASSERT_NE(interfaceCast<persist::Isettings>(settings), nullptr);
    ASSERT_NE(interfaceCast<persist::IinstallSettings>(install), nullptr);
    EXPECT_NE(interfaceCast<IcoreObject>(settings), nullptr);
    EXPECT_NE(interfaceCast<IcoreObject>(install), nullptr);

    persist::Isettings* s = interfaceCast<persist::Isettings>(settings);
    EXPECT_EQ(s->setTarget(nullptr), nullptr);
    EXPECT_TRUE(s->save()) << "empty: nothing to write";
    s->setValue("Key", value(1L), host.owner());
    EXPECT_FALSE(s->save()) << "values but no target";
    EXPECT_TRUE(s->removeValue("Key", host.owner()));

    EXPECT_EQ(host.registerModule("persist"), 1);
    EXPECT_EQ(host.core()->getObject("vesk::persist::Isettings *"), settings) << "published once";
}

TEST(PersistModule, FactoryTableOffersBothTargets) {
    moduleHost& host = moduleHost::instance();
    EXPECT_EQ(host.factoryClasses("persist"),
              (classTable{{3, "vesk::persist::persistTargetFile"}, {4, "vesk::persist::persistTargetSQL"}}));
    EXPECT_EQ(host.factoryModule("persist"), 2);
    EXPECT_NE(host.factory()->findClass("vesk::persist::persistTargetFile"), 0u);
}

}  // namespace
}  // namespace vesk::svctest
