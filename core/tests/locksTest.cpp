#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "core/locks.h"

namespace vesk {
namespace {

template <class L>
Ilock* newLock() {
    Ilock* l = new capsule<L>();
    l->addRef();
    return l;
}

// Workers that take the lock in `mode` `rounds` times each and count the
// entries that found a conflicting holder inside. An exclusive entry must be
// alone: every mode of the primitive, spin and critical-section locks, and
// mode 1 of the reader-writer lock.
struct contention {
    std::atomic<int> exclusiveInside{0};
    std::atomic<int> sharedInside{0};
    std::atomic<int> violations{0};
    std::atomic<int> sharedOverlap{0};

    void run(Ilock* l, int mode, bool exclusive, int rounds) {
        for (int i = 0; i < rounds; ++i) {
            l->lock(mode);
            if (exclusive) {
                if (exclusiveInside.fetch_add(1) != 0 || sharedInside.load() != 0)
                    ++violations;
                Sleep(1);  // long enough for a broken lock to let another in
                exclusiveInside.fetch_sub(1);
            } else {
                if (sharedInside.fetch_add(1) > 0)
                    ++sharedOverlap;
                if (exclusiveInside.load() != 0)
                    ++violations;
                Sleep(1);
                sharedInside.fetch_sub(1);
            }
            l->unlock(mode);
        }
    }
};

template <class L>
void expectExclusion(int mode) {
    Ilock* l = newLock<L>();
    contention c;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] { c.run(l, mode, true, 50); });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(c.violations.load(), 0) << "mode " << mode;
    l->release();
}

TEST(Locks, EveryKindExcludesUnderContention) {
    for (int mode : {0, 1}) {  // the mode makes no difference to these three
        expectExclusion<primitiveLock>(mode);
        expectExclusion<spinLock>(mode);
        expectExclusion<criticalSectionLock>(mode);
    }
    expectExclusion<readerWriterLock>(1);
}

TEST(Locks, ReaderWriterLockMixesReadersAndWritersSafely) {
    Ilock* l = newLock<readerWriterLock>();
    contention c;
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t)
        threads.emplace_back([&] { c.run(l, 0, false, 100); });
    for (int t = 0; t < 2; ++t)
        threads.emplace_back([&] { c.run(l, 1, true, 100); });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(c.violations.load(), 0);
    EXPECT_GT(c.sharedOverlap.load(), 0);  // readers did share the lock
    l->release();
}

TEST(Locks, SpinLockTryLockFailsWhileHeldAndUnlockWithoutHoldIsRefused) {
    Ilock* l = newLock<spinLock>();
    EXPECT_FALSE(l->unlock(0));
    EXPECT_TRUE(l->lock(0));
    EXPECT_TRUE(l->isLocked(1));  // the mode makes no difference
    bool tried = true;
    std::thread([&] { tried = l->tryLock(0); }).join();
    EXPECT_FALSE(tried);
    EXPECT_TRUE(l->unlock(1));
    EXPECT_FALSE(l->isLocked(0));
    l->release();
}

TEST(Locks, PrimitiveLockUnlockWithoutHoldReturnsFalse) {
    Ilock* l = newLock<primitiveLock>();
    EXPECT_FALSE(l->unlock(0));
    EXPECT_TRUE(l->tryLock(0));
    EXPECT_FALSE(l->tryLock(0));
    EXPECT_TRUE(l->unlock(0));
    l->release();
}

TEST(Locks, CriticalSectionTryLockNeverWaits) {
    Ilock* l = newLock<criticalSectionLock>();
    std::atomic<bool> holding{false}, done{false};
    std::thread holder([&] {
        l->lock(0);
        holding = true;
        while (!done)
            Sleep(1);
        l->unlock(0);
    });
    while (!holding)
        Sleep(1);
    bool tried = true;
    std::thread([&] { tried = l->tryLock(0); }).join();  // returns at once, refused
    EXPECT_FALSE(tried);
    done = true;
    holder.join();
    EXPECT_TRUE(l->tryLock(0));
    EXPECT_TRUE(l->unlock(0));
    l->release();
}

