// The shipped level data: every layout and the level table checked against the rules a level designer
// must keep, each failure naming the file and line. The checks also run on broken samples, so that a
// check that stopped finding its fault shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/rules/Board.h"
#include "game/rules/BoardLayout.h"
#include "game/rules/LevelTable.h"
#include "io/Path.h"
#include "util/Random.h"

namespace {

using namespace board;

const std::string kBoards = LUMAROO_BOARDS_DIR;

// Layout codes with a rule of their own.
constexpr int kCodeSquare = 0;
constexpr int kCodeHole = 1;
constexpr int kCodeCobweb = 2;
constexpr int kCodeTwoVines = 3;
constexpr int kCodeOneVine = 4;
constexpr int kCodeDouble = 5;
constexpr int kCodeTriple = 6;

// A data file as numbers with the line each stands on, and its comments.
struct DataFile {
    struct Number {
        int value;
        int line;
    };
    std::string name;
    std::vector<Number> numbers;
    std::vector<std::string> comments;
    bool startsWithComment = false;
    int lines = 0;
    std::string problem;  // the first token that is not a whole number
};

DataFile parseData(const std::string& name, const std::string& text) {
    DataFile file;
    file.name = name;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        ++file.lines;
        size_t semicolon = line.find(';');
        if (semicolon != std::string::npos) {
            file.comments.push_back(line.substr(semicolon + 1));
            if (file.lines == 1 && line.find_first_not_of(" \t") == semicolon)
                file.startsWithComment = true;
            line.resize(semicolon);
        }
        std::istringstream words(line);
        std::string word;
        while (words >> word) {
            int value = 0;
            auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
            if (ec != std::errc() || end != word.data() + word.size()) {
                if (file.problem.empty())
                    file.problem = name + ": line " + std::to_string(file.lines) + ": \"" + word +
                                   "\" is not a whole number (only numbers and ';' comments belong here)";
                continue;
            }
            file.numbers.push_back({value, file.lines});
        }
    }
    return file;
}

DataFile readData(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return DataFile{path, {}, {}, false, 0, path + ": cannot be opened"};
    std::ostringstream text;
    text << in.rdbuf();
    return parseData(path, text.str());
}

bool commentsSay(const DataFile& file, const std::string& words) {
    for (const std::string& c : file.comments) {
        if (c.find(words) != std::string::npos)
            return true;
    }
    return false;
}

// The layout codes by square (x * 10 + y), as the game reads them; only for a file of 130 numbers.
BoardLayout layoutOf(const DataFile& file) {
    BoardLayout layout;
    for (int n = 0; n < kSquares && n < static_cast<int>(file.numbers.size()); ++n)
        layout.codes[static_cast<size_t>(squareIndex(n % kColumns, n / kColumns))] =
            file.numbers[static_cast<size_t>(n)].value;
    return layout;
}

int lineOf(const DataFile& file, int x, int y) {
    return file.numbers[static_cast<size_t>(y * kColumns + x)].line;
}

std::string at(const DataFile& file, int x, int y) {
    return file.name + ": line " + std::to_string(lineOf(file, x, y)) + ": column " + std::to_string(x) +
           ", row " + std::to_string(y) + ": ";
}

bool holdsPiece(int code) {
    return code == kCodeSquare || code == kCodeCobweb || code == kCodeDouble || code == kCodeTriple;
}

