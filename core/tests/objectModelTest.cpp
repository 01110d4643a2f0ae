#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "core/buffer.h"
#include "core/capsule.h"
#include "core/string.h"
#include "vesk/data.h"

namespace vesk {
namespace {

// A core object for the tests: counts its destructions.
struct Iprobe : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::Iprobe *";
    virtual int poke() = 0;
};

int destroyed = 0;

class probe : public objectBase, public Iprobe, public IcoreObject {
public:
    probe() {
        registerInterfaceOf<Iprobe>(this);
        registerInterfaceOf<IcoreObject>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    ~probe() { ++destroyed; }
    int poke() override { return 7; }
};

class countedProbe : public objectBase, public Iprobe {
public:
    countedProbe() {
        registerInterfaceOf<Iprobe>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    ~countedProbe() { ++destroyed; }
    int poke() override { return 8; }
};

TEST(ObjectModel, QueryByNameAnswersTheRootForEveryInterface) {
    auto* b = new capsule<buffer>();
    b->addRef();
    void* asBuffer = b->queryInterface("struct vesk::Ibuffer *");
    void* asGeneric = b->queryInterface("struct vesk::Igeneric *");
    ASSERT_NE(asBuffer, nullptr);
    EXPECT_EQ(asBuffer, asGeneric);
    EXPECT_EQ(asBuffer, static_cast<Igeneric*>(b));
    b->release();
}

TEST(ObjectModel, QueriesThatMustNotMatch) {
    auto* b = new capsule<buffer>();
    b->addRef();
    const char* misses[] = {
        nullptr,
        "class vesk::buffer *",    // a class name with a six-character prefix
        "struct vesk::Ibuffer",    // no " *"
        "struct vesk::ibuffer *",  // case matters
        "struct vesk::Ihash *",
        "short",                   // shorter than the prefix
        "",
    };
    for (const char* name : misses)
        EXPECT_EQ(b->queryInterface(name), nullptr) << (name ? name : "(null)");
    b->release();
}

TEST(ObjectModel, InterfaceCastConvertsAndRefusesWithoutReferences) {
    EXPECT_EQ(interfaceCast<Ibuffer>(nullptr), nullptr);
    auto* s = new string("abc");
    EXPECT_EQ(s->addRef(), 1);
    Istring* asString = interfaceCast<Istring>(static_cast<Igeneric*>(s));
    ASSERT_NE(asString, nullptr);
    EXPECT_STREQ(asString->c_str(), "abc");
    EXPECT_EQ(interfaceCast<Ibuffer>(static_cast<Igeneric*>(s)), nullptr);
    EXPECT_EQ(s->addRef(), 2);  // the casts added nothing
    s->release();
    EXPECT_EQ(s->release(), 0);
}

TEST(ObjectModel, CapsuleCountsFromZeroAndDestroysAtZero) {
    auto* b = new capsule<buffer>();
    EXPECT_EQ(b->addRef(), 1);
    EXPECT_EQ(b->addRef(), 2);
    EXPECT_EQ(b->release(), 1);
    EXPECT_EQ(b->release(), 0);
}

TEST(ObjectModel, ReleaseOfANeverReferencedCapsuleDoesNotDestroyIt) {
    destroyed = 0;
    auto* p = new capsule<countedProbe>();
    EXPECT_EQ(p->release(), -1);
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(p->addRef(), 0);
    EXPECT_EQ(p->addRef(), 1);
    EXPECT_EQ(p->release(), 0);
    EXPECT_EQ(destroyed, 1);
}

TEST(ObjectModel, CoreCapsuleIgnoresCountsAndEndsAtReleaseCore) {
    destroyed = 0;
    auto* p = new capsule_core<probe>();
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(p->addRef(), 1);
        EXPECT_EQ(p->release(), 1);
    }
    EXPECT_EQ(destroyed, 0);
    IcoreObject* core = interfaceCast<IcoreObject>(static_cast<Iprobe*>(p));
    ASSERT_NE(core, nullptr);
    EXPECT_EQ(core->releaseCore(), 0);
    EXPECT_EQ(destroyed, 1);
}

TEST(ObjectModel, CountsStayExactUnderConcurrentUse) {
    auto* b = new capsule<buffer>();
    b->addRef();
    constexpr int perThread = 20000;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([b] {
            for (int i = 0; i < perThread; ++i) {
                b->addRef();
                b->release();
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(b->addRef(), 2);
    b->release();
    EXPECT_EQ(b->release(), 0);
}

}  // namespace
}  // namespace vesk
