// The random generator against an independent reference (random_reference.py beside this file, written
// from the generator's description alone), plus the rejection and batch rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "util/Random.h"

namespace {

struct Expected {
    uint32_t seed;
    int n;
    int draws[7];  // draws number 0, 1, 2, 255, 256, 257 and 299 of nextInt(n)
};

// Output of: python3 tests/util/random_reference.py
const Expected kReference[] = {
    {0u, 0, {0, 0, 0, 0, 0, 0, 0}},
    {0u, 1, {1, 0, 0, 1, 1, 0, 0}},
    {0u, 5, {3, 2, 2, 3, 2, 5, 3}},
    {0u, 6, {3, 2, 2, 6, 1, 5, 4}},
    {0u, 100, {52, 42, 41, 89, 7, 24, 2}},
    {0u, 2147483647, {2059083438, 875662497, 710799461, 2040253953, 1457371315, 539252983, 977789455}},
    {1u, 0, {0, 0, 0, 0, 0, 0, 0}},
    {1u, 1, {0, 0, 0, 1, 0, 0, 1}},
    {1u, 5, {2, 2, 3, 3, 4, 0, 2}},
    {1u, 6, {2, 2, 3, 1, 0, 0, 2}},
    {1u, 100, {47, 33, 50, 1, 0, 93, 66}},
    {1u, 2147483647, {802777730, 568462752, 841707411, 1375435512, 822618929, 1053135637, 1959576946}},
    {12345u, 0, {0, 0, 0, 0, 0, 0, 0}},
    {12345u, 1, {0, 1, 0, 0, 0, 0, 1}},
    {12345u, 5, {3, 5, 3, 3, 4, 5, 4}},
    {12345u, 6, {3, 5, 3, 3, 1, 3, 5}},
    {12345u, 100, {54, 84, 62, 58, 52, 25, 58}},
    {12345u, 2147483647, {907805714, 1413196965, 1049812277, 919544705, 166342863, 956731465, 1328094123}},
    {3735928559u, 0, {0, 0, 0, 0, 0, 0, 0}},
    {3735928559u, 1, {0, 0, 1, 0, 0, 1, 0}},
    {3735928559u, 5, {2, 0, 5, 0, 3, 3, 3}},
    {3735928559u, 6, {2, 0, 5, 5, 1, 2, 6}},
    {3735928559u, 100, {44, 7, 85, 97, 80, 31, 73}},
    {3735928559u, 2147483647, {748526112, 126334504, 1433319494, 372416198, 978968284, 2072033001, 365052725}},
};

TEST(RandomTest, FirstDrawsMatchTheReference) {
    const int kPicked[7] = {0, 1, 2, 255, 256, 257, 299};
    for (const Expected& e : kReference) {
        util::Random random(e.seed);
        std::vector<int> draws;
        for (int i = 0; i < 300; ++i) draws.push_back(random.nextInt(e.n));
        for (int k = 0; k < 7; ++k) {
            EXPECT_EQ(draws[kPicked[k]], e.draws[k]) << "seed " << e.seed << " n " << e.n << " draw " << kPicked[k];
        }
    }
}

TEST(RandomTest, DrawsStayInRangeAndCoverIt) {
    util::Random random(99);
    int seen[6] = {};
    for (int i = 0; i < 6000; ++i) {
        int v = random.nextInt(5);
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 5);
        ++seen[v];
    }
    for (int count : seen) EXPECT_GT(count, 800);
    EXPECT_EQ(random.nextInt(0), 0);
    EXPECT_EQ(random.nextInt(-3), 0);
}

TEST(RandomTest, SameSeedSameSequenceAndReseedingRestarts) {
    util::Random a(4242), b(4242);
    std::vector<int> first;
    for (int i = 0; i < 600; ++i) {
        first.push_back(a.nextInt(1000));
        ASSERT_EQ(first.back(), b.nextInt(1000));
    }
    a.setSeed(4242);
    for (int i = 0; i < 600; ++i) ASSERT_EQ(a.nextInt(1000), first[i]);
}

TEST(RandomTest, DrawsFromSeveralThreadsAreSafe) {
    // Each draw takes the generator's lock, so whatever the interleaving, the threads together draw
    // exactly the values one thread would have drawn in sequence: none lost, none repeated. A draw that
    // raced would corrupt the state and change that multiset (and ThreadSanitizer reports it).
    constexpr int kThreads = 4;
    constexpr int kDraws = 20000;
    util::Random shared(7);
    std::vector<std::vector<int>> drawn(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&shared, &mine = drawn[t]] {
            for (int i = 0; i < kDraws; ++i)
                mine.push_back(shared.nextInt(1000));
        });
    }
    for (auto& t : threads) t.join();
    std::vector<int> together;
    for (const auto& mine : drawn) together.insert(together.end(), mine.begin(), mine.end());
    util::Random alone(7);
    std::vector<int> sequential;
    for (int i = 0; i < kThreads * kDraws; ++i) sequential.push_back(alone.nextInt(1000));
    std::sort(together.begin(), together.end());
    std::sort(sequential.begin(), sequential.end());
    EXPECT_EQ(together, sequential);
}

TEST(RandomTest, RandomUnitIsAFractionAndFollowsTheRuntimeGenerator) {
    for (int i = 0; i < 1000; ++i) {
        double u = util::randomUnit();
        ASSERT_GE(u, 0.0);
        ASSERT_LT(u, 1.0);
    }
    // The runtime generator itself: the well-known first outputs for seed 1.
    util::runtime_rand::seed(1);
    EXPECT_EQ(util::runtime_rand::next(), 41);
    EXPECT_EQ(util::runtime_rand::next(), 18467);
    EXPECT_EQ(util::runtime_rand::next(), 6334);
}

}  // namespace
