// Threads: one start at a time, join with and without limits, and a thread that outlives its creator's
// reference.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "lang/Ref.h"
#include "lang/Thread.h"

namespace {

using namespace std::chrono_literals;

struct Gate {
    std::atomic<bool> open{false};
    void wait() const {
        while (!open) std::this_thread::sleep_for(1ms);
    }
};

class CountingThread : public lang::Thread {
public:
    CountingThread(std::atomic<int>* runs, const Gate* gate, std::atomic<int>* destroyed = nullptr)
        : runs_(runs), gate_(gate), destroyed_(destroyed) {}
    ~CountingThread() override {
        if (destroyed_ != nullptr) ++*destroyed_;
    }
    void run() override {
        ++*runs_;
        gate_->wait();
    }

private:
    std::atomic<int>* runs_;
    const Gate* gate_;
    std::atomic<int>* destroyed_;
};

TEST(ThreadTest, StartTwiceStartsOneThreadAndFinishedThreadsRestart) {
    std::atomic<int> runs{0};
    Gate gate;
    auto thread = lang::make<CountingThread>(&runs, &gate);
    thread->start();
    thread->start();
    EXPECT_TRUE(thread->isRunning());
    gate.open = true;
    thread->join(0);
    EXPECT_FALSE(thread->isRunning());
    EXPECT_EQ(runs.load(), 1);

    thread->start();  // a finished thread may run again
    thread->join();
    EXPECT_EQ(runs.load(), 2);
}

TEST(ThreadTest, JoinWithALimitReturnsWhileRunning) {
    std::atomic<int> runs{0};
    Gate gate;
    auto thread = lang::make<CountingThread>(&runs, &gate);
    thread->join(50);  // never started: returns at once
    thread->start();
    thread->join(20);
    EXPECT_TRUE(thread->isRunning());
    gate.open = true;
    thread->join();
    EXPECT_FALSE(thread->isRunning());
}

TEST(ThreadTest, ThreadOutlivesItsCreatorsReference) {
    std::atomic<int> runs{0};
    std::atomic<int> destroyed{0};
    Gate gate;
    auto* thread = new CountingThread(&runs, &gate, &destroyed);
    thread->start();
    thread->release();
    EXPECT_EQ(destroyed.load(), 0);
    gate.open = true;
    while (destroyed == 0) std::this_thread::sleep_for(1ms);
    EXPECT_EQ(runs.load(), 1);
    EXPECT_EQ(destroyed.load(), 1);
}

TEST(ThreadTest, RunsAnOutsideTargetAndAnswersBothNames) {
    struct Task : lang::Object, lang::Runnable {
        std::atomic<int> ran{0};
        void run() override { ++ran; }
    };
    auto task = lang::make<Task>();
    auto thread = lang::make<lang::Thread>(task.get());
    EXPECT_EQ(task->referenceCount(), 2);
    thread->start();
    thread->join();
    EXPECT_EQ(task->ran.load(), 1);
    EXPECT_TRUE(thread->instanceOf("Thread"));
    EXPECT_TRUE(thread->instanceOf("Runnable"));
    EXPECT_TRUE(thread->instanceOf("Object"));
    thread = nullptr;
    EXPECT_EQ(task->referenceCount(), 1);
}

}  // namespace
