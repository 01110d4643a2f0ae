// One cartridge: its registration record, and its entry points run inside
// catch-all handlers with the lifecycle lines written to the published log.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "core/capsule.h"
#include "core/coreDirectory.h"
#include "runtime/cartridge.h"
#include "testing/recordingLog.h"
#include "vesk/data.h"

namespace vesk::test {
namespace {

int succeeds() { return 1; }
int fails() { return 0; }
int throws() { throw std::runtime_error("entry point failed"); }

Icartridge* registeredSelf = nullptr;
Icore* registeredCore = nullptr;
int recordsItsArguments(Icartridge* self, Icore* core) {
    registeredSelf = self;
    registeredCore = core;
    return 7;
}
int registerThrows(Icartridge*, Icore*) { throw std::runtime_error("register failed"); }
Ihash* factoryThrows() { throw std::runtime_error("factory failed"); }

class Cartridge : public ::testing::Test {
protected:
    void SetUp() override {
        log_.addRef();
        interfaceCast<IcoreAccessor>(static_cast<Icore*>(directory_))
            ->registerObject(nameOf<Itarget>(), static_cast<Itarget*>(&log_));
        made_->addRef();
    }
    void TearDown() override {
        made_->release();
        directory_->releaseCore();
    }

    capsule<vesk::testing::recordingLog> log_;
    core* directory_ = new capsule_core<core>();
    cartridge* made_ = new capsule<cartridge>(directory_);
};

TEST_F(Cartridge, VersionSettersKeepTheNumberAndItsDecimalText) {
    struct {
        int number;
        const char* text;
    } versions[] = {{0, "0"}, {99, "99"}, {-3, "-3"}};
    for (auto& v : versions) {
        EXPECT_EQ(made_->setMajorVersion(v.number), v.number);
        EXPECT_EQ(made_->setMinorVersion(v.number), v.number);
        EXPECT_EQ(made_->getMajorVersion(), v.number);
        EXPECT_STREQ(made_->getMajorVersionText(), v.text);
        EXPECT_STREQ(made_->getMinorVersionText(), v.text);
    }
    char name[] = "Splash";
    EXPECT_EQ(made_->setName(name), 1);
    name[0] = 'X';
    EXPECT_STREQ(made_->getName(), "Splash") << "the setter copies";
}

TEST_F(Cartridge, LifecycleCallsWriteTheirLinesInLowerCase) {
    struct {
        const char* name;
        lifecycleEntry entry;
        int (IcartridgeAccessor::*call)();
        int result;
        std::vector<std::string> lines;
    } cases[] = {
        {"", &succeeds, &IcartridgeAccessor::callLoad, 1,
         {"entering :: _load() :: ", "exiting  :: _load() ::   [SUCCESS]"}},
        {"Splash", &fails, &IcartridgeAccessor::callInitialize, 0,
         {"entering :: _initialize() :: splash", "exiting  :: _initialize() :: splash  [FAILED]"}},
        {"Splash", &throws, &IcartridgeAccessor::callUnload, 0,
         {"entering :: _unload() :: splash", "unhandled exception :: _unload() :: splash"}},
        {"Splash", nullptr, &IcartridgeAccessor::callLoad, 0,
         {"entering :: _load() :: splash", "exiting  :: _load() :: splash  [FAILED]"}},
    };
    for (auto& c : cases) {
        made_->setName(c.name);
        made_->setLoad(c.entry);
        made_->setInitialize(c.entry);
        made_->setUnload(c.entry);
        log_.clear();
        EXPECT_EQ((made_->*c.call)(), c.result) << c.lines[0];
        EXPECT_EQ(log_.lines(), c.lines);
    }
}

TEST_F(Cartridge, RegisterAndFactoryAreCaughtSilently) {
    EXPECT_EQ(made_->callRegister(), 0) << "not set";
    EXPECT_EQ(made_->callFactory(), 0) << "not set";

    made_->setRegister(&recordsItsArguments);
    EXPECT_EQ(made_->callRegister(), 7);
    EXPECT_EQ(registeredSelf, static_cast<Icartridge*>(made_));
    EXPECT_EQ(registeredCore, static_cast<Icore*>(directory_));

    made_->setRegister(&registerThrows);
    made_->setFactory(&factoryThrows);
    EXPECT_EQ(made_->callRegister(), 0);
    EXPECT_EQ(made_->callFactory(), 0);
    EXPECT_TRUE(log_.lines().empty()) << "nothing is logged for _register and _factory";
}

}  // namespace
}  // namespace vesk::test