// What a layout must keep on its own: the grammar, the codes, a web that can be torn, a square that can
// be matched.
std::vector<std::string> layoutProblems(const DataFile& file) {
    std::vector<std::string> problems;
    if (!file.problem.empty())
        problems.push_back(file.problem);
    if (!file.startsWithComment)
        problems.push_back(file.name + ": line 1: a layout opens with a comment saying what the level shows");
    int count = static_cast<int>(file.numbers.size());
    if (count != kSquares) {
        int line = count > kSquares ? file.numbers[kSquares].line : file.lines;
        problems.push_back(file.name + ": line " + std::to_string(line) + ": " + std::to_string(count) +
                           " numbers; a layout holds " + std::to_string(kSquares));
        return problems;
    }
    BoardLayout layout = layoutOf(file);
    auto code = [&](int x, int y) { return onBoard(x, y) ? layout.code(x, y) : kCodeHole; };
    for (int y = 0; y < kRows; ++y) {
        for (int x = 0; x < kColumns; ++x) {
            int c = code(x, y);
            if (c < 0 || c > kCodeTriple) {
                problems.push_back(at(file, x, y) + "code " + std::to_string(c) + " is not a layout code 0..6");
                continue;
            }
            if (c == kCodeCobweb && code(x - 1, y) != kCodeSquare && code(x + 1, y) != kCodeSquare &&
                code(x, y - 1) != kCodeSquare && code(x, y + 1) != kCodeSquare)
                problems.push_back(at(file, x, y) + "a cobweb with no ordinary square beside it is never torn");
            if (!holdsPiece(c))
                continue;
            // Some line of three squares that hold pieces runs through the square.
            bool inLine = false;
            for (int shift = 0; shift < 3 && !inLine; ++shift) {
                bool across = true, down = true;
                for (int k = 0; k < 3; ++k) {
                    across = across && holdsPiece(code(x - shift + k, y));
                    down = down && holdsPiece(code(x, y - shift + k));
                }
                inLine = across || down;
            }
            if (!inLine)
                problems.push_back(at(file, x, y) + "the square is on no line of three and never turns gold");
        }
    }
    return problems;
}

// Squares the first board leaves cut off: allowed only where the file's comment says it is on purpose.
std::vector<std::string> cutOffProblems(const DataFile& file, int level, const LevelRecord& record) {
    util::Random random(static_cast<uint32_t>(level));
    Board board(random);
    std::string error;
    if (!board.startLevel(level, record, layoutOf(file), error))
        return {file.name + ": " + error};
    if (commentsSay(file, "cut off on purpose"))
        return {};
    std::vector<std::string> problems;
    for (int y = 0; y < kRows; ++y) {
        for (int x = 0; x < kColumns; ++x) {
            if (board.value(x, y) == kCutOff)
                problems.push_back(at(file, x, y) + "no falling piece reaches this square at the start");
        }
    }
    return problems;
}

// The special squares of a layout, one bit per code 2..6.
unsigned specialSquares(const BoardLayout& layout) {
    unsigned found = 0;
    for (int c : layout.codes) {
        if (c >= kCodeCobweb && c <= kCodeTriple)
            found |= 1u << c;
    }
    return found;
}

struct Teaching {
    int level;
    const char* words;  // what the level's opening comment says it brings
};
// The levels that bring a power piece with its explanation, by the record's power choice.
constexpr int kPowerChoices = 6;
const Teaching kPowerLevels[kPowerChoices] = {{16, "colour blast"}, {8, "crosshair blast"}, {4, "column blast"},
                                              {6, "row blast"},     {2, "area blast"},      {14, "random blast"}};
const char* const kSquareWords[kCodeTriple + 1] = {"", "", "cobweb", "two vines", "vine", "double", "triple"};

bool teachesPower(int level) {
    for (const Teaching& t : kPowerLevels) {
        if (t.level == level)
            return true;
    }
    return false;
}

