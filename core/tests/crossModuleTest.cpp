// Objects and exceptions crossing a module boundary: the reason the GCC
// runtime is shared as DLLs.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>

#include "core/tests/fixtures/counterInterface.h"
#include "testing/testPaths.h"

namespace vesk::test {
namespace {

class CrossModule : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryA((vesk::testing::fixturesDir() + "\\crossModule.vkm").c_str());
        ASSERT_NE(module_, nullptr) << GetLastError();
    }
    // Libraries stay loaded, as the host keeps them.
    template <class F>
    F entry(const char* name) {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }
    HMODULE module_ = nullptr;
};

TEST_F(CrossModule, ObjectIsQueriedCastCountedAndReleased) {
    auto make = entry<makeCounterEntry>("makeCounter");
    auto live = entry<liveCountersEntry>("liveCounters");
    ASSERT_TRUE(make && live);

    Igeneric* object = make();
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->addRef(), 1);
    EXPECT_EQ(live(), 1);

    Icounter* counter = interfaceCast<Icounter>(object);
    Inamed* named = interfaceCast<Inamed>(object);
    ASSERT_NE(counter, nullptr);
    ASSERT_NE(named, nullptr);
    EXPECT_EQ(counter->increment(), 1);
    EXPECT_EQ(counter->increment(), 2);
    EXPECT_STREQ(named->name(), "counter");
    EXPECT_EQ(object->queryInterface("struct vesk::test::Icounter *"),
              object->queryInterface("struct vesk::test::Inamed *"));

    EXPECT_EQ(named->addRef(), 2);  // one count whichever interface is used
    EXPECT_EQ(counter->release(), 1);
    EXPECT_EQ(object->release(), 0);
    EXPECT_EQ(live(), 0);
}

TEST_F(CrossModule, ExceptionThrownInAModuleIsCaughtByTheCaller) {
    auto thrower = entry<throwingEntry>("throwingEntry");
    ASSERT_TRUE(thrower);
    bool caught = false;
    try {
        thrower();
    } catch (const std::runtime_error& e) {
        caught = std::string(e.what()) == "thrown in a module";
    } catch (...) {
    }
    EXPECT_TRUE(caught);
}

}  // namespace
}  // namespace vesk::test
