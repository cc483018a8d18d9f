// lang::Class: the process-wide registry of class records.
#include "lang/Class.h"

#include <mutex>

#include "util/Hashtable.h"

namespace lang {

namespace {

// The registry is created by the first record and released with the last one. Records are static
// objects, constructed and destroyed on one thread at start-up and exit; the guard keeps records made
// later (tests, plug-ins) safe too. It is never destroyed, since records die during static destruction.
std::mutex& registryGuard() {
    static auto* guard = new std::mutex;
    return *guard;
}

util::Hashtable* gRegistry = nullptr;

}  // namespace

Class::Class(const char* name) : name_(name) {
    std::lock_guard<std::mutex> guard(registryGuard());
    if (gRegistry == nullptr) gRegistry = new util::Hashtable();
    gRegistry->put(name_, this);
}

Class::~Class() {
    std::lock_guard<std::mutex> guard(registryGuard());
    if (gRegistry == nullptr) return;
    // Static records die by static destruction, not by release: the registry's reference is the one
    // the table gives back here, which only lowers the count.
    gRegistry->remove(&name_);
    if (gRegistry->size() == 0) {
        gRegistry->release();
        gRegistry = nullptr;
    }
}

Class* Class::forName(const char* name) {
    String key(name, true);
    return forName(key);
}

Class* Class::forName(const String& name) {
    std::lock_guard<std::mutex> guard(registryGuard());
    if (gRegistry == nullptr) return nullptr;
    return static_cast<Class*>(gRegistry->get(&name));
}

}  // namespace lang
