// The register of damaged or missing game data.
#include "util/DataProblems.h"

#include <atomic>
#include <mutex>
#include <set>

namespace util {

namespace {

struct Register {
    std::mutex lock;  // guards everything below; taken alone, never with another lock held inside it
    std::set<std::string> seen;
    DataProblems pending;
    std::atomic<bool> waiting{false};
};

Register& theRegister() {
    static Register* r = new Register;  // never destroyed: loaders may report while the program ends
    return *r;
}

}  // namespace

void reportDataProblem(const std::string& what) {
    Register& r = theRegister();
    std::lock_guard<std::mutex> guard(r.lock);
    if (!r.seen.insert(what).second)
        return;
    if (static_cast<int>(r.pending.problems.size()) < kMaxDataProblems)
        r.pending.problems.push_back(what);
    else
        ++r.pending.leftOff;
    r.waiting.store(true, std::memory_order_release);
}

void reportDataProblem(std::string_view what, std::string_view name, std::string_view detail) {
    if (detail.substr(0, name.size()) == name && detail.substr(name.size(), 2) == ": ")
        detail.remove_prefix(name.size() + 2);
    if (!name.empty() && name[0] == '+')
        name.remove_prefix(1);
    reportDataProblem("The " + std::string(what) + " \"" + std::string(name) + "\": " + std::string(detail));
}

DataProblems takeDataProblems() {
    Register& r = theRegister();
    std::lock_guard<std::mutex> guard(r.lock);
    DataProblems taken = std::move(r.pending);
    r.pending = DataProblems();
    r.waiting.store(false, std::memory_order_release);
    return taken;
}

bool hasDataProblems() {
    return theRegister().waiting.load(std::memory_order_acquire);
}

void clearDataProblems() {
    Register& r = theRegister();
    std::lock_guard<std::mutex> guard(r.lock);
    r.seen.clear();
    r.pending = DataProblems();
    r.waiting.store(false, std::memory_order_release);
}

}  // namespace util
