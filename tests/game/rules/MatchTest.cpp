// Matching: every run shape at every edge, cobwebs, power pieces, swaps kept and undone, the move search.
#include <gtest/gtest.h>

#include <set>

#include "BoardHarness.h"

namespace {

using Squares = std::set<std::pair<int, int>>;

Squares marked(const Board& b) {
    Squares s;
    for (int x = 0; x < board::kColumns; ++x) {
        for (int y = 0; y < board::kRows; ++y) {
            if (b.mark(x, y) == board::kMarked)
                s.insert({x, y});
        }
    }
    return s;
}

const char* const kFiller =
    "? ? ? ? ? ? ? ? ? ? ? ? ?\n? ? ? ? ? ? ? ? ? ? ? ? ?\n? ? ? ? ? ? ? ? ? ? ? ? ?\n"
    "? ? ? ? ? ? ? ? ? ? ? ? ?\n? ? ? ? ? ? ? ? ? ? ? ? ?\n? ? ? ? ? ? ? ? ? ? ? ? ?\n"
    "? ? ? ? ? ? ? ? ? ? ? ? ?\n? ? ? ? ? ? ? ? ? ? ? ? ?\n? ? ? ? ? ? ? ? ? ? ? ? ?\n"
    "? ? ? ? ? ? ? ? ? ? ? ? ?\n";

// The filler board with the given squares holding `cell`.
std::string boardWith(const Squares& squares, const std::string& cell = "a") {
    std::string rows;
    for (int y = 0; y < board::kRows; ++y) {
        for (int x = 0; x < board::kColumns; ++x) {
            rows += squares.count({x, y}) ? cell : "?";
            rows += x + 1 < board::kColumns ? " " : "\n";
        }
    }
    return rows;
}

struct Shape {
    const char* name;
    Squares squares;
};

// Every shape is marked in full, each square once, counted once, and counts one kind.
TEST(MatchTest, EveryRunShapeIsMarkedOnceAtEveryEdge) {
    std::vector<Shape> shapes = {
        {"three at the left edge", {{0, 4}, {1, 4}, {2, 4}}},
        {"four at the right edge", {{9, 0}, {10, 0}, {11, 0}, {12, 0}}},
        {"five in the bottom row", {{3, 9}, {4, 9}, {5, 9}, {6, 9}, {7, 9}}},
        {"six across the middle", {{2, 5}, {3, 5}, {4, 5}, {5, 5}, {6, 5}, {7, 5}}},
        {"seven at the right edge", {{6, 3}, {7, 3}, {8, 3}, {9, 3}, {10, 3}, {11, 3}, {12, 3}}},
        {"three down from the top", {{5, 0}, {5, 1}, {5, 2}}},
        {"five up from the bottom", {{0, 5}, {0, 6}, {0, 7}, {0, 8}, {0, 9}}},
        {"ten down a column",
         {{12, 0}, {12, 1}, {12, 2}, {12, 3}, {12, 4}, {12, 5}, {12, 6}, {12, 7}, {12, 8}, {12, 9}}},
        {"L in the bottom-left corner", {{0, 7}, {0, 8}, {0, 9}, {1, 9}, {2, 9}}},
        {"L in the top-right corner", {{10, 0}, {11, 0}, {12, 0}, {12, 1}, {12, 2}}},
        {"T", {{4, 2}, {5, 2}, {6, 2}, {5, 3}, {5, 4}}},
        {"upside-down T at the bottom", {{5, 7}, {5, 8}, {4, 9}, {5, 9}, {6, 9}}},
        {"cross", {{7, 4}, {7, 5}, {7, 6}, {6, 5}, {8, 5}}},
        {"long cross", {{3, 2}, {3, 3}, {3, 4}, {3, 5}, {3, 6}, {1, 4}, {2, 4}, {4, 4}, {5, 4}}},
        {"two runs of one kind", {{0, 0}, {1, 0}, {2, 0}, {8, 8}, {9, 8}, {10, 8}}},
    };
    for (const Shape& shape : shapes) {
        TestBoard t;
        t.board.setRefill(false);
        t.set(boardWith(shape.squares));
        EXPECT_EQ(t.board.findMatches(), 1) << shape.name;
        EXPECT_EQ(marked(t.board), shape.squares) << shape.name;
        EXPECT_EQ(t.board.piecesCleared(), static_cast<int>(shape.squares.size())) << shape.name;
        EXPECT_EQ(t.board.matchCounter(0), static_cast<int>(shape.squares.size())) << shape.name;
        EXPECT_EQ(t.board.piecesPendingRemoval(), static_cast<int>(shape.squares.size())) << shape.name;
        // A second scan marks nothing new.
        EXPECT_EQ(t.board.findMatches(), 0) << shape.name;
        EXPECT_EQ(t.board.piecesCleared(), static_cast<int>(shape.squares.size())) << shape.name;
    }
}

TEST(MatchTest, TwoKindsMatchedInOnePassCountTwo) {
    TestBoard t;
    t.board.setRefill(false);
    t.set(boardWith({{0, 0}, {1, 0}, {2, 0}}));
    std::string rows = t.text();
    t.set(rows.replace(rows.rfind('\n', rows.size() - 2) + 1, 5, "b b b"));
    EXPECT_EQ(t.board.findMatches(), 2);
}

TEST(MatchTest, CobwebsBlockMatchesAndPicks) {
    TestBoard t;
    t.board.setRefill(false);
    t.set(boardWith({{0, 0}, {2, 0}, {3, 0}}));
    std::string rows = t.text();
    rows.replace(2, 1, "a~");  // (1, 0) holds an a under a cobweb
    t.set(rows);
    EXPECT_EQ(t.board.findMatches(), 0) << "no run through or with the piece under a cobweb";
    EXPECT_FALSE(t.board.swapMakesRun(1, 0, 1, 1));

    t.board.pickPiece(1, 0);
    EXPECT_EQ(t.board.selectedPiece(), board::kNone);
    EXPECT_EQ(t.log.sounds, std::vector<int>{1});
    // A swap onto a cobweb square is refused and clears the selection with sound 1.
    t.board.pickPiece(1, 1);
    t.board.pickPiece(1, 0);
    EXPECT_EQ(t.board.state(), Board::kPlay);
    EXPECT_EQ(t.board.selectedPiece(), board::kNone);
}

TEST(MatchTest, PowerPiecesMatchByTheirBaseKind) {
    TestBoard t;
    t.board.setRefill(false);
    std::string rows = boardWith({{4, 4}, {6, 4}});
    rows.replace(rows.find('\n', rows.find('\n', rows.find('\n', rows.find('\n') + 1) + 1) + 1) + 1 + 10, 1,
                 "a7");
    t.set(rows);
    ASSERT_EQ(t.board.value(5, 4), 7000);
    EXPECT_EQ(t.board.powerPiecesOnBoard(), 1);
    EXPECT_EQ(t.board.findMatches(), 1);
    EXPECT_EQ(marked(t.board), (Squares{{4, 4}, {5, 4}, {6, 4}}));
    EXPECT_EQ(t.board.powerPiecesOnBoard(), 0) << "the cleared power piece fired";
    EXPECT_EQ(t.board.collectReportValues().powerPiecesUsed, 1);
}

TEST(MatchTest, MarkingVinesEmptyAndCutOffSquaresCountsNoKindAndFiresNothing) {
    TestBoard t;
    t.board.setRefill(false);
    std::string rows = boardWith({});
    rows.replace(0, 5, "V # .");  // (0, 0) two vines, (1, 0) a hole, (2, 0) empty
    rows.replace(26, 1, "x");     // (0, 1): under the vines, no diagonal feeder: cut off
    t.set(rows);
    ASSERT_EQ(t.board.value(0, 1), board::kCutOff);
    for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {2, 0}, {0, 1}})
        t.board.markSquareMatched(x, y);
    for (int k = 0; k < board::kKindCount; ++k)
        EXPECT_EQ(t.board.matchCounter(k), 0);
    EXPECT_EQ(t.board.collectReportValues().powerPiecesUsed, 0);
    EXPECT_EQ(t.board.piecesCleared(), 0);
    EXPECT_EQ(t.board.value(0, 0), board::kOneVine) << "the two vines lost one";
    EXPECT_EQ(t.board.mark(0, 1), 0) << "a cut-off square is not marked";
    EXPECT_EQ(t.board.mark(1, 0), 0) << "a hole is not marked";
    EXPECT_EQ(t.board.mark(2, 0), board::kMarked);
    t.board.removeMarkedPieces();
    EXPECT_EQ(t.board.piecesPendingRemoval(), 0);
    EXPECT_EQ(BoardInvariants::check(t.board), "");
}

