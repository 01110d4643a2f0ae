// Gnutella module figures, each beside its reference measured in the same
// run, on one core (one thread does everything, as the active host thread
// does): framing, routing and answering of a mix of Pings and Queries from
// fake links against a share of many files, beside framing the same bytes
// alone; the median time to answer one Query, beside the share engine's
// search for its words alone; the memory one connected link and one queued
// download hold, beside the size of their records. Prints the figures;
// asserts nothing.
//   gnutellaBench [descriptors] [files]     (default 1000000 and 100000)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench/benchFiles.h"
#include "bench/stopwatch.h"
#include "core/capsule.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/activeHosts.h"
#include "plugins/gnutella/broadcasts.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/downloadActions.h"
#include "plugins/gnutella/framing.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/queryHitResults.h"
#include "plugins/gnutella/tests/trafficFixture.h"
#include "plugins/share2/shareEngine.h"
#include "testing/processMemory.h"
#include "testing/testPaths.h"

using namespace vesk;
using namespace vesk::gnutella;
using vesk::bench::seconds;

namespace {

constexpr unsigned linkCount = 8;
constexpr unsigned batchSize = 64;  // descriptors handed to a link at once

double median(std::vector<double> v) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The mix: half Pings, half Queries; of the Queries one in ten names one
// shared file, one in a hundred a word thousands of files have (the hit is
// cut at its limit), the rest words nothing has.
class mix {
public:
    explicit mix(unsigned files) : files_(files) {}

    test::bytes next() {
        ++count_;
        test::bytes id(guidSize);
        for (unsigned i = 0; i < guidSize; ++i)
            id[i] = static_cast<unsigned char>(i < 4 ? count_ >> (8 * i) : random_());
        if (count_ % 2)
            return test::descriptorOf(id, function::ping, 2, 0, {});
        return test::descriptorOf(id, function::query, 3, 0, test::queryPayload(words()));
    }

    std::string words() {
        unsigned pick = random_() % 100;
        if (pick < 10) {
            char name[32];
            std::snprintf(name, sizeof name, "track %05u", static_cast<unsigned>(random_() % files_));
            return name;
        }
        if (pick == 10)
            return "song" + std::to_string(random_() % 13);
        return "zq" + std::to_string(random_() % 100000) + " nothing";
    }

private:
    unsigned files_;
    unsigned count_ = 0;
    std::mt19937 random_{20261210};
};

// The module's parts as the tests set them up (the node online, fake
// links, the real share engine), driven by hand.
class node : public test::trafficFixture {
public:
    void TestBody() override {}

    bool start(const std::string& folder) {
        SetUp();
        engine_ = new capsule_core<share2::CShareEngine>(factory);
        share2::shareSpec spec{};
        std::snprintf(spec.path, sizeof spec.path, "%s", folder.c_str());
        spec.recursive = 1;
        double begin = seconds();
        if (engine_->addShare(&spec) != 1)
            return false;
        std::printf("share: %u objects scanned in %.1f s\n", engine_->objectCount(), seconds() - begin);
        g_Services.shareEngine = engine_;
        g_Settings.m_MaxIncoming = 2000;
        g_Settings.m_MaxTotalConnections = 2000;
        return true;
    }
    void stop() {
        TearDown();
        engine_->releaseCore();
    }

    share2::CShareEngine* engine() { return engine_; }

