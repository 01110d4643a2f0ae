// The engine with its threads: the share list in the current directory,
// message 1913, pausing and stopping, the rescan throttle, and look-ups from
// several threads while the tree changes.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "plugins/share2/shareEngine.h"
#include "plugins/share2/tests/shareTestSupport.h"
#include "plugins/share2/tests/testThreads.h"
#include "testing/testPaths.h"

namespace vesk::share2::test {
namespace {

std::atomic<DWORD> g_clock{1000};

// Runs the calling thread's messages until done() or the time is up.
bool pumpUntil(const std::function<bool()>& done, DWORD limitMs = 15000) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        if (done())
            return true;
        if (GetTickCount() - start > limitMs)
            return false;
        Sleep(5);
    }
}
void pumpFor(DWORD ms) { pumpUntil([] { return false; }, ms); }

// A message-only window of the test thread that counts message 1913 and
// records what a callback saw at the first one.
struct listenerWindow {
    static inline std::atomic<int> messages{0};
    static inline std::function<void()> onFirst;

    static LRESULT CALLBACK procedure(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        if (m == shareListChangedMessage) {
            if (messages++ == 0 && onFirst)
                onFirst();
            return 0;
        }
        return DefWindowProcA(w, m, wp, lp);
    }
    listenerWindow() {
        messages = 0;
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &procedure;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "share2TestListener";
        RegisterClassA(&wc);  // a second registration fails harmlessly
        handle = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }
    ~listenerWindow() {
        DestroyWindow(handle);
        onFirst = nullptr;
    }
    HWND handle;
};

class ShareEngine : public ::testing::Test {
protected:
    void SetUp() override {
        char previous[MAX_PATH];
        ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, previous), 0u);
        previousFolder_ = previous;
        ASSERT_TRUE(SetCurrentDirectoryA(dir_.path().c_str()));
        factory_ = newCoreFactory();
        ASSERT_TRUE(registerTestThreads(factory_));
        g_clock = 1000;
        engineTiming timing;
        timing.now = [] { return g_clock.load(); };
        engine_ = new capsule_core<CShareEngine>(factory_, timing);
        music_ = makeShareFolder("Music");
        docs_ = makeShareFolder("Docs");
    }
    void TearDown() override {
        engine_->releaseCore();  // stops whatever still runs
        EXPECT_EQ(runningTestThreads(), 0u);
        EXPECT_EQ(liveTestThreads(), 0u);
        setTestThreadLinger(0);
        endFactory(factory_);
        SetCurrentDirectoryA(previousFolder_.c_str());
    }

    std::string makeShareFolder(const char* name) {
        std::string path = dir_.path() + "\\" + name;
        EXPECT_TRUE(makeFolder(path));
        return path;
    }
    // The share list in one write: sections Share0.. with the given paths.
    void writeShareList(const std::vector<std::pair<std::string, std::string>>& shares) {
        std::string text = "[DIR]\r\nDOWNLOAD=C:\\\r\n";
        for (size_t n = 0; n < shares.size(); ++n)
            text += "[Share" + std::to_string(n) + "]\r\nPath=" + shares[n].first + "\r\nRecursive=" +
                    shares[n].second + "\r\n";
        ASSERT_TRUE(makeFile(dir_.file("pelloran.ini"), text));
    }
    bool hashed(const std::string& contents) {
        return engine_->fileByHash(referenceHashText(contents).c_str()) != nullptr;
    }
    unsigned matches(const char* query) {
        Ivector* result = engine_->search(query);
        unsigned n = result ? result->size() : 0;
        if (result)
            result->release();
        return n;
    }
    // Starts the watcher on the given share list and waits for its first
    // scan and hash run (each share holds a file with its own contents).
    void startWith(const std::vector<std::pair<std::string, std::string>>& shares) {
        for (const auto& s : shares)
            ASSERT_TRUE(makeFile(s.first + "\\first.mp3", "first in " + s.first));
        writeShareList(shares);
        ASSERT_TRUE(engine_->startWatcher());
        for (const auto& s : shares)
            ASSERT_TRUE(pumpUntil([&] { return hashed("first in " + s.first); })) << s.first;
    }

    vesk::testing::tempDir dir_;
    std::string previousFolder_, music_, docs_;
    Ifactory* factory_ = nullptr;
    CShareEngine* engine_ = nullptr;
};

