// The bots' move choice: squares not yet gold first, then the lower row; no move, no choice; the sun
// goes to the lowest square that is not gold.
#include <gtest/gtest.h>

#include "BoardHarness.h"
#include "game/rules/GreedyPlayer.h"

namespace {

// Row 2: a run of "a" over squares not gold, made by swapping (2,2) with (2,3). Row 7: the same run
// over gold squares (only the square the piece moves onto is not gold), by swapping (2,7) with (2,8).
std::string twoRuns(const char* lowerCell) {
    return fillerWith({{0, 2, "a"}, {1, 2, "a"}, {2, 3, "a"}, {0, 7, lowerCell}, {1, 7, lowerCell},
                       {2, 8, lowerCell}});
}

TEST(GreedyPlayer, SquaresNotYetGoldComeBeforeTheLowerRow) {
    TestBoard t;
    t.set(twoRuns("a*"));
    SwapMove move = GreedyPlayer::chooseMove(t.board);
    ASSERT_TRUE(move.valid());
    EXPECT_EQ(std::make_pair(move.x1, move.y1), std::make_pair(2, 2));
    EXPECT_EQ(std::make_pair(move.x2, move.y2), std::make_pair(2, 3));

    // Runs worth the same: the lower one is taken, as a player works up from the bottom.
    t.set(twoRuns("a"));
    move = GreedyPlayer::chooseMove(t.board);
    ASSERT_TRUE(move.valid());
    EXPECT_EQ(std::make_pair(move.x1, move.y1), std::make_pair(2, 7));
    EXPECT_EQ(std::make_pair(move.x2, move.y2), std::make_pair(2, 8));
}

TEST(GreedyPlayer, NoMoveGivesNoChoiceAndTheSunGoesLow) {
    TestBoard t;
    t.set(fillerWith({}, true));
    EXPECT_FALSE(GreedyPlayer::chooseMove(t.board).valid());
    int x = -1, y = -1;
    EXPECT_FALSE(GreedyPlayer::sunTarget(t.board, x, y)) << "every square is gold";

    t.set(fillerWith({{4, 3, "a"}, {9, 6, "b"}}, true));
    ASSERT_TRUE(GreedyPlayer::sunTarget(t.board, x, y));
    EXPECT_EQ(std::make_pair(x, y), std::make_pair(9, 6));
}

}  // namespace
