// lang::Thread: runs a Runnable (or its own run()) on a platform thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "lang/Object.h"
#include "lang/Runnable.h"

namespace lang {

class Thread : public Object, public Runnable {
public:
    // Runs its own run(), which subclasses override.
    Thread();
    // Runs target, on which it takes a reference.
    explicit Thread(Runnable* target);
    ~Thread() override;

    const char* getClassName() const override { return "Thread"; }
    bool instanceOf(const char* className) const override {
        return detail::sameName(className, "Thread") || Object::instanceOf(className) ||
               isRunnableName(className);
    }

    // Does nothing; subclasses supply their own.
    void run() override {}

    // Starts a new platform thread unless one is running.
    void start();
    // Waits for the thread to end, at most milliseconds (0: without limit). Returns at once when the
    // thread was never started.
    void join(int milliseconds = 0);
    bool isRunning() const { return running_.load(std::memory_order_acquire); }

    static void sleep(int milliseconds);

private:
    static void threadProcedure(Thread* thread);

    Runnable* target_;
    std::atomic<bool> running_{false};
    std::thread handle_;
    // Tells join that the current run has returned.
    std::mutex doneLock_;
    std::condition_variable doneSignal_;
    bool done_ = true;  // guarded by doneLock_
};

}  // namespace lang