// Over the levels in order: each special square arrives on a level of its own that is no power piece's
// level and whose opening comment names it, and no two levels share a shape.
std::vector<std::string> sequenceProblems(const std::vector<DataFile>& files) {
    std::vector<std::string> problems;
    unsigned seen = 0;
    std::set<std::vector<bool>> shapes;
    for (size_t i = 0; i < files.size(); ++i) {
        const DataFile& file = files[i];
        int level = static_cast<int>(i) + 1;
        BoardLayout layout = layoutOf(file);
        unsigned fresh = specialSquares(layout) & ~seen;
        seen |= fresh;
        std::string opening = file.comments.empty() ? "" : file.comments.front();
        int count = 0;
        for (int c = kCodeCobweb; c <= kCodeTriple; ++c) {
            if ((fresh & (1u << c)) == 0)
                continue;
            ++count;
            if (opening.find(kSquareWords[c]) == std::string::npos)
                problems.push_back(file.name + ": line 1: the level brings code " + std::to_string(c) +
                                   " and its opening comment should say \"" + kSquareWords[c] + "\"");
        }
        if (count > 1)
            problems.push_back(file.name + ": brings " + std::to_string(count) +
                               " new special squares at once; one a level, so each gets its explanation");
        if (count > 0 && teachesPower(level))
            problems.push_back(file.name + ": brings a new special square on a power piece's level");
        std::vector<bool> holes;
        for (int c : layout.codes)
            holes.push_back(c < kCodeSquare || c == kCodeHole || c > kCodeTriple);
        if (!shapes.insert(holes).second)
            problems.push_back(file.name + ": the same shape (holes) as an earlier level");
    }
    return problems;
}

// The table's curve: power pieces from the level that explains them, 5 kinds rising to 7, and never more
// time in a stage than in the stage before. `lines` holds the line of each record's first number.
std::vector<std::string> tableProblems(const std::vector<LevelRecord>& records, const std::vector<int>& lines,
                                       const std::string& name) {
    std::vector<std::string> problems;
    auto where = [&](int level) {
        return name + ": line " + std::to_string(lines[static_cast<size_t>(level - 1)]) + ": level " +
               std::to_string(level) + ": ";
    };
    auto record = [&](int level) -> const LevelRecord& { return records[static_cast<size_t>(level - 1)]; };
    for (int c = 0; c < kPowerChoices; ++c) {
        const Teaching& t = kPowerLevels[c];
        for (int level = 1; level <= LevelTable::kRegularLevels; ++level) {
            bool allowed = record(level).powerAllowed[static_cast<size_t>(c)] > 0;
            if (level == t.level && (!allowed || record(level).maxPowerPieces < 1))
                problems.push_back(where(level) + "the " + t.words + " is explained here and must be allowed");
            if (level < t.level && allowed)
                problems.push_back(where(level) + "the " + t.words + " is allowed before level " +
                                   std::to_string(t.level) + " explains it");
        }
    }
    if (record(1).kindCount != 5)
        problems.push_back(where(1) + "the first level plays 5 kinds");
    if (record(LevelTable::kRegularLevels).kindCount != kMaxKindsInPlay)
        problems.push_back(where(LevelTable::kRegularLevels) + "the last level plays 7 kinds");
    for (int level = 1; level <= LevelTable::kRegularLevels; ++level) {
        int kinds = record(level).kindCount;
        if (kinds < 5 || kinds > kMaxKindsInPlay)
            problems.push_back(where(level) + std::to_string(kinds) + " kinds; a level plays 5 to 7");
        if (level > 1 && kinds < record(level - 1).kindCount)
            problems.push_back(where(level) + "fewer kinds than the level before");
    }
    // The time a level gives, in frames: the timer fills at 400.
    auto frames = [&](int level) {
        const LevelRecord& r = record(level);
        return r.timerStep <= 0 ? 1e12 : 400.0 * r.timerTickFrames / r.timerStep;
    };
    double previousLongest = 0, previousMean = 0;
    for (int stage = 1; stage <= 12; ++stage) {
        double longest = 0, mean = 0;
        for (int level = stage * 5 - 4; level <= stage * 5; ++level) {
            longest = std::max(longest, frames(level));
            mean += frames(level) / 5;
            if (stage > 1 && frames(level) > previousLongest)
                problems.push_back(where(level) + "more time than any level of stage " + std::to_string(stage - 1));
        }
        if (stage > 1 && mean > previousMean)
            problems.push_back(where(stage * 5 - 4) + "stage " + std::to_string(stage) +
                               " gives more time on average than the stage before");
        previousLongest = longest;
        previousMean = mean;
    }
    return problems;
}

