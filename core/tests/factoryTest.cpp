#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "core/constructs.h"
#include "core/factory.h"
#include "core/tests/liveProbe.h"
#include "vesk/containers.h"
#include "vesk/data.h"

namespace vesk {
namespace {

class Factory : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(registerCoreClasses(f)); }
    void TearDown() override { interfaceCast<IcoreObject>(static_cast<Ifactory*>(f))->releaseCore(); }

    // Returns the new object's interfaces it answers, and frees it.
    bool answers(Igeneric* made, const char* query) {
        if (!made)
            return false;
        made->addRef();
        bool yes = made->queryInterface(query) != nullptr;
        EXPECT_EQ(made->release(), 0) << "a new object comes with a count of 0";
        return yes;
    }

    Ifactory* f = new capsule_core<factory>();
};

TEST_F(Factory, CoreClassesHoldIdsTwoToThirteenInOrder) {
    const char* names[] = {"vesk::buffer", "vesk::trio",  "vesk::pair",  "vesk::quad",
                           "vesk::hash",   "vesk::vector", "vesk::queue", "vesk::stack",
                           "vesk::primitiveLock", "vesk::spinLock", "vesk::readerWriterLock",
                           "vesk::criticalSectionLock"};
    unsigned long id = 2;
    for (const char* name : names)
        EXPECT_EQ(f->findClass(name), id++) << name;
    EXPECT_EQ(f->findClass("vesk::Hash"), 0u);
    EXPECT_EQ(f->findClass(nullptr), 0u);
}

TEST_F(Factory, EveryFormOfEveryCoreClass) {
    struct row {
        const char* name;
        const char* query;
        bool bare, one, two;
    } rows[] = {
        {"vesk::buffer", "struct vesk::Ibuffer *", true, false, true},
        {"vesk::trio", "struct vesk::Itrio *", true, true, false},
        {"vesk::pair", "struct vesk::Ipair *", true, true, false},
        {"vesk::quad", "struct vesk::Iquad *", true, true, false},
        {"vesk::hash", "struct vesk::Ihash *", true, true, false},
        {"vesk::vector", "struct vesk::Ivector *", true, true, true},
        {"vesk::queue", "struct vesk::Iqueue *", true, true, false},
        {"vesk::stack", "struct vesk::Istack *", true, true, false},
        {"vesk::primitiveLock", "struct vesk::Ilock *", true, false, false},
        {"vesk::spinLock", "struct vesk::Ilock *", true, false, false},
        {"vesk::readerWriterLock", "struct vesk::Ilock *", true, false, false},
        {"vesk::criticalSectionLock", "struct vesk::Ilock *", true, false, false},
    };
    const char* abc = "abc";
    value none[] = {value(0L)};
    for (const row& r : rows) {
        unsigned long id = f->findClass(r.name);
        EXPECT_EQ(answers(f->create(id, nullptr), r.query), r.bare) << r.name;
        EXPECT_EQ(answers(f->create1(id, nullptr, value(1UL)), r.query), r.one) << r.name;
        bool isBuffer = std::string(r.name) == "vesk::buffer";
        value first = isBuffer ? value(static_cast<void*>(const_cast<char*>(abc))) : value(1UL);
        value second = isBuffer ? value(3UL) : value(static_cast<void*>(none));
        EXPECT_EQ(answers(f->create2(id, nullptr, first, second), r.query), r.two) << r.name;
        EXPECT_FALSE(answers(f->create3(id, nullptr, value(1UL), value(1UL), value(1UL)), r.query)) << r.name;
        EXPECT_FALSE(answers(f->createWithArgs(id, nullptr, none), r.query)) << r.name;
    }
}

