// The bonus level: the fair deal, picks and prizes, bonus blasts, suns owed and delivered, the end.
#include <gtest/gtest.h>

#include <algorithm>

#include "BoardHarness.h"

namespace {

// A grid of 100-point prizes with some cells set: {row, column, prize}.
struct PrizeAt {
    int row, column, prize;
};
BonusGrid::Prizes prizesWith(std::initializer_list<PrizeAt> cells) {
    BonusGrid::Prizes p;
    p.fill(0);
    for (const PrizeAt& c : cells)
        p[static_cast<size_t>(c.row * BonusGrid::kSize + c.column)] = c.prize;
    return p;
}

void startBonus(TestBoard& t, int level = 10) {
    std::string error;
    ASSERT_TRUE(t.board.startBonusLevel(level, t.board.record(), error)) << error;
}

TEST(BonusDealTest, EveryDealHoldsTheBagAndIsFair) {
    BonusGrid::Prizes bag = BonusGrid::bag();
    std::sort(bag.begin(), bag.end());
    int redeals = 0;
    for (uint32_t seed = 1; seed <= 400; ++seed) {
        util::Random random(seed);
        BonusGrid grid;
        redeals += grid.deal(random) - 1;
        BonusGrid::Prizes dealt = grid.prizes();
        ASSERT_TRUE(BonusGrid::fair(dealt)) << "seed " << seed;
        EXPECT_EQ(grid.coveredCount(), BonusGrid::kCells);
        std::sort(dealt.begin(), dealt.end());
        ASSERT_EQ(dealt, bag) << "seed " << seed;
    }
    EXPECT_GT(redeals, 0) << "some deals were unfair and dealt again";
    // Two other blasts in a row blast's row, or five suns around an area blast, are unfair.
    EXPECT_FALSE(BonusGrid::fair(prizesWith({{2, 0, 8}, {2, 3, 9}, {2, 5, 10}})));
    EXPECT_FALSE(
        BonusGrid::fair(prizesWith({{3, 3, 10}, {2, 2, 5}, {2, 3, 6}, {2, 4, 7}, {3, 2, 5}, {4, 4, 5}})));
    EXPECT_TRUE(
        BonusGrid::fair(prizesWith({{3, 3, 10}, {2, 2, 5}, {2, 3, 6}, {2, 4, 7}, {3, 2, 5}, {4, 4, 9}})));
}

TEST(BonusPickTest, ExtraPickGivesThePickBackAndIsNotCounted) {
    TestBoard t;
    startBonus(t);
    t.board.setBonusPrizes(prizesWith({{0, 0, 11}, {0, 1, 2}}));
    ASSERT_EQ(t.board.bonusClicksLeft(), Board::kBonusPicks);
    t.board.pickBonusBlock(0, 0);
    EXPECT_EQ(t.board.bonusClicksLeft(), Board::kBonusPicks);
    EXPECT_EQ(t.board.bonusClicks(), 0);
    t.board.pickBonusBlock(0, 0);
    EXPECT_EQ(t.board.bonusClicksLeft(), Board::kBonusPicks) << "a broken block cannot be picked again";
    t.board.pickBonusBlock(0, 1);
    EXPECT_EQ(t.board.bonusClicksLeft(), Board::kBonusPicks - 1);
    EXPECT_EQ(t.board.bonusClicks(), 1);
    EXPECT_EQ(t.board.bonusPoints(), 1000);
    EXPECT_EQ(t.board.score(), 0) << "points fly to the score first";
    t.frames(Board::kPrizeFlightFrames);
    EXPECT_EQ(t.board.score(), 1000);
}

TEST(BonusPickTest, ABonusBlastBreaksItsRowOutwardWithoutSpendingPicks) {
    TestBoard t;
    startBonus(t);
    t.board.setBonusPrizes(prizesWith({{2, 1, 8}, {2, 4, 1}, {2, 5, 5}, {4, 4, 9}}));
    t.board.pickBonusBlock(2, 1);
    EXPECT_EQ(t.board.bonusClicksLeft(), Board::kBonusPicks - 1);
    EXPECT_TRUE(t.board.bonusBlastRunning());
    t.frames(Board::kBonusBlastStepFrames);
    EXPECT_FALSE(t.board.bonusGrid().covered(2, 0));
    EXPECT_FALSE(t.board.bonusGrid().covered(2, 2)) << "one pair per step";
    EXPECT_TRUE(t.board.bonusGrid().covered(2, 3));
    t.frames(4 * Board::kBonusBlastStepFrames);
    for (int c = 0; c < BonusGrid::kSize; ++c)
        EXPECT_FALSE(t.board.bonusGrid().covered(2, c)) << c;
    EXPECT_FALSE(t.board.bonusBlastRunning());
    EXPECT_TRUE(t.board.bonusGrid().covered(4, 4)) << "the blast reaches only its row";
    EXPECT_EQ(t.board.bonusClicksLeft(), Board::kBonusPicks - 1) << "blasted blocks spend no picks";
    EXPECT_EQ(t.board.bonusPoints(), 3 * 100 + 500);
    EXPECT_EQ(t.board.bonusSuns(), 1);
    t.frames(Board::kPrizeFlightFrames + Board::kSunDeliveryFrames);
    EXPECT_EQ(t.board.suns(), 1);
    EXPECT_EQ(t.board.sunsOwed(), 0);
    EXPECT_EQ(t.failures, 0);
}

TEST(BonusEndTest, TheLastPickShowsASunAwardsItAndTheLevelCompletes) {
    TestBoard t(5);
    startBonus(t, 5);
    t.board.setBonusPrizes(prizesWith({{0, 4, 3}}));
    for (int c = 0; c < 4; ++c)
        t.board.pickBonusBlock(0, c);
    ASSERT_EQ(t.board.bonusSuns(), 0);
    t.board.pickBonusBlock(0, 4);
    int prize = t.board.bonusGrid().prize(0, 4);
    EXPECT_TRUE(BonusGrid::isSun(prize)) << "the last pick shows a sun when none was found";
    EXPECT_EQ(t.board.bonusSuns(), BonusGrid::sunsOf(prize)) << "and awards it";
    EXPECT_EQ(t.board.bonusPoints(), 400);
    t.frames(1);
    EXPECT_EQ(t.board.bonusClicksLeft(), -99);
    EXPECT_EQ(t.log.count(43), 1);
    t.frames(Board::kBreakRestDelay);
    EXPECT_EQ(t.board.bonusGrid().coveredCount(), 0);
    int shownAtEnd = 0;
    for (auto [cell, p] : t.log.broken)
        shownAtEnd += p < 0 ? 1 : 0;
    EXPECT_EQ(shownAtEnd, 31) << "the rest is shown without being awarded";
    t.frames(Board::kBonusEndDelay - 1);
    EXPECT_FALSE(t.board.finished());
    for (int f = 0; f < 200 && !t.board.finished(); ++f)
        t.step();
    EXPECT_TRUE(t.board.complete());
    EXPECT_EQ(t.board.state(), Board::kLevelComplete);
    EXPECT_EQ(t.board.suns(), BonusGrid::sunsOf(prize)) << "every owed sun was delivered first";
    EXPECT_EQ(static_cast<int>(t.log.deliveries.size()), BonusGrid::sunsOf(prize));
    EXPECT_EQ(t.board.score(), 400);
    EXPECT_EQ(t.failures, 0);
}

TEST(BonusEndTest, AGridWithNothingLeftToPickEndsToo) {
    TestBoard t;
    startBonus(t);
    BonusGrid::Prizes all;
    all.fill(BonusGrid::kExtraPick);
    t.board.setBonusPrizes(all);
    for (int r = 0; r < BonusGrid::kSize; ++r) {
        for (int c = 0; c < BonusGrid::kSize; ++c)
            t.board.pickBonusBlock(r, c);
    }
    EXPECT_EQ(t.board.bonusClicksLeft(), Board::kBonusPicks);
    for (int f = 0; f < 400 && !t.board.finished(); ++f)
        t.step();
    EXPECT_TRUE(t.board.complete());
}

TEST(BonusStartTest, OnlyLevelsWithABonusStartOne) {
    TestBoard t;
    std::string error;
    EXPECT_FALSE(t.board.startBonusLevel(7, t.board.record(), error));
    EXPECT_NE(error.find("no bonus level"), std::string::npos);
    EXPECT_FALSE(t.board.startBonusLevel(65, t.board.record(), error));
    EXPECT_TRUE(t.board.startBonusLevel(60, t.board.record(), error));
    EXPECT_TRUE(t.board.bonusLevel());
    EXPECT_EQ(t.board.level(), 60);
    t.board.pickPiece(3, 3);
    EXPECT_EQ(t.board.state(), Board::kPlay) << "board picks do nothing in a bonus level";
}

}  // namespace