TEST(Locks, CriticalSectionUnlockByANonHolderIsRefusedAndHarmless) {
    Ilock* l = newLock<criticalSectionLock>();
    EXPECT_FALSE(l->unlock(0)) << "nobody holds it";
    EXPECT_TRUE(l->lock(0));
    bool released = true, taken = true;
    std::thread([&] {
        released = l->unlock(0);
        taken = l->tryLock(0);
    }).join();
    EXPECT_FALSE(released) << "only the holder may leave";
    EXPECT_FALSE(taken) << "the hold survived the other thread's unlock";
    EXPECT_TRUE(l->lock(0));  // re-entrant for the holder
    EXPECT_TRUE(l->unlock(0));
    EXPECT_TRUE(l->unlock(0));
    std::thread([&] {
        taken = l->tryLock(0);
        if (taken)
            l->unlock(0);
    }).join();
    EXPECT_TRUE(taken) << "free again once the holder left as often as it entered";
    l->release();
}

TEST(Locks, ReaderWriterModes) {
    Ilock* l = newLock<readerWriterLock>();
    struct {
        int mode;
    } bad[] = {{2}, {-1}};
    for (auto& b : bad) {
        EXPECT_FALSE(l->lock(b.mode));
        EXPECT_FALSE(l->unlock(b.mode));
        EXPECT_FALSE(l->tryLock(b.mode));
        EXPECT_FALSE(l->isLocked(b.mode));
    }
    EXPECT_FALSE(l->unlock(0));
    EXPECT_FALSE(l->unlock(1));

    EXPECT_TRUE(l->lock(0));
    bool sharedTry = false, exclusiveTry = true;
    std::thread([&] {
        sharedTry = l->tryLock(0);      // another reader may join
        exclusiveTry = l->tryLock(1);   // a writer may not
        if (sharedTry)
            l->unlock(0);
    }).join();
    EXPECT_TRUE(sharedTry);
    EXPECT_FALSE(exclusiveTry);
    EXPECT_TRUE(l->isLocked(0));
    EXPECT_TRUE(l->unlock(0));
    EXPECT_FALSE(l->isLocked(0));

    EXPECT_TRUE(l->tryLock(1));
    std::thread([&] { sharedTry = l->tryLock(0); }).join();
    EXPECT_FALSE(sharedTry);
    EXPECT_TRUE(l->isLocked(1));
    EXPECT_TRUE(l->unlock(1));
    EXPECT_TRUE(l->tryLock(1));
    EXPECT_TRUE(l->unlock(1));
    l->release();
}

// Polls until done() holds, for at most about ten seconds.
template <class F>
bool within10s(F done) {
    for (int i = 0; i < 10000; ++i) {
        if (done())
            return true;
        Sleep(1);
    }
    return done();
}

// A reader that takes the lock again while a writer waits: the writer holds
// back new readers, so a nested hold taken as a new one would wait for the
// writer, which waits for the reader.
TEST(Locks, ReaderWriterSharedHoldNestsWhileAWriterWaits) {
    Ilock* l = newLock<readerWriterLock>();
    std::atomic<bool> holding{false}, writerWaits{false}, nestedTaken{false}, writerDone{false};
    std::thread reader([&] {
        l->lock(0);
        holding = true;
        while (!writerWaits)
            Sleep(1);
        bool tried = l->tryLock(0);
        l->lock(0);
        nestedTaken = tried;
        l->unlock(0);
        if (tried)
            l->unlock(0);
        l->unlock(0);
    });
    while (!holding)
        Sleep(1);
    std::thread writer([&] {
        l->lock(1);
        writerDone = true;
        l->unlock(1);
    });
    // The writer is waiting once another thread's new shared hold is refused.
    auto newReaderRefused = [&] {
        bool taken = true;
        std::thread([&] {
            taken = l->tryLock(0);
            if (taken)
                l->unlock(0);
        }).join();
        return !taken;
    };
    EXPECT_TRUE(within10s(newReaderRefused)) << "a waiting writer holds back new readers";
    writerWaits = true;

    bool nested = within10s([&] { return nestedTaken.load(); });
    EXPECT_TRUE(nested) << "the reader's nested holds deadlocked behind the waiting writer";
    if (!nested) {
        // Both threads wait for each other for good: leave them and the lock.
        reader.detach();
        writer.detach();
        return;
    }
    reader.join();
    writer.join();
    EXPECT_TRUE(writerDone) << "the writer gets the lock once the reader let go of every hold";
    EXPECT_FALSE(l->isLocked(1));
    l->release();
}

}  // namespace
}  // namespace vesk
