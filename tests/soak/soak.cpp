// soak: the real game without a screen, played for a long time. "bot" plays whole games through the
// screens; "monkey" sends random input at random frames. A game standing still in play, a start that
// fails or a frame that drops an exception ends the run non-zero, naming the frame and the seed so that
// the run can be replayed. The run's line on standard output:
//   soak mode M seed S frames F levels L bonus B gameovers G restarts R exceptions E finished D
// (D is 1 once the bot has played its last level; the monkey never finishes).
// scripts/soak adds what the sanitizers found.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "game/KolbaxCanvas.h"
#include "game/MyFrame.h"
#include "game/PlayerData.h"
#include "tests/soak/SoakPlayers.h"
#include "tests/soak/SoakSession.h"
#include "tests/support/TempFolder.h"

namespace {

struct Options {
    std::string mode;
    std::string data;
    std::string settings;
    uint32_t seed = 1;
    long frames = 0;     // 0: no frame limit
    double minutes = 0;  // 0: no time limit
    int firstLevel = 1, lastLevel = 60;
    int watchdog = soak::Watchdog::kDefaultLimit;
    bool trace = false;
    std::string progress;  // where the progress writes seen in the store are logged
};

int usage() {
    std::fprintf(
        stderr,
        "usage: soak bot|monkey --data FOLDER [--seed S] [--frames N] [--minutes M]\n"
        "            [--levels A-B] [--settings FOLDER] [--watchdog FRAMES] [--trace] [--progress FILE]\n"
        "  FOLDER holds Kolbax.bin and boards/; the settings go to a temporary folder unless given.\n"
        "  The bot stops once level B (and its bonus level) is played; either stops at the limits.\n"
        "  --trace writes every change of screen state, with its frame, to standard error.\n"
        "  --progress appends a line to FILE whenever the player's progress read back from the\n"
        "  settings store changes: \"progress PROFILE HIGHEST SCORE SUNS TUTORIALS\", TUTORIALS the pages\n"
        "  marked seen as bits (a kill test replays it).\n");
    return 2;
}

bool parse(int argc, char** argv, Options& o) {
    if (argc < 2)
        return false;
    o.mode = argv[1];
    if (o.mode != "bot" && o.mode != "monkey")
        return false;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--trace") {
            o.trace = true;
            continue;
        }
        if (i + 1 >= argc)
            return false;
        const char* value = argv[++i];
        char* end = nullptr;
        if (arg == "--data") {
            o.data = value;
        } else if (arg == "--progress") {
            o.progress = value;
        } else if (arg == "--settings") {
            o.settings = value;
        } else if (arg == "--seed") {
            o.seed = static_cast<uint32_t>(std::strtoul(value, &end, 10));
        } else if (arg == "--frames") {
            o.frames = std::strtol(value, &end, 10);
        } else if (arg == "--minutes") {
            o.minutes = std::strtod(value, &end);
        } else if (arg == "--watchdog") {
            o.watchdog = static_cast<int>(std::strtol(value, &end, 10));
        } else if (arg == "--levels") {
            o.firstLevel = static_cast<int>(std::strtol(value, &end, 10));
            o.lastLevel = o.firstLevel;
            if (*end == '-')
                o.lastLevel = static_cast<int>(std::strtol(end + 1, &end, 10));
            if (o.firstLevel < 1 || o.lastLevel > 60 || o.firstLevel > o.lastLevel)
                return false;
        } else {
            return false;
        }
        if (end != nullptr && *end != '\0')
            return false;
    }
    return !o.data.empty() && o.frames >= 0 && o.minutes >= 0 && o.watchdog > 0;
}

// Logs the current profile's progress as the store answers it now, when it changed: every value logged
// was committed before the line was written.
class ProgressLog {
public:
    explicit ProgressLog(const std::string& path)
        : file_(path.empty() ? nullptr : std::fopen(path.c_str(), "a")) {}
    ~ProgressLog() {
        if (file_ != nullptr)
            std::fclose(file_);
    }
    bool failed(const std::string& path) const { return !path.empty() && file_ == nullptr; }
    void observe(soak::Session& session) {
        PlayerData* data = session.canvas()->playerData();
        if (file_ == nullptr || data == nullptr)
            return;
        const std::string profile = data->currentProfile();
        if (profile.empty())
            return;
        // The tutorial pages marked seen, page p as bit p.
        long marks = 0;
        for (int page = 0; page <= PlayerData::kTutorialPages; ++page)
            if (data->tutorialSeen(page))
                marks |= 1L << page;
        char line[200];
        std::snprintf(line, sizeof line, "progress %s %d %d %d %ld\n", profile.c_str(), data->highestLevel(),
                      data->score(), data->suns(), marks);
        if (last_ == line)
            return;
        last_ = line;
        std::fputs(line, file_);
        std::fflush(file_);
    }

private:
    std::FILE* file_;
    std::string last_;
};

