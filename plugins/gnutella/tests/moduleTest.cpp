// The module through its entry points, in the test's own process: the real
// platform, service, share-engine, manager and network modules loaded from
// the staged client as the console loads them, and the recording fake user
// interface. The modules keep their state for the whole process: the steps
// build on each other (registration, then rounds of load and unload).
#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "core/module.h"
#include "core/string.h"
#include "plugins/fs/tests/moduleHost.h"
#include "plugins/gnutella/tests/loadedModules.h"
#include "testing/fakes/fakeUi.h"
#include "testing/testPaths.h"
#include "vesk/data.h"
#include "vesk/net.h"
#include "vesk/persist.h"
#include "vesk/ss.h"
#include "vesk/threading.h"

namespace vesk::gnutella::test {
namespace {

using svctest::moduleHost;
using svctest::registration;

// Everything the module needs but the network module, registered once.
struct environment : loadedModules {
    environment() {
        moduleHost& host = moduleHost::instance();
        // The module without its built-in web caches: a test never dials them.
        if (!host.loadModuleFile("gnutella", vesk::testing::fixturesDir() + "\\gnutellaNoWebCaches.vkm"))
            throw std::runtime_error("the module is not there");
        // The tests never take the Gnutella port other programs use.
        IentityToken* owner = host.entities()->createEntity("zUdoradur", "the module's settings group");
        lookupService<persist::Isettings>(host.core())
            ->setValue("Gnutella_ListenPort", value(static_cast<unsigned short>(0)), owner);
    }
};

environment& env() {
    static environment e;
    return e;
}

int call(const char* entry) {
    auto fn = reinterpret_cast<lifecycleEntry>(
        reinterpret_cast<void*>(moduleHost::instance().entry("gnutella", entry)));
    return fn ? fn() : -2;
}

// Registers the network module and then the Gnutella module, once.
void registerAll() {
    env();
    moduleHost& host = moduleHost::instance();
    if (lookupService<net::ICommunications>(host.core()))
        return;
    ASSERT_EQ(host.registerModule("net"), 1);
    ASSERT_EQ(host.factoryModule("net"), 1);
    ASSERT_EQ(host.registerModule("gnutella"), 1);
}

unsigned liveThreads() {
    return lookupService<Ithreader>(moduleHost::instance().core())->liveThreads();
}

// The lines the module logged (without their "\r\n") since the index.
std::vector<std::string> loggedSince(std::size_t from) {
    std::vector<std::string> lines = moduleHost::instance().loggedLines(), out;
    for (std::size_t i = from; i < lines.size(); ++i) {
        std::string line = lines[i];
        if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0)
            line.resize(line.size() - 2);
        out.push_back(line);
    }
    return out;
}

TEST(GnutellaModule, RegistersOnlyOnceEveryServiceExists) {
    env();
    moduleHost& host = moduleHost::instance();
    ASSERT_FALSE(lookupService<net::ICommunications>(host.core())) << "this step comes first";
    auto enter =
        reinterpret_cast<registerEntry>(reinterpret_cast<void*>(host.entry("gnutella", "_register")));
    ASSERT_NE(enter, nullptr);
    EXPECT_EQ(enter(nullptr, host.core()), -1);
    for (int attempt = 0; attempt < 3; ++attempt) {
        registration record;
        EXPECT_EQ(host.registerModule("gnutella", &record), 0) << "no network module yet";
        EXPECT_EQ(record.name, "") << "the record is filled only once it registers";
    }
    unsigned long entity = host.entities()->findEntity("zUdoradur");
    ASSERT_EQ(host.registerModule("net"), 1);
    ASSERT_EQ(host.factoryModule("net"), 1);
    registration record;
    EXPECT_EQ(host.registerModule("gnutella", &record), 1);
    EXPECT_EQ(record,
              (registration{"Gnutella", "Pelloran", "Gnutella File Searching/Sharing Protocol", 0, 99}));
    EXPECT_EQ(host.entities()->findEntity("zUdoradur"), entity)
        << "the entity made at the first attempt is kept";
}

TEST(GnutellaModule, LoadsAndUnloadsAgainWithoutLeavingThreads) {
    registerAll();
    const std::vector<std::string> loadLines = {
        "GNUTELLA LOAD: beginning init resources", "GNUTELLA LOAD: completed init resources",
        "GNUTELLA LOAD: beginning init protocol", "GNUTELLA LOAD: completed init protocol"};
    const std::vector<std::string> initLines = {
        "GNUTELLA INIT: beginning init settings",  "GNUTELLA INIT: completed init settings",
        "GNUTELLA INIT: beginning init network",   "GNUTELLA INIT: completed init network successfully",
        "GNUTELLA INIT: beginning init gui",       "GNUTELLA INIT: beginning init_options()",
        "GNUTELLA INIT: completed init_options()", "GNUTELLA INIT: completed init gui",
        "GNUTELLA INIT: loading successful hosts", "GNUTELLA INIT: loaded successful hosts",
        "GNUTELLA INIT: loading host catcher",     "GNUTELLA INIT: loaded host catcher",
        "GNUTELLA INIT: starting threads...",      "GNUTELLA INIT: sucessfully started threads"};
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        unsigned before = liveThreads();
        std::size_t mark = moduleHost::instance().loggedLines().size();
        ASSERT_EQ(call("_load"), 1);
        EXPECT_EQ(loggedSince(mark), loadLines) << "the texts went at the last unload: made again";
        mark = moduleHost::instance().loggedLines().size();
        ASSERT_EQ(call("_load"), 1);
        EXPECT_TRUE(loggedSince(mark).empty()) << "a repeated load does nothing";
        ASSERT_EQ(call("_initialize"), 1);
        EXPECT_EQ(loggedSince(mark), initLines);
        EXPECT_EQ(liveThreads(), before + 3);
        EXPECT_EQ(call("_unload"), 1);
        EXPECT_EQ(liveThreads(), before) << "every worker stopped, waited for and let go";
    }
}

