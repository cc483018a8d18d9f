// lang::Object: reference counting, the re-entrant monitor with wait/notify, and the is-a test by name.
#pragma once

#include <atomic>
#include <cstdint>

#include "lang/ObjectI.h"

namespace lang {

class Object : public virtual ObjectI {
public:
    // A new object has one reference, held by its creator.
    Object();
    // Copies (geometry values used as locals) get a count of their own and a fresh monitor.
    Object(const Object&);
    Object& operator=(const Object&) { return *this; }

    void addRef() override;
    // Destroys the object when the count drops below 1.
    void release() override;
    void lock() override;
    void unlock() override;
    int32_t hashCode() const override { return 0; }
    bool equals(const Object* other) const override { return other == this; }
    String* toString() const override;
    // Gives up every hold the caller has on the monitor, waits for a notify (or the time limit) and
    // takes all the holds back.
    void wait(int32_t milliseconds) override;
    void wait() override;
    // Wakes every thread waiting right now; a notify that nobody waits for is lost.
    void notify() override;
    void notifyAll() override { notify(); }
    bool instanceOf(const char* className) const override;
    const char* getClassName() const override { return "Object"; }

    ~Object() override;

    // The number of lock calls of the calling thread not yet matched by unlock (0 when another
    // thread owns the monitor, or nobody does).
    int lockDepth() const;
    int32_t referenceCount() const { return refCount_.load(std::memory_order_relaxed); }

private:
    struct Monitor;
    Monitor* monitor();
    void waitFor(int64_t milliseconds);

    std::atomic<int32_t> refCount_{1};
    // Created on first use, so that the many small objects that are never locked stay small.
    std::atomic<Monitor*> monitor_{nullptr};
};

// Releases an object that may be null.
inline void release(ObjectI* object) {
    if (object != nullptr) object->release();
}

// Scoped guard: takes a reference and the monitor of an object, gives both back on exit.
class Synchronized {
public:
    explicit Synchronized(ObjectI* object, bool alreadyReferenced = false)
        : object_(object), referenced_(!alreadyReferenced) {
        if (referenced_) object_->addRef();
        object_->lock();
    }
    ~Synchronized() {
        object_->unlock();
        if (referenced_) object_->release();
    }
    Synchronized(const Synchronized&) = delete;
    Synchronized& operator=(const Synchronized&) = delete;

private:
    ObjectI* object_;
    bool referenced_;
};

}  // namespace lang
