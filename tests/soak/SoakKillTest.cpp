// Progress survives SIGKILL at random moments of a soak run: the bot plays the real game on a settings
// folder of the test and logs every progress value it reads back from the store; after each kill the
// store must open as it was left (a store that fails its integrity check is set aside and started
// afresh, which would lose the profile) and hold the last progress the run saw committed.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "game/PlayerData.h"
#include "sprite/User.h"
#include "tests/support/TempFolder.h"
#include "util/Random.h"

extern char** environ;

namespace {

struct Progress {
    std::string profile;
    int highest = -1, score = 0, suns = 0;
    int lines = 0;
};

Progress lastProgress(const std::string& path) {
    Progress p;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string word;
        Progress next;
        // A line cut short by the kill has no newline and is not counted.
        if (in.eof() || !(fields >> word >> next.profile >> next.highest >> next.score >> next.suns) ||
            word != "progress")
            continue;
        next.lines = p.lines + 1;
        p = next;
    }
    return p;
}

pid_t startSoak(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The game's traces are many and of no use here.
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return failed == 0 ? pid : -1;
}

TEST(SoakKill, ProgressSurvivesKillsAtRandomFramesOfABotRun) {
    testsupport::TempFolder folder;
    const std::string settings = folder.file("settings");
    const std::string log = folder.file("progress.txt");
    util::Random random(20261208);
    Progress before;
    before.highest = 0;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const pid_t child = startSoak({LUMAROO_SOAK_EXE, "bot", "--data", LUMAROO_GAME_DATA, "--settings",
                                       settings, "--seed", std::to_string(round + 1), "--progress", log});
        ASSERT_GT(child, 0);
        // Until the run has counted a level (or for 45 s where the build runs slowly), then a moment more:
        // the kill lands anywhere in the frames that follow (the tally, the map, the next level).
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(45);
        int status = 0;
        bool ended = false;
        while (lastProgress(log).highest <= before.highest && std::chrono::steady_clock::now() < giveUp) {
            if (waitpid(child, &status, WNOHANG) == child) {
                ended = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (!ended) {
            std::this_thread::sleep_for(std::chrono::milliseconds(random.nextInt(2500)));
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
        }
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the run ended on its own: " << status;
        const Progress seen = lastProgress(log);
        ASSERT_GT(seen.lines, before.lines) << "the run logged progress";

        auto store = lang::make<sprite::User>(settings.c_str());
        ASSERT_TRUE(store->setPath("Lumaroo"));
        auto data = lang::make<PlayerData>(store.get(), "Lumaroo");
        // The store opened the database as it was left: one that fails its integrity check is set aside
        // under a ".damaged-" name.
        for (const auto& entry : std::filesystem::directory_iterator(settings))
            EXPECT_EQ(entry.path().filename().string().find(".damaged-"), std::string::npos)
                << entry.path() << ": the store was found damaged";
        EXPECT_TRUE(data->profileExists(seen.profile)) << seen.profile;
        const int highest = data->getInt(seen.profile, PlayerData::kHighestLevel, 0);
        EXPECT_GE(highest, seen.highest)
            << "the highest level " << seen.profile << " was seen to reach is stored";
        EXPECT_GE(highest, before.highest) << "progress never goes back";
        before = seen;
    }
    EXPECT_GT(before.highest, 0) << "the runs counted levels before their kills";
}

}  // namespace
