// The register of damaged data: each problem told once, a bounded list, safe from any thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "util/DataProblems.h"

namespace {

TEST(DataProblems, EachProblemIsToldOnceAndTheListIsBounded) {
    util::clearDataProblems();
    EXPECT_FALSE(util::hasDataProblems());
    util::reportDataProblem("The picture \"a\": not found");
    util::reportDataProblem("The picture \"a\": not found");
    util::reportDataProblem("The sound \"b\": truncated");
    ASSERT_TRUE(util::hasDataProblems());
    util::DataProblems told = util::takeDataProblems();
    EXPECT_EQ(told.problems, (std::vector<std::string>{"The picture \"a\": not found",
                                                        "The sound \"b\": truncated"}));
    EXPECT_EQ(told.leftOff, 0);
    EXPECT_FALSE(util::hasDataProblems());
    // Taken is not forgotten: the same problem found again is not told again.
    util::reportDataProblem("The picture \"a\": not found");
    EXPECT_FALSE(util::hasDataProblems());

    // A piece and what is wrong with it: the archive's "+" and the repeated name are dropped.
    util::reportDataProblem("sound", "+fxSwap", "+fxSwap: the data chunk is truncated");
    util::reportDataProblem("picture", "board.png", "cannot be opened");
    EXPECT_EQ(util::takeDataProblems().problems,
              (std::vector<std::string>{"The sound \"fxSwap\": the data chunk is truncated",
                                        "The picture \"board.png\": cannot be opened"}));

    for (int i = 0; i < util::kMaxDataProblems + 5; ++i)
        util::reportDataProblem("problem " + std::to_string(i));
    told = util::takeDataProblems();
    EXPECT_EQ(static_cast<int>(told.problems.size()), util::kMaxDataProblems);
    EXPECT_EQ(told.problems.front(), "problem 0");
    EXPECT_EQ(told.leftOff, 5);
    util::clearDataProblems();
}

TEST(DataProblems, ThreadsReportingTheSameProblemsTellEachOnce) {
    util::clearDataProblems();
    std::atomic<bool> reporting{true};
    std::vector<std::string> told;
    // A frame loop takes what waits while the loaders report.
    std::thread taker([&] {
        while (reporting.load()) {
            util::DataProblems some = util::takeDataProblems();
            told.insert(told.end(), some.problems.begin(), some.problems.end());
        }
    });
    std::vector<std::thread> loaders;
    for (int t = 0; t < 4; ++t)
        loaders.emplace_back([] {
            for (int i = 0; i < 200; ++i)
                util::reportDataProblem("problem " + std::to_string(i % 10));
        });
    for (auto& t : loaders)
        t.join();
    reporting = false;
    taker.join();
    util::DataProblems rest = util::takeDataProblems();
    told.insert(told.end(), rest.problems.begin(), rest.problems.end());
    std::sort(told.begin(), told.end());
    EXPECT_EQ(told.size(), 10u);
    EXPECT_EQ(std::unique(told.begin(), told.end()), told.end());
    util::clearDataProblems();
}

}  // namespace
