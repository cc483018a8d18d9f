// The player data: defaults, ranges, profiles and their names, the last profile, deletion that never
// touches program values, restarts, high-score tables, and threads sharing the store.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "game/PlayerData.h"
#include "lang/Ref.h"
#include "sprite/GameCanvas.h"
#include "sprite/store/ScoreObject.h"
#include "sprite/store/User.h"
#include "tests/support/TempFolder.h"

namespace {

using lang::Ref;

class PlayerDataTest : public ::testing::Test {
protected:
    Ref<sprite::User> openStore() {
        auto store = lang::make<sprite::User>(folder.path().c_str());
        store->setPath("Lumaroo");
        return store;
    }
    Ref<PlayerData> open() { return lang::make<PlayerData>(openStore().get(), "Lumaroo"); }

    testsupport::TempFolder folder;
};

TEST_F(PlayerDataTest, AFreshProfileReadsEveryDefaultAndVolumesKeepToTheirRange) {
    auto data = open();
    ASSERT_EQ(data->createProfile("Ann"), PlayerData::CreateResult::Created);
    data->selectProfile("Ann");
    EXPECT_EQ(data->highestLevel(), 0);
    EXPECT_EQ(data->selectedLevel(), 1);
    EXPECT_EQ(data->suns(), 3);
    EXPECT_EQ(data->score(), 0);
    // One music default for the options and the canvas alike.
    EXPECT_EQ(data->musicVolume(), 128);
    EXPECT_EQ(data->effectsVolume(), 255);
    EXPECT_TRUE(data->showTutorials());
    EXPECT_FALSE(data->tutorialSeen(0));
    EXPECT_TRUE(data->showLink());
    EXPECT_FALSE(data->visitUrl().empty());

    data->setMusicVolume(300);
    data->setEffectsVolume(-4);
    EXPECT_EQ(data->musicVolume(), 255);
    EXPECT_EQ(data->effectsVolume(), 0);
    // A hand-edited store out of range reads inside it too.
    data->setInt(PlayerData::kMusicVolume, 999);
    data->setInt(PlayerData::kHighestLevel, 75);
    EXPECT_EQ(data->musicVolume(), 255);
    EXPECT_EQ(data->highestLevel(), 60);
}

// Each value of a player lies under its own name in the player's key, and the name of the last player
// in the program key: values written there by hand (as numbers, or as strings holding numbers) are what
// the game reads, what the game writes is found there, and nothing of a player reaches the program key.
TEST_F(PlayerDataTest, EveryValueLivesUnderItsOwnNameInItsOwnKey) {
    auto store = openStore();
    auto data = lang::make<PlayerData>(store.get(), "Lumaroo");
    ASSERT_EQ(data->createProfile("Ann"), PlayerData::CreateResult::Created);
    EXPECT_EQ(store->getInt("Ann\\haveProfile", 0), 1) << "the existence mark";
    Ref<lang::String> last = lang::adopt(store->getString("LASTPROFILE", "<none>"));
    EXPECT_EQ(last->view(), "Ann") << "the last player is a program value";
    data->selectProfile("Ann");

    // Written by hand into the player's key, read by the game.
    struct Stored {
        const char* name;
        int32_t value;
        std::function<int32_t()> read;
    };
    const Stored stored[] = {
        {"HIG_LVL", 14, [&] { return data->highestLevel(); }},
        {"SEL_LVL", 9, [&] { return data->selectedLevel(); }},
        {"GLT", 6, [&] { return data->suns(); }},
        {"SCORE", 4321, [&] { return data->score(); }},
        {"VOLUMEMUSIC", 40, [&] { return data->musicVolume(); }},
        {"VOLUMEFX", 50, [&] { return data->effectsVolume(); }},
        {"SHOW_TUTS", 0, [&] { return data->showTutorials() ? 1 : 0; }},
        {"TUT11", 1, [&] { return data->tutorialSeen(11) ? 1 : 0; }},
        {"SHOWLINK", 0, [&] { return data->showLink() ? 1 : 0; }},
    };
    for (const Stored& v : stored) {
        store->setInt(std::string("Ann\\") + v.name, v.value);
        EXPECT_EQ(v.read(), v.value) << v.name;
        store->setString(std::string("Ann\\") + v.name, std::to_string(v.value));
        EXPECT_EQ(v.read(), v.value) << v.name << " stored as a string";
        EXPECT_EQ(store->getInt(v.name, -1), -1) << v.name << " is no program value";
    }
    store->setString("Ann\\VISITURL", "https://example.org/more");
    EXPECT_EQ(data->visitUrl(), "https://example.org/more");

    // Written by the game, found in the player's key.
    data->setHighestLevel(20);
    data->setSelectedLevel(21);
    data->setSuns(2);
    data->setScore(99);
    data->setMusicVolume(11);
    data->setEffectsVolume(12);
    data->setShowTutorials(true);
    data->markTutorialSeen(3);
    const std::pair<const char*, int32_t> written[] = {
        {"HIG_LVL", 20},     {"SEL_LVL", 21},  {"GLT", 2},       {"SCORE", 99},
        {"VOLUMEMUSIC", 11}, {"VOLUMEFX", 12}, {"SHOW_TUTS", 1}, {"TUT3", 1}};
    for (const auto& [name, value] : written) {
        EXPECT_EQ(store->getInt(std::string("Ann\\") + name, -1), value) << name;
        EXPECT_EQ(store->getInt(name, -1), -1) << name << " is no program value";
    }

    // A value of another type reads as its default.
    store->setString("Ann\\GLT", "many");
    EXPECT_EQ(data->suns(), 3);
    store->setString("Ann\\SHOW_TUTS", "yes");
    EXPECT_TRUE(data->showTutorials());
    store->setInt("Ann\\VISITURL", 5);
    EXPECT_EQ(data->visitUrl(), sprite::GameCanvas::kWebAddress);
}

TEST_F(PlayerDataTest, TheSelectedLevelStaysWithinTheHighestLevelReachedPlusOneAndSixty) {
    auto data = open();
    data->createProfile("Ann");
    data->selectProfile("Ann");
    struct Case {
        int highest, stored, expected;
    } cases[] = {{0, 5, 1}, {1, 2, 2}, {1, 3, 2}, {59, 61, 60}, {60, 61, 60}, {60, 0, 1}, {10, -3, 1}};
    for (const Case& c : cases) {
        data->setHighestLevel(c.highest);
        data->setInt(PlayerData::kSelectedLevel, c.stored);
        EXPECT_EQ(data->selectedLevel(), c.expected) << "HIG_LVL " << c.highest << " SEL_LVL " << c.stored;
    }
    data->setHighestLevel(59);
    EXPECT_EQ(data->raiseHighestLevel(), 60);
    EXPECT_EQ(data->raiseHighestLevel(), 60);
}

TEST_F(PlayerDataTest, NamesAreComparedWithoutCaseAndNeverFormAPath) {
    auto data = open();
    EXPECT_EQ(data->createProfile("Zo\xE9"), PlayerData::CreateResult::Created);  // "Zoé"
    EXPECT_EQ(data->createProfile("ZO\xC9"), PlayerData::CreateResult::Duplicate);  // "ZOÉ"
    EXPECT_EQ(data->createProfile("zo\xE9"), PlayerData::CreateResult::Duplicate);
    for (const char* bad : {"", "a\\b", "a/b", "..", ".", " Ann", "Ann ", "a\tb"}) {
        EXPECT_NE(PlayerData::nameProblem(bad), nullptr) << bad;
        EXPECT_EQ(data->createProfile(bad), PlayerData::CreateResult::Invalid) << bad;
    }
    EXPECT_EQ(PlayerData::nameProblem("J.-P. 2"), nullptr);
    EXPECT_EQ(data->profiles(), (std::vector<std::string>{"Zo\xE9"}));
    // A refused name never reaches the store, not even as a path below another profile.
    data->setInt("Zo\xE9\\Deep", "HIG_LVL", 9);
    EXPECT_EQ(data->getInt("Zo\xE9", "Deep\\HIG_LVL", 0), 0);
}

TEST_F(PlayerDataTest, DeletingAProfileKeepsProgramValuesOfTheSameNameAndOtherPlayersLastProfile) {
    auto data = open();
    data->setProgramInt("SCORE", 77);
    data->setProgramInt("GLT", 5);
    for (const char* name : {"Score", "glt", "Bob"})
        ASSERT_EQ(data->createProfile(name), PlayerData::CreateResult::Created) << name;
    data->selectProfile("Bob");
    data->setInt("Score", "HIG_LVL", 12);

    EXPECT_TRUE(data->deleteProfile("SCORE"));
    EXPECT_EQ(data->programInt("SCORE", 0), 77);
    EXPECT_EQ(data->getInt("Score", "HIG_LVL", 0), 0);
    EXPECT_EQ(data->lastProfile(), "Bob");
    EXPECT_TRUE(data->deleteProfile("GLT"));
    EXPECT_EQ(data->programInt("GLT", 0), 5);
    EXPECT_EQ(data->profiles(), (std::vector<std::string>{"Bob"}));

    // Deleting the last profile used clears it, in any letter case.
    EXPECT_TRUE(data->deleteProfile("BOB"));
    EXPECT_EQ(data->lastProfile(), "");
    EXPECT_EQ(data->currentProfile(), "");
    EXPECT_FALSE(data->deleteProfile("Bob"));
}

TEST_F(PlayerDataTest, ProgressSurvivesARestartAndAStaleLastProfileCountsAsNone) {
    {
        auto data = open();
        data->createProfile("Ann");
        data->selectProfile("Ann");
        data->setHighestLevel(14);
        data->setScore(12345);
        data->markTutorialSeen(7);
        data->setShowTutorials(false);
    }
    auto data = open();
    EXPECT_EQ(data->lastProfile(), "Ann");
    data->selectProfile(data->lastProfile());
    EXPECT_EQ(data->highestLevel(), 14);
    EXPECT_EQ(data->score(), 12345);
    EXPECT_TRUE(data->tutorialSeen(7));
    EXPECT_FALSE(data->showTutorials());

    // A last profile that names no profile, or a path, is none.
    data->setLastProfile("Ghost");
    EXPECT_EQ(data->lastProfile(), "");
    data->setLastProfile("..\\Ann");
    EXPECT_EQ(data->lastProfile(), "");
}

TEST_F(PlayerDataTest, ScoreTablesBelongToTheProfileAndAThousandStoredRecordsLoadAsTheBestTen) {
    auto store = openStore();
    // A store holding 1000 records in one profile's table, in rising order (a record needs only its
    // score; the other fields read as their defaults).
    store->setPath("Lumaroo\\Ann");
    store->setInt("haveProfile", 1);
    for (int i = 0; i < 1000; ++i)
        store->setInt("SCORE" + std::to_string(i), i);
    store->setPath("Lumaroo");
    auto data = lang::make<PlayerData>(store.get(), "Lumaroo");
    data->createProfile("Bob");
    data->selectProfile("Ann");
    ASSERT_EQ(data->scoreCount(""), 10);
    EXPECT_EQ(data->scoreAt("", 0)->score(), 999);
    EXPECT_EQ(data->scoreAt("", 9)->score(), 990);
    EXPECT_FALSE(data->scoreAt("", 10));
    // The program key is selected again after every table operation.
    Ref<lang::String> path = lang::adopt(store->path());
    EXPECT_EQ(path->view(), "Software\\Quillbeck\\Lumaroo");

    data->selectProfile("Bob");
    EXPECT_EQ(data->scoreCount(""), 0);
    for (int i = 1; i <= 10; ++i)
        EXPECT_EQ(data->addScore(lang::make<sprite::ScoreObject>("Bob", i * 10, i, "normal", 0).get()), 0);
    EXPECT_EQ(data->addScore(lang::make<sprite::ScoreObject>("Bob", 55, 3, "normal", 0).get()), 5);
    EXPECT_EQ(data->addScore(lang::make<sprite::ScoreObject>("Bob", 5, 3, "normal", 0).get()), -1);
    EXPECT_EQ(data->scoreCount("normal"), 10);
    EXPECT_EQ(data->getInt("Bob", "SCORE0", -1), 100);
    // Ann's table is untouched by Bob's.
    data->selectProfile("Ann");
    EXPECT_EQ(data->scoreCount("normal"), 0);
    EXPECT_EQ(data->scoreAt("", 0)->score(), 999);
}

// The render thread (tally) and the input thread (chooser, options) write different profiles while
// a third party keeps selecting other keys on the shared store: every value lands in its own profile.
TEST_F(PlayerDataTest, ThreadsSharingTheStoreNeverWriteIntoTheWrongProfile) {
    auto store = openStore();
    auto data = lang::make<PlayerData>(store.get(), "Lumaroo");
    data->createProfile("Ann");
    data->createProfile("Bob");
    std::atomic<bool> done{false};
    std::thread intruder([&] {
        while (!done.load()) {
            store->setPath("Lumaroo\\Bob");
            store->setPath("Lumaroo\\Ann");
        }
    });
    auto writer = [&](const char* profile, int base) {
        for (int i = 0; i < 200; ++i) {
            data->setInt(profile, "SCORE", base + i);
            EXPECT_EQ(data->getInt(profile, "SCORE", -1), base + i) << profile;
        }
    };
    std::thread render(writer, "Ann", 1000);
    std::thread input(writer, "Bob", 5000);
    render.join();
    input.join();
    done = true;
    intruder.join();
    EXPECT_EQ(data->getInt("Ann", "SCORE", -1), 1199);
    EXPECT_EQ(data->getInt("Bob", "SCORE", -1), 5199);
    EXPECT_EQ(data->programInt("SCORE", -1), -1);
}

}  // namespace