TEST(SwapTest, ASwapThatMakesARunStandsAndOneThatMakesNothingIsUndone) {
    TestBoard t;
    t.board.setRefill(false);
    t.set(boardWith({{0, 0}, {1, 0}, {3, 0}}));
    std::string before = t.text();
    t.swap(5, 5, 6, 5);  // filler with filler: no run
    EXPECT_EQ(t.board.state(), Board::kResolving);
    t.settle();
    EXPECT_EQ(t.text(), before);
    EXPECT_EQ(t.log.sounds, (std::vector<int>{2, 19, 20}));
    EXPECT_EQ(t.board.score(), 0);

    t.log.sounds.clear();
    t.swap(3, 0, 2, 0);
    t.settle();
    ASSERT_GE(t.log.sounds.size(), 2u);
    EXPECT_EQ(t.log.sounds[0], 2);
    EXPECT_EQ(t.log.sounds[1], 19);
    EXPECT_EQ(t.log.count(20), 0) << "the swap stands";
    EXPECT_EQ(t.row(0).substr(0, 5), ". . .") << "refill off leaves the cleared squares empty";
    EXPECT_EQ(t.board.goldSquareCount(), 3);
    EXPECT_EQ(t.board.score(), 3 + 150) << "a point a square and 50 for each square completed";
}

