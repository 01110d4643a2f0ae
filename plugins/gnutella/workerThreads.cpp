#include "plugins/gnutella/workerThreads.h"

#include <windows.h>

#include <mutex>
#include <vector>

#include "plugins/gnutella/gnutellaInternal.h"

namespace vesk::gnutella {

namespace {

std::mutex registryLock;
std::vector<Ithread*> registered;  // one reference held each

// Forgets the threads whose procedure has returned; called with the lock.
void pruneEnded(std::vector<Ithread*>& ended) {
    for (auto it = registered.begin(); it != registered.end();) {
        if ((*it)->isRunning()) {
            ++it;
            continue;
        }
        ended.push_back(*it);
        it = registered.erase(it);
    }
}

}  // namespace

Ithread* CreateModuleThread(const char* name, threadProc procedure, void* data) {
    return newThread(moduleFactory(), g_State.token, g_State.threadClass, name, data, procedure);
}

Ithread* StartWorkerThread(const char* name, threadProc procedure, void* data) {
    Ithread* thread = CreateModuleThread(name, procedure, data);
    if (!thread)
        return nullptr;
    if (!thread->start()) {
        thread->release();
        return nullptr;
    }
    std::vector<Ithread*> ended;
    {
        std::lock_guard<std::mutex> hold(registryLock);
        pruneEnded(ended);
        thread->addRef();  // the registry's
        registered.push_back(thread);
    }
    for (Ithread* t : ended)
        t->release();
    return thread;
}

void JoinWorkerThreads() {
    std::vector<Ithread*> all;
    {
        std::lock_guard<std::mutex> hold(registryLock);
        all.swap(registered);
    }
    for (Ithread* t : all)
        t->requestStop();
    for (Ithread* t : all) {
        // The threader's wait is bounded; this one is not.
        while (!t->stop() && t->isRunning()) {
        }
        t->release();
    }
}

namespace {

// The loop until the thread ends by itself (true) or is asked to stop.
bool runTurns(Ithread* thread, const workerLoop& loop) {
    while (thread->shouldRun()) {
        loop.turn();
        if (IsShuttingDown() && loop.ownList->IsEmpty()) {
            if (loop.beforeEarlyEnd)
                loop.beforeEarlyEnd();
            return true;
        }
        if (loop.lateTurn)
            loop.lateTurn();
        Sleep(1);
    }
    return false;
}

}  // namespace

int RunWorkerLoop(Ithread* thread, const workerLoop& loop) {
    if (!thread)
        return 0;
    thread->addRef();
    bool endedByItself = false;
    try {
        endedByItself = runTurns(thread, loop);
    } catch (...) {
        if (!loop.afterFailure) {
            thread->release();
            throw;
        }
        loop.afterFailure();
        thread->ended();
        thread->start();  // a new run of the same object
        thread->release();
        return -1;
    }
    if (!endedByItself && loop.afterStopRequest)
        loop.afterStopRequest();
    thread->ended();
    thread->release();
    return 0;
}

}  // namespace vesk::gnutella