TEST(GnutellaModule, DeclaresItsResultFieldsToTheManager) {
    registerAll();
    ASSERT_EQ(call("_load"), 1);
    ss::ISSManager* manager = lookupService<ss::ISSManager>(moduleHost::instance().core());
    ASSERT_NE(manager, nullptr);
    manager->SetDisplayMode(100);
    auto text = [](unsigned id) {
        char buffer[256] = {};
        LoadStringA(env().resources, id, buffer, sizeof buffer);
        ref<Istring> s(new vesk::string(buffer));
        return s;
    };
    ref<Istring> results = text(315), connections = text(314);
    for (unsigned shown : {264u, 246u, 202u, 232u, 231u})
        EXPECT_TRUE(manager->IsFieldShown(text(shown).get(), results.get())) << shown;
    for (unsigned hidden : {240u, 238u})
        EXPECT_FALSE(manager->IsFieldShown(text(hidden).get(), results.get())) << hidden;
    EXPECT_TRUE(manager->IsFieldShown(text(309).get(), connections.get()));
    EXPECT_FALSE(manager->IsFieldShown(text(280).get(), connections.get()));
    EXPECT_EQ(manager->GetProtocolCount(), 1);
    EXPECT_EQ(call("_unload"), 1);
}

TEST(GnutellaModule, ASearchRunsOnItsOwnThreadWhichTheUnloadEnds) {
    registerAll();
    ss::ISSManager* manager = lookupService<ss::ISSManager>(moduleHost::instance().core());
    ASSERT_NE(manager, nullptr);
    unsigned idle = liveThreads();
    ASSERT_EQ(call("_load"), 1);
    ASSERT_EQ(call("_initialize"), 1);
    ref<ss::ISearchInst> search(manager->CreateSearch("abc"));
    ASSERT_TRUE(search);
    search->SetQuery("abc");
    ASSERT_TRUE(manager->StartSearch(search.get()));
    EXPECT_EQ(liveThreads(), idle + 4) << "the three workers and the search's own thread";
    EXPECT_EQ(call("_unload"), 1);
    EXPECT_EQ(liveThreads(), idle) << "the search's thread ended with the workers";
    manager->StopSearch(search.get());  // the module forgot it: nothing to do
}

}  // namespace
}  // namespace vesk::gnutella::test