std::string joined(const std::vector<std::string>& problems) {
    std::string text;
    for (const std::string& p : problems)
        text += p + "\n";
    return text;
}

std::vector<DataFile> realLayouts() {
    std::vector<DataFile> files;
    for (int level = 1; level <= LevelTable::kRegularLevels; ++level)
        files.push_back(readData(BoardLayout::pathFor(kBoards, level)));
    return files;
}

struct RealTable {
    LevelTable table;
    std::vector<LevelRecord> records;
    std::vector<int> lines;
    std::string name = io::joinPath(kBoards, "leveling.txt");
};

// The real table through the game's reader, with the line of each record from the file itself.
void loadRealTable(RealTable& real) {
    std::string error;
    ASSERT_TRUE(real.table.load(real.name, error)) << error;
    DataFile file = readData(real.name);
    ASSERT_EQ(file.problem, "");
    ASSERT_EQ(file.numbers.size(), static_cast<size_t>(LevelTable::kRecordCount * LevelTable::kFieldsPerRecord));
    for (int r = 1; r <= LevelTable::kRecordCount; ++r) {
        real.records.push_back(real.table.record(r));
        real.lines.push_back(file.numbers[static_cast<size_t>((r - 1) * LevelTable::kFieldsPerRecord)].line);
    }
}

TEST(LevelDataTest, EveryLayoutKeepsTheGrammarAndItsSquaresCanTurnGold) {
    for (const DataFile& file : realLayouts()) {
        EXPECT_EQ(joined(layoutProblems(file)), "");
        // The game's own reader sees the same codes.
        BoardLayout read;
        std::string error;
        ASSERT_TRUE(BoardLayout::load(file.name, read, error)) << error;
        EXPECT_EQ(read.codes, layoutOf(file).codes) << file.name;
    }
}

TEST(LevelDataTest, NoSquareIsCutOffWhenALevelStarts) {
    RealTable real;
    ASSERT_NO_FATAL_FAILURE(loadRealTable(real));
    std::vector<DataFile> files = realLayouts();
    for (int level = 1; level <= LevelTable::kRegularLevels; ++level)
        EXPECT_EQ(joined(cutOffProblems(files[static_cast<size_t>(level - 1)], level, real.table.record(level))), "");
}

TEST(LevelDataTest, SpecialSquaresArriveOneALevelOnShapesOfTheirOwn) {
    std::vector<DataFile> files = realLayouts();
    EXPECT_EQ(joined(sequenceProblems(files)), "");
    // The power levels say which power they bring.
    for (const Teaching& t : kPowerLevels) {
        const DataFile& file = files[static_cast<size_t>(t.level - 1)];
        ASSERT_FALSE(file.comments.empty()) << file.name;
        EXPECT_NE(file.comments.front().find(t.words), std::string::npos) << file.name << ": line 1";
    }
    // Every special square shows up somewhere.
    unsigned all = 0;
    for (const DataFile& file : files)
        all |= specialSquares(layoutOf(file));
    EXPECT_EQ(all, 0x7cu);
}

TEST(LevelDataTest, TheTableBringsPowersKindsAndPaceInStep) {
    RealTable real;
    ASSERT_NO_FATAL_FAILURE(loadRealTable(real));
    EXPECT_EQ(joined(tableProblems(real.records, real.lines, real.name)), "");
}

// A layout text: 10 rows of 13 codes, `rows` replacing the first rows.
std::string layoutText(const std::vector<std::string>& rows, const std::string& opening = "; a test board") {
    std::string text = opening + "\n";
    for (int y = 0; y < kRows; ++y)
        text += y < static_cast<int>(rows.size()) ? rows[static_cast<size_t>(y)] + "\n"
                                                  : "0 0 0 0 0 0 0 0 0 0 0 0 0\n";
    return text;
}

