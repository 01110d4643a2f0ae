#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "core/coreDirectory.h"
#include "core/entityTable.h"

namespace vesk {
namespace {

// A published core object that records the order in which it is ended.
std::vector<std::string> endedOrder;

class service : public objectBase, public IcoreObject {
public:
    explicit service(const char* name) : name_(name) {
        registerInterfaceOf<IcoreObject>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    ~service() { endedOrder.push_back(name_); }

private:
    std::string name_;
};

Igeneric* newService(const char* name) { return static_cast<IcoreObject*>(new capsule_core<service>(name)); }

void releaseDirectory(Icore* c) { interfaceCast<IcoreObject>(c)->releaseCore(); }

TEST(Directory, PublishesAndFindsByWholeName) {
    auto* dir = new capsule_core<core>();
    IcoreAccessor* acc = interfaceCast<IcoreAccessor>(static_cast<Icore*>(dir));
    ASSERT_NE(acc, nullptr);
    Igeneric* a = newService("a");
    Igeneric* b = newService("b");
    EXPECT_EQ(acc->registerObject("vesk::Ifactory *", a), 2u);
    EXPECT_EQ(acc->registerObject("vesk::Ifactory *", b), 0u);  // name taken
    EXPECT_EQ(acc->registerObject(nullptr, b), 0u);
    EXPECT_EQ(acc->registerObject("x", nullptr), 0u);
    EXPECT_EQ(acc->registerObject("vesk::Itarget *", b), 3u);
    EXPECT_EQ(dir->getObject("vesk::Ifactory *"), a);
    EXPECT_EQ(dir->getObject("vesk::Ifactory"), nullptr);
    EXPECT_EQ(dir->getObject(nullptr), nullptr);

    EXPECT_TRUE(acc->unregisterObject("vesk::Ifactory *"));
    EXPECT_FALSE(acc->unregisterObject("vesk::Ifactory *"));
    EXPECT_EQ(dir->getObject("vesk::Ifactory *"), nullptr);
    EXPECT_FALSE(acc->unregisterObjectById(2));
    EXPECT_TRUE(acc->unregisterObjectById(3));
    EXPECT_EQ(acc->registerObject("vesk::Ifactory *", a), 4u);  // ids are never reused

    endedOrder.clear();
    releaseDirectory(dir);
    EXPECT_EQ(endedOrder, (std::vector<std::string>{"a"}));  // b was withdrawn: not ended
    interfaceCast<IcoreObject>(b)->releaseCore();
}

TEST(Directory, EndsPublishedObjectsInIdOrder) {
    auto* dir = new capsule_core<core>();
    IcoreAccessor* acc = interfaceCast<IcoreAccessor>(static_cast<Icore*>(dir));
    const char* names[] = {"console", "factory", "entities", "runtime", "log"};
    // Published under names that sort differently from their ids.
    const char* keys[] = {"z", "y", "x", "w", "v"};
    for (int i = 0; i < 5; ++i)
        acc->registerObject(keys[i], newService(names[i]));
    endedOrder.clear();
    releaseDirectory(dir);
    EXPECT_EQ(endedOrder, (std::vector<std::string>{"console", "factory", "entities", "runtime", "log"}));
}

bool isGuidText(const std::string& g) {
    if (g.size() != 38 || g.front() != '{' || g.back() != '}')
        return false;
    for (size_t i = 1; i < 37; ++i) {
        bool hyphen = i == 9 || i == 14 || i == 19 || i == 24;
        if (hyphen ? g[i] != '-' : !(std::isdigit(static_cast<unsigned char>(g[i])) || (g[i] >= 'A' && g[i] <= 'F')))
            return false;
    }
    return true;
}

TEST(EntityTable, EntitiesHaveGuidTextsAndNewestNameWins) {
    auto* table = new capsule_core<entityTable>();
    EXPECT_EQ(table->createEntity(nullptr, "d"), nullptr);
    EXPECT_EQ(table->createEntity("n", nullptr), nullptr);

    IentityToken* first = table->createEntity("vesk::runtime", "bootstrap");
    IentityToken* second = table->createEntity("vesk::runtime", "again");
    ASSERT_TRUE(first && second);
    first->addRef();
    EXPECT_TRUE(isGuidText(first->getGuid())) << first->getGuid();
    EXPECT_STRNE(first->getGuid(), second->getGuid());
    EXPECT_STREQ(first->getEntity()->getName(), "vesk::runtime");
    EXPECT_STREQ(first->getEntity()->getDescription(), "bootstrap");
    EXPECT_EQ(table->findEntity("vesk::runtime"), 3u);
    EXPECT_EQ(table->findEntity("nobody"), 0u);

    std::string guid = first->getGuid();
    EXPECT_TRUE(table->hasEntity(guid.c_str()));
    EXPECT_EQ(table->removeEntity(first), 1);
    EXPECT_FALSE(table->hasEntity(guid.c_str()));
    EXPECT_EQ(table->removeEntity(first), 1);  // again: nothing changes
    EXPECT_EQ(table->removeEntity(nullptr), 0);
    EXPECT_EQ(table->findEntity("vesk::runtime"), 3u);  // the newer one keeps its name
    EXPECT_EQ(first->release(), 0);  // the table let go of it

    interfaceCast<IcoreObject>(static_cast<IentityTable*>(table))->releaseCore();
}

}  // namespace
}  // namespace vesk
