// How the runtime object's shutdown reaches the signal loop: one shutdown
// signal per request, made through the factory and posted on the host's
// path, and the running flag cleared in every case.
#include <gtest/gtest.h>

#include <vector>

#include "core/capsule.h"
#include "core/constructs.h"
#include "core/entityTable.h"
#include "core/factory.h"
#include "runtime/runtimeObject.h"

namespace vesk::test {
namespace {

int liveSignals = 0;

class testSignal : public objectBase, public IglobalShutdownSignal {
public:
    explicit testSignal(Igeneric* from) : sender(from) {
        ++liveSignals;
        registerInterfaceOf<IglobalShutdownSignal>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    ~testSignal() { --liveSignals; }
    Igeneric* sender;  // not held: the test keeps the entity alive
};

class signalConstruct : public constructBase {
public:
    signalConstruct() : constructBase("vesk::globalShutdownSignal") {}
    Igeneric* create1(value sender) override {
        return static_cast<IglobalShutdownSignal*>(new capsule<testSignal>(sender.asGeneric()));
    }
};

struct posted {
    unsigned long path;
    IentityToken* owner;
    Igeneric* sender;
    bool hostRunning;  // the runtime's flag as the signal arrived
};

class recordingSignals : public objectBase, public IsignalProcessor {
public:
    recordingSignals() {
        registerInterfaceOf<IsignalProcessor>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    unsigned long registerSignalPath(const char*, IentityToken*, int) override { return 0; }
    int postSignal(unsigned long path, IentityToken* owner, IglobalShutdownSignal* s, int) override {
        ref<IglobalShutdownSignal> consumed(s);
        auto* made = dynamic_cast<testSignal*>(s);
        posts.push_back({path, owner, made ? made->sender : nullptr, host && host->isRunning()});
        return 1;
    }
    std::vector<posted> posts;
    Iruntime* host = nullptr;
};

class RuntimeShutdown : public ::testing::Test {
protected:
    void SetUp() override {
        signals_.addRef();
        signals_.host = runtime_;
        ASSERT_NE(factory_->registerClass(new capsule<signalConstruct>(), 0, 0), 0u);
        token_ = entities_->createEntity("vesk::runtime", "bootstrap");
        ASSERT_NE(token_, nullptr);
    }
    void TearDown() override {
        runtime_->releaseCore();
        factory_->releaseCore();
        entities_->releaseCore();
        EXPECT_EQ(liveSignals, 0) << "every signal was handed over and released";
    }

    capsule<recordingSignals> signals_;
    factory* factory_ = new capsule_core<factory>();
    entityTable* entities_ = new capsule_core<entityTable>();
    runtime* runtime_ = new capsule_core<runtime>();
    IentityToken* token_ = nullptr;
};

TEST_F(RuntimeShutdown, BeforeTheSignalProcessorIsKnownOnlyTheFlagIsCleared) {
    EXPECT_TRUE(runtime_->isRunning());
    EXPECT_FALSE(runtime_->shutdown());
    EXPECT_FALSE(runtime_->isRunning());
    EXPECT_TRUE(signals_.posts.empty());
}

TEST_F(RuntimeShutdown, EveryRequestPostsASignalOnTheHostPath) {
    runtime_->routeShutdown(factory_, token_, &signals_);
    EXPECT_FALSE(runtime_->shutdown());  // before the host's path exists
    runtime_->setSignalPath(9);
    EXPECT_FALSE(runtime_->shutdown());
    EXPECT_FALSE(runtime_->isRunning());

    ASSERT_EQ(signals_.posts.size(), 2u);
    Igeneric* entity = token_->getEntity();
    EXPECT_EQ(signals_.posts[0].path, 0u);
    EXPECT_EQ(signals_.posts[1].path, 9u);
    for (const posted& p : signals_.posts) {
        EXPECT_EQ(p.owner, token_);
        EXPECT_EQ(p.sender, entity) << "the signal carries the host's entity";
    }

    runtime_->routeShutdown(nullptr, nullptr, nullptr);  // the host is shutting down
    runtime_->shutdown();
    EXPECT_EQ(signals_.posts.size(), 2u);
}

TEST_F(RuntimeShutdown, TheFlagIsClearedBeforeTheSignalIsPosted) {
    // The signal ends the host's loop, after which the host may destroy
    // the runtime object: nothing of it may be touched after the post.
    runtime_->routeShutdown(factory_, token_, &signals_);
    runtime_->shutdown();
    ASSERT_EQ(signals_.posts.size(), 1u);
    EXPECT_FALSE(signals_.posts[0].hostRunning);
}

TEST_F(RuntimeShutdown, ASignalIsPostedEvenWithoutAHostToken) {
    // Without it the signal loop would never hear of the request.
    runtime_->routeShutdown(factory_, nullptr, &signals_);
    runtime_->shutdown();
    ASSERT_EQ(signals_.posts.size(), 1u);
    EXPECT_EQ(signals_.posts[0].sender, nullptr);
}

}  // namespace
}  // namespace vesk::test