bool anyContains(const std::vector<std::string>& problems, const std::string& words) {
    for (const std::string& p : problems) {
        if (p.find(words) != std::string::npos)
            return true;
    }
    return false;
}

TEST(LevelDataChecksTest, FindBrokenLayoutsByFileAndLine) {
    EXPECT_EQ(joined(layoutProblems(parseData("good.txt", layoutText({})))), "");

    auto p = layoutProblems(parseData("b.txt", layoutText({"0 0 0 0 0 0 0 0 0 0 0 0 0", "0 0 0 0 0 0 0 0 0 0 0 0 hole"})));
    EXPECT_TRUE(anyContains(p, "b.txt: line 3: \"hole\" is not a whole number")) << joined(p);
    EXPECT_TRUE(anyContains(p, "129 numbers")) << joined(p);

    p = layoutProblems(parseData("b.txt", layoutText({"0 0 0 0 0 0 0 0 0 0 0 0 0 0"})));
    EXPECT_TRUE(anyContains(p, "b.txt: line 11: 131 numbers")) << joined(p);

    p = layoutProblems(parseData("b.txt", layoutText({}).substr(15)));
    EXPECT_TRUE(anyContains(p, "b.txt: line 1: a layout opens with a comment")) << joined(p);

    p = layoutProblems(parseData("b.txt", layoutText({"0 0 0 0 0 0 0 0 0 0 0 0 0", "0 0 0 7 0 0 0 0 0 0 0 0 0"})));
    EXPECT_TRUE(anyContains(p, "b.txt: line 3: column 3, row 1: code 7")) << joined(p);

    // A web walled in by holes and other webs, and a square with only two neighbours in line.
    p = layoutProblems(parseData("b.txt", layoutText({"2 2 1 0 0 0 0 0 0 0 0 0 0", "1 2 1 1 1 0 0 0 0 0 0 0 0",
                                                      "0 0 0 0 1 0 0 0 0 0 0 0 0"})));
    EXPECT_TRUE(anyContains(p, "line 2: column 0, row 0: a cobweb with no ordinary square")) << joined(p);
    EXPECT_TRUE(anyContains(p, "line 2: column 1, row 0: a cobweb with no ordinary square")) << joined(p);
    EXPECT_FALSE(anyContains(p, "column 1, row 1: a cobweb")) << joined(p);
    EXPECT_TRUE(anyContains(p, "line 2: column 0, row 0: the square is on no line of three")) << joined(p);
    EXPECT_FALSE(anyContains(p, "column 3, row 0: the square")) << joined(p);
    // Vines hold no piece and cut lines as holes do.
    p = layoutProblems(parseData("b.txt", layoutText({"4 0 4 0 0 0 0 0 0 0 0 0 0", "3 1 1 0 0 0 0 0 0 0 0 0 0"})));
    EXPECT_TRUE(anyContains(p, "column 1, row 0: the square is on no line of three")) << joined(p);
}

TEST(LevelDataChecksTest, FindSquaresCutOffBehindVinesUnlessOnPurpose) {
    LevelRecord record;
    record.timerStep = 1;
    record.timerTickFrames = 10;
    record.kindCount = 5;
    record.kinds = {0, 1, 2, 3, 4, -1, -1};
    // A single vine in a wall of holes: nothing falls past it into the rows below.
    std::vector<std::string> walled = {"0 0 0 0 0 0 0 0 0 0 0 0 0", "0 0 0 0 0 0 0 0 0 0 0 0 0",
                                       "0 0 0 0 0 0 0 0 0 0 0 0 0", "1 1 1 1 1 1 4 1 1 1 1 1 1"};
    auto p = cutOffProblems(parseData("v.txt", layoutText(walled)), 3, record);
    EXPECT_TRUE(anyContains(p, "v.txt: line 6: column 6, row 4: no falling piece reaches")) << joined(p);
    EXPECT_TRUE(anyContains(p, "v.txt: line 7: column 6, row 5")) << joined(p);
    EXPECT_EQ(p.size(), 4u) << joined(p);
    EXPECT_EQ(cutOffProblems(parseData("v.txt", layoutText(walled, "; a vault: cut off on purpose")), 3, record),
              std::vector<std::string>{});
    // The same vine with open squares beside it: pieces slide round it.
    walled[3] = "1 1 1 1 1 0 4 0 1 1 1 1 1";
    EXPECT_EQ(joined(cutOffProblems(parseData("v.txt", layoutText(walled)), 3, record)), "");
}

