// lang::Thread: the thread procedure keeps its Thread alive while it runs.
#include "lang/Thread.h"

#include <chrono>

namespace lang {

Thread::Thread() : target_(this) {}

Thread::Thread(Runnable* target) : target_(target != nullptr ? target : this) {
    if (target_ != this) target_->addRef();
}

Thread::~Thread() {
    if (target_ != this) target_->release();
    if (handle_.joinable()) {
        // The last reference may be dropped by the thread itself at the end of its procedure.
        if (handle_.get_id() == std::this_thread::get_id()) {
            handle_.detach();
        } else {
            handle_.join();
        }
    }
}

void Thread::start() {
    if (running_.exchange(true, std::memory_order_acq_rel)) return;
    // The earlier run has returned (running was clear); its platform thread is at most finishing.
    if (handle_.joinable()) handle_.join();
    {
        std::lock_guard<std::mutex> guard(doneLock_);
        done_ = false;
    }
    // The running thread's own reference is taken here, before the thread exists: taken on the new
    // thread, it could come after the creator's release and find the object already destroyed.
    addRef();
    handle_ = std::thread(threadProcedure, this);
}

void Thread::threadProcedure(Thread* thread) {
    thread->target_->run();
    {
        std::lock_guard<std::mutex> guard(thread->doneLock_);
        thread->running_.store(false, std::memory_order_release);
        thread->done_ = true;
    }
    thread->doneSignal_.notify_all();
    thread->release();
}

void Thread::join(int milliseconds) {
    if (!handle_.joinable() || handle_.get_id() == std::this_thread::get_id()) return;
    if (milliseconds > 0) {
        std::unique_lock<std::mutex> guard(doneLock_);
        if (!doneSignal_.wait_for(guard, std::chrono::milliseconds(milliseconds), [this] { return done_; })) return;
    }
    // run() has returned (or there is no limit): wait for the platform thread itself to end, after its
    // release of this object. The caller holds a reference, so that release never destroys us here.
    handle_.join();
}

void Thread::sleep(int milliseconds) {
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace lang
