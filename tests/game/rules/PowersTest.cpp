// Power pieces: each power's reach on hand-made boards, chains, the clock, strikes, dragonflies,
// five-matches, the draw and the count of power pieces.
#include <gtest/gtest.h>

#include <set>

#include "BoardHarness.h"
#include "game/rules/BoardLayout.h"
#include "game/rules/LevelTable.h"
#include "io/Path.h"

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

// Row 3 holds a, `power`, b, a from the left: swapping (2, 3) and (3, 3) makes a run of three with
// the power piece in its middle. The c's at the bottom right keep a move on the board afterwards.
std::string runWithPower(const char* power, std::initializer_list<CellAt> more = {}) {
    std::vector<CellAt> cells = {{0, 3, "a"}, {1, 3, power}, {2, 3, "b"}, {3, 3, "a"},
                                 {8, 9, "c"}, {9, 9, "c"},   {10, 8, "c"}};
    cells.insert(cells.end(), more.begin(), more.end());
    std::string rows;
    for (int y = 0; y < board::kRows; ++y) {
        for (int x = 0; x < board::kColumns; ++x) {
            std::string cell(1, fillerAt(x, y));
            for (const CellAt& c : cells) {
                if (c.x == x && c.y == y)
                    cell = c.cell;
            }
            rows += cell + (x + 1 < board::kColumns ? " " : "\n");
        }
    }
    return rows;
}

TEST(AreaBlastTest, RingsGrowWithEachAreaBlastOfAMoveAndHitOnlyPieces) {
    TestBoard t;
    t.board.setRefill(false);
    // A chain: (2, 5) reaches (3, 5) in ring 1; its second blast reaches (5, 5) in ring 2; the third
    // reaches (8, 5) in ring 3; the fourth blasts nothing around it.
    t.set(fillerWith({{2, 5, "a3"}, {3, 5, "b3"}, {5, 5, "c3"}, {8, 5, "d3"}, {1, 4, "#"}, {3, 6, "."}}));
    t.board.markSquareMatched(2, 5);
    Squares m = marked(t.board);
    EXPECT_EQ(t.board.areaBlastsThisMove(), 4);
    EXPECT_EQ(t.board.powerPiecesUsed(), 4);
    EXPECT_EQ(t.board.powerPiecesOnBoard(), 0);
    for (auto s : {std::pair{5, 2}, {2, 2}, {8, 2}, {5, 8}, {2, 8}, {8, 8}, {8, 5}, {3, 3}, {7, 7}})
        EXPECT_TRUE(m.count(s)) << "ring square " << s.first << "," << s.second;
    // Rings 2 and 3 add squares along the lines and diagonals only, and the fourth blast adds nothing.
    for (auto s : {std::pair{4, 2}, {9, 5}, {8, 4}, {8, 6}, {9, 4}})
        EXPECT_FALSE(m.count(s)) << "outside every reach " << s.first << "," << s.second;
    EXPECT_FALSE(m.count({1, 4})) << "a hole is not blasted";
    EXPECT_FALSE(m.count({3, 6})) << "an empty square is not blasted";
    EXPECT_TRUE(t.board.gold(5, 2)) << "a blasted square turns gold at once";
    t.board.pickPiece(0, 0);
    EXPECT_EQ(t.board.areaBlastsThisMove(), 0) << "a press on the board starts a new move";
}

TEST(AreaBlastTest, ThePreviewLightsWhatTheBlastHits) {
    TestBoard t;
    t.board.setRefill(false);
    t.set(fillerWith({{6, 5, "a3"}, {5, 4, "V"}, {6, 4, "b~"}, {7, 4, "."}, {5, 6, "#"}}));
    t.board.previewPower(6, 5);
    std::set<std::pair<int, int>> lit;
    for (const BoardSquare& s : t.log.preview)
        lit.insert({s.x, s.y});
    EXPECT_EQ(lit, (Squares{{6, 4}, {5, 5}, {7, 5}, {6, 6}, {7, 6}})) << "pieces only, a cobwebbed one too";
    t.board.markSquareMatched(6, 5);
    Squares m = marked(t.board);
    m.erase({6, 5});
    EXPECT_EQ(m, lit);
}

