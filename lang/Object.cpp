// lang::Object: reference counting and the monitor.
#include "lang/Object.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "lang/String.h"

namespace lang {

// The monitor of one object. The recursive mutex is the lock itself; the generation counter plays the
// part of a manual-reset event that every wait resets: a notify bumps it and wakes every thread waiting
// at that moment, and a thread that starts waiting later waits for the next bump.
struct Object::Monitor {
    std::recursive_mutex mutex;
    std::atomic<std::thread::id> owner{};
    int depth = 0;  // guarded by mutex

    std::mutex waitMutex;
    std::condition_variable woken;
    uint64_t generation = 0;  // guarded by waitMutex
};

Object::Object() = default;

Object::Object(const Object&) : ObjectI() {}

Object::~Object() {
    delete monitor_.load(std::memory_order_acquire);
}

void Object::addRef() {
    refCount_.fetch_add(1, std::memory_order_relaxed);
}

void Object::release() {
    if (refCount_.fetch_sub(1, std::memory_order_acq_rel) - 1 < 1) delete this;
}

Object::Monitor* Object::monitor() {
    Monitor* existing = monitor_.load(std::memory_order_acquire);
    if (existing != nullptr) return existing;
    // Two threads may race to create the monitor; the loser frees its copy.
    auto* created = new Monitor;
    if (monitor_.compare_exchange_strong(existing, created, std::memory_order_acq_rel)) return created;
    delete created;
    return existing;
}

void Object::lock() {
    Monitor* m = monitor();
    m->mutex.lock();
    if (m->depth++ == 0) m->owner.store(std::this_thread::get_id(), std::memory_order_relaxed);
}

void Object::unlock() {
    Monitor* m = monitor_.load(std::memory_order_acquire);
    if (m == nullptr || m->owner.load(std::memory_order_relaxed) != std::this_thread::get_id()) return;
    if (--m->depth == 0) m->owner.store(std::thread::id{}, std::memory_order_relaxed);
    m->mutex.unlock();
}

void Object::waitFor(int64_t milliseconds) {
    Monitor* m = monitor();
    uint64_t generation;
    {
        std::lock_guard<std::mutex> guard(m->waitMutex);
        generation = m->generation;
    }
    // Give up every hold of this thread (none when it does not own the monitor).
    int holds = m->owner.load(std::memory_order_relaxed) == std::this_thread::get_id() ? m->depth : 0;
    for (int i = 0; i < holds; ++i) unlock();
    {
        std::unique_lock<std::mutex> guard(m->waitMutex);
        auto notified = [&] { return m->generation != generation; };
        if (milliseconds < 0) {
            m->woken.wait(guard, notified);
        } else {
            m->woken.wait_for(guard, std::chrono::milliseconds(milliseconds), notified);
        }
    }
    for (int i = 0; i < holds; ++i) lock();
}

void Object::wait(int32_t milliseconds) {
    waitFor(milliseconds);
}

void Object::wait() {
    waitFor(-1);
}

void Object::notify() {
    Monitor* m = monitor_.load(std::memory_order_acquire);
    if (m == nullptr) return;
    {
        std::lock_guard<std::mutex> guard(m->waitMutex);
        ++m->generation;
    }
    m->woken.notify_all();
}

int Object::lockDepth() const {
    Monitor* m = monitor_.load(std::memory_order_acquire);
    if (m == nullptr || m->owner.load(std::memory_order_relaxed) != std::this_thread::get_id()) return 0;
    return m->depth;
}

bool Object::instanceOf(const char* className) const {
    return detail::sameName(className, "Object");
}

String* Object::toString() const {
    return new String("lang.Object");
}

}  // namespace lang