    // Every descriptor of the mix through the links: each link is handed
    // batches, one descriptor of each link is handled per turn, and what the
    // links were sent is let go after each turn.
    double throughput(unsigned total, mix& m, unsigned long long& sentBytes) {
        std::vector<peer> links;
        for (unsigned i = 0; i < linkCount; ++i)
            links.push_back(addPeer(("1.1.1." + std::to_string(i + 1)).c_str()));
        unsigned handed = 0;
        double begin = seconds();
        DWORD lastTick = GetTickCount();
        for (;;) {
            bool waiting = false;
            for (peer& p : links) {
                if (!p.link->hasIncoming() && p.host->m_Framing.leftover.Empty() && handed < total) {
                    test::bytes batch;
                    for (unsigned k = 0; k < batchSize && handed < total; ++k, ++handed) {
                        test::bytes d = m.next();
                        batch.insert(batch.end(), d.begin(), d.end());
                    }
                    p.link->deliver(batch);
                }
                waiting = waiting || p.link->hasIncoming() || !p.host->m_Framing.leftover.Empty();
            }
            if (!waiting && handed >= total && g_PendingBroadcastList.IsEmpty())
                break;
            turn();
            for (peer& p : links) {
                for (const test::bytes& s : p.link->sends())
                    sentBytes += s.size();
                p.link->clearSends();
            }
            // The node's clock follows the real one: routing memories and
            // ping throttles age as they would.
            DWORD tick = GetTickCount();
            advance(tick - lastTick);
            lastTick = tick;
        }
        return seconds() - begin;
    }

    // The time one turn of one link takes to read, route and answer one
    // Query naming one shared file; the hit must have been sent.
    std::vector<double> answerTimes(unsigned runs, mix& m, unsigned files) {
        peer p = addPeer("2.2.2.2");
        std::vector<double> ms;
        std::mt19937 random(7);
        for (unsigned i = 0; i < runs; ++i) {
            test::bytes id(guidSize);
            for (unsigned k = 0; k < guidSize; ++k)
                id[k] = static_cast<unsigned char>(k < 4 ? (0x40000000u + i) >> (8 * k) : random());
            char name[32];
            std::snprintf(name, sizeof name, "track %05u", static_cast<unsigned>(random() % files));
            p.link->deliver(test::descriptorOf(id, function::query, 1, 0, test::queryPayload(name)));
            double begin = seconds();
            ServiceActiveHost(p.host);
            double took = seconds() - begin;
            bool answered = false;
            for (const test::bytes& s : p.link->sends())
                answered = answered || (s.size() > header::function && s[header::function] == function::queryHit);
            p.link->clearSends();
            if (answered)
                ms.push_back(took * 1e3);
        }
        (void)m;
        return ms;
    }

    // The share engine's search for the same words alone.
    std::vector<double> searchTimes(unsigned runs, unsigned files) {
        std::vector<double> ms;
        std::mt19937 random(7);
        for (unsigned i = 0; i < runs; ++i) {
            for (unsigned k = 0; k < guidSize; ++k)
                random();  // the same names as answerTimes draws
            char name[32];
            std::snprintf(name, sizeof name, "track %05u", static_cast<unsigned>(random() % files));
            double begin = seconds();
            Ivector* found = engine_->search(name);
            ms.push_back((seconds() - begin) * 1e3);
            if (found)
                found->release();
        }
        return ms;
    }

    // Heap bytes per link of count links added and served once each.
    double bytesPerLink(unsigned count) {
        ui.calls().clear();
        std::size_t before = vesk::testing::heapBytesInUse();
        for (unsigned i = 0; i < count; ++i) {
            char address[32];
            std::snprintf(address, sizeof address, "3.%u.%u.%u", i >> 16 & 255, i >> 8 & 255, i & 255);
            peer p = addPeer(address);
            ServiceActiveHost(p.host);
        }
        ui.calls().clear();
        std::size_t after = vesk::testing::heapBytesInUse();
        return after > before ? static_cast<double>(after - before) / count : 0;
    }