// A marked square waits for its removal: nothing falls into it before, so the removal cannot take a
// piece that no match or blast reached.
TEST(LineBlastTest, GravityFillsNoMarkedSquare) {
    TestBoard t;
    t.board.setRefill(false);
    t.set(fillerWith({{5, 9, "."}}));
    int above = t.board.pieceId(5, 8);
    t.board.markSquareMatched(5, 9);
    t.board.gravityStep();
    EXPECT_EQ(t.board.pieceId(5, 8), above);
    EXPECT_EQ(t.board.value(5, 9), board::kEmpty);
    t.board.removeMarkedPieces();
    t.board.gravityStep();
    EXPECT_EQ(t.board.pieceId(5, 9), above);
}

struct LineCase {
    const char* power;
    bool row, column;
    int sound;
};

// Beams clear every square of their lines, over holes and empty squares, exactly once: the pieces
// that fall into the cleared squares afterwards stay.
TEST(LineBlastTest, BeamsCrossHolesGildTheirLinesAndClearEachSquareOnce) {
    for (const LineCase& c :
         {LineCase{"a4", true, false, 11}, LineCase{"a8", false, true, 11}, LineCase{"a5", true, true, 12}}) {
        TestBoard t;
        t.board.setRefill(false);
        t.set(runWithPower(c.power, {{6, 3, "#"}, {10, 3, "#"}, {8, 3, "."}, {1, 6, "#"}, {1, 8, "."}}));
        std::vector<int> above;
        for (int x = 0; x < board::kColumns; ++x)
            above.push_back(x == 1 ? board::kNone : t.board.pieceId(x, 2));
        t.swap(2, 3, 3, 3);
        t.settle();
        EXPECT_EQ(t.log.count(c.sound), 1) << c.power;
        EXPECT_EQ(t.board.beamsInFlight(), 0);
        for (int x = 0; x < board::kColumns; ++x) {
            if (t.board.tileType(x, 3) == board::kTileHole)
                continue;
            EXPECT_EQ(t.board.gold(x, 3), c.row || x <= 2) << c.power << " row square " << x;
        }
        for (int y = 0; y < board::kRows; ++y) {
            if (t.board.tileType(1, y) != board::kTileHole) {
                EXPECT_EQ(t.board.gold(1, y), c.column || y == 3) << c.power << " column square " << y;
            }
        }
        EXPECT_EQ(t.board.tileType(6, 3), board::kTileHole);
        if (!c.column) {
            // The pieces of row 2 fell into row 3 after the beams had passed, and none was taken.
            for (int x = 0; x < board::kColumns; ++x) {
                if (above[static_cast<size_t>(x)] != board::kNone) {
                    EXPECT_NE(t.board.pool().find(above[static_cast<size_t>(x)]), nullptr)
                        << c.power << " " << x;
                }
            }
        }
        EXPECT_EQ(t.failures, 0) << c.power;
    }
}

TEST(LineBlastTest, TheLineWalkGivesAFiveMatchSlotAsWritten) {
    {
        // The first kind counts from 1: its fourth piece puts the slot on the square before it.
        TestBoard t;
        t.board.setRefill(false);
        t.set(fillerWith({{0, 5, "a"}, {1, 5, "a~"}, {2, 5, "v"}, {3, 5, "a"}, {4, 5, "a4"}, {5, 5, "a"}}));
        t.board.markSquareMatched(4, 5);
        EXPECT_EQ(t.board.fiveMatchSlot(0), (BoardSquare{4, 5}))
            << "cobweb and vine skipped, the fourth a at x 5";
        EXPECT_EQ(t.board.fiveMatchSlot(1).x, board::kNone);
    }
    {
        // A later kind counts from 0: four pieces of it are not enough.
        TestBoard t;
        t.board.setRefill(false);
        t.set(fillerWith({{0, 5, "b"}, {1, 5, "a"}, {2, 5, "a"}, {3, 5, "a4"}, {4, 5, "a"}, {5, 5, "c"}}));
        t.board.markSquareMatched(3, 5);
        EXPECT_EQ(t.board.fiveMatchSlot(0).x, board::kNone);
    }
}

