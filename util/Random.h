// util::Random: the game's pseudo-random generator, a 256-word generator of the ISAAC family seeded
// through the C runtime's linear congruential generator. Every random rule of the game draws from one.
#pragma once

#include <cstdint>
#include <mutex>

#include "lang/Object.h"

namespace util {

class Random : public lang::Object {
public:
    // Seeded from the millisecond clock.
    Random();
    explicit Random(uint32_t seed) { setSeed(seed); }

    LANG_CLASS_NAME(Random, Object)

    void setSeed(uint32_t seed);
    // A uniformly distributed int in [0, n], both ends included; n must be 0 or more.
    // Safe to call from several threads; one thread alone sees the same sequence either way.
    int nextInt(int n);

    int32_t seedTime() const { return seedTime_; }

private:
    void initialise();
    void generateBatch();
    uint32_t nextResult();

    // Serialises draws: the render and input threads share the process-wide generator.
    std::mutex drawLock_;
    int32_t seedTime_ = 0;
    int remaining_ = 0;
    uint32_t results_[256];
    uint32_t memory_[256];
    uint32_t a_ = 0, b_ = 0, c_ = 0;
};

// A double in [0, 1) from the calling thread's runtime generator, seeded from the clock on the first
// call on each thread.
double randomUnit();

// The C runtime's linear congruential generator, one per thread, as the generator's seeding uses it.
namespace runtime_rand {
void seed(uint32_t seed);
int next();  // 0..32767
}  // namespace runtime_rand

}  // namespace util
