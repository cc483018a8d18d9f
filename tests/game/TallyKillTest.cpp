// Player data survives the game being killed (SIGKILL) in the middle of the level-complete tally: a
// child process runs tallies through the real dialog and store on a temporary folder, the test kills
// it at varying points and reopens the store to find every value one the tally could have written.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <set>
#include <string>

#include "game/GameHost.h"
#include "game/LevelCompleteDialog.h"
#include "game/LevelTally.h"
#include "game/PlayerData.h"
#include "sprite/store/User.h"
#include "tests/support/TempFolder.h"
#include "util/Random.h"

namespace {

constexpr const char* kProgram = "Lumaroo";
constexpr int kBonusPoints = 700;

class StoreHost : public GameHost {
public:
    explicit StoreHost(PlayerData* data) : data_(data) {}
    PlayerData* playerData() override { return data_; }
    util::Random* random() override { return &random_; }
    std::string text(const char*) override { return {}; }
    void playSound(int) override {}
    void stopSound(int) override {}
    void runAction(lang::Object*, const lang::String&) override {}
    void setEffectsVolume(int) override {}
    bool isFullScreen() override { return false; }
    void setFullScreen(bool) override {}

private:
    PlayerData* data_;
    util::Random random_{1};
};

// Level L scores 1000 L on the console with a full timer (no time bonus); a bonus level adds 700.
class Tally : public LevelTally {
public:
    void playSound(int) override {}
    int level() override { return level_; }
    int consoleTimer() override { return 400; }
    int timerDivisor() override { return 4; }
    void countConsoleTimer() override {}
    int consoleScore() override { return 1000 * level_; }
    int consoleSuns() override { return 4; }
    void startPiecesLeaving() override {}
    void replaceTilesWithEndAnimations() override {}
    void clearBoardForTally() override {}
    void releasePieces() override {}
    void showFloatingBonus(int) override {}
    void setBonusLevelNext() override { bonusNext_ = true; }
    void progressStored() override {}
    void startBonusTally() override {}
    int sunsHeld() override { return 4; }
    int bonusPoints() override { return kBonusPoints; }
    int bonusSuns() override { return 0; }
    void sendReport(int) override {}
    void putBackCarriedSun() override {}
    void hideBonusClickNumber() override {}
    void endBonusLevel() override {}
    void placeBelowTopFence(sprite::Sprite*) override {}
    void setArrowCursor() override {}

    int level_ = 1;
    bool bonusNext_ = false;
};

// The child: tallies forever, level after level, saying on `out` when each one starts.
[[noreturn]] void tallyForever(const std::string& folder, int out) {
    try {
        auto store = lang::make<sprite::User>(folder.c_str());
        if (!store->setPath(kProgram))
            _exit(2);
        auto data = lang::make<PlayerData>(store.get(), kProgram);
        data->selectProfile("Ann");
        StoreHost host(data.get());
        auto dialog = lang::make<LevelCompleteDialog>();
        dialog->setHost(&host);
        Tally game;
        for (;;) {
            game.level_ = std::min(data->highestLevel() + 1, PlayerData::kLevelCount);
            game.bonusNext_ = false;
            if (write(out, "t", 1) != 1)
                _exit(3);
            dialog->beginTally();
            for (int countdown = LevelCompleteDialog::kStartCountdown; countdown > 0;)
                countdown = dialog->tallyStep(countdown - 1, game);
            if (!game.bonusNext_)
                continue;
            dialog->beginTally();
            for (int countdown = LevelCompleteDialog::kStartCountdown; countdown > 0;)
                countdown = dialog->bonusTallyStep(countdown - 1, game);
        }
    } catch (...) {
        _exit(4);
    }
}

// Reads n start marks from the child, at most 20 s in all.
bool awaitTallies(int in, int n) {
    for (int got = 0; got < n;) {
        pollfd p{in, POLLIN, 0};
        if (poll(&p, 1, 20000) <= 0)
            return false;
        char c;
        ssize_t r = read(in, &c, 1);
        if (r == 1)
            ++got;
        else if (r == 0 || errno != EINTR)
            return false;
    }
    return true;
}

TEST(TallyKillTest, StoredProgressStaysConsistentWhenTheGameIsKilledMidTally) {
    testsupport::TempFolder folder;
    {
        auto store = lang::make<sprite::User>(folder.path().c_str());
        ASSERT_TRUE(store->setPath(kProgram));
        auto data = lang::make<PlayerData>(store.get(), kProgram);
        ASSERT_EQ(data->createProfile("Ann"), PlayerData::CreateResult::Created);
    }
    util::Random random(20240611);
    int highest = 0;
    for (int round = 0; round < 4; ++round) {
        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        // No store is open here: a database connection must not be carried across fork.
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(pipeEnds[0]);
            tallyForever(folder.path(), pipeEnds[1]);
        }
        close(pipeEnds[1]);
        const bool running = awaitTallies(pipeEnds[0], 3 + random.nextInt(12));
        usleep(static_cast<useconds_t>(random.nextInt(4000)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        close(pipeEnds[0]);
        ASSERT_TRUE(running) << "the child stopped on its own, status " << status;
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;

        auto store = lang::make<sprite::User>(folder.path().c_str());
        ASSERT_TRUE(store->setPath(kProgram)) << "round " << round << ": the store no longer opens";
        auto data = lang::make<PlayerData>(store.get(), kProgram);
        EXPECT_EQ(data->lastProfile(), "Ann");
        const int h = data->getInt("Ann", PlayerData::kHighestLevel, -1);
        ASSERT_GE(h, highest) << "round " << round << ": progress went backwards";
        ASSERT_LE(h, PlayerData::kLevelCount);
        highest = h;
        // The selection is written just after the highest level, and a bonus level raises the highest
        // level alone: a kill between two writes leaves it one behind, never beyond what can be played.
        const int selected = data->getInt("Ann", PlayerData::kSelectedLevel, -1);
        if (h > 0 || selected != -1) {
            EXPECT_TRUE(selected >= std::max(h - 1, 1) && selected <= std::min(h + 1, 60))
                << "round " << round << ": highest " << h << ", selected " << selected;
        }
        // The score is the total of the last level counted or of the one being counted.
        std::set<int> totals = {0};
        for (int level : {h, std::min(h + 1, 60)}) {
            totals.insert(1000 * level);
            if (level % 5 == 0)
                totals.insert(1000 * level + kBonusPoints);
        }
        const int score = data->getInt("Ann", PlayerData::kScore, 0);
        EXPECT_TRUE(totals.count(score) == 1)
            << "round " << round << ": highest " << h << ", score " << score;
        const int suns = data->getInt("Ann", PlayerData::kSuns, -1);
        EXPECT_TRUE(suns == -1 || suns == 4) << suns;
    }
    EXPECT_GT(highest, 0) << "the tallies stored progress";
}

}  // namespace