TEST(ColourBlastTest, MarksEveryPieceOfItsKindOnceAndStepsMultiTilesOnce) {
    TestBoard t;
    t.board.setRefill(false);
    t.set(fillerWith({{1, 3, "a6"},
                      {0, 3, "a"},
                      {8, 7, "a"},
                      {10, 1, "a7"},
                      {5, 8, "a~"},
                      {11, 8, "a="},
                      {12, 0, "a%"},
                      {6, 6, "a6"},
                      {4, 4, "b"}}));
    t.board.markSquareMatched(1, 3);
    Squares expected = {{1, 3}, {0, 3}, {8, 7}, {10, 1}, {5, 8}, {11, 8}, {12, 0}, {6, 6}};
    EXPECT_EQ(marked(t.board), expected);
    EXPECT_EQ(t.board.piecesPendingRemoval(), 8) << "each square marked once by two colour blasts";
    EXPECT_EQ(t.log.count(13), 2);
    EXPECT_EQ(t.board.powerPiecesUsed(), 3) << "both colour blasts and the clock of their kind fired";
    EXPECT_EQ(t.board.powerPiecesOnBoard(), 0);
    EXPECT_EQ(t.board.tileType(5, 8), board::kTileChanged) << "the cobweb on a blasted square goes";
    t.board.removeMarkedPieces();
    EXPECT_FALSE(t.board.gold(8, 7)) << "a colour blast gilds no plain square";
    EXPECT_FALSE(t.board.gold(6, 6));
    EXPECT_EQ(t.board.tileFrame(11, 8), board::kFrameDoubleHit) << "one step per clearing";
    EXPECT_EQ(t.board.tileFrame(12, 0), board::kFrameTripleHit);
    EXPECT_TRUE(t.board.gold(1, 3)) << "the colour blast's own square clears like a match";
    EXPECT_EQ(BoardInvariants::check(t.board), "");
}

TEST(ClockTest, FreezesTheTimerFor241Frames) {
    TestBoard t;
    t.setRecord(1, 1, {0, 1, 2, 3, 4});
    t.board.setRefill(false);
    t.set(runWithPower("a7"));
    t.swap(2, 3, 3, 3);
    for (int f = 0; f < 50 && t.log.frozen.empty(); ++f)
        t.step();
    ASSERT_EQ(t.log.frozen, std::vector<int>{Board::kClockFreezeFrames});
    EXPECT_EQ(t.log.count(15), 1);
    int timer = t.board.timer();
    t.frames(Board::kClockFreezeFrames);
    EXPECT_EQ(t.board.timer(), timer);
    t.frames(1);
    EXPECT_EQ(t.board.timer(), timer + 1);
}

TEST(RandomBlastTest, StrikesHitNotGoldSquaresAndSpendThemselvesWithoutATarget) {
    {
        // Every square gold but three: the three strikes of a one-square pass find exactly those.
        TestBoard t(11);
        t.board.setRefill(false);
        t.set(fillerWith({{6, 4, "a9*"}, {2, 2, "c"}, {9, 7, "d"}, {4, 9, "e"}}, true));
        t.board.markSquareMatched(6, 4);
        t.board.removeMarkedPieces();
        ASSERT_EQ(t.board.pendingStrikes(), 3);
        for (int s = 0; s < 3; ++s)
            t.board.strikeStep();
        std::set<std::pair<int, int>> struck;
        for (const BoardSquare& s : t.log.strikes)
            struck.insert({s.x, s.y});
        EXPECT_EQ(struck, (Squares{{2, 2}, {9, 7}, {4, 9}}));
        EXPECT_EQ(t.board.pendingStrikes(), 0);
        for (auto [x, y] : struck)
            EXPECT_TRUE(t.board.gold(x, y));
        EXPECT_EQ(t.log.count(10), 3);
    }
    {
        // The only square not gold is marked already: the strikes are spent with no effect.
        TestBoard t;
        t.board.setRefill(false);
        t.set(fillerWith({{0, 0, "a"}}, true));
        t.board.markSquareMatched(0, 0);
        t.board.launchRandomStrikes(2);
        t.board.strikeStep();
        t.board.strikeStep();
        EXPECT_EQ(t.board.pendingStrikes(), 0);
        EXPECT_TRUE(t.log.strikes.empty());
        EXPECT_FALSE(t.board.effectsInFlight());
    }
    {
        // On an all-gold board pending strikes are dropped.
        TestBoard t;
        t.board.setRefill(false);
        t.set(fillerWith({}, true));
        t.board.launchRandomStrikes(4);
        t.board.strikeStep();
        EXPECT_EQ(t.board.pendingStrikes(), 0);
        EXPECT_TRUE(t.log.strikes.empty());
    }
}

