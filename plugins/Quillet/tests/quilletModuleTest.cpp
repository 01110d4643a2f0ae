// The XML module's entry points driven as the host drives them.
#include <gtest/gtest.h>

#include "core/coreDirectory.h"
#include "core/module.h"
#include "plugins/Quillet/tests/xmlTestSupport.h"
#include "plugins/fs/tests/moduleHost.h"
#include "vesk/containers.h"

namespace vesk::svctest {
namespace {

TEST(XmlModule, NeedsTheFactoryAndTheEntityTable) {
    auto* empty = new capsule_core<vesk::core>();
    EXPECT_EQ(moduleHost::instance().registerModule("Quillet", nullptr, empty), 0);
    empty->releaseCore();
}

TEST(XmlModule, RegistersAndPublishesParserAndBuilder) {
    moduleHost& host = moduleHost::instance();
    registration record;
    ASSERT_EQ(host.registerModule("Quillet", &record), 1);
    EXPECT_EQ(record, (registration{"xml parser", "pelloran", "vesk::xml::*", 0, 1}));
    EXPECT_NE(host.entities()->findEntity("vesk::xml::*"), 0u);

    Igeneric* published = host.core()->getObject("vesk::xml::IxmlParser *");
    ASSERT_NE(published, nullptr);
    EXPECT_NE(interfaceCast<IcoreObject>(published), nullptr);
    EXPECT_NE(interfaceCast<xml::IxmlBuilder>(host.core()->getObject("vesk::xml::IxmlBuilder *")), nullptr);

    EXPECT_EQ(host.registerModule("Quillet"), 1) << "a second call publishes nothing twice";
    EXPECT_EQ(host.core()->getObject("vesk::xml::IxmlParser *"), published);
}

TEST(XmlModule, OffersNoClasses) {
    moduleHost& host = moduleHost::instance();
    ASSERT_EQ(host.registerModule("Quillet"), 1);
    EXPECT_EQ(host.factoryClasses("Quillet"), classTable{}) << "an empty table, not none";
}

}  // namespace
}  // namespace vesk::svctest