void trace(soak::Session& session, long frame) {
    static int lastState = -1, lastLevel = -1;
    KolbaxCanvas* c = session.canvas();
    if (c->state() == lastState && c->level() == lastLevel)
        return;
    lastState = c->state();
    lastLevel = c->level();
    lang::Synchronized guard(c);
    const Board& b = c->board();
    std::fprintf(stderr, "soak: frame %ld state %d level %d%s score %d gold %d/%d timer %d suns %d\n", frame,
                 lastState, lastLevel, c->bonusLevel() ? " bonus" : "", b.score(), b.goldSquareCount(),
                 b.playableSquares(), b.timer(), b.suns());
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o))
        return usage();
    // Headless unless the caller chose otherwise: no screen, no sound card.
    ::setenv("SDL_VIDEODRIVER", "dummy", 0);
    ::setenv("ALSOFT_DRIVERS", "null", 0);
    std::unique_ptr<testsupport::TempFolder> scratch;
    if (o.settings.empty()) {
        scratch = std::make_unique<testsupport::TempFolder>();
        o.settings = scratch->path();
    }
    std::unique_ptr<soak::Player> player;
    if (o.mode == "bot")
        player = std::make_unique<soak::BotPlayer>(o.seed, o.firstLevel, o.lastLevel);
    else
        player = std::make_unique<soak::MonkeyPlayer>(o.seed);

    const auto began = std::chrono::steady_clock::now();
    auto timeUp = [&] {
        return o.minutes > 0 &&
               std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count() >=
                   o.minutes * 60;
    };
    soak::Tally tally;
    soak::Watchdog watchdog(o.watchdog);
    ProgressLog progress(o.progress);
    if (progress.failed(o.progress)) {
        std::fprintf(stderr, "soak: cannot write the progress log %s\n", o.progress.c_str());
        return 2;
    }
    long frames = 0;
    int restarts = 0;
    int result = 0;
    std::string failure;
    while (result == 0 && !player->done() && (o.frames == 0 || frames < o.frames) && !timeUp()) {
        // A game the player closed (the monkey finds the exit) starts again on the same settings, as a
        // player starts it again; progress must have survived.
        soak::Session session({o.data, o.settings, o.seed + static_cast<uint32_t>(restarts)});
        if (session.failed()) {
            failure = "the game did not start: " + session.why();
            result = 1;
            break;
        }
        while (session.frame()->hasWindow() && !player->done() && (o.frames == 0 || frames < o.frames)) {
            if ((frames & 255) == 0 && timeUp())
                break;
            player->act(session);
            if (!session.frame()->hasWindow())
                break;
            if (session.step()) {
                ++tally.exceptions;
                std::fprintf(stderr, "soak: mode %s seed %u frame %ld: the frame step dropped an exception\n",
                             o.mode.c_str(), o.seed, frames);
            }
            ++frames;
            tally.observe(session);
            if ((frames & 7) == 0)
                progress.observe(session);
            if (o.trace)
                trace(session, frames);
            std::string why;
            if (!watchdog.check(session, &why)) {
                failure = why;
                result = 1;
                break;
            }
        }
        if (result == 0 && !session.frame()->hasWindow())
            ++restarts;
    }
    if (result == 0 && tally.exceptions > 0) {
        failure = std::to_string(tally.exceptions) + " frame steps dropped an exception";
        result = 1;
    }
    if (result != 0)
        std::fprintf(stderr, "soak: FAILED mode %s seed %u frame %ld: %s\n", o.mode.c_str(), o.seed, frames,
                     failure.c_str());
    std::printf("soak mode %s seed %u frames %ld levels %d bonus %d gameovers %d restarts %d exceptions %d "
                "finished %d\n",
                o.mode.c_str(), o.seed, frames, tally.levels, tally.bonusLevels, tally.gameOvers, restarts,
                tally.exceptions, player->done() ? 1 : 0);
    std::fflush(stdout);
    return result;
}
