// Reference counting and the monitor: destruction happens once, wait gives up and restores every hold,
// and a notify nobody waits for is lost.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "lang/Object.h"
#include "lang/Ref.h"
#include "lang/String.h"

namespace {

using namespace std::chrono_literals;

struct Counted : lang::Object {
    explicit Counted(std::atomic<int>* destroyed) : destroyed_(destroyed) {}
    ~Counted() override { destroyed_->fetch_add(1); }
    std::atomic<int>* destroyed_;
};

TEST(ObjectTest, ReferenceCountDestroysExactlyOnce) {
    std::atomic<int> destroyed{0};
    auto* object = new Counted(&destroyed);
    EXPECT_EQ(object->referenceCount(), 1);
    object->addRef();
    object->release();
    EXPECT_EQ(destroyed.load(), 0);
    object->release();
    EXPECT_EQ(destroyed.load(), 1);
}

TEST(ObjectTest, ReleasesFromManyThreadsDestroyOnce) {
    for (int round = 0; round < 20; ++round) {
        std::atomic<int> destroyed{0};
        auto* object = new Counted(&destroyed);
        constexpr int kThreads = 8;
        constexpr int kPerThread = 500;
        for (int i = 0; i < kThreads * kPerThread; ++i) object->addRef();
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([object] {
                for (int i = 0; i < kPerThread; ++i) object->release();
            });
        }
        for (auto& t : threads) t.join();
        EXPECT_EQ(destroyed.load(), 0);
        object->release();
        EXPECT_EQ(destroyed.load(), 1);
    }
}

TEST(ObjectTest, RefHandleNeverLeaksOrReleasesTwice) {
    std::atomic<int> destroyed{0};
    {
        auto a = lang::adopt(new Counted(&destroyed));
        lang::Ref<Counted> b = a;
        lang::Ref<lang::Object> c = std::move(b);
        EXPECT_EQ(a->referenceCount(), 2);
        EXPECT_FALSE(b);
        c = nullptr;
        EXPECT_EQ(a->referenceCount(), 1);
        auto shared = lang::share(a.get());
        EXPECT_EQ(a->referenceCount(), 2);
    }
    EXPECT_EQ(destroyed.load(), 1);
}

TEST(ObjectTest, WaitGivesUpEveryHoldAndTakesThemBack) {
    lang::Object monitor;
    std::atomic<bool> otherGotLock{false};
    monitor.lock();
    monitor.lock();
    EXPECT_EQ(monitor.lockDepth(), 2);
    std::thread other([&] {
        // Can only get in while the waiter has given up both holds.
        lang::Synchronized guard(&monitor, true);
        otherGotLock = true;
        monitor.notify();
    });
    while (!otherGotLock) monitor.wait(10);
    EXPECT_EQ(monitor.lockDepth(), 2);
    monitor.unlock();
    monitor.unlock();
    EXPECT_EQ(monitor.lockDepth(), 0);
    other.join();
}

TEST(ObjectTest, NotifyBeforeWaitIsLostAndNotifyWakesEveryWaiter) {
    lang::Object monitor;
    monitor.notify();  // nobody waits: nothing happens, and it is not remembered
    auto start = std::chrono::steady_clock::now();
    {
        lang::Synchronized guard(&monitor, true);
        monitor.wait(60);
    }
    EXPECT_GE(std::chrono::steady_clock::now() - start, 50ms);

    constexpr int kWaiters = 4;
    std::atomic<int> waiting{0};
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < kWaiters; ++i) {
        waiters.emplace_back([&] {
            lang::Synchronized guard(&monitor, true);
            ++waiting;
            monitor.wait();
            ++woken;
        });
    }
    // A waiter counts itself under the lock and gives it up only inside wait, so once the lock is
    // free again with every waiter counted, all of them are waiting.
    for (;;) {
        lang::Synchronized guard(&monitor, true);
        if (waiting == kWaiters) {
            monitor.notify();
            break;
        }
    }
    for (auto& t : waiters) t.join();
    EXPECT_EQ(woken.load(), kWaiters);
}

TEST(ObjectTest, WaitWithoutHoldingTheMonitorDoesNotReleaseAnotherThreadsHold) {
    lang::Object monitor;
    std::atomic<bool> held{false};
    std::atomic<bool> done{false};
    std::thread owner([&] {
        monitor.lock();
        held = true;
        while (!done) std::this_thread::sleep_for(1ms);
        EXPECT_EQ(monitor.lockDepth(), 1);
        monitor.unlock();
    });
    while (!held) std::this_thread::sleep_for(1ms);
    monitor.wait(5);
    done = true;
    owner.join();
}

TEST(ObjectTest, InstanceOfFollowsTheClassChain) {
    lang::String text("x");
    EXPECT_TRUE(text.instanceOf("String"));
    EXPECT_TRUE(text.instanceOf("Object"));
    EXPECT_FALSE(text.instanceOf("string"));
    EXPECT_FALSE(text.instanceOf("NoSuchClass"));
    EXPECT_FALSE(text.instanceOf(nullptr));
    lang::Object plain;
    EXPECT_STREQ(plain.getClassName(), "Object");
    auto description = lang::adopt(plain.toString());
    EXPECT_TRUE(description->equals("lang.Object"));
}

}  // namespace
