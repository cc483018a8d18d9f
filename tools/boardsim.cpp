// boardsim: runs a scenario script on the board model, the same code the game runs, and prints what
// it asks for. Reads the file named as its argument, or standard input. Bad input stops with
// "boardsim: line N: <what is wrong>" and exit status 2.
//
//   seed N | level N | kinds K1 K2 ... | refill on|off | powers on|off | timer T | suns N | score N
//   board (then 10 rows of 13 cells) | swap X1 Y1 X2 Y2 | click X Y | sun | settle | frames N | print
//   preview X Y      prints "preview" and the squares X,Y the power on (X, Y) would reach
//   bonus N          starts the bonus level after level N (5, 10, ... 60) with its bonus record
//   prizes P1 .. P36 replaces the dealt prizes, row by row
//   pick R C         picks the bonus block in row R, column C (0..5)
//   grid             prints "bonus picks P clicks C points B suns S owed O", then the 6 rows of the
//                    prize grid: a prize code, or "c" and the code for a block still covering it
//
// Powers are on unless `powers off`; power pieces print with their digit.
// '#' starts a comment on a command line; the 10 rows after `board` are taken whole, since '#' is the
// hole cell there.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "BoardLevels.h"
#include "game/rules/Board.h"
#include "game/rules/BoardText.h"

namespace {

constexpr int kSettleFrames = 5000;

class SoundLog : public BoardEvents {
public:
    void playSound(int effect, double) override { sounds.push_back(effect); }
    std::vector<int> sounds;
};

struct ScriptError {
    std::string message;
};

class Script {
public:
    Script(std::istream& in, std::string boards)
        : in_(in), levels_(std::move(boards)), board_(random_, &log_) {}

    void run() {
        std::string line;
        while (nextLine(line))
            command(line);
    }
    int lineNumber() const { return line_; }

private:
    bool nextLine(std::string& line) {
        if (!std::getline(in_, line))
            return false;
        ++line_;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return true;
    }

    [[noreturn]] void fail(const std::string& what) { throw ScriptError{what}; }

    static bool parseInt(const std::string& text, long min, long max, int& out) {
        if (text.empty())
            return false;
        size_t used = 0;
        long value = 0;
        try {
            value = std::stol(text, &used);
        } catch (...) {
            return false;
        }
        if (used != text.size() || value < min || value > max)
            return false;
        out = static_cast<int>(value);
        return true;
    }

    int number(const std::vector<std::string>& words, size_t index, long min, long max, const char* what) {
        int value = 0;
        if (index >= words.size() || !parseInt(words[index], min, max, value))
            fail(std::string("expected ") + what + " from " + std::to_string(min) + " to " +
                 std::to_string(max));
        return value;
    }

    bool onOff(const std::vector<std::string>& words) {
        if (words.size() != 2 || (words[1] != "on" && words[1] != "off"))
            fail(words[0] + " takes on or off");
        return words[1] == "on";
    }

    void arguments(const std::vector<std::string>& words, size_t count) {
        if (words.size() != count + 1)
            fail(words[0] + " takes " + std::to_string(count) + " argument" + (count == 1 ? "" : "s"));
    }

