// Share engine figures, each beside its reference measured in the same run:
// the SHA-1 core against the system's sha1sum on the same data; the word
// search, a hostile query and look-ups made while searches run back to back,
// against the plain walk the engine first had (plugins/share2/tests/
// plainWalk.h); and the scan of one folder of many files against a listing
// that compares each entry with every one before it. Prints the figures;
// asserts nothing.
//   shareBench [files]     (default 100000)
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "bench/benchFiles.h"
#include "bench/stopwatch.h"
#include "core/capsule.h"
#include "core/constructs.h"
#include "core/factory.h"
#include "plugins/share2/sha1.h"
#include "plugins/share2/shareEngine.h"
#include "plugins/share2/tests/plainWalk.h"
#include "testing/testPaths.h"
#include "testing/wineHost.h"

using namespace vesk;
using namespace vesk::share2;
using vesk::share2::test::plainFileByHash;
using vesk::share2::test::plainFolderListing;
using vesk::share2::test::plainObjectById;
using vesk::share2::test::plainTotalSize;
using vesk::share2::test::plainWalkSearch;

namespace {

using bench::makeFiles;
using bench::seconds;
using bench::trackName;

struct timings {
    std::vector<double> ms;
    void add(double seconds) { ms.push_back(seconds * 1e3); }
    double median() {
        std::sort(ms.begin(), ms.end());
        return ms.empty() ? 0 : ms[ms.size() / 2];
    }
    double worst() { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
};

double ratio(double reference, double ours) { return ours > 0 ? reference / ours : 0; }

std::string toHex(const unsigned char* bytes, size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

std::string tempFolder() {
    char base[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, base);
    if (n == 0 || n >= MAX_PATH)
        return std::string();
    char name[64];
    std::snprintf(name, sizeof name, "shareBench-%lu", GetCurrentProcessId());
    std::string path = std::string(base) + name;
    return CreateDirectoryA(path.c_str(), nullptr) ? path : std::string();
}

// ---- SHA-1

std::string memoryDigest(const std::string& data, double& elapsed) {
    CSHA1 sha;
    double start = seconds();
    sha.update(data.data(), static_cast<unsigned>(data.size()));
    sha.final();
    elapsed = seconds() - start;
    unsigned char digest[digestSize];
    sha.copyDigest(reinterpret_cast<char*>(digest));
    return toHex(digest, sizeof digest);
}

// The shell times sha1sum itself and renames its result into place when
// done, since the bench cannot wait for a host program.
bool systemSha1sum(const std::string& dataFile, const std::string& folder, std::string& digest, double& elapsed) {
    std::string resultFile = folder + "\\sha1sum.txt";
    DeleteFileA(resultFile.c_str());
    std::string data = testing::hostPath(dataFile), result = testing::hostPath(resultFile);
    if (data.empty() || result.empty())
        return false;
    std::string command = "Z:\\bin\\sh -c \"a=$(date +%s%N); sha1sum '" + data + "' > '" + result +
                          ".part'; b=$(date +%s%N); echo $((b-a)) >> '" + result + ".part'; mv '" + result +
                          ".part' '" + result + "'\"";
    if (!testing::startHostProgram(command))
        return false;
    std::string text;
    for (int waited = 0; waited < 60000 && (text = testing::readFile(resultFile)).empty(); waited += 20)
        Sleep(20);
    if (text.size() < 40)
        return false;
    digest = text.substr(0, 40);
    size_t newline = text.find('\n');
    elapsed = newline == std::string::npos ? 0 : std::atof(text.c_str() + newline + 1) / 1e9;
    return true;
}

void benchHashing(const std::string& folder) {
    const size_t size = 64u << 20;
    const double mib = static_cast<double>(size >> 20);
    std::string data(size, '\0');
    unsigned x = 12345;
    for (char& c : data) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 16);
    }
    const int runs = 5;
    timings ours;
    std::string ourDigest;
    for (int run = 0; run < runs; ++run) {
        double elapsed = 0;
        ourDigest = memoryDigest(data, elapsed);
        ours.add(elapsed);
    }
    double ourSpeed = mib / (ours.median() / 1e3);
    std::printf("SHA-1 core on memory: %.0f MiB, median of %d runs %.1f ms = %.0f MiB/s\n", mib, runs, ours.median(),
                ourSpeed);

