// The engine's two threads, both named "Share Listner": the watcher, which
// reads the share list and rescans shares when the folders change, and the
// hasher, which hashes what the scans found.
#include <vector>

#include "core/module.h"
#include "plugins/share2/shareEngine.h"

namespace vesk::share2 {
namespace {

constexpr const char* threadName = "Share Listner";

// Notification handles of the watched folders. Slot 0 of handles is the
// engine's stop event (not owned); each later slot belongs to a folder:
// the share list's (share null) or a share.
class waitList {
public:
    explicit waitList(HANDLE stopEvent) { handles_.push_back(stopEvent); shares_.push_back(nullptr); }
    ~waitList() { close(); }
    waitList(const waitList&) = delete;
    waitList& operator=(const waitList&) = delete;

    bool full() const { return handles_.size() >= MAXIMUM_WAIT_OBJECTS; }
    // A folder that cannot be watched is left out.
    void watch(const std::string& folder, bool subtree, DWORD filter, CShareDirectory* share) {
        if (full())
            return;
        HANDLE h = FindFirstChangeNotificationA(folder.c_str(), subtree ? TRUE : FALSE, filter);
        if (h == INVALID_HANDLE_VALUE)
            return;
        handles_.push_back(h);
        shares_.push_back(share);
    }
    void close() {
        for (size_t i = 1; i < handles_.size(); ++i)
            FindCloseChangeNotification(handles_[i]);
        handles_.resize(1);
        shares_.resize(1);
    }
    DWORD wait() { return WaitForMultipleObjects(static_cast<DWORD>(handles_.size()), handles_.data(), FALSE, INFINITE); }
    size_t size() const { return handles_.size(); }
    HANDLE handle(size_t i) const { return handles_[i]; }
    CShareDirectory* share(size_t i) const { return shares_[i]; }

private:
    std::vector<HANDLE> handles_;
    std::vector<CShareDirectory*> shares_;
};

}  // namespace

bool CShareEngine::startWatcher() {
    lockGuard hold(&threadsLock_);
    if (watcher_)
        return true;
    if (stopping() || !stopEvent_)
        return false;  // the watcher's wait list starts with the stop event
    watcher_ = startThread(factory_, owner_, threadName, this, &shareWatchThread);
    return watcher_ != nullptr;
}

void CShareEngine::requestHash() {
    lockGuard hold(&threadsLock_);
    if (stopping())
        return;
    rehashPending_ = true;
    if (hasherRunning_)
        return;
    if (hasher_) {
        // A finished run: its procedure has left the engine, only the
        // thread's own exit is left to wait for.
        hasher_->stop();
        hasher_->release();
    }
    hasher_ = startThread(factory_, owner_, threadName, this, &shareHashThread);
    hasherRunning_ = hasher_ != nullptr;
}

// The watcher may be inside SendMessage to a window of the waiting thread:
// a wait takes such messages, or both would wait for the bound.
void CShareEngine::waitWhile(const std::function<bool()>& busy) {
    DWORD start = GetTickCount();
    while (busy() && GetTickCount() - start < timing_.stopBoundMs) {
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
        Sleep(1);
    }
}

void CShareEngine::waitForEnd(Ithread* thread, DWORD ownThreadId) {
    if (GetCurrentThreadId() == ownThreadId)
        return;
    waitWhile([thread] { return thread->isRunning(); });
    // The procedure has returned, but the thread may still be giving back
    // the threader's reference: join it, so nothing of it outlives the stop.
    if (!thread->isRunning())
        thread->stop();
}

void CShareEngine::stopThreads() {
    tree_.stopFlag().store(1);
    if (stopEvent_)
        SetEvent(stopEvent_);
    Ithread* watcher = nullptr;
    {
        lockGuard hold(&threadsLock_);
        std::swap(watcher, watcher_);
    }
    if (watcher) {
        waitForEnd(watcher, watcherThreadId_.load());
        watcher->release();
    }
    // Taken after the watcher ended: it can start no hasher now.
    Ithread* hasher = nullptr;
    {
        lockGuard hold(&threadsLock_);
        std::swap(hasher, hasher_);
    }
    if (hasher) {
        waitForEnd(hasher, hasherThreadId_.load());
        hasher->release();
    }
}

int CShareEngine::shareHashThread(Ithread* thread) {
    if (auto* engine = static_cast<CShareEngine*>(thread->getParameter()))
        engine->hashLoop(thread);
    thread->ended();
    return 0;
}

void CShareEngine::hashLoop(Ithread* thread) {
    hasherThreadId_.store(GetCurrentThreadId());
    for (;;) {
        {
            // Cleared under the same lock that requestHash tests it with, so
            // a request made while this run ends starts a new run.
            lockGuard hold(&threadsLock_);
            if (!rehashPending_ || stopping() || !thread->shouldRun()) {
                hasherRunning_ = false;
                return;
            }
            rehashPending_ = false;
        }
        std::vector<CShareDirectory*> shares;
        {
            lockGuard hold(tree_.lock());
            shares = tree_.shares();
        }
        for (CShareDirectory* share : shares) {
            if (stopping())
                break;
            tree_.hashAll(share);
        }
    }
}

int CShareEngine::shareWatchThread(Ithread* thread) {
    if (auto* engine = static_cast<CShareEngine*>(thread->getParameter()))
        engine->watchLoop(thread);
    thread->ended();
    return 0;
}

void CShareEngine::watchLoop(Ithread* thread) {
    watcherThreadId_.store(GetCurrentThreadId());
    const std::string& folder = startFolder();
    reloadConfig(nullptr);
    DWORD lastRescan = timing_.now();

    waitList list(stopEvent_);
    auto build = [&] {
        list.close();
        if (!defaultShareList().empty())  // the folder is watched for the list alone
            list.watch(folder, false, FILE_NOTIFY_CHANGE_LAST_WRITE, nullptr);
        lockGuard hold(tree_.lock());
        for (CShareDirectory* share : tree_.shares())
            list.watch(share->fullPath(), share->recursive(),
                       FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME, share);
    };
    // A change made to the share list before its watch was armed sends no
    // notification: read the list again after every arming.
    auto rebuild = [&] {
        sharesAdded_ = false;
        build();
        while (reloadConfig(nullptr) != 0)
            build();
    };
    rebuild();
    requestHash();  // after the arming: whoever waits for a hash sees watched folders

    while (thread->shouldRun() && !stopping()) {
        Sleep(1);
        DWORD woke = list.wait();
        // Paused: the notification stays signalled and is handled once the
        // engine is enabled again.
        if (stopping() || !enabled_.load() || !thread->shouldRun())
            continue;
        if (woke < WAIT_OBJECT_0 + 1 || woke >= WAIT_OBJECT_0 + list.size()) {
            if (woke == WAIT_FAILED)
                Sleep(100);
            continue;
        }
        size_t slot = woke - WAIT_OBJECT_0;
        CShareDirectory* share = list.share(slot);
        if (!share) {
            // Another thread may have read the changed list first: the
            // shares it added still need their watches and their hashes.
            bool reread = reloadConfig(nullptr) != 0;
            bool added = sharesAdded_.exchange(false);
            if (!FindNextChangeNotification(list.handle(slot)) || !(reread || added))
                continue;
            rebuild();
            requestHash();
            continue;
        }
        DWORD now = timing_.now();
        if (now - lastRescan > timing_.rescanIntervalMs) {
            lockGuard hold(tree_.lock());
            tree_.scan(share, share->recursive());
            lastRescan = timing_.now();
        }
        // A folder that can no longer be watched would keep waking the
        // loop: building the list again leaves it out.
        if (!FindNextChangeNotification(list.handle(slot)))
            rebuild();
    }
}

}  // namespace vesk::share2
