// Tests of the settings database's durability: a killed writer, a busy second process, damaged files.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

#include "lang/Ref.h"
#include "sprite/store/SettingsDatabase.h"
#include "sprite/store/User.h"
#include "tests/support/TempFolder.h"

namespace {

using lang::Ref;
using testsupport::TempFolder;

std::string integrityOf(const std::string& file) {
    sqlite3* db = nullptr;
    std::string verdict = "cannot open";
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW) {
            verdict = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        } else {
            verdict = sqlite3_errmsg(db);
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return verdict;
}

// The files of the folder that the damaged database was moved to: its name, ".damaged-", then the date
// and time as digits, "yyyymmdd-hhmmss".
std::vector<std::string> movedAside(const std::string& folder) {
    std::vector<std::string> found;
    const std::string prefix = std::string(sprite::SettingsDatabase::kFileName) + ".damaged-";
    const std::string shape = "dddddddd-dddddd";
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        if (name.size() != prefix.size() + shape.size() || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        bool matches = true;
        for (size_t i = 0; i < shape.size(); ++i) {
            char c = name[prefix.size() + i];
            matches = matches && (shape[i] == 'd' ? (c >= '0' && c <= '9') : c == shape[i]);
        }
        if (matches)
            found.push_back(name);
    }
    return found;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(SettingsDurability, AWriterKilledMidStreamLosesNoAcknowledgedWrite) {
    TempFolder folder;
    int acks[2];
    ASSERT_EQ(::pipe(acks), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The child writes until it is killed and reports each write once the store has returned.
        ::close(acks[0]);
        auto* user = new sprite::User(folder.path().c_str());
        user->setPath("Lumaroo\\Ann");
        for (int32_t i = 0; i < 1000000; ++i) {
            std::string n = std::to_string(i);
            user->setInt("N" + n, i);
            user->setString("S" + n, "value " + n);
            if (::write(acks[1], &i, sizeof i) != static_cast<ssize_t>(sizeof i))
                break;
        }
        ::_exit(0);
    }
    ::close(acks[1]);
    int32_t last = -1;
    int32_t ack = 0;
    while (::read(acks[0], &ack, sizeof ack) == static_cast<ssize_t>(sizeof ack)) {
        last = ack;
        if (last >= 150)
            break;
    }
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    // Acknowledgements still in the pipe were given before the kill.
    while (::read(acks[0], &ack, sizeof ack) == static_cast<ssize_t>(sizeof ack))
        last = ack;
    ::close(acks[0]);
    ASSERT_GE(last, 150);

    std::string file = folder.file(sprite::SettingsDatabase::kFileName);
    EXPECT_EQ(integrityOf(file), "ok");
    auto user = lang::make<sprite::User>(folder.path().c_str());
    ASSERT_TRUE(user->isAvailable());
    ASSERT_TRUE(user->setPath("lumaroo\\ann"));
    for (int32_t i = 0; i <= last; ++i) {
        std::string n = std::to_string(i);
        ASSERT_EQ(user->getInt("N" + n, -1), i) << "write " << i << " of " << last;
        Ref<lang::String> s = lang::adopt(user->getString("S" + n, ""));
        ASSERT_EQ(std::string(s->view()), "value " + n);
    }
}

TEST(SettingsDurability, ASecondProcessWaitsForTheWriterInsteadOfFailing) {
    TempFolder folder;
    auto user = lang::make<sprite::User>(folder.path().c_str());
    ASSERT_TRUE(user->setPath("Lumaroo"));
    user->setInt("BEFORE", 1);

    // Another connection, as another game process would hold it, keeps a write open for a while.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(folder.file(sprite::SettingsDatabase::kFileName).c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    std::thread release([other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    });
    user->setInt("DURING", 2);
    release.join();
    sqlite3_close(other);

    auto again = lang::make<sprite::User>(folder.path().c_str());
    again->setPath("Lumaroo");
    EXPECT_EQ(again->getInt("BEFORE", 0), 1);
    EXPECT_EQ(again->getInt("DURING", 0), 2);
}

class DamagedFiles : public ::testing::Test {
protected:
    std::string file() const { return folder_.file(sprite::SettingsDatabase::kFileName); }
    void write(const std::string& bytes) {
        std::ofstream out(file(), std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    // Opens the store and checks that the old file was moved aside, with one line saying so, and that
    // the fresh store works. Answers the content of the moved file.
    std::string openExpectingMoveAside() {
        ::testing::internal::CaptureStderr();
        auto user = lang::make<sprite::User>(folder_.path().c_str());
        std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_TRUE(user->isAvailable());
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(said.find("moved it to"), std::string::npos) << said;
        std::vector<std::string> aside = movedAside(folder_.path());
        EXPECT_EQ(aside.size(), 1u);
        EXPECT_TRUE(user->setPath("Lumaroo"));
        user->setInt("FRESH", 5);
        EXPECT_EQ(user->getInt("FRESH", 0), 5);
        EXPECT_EQ(integrityOf(file()), "ok");
        return aside.empty() ? std::string() : readFile(folder_.file(aside[0].c_str()));
    }

    TempFolder folder_;
};

TEST_F(DamagedFiles, AFileThatIsNotADatabaseIsMovedAside) {
    std::string garbage = "this is not a database, just text that happens to be here\n";
    for (int i = 0; i < 8; ++i)
        garbage += garbage;
    write(garbage);
    EXPECT_EQ(openExpectingMoveAside(), garbage);
}

TEST_F(DamagedFiles, ADatabaseFailingItsIntegrityCheckIsMovedAside) {
    {
        auto user = lang::make<sprite::User>(folder_.path().c_str());
        ASSERT_TRUE(user->setPath("Lumaroo"));
        for (int i = 0; i < 400; ++i)
            user->setString("V" + std::to_string(i), std::string(100, 'a' + i % 26));
    }
    // The last connection has closed, so everything is in the main file. Scribble over its pages
    // past the first, keeping the header intact.
    std::string bytes = readFile(file());
    ASSERT_GT(bytes.size(), 4 * 4096u);
    for (size_t i = 4096 + 100; i < bytes.size(); i += 7)
        bytes[i] = static_cast<char>(i * 31);
    write(bytes);
    ASSERT_NE(integrityOf(file()), "ok");
    EXPECT_EQ(openExpectingMoveAside(), bytes);
}

TEST_F(DamagedFiles, ADatabaseOfSomethingElseIsMovedAside) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file().c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE keys (a, b); PRAGMA application_id = 1234;", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    openExpectingMoveAside();
}

TEST_F(DamagedFiles, ADatabaseOfANewerGameIsLeftAlone) {
    {
        auto user = lang::make<sprite::User>(folder_.path().c_str());
        ASSERT_TRUE(user->setPath("Lumaroo"));
        user->setInt("KEEP", 1);
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file().c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "PRAGMA user_version = 99", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    ::testing::internal::CaptureStderr();
    auto user = lang::make<sprite::User>(folder_.path().c_str());
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(user->isAvailable());
    EXPECT_NE(said.find("newer version"), std::string::npos) << said;
    EXPECT_EQ(user->getInt("KEEP", 0), 0);
    EXPECT_TRUE(movedAside(folder_.path()).empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.path()), {}), 1);
}

TEST(SettingsFolder, TheVariableThenXdgDataHomeThenHomeChooseTheFolder) {
    struct Saved {
        const char* name;
        std::optional<std::string> value;
    } saved[] = {{"LUMAROO_SETTINGS_DIR", {}}, {"XDG_DATA_HOME", {}}, {"HOME", {}}};
    for (Saved& s : saved) {
        if (const char* v = std::getenv(s.name))
            s.value = v;
    }
    ::setenv("HOME", "/home/ann", 1);
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("LUMAROO_SETTINGS_DIR");
    EXPECT_EQ(sprite::SettingsDatabase::defaultDirectory(), "/home/ann/.local/share/quillbeck");
    ::setenv("XDG_DATA_HOME", "relative/data", 1);  // not absolute: ignored
    EXPECT_EQ(sprite::SettingsDatabase::defaultDirectory(), "/home/ann/.local/share/quillbeck");
    ::setenv("XDG_DATA_HOME", "/data", 1);
    EXPECT_EQ(sprite::SettingsDatabase::defaultDirectory(), "/data/quillbeck");
    ::setenv("LUMAROO_SETTINGS_DIR", "/elsewhere", 1);
    EXPECT_EQ(sprite::SettingsDatabase::defaultDirectory(), "/elsewhere");

    // The store in its usual place, pointed at a temporary folder, creates the folder on first use.
    TempFolder folder;
    std::string nested = folder.path() + "/a/b";
    ::setenv("LUMAROO_SETTINGS_DIR", nested.c_str(), 1);
    {
        auto user = lang::make<sprite::User>();
        EXPECT_TRUE(user->isAvailable());
        EXPECT_EQ(user->databaseFile(), nested + "/settings.db");
    }
    EXPECT_TRUE(std::filesystem::exists(nested + "/settings.db"));

    for (Saved& s : saved) {
        if (s.value) {
            ::setenv(s.name, s.value->c_str(), 1);
        } else {
            ::unsetenv(s.name);
        }
    }
}

}  // namespace