    void command(std::string line) {
        size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        std::istringstream split(line);
        std::vector<std::string> words;
        for (std::string w; split >> w;)
            words.push_back(w);
        if (words.empty())
            return;
        const std::string& c = words[0];
        if (c == "seed") {
            arguments(words, 1);
            random_.setSeed(static_cast<uint32_t>(number(words, 1, 0, 4294967295L, "a seed")));
        } else if (c == "level") {
            arguments(words, 1);
            std::string error;
            if (!levels_.startLevel(board_, number(words, 1, 1, 60, "a level"), error))
                fail(error);
        } else if (c == "kinds") {
            if (words.size() < 2 || words.size() > 8)
                fail("kinds takes 1 to 7 kind indexes");
            LevelRecord record = board_.record();
            record.kinds.fill(-1);
            record.kindCount = static_cast<int>(words.size() - 1);
            for (size_t i = 1; i < words.size(); ++i)
                record.kinds[i - 1] = number(words, i, 0, board::kKindCount - 1, "a kind index");
            board_.setRecord(record);
        } else if (c == "refill") {
            board_.setRefill(onOff(words));
        } else if (c == "powers") {
            board_.setPowersEnabled(onOff(words));
        } else if (c == "timer") {
            arguments(words, 1);
            board_.setTimer(number(words, 1, 0, Board::kTimerFull, "a timer value"));
        } else if (c == "suns") {
            arguments(words, 1);
            board_.setSuns(number(words, 1, 0, 1000000, "a sun count"));
        } else if (c == "score") {
            arguments(words, 1);
            board_.setScore(number(words, 1, 0, 2000000000, "a score"));
        } else if (c == "board") {
            arguments(words, 0);
            readBoard();
        } else if (c == "swap") {
            arguments(words, 4);
            int x1 = number(words, 1, 0, 12, "a column"), y1 = number(words, 2, 0, 9, "a row");
            int x2 = number(words, 3, 0, 12, "a column"), y2 = number(words, 4, 0, 9, "a row");
            board_.pickPiece(x1, y1);
            board_.pickPiece(x2, y2);
        } else if (c == "click") {
            arguments(words, 2);
            board_.pickPiece(number(words, 1, 0, 12, "a column"), number(words, 2, 0, 9, "a row"));
        } else if (c == "sun") {
            arguments(words, 0);
            board_.clickConsoleSun();
        } else if (c == "settle") {
            arguments(words, 0);
            for (int f = 0; f < kSettleFrames && !quiet(); ++f)
                board_.frame();
        } else if (c == "frames") {
            arguments(words, 1);
            int n = number(words, 1, 0, 10000000, "a frame count");
            for (int f = 0; f < n; ++f)
                board_.frame();
        } else if (c == "print") {
            arguments(words, 0);
            print();
        } else if (c == "preview") {
            arguments(words, 2);
            std::vector<BoardSquare> lit =
                board_.powerReach(number(words, 1, 0, 12, "a column"), number(words, 2, 0, 9, "a row"));
            std::string out = "preview";
            for (const BoardSquare& s : lit)
                out += " " + std::to_string(s.x) + "," + std::to_string(s.y);
            std::puts(out.c_str());
        } else if (c == "bonus") {
            arguments(words, 1);
            std::string error;
            if (!levels_.startBonusLevel(board_, number(words, 1, 5, 60, "a level"), error))
                fail(error);
        } else if (c == "prizes") {
            arguments(words, BonusGrid::kCells);
            if (!board_.bonusLevel())
                fail("prizes needs a bonus level");
            BonusGrid::Prizes prizes;
            for (size_t i = 0; i < prizes.size(); ++i)
                prizes[i] = number(words, i + 1, 0, BonusGrid::kExtraPick, "a prize code");
            board_.setBonusPrizes(prizes);
        } else if (c == "pick") {
            arguments(words, 2);
            if (!board_.bonusLevel())
                fail("pick needs a bonus level");
            board_.pickBonusBlock(number(words, 1, 0, 5, "a row"), number(words, 2, 0, 5, "a column"));
        } else if (c == "grid") {
            arguments(words, 0);
            if (!board_.bonusLevel())
                fail("grid needs a bonus level");
            printGrid();
        } else {
            fail("unknown command \"" + c + "\"");
        }
    }

    void printGrid() {
        std::string out = "bonus picks " + std::to_string(board_.bonusClicksLeft()) + " clicks " +
                          std::to_string(board_.bonusClicks()) + " points " +
                          std::to_string(board_.bonusPoints()) + " suns " +
                          std::to_string(board_.bonusSuns()) + " owed " + std::to_string(board_.sunsOwed()) +
                          "\n";
        const BonusGrid& grid = board_.bonusGrid();
        for (int r = 0; r < BonusGrid::kSize; ++r) {
            for (int c = 0; c < BonusGrid::kSize; ++c) {
                out += c > 0 ? " " : "";
                out += (grid.covered(r, c) ? "c" : "") + std::to_string(grid.prize(r, c));
            }
            out += "\n";
        }
        std::fputs(out.c_str(), stdout);
    }

    bool quiet() const {
        return board_.finished() || (board_.state() == Board::kPlay && board_.piecesAtRest());
    }

    void readBoard() {
        std::array<SquareSetup, board::kSquares> squares{};
        for (int y = 0; y < board::kRows; ++y) {
            std::string row;
            if (!nextLine(row))
                fail("the board ends after " + std::to_string(y) + " of 10 rows");
            std::string error;
            if (!BoardText::parseRow(row, board_, y, squares, error))
                fail(error);
        }
        board_.setSquares(squares);
    }

    void print() {
        std::string out =
            "state " + std::to_string(board_.state()) + " score " + std::to_string(board_.score()) +
            " gold " + std::to_string(board_.goldSquareCount()) + " playable " +
            std::to_string(board_.playableSquares()) + " timer " + std::to_string(board_.timer()) + " suns " +
            std::to_string(board_.suns()) + " cascade " + std::to_string(board_.cascadeCount()) + " moves " +
            (board_.hasMove() ? "1" : "0") + "\nsounds";
        for (int s : log_.sounds)
            out += " " + std::to_string(s);
        log_.sounds.clear();
        out += "\n" + BoardText::format(board_);
        std::fputs(out.c_str(), stdout);
    }

    std::istream& in_;
    int line_ = 0;
    BoardLevels levels_;
    util::Random random_{1};
    SoundLog log_;
    Board board_;
};

}  // namespace

int main(int argc, char** argv) {
    std::string boards;
    const char* file = nullptr;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--boards" && i + 1 < argc) {
            boards = argv[++i];
        } else if (file == nullptr && arg.rfind("--", 0) != 0) {
            file = argv[i];
        } else {
            std::fprintf(stderr, "usage: boardsim [--boards FOLDER] [SCRIPT]\n");
            return 2;
        }
    }
    std::ifstream stream;
    if (file != nullptr) {
        stream.open(file);
        if (!stream) {
            std::fprintf(stderr, "boardsim: %s: cannot be opened\n", file);
            return 2;
        }
    }
    Script script(file != nullptr ? static_cast<std::istream&>(stream) : std::cin, boards);
    try {
        script.run();
    } catch (const ScriptError& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "boardsim: line %d: %s\n", script.lineNumber(), e.message.c_str());
        return 2;
    }
    return 0;
}