TEST(RandomBlastTest, ASwapWithARandomBlastStrikesAndSettles) {
    TestBoard t(3);
    t.board.setRefill(false);
    t.set(runWithPower("a9"));
    t.swap(2, 3, 3, 3);
    t.settle();
    EXPECT_EQ(t.log.strikes.size(), 3u);
    EXPECT_EQ(t.board.goldSquareCount(), 6) << "the run and three struck squares";
    EXPECT_EQ(t.failures, 0);
}

TEST(DragonflyTest, PathsStayOnTheBoardMoveOrthogonallyAndUpTo52Squares) {
    int turns = 0;
    for (auto [x, y] : {std::pair{0, 0}, {12, 0}, {0, 9}, {12, 9}, {6, 4}}) {
        for (uint32_t seed = 1; seed <= 30; ++seed) {
            TestBoard t(seed);
            t.board.setRefill(false);
            t.set(fillerWith({{x, y, "a2"}}));
            std::vector<BoardSquare> path = t.board.dragonflyPath(x, y);
            ASSERT_EQ(path.size(), static_cast<size_t>(Board::kDragonflyPathSquares));
            BoardSquare prev{x, y};
            int dx = 0, dy = 0;
            for (const BoardSquare& s : path) {
                ASSERT_TRUE(board::onBoard(s.x, s.y)) << s.x << "," << s.y;
                ASSERT_EQ(std::abs(s.x - prev.x) + std::abs(s.y - prev.y), 1);
                if ((dx != 0 || dy != 0) && (s.x - prev.x != dx || s.y - prev.y != dy))
                    ++turns;
                dx = s.x - prev.x, dy = s.y - prev.y;
                prev = s;
            }
            EXPECT_EQ(t.board.dragonflyPath(x, y).size(), path.size()) << "the plan is stable";
        }
    }
    EXPECT_GT(turns, 100) << "paths turn at random";
}

TEST(DragonflyTest, AClearedDragonflyFliesItsPlannedPathAndGildsItsSquares) {
    TestBoard t(4);
    t.board.setRefill(false);
    t.set(runWithPower("a2"));
    std::vector<BoardSquare> path = t.board.dragonflyPath(1, 3);
    t.board.previewPower(1, 3);
    std::set<std::pair<int, int>> planned;
    for (const BoardSquare& s : path)
        planned.insert({s.x, s.y});
    EXPECT_EQ(t.log.preview.size(), planned.size()) << "the preview shows the planned path";
    EXPECT_EQ(t.board.powerPiecesOnBoard(), 1);
    t.swap(2, 3, 3, 3);
    bool flew = false;
    for (int f = 0; f < 400 && !(flew && t.board.dragonfliesFlying() == 0); ++f) {
        t.step();
        if (t.board.dragonfliesFlying() > 0) {
            flew = true;
            EXPECT_EQ(t.board.powerPiecesOnBoard(), 1) << "a flying dragonfly counts as a power piece";
        }
    }
    ASSERT_TRUE(flew);
    EXPECT_EQ(t.log.count(14), 1);
    for (auto [x, y] : planned)
        EXPECT_TRUE(t.board.gold(x, y)) << x << "," << y;
    EXPECT_EQ(t.board.powerPiecesOnBoard(), 0);
    t.settle();
    EXPECT_EQ(t.failures, 0);
}