TEST_F(ShareEngine, StartReadsTheShareListScansAndHashes) {
    ASSERT_TRUE(makeFolder(music_ + "\\Sub"));
    ASSERT_TRUE(makeFile(music_ + "\\Sub\\deep.mp3", std::string(20000, 'd')));
    startWith({{music_, "1"}, {docs_, "yes"}});
    EXPECT_TRUE(pumpUntil([&] { return hashed(std::string(20000, 'd')); }));
    IShareObj* deep = engine_->fileByHash(referenceHashText(std::string(20000, 'd')).c_str());
    ASSERT_NE(deep, nullptr);
    EXPECT_STREQ(deep->getName(), "deep.mp3");
    EXPECT_EQ(engine_->isRecursive(music_.c_str()), 1);
    EXPECT_EQ(engine_->isShared(docs_.c_str()), 1);
    EXPECT_EQ(engine_->isRecursive(docs_.c_str()), 0);  // "yes" is not true

    EXPECT_EQ(engine_->setState(-1), -1);
    EXPECT_EQ(runningTestThreads(), 0u);  // both threads ended within the stop
    EXPECT_EQ(liveTestThreads(), 0u);     // and the engine let go of them
}

TEST_F(ShareEngine, ChangedShareListIsAnnouncedBeforeItIsRead) {
    startWith({{music_, "1"}});
    listenerWindow window;
    ASSERT_NE(window.handle, nullptr);
    EXPECT_EQ(engine_->addWindow(window.handle), 0);
    engine_->setState(1);

    int docsSharedAtMessage = -1;
    listenerWindow::onFirst = [&] { docsSharedAtMessage = engine_->isShared(docs_.c_str()); };
    ASSERT_TRUE(makeFile(docs_ + "\\first.mp3", "first in docs"));
    writeShareList({{music_, "1"}, {docs_, "True"}});
    ASSERT_TRUE(pumpUntil([&] { return engine_->isRecursive(docs_.c_str()) == 1; }));
    EXPECT_GE(listenerWindow::messages.load(), 1);
    EXPECT_EQ(docsSharedAtMessage, 0);
    EXPECT_TRUE(pumpUntil([&] { return hashed("first in docs"); }));  // the hasher ran again

    // Another file of the current directory changes nothing.
    int seen = listenerWindow::messages.load();
    ASSERT_TRUE(makeFile(dir_.file("other.txt"), "x"));
    pumpFor(500);
    EXPECT_EQ(listenerWindow::messages.load(), seen);
}

// A window that has gone (the shares page at its destruction) leaves the
// engine: its handle may be given to another window.
TEST_F(ShareEngine, ARemovedWindowIsToldNothingMore) {
    startWith({{music_, "1"}});
    listenerWindow window;
    ASSERT_NE(window.handle, nullptr);
    engine_->addWindow(window.handle);
    engine_->addWindow(window.handle);  // opened twice
    engine_->setState(1);
    EXPECT_EQ(engine_->removeWindow(window.handle), 1);
    EXPECT_EQ(engine_->removeWindow(window.handle), 0) << "every registration went at once";

    ASSERT_TRUE(makeFile(docs_ + "\\first.mp3", "first in docs"));
    writeShareList({{music_, "1"}, {docs_, "1"}});
    ASSERT_TRUE(pumpUntil([&] { return engine_->isShared(docs_.c_str()) == 1; }));
    pumpFor(200);
    EXPECT_EQ(listenerWindow::messages.load(), 0);
}

// The watcher has read the change and announces it; a reload asked for
// meanwhile from another thread finds the list unchanged, and must return
// only once the watcher has applied it.
TEST_F(ShareEngine, ReloadFindingTheChangeTakenWaitsUntilItIsApplied) {
    startWith({{music_, "1"}});
    listenerWindow window;
    ASSERT_NE(window.handle, nullptr);
    engine_->addWindow(window.handle);
    engine_->setState(1);

    std::atomic<int> docsSharedAfterReload{-1};
    std::thread reloader;
    listenerWindow::onFirst = [&] {
        reloader = std::thread([&] {
            engine_->reloadConfig(nullptr);  // 0, or 1 after a half-written list was announced
            docsSharedAfterReload = engine_->isShared(docs_.c_str());
        });
        // Holds the watcher inside its announcement for a while, so the
        // reload surely comes before the change is applied.
        pumpUntil([&] { return docsSharedAfterReload.load() != -1; }, 1500);
    };
    ASSERT_TRUE(makeFile(docs_ + "\\first.mp3", "first in docs"));
    writeShareList({{music_, "1"}, {docs_, "1"}});
    ASSERT_TRUE(pumpUntil([&] { return reloader.joinable(); }));
    reloader.join();
    EXPECT_EQ(docsSharedAfterReload.load(), 1);
}

TEST_F(ShareEngine, PausedEngineActsOnTheChangeOnlyOnceEnabled) {
    startWith({{music_, "1"}});
    engine_->setState(1);
    engine_->setState(0);
    writeShareList({{music_, "1"}, {docs_, "0"}});
    pumpFor(700);
    EXPECT_EQ(engine_->isShared(docs_.c_str()), 0);
    EXPECT_EQ(engine_->setState(1), 1);
    EXPECT_TRUE(pumpUntil([&] { return engine_->isShared(docs_.c_str()) == 1; }));
}

