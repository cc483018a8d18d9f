// Progress survives SIGKILL at random moments of a soak run: the bot plays the real game on a settings
// folder of the test and logs every progress value it reads back from the store. At a random moment the
// run is stopped, the store's rows are read through a read-only connection of the test's own (what was
// committed then), and the run is killed. The store must then pass its integrity check, hold exactly
// those rows, open as it was left (a store found damaged is set aside and started afresh, which would
// lose the profile) and hold at least the progress the run logged: highest level, score, tutorial marks.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sqlite3.h>
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
#include "sprite/store/User.h"
#include "tests/support/TempFolder.h"
#include "util/Random.h"

extern char** environ;

namespace {

struct Progress {
    std::string profile;
    int highest = -1, score = 0, suns = 0;
    long tutorials = 0;  // the pages marked seen, page p as bit p
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
        if (in.eof() ||
            !(fields >> word >> next.profile >> next.highest >> next.score >> next.suns >> next.tutorials) ||
            word != "progress")
            continue;
        next.lines = p.lines + 1;
        p = next;
    }
    return p;
}

// The settings database of a folder: the one file that is neither its log nor its shared memory.
std::string databaseIn(const std::string& folder) {
    std::string found;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().string();
        if (name.ends_with("-wal") || name.ends_with("-shm") || name.ends_with("-journal"))
            continue;
        found = name;
    }
    return found;
}

// One SQL answer as text: each row's columns, tab-separated, a line a row.
std::string query(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
        return std::string("error: ") + sqlite3_errmsg(db);
    std::string out;
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
            const unsigned char* text = sqlite3_column_text(statement, c);
            out += (c > 0 ? "\t" : "") + std::string(text != nullptr ? reinterpret_cast<const char*>(text) : "");
        }
        out += "\n";
    }
    if (rc != SQLITE_DONE)
        out += std::string("error: ") + sqlite3_errmsg(db);
    sqlite3_finalize(statement);
    return out;
}

// Every row of every table, in a stable order, read without writing (a read-only connection never
// checkpoints the log of the stopped run).
std::string rowsOf(const std::string& file) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return "cannot open " + file;
    }
    sqlite3_busy_timeout(db, 5000);
    std::string rows;
    std::istringstream tables(query(db, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"));
    for (std::string table; std::getline(tables, table);)
        rows += "[" + table + "]\n" + query(db, "SELECT * FROM \"" + table + "\" ORDER BY 1, 2");
    sqlite3_close(db);
    return rows;
}

std::string integrityOf(const std::string& file) {
    sqlite3* db = nullptr;
    std::string verdict = "cannot open " + file;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK)
        verdict = query(db, "PRAGMA integrity_check");
    sqlite3_close(db);
    return verdict;
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
        std::string committed;
        if (!ended) {
            std::this_thread::sleep_for(std::chrono::milliseconds(random.nextInt(2500)));
            kill(child, SIGSTOP);
            waitpid(child, &status, WUNTRACED);
            committed = rowsOf(databaseIn(settings));
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
        }
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the run ended on its own: " << status;
        const Progress seen = lastProgress(log);
        ASSERT_GT(seen.lines, before.lines) << "the run logged progress";
        const std::string file = databaseIn(settings);
        EXPECT_EQ(integrityOf(file), "ok\n");
        EXPECT_EQ(rowsOf(file), committed) << "every row committed before the kill is kept, as it was";

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
        // The score only grows with each tally, and a tutorial page once seen stays seen.
        EXPECT_GE(data->getInt(seen.profile, PlayerData::kScore, 0), seen.score);
        for (int page = 0; page <= PlayerData::kTutorialPages; ++page)
            if (seen.tutorials & (1L << page)) {
                EXPECT_EQ(data->getInt(seen.profile, "TUT" + std::to_string(page), 0), 1)
                    << "tutorial page " << page << " stays marked seen";
            }
        before = seen;
    }
    EXPECT_GT(before.highest, 0) << "the runs counted levels before their kills";
}

}  // namespace
