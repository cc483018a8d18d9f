// The level table and layout readers, and level start on every real layout.
#include <gtest/gtest.h>

#include <string>

#include "BoardHarness.h"
#include "game/rules/BoardLayout.h"
#include "game/rules/LevelTable.h"
#include "io/ByteArrayInputStream.h"
#include "io/Path.h"
#include "lang/ResourceFile.h"

namespace {

class MemoryItem : public lang::ResourceItem {
public:
    explicit MemoryItem(std::string bytes) : bytes_(std::move(bytes)) {}
    const uint8_t* getData() const override { return reinterpret_cast<const uint8_t*>(bytes_.data()); }
    int getLength() const override { return static_cast<int>(bytes_.size()); }

private:
    std::string bytes_;
};

lang::Ref<io::ByteArrayInputStream> streamOver(const std::string& bytes) {
    auto item = lang::make<MemoryItem>(bytes);
    return lang::make<io::ByteArrayInputStream>(item.get());
}

const std::string kBoards = LUMAROO_BOARDS_DIR;

// One record line: level number, step 1, tick 10, kinds 0..4, no powers.
std::string record(int n, const std::string& tick = "10",
                   const std::string& flags = "1 1 1 1 1 0 0 0 0 0 0 0 0 0 0 0 0 0") {
    return std::to_string(n) + " 1 " + tick + " " + flags + " 0 0 0 0 0 0 0 1 10\n";
}

std::string table(int brokenRecord = 0, const std::string& tick = "10",
                  const std::string& flags = "1 1 1 1 1 0 0 0 0 0 0 0 0 0 0 0 0 0") {
    std::string text = "; a test table\n";
    for (int r = 1; r <= LevelTable::kRecordCount; ++r)
        text += r == brokenRecord ? record(r, tick, flags) : record(r);
    return text;
}

std::string readError(const std::string& text) {
    LevelTable t;
    std::string error;
    auto stream = streamOver(text);
    EXPECT_FALSE(t.read(stream.get(), "boards/leveling.txt", error));
    EXPECT_FALSE(t.loaded());
    return error;
}

TEST(LevelTableTest, TheRealTableLoadsWithAPlayableCurve) {
    LevelTable t;
    std::string error;
    ASSERT_TRUE(t.load(io::joinPath(kBoards, "leveling.txt"), error)) << error;
    EXPECT_EQ(t.record(1).kindCount, 5);
    EXPECT_EQ(t.record(60).kindCount, 7);
    for (int r = 1; r <= LevelTable::kRecordCount; ++r) {
        EXPECT_GE(t.record(r).timerTickFrames, 1) << "record " << r;
        EXPECT_GE(t.record(r).kindCount, 3) << "record " << r;
        EXPECT_LE(t.record(r).kindCount, 7) << "record " << r;
    }
    // Less time per stage: a later stage's timer never runs slower.
    for (int level = 6; level <= 60; ++level) {
        const LevelRecord& a = t.record(level - 5);
        const LevelRecord& b = t.record(level);
        EXPECT_LE(a.timerStep * b.timerTickFrames, b.timerStep * a.timerTickFrames) << "level " << level;
    }
}

TEST(LevelTableTest, ReadsFieldsInOrderIgnoringCommentsAndLineBreaks) {
    std::string text = table();
    text.replace(text.find("2 1 10"), 6, "2 ; level two\n 3\n 0x8");
    LevelTable t;
    std::string error;
    auto stream = streamOver(text);
    ASSERT_TRUE(t.read(stream.get(), "leveling.txt", error)) << error;
    EXPECT_EQ(t.record(2).timerStep, 3);
    EXPECT_EQ(t.record(2).timerTickFrames, 8);
    EXPECT_EQ(t.record(2).kindCount, 5);
    EXPECT_EQ(t.record(2).kinds[4], 4);
    EXPECT_EQ(t.record(2).kinds[5], -1);
    EXPECT_EQ(t.record(72).maxPowerPieces, 1);
    EXPECT_EQ(t.record(72).powerChanceStart, 10);
}

TEST(LevelTableTest, RejectsBadRecordsNamingFileRecordAndLine) {
    std::string e = readError(table(3, "0"));
    EXPECT_NE(e.find("boards/leveling.txt"), std::string::npos) << e;
    EXPECT_NE(e.find("record 3"), std::string::npos) << e;
    EXPECT_NE(e.find("line 4"), std::string::npos) << e;
    EXPECT_NE(e.find("timerTickFrames"), std::string::npos) << e;

    e = readError(table(5, "10", "1 1 1 1 1 1 1 1 0 0 0 0 0 0 0 0 0 0"));
    EXPECT_NE(e.find("record 5"), std::string::npos) << e;
    EXPECT_NE(e.find("more than 7"), std::string::npos) << e;

    e = readError(table(6, "10", "1 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0"));
    EXPECT_NE(e.find("at least 3"), std::string::npos) << e;

    e = readError(table(7, "ten"));
    EXPECT_NE(e.find("record 7, timerTickFrames"), std::string::npos) << e;
    EXPECT_NE(e.find("line 8"), std::string::npos) << e;
    EXPECT_NE(e.find("\"ten\""), std::string::npos) << e;

    e = readError(table(8, "2.5"));
    EXPECT_NE(e.find("whole number"), std::string::npos) << e;

    std::string shortTable = table();
    shortTable.resize(shortTable.size() / 2);
    e = readError(shortTable);
    EXPECT_NE(e.find("ends early"), std::string::npos) << e;

    e = readError(table() + "73\n");
    EXPECT_NE(e.find("more numbers after record 72"), std::string::npos) << e;
}

TEST(LevelTableTest, AFailedLoadKeepsTheOldTable) {
    LevelTable t;
    std::string error;
    auto good = streamOver(table());
    ASSERT_TRUE(t.read(good.get(), "a", error));
    auto bad = streamOver(table(9, "0"));
    EXPECT_FALSE(t.read(bad.get(), "b", error));
    EXPECT_TRUE(t.loaded());
    EXPECT_EQ(t.record(9).timerTickFrames, 10);
    EXPECT_FALSE(t.load("/nonexistent/leveling.txt", error));
    EXPECT_EQ(error, "/nonexistent/leveling.txt: cannot be opened");
}

TEST(LevelTableTest, StagesAndBonusRecords) {
    EXPECT_EQ(LevelTable::stageOfLevel(1), 1);
    EXPECT_EQ(LevelTable::stageOfLevel(5), 1);
    EXPECT_EQ(LevelTable::stageOfLevel(6), 2);
    EXPECT_EQ(LevelTable::stageOfLevel(56), 12);
    EXPECT_EQ(LevelTable::stageOfLevel(60), 12);
    EXPECT_EQ(LevelTable::stageOfLevel(61), 13);
    EXPECT_EQ(LevelTable::stageOfLevel(65), 13);
    EXPECT_EQ(LevelTable::stageOfLevel(66), 1);
    EXPECT_EQ(LevelTable::bonusRecordForLevel(5), 61);
    EXPECT_EQ(LevelTable::bonusRecordForLevel(60), 72);
    EXPECT_EQ(LevelTable::bonusRecordForLevel(7), 0);
}

TEST(BoardLayoutTest, CountsNumbersNotLinesAndSkipsWordsAndComments) {
    std::string text = "; comment\nrow zero \"quoted\" 0 2 3 4 5 6 1 -1 7 0 0 0 0 0\n";  // 14 numbers
    for (int i = 14; i < board::kSquares; ++i)
        text += i % 13 == 0 ? "\n0" : " 0";
    BoardLayout layout;
    std::string error;
    auto stream = streamOver(text);
    ASSERT_TRUE(BoardLayout::read(stream.get(), "board1.txt", layout, error)) << error;
    EXPECT_EQ(layout.code(1, 0), 2);
    EXPECT_EQ(layout.code(6, 0), 1);
    EXPECT_EQ(layout.code(7, 0), -1);
    EXPECT_EQ(layout.code(8, 0), 7);
    EXPECT_EQ(layout.code(0, 1), 0);  // the 14th number starts the second row

    TestBoard t;
    LevelRecord r = t.board.record();
    ASSERT_TRUE(t.board.startLevel(1, r, layout, error)) << error;
    EXPECT_EQ(t.board.tileType(1, 0), board::kTileCobweb);
    EXPECT_EQ(t.board.value(2, 0), board::kTwoVines);
    EXPECT_EQ(t.board.value(3, 0), board::kOneVine);
    EXPECT_EQ(t.board.tileType(4, 0), board::kTileDouble);
    EXPECT_EQ(t.board.tileFrame(5, 0), board::kFrameTriple);
    for (int x : {6, 7, 8})
        EXPECT_EQ(t.board.value(x, 0), board::kHole) << "code at column " << x << " is a hole";
    EXPECT_EQ(t.board.playableSquares(), board::kSquares - 3);
}

TEST(BoardLayoutTest, AShortLayoutIsAnErrorAndChangesNothing) {
    BoardLayout layout;
    layout.codes.fill(5);
    std::string error;
    auto stream = streamOver("0 0 0\n0 0\n");
    EXPECT_FALSE(BoardLayout::read(stream.get(), "boards/board7.txt", layout, error));
    EXPECT_NE(error.find("boards/board7.txt: line 3"), std::string::npos) << error;
    EXPECT_NE(error.find("5 of 130"), std::string::npos) << error;
    EXPECT_EQ(layout.code(0, 0), 5);
    EXPECT_FALSE(BoardLayout::load(BoardLayout::pathFor("/nonexistent", 7), layout, error));
    EXPECT_EQ(error, "/nonexistent/board7.txt: cannot be opened");
}

TEST(BoardStartTest, ABadLevelOrAnUnplayableLayoutLeavesTheBoardAsItWas) {
    TestBoard t;
    BoardLayout layout;
    std::string error;
    ASSERT_TRUE(t.board.startLevel(3, t.board.record(), layout, error)) << error;
    std::string before = t.text();
    int score = t.board.score();

    EXPECT_FALSE(t.board.startLevel(61, t.board.record(), layout, error));
    EXPECT_NE(error.find("61"), std::string::npos);
    // Only two squares: no move can ever exist.
    BoardLayout tiny;
    tiny.codes.fill(1);
    tiny.codes[0] = tiny.codes[1] = 0;
    EXPECT_FALSE(t.board.startLevel(4, t.board.record(), tiny, error));
    EXPECT_NE(error.find("no first board with a move"), std::string::npos) << error;
    EXPECT_EQ(t.text(), before);
    EXPECT_EQ(t.board.level(), 3);
    EXPECT_EQ(t.board.score(), score);
    EXPECT_EQ(BoardInvariants::check(t.board), "");
}

// Every real layout, many seeds: the first board holds no run, holds a move and keeps the invariants.
TEST(BoardStartTest, FirstBoardsOfEveryLayoutHaveNoRunAndAMove) {
    LevelTable table;
    std::string error;
    ASSERT_TRUE(table.load(io::joinPath(kBoards, "leveling.txt"), error)) << error;
    for (int level = 1; level <= 60; ++level) {
        BoardLayout layout;
        std::string path = BoardLayout::pathFor(kBoards, level);
        ASSERT_TRUE(BoardLayout::load(path, layout, error)) << error;
        for (uint32_t seed = 1; seed <= 12; ++seed) {
            TestBoard t(seed * 7919 + static_cast<uint32_t>(level));
            ASSERT_TRUE(t.board.startLevel(level, table.record(level), layout, error))
                << path << ": " << error;
            EXPECT_EQ(t.board.findMatches(), 0) << path << " seed " << seed << "\n" << t.text();
            EXPECT_TRUE(t.board.hasMove()) << path << " seed " << seed;
            EXPECT_EQ(t.board.state(), Board::kPlay);
            EXPECT_EQ(BoardInvariants::check(t.board), "") << path << " seed " << seed;
            for (int x = 0; x < board::kColumns; ++x) {
                for (int y = 0; y < board::kRows; ++y) {
                    if (t.board.isVineSquare(x, y)) {
                        EXPECT_LT(t.board.value(x, y), 0) << path << ": a vine square got a piece";
                    }
                }
            }
        }
    }
}

TEST(BoardStartTest, TheSameSeedReplaysTheSameFirstBoard) {
    BoardLayout layout;
    std::string error;
    TestBoard a(42), b(42), c(43);
    ASSERT_TRUE(a.board.startLevel(1, a.board.record(), layout, error));
    ASSERT_TRUE(b.board.startLevel(1, b.board.record(), layout, error));
    ASSERT_TRUE(c.board.startLevel(1, c.board.record(), layout, error));
    EXPECT_EQ(a.text(), b.text());
    EXPECT_NE(a.text(), c.text());
}

}  // namespace