// The client reads its own share list once it has written it; the watcher
// then finds nothing new in the list, yet the share it added must still be
// watched and hashed.
TEST_F(ShareEngine, AShareAddedByAReloadOnAnotherThreadIsStillHashed) {
    startWith({{music_, "1"}});
    engine_->setState(0);  // the watcher leaves the change until enabled
    ASSERT_TRUE(makeFile(docs_ + "\\first.mp3", "first in docs"));
    writeShareList({{music_, "1"}, {docs_, "1"}});
    EXPECT_EQ(engine_->reloadConfig(nullptr), 1);
    EXPECT_EQ(engine_->isShared(docs_.c_str()), 1);
    engine_->setState(1);
    EXPECT_TRUE(pumpUntil([&] { return hashed("first in docs"); }));
}

// A file dialog changes the current directory; the share list stays the
// one in the folder that was current when the engine was made.
TEST_F(ShareEngine, ShareListStaysWhereItWasAtStart) {
    startWith({{music_, "1"}});
    engine_->setState(1);
    ASSERT_TRUE(SetCurrentDirectoryA(docs_.c_str()));  // no share list there
    EXPECT_EQ(engine_->reloadConfig(nullptr), 0);
    EXPECT_TRUE(hashed("first in " + music_));

    ASSERT_TRUE(makeFile(docs_ + "\\first.mp3", "first in docs"));
    writeShareList({{music_, "1"}, {docs_, "0"}});
    EXPECT_TRUE(pumpUntil([&] { return hashed("first in docs"); }));
    EXPECT_TRUE(hashed("first in " + music_));
}