struct FiveCase {
    const char* name;
    Squares squares;
    std::vector<BoardSquare> centres;
};

TEST(FiveMatchTest, EveryShapeAtTheEdgesRecordsItsCentre) {
    std::vector<FiveCase> cases = {
        {"line in the top-left", {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}, {{2, 0}}},
        {"line in the bottom-right", {{8, 9}, {9, 9}, {10, 9}, {11, 9}, {12, 9}}, {{10, 9}}},
        {"line down the left edge", {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}}, {{0, 2}}},
        {"line up the right edge", {{12, 5}, {12, 6}, {12, 7}, {12, 8}, {12, 9}}, {{12, 7}}},
        {"L with its corner bottom-right", {{0, 9}, {1, 9}, {2, 9}, {2, 8}, {2, 7}}, {{2, 9}}},
        {"L with its corner bottom-left", {{10, 0}, {10, 1}, {10, 2}, {11, 2}, {12, 2}}, {{10, 2}}},
        {"L with its corner top-right", {{10, 0}, {11, 0}, {12, 0}, {12, 1}, {12, 2}}, {{12, 0}}},
        {"L with its corner top-left", {{0, 7}, {1, 7}, {2, 7}, {0, 8}, {0, 9}}, {{0, 7}}},
        {"run of six gives two slots", {{0, 5}, {1, 5}, {2, 5}, {3, 5}, {4, 5}, {5, 5}}, {{2, 5}, {3, 5}}},
        {"T is no five-match shape", {{4, 2}, {5, 2}, {6, 2}, {5, 3}, {5, 4}}, {}},
        {"run of four", {{4, 2}, {5, 2}, {6, 2}, {7, 2}}, {}},
    };
    for (const FiveCase& c : cases) {
        TestBoard t;
        t.board.setRefill(false);
        std::vector<CellAt> cells;
        std::string rows = fillerWith({});
        for (auto [x, y] : c.squares)
            rows[static_cast<size_t>((y * board::kColumns + x) * 2)] = 'a';
        t.set(rows);
        ASSERT_EQ(t.board.findMatches(), 1) << c.name;
        t.board.checkFiveMatch();
        for (int s = 0; s < 2; ++s) {
            BoardSquare want = s < static_cast<int>(c.centres.size())
                                   ? c.centres[static_cast<size_t>(s)]
                                   : BoardSquare{board::kNone, board::kNone};
            EXPECT_EQ(t.board.fiveMatchSlot(s), want) << c.name << " slot " << s;
        }
    }
}

TEST(FiveMatchTest, TheCentreGetsADragonflyOnlyWhenAPlainPieceLandsThere) {
    for (const char* centre : {"b", "b7"}) {
        TestBoard t;
        t.board.setRefill(false);
        // Swapping (2, 5) down with the a above makes a line of five; the old (2, 5) falls back there.
        // The c's keep a move on the board, so that it reaches the quiet play state.
        t.set(fillerWith({{0, 5, "a"},
                          {1, 5, "a"},
                          {2, 5, centre},
                          {3, 5, "a"},
                          {4, 5, "a"},
                          {2, 4, "a"},
                          {8, 9, "c"},
                          {9, 9, "c"},
                          {10, 8, "c"}}));
        t.swap(2, 4, 2, 5);
        t.settle();
        t.frames(2);
        bool plain = std::string(centre) == "b";
        int b = t.board.kindCode(1);
        EXPECT_EQ(t.board.value(2, 5), plain ? b + board::kDragonfly : b + board::kClock) << centre;
        EXPECT_EQ(t.board.powerPiecesOnBoard(), 1) << centre;
        EXPECT_EQ(t.board.fiveMatchSlot(0).x, board::kNone) << centre;
        EXPECT_EQ(t.failures, 0) << centre;
    }
}

