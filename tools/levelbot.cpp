// levelbot: plays levels on the board model alone, many seeds each, to tune the level table. Greedy:
// the move whose runs cover the most squares that are not gold yet, ties to the lower row; a sun when
// no move is left or few squares remain. Checks the board's invariants after every frame. Prints
//   level N won W/S median_frames F softlocks K invariant_failures I
// per level and a summary line. Softlocks are watchdog firings and games that hit the frame cap.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BoardLevels.h"
#include "game/rules/Board.h"
#include "game/rules/BoardInvariants.h"

namespace {

constexpr int kFrameCap = 100000;

struct Options {
    int firstLevel = 1, lastLevel = 60;
    int seeds = 20;
    int suns = 0;
    bool checkInvariants = true;
    bool verbose = false;
    std::string boards;
};

struct Game {
    bool won = false;
    int frames = 0;
    int softlocks = 0;
    bool invariantFailed = false;
};

// The best swap by the greedy rule, or an invalid move.
SwapMove chooseMove(const Board& board) {
    SwapMove best;
    int bestScore = 0, bestRow = -1;
    std::array<bool, board::kSquares> squares;
    for (int x = 0; x < board::kColumns; ++x) {
        for (int y = 0; y < board::kRows; ++y) {
            for (int dir = 0; dir < 2; ++dir) {
                int x2 = dir == 0 ? x + 1 : x, y2 = dir == 0 ? y : y + 1;
                if (!board::onBoard(x2, y2) || board.runSquaresAfterSwap(x, y, x2, y2, &squares) == 0)
                    continue;
                int score = 1;  // any move beats none
                for (int i = 0; i < board::kSquares; ++i) {
                    if (squares[static_cast<size_t>(i)] && !board.gold(i / board::kRows, i % board::kRows))
                        score += 10;
                }
                int row = std::max(y, y2);
                if (score > bestScore || (score == bestScore && row > bestRow)) {
                    best = SwapMove{x, y, x2, y2};
                    bestScore = score;
                    bestRow = row;
                }
            }
        }
    }
    return best;
}

// A square holding a piece at rest that is not gold, lowest first.
bool sunTarget(const Board& board, int& tx, int& ty) {
    for (int y = board::kRows - 1; y >= 0; --y) {
        for (int x = 0; x < board::kColumns; ++x) {
            if (board.value(x, y) >= 0 && !board.gold(x, y) && board.pieceAtRest(x, y) &&
                board.mark(x, y) != board::kMarked) {
                tx = x, ty = y;
                return true;
            }
        }
    }
    return false;
}

Game play(BoardLevels& levels, int level, uint32_t seed, const Options& options) {
    Game game;
    util::Random random(seed);
    struct Loss : BoardEvents {
        const char* reason = "frame cap";
        void levelLost(LevelLoss r) override { reason = r == LevelLoss::Timer ? "timer" : "no more moves"; }
        void levelComplete() override { reason = "won"; }
    } outcome;
    Board board(random, &outcome);
    board.setSuns(options.suns);
    std::string error;
    if (!levels.startLevel(board, level, error)) {
        std::fprintf(stderr, "levelbot: %s\n", error.c_str());
        std::exit(2);
    }
    while (!board.finished() && game.frames < kFrameCap) {
        bool quiet = board.state() == Board::kPlay && board.piecesAtRest() && !board.droppingIn();
        int left = board.playableSquares() - board.goldSquareCount();
        int tx = 0, ty = 0;
        if (board.suns() > 0 && (board.noMoreMoves() || (quiet && left <= 3)) && sunTarget(board, tx, ty)) {
            board.clickConsoleSun();
            board.pickPiece(tx, ty);
        } else if (quiet) {
            SwapMove move = chooseMove(board);
            if (move.valid()) {
                board.pickPiece(move.x1, move.y1);
                board.pickPiece(move.x2, move.y2);
            }
        }
        board.frame();
        ++game.frames;
        if (options.checkInvariants && !game.invariantFailed) {
            std::string broken = BoardInvariants::check(board);
            if (!broken.empty()) {
                game.invariantFailed = true;
                std::fprintf(stderr, "levelbot: level %d seed %u frame %d: %s\n", level, seed, game.frames,
                             broken.c_str());
            }
        }
    }
    game.won = board.complete();
    if (options.verbose)
        std::fprintf(stderr, "level %d seed %u: %s after %d frames, %d of %d squares gold, score %d\n", level,
                     seed, outcome.reason, game.frames, board.goldSquareCount(), board.playableSquares(),
                     board.score());
    game.softlocks = board.watchdogFirings() + (board.finished() ? 0 : 1);
    if (game.softlocks > 0)
        std::fprintf(stderr, "levelbot: level %d seed %u: %d watchdog firings%s\n", level, seed,
                     board.watchdogFirings(), board.finished() ? "" : ", frame cap reached");
    return game;
}

int median(std::vector<int> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool parseRange(const char* text, int& first, int& last) {
    char* end = nullptr;
    first = static_cast<int>(std::strtol(text, &end, 10));
    if (*end == '\0') {
        last = first;
    } else if (*end == '-') {
        last = static_cast<int>(std::strtol(end + 1, &end, 10));
    }
    return *end == '\0' && first >= 1 && last <= 60 && first <= last;
}

int usage() {
    std::fprintf(stderr,
                 "usage: levelbot [--levels A-B] [--seeds S] [--suns N] [--boards FOLDER] [--no-invariants] "
                 "[--verbose]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--levels" && hasValue) {
            if (!parseRange(argv[++i], options.firstLevel, options.lastLevel))
                return usage();
        } else if (arg == "--seeds" && hasValue) {
            options.seeds = std::atoi(argv[++i]);
            if (options.seeds < 1)
                return usage();
        } else if (arg == "--suns" && hasValue) {
            options.suns = std::atoi(argv[++i]);
        } else if (arg == "--boards" && hasValue) {
            options.boards = argv[++i];
        } else if (arg == "--verbose") {
            options.verbose = true;
        } else if (arg == "--no-invariants") {
            options.checkInvariants = false;
        } else {
            return usage();
        }
    }
    BoardLevels levels(options.boards);
    std::string error;
    if (!levels.loadTable(error)) {
        std::fprintf(stderr, "levelbot: %s\n", error.c_str());
        return 2;
    }
    int totalWon = 0, totalGames = 0, totalSoftlocks = 0, totalFailures = 0;
    std::vector<int> allFrames;
    for (int level = options.firstLevel; level <= options.lastLevel; ++level) {
        int won = 0, softlocks = 0, failures = 0;
        std::vector<int> frames;
        for (int s = 1; s <= options.seeds; ++s) {
            Game game = play(levels, level, static_cast<uint32_t>(level * 1000 + s), options);
            won += game.won ? 1 : 0;
            softlocks += game.softlocks;
            failures += game.invariantFailed ? 1 : 0;
            frames.push_back(game.frames);
            allFrames.push_back(game.frames);
        }
        std::printf("level %d won %d/%d median_frames %d softlocks %d invariant_failures %d\n", level, won,
                    options.seeds, median(frames), softlocks, failures);
        std::fflush(stdout);
        totalWon += won, totalGames += options.seeds, totalSoftlocks += softlocks, totalFailures += failures;
    }
    std::printf("summary levels %d-%d won %d/%d median_frames %d softlocks %d invariant_failures %d\n",
                options.firstLevel, options.lastLevel, totalWon, totalGames, median(allFrames),
                totalSoftlocks, totalFailures);
    return totalFailures > 0 || totalSoftlocks > 0 ? 1 : 0;
}
