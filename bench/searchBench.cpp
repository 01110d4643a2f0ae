// Search result figures: while a search thread hands 10,000 results to a
// search in batches of 100, a GUI thread reads the results as a result list
// redraws them; the figure is the longest time it waits for the results'
// lock. Prints the figures; asserts nothing.
//   searchBench [results] [batch]     (default 10000 100)
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "bench/stopwatch.h"
#include "core/capsule.h"
#include "core/constructs.h"
#include "core/entityTable.h"
#include "core/factory.h"
#include "core/module.h"
#include "plugins/Ombrel/agent.h"
#include "plugins/Ombrel/manager.h"
#include "plugins/Ombrel/moduleServices.h"
#include "vesk/containers.h"
#include "vesk/lock.h"

using namespace vesk;
using namespace vesk::ss;

namespace {

using bench::seconds;

// A redraw cadence of the result list: it reads the results this often.
constexpr DWORD redrawMilliseconds = 1;
// A frame at 60 Hz: a wait longer than this stalls the window visibly.
constexpr double frameMilliseconds = 1000.0 / 60.0;

struct guiFigures {
    double longestWait = 0;
    double totalWait = 0;
    unsigned reads = 0;
};

// Reads the results as the list does (count, then the last row) until told
// to stop, timing each wait for the lock.
guiFigures readWhileResultsArrive(Ivector* results, const std::atomic<bool>& done) {
    guiFigures f;
    while (!done) {
        double asked = seconds();
        {
            lockGuard hold(results->getLock());
            double waited = (seconds() - asked) * 1000.0;
            f.longestWait = std::max(f.longestWait, waited);
            f.totalWait += waited;
            ++f.reads;
            unsigned n = results->size();
            if (n)
                results->at(n - 1);
        }
        Sleep(redrawMilliseconds);
    }
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    unsigned total = argc > 1 ? static_cast<unsigned>(std::atoi(argv[1])) : 10000;
    unsigned batchSize = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 100;
    if (total == 0 || batchSize == 0)
        return 1;

    auto* factoryObject = new capsule_core<vesk::factory>();
    auto* entityObject = new capsule_core<entityTable>();
    Ifactory* factory = factoryObject;
    ref<Iconstruct> agents(new capsule<_constructAgent>());
    if (!registerCoreClasses(factory) || !factory->registerClass(agents.get(), 0, 0))
        return 1;
    moduleServices& s = services();
    s.factory = factory;
    s.entityTable = entityObject;
    s.token = entityObject->createEntity("ss_manager", "bench");
    auto* manager = new capsule_core<CSSManager>();
    s.manager = manager;

    ISearchInst* search = manager->CreateSearch("bench");
    if (!search)
        return 1;
    search->addRef();
    std::vector<Ivector*> batches;
    for (unsigned made = 0; made < total; made += batchSize) {
        Ivector* batch = createAs<Ivector>(factory, s.token, "vesk::vector", addRefMode);
        batch->addRef();
        for (unsigned i = made; i < std::min(total, made + batchSize); ++i) {
            IAgent* result = createAs<IAgent>(factory, s.token, "vesk::ss::CAgent");
            batch->pushBack(value(static_cast<Igeneric*>(result)));
        }
        batches.push_back(batch);
    }

    std::atomic<bool> done{false};
    guiFigures gui;
    std::thread guiThread([&] { gui = readWhileResultsArrive(search->GetResults(), done); });
    double start = seconds();
    int stored = 0;
    for (Ivector* batch : batches)
        stored = search->AddResults(batch);
    double elapsed = seconds() - start;
    done = true;
    guiThread.join();

    std::printf("%d results stored in batches of %u in %.2f s (each result is followed by a 1 ms yield)\n",
                stored, batchSize, elapsed);
    std::printf("GUI thread wait for the results lock: longest %.2f ms, mean %.3f ms over %u reads "
                "(reference: a frame at 60 Hz, %.1f ms)\n",
                gui.longestWait, gui.reads ? gui.totalWait / gui.reads : 0.0, gui.reads, frameMilliseconds);

    for (Ivector* batch : batches)
        batch->release();
    search->release();
    manager->releaseCore();
    services() = moduleServices();
    entityObject->releaseCore();
    factoryObject->releaseCore();
    return 0;
}