TEST(PowerDrawTest, TutorialLevelsStartWithTheirPowerAndTheCountFollowsTheBoard) {
    const std::string boards = LUMAROO_BOARDS_DIR;
    LevelTable table;
    std::string error;
    ASSERT_TRUE(table.load(io::joinPath(boards, "leveling.txt"), error)) << error;
    const std::pair<int, int> tutorials[] = {{2, 3}, {4, 8}, {6, 4}, {8, 5}, {14, 9}, {16, 6}, {1, 0}};
    for (auto [level, power] : tutorials) {
        for (uint32_t seed = 1; seed <= 5; ++seed) {
            TestBoard t(seed);
            BoardLayout layout;
            ASSERT_TRUE(BoardLayout::load(BoardLayout::pathFor(boards, level), layout, error)) << error;
            ASSERT_TRUE(t.board.startLevel(level, table.record(level), layout, error)) << error;
            int found = 0, powers = 0;
            for (int x = 0; x < board::kColumns; ++x) {
                for (int y = 0; y < board::kRows; ++y) {
                    int p = board::powerOf(t.board.value(x, y));
                    powers += p != 0 ? 1 : 0;
                    found += p == power ? 1 : 0;
                }
            }
            EXPECT_EQ(powers, power == 0 ? 0 : 1) << "level " << level << " seed " << seed;
            if (power != 0) {
                EXPECT_EQ(found, 1) << "level " << level << " seed " << seed;
            }
            EXPECT_EQ(t.board.powerPiecesOnBoard(), powers) << "level " << level << " seed " << seed;
        }
    }
}

TEST(PowerDrawTest, ChoiceSixGivesNoPieceAndRaisesNoCount) {
    TestBoard t(2);
    LevelRecord r;
    r.kindCount = 5;
    for (int k = 0; k < 5; ++k)
        r.kinds[static_cast<size_t>(k)] = k;
    r.powerAllowed[6] = 1;
    r.maxPowerPieces = 3;
    r.powerChanceStart = 1000;
    t.board.setRecord(r);
    std::string rows;
    for (int y = 0; y < board::kRows; ++y)
        rows += ". . . . . . . . . . . . .\n";
    t.set(rows);
    t.settle();
    EXPECT_EQ(t.board.powerPiecesOnBoard(), 0);
    for (int x = 0; x < board::kColumns; ++x) {
        for (int y = 0; y < board::kRows; ++y)
            EXPECT_FALSE(board::isPowerValue(t.board.value(x, y)));
    }
}

// Long games on real levels with every power in the draw, late in the timer so clocks appear too: the
// harness checks the invariants, the count of power pieces among them, after every frame.
TEST(PowerDrawTest, TheCountOfPowerPiecesHoldsOverLongSeededGames) {
    const std::string boards = LUMAROO_BOARDS_DIR;
    LevelTable table;
    std::string error;
    ASSERT_TRUE(table.load(io::joinPath(boards, "leveling.txt"), error)) << error;
    int used = 0;
    for (int level : {16, 33, 47, 58}) {
        for (uint32_t seed = 1; seed <= 2; ++seed) {
            TestBoard t(seed * 7 + static_cast<uint32_t>(level));
            BoardLayout layout;
            ASSERT_TRUE(BoardLayout::load(BoardLayout::pathFor(boards, level), layout, error)) << error;
            LevelRecord r = table.record(level);
            r.maxPowerPieces = 6;
            r.powerChanceStart = 200;
            ASSERT_TRUE(t.board.startLevel(level, r, layout, error)) << error;
            t.board.setTimer(250);
            t.frames(30);
            for (int move = 0; move < 40 && !t.board.finished(); ++move) {
                t.settle();
                if (t.board.finished() || !t.board.hint().valid())
                    break;
                SwapMove h = t.board.hint();
                t.swap(h.x1, h.y1, h.x2, h.y2);
                t.board.setTimer(std::min(t.board.timer(), 320));
            }
            t.settle();
            used += t.board.powerPiecesUsed();
            ASSERT_EQ(t.failures, 0) << "level " << level << " seed " << seed;
        }
    }
    EXPECT_GT(used, 20) << "powers fired";
}

}  // namespace
