// util::Random: seeding, batches and rejection drawing. All arithmetic wraps at 32 bits; every right
// shift of the published ISAAC is a rotation here, which stored sequences depend on.
#include "util/Random.h"

#include <bit>

#include "lang/Clock.h"

namespace util {

namespace {

thread_local uint32_t tRuntimeState = 1;
thread_local bool tUnitSeeded = false;

inline uint32_t ror(uint32_t value, int bits) {
    return std::rotr(value, bits);
}

struct Mix {
    uint32_t a[8];
    void step() {
        a[0] ^= a[1] << 11; a[3] += a[0]; a[1] += a[2];
        a[1] ^= ror(a[2], 2); a[4] += a[1]; a[2] += a[3];
        a[2] ^= a[3] << 8; a[5] += a[2]; a[3] += a[4];
        a[3] ^= ror(a[4], 16); a[6] += a[3]; a[4] += a[5];
        a[4] ^= a[5] << 10; a[7] += a[4]; a[5] += a[6];
        a[5] ^= ror(a[6], 4); a[0] += a[5]; a[6] += a[7];
        a[6] ^= a[7] << 8; a[1] += a[6]; a[7] += a[0];
        a[7] ^= ror(a[0], 9); a[2] += a[7]; a[0] += a[1];
    }
};

}  // namespace

namespace runtime_rand {

void seed(uint32_t seed) {
    tRuntimeState = seed;
}

int next() {
    tRuntimeState = tRuntimeState * 214013u + 2531011u;
    return static_cast<int>((tRuntimeState >> 16) & 0x7FFF);
}

}  // namespace runtime_rand

Random::Random() {
    setSeed(lang::tickCount());
}

void Random::setSeed(uint32_t seed) {
    std::lock_guard<std::mutex> guard(drawLock_);
    a_ = b_ = c_ = 0;
    runtime_rand::seed(seed);
    int skip = runtime_rand::next() % 10000;
    for (int i = 0; i < skip; ++i) runtime_rand::next();
    for (uint32_t& word : results_) word = static_cast<uint32_t>(runtime_rand::next());
    seedTime_ = static_cast<int32_t>(lang::tickCount());
    for (uint32_t& word : memory_) word = 0;
    initialise();
    remaining_ = 256;
}

void Random::initialise() {
    Mix m;
    for (uint32_t& word : m.a) word = 0x9E3779B9u;
    for (int i = 0; i < 4; ++i) m.step();
    for (int i = 0; i < 256; i += 8) {
        for (int k = 0; k < 8; ++k) m.a[k] += results_[i + k];
        m.step();
        for (int k = 0; k < 8; ++k) memory_[i + k] = m.a[k];
    }
    for (int i = 0; i < 256; i += 8) {
        for (int k = 0; k < 8; ++k) m.a[k] += memory_[i + k];
        m.step();
        for (int k = 0; k < 8; ++k) memory_[i + k] = m.a[k];
    }
    generateBatch();
}

void Random::generateBatch() {
    c_ += 1;
    b_ += c_;
    for (int i = 0; i < 256; ++i) {
        uint32_t x = memory_[i];
        switch (i & 3) {
            case 0: a_ ^= a_ << 13; break;
            case 1: a_ ^= ror(a_, 6); break;
            case 2: a_ ^= a_ << 2; break;
            default: a_ ^= ror(a_, 16); break;
        }
        a_ += memory_[(i + 128) & 255];
        uint32_t y = memory_[(x >> 2) & 255] + a_ + b_;
        memory_[i] = y;
        b_ = memory_[(y >> 10) & 255] + x;
        results_[i] = b_;
    }
}

uint32_t Random::nextResult() {
    if (--remaining_ < 0) {
        generateBatch();
        remaining_ = 255;
    }
    return results_[remaining_];
}

int Random::nextInt(int n) {
    if (n < 0) return 0;  // no valid result; never loops or answers out of range
    int bits = n <= 1 ? 1 : std::bit_width(static_cast<uint32_t>(n));
    uint32_t mask = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
    int shift = 32 - bits;
    std::lock_guard<std::mutex> guard(drawLock_);
    for (;;) {
        uint32_t v = (nextResult() >> shift) & mask;
        if (v <= static_cast<uint32_t>(n)) return static_cast<int>(v);
    }
}

double randomUnit() {
    if (!tUnitSeeded) {
        runtime_rand::seed(lang::tickCount());
        tUnitSeeded = true;
    }
    return runtime_rand::next() * (1.0 / 32768);
}

}  // namespace util
