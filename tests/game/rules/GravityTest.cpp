// Gravity and the flow map: spawning from the first row, diagonal slides below holes and vines, cut-off
// regions, and the piece pool's limits.
#include <gtest/gtest.h>

#include "BoardHarness.h"
#include "game/rules/PiecePool.h"

namespace {

// A board of holes with some cells set: {x, y, cell}.
struct Cell {
    int x, y;
    const char* text;
};
std::string holesWith(std::initializer_list<Cell> cells) {
    std::string rows;
    for (int y = 0; y < board::kRows; ++y) {
        for (int x = 0; x < board::kColumns; ++x) {
            std::string cell = "#";
            for (const Cell& c : cells) {
                if (c.x == x && c.y == y)
                    cell = c.text;
            }
            rows += cell + (x + 1 < board::kColumns ? " " : "\n");
        }
    }
    return rows;
}

TEST(GravityTest, ColumnsUnderHoleRowsAreFedFromTheFirstRowWithASquare) {
    TestBoard t(5);
    std::string rows;
    for (int y = 0; y < board::kRows; ++y)
        rows += y < 3 ? "# # # # # # # # # # # # #\n" : ". . . . . . . . . . . . .\n";
    t.set(rows);
    EXPECT_EQ(t.board.spawnRow(), 3);
    EXPECT_EQ(t.board.state(), Board::kBusy);
    for (int x = 0; x < board::kColumns; ++x)
        EXPECT_EQ(t.board.feeder(x, 3), -66) << "column " << x;
    t.settle();
    EXPECT_EQ(t.board.state(), Board::kPlay);
    for (int x = 0; x < board::kColumns; ++x) {
        for (int y = 3; y < board::kRows; ++y)
            EXPECT_GE(t.board.value(x, y), 0) << x << "," << y;
    }
    EXPECT_EQ(t.failures, 0);
}

TEST(GravityTest, APieceSlidesDiagonallyUnderAHole) {
    TestBoard t;
    t.board.setRefill(false);
    t.set(holesWith({{4, 0, "b"}, {4, 1, "c"}, {5, 1, "."}, {6, 0, "d"}, {6, 1, "e"}}));
    int id = t.board.pieceId(4, 0);
    EXPECT_EQ(t.board.feeder(5, 1), board::squareIndex(4, 0)) << "left neighbour first left of the middle";
    t.board.gravityStep();
    EXPECT_EQ(t.board.pieceId(5, 1), id);
    EXPECT_EQ(t.board.value(5, 1), 1);
    EXPECT_EQ(t.board.value(4, 0), board::kEmpty);
    EXPECT_FALSE(t.board.piecesAtRest());
    t.frames(30);
    EXPECT_TRUE(t.board.piecesAtRest());
    EXPECT_EQ(t.row(0).substr(8, 5), ". # d");
    EXPECT_EQ(t.row(1).substr(8, 5), "c b e");
}

TEST(GravityTest, AVineInTheTopRowNeverFeedsTheSquareBelow) {
    TestBoard t(3);
    t.set(holesWith({{3, 0, "v"}, {3, 1, "."}, {3, 2, "."}}));
    EXPECT_EQ(t.board.value(3, 1), board::kCutOff);
    EXPECT_EQ(t.board.value(3, 2), board::kCutOff);
    t.frames(100);
    EXPECT_EQ(t.board.value(3, 1), board::kCutOff);
    EXPECT_EQ(t.board.pool().inUseCount(), 0);

    // With a square beside the vine, the square below is fed diagonally from it.
    TestBoard u(3);
    u.set(holesWith({{2, 0, "."}, {3, 0, "v"}, {3, 1, "."}}));
    EXPECT_EQ(u.board.feeder(3, 1), board::squareIndex(2, 0));
    u.settle();
    EXPECT_GE(u.board.value(3, 1), 0);
    EXPECT_GE(u.board.value(2, 0), 0);
    EXPECT_EQ(u.board.value(3, 0), board::kOneVine);
}

TEST(GravityTest, PiecesStillFallInsideACutOffRegion) {
    TestBoard t;
    t.set(holesWith({{0, 0, "V"}, {0, 1, "a"}, {0, 2, "."}, {0, 3, "."}}));
    EXPECT_EQ(t.board.value(0, 2), board::kCutOff);
    EXPECT_EQ(t.board.value(0, 3), board::kCutOff);
    // Gravity runs in the busy state that follows a clearing; run it directly here.
    for (int f = 0; f < 30; ++f) {
        t.board.gravityStep();
        t.step();
    }
    EXPECT_EQ(t.board.value(0, 3), 0) << "the piece fell to the bottom of its region";
    EXPECT_EQ(t.board.value(0, 1), board::kCutOff);
    EXPECT_EQ(t.board.value(0, 2), board::kCutOff);
}

TEST(GravityTest, LandingPlaysTheSoundSofterLowerAndBouncesExceptEverySixthSlot) {
    TestBoard t;
    t.board.setRefill(false);
    t.set(holesWith({{0, 0, "a"}, {0, 1, "."}, {0, 2, "."}, {0, 3, "."}, {0, 4, "."}}));
    double volume = -1;
    struct Events : EventLog {
        double* volume;
        int bounce = -1;
        void playSound(int s, double v) override {
            if (s == 0)
                *volume = v;
        }
        void pieceLanded(int, const LandingBounce& b) override { bounce = b.frames; }
    } events;
    events.volume = &volume;
    t.board.setEvents(&events);
    for (int f = 0; f < 20 && events.bounce < 0; ++f) {
        t.board.gravityStep();
        t.board.frame();
    }
    EXPECT_NEAR(volume, 1.0 - 0.02 * 4, 1e-9);
    EXPECT_EQ(t.board.pieceId(0, 4), 0);
    EXPECT_EQ(events.bounce, 0) << "pool slot 0 stops at once";
}

TEST(PiecePoolTest, ExhaustionAndBadIdsAreHandled) {
    PiecePool pool;
    for (int i = 0; i < board::kPoolSize; ++i)
        EXPECT_EQ(pool.acquire(0, 0), i);
    EXPECT_EQ(pool.acquire(0, 0), board::kNone);
    pool.release(-13);
    pool.release(250);
    EXPECT_EQ(pool.find(-13), nullptr);
    EXPECT_EQ(pool.find(250), nullptr);
    pool.release(17);
    pool.release(17);
    EXPECT_EQ(pool.inUseCount(), board::kPoolSize - 1);
    EXPECT_EQ(pool.acquire(1, 1), 17);
}

}  // namespace