TEST_F(Factory, BufferFromValuesAndAddRefFlagOnlyFromUnsignedLong) {
    const char* abc = "abc";
    Ibuffer* b = interfaceCast<Ibuffer>(
        f->create2(f->findClass("vesk::buffer"), nullptr, value(static_cast<void*>(const_cast<char*>(abc))), value(3UL)));
    ASSERT_NE(b, nullptr);
    b->addRef();
    EXPECT_EQ(b->resize(0), 3u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(b->current()), 3), "abc");
    b->release();

    // No block of that size can be had in a 32-bit process: a failed copy
    // is null, not an empty buffer. (A 64-bit one would copy 4 GiB of
    // whatever follows the text.)
    if (sizeof(void*) == 4) {
        EXPECT_EQ(f->create2(f->findClass("vesk::buffer"), nullptr,
                             value(static_cast<void*>(const_cast<char*>(abc))), value(0xFFFFFFFFUL)),
                  nullptr);
    }

    // Another code than an untyped pointer, or than an unsigned long: empty.
    value wrongFirst[] = {value(abc), value(3UL)};
    value wrongSecond[] = {value(static_cast<void*>(const_cast<char*>(abc))), value(3L)};
    for (value* args : {wrongFirst, wrongSecond}) {
        Ibuffer* empty = interfaceCast<Ibuffer>(f->create2(f->findClass("vesk::buffer"), nullptr, args[0], args[1]));
        ASSERT_NE(empty, nullptr);
        empty->addRef();
        EXPECT_EQ(empty->resize(0), 0u);
        empty->release();
    }

    for (bool unsignedFlag : {true, false}) {
        Igeneric* probe = test::newProbe();
        value flag = unsignedFlag ? value(1UL) : value(1L);
        Ihash* h = interfaceCast<Ihash>(f->create1(f->findClass("vesk::hash"), nullptr, flag));
        ASSERT_NE(h, nullptr);
        h->addRef();
        h->set(value(1L), value(probe));
        EXPECT_EQ(test::countOf(probe), unsignedFlag ? 2 : 1);
        h->release();
        probe->release();
    }
}

TEST_F(Factory, UnknownIdsAndNullRegistrations) {
    EXPECT_EQ(f->registerClass(nullptr, 0, 0), 0u);
    EXPECT_EQ(f->create(0, nullptr), nullptr);
    EXPECT_EQ(f->create1(999, nullptr, value(1UL)), nullptr);
    EXPECT_EQ(f->create1(f->findClass("vesk::nothing"), nullptr, value(1UL)), nullptr);
}

TEST_F(Factory, ANameRegisteredAgainGetsANewIdAndTheOldIdStillWorks) {
    auto* second = new capsule<_constructQueue>();  // answers "vesk::queue"
    unsigned long id = f->registerClass(second, 7, 0);
    EXPECT_EQ(id, 14u);
    EXPECT_EQ(f->findClass("vesk::queue"), 14u);
    EXPECT_TRUE(answers(f->create(8, nullptr), "struct vesk::Iqueue *"));
    EXPECT_TRUE(answers(f->create(14, nullptr), "struct vesk::Iqueue *"));
}

// A construct object that uses the factory from inside create(): the
// factory must not hold its lock around the call.
class nestingConstruct : public constructBase {
public:
    explicit nestingConstruct(Ifactory* f) : constructBase("test::nesting"), f_(f) {}
    Igeneric* create() override { return f_->create(f_->findClass("vesk::hash"), nullptr); }

private:
    Ifactory* f_;
};

class throwingConstruct : public constructBase {
public:
    throwingConstruct() : constructBase("test::throwing") {}
    Igeneric* create() override { throw std::runtime_error("cannot make it"); }
    Igeneric* create1(value) override { throw std::runtime_error("cannot make it"); }
};

TEST_F(Factory, AConstructObjectThatThrowsGivesNull) {
    unsigned long id = f->registerClass(new capsule<throwingConstruct>(), 0, 0);
    EXPECT_EQ(f->create(id, nullptr), nullptr);
    EXPECT_EQ(f->create1(id, nullptr, value(1UL)), nullptr);
}

TEST_F(Factory, AConstructObjectMayUseTheFactory) {
    unsigned long id = f->registerClass(new capsule<nestingConstruct>(f), 0, 0);
    EXPECT_TRUE(answers(f->create(id, nullptr), "struct vesk::Ihash *"));
}

}  // namespace
}  // namespace vesk