TEST(SwapTest, OnlyOrthogonalNeighboursSwap) {
    TestBoard t;
    t.board.setRefill(false);
    t.set(boardWith({{0, 0}, {1, 0}, {3, 1}}));
    // A diagonal neighbour becomes the new first pick instead of swapping.
    t.board.pickPiece(3, 1);
    t.board.pickPiece(2, 0);
    EXPECT_EQ(t.board.state(), Board::kPlay);
    EXPECT_EQ(t.board.selectedPiece(), t.board.pieceId(2, 0));
    EXPECT_FALSE(t.board.swapMakesRun(3, 1, 2, 0));
    EXPECT_EQ(t.board.runSquaresAfterSwap(3, 1, 2, 0, nullptr), 0);
    t.board.pickPiece(2, 1);
    EXPECT_EQ(t.board.state(), Board::kResolving);
}

TEST(MoveSearchTest, FindsTheOnlyMoveAnywhereAndOnlyPiecesMakeMoves) {
    // The filler holds no move; three a's placed like this make exactly one, a vertical swap at (x1, y1).
    for (int x1 = 0; x1 + 2 < board::kColumns; ++x1) {
        for (int y1 = 0; y1 + 1 < board::kRows; ++y1) {
            TestBoard t;
            t.board.setRefill(false);
            t.set(boardWith({{x1, y1 + 1}, {x1 + 1, y1}, {x1 + 2, y1}}));
            ASSERT_EQ(t.board.findMatches(), 0);
            ASSERT_EQ(t.board.findHintMove(), 1) << x1 << "," << y1;
            SwapMove h = t.board.hint();
            EXPECT_EQ(h.x1, x1);
            EXPECT_EQ(h.x2, x1);
            EXPECT_EQ(std::min(h.y1, h.y2), y1);
            EXPECT_EQ(std::max(h.y1, h.y2), y1 + 1);
        }
    }
    TestBoard t;
    t.board.setRefill(false);
    t.set(boardWith({}));
    EXPECT_FALSE(t.board.hasMove());
    std::string rows = t.text();
    rows.replace(0, 5, ". . .");
    t.set(rows);
    EXPECT_FALSE(t.board.hasMove()) << "three empty squares in a line are no move";
    EXPECT_EQ(t.board.findHintMove(), 0);
    EXPECT_TRUE(t.board.noMoreMoves());
    EXPECT_FALSE(t.board.hint().valid());
}

}  // namespace