TEST(LevelDataChecksTest, FindSpecialSquaresArrivingTogetherOrUnannounced) {
    std::vector<DataFile> files;
    auto add = [&](std::vector<std::string> rows, const std::string& opening) {
        files.push_back(parseData("board" + std::to_string(files.size() + 1) + ".txt", layoutText(rows, opening)));
    };
    add({"1 0 0 0 0 0 0 0 0 0 0 0 0"}, "; plain");
    add({"0 1 0 0 0 0 0 0 0 0 0 0 0", "0 2 0 0 0 0 0 0 0 0 0 0 0"}, "; area blast and a cobweb");
    add({"0 0 1 0 0 0 0 0 0 0 0 0 0", "0 5 6 0 0 0 0 0 0 0 0 0 0"}, "; double tiles");
    add({"1 0 0 0 0 0 0 0 0 0 0 0 0", "0 5 2 0 0 0 0 0 0 0 0 0 0"}, "; old friends");
    auto p = sequenceProblems(files);
    EXPECT_TRUE(anyContains(p, "board2.txt: brings a new special square on a power piece's level")) << joined(p);
    EXPECT_TRUE(anyContains(p, "board3.txt: brings 2 new special squares")) << joined(p);
    EXPECT_TRUE(anyContains(p, "board3.txt: line 1: the level brings code 6")) << joined(p);
    EXPECT_FALSE(anyContains(p, "code 5")) << joined(p);
    EXPECT_TRUE(anyContains(p, "board4.txt: the same shape (holes) as an earlier level")) << joined(p);
    EXPECT_EQ(p.size(), 4u) << joined(p);
}

TEST(LevelDataChecksTest, FindTablesOutOfStep) {
    RealTable real;
    ASSERT_NO_FATAL_FAILURE(loadRealTable(real));
    auto broken = [&](auto change) {
        std::vector<LevelRecord> records = real.records;
        change(records);
        return tableProblems(records, real.lines, "leveling.txt");
    };
    std::string line8 = "leveling.txt: line " + std::to_string(real.lines[7]) + ": level 8: ";
    auto p = broken([](auto& r) { r[7].powerAllowed[1] = 0; });
    EXPECT_TRUE(anyContains(p, line8 + "the crosshair blast is explained here")) << joined(p);
    p = broken([](auto& r) { r[12].powerAllowed[5] = 1; });
    EXPECT_TRUE(anyContains(p, "level 13: the random blast is allowed before level 14")) << joined(p);
    p = broken([](auto& r) { r[40].kindCount = r[39].kindCount - 1; });
    EXPECT_TRUE(anyContains(p, "level 41: fewer kinds than the level before")) << joined(p);
    p = broken([](auto& r) { r[0].kindCount = 4; });
    EXPECT_TRUE(anyContains(p, "level 1: the first level plays 5 kinds")) << joined(p);
    // Stage 6 slower than anything in stage 5.
    p = broken([](auto& r) {
        for (int i = 25; i < 30; ++i)
            r[static_cast<size_t>(i)].timerTickFrames *= 4;
    });
    EXPECT_TRUE(anyContains(p, "level 26: more time than any level of stage 5")) << joined(p);
    EXPECT_TRUE(anyContains(p, "level 26: stage 6 gives more time on average")) << joined(p);
}

}  // namespace