// Reads or sets a file's last-write time; false when the file would not open.
bool fileTime(const std::string& path, FILETIME& time, bool set) {
    HANDLE file = CreateFileA(path.c_str(), set ? FILE_WRITE_ATTRIBUTES : FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BOOL done = set ? SetFileTime(file, nullptr, nullptr, &time) : GetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
    return done != FALSE;
}

// A writer that ends within the file-time tick of a half-written list the
// watcher read leaves the list's time as it was: its bytes still count.
TEST_F(ShareEngine, ListRewrittenUnderTheSameFileTimeIsReadAgain) {
    startWith({{music_, "1"}});
    engine_->setState(1);
    engine_->setState(0);
    FILETIME before{};
    ASSERT_TRUE(fileTime(dir_.file("pelloran.ini"), before, false));
    writeShareList({{music_, "1"}, {docs_, "0"}});
    ASSERT_TRUE(fileTime(dir_.file("pelloran.ini"), before, true));
    EXPECT_EQ(engine_->setState(1), 1);
    EXPECT_TRUE(pumpUntil([&] { return engine_->isShared(docs_.c_str()) == 1; }));
}

TEST_F(ShareEngine, SectionTakenOffTheListUnsharesItsFolder) {
    startWith({{music_, "1"}, {docs_, "1"}});
    engine_->setState(1);
    unsigned docsId = engine_->fileByHash(referenceHashText("first in " + docs_).c_str())->getId() - 1;
    ASSERT_NE(engine_->objectById(docsId), nullptr);
    EXPECT_EQ(matches("first"), 2u);

    // The watcher may read the list half written and act on that first:
    // wait for the state the whole list gives.
    writeShareList({{music_, "1"}});
    ASSERT_TRUE(pumpUntil([&] { return engine_->objectById(docsId) == nullptr && matches("first") == 1; }));
    EXPECT_EQ(engine_->isShared(docs_.c_str()), 1);  // known, inactive
    EXPECT_FALSE(hashed("first in " + docs_));
    EXPECT_TRUE(hashed("first in " + music_));
}

TEST_F(ShareEngine, ShareChangesAreThrottled) {
    startWith({{music_, "0"}});
    engine_->setState(1);
    g_clock += 300001;
    ASSERT_TRUE(makeFile(music_ + "\\one.mp3", "1"));
    ASSERT_TRUE(pumpUntil([&] { return matches("one.mp3") == 1; }));

    g_clock += 10000;  // too soon after that rescan
    ASSERT_TRUE(makeFile(music_ + "\\two.mp3", "2"));
    pumpFor(1000);
    EXPECT_EQ(matches("two.mp3"), 0u);

    g_clock += 300001;
    ASSERT_TRUE(makeFile(music_ + "\\three.mp3", "3"));
    EXPECT_TRUE(pumpUntil([&] { return matches("three.mp3") == 1; }));
}

TEST_F(ShareEngine, StopEndsThreadsEvenWithNothingToWakeThem) {
    startWith({{music_, "1"}});
    engine_->setState(1);
    engine_->setState(-1);
    EXPECT_EQ(runningTestThreads(), 0u);
    EXPECT_EQ(engine_->setState(1), 1);  // stopped for good: nothing restarts
    writeShareList({{music_, "1"}, {docs_, "1"}});
    pumpFor(300);
    EXPECT_EQ(engine_->isShared(docs_.c_str()), 0);
    EXPECT_FALSE(engine_->startWatcher());
}

// A thread whose procedure has returned may still hold the threader's
// reference for a while: a stop waits for that too.
TEST_F(ShareEngine, StopJoinsThreadsStillLettingGo) {
    setTestThreadLinger(300);
    startWith({{music_, "1"}});
    engine_->setState(-1);
    EXPECT_EQ(runningTestThreads(), 0u);
    EXPECT_EQ(liveTestThreads(), 0u);
}

// More folders than one wait can take, and one that cannot be watched: the
// share list is still watched.
TEST_F(ShareEngine, ManySharesAndAMissingOneLeaveTheShareListWatched) {
    std::vector<std::pair<std::string, std::string>> shares;
    for (int i = 0; i < 70; ++i)
        shares.push_back({makeShareFolder(("many" + std::to_string(i)).c_str()), "0"});
    ASSERT_TRUE(makeFile(shares[0].first + "\\first.mp3", "first"));
    shares.push_back({dir_.file("missing"), "1"});
    writeShareList(shares);
    ASSERT_TRUE(engine_->startWatcher());
    ASSERT_TRUE(pumpUntil([&] { return hashed("first"); }));
    EXPECT_EQ(engine_->isShared(dir_.file("missing").c_str()), 1);
    engine_->setState(1);

    shares.push_back({music_, "1"});
    writeShareList(shares);
    EXPECT_TRUE(pumpUntil([&] { return engine_->isShared(music_.c_str()) == 1; }));
}

// Searches and look-ups from several threads while files are added,
// rescanned and hashed. Bounded by the number of files.
TEST_F(ShareEngine, LookupsFromSeveralThreadsWhileTheTreeGrows) {
    constexpr int batches = 12, perBatch = 25;
    shareSpec spec{};
    std::strcpy(spec.path, music_.c_str());
    spec.recursive = 1;
    ASSERT_EQ(engine_->addShare(&spec), 1);

    std::atomic<bool> done{false};
    std::atomic<int> faults{0}, reads{0};
    std::vector<std::string> hashes(batches * perBatch);
    for (int i = 0; i < batches * perBatch; ++i)
        hashes[i] = referenceHashText("file " + std::to_string(i));

    auto reader = [&](int seed) {
        while (!done) {
            if (Ivector* result = engine_->search("track mp3")) {
                for (unsigned i = 0; i < result->size(); ++i) {
                    auto* o = addressFrom<IShareObj*>(result->at(i));
                    if (!std::strstr(o->getName(), "track"))
                        ++faults;
                }
                result->release();
            }
            for (unsigned id = 0; id < engine_->objectCount(); ++id)
                if (IShareObj* o = engine_->objectById(id)) {
                    char path[pathBufferSize] = {};
                    o->getPath(path);
                    if (o->getId() != id || std::strncmp(path, spec.path, std::strlen(spec.path)) != 0)
                        ++faults;
                    o->getSize();
                }
            const std::string& h = hashes[(seed * 7 + reads) % hashes.size()];
            if (IShareObj* f = engine_->fileByHash(h.c_str()); f && h != f->getHash())
                ++faults;
            engine_->totalSize();
            ++reads;
        }
    };
    std::vector<std::thread> readers;
    for (int r = 0; r < 3; ++r)
        readers.emplace_back(reader, r);

    for (int b = 0; b < batches; ++b) {
        std::string folder = music_ + "\\batch" + std::to_string(b);
        ASSERT_TRUE(makeFolder(folder));
        for (int i = b * perBatch; i < (b + 1) * perBatch; ++i)
            ASSERT_TRUE(makeFile(folder + "\\track" + std::to_string(i) + ".mp3", "file " + std::to_string(i)));
        int readsBefore = reads.load();
        engine_->addShare(&spec);
        engine_->tree().hashAll(engine_->tree().shares().front());
        // However late the readers get to run, every batch meets reads.
        EXPECT_TRUE(pumpUntil([&] { return reads.load() > readsBefore; })) << "batch " << b;
    }
    done = true;
    for (std::thread& t : readers)
        t.join();

    EXPECT_EQ(faults.load(), 0);
    EXPECT_EQ(matches("track mp3"), unsigned(batches * perBatch));
    for (const std::string& h : hashes)
        EXPECT_NE(engine_->fileByHash(h.c_str()), nullptr);
}

}  // namespace
}  // namespace vesk::share2::test
