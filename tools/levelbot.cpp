// levelbot: plays levels on the board model alone, many seeds each, to tune the level table. Greedy:
// the move whose runs cover the most squares that are not gold yet, plus what the power pieces in them
// would clear and the cobwebs beside them, ties to the lower row; a sun when no move is left or few
// squares remain. Levels 61..72 are the bonus levels (records 61..72, after levels 5, 10, ... 60),
// played with random picks. Checks the board's invariants after every frame. Prints
//   level N won W/S median_frames F softlocks K invariant_failures I
// per level (bonus levels add "bonus_points P suns U", the medians over the seeds) and a summary line.
// Softlocks are watchdog firings and games that hit the frame cap.
// Like a player, the bot takes a moment to see its move: it waits --think frames (25, one second, by
// default) on a quiet board before it swaps. A bot that swapped on the first quiet frame would keep the
// board busy almost all the time, and the busy board holds the level timer, so time would never run
// out and the table's timer rates could not be tuned.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BoardLevels.h"
#include "game/rules/Board.h"
#include "game/rules/BoardInvariants.h"
#include "game/rules/GreedyPlayer.h"

namespace {

constexpr int kFrameCap = 100000;

struct Options {
    int firstLevel = 1, lastLevel = 60;
    int seeds = 20;
    int suns = 0;
    int thinkFrames = 25;
    bool checkInvariants = true;
    bool verbose = false;
    std::string boards;
};

struct Game {
    bool won = false;
    int frames = 0;
    int softlocks = 0;
    bool invariantFailed = false;
    int bonusPoints = 0;
    int suns = 0;
};

constexpr int kFirstBonus = 61;
constexpr int kLastBonus = 72;

// Checks the invariants after a frame; reports the first failure of a game.
void checkFrame(const Board& board, int level, uint32_t seed, const Options& options, Game& game) {
    if (!options.checkInvariants || game.invariantFailed)
        return;
    std::string broken = BoardInvariants::check(board);
    if (!broken.empty()) {
        game.invariantFailed = true;
        std::fprintf(stderr, "levelbot: level %d seed %u frame %d: %s\n", level, seed, game.frames,
                     broken.c_str());
    }
}

// A bonus level: a random covered block whenever a pick is left, until the level completes.
Game playBonus(BoardLevels& levels, int level, uint32_t seed, const Options& options) {
    Game game;
    util::Random random(seed);
    util::Random picks(seed ^ 0x9e3779b9u);
    Board board(random);
    std::string error;
    if (!levels.startBonusLevel(board, (level - kFirstBonus + 1) * 5, error)) {
        std::fprintf(stderr, "levelbot: %s\n", error.c_str());
        std::exit(2);
    }
    while (!board.finished() && game.frames < kFrameCap) {
        if (board.bonusClicksLeft() > 0 && board.bonusGrid().coveredCount() > 0) {
            int cell = 0;
            do {
                cell = picks.nextInt(BonusGrid::kCells - 1);
            } while (!board.bonusGrid().covered(cell / BonusGrid::kSize, cell % BonusGrid::kSize));
            board.pickBonusBlock(cell / BonusGrid::kSize, cell % BonusGrid::kSize);
        }
        board.frame();
        ++game.frames;
        checkFrame(board, level, seed, options, game);
    }
    game.won = board.complete();
    game.bonusPoints = board.bonusPoints();
    game.suns = board.bonusSuns();
    game.softlocks = board.finished() ? 0 : 1;
    if (game.softlocks > 0)
        std::fprintf(stderr, "levelbot: level %d seed %u: frame cap reached\n", level, seed);
    return game;
}

Game play(BoardLevels& levels, int level, uint32_t seed, const Options& options) {
    if (level >= kFirstBonus)
        return playBonus(levels, level, seed, options);
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
    int quietFrames = 0;
    while (!board.finished() && game.frames < kFrameCap) {
        bool quiet = board.state() == Board::kPlay && board.piecesAtRest() && !board.droppingIn();
        quietFrames = quiet ? quietFrames + 1 : 0;
        quiet = quiet && quietFrames > options.thinkFrames;
        int left = board.playableSquares() - board.goldSquareCount();
        int tx = 0, ty = 0;
        if (board.suns() > 0 && (board.noMoreMoves() || (quiet && left <= 3)) && GreedyPlayer::sunTarget(board, tx, ty)) {
            board.clickConsoleSun();
            board.pickPiece(tx, ty);
            quietFrames = 0;
        } else if (quiet) {
            SwapMove move = GreedyPlayer::chooseMove(board);
            if (move.valid()) {
                board.pickPiece(move.x1, move.y1);
                board.pickPiece(move.x2, move.y2);
            }
            quietFrames = 0;
        }
        board.frame();
        ++game.frames;
        checkFrame(board, level, seed, options, game);
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
    return *end == '\0' && first >= 1 && last <= kLastBonus && first <= last;
}

int usage() {
    std::fprintf(stderr,
                 "usage: levelbot [--levels A-B (1-60 regular, 61-72 bonus)] [--seeds S] [--suns N] "
                 "[--think FRAMES] [--boards FOLDER] [--no-invariants] "
                 "[--verbose]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    options.lastLevel = kLastBonus;
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
        } else if (arg == "--think" && hasValue) {
            options.thinkFrames = std::atoi(argv[++i]);
            if (options.thinkFrames < 0)
                return usage();
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
        std::vector<int> frames, points, suns;
        for (int s = 1; s <= options.seeds; ++s) {
            Game game = play(levels, level, static_cast<uint32_t>(level * 1000 + s), options);
            won += game.won ? 1 : 0;
            softlocks += game.softlocks;
            failures += game.invariantFailed ? 1 : 0;
            frames.push_back(game.frames);
            allFrames.push_back(game.frames);
            points.push_back(game.bonusPoints);
            suns.push_back(game.suns);
        }
        std::printf("level %d won %d/%d median_frames %d softlocks %d invariant_failures %d", level, won,
                    options.seeds, median(frames), softlocks, failures);
        if (level >= kFirstBonus)
            std::printf(" bonus_points %d suns %d", median(points), median(suns));
        std::printf("\n");
        std::fflush(stdout);
        totalWon += won, totalGames += options.seeds, totalSoftlocks += softlocks, totalFailures += failures;
    }
    std::printf("summary levels %d-%d won %d/%d median_frames %d softlocks %d invariant_failures %d\n",
                options.firstLevel, options.lastLevel, totalWon, totalGames, median(allFrames),
                totalSoftlocks, totalFailures);
    return totalFailures > 0 || totalSoftlocks > 0 ? 1 : 0;
}
