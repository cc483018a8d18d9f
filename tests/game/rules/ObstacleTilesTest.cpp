// Cobwebs, vines and double and triple tiles under matches and blasts.
#include <gtest/gtest.h>

#include "BoardHarness.h"

namespace {

TEST(CobwebTest, AMatchBesideItOrABlastOnItRemovesIt) {
    TestBoard t;
    t.board.setRefill(false);
    // The row blast in row 3 crosses the cobweb at (7, 3); the cobweb at (0, 4) lies below the run.
    t.set(fillerWith({{0, 3, "a"}, {1, 3, "a4"}, {2, 3, "b"}, {3, 3, "a"}, {7, 3, "c~"}, {0, 4, "d~"}}));
    t.swap(2, 3, 3, 3);
    t.settle();
    EXPECT_EQ(t.board.tileType(0, 4), board::kTileChanged) << "removed by the match beside it";
    EXPECT_FALSE(t.board.gold(0, 4)) << "its piece stays and its square is not gold";
    EXPECT_NE(t.board.tileType(7, 3), board::kTileCobweb);
    EXPECT_TRUE(t.board.gold(7, 3)) << "the blasted cobweb square turns gold";
    EXPECT_GE(t.log.count(7), 2);
    EXPECT_EQ(t.failures, 0);
}

// Column 5 below a double vine is cut off by holes; when the vine is gone the column fills.
TEST(VineTest, AVineDamagedTwiceFreesTheSquaresCutOffBehindIt) {
    TestBoard t(6);
    std::string rows;
    for (int y = 0; y < board::kRows; ++y) {
        for (int x = 0; x < board::kColumns; ++x) {
            std::string cell = std::string(1, fillerAt(x, y));
            if (x == 4 || x == 6)
                cell = "#";
            if (x == 5)
                cell = y == 0 ? "V" : "x";
            rows += cell + (x + 1 < board::kColumns ? " " : "\n");
        }
    }
    t.set(rows);
    ASSERT_EQ(t.board.value(5, 3), board::kCutOff);
    ASSERT_EQ(t.board.topVineRow(), 0);
    t.board.damageVine(5, 0, true);
    EXPECT_EQ(t.board.value(5, 0), board::kOneVine);
    EXPECT_EQ(t.board.piecesCleared(), 0);
    EXPECT_EQ(t.board.value(5, 3), board::kCutOff) << "one vine still blocks";
    t.board.damageVine(5, 0, true);
    EXPECT_EQ(t.board.value(5, 0), board::kEmpty);
    EXPECT_EQ(t.board.tileType(5, 0), board::kTileChanged);
    EXPECT_EQ(t.board.piecesCleared(), 1) << "the last vine of a match counts as a cleared piece";
    EXPECT_EQ(t.board.topVineRow(), board::kRows);
    EXPECT_EQ(t.board.value(5, 3), board::kEmpty) << "reachable again";
    EXPECT_EQ(t.board.state(), Board::kBusy);
    t.settle();
    for (int y = 0; y < board::kRows; ++y)
        EXPECT_GE(t.board.value(5, y), 0) << "square " << y << " filled";
    EXPECT_EQ(t.failures, 0);
}

TEST(VineTest, ABeamDestroysBothVinesAndTheSquareFills) {
    TestBoard t(8);
    t.set(fillerWith({{0, 3, "a"}, {1, 3, "a4"}, {2, 3, "b"}, {3, 3, "a"}, {9, 3, "V"}}));
    t.swap(2, 3, 3, 3);
    t.settle();
    EXPECT_FALSE(t.board.isVineSquare(9, 3));
    EXPECT_GE(t.board.value(9, 3), 0);
    EXPECT_TRUE(t.board.gold(9, 3));
    EXPECT_EQ(t.failures, 0);
}

// A blast through blastSquare turns a double or triple tile gold at once.
TEST(MultiTileTest, BlastsGildDoubleAndTripleTilesAtOnce) {
    TestBoard t;
    t.board.setRefill(false);
    t.set(fillerWith(
        {{0, 3, "a"}, {1, 3, "a4"}, {2, 3, "b"}, {3, 3, "a"}, {5, 3, "c="}, {8, 3, "d%"}, {10, 3, "e&"}}));
    t.swap(2, 3, 3, 3);
    t.settle();
    for (int x : {5, 8, 10}) {
        EXPECT_TRUE(t.board.gold(x, 3)) << x;
        EXPECT_EQ(t.board.tileFrame(x, 3), board::kFrameGold) << x;
    }
    EXPECT_EQ(t.failures, 0);
}

}  // namespace