    // Heap bytes per download of count results queued: each result made
    // from a hit as a search makes it, then queued as the user's download
    // action queues it.
    double bytesPerQueuedDownload(unsigned count) {
        ui.calls().clear();
        std::size_t before = vesk::testing::heapBytesInUse();
        for (unsigned i = 0; i < count; ++i) {
            parsedHit hit;
            hit.port = 6346;
            std::snprintf(hit.address, sizeof hit.address, "4.4.%u.%u", i >> 8 & 255, i & 255);
            hitRecord record;
            record.index = i;
            record.size = 4000000;
            record.name = bench::trackName(i);
            hit.records.push_back(record);
            Ivector* batch = BuildResultBatch(hit);
            if (!batch)
                return 0;
            for (unsigned k = 0; k < batch->size(); ++k)
                add_download(interfaceCast<ss::IAgent>(batch->at(k).asGeneric()));
            batch->release();
        }
        ui.gui().run([] {});  // the window calls held back have been made
        ui.calls().clear();
        std::size_t after = vesk::testing::heapBytesInUse();
        return after > before ? static_cast<double>(after - before) / count : 0;
    }

private:
    share2::CShareEngine* engine_ = nullptr;
};

// Framing alone over the same descriptors: what the routing and answering
// add to it.
double framingOnly(unsigned total, mix& m) {
    std::vector<unsigned char> all;
    for (unsigned i = 0; i < total; ++i) {
        test::bytes d = m.next();
        all.insert(all.end(), d.begin(), d.end());
    }
    framingState state;
    byteRun chunk;
    chunk.data = std::move(all);
    unsigned framed = 0;
    double begin = seconds();
    while (!chunk.Empty()) {
        frameVerdict v = FrameChunk(state, chunk, 20);
        if (v.what != frameVerdict::descriptor)
            break;
        chunk.start += v.size;
        ++framed;
    }
    double took = seconds() - begin;
    if (framed != total)
        std::printf("  (framing stopped after %u descriptors)\n", framed);
    return took;
}

}  // namespace

int main(int argc, char** argv) {
    unsigned total = argc > 1 ? static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)) : 1000000;
    unsigned files = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 100000;
    vesk::testing::tempDir folder;
    std::string share = folder.path() + "\\share";
    bench::makeFiles(share, files, 1000, bench::trackName);

    node n;
    if (!n.start(share)) {
        std::printf("the share could not be made\n");
        return 1;
    }
    mix m(files);
    unsigned long long sent = 0;
    double took = n.throughput(total, m, sent);
    std::printf("descriptors: %u mixed Pings and Queries from %u links in %.2f s: %.0f descriptors/s "
                "(%.1f MiB sent: pongs, hits, broadcasts)\n",
                total, linkCount, took, total / took, sent / 1048576.0);
    mix again(files);
    double framing = framingOnly(total, again);
    std::printf("  reference, framing the same bytes alone: %.0f descriptors/s\n", total / framing);

    std::vector<double> answers = n.answerTimes(1001, m, files);
    std::vector<double> searches = n.searchTimes(1001, files);
    std::printf("one Query naming one file, read, routed and answered: median %.3f ms (%zu answered)\n",
                median(answers), answers.size());
    std::printf("  reference, the share engine's search for its words alone: median %.3f ms\n",
                median(searches));

    std::printf("memory per connected link: %.0f bytes (1000 links; the fake link stands for the network "
                "module's, whose socket buffers are not counted)\n",
                n.bytesPerLink(1000));
    std::printf("  reference, the link record itself: %zu bytes\n", sizeof(CGnutellaHost));
    std::printf("memory per queued download: %.0f bytes (10000 results queued)\n", n.bytesPerQueuedDownload(10000));
    std::printf("  reference, the size estimate of one result agent: %u bytes\n", [] {
        parsedHit hit;
        hit.port = 6346;
        std::snprintf(hit.address, sizeof hit.address, "4.4.4.4");
        hitRecord record;
        record.name = bench::trackName(1);
        hit.records.push_back(record);
        Ivector* batch = BuildResultBatch(hit);
        unsigned size = 0;
        if (batch && batch->size())
            size = interfaceCast<ss::IAgent>(batch->at(0).asGeneric())->GetSize();
        if (batch)
            batch->release();
        return size;
    }());
    n.stop();
    return 0;
}
