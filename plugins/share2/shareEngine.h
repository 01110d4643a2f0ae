// The share engine service: the share list file, the shares, the windows
// told of changes, and the two "Share Listner" threads (watcher, hasher).
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "core/capsule.h"
#include "core/locks.h"
#include "plugins/share2/shareTree.h"
#include "vesk/directory.h"
#include "vesk/factory.h"
#include "vesk/host.h"
#include "vesk/share2.h"
#include "vesk/threading.h"

namespace vesk::share2 {

// Time limits, replaceable by tests.
struct engineTiming {
    // A change in a share is acted on only this long after the last rescan.
    DWORD rescanIntervalMs = 300000;
    // How long a stop waits for each engine thread to end.
    DWORD stopBoundMs = 10000;
    std::function<DWORD()> now = [] { return GetTickCount(); };
};

class CShareEngine : public objectBase, public IShareEngine, public IcoreObject {
public:
    // factory: for result vectors and threads; not owned (a core object).
    explicit CShareEngine(Ifactory* factory, engineTiming timing = engineTiming());
    virtual ~CShareEngine();

    int reloadConfig(const char* path) override;
    int reserved1() override { return 0; }
    Ivector* search(const char* query) override;
    IShareObj* objectById(unsigned id) override { return tree_.objectById(id); }
    IShareObj* fileByHash(const char* text) override { return tree_.fileByHash(text); }
    unsigned objectCount() override { return tree_.objectCount(); }
    unsigned totalSize() override { return tree_.totalSize(); }
    int addWindow(HWND window) override;
    int addShare(shareSpec* spec) override;
    int isShared(const char* path) override;
    int isRecursive(const char* path) override;
    int setState(int state) override;
    int removeWindow(HWND window) override;

    // The entity passed with every factory call; one reference held.
    void setOwner(IentityToken* owner);
    // Where the engine writes what it leaves out; not owned, may be null.
    void setLog(Itarget* log);
    // The current directory when the engine was made, and the share list
    // in it, which reloadConfig reads when given no path.
    const std::string& startFolder() const { return startFolder_; }
    const std::string& defaultShareList() const { return defaultShareList_; }
    // Starts the watcher, which reads the share list, scans, starts the
    // hasher and then watches. False when no thread could be made.
    bool startWatcher();
    // Sets the stop flag and waits (bounded) for both threads to end.
    void stopThreads();

    shareTree& tree() { return tree_; }

private:
    static int shareWatchThread(Ithread* thread);
    static int shareHashThread(Ithread* thread);

    // Records the file's time and bytes; false when neither has changed.
    // True counts a reading being applied until reloadConfig ends it.
    bool shareListChanged(const std::string& file);
    void waitForReloadsApplied();
    // Waits, bounded, while busy() holds, taking messages sent to this thread.
    void waitWhile(const std::function<bool()>& busy);
    void notifyWindows();
    bool registered(HWND window);
    void deactivateUnlisted(const std::vector<std::string>& seen);
    // Asks for a hash run; starts the hasher when none is running. A request
    // that comes while the hasher is finishing makes it run again.
    void requestHash();
    void hashLoop(Ithread* thread);
    void watchLoop(Ithread* thread);
    bool stopping() { return tree_.stopFlag().load() != 0; }
    void waitForEnd(Ithread* thread, DWORD ownThreadId);

    shareTree tree_;
    Ifactory* factory_;        // not owned
    IentityToken* owner_ = nullptr;  // one reference held
    engineTiming timing_;
    const std::string startFolder_;       // empty when unreadable
    const std::string defaultShareList_;  // empty when there is no usable path

    capsule<criticalSectionLock> windowsLock_;
    std::vector<HWND> windows_;

    capsule<criticalSectionLock> configLock_;  // the two fields below; never held across a message
    std::string shareListPath_;
    unsigned long long lastWrite_ = 0;  // share list file time as last seen
    std::string lastBytes_;             // and its bytes, up to shareListReadLimit
    int reloadsApplying_ = 0;           // readings begun and not yet applied
    std::atomic<int> enabled_{0};
    HANDLE stopEvent_;  // manual reset; set once by a stop

    capsule<criticalSectionLock> threadsLock_;  // the thread fields below
    Ithread* watcher_ = nullptr;   // one reference held
    Ithread* hasher_ = nullptr;    // one reference held
    bool hasherRunning_ = false;
    bool rehashPending_ = false;
    std::atomic<DWORD> watcherThreadId_{0};
    std::atomic<DWORD> hasherThreadId_{0};
    // A share was added since the watcher armed its watches: the next wake
    // arms them again, even when the share list itself was read already.
    std::atomic<bool> sharesAdded_{false};
};

}  // namespace vesk::share2
