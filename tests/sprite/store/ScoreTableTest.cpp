// Tests of the settings store's high-score tables: ranks, table limits, modes, saving and loading.
#include <gtest/gtest.h>

#include <string>

#include "lang/Ref.h"
#include "sprite/store/User.h"
#include "tests/support/TempFolder.h"

namespace {

using lang::Ref;

class ScoreTables : public ::testing::Test {
protected:
    void SetUp() override {
        user_ = lang::make<sprite::User>(folder_.path().c_str());
        ASSERT_TRUE(user_->setPath("Lumaroo\\Ann"));
    }
    int add(const char* name, int32_t score, const char* mode = "classic", int32_t level = 1) {
        auto record = lang::make<sprite::ScoreObject>(name, score, level, mode, 7);
        return user_->addScore(record.get());
    }
    // The names of a table, best first.
    std::string names(sprite::User& user, const char* mode = "classic") {
        std::string out;
        for (int i = 0; i < user.getScoreCount(mode); ++i) {
            if (!out.empty())
                out += ",";
            out += user.getScore(mode, i)->name().view();
        }
        return out;
    }

    testsupport::TempFolder folder_;
    Ref<sprite::User> user_;
};

TEST_F(ScoreTables, ARecordGoesBeforeTheFirstLowerScore) {
    EXPECT_EQ(add("a", 100), 0);
    EXPECT_EQ(add("b", 300), 0);
    EXPECT_EQ(add("c", 200), 1);
    // An equal score ranks after the records already there.
    EXPECT_EQ(add("d", 200), 2);
    EXPECT_EQ(add("e", 50), 4);
    EXPECT_EQ(names(*user_), "b,c,d,a,e");
}

TEST_F(ScoreTables, AFullTableKeepsItsTenBest) {
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(add(std::to_string(i).c_str(), 1000 - i * 10), i);
    EXPECT_EQ(add("low", 900), -1);  // equal to the last: fits nowhere
    EXPECT_EQ(add("lower", 1), -1);
    EXPECT_EQ(add("top", 5000), 0);
    EXPECT_EQ(user_->getScoreCount("classic"), 10);
    EXPECT_EQ(names(*user_), "top,0,1,2,3,4,5,6,7,8");
    EXPECT_EQ(user_->getScore("classic", 10), nullptr);
    EXPECT_EQ(user_->getScore("classic", -1), nullptr);
}

TEST_F(ScoreTables, ModesKeepTablesOfTheirOwnAndAllSurviveAReopen) {
    for (int i = 0; i < 12; ++i)
        add(("c" + std::to_string(i)).c_str(), 100 + i, "classic", i);
    add("x", 5, "expert", 3);
    add("y", 9, "expert", 4);
    EXPECT_EQ(user_->getScoreCount("classic"), 10);
    EXPECT_EQ(user_->getScoreCount("expert"), 2);
    EXPECT_EQ(user_->getScoreCount("other"), 0);

    auto again = lang::make<sprite::User>(folder_.path().c_str());
    ASSERT_TRUE(again->setPath("lumaroo\\ann"));
    EXPECT_EQ(names(*again), "c11,c10,c9,c8,c7,c6,c5,c4,c3,c2");
    EXPECT_EQ(names(*again, "expert"), "y,x");
    sprite::ScoreObject* best = again->getScore("expert", 0);
    ASSERT_NE(best, nullptr);
    EXPECT_EQ(best->score(), 9);
    EXPECT_EQ(best->level(), 4);
    EXPECT_EQ(best->setting(), 7);
    EXPECT_EQ(std::string(best->mode().view()), "expert");
    // The stored values use the names and the running index of the table layout.
    EXPECT_EQ(again->getInt("SCORE0", -1), 111);
    EXPECT_EQ(again->getInt("SCORE10", -1), 9);
    EXPECT_EQ(again->getInt("SCORE12", -1), -1);
}

TEST_F(ScoreTables, LoadingStopsAtTheFirstMissingScore) {
    user_->setString("SCORENAME0", "zed");
    user_->setString("SCORE0", "40");  // a decimal string counts as the number
    user_->setString("SCOREMODE0", "classic");
    user_->setInt("SCORE1", 70);
    user_->setString("SCOREMODE1", "classic");
    user_->setInt("SCORE3", 90);  // after the gap at 2: never read
    user_->setString("SCOREMODE3", "classic");
    user_->loadScores();
    EXPECT_EQ(user_->getScoreCount("classic"), 2);
    // Hand-edited records out of order come back sorted.
    EXPECT_EQ(user_->getScore("classic", 0)->score(), 70);
    EXPECT_EQ(user_->getScore("classic", 1)->score(), 40);
    EXPECT_EQ(std::string(user_->getScore("classic", 1)->name().view()), "zed");

    // Saving rewrites the run and removes what lies beyond it.
    user_->saveScores();
    user_->loadScores();
    EXPECT_EQ(user_->getScoreCount("classic"), 2);
    EXPECT_EQ(user_->getInt("SCORE2", -1), -1);
}

}  // namespace