    std::string dataFile = folder + "\\sha1data.bin";
    if (!testing::writeFile(dataFile, data)) {
        std::printf("  sha1sum: data file could not be written\n");
        return;
    }
    timings theirs;
    bool agree = true;
    for (int run = 0; run < runs; ++run) {
        std::string digest;
        double elapsed = 0;
        if (!systemSha1sum(dataFile, folder, digest, elapsed) || elapsed <= 0)
            break;
        agree = agree && digest == ourDigest;
        theirs.add(elapsed);
    }
    if (theirs.ms.empty()) {
        std::printf("  sha1sum: not available here\n");
    } else {
        double theirSpeed = mib / (theirs.median() / 1e3);
        std::printf("  reference, sha1sum on the same data (disk cache, process start included): median of %zu runs "
                    "%.1f ms = %.0f MiB/s\n  core / sha1sum = %.2f (target at least 0.8); digests %s\n",
                    theirs.ms.size(), theirs.median(), theirSpeed, ourSpeed / theirSpeed, agree ? "agree" : "DIFFER");
    }

    // Reading a file goes at the pace of one 8000-byte chunk per pause.
    std::string paced = folder + "\\paced.bin";
    testing::writeFile(paced, data.substr(0, 4u << 20));
    CSHA1 sha;
    double start = seconds();
    sha.hashFile(paced.c_str());
    double fileTime = seconds() - start;
    std::printf("paced file hashing: 4 MiB in %.3f s = %.2f MiB/s (one 8000-byte chunk per 1 ms pause)\n", fileTime,
                4.0 / fileTime);
}

// ---- files

// Wine makes a file only after comparing its name with every name in the
// folder (names match ignoring case), so 100,000 files in one folder take
// it the better part of an hour; the host system makes them in seconds.
// False when not under Wine or the host could not make them.
bool makeFilesOnHost(const std::string& folder, unsigned count) {
    std::string marker = folder + ".made";
    std::string hostFolder = testing::hostPath(folder), hostMarker = testing::hostPath(marker);
    if (hostFolder.empty() || hostMarker.empty() || !CreateDirectoryA(folder.c_str(), nullptr))
        return false;
    double start = seconds();
    std::string script = "awk 'BEGIN { for (i = 0; i < " + std::to_string(count) +
                         "; i++) printf(\\\"artist%d - track %05d - song%d.mp3\\n\\\", i % 97, i, i % 13) }' | "
                         "(cd '" + hostFolder + "' && xargs -d '\\n' touch) && touch '" + hostMarker + "'";
    if (!testing::startHostProgram("Z:\\bin\\sh -c \"" + script + "\""))
        return false;
    while (GetFileAttributesA(marker.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (seconds() - start > 600)
            return false;
        Sleep(50);
    }
    std::printf("generated %u files in one folder in %.1f s (by the host system)\n", count, seconds() - start);
    return true;
}

struct engineHolder {
    engineHolder() : factory(new capsule_core<vesk::factory>()) {
        registerCoreClasses(factory);
        engine = new capsule_core<CShareEngine>(factory);
    }
    ~engineHolder() {
        engine->releaseCore();
        factory->releaseCore();
    }
    capsule_core<vesk::factory>* factory;
    capsule_core<CShareEngine>* engine;

    // Seconds the share's scan took.
    double share(const std::string& path) {
        shareSpec spec{};
        std::snprintf(spec.path, sizeof spec.path, "%s", path.c_str());
        spec.recursive = 1;
        double start = seconds();
        engine->addShare(&spec);
        return seconds() - start;
    }
};

// ---- searches

timings timeRuns(int runs, const std::function<void()>& run) {
    timings t;
    for (int i = 0; i < runs; ++i) {
        double start = seconds();
        run();
        t.add(seconds() - start);
    }
    return t;
}

void compareSearch(CShareEngine* engine, const std::string& label, const std::string& query, int plainRuns) {
    shareTree& tree = engine->tree();
    size_t found = 0, walked = 0;
    timings indexed = timeRuns(15, [&] {
        found = 0;
        tree.search(query.c_str(), [&](CShareFile*) { ++found; });
    });
    timings whole = timeRuns(15, [&] {
        if (Ivector* result = engine->search(query.c_str()))
            result->release();
    });
    timings plain = timeRuns(plainRuns, [&] { walked = plainWalkSearch(tree, query.c_str()).size(); });
    std::printf("search %s: %zu files (plain walk %zu%s)\n"
                "  indexed median %.2f ms, worst %.2f ms; plain walk median %.2f ms (%d runs); %.0fx faster\n"
                "  through the interface, result vector included: median %.2f ms\n",
                label.c_str(), found, walked, found == walked ? "" : ", DIFFERENT", indexed.median(), indexed.worst(),
                plain.median(), plainRuns, ratio(plain.median(), indexed.median()), whole.median());
}

void benchSearches(CShareEngine* engine) {
    double start = seconds();
    engine->tree().search("first", [](CShareFile*) {});
    std::printf("first search after the scan (builds the name index): %.1f ms\n", (seconds() - start) * 1e3);
    for (const char* query : {"mp3", "artist42", "track", "song7", "nothing-matches", "track 04242", "song7 artist3"})
        compareSearch(engine, std::string("\"") + query + "\"", query, 7);

    std::string repeated;
    for (int i = 0; i < 100; ++i)
        repeated += "mp3 ";
    compareSearch(engine, "hostile, \"mp3\" 100 times", repeated, 1);
    std::string distinct;
    for (int i = 0; distinct.size() < 4096; ++i)
        distinct += "w" + std::to_string(i) + " ";
    compareSearch(engine, "hostile, 4 KB of distinct words", distinct, 3);
}

// Two threads search back to back while this one looks up objects by id
// and by hash and the total size, in turn, one look-up per millisecond.
// The searchers give up at the deadline, so a look-up that never gets its
// turn ends there.
void lookupsDuringSearches(const char* label, const std::function<void()>& search,
                           const std::function<void(unsigned)>& lookup, double budgetSeconds) {
    std::atomic<bool> done{false};
    std::atomic<unsigned> searches{0};
    const double deadline = seconds() + budgetSeconds;
    auto searcher = [&] {
        while (!done && seconds() < deadline) {
            search();
            ++searches;
        }
    };
    std::thread first(searcher), second(searcher);
    while (searches.load() == 0 && seconds() < deadline)
        Sleep(1);
    timings latency;
    for (unsigned i = 0; i < 300 && seconds() < deadline; ++i) {
        double start = seconds();
        lookup(i);
        latency.add(seconds() - start);
        Sleep(1);
    }
    done = true;
    first.join();
    second.join();
    std::printf("  %s: %zu look-ups, median %.3f ms, worst %.1f ms; %u searches meanwhile\n", label,
                latency.ms.size(), latency.median(), latency.worst(), searches.load());
}

void benchLookups(CShareEngine* engine, const std::string& hash) {
    shareTree& tree = engine->tree();
    const unsigned count = engine->objectCount();
    auto idOf = [count](unsigned i) { return (i * 2654435761u) % count; };
    std::printf("look-ups while two threads search \"artist42\" back to back:\n");
    lookupsDuringSearches(
        "engine",
        [&] {
            if (Ivector* result = engine->search("artist42"))
                result->release();
        },
        [&](unsigned i) {
            if (i % 3 == 0)
                engine->objectById(idOf(i));
            else if (i % 3 == 1)
                engine->fileByHash(hash.c_str());
            else
                engine->totalSize();
        },
        20);
    lookupsDuringSearches(
        "plain walk and look-ups under its lock (searches stop after 20 s)",
        [&] { plainWalkSearch(tree, "artist42"); },
        [&](unsigned i) {
            if (i % 3 == 0)
                plainObjectById(tree, idOf(i));
            else if (i % 3 == 1)
                plainFileByHash(tree, hash.c_str());
            else
                plainTotalSize(tree);
        },
        20);
}

void benchTree(const std::string& folder, unsigned files) {
    std::string root = folder + "\\tree";
    makeFiles(root, files, 1000, trackName);
    engineHolder held;
    double scan = held.share(root);
    std::printf("first scan: %u objects in %.3f s\n", held.engine->objectCount(), scan);

    // Every file is empty: hashing a few gives a hash to look up.
    std::string hash;
    for (unsigned id = 0; id < held.engine->objectCount() && hash.empty(); ++id)
        if (IShareObj* o = held.engine->objectById(id); o && *o->getName()) {
            held.engine->tree().computeHash(static_cast<CShareFile*>(o));
            hash = o->getHash();
        }
    benchSearches(held.engine);
    benchLookups(held.engine, hash);
}

// ---- one large folder

void benchSingleFolder(const std::string& folder, unsigned files) {
    std::string single = folder + "\\single";
    if (!makeFilesOnHost(single, files))
        makeFiles(single, files, 0, trackName);
    engineHolder held;
    double first = held.share(single);
    double again = held.share(single);
    std::printf("one folder of %u files: first scan %.3f s, rescan %.3f s\n", files, first, again);
    for (unsigned limit : {10000u, 20000u, 40000u}) {
        if (limit > files)
            break;
        double start = seconds();
        plainFolderListing(single, limit);
        std::printf("  reference, listing its first %u files, each compared with every one before: %.3f s\n", limit,
                    seconds() - start);
    }
}

}  // namespace

int main(int argc, char** argv) {
    unsigned files = argc > 1 ? static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)) : 100000;
    std::string folder = tempFolder();
    if (folder.empty() || files == 0) {
        std::printf("no temporary folder, or no files\n");
        return 1;
    }
    benchHashing(folder);
    benchTree(folder, files);
    benchSingleFolder(folder, files);
    testing::removeTree(folder);
    return 0;
}
