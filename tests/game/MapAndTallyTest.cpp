// The level map's selection rules over the highest level reached, the console's start values and
// timer line, and the level-complete tally's steps with their sounds and stored values.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/ConsoleDialog.h"
#include "game/LevelCompleteDialog.h"
#include "game/LevelTally.h"
#include "game/MenuMapDialog.h"
#include "sprite/AnimateSprite.h"
#include "sprite/NumberSprite.h"
#include "tests/game/DialogTestSupport.h"
#include "tests/game/MapDialogScript.h"

namespace {

using dialog_test::stateOf;

class MapTest : public ::testing::Test, public dialog_test::DialogFixture {
protected:
    void SetUp() override {
        write("map.txt", dialog_test::mapDialogScript());
        write("main.txt", "<sprites> MenuMap MenuMapDialog:map.txt 0 0 800 600 0 1 0\n");
        load("main.txt");
        map = get<MenuMapDialog>("MenuMap");
        ASSERT_NE(map, nullptr);
        canvas->data->createProfile("Ann");
        canvas->data->selectProfile("Ann");
    }
    // The player has reached `highest` and last selected level 1 (0: no selection stored).
    void prepare(int highest, int selected = 1) {
        canvas->data->setHighestLevel(highest);
        canvas->data->setInt(PlayerData::kSelectedLevel, selected);
        if (selected == 0)
            canvas->data->store()->remove("Ann\\SEL_LVL");
        map->prepare();
        canvas->take();
    }
    int shownNumber(const char* name) {
        lang::Ref<sprite::Sprite> s = map->getChild(name);
        return static_cast<sprite::NumberSprite*>(s.get())->getValue();
    }
    sprite::Sprite* marker(int level) { return map->getChild(("levelmarker" + std::to_string(level)).c_str()).get(); }
    void clickMarker(int level, int clicks = 1) {
        sprite::Sprite* m = marker(level);
        canvas->click(m->getX() + 2, m->getY() + 2, clicks);
    }
    void back() { canvas->click(565, 545); }
    void forward() { canvas->click(705, 545); }

    MenuMapDialog* map = nullptr;
};

TEST_F(MapTest, ArrowsAndMarkersFollowTheHighestLevelReached) {
    // Nothing played yet: only level 1, both arrows off.
    prepare(0);
    EXPECT_EQ(map->selectedLevel(), 1);
    EXPECT_EQ(stateOf(map, "mapconsolebackarrow"), 0);
    EXPECT_EQ(stateOf(map, "mapconsoleforwardarrow"), 0);
    EXPECT_TRUE(marker(1)->isVisible());
    EXPECT_FALSE(marker(2)->isVisible());
    forward();
    EXPECT_EQ(map->selectedLevel(), 1);

    // Level 1 done: forward to 2 and no further.
    prepare(1);
    EXPECT_EQ(stateOf(map, "mapconsolebackarrow"), 0);
    EXPECT_EQ(stateOf(map, "mapconsoleforwardarrow"), 1);
    forward();
    EXPECT_EQ(map->selectedLevel(), 2);
    EXPECT_EQ(canvas->data->getInt(PlayerData::kSelectedLevel, 0), 2);
    EXPECT_EQ(stateOf(map, "mapconsolebackarrow"), 1);
    EXPECT_EQ(stateOf(map, "mapconsoleforwardarrow"), 0);
    forward();
    EXPECT_EQ(map->selectedLevel(), 2);
    back();
    back();
    EXPECT_EQ(map->selectedLevel(), 1);
}

TEST_F(MapTest, TheLastLevelCanBeSelectedButNeverASixtyFirst) {
    prepare(59, 0);
    EXPECT_EQ(map->selectedLevel(), 60);
    EXPECT_EQ(shownNumber("mapconsolestagenumber"), 12);
    EXPECT_EQ(shownNumber("mapconsolelevelnumber"), 5);
    EXPECT_EQ(stateOf(map, "mapconsoleforwardarrow"), 0);

    prepare(60, 61);
    EXPECT_EQ(map->selectedLevel(), 60);
    EXPECT_EQ(stateOf(map, "mapconsoleforwardarrow"), 0);
    EXPECT_EQ(stateOf(map, "mapconsolebackarrow"), 1);
    forward();
    EXPECT_EQ(map->selectedLevel(), 60);
    EXPECT_EQ(canvas->data->selectedLevel(), 60);
    // The map keeps inside its picture: 400 minus the marker, never past -1600.
    EXPECT_EQ(map->mapX(), 400 - (65 + 25 * 60 - 5));
    // Marker 60 is selectable with HIG_LVL 60.
    map->selectLevel(57);
    clickMarker(60);
    EXPECT_EQ(map->selectedLevel(), 60);
}

TEST_F(MapTest, AMarkerClickSelectsADoubleClickStartsAndTheSelectedMarkerStarts) {
    prepare(12, 0);
    EXPECT_EQ(map->selectedLevel(), 13);
    clickMarker(7);
    EXPECT_EQ(map->selectedLevel(), 7);
    EXPECT_EQ(shownNumber("mapconsolestagenumber"), 2);
    EXPECT_EQ(shownNumber("mapconsolelevelnumber"), 2);
    EXPECT_EQ(canvas->data->getInt(PlayerData::kSelectedLevel, 0), 7);
    for (const std::string& c : canvas->take())
        EXPECT_NE(c, "bstartgame");
    // The selected-level marker sits on marker 7 with the script's offset (3, 4).
    lang::Ref<sprite::Sprite> chosen = map->getChild("selectedlevelmarker");
    EXPECT_EQ(chosen->getX(), marker(7)->getX() + 3);
    EXPECT_EQ(chosen->getY(), marker(7)->getY() + 4);

    clickMarker(9, 2);
    EXPECT_EQ(map->selectedLevel(), 9);
    EXPECT_EQ(canvas->take().front(), "bstartgame");
    // A level beyond the reach is neither shown nor selected.
    EXPECT_TRUE(map->selectLevel(13));
    EXPECT_FALSE(map->selectLevel(14));
    EXPECT_FALSE(marker(14)->isVisible());
    EXPECT_EQ(map->selectedLevel(), 13);
    canvas->take();
    canvas->key(window::Event::kEnter);
    EXPECT_EQ(canvas->take().back(), "bstartgame");
    canvas->key(window::Event::kEscape);
    EXPECT_EQ(canvas->take().back(), "bbacktomainmenu");
}

// A double click as the window delivers it: press and release, then a press with a click count of 2 at
// the same point. The first press must leave the marker where it is for the second to find it.
TEST_F(MapTest, ADoubleClickStartsTheLevelUnderThePointer) {
    prepare(40, 20);
    sprite::Sprite* m = marker(25);
    const int x = m->getX() + 2, y = m->getY() + 2;
    canvas->click(x, y, 1);
    EXPECT_EQ(map->selectedLevel(), 25);
    EXPECT_EQ(marker(25)->getX() + 2, x) << "a pressed marker does not move away";
    canvas->take();
    canvas->click(x, y, 2);
    EXPECT_EQ(map->selectedLevel(), 25);
    std::vector<std::string> commands = canvas->take();
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.front(), "bstartgame");
    // The arrows still bring the level they select into view.
    forward();
    EXPECT_EQ(map->selectedLevel(), 26);
    EXPECT_EQ(map->mapX(), std::clamp(400 - (marker(26)->getX() - map->mapX()), -1600, 0));
}

TEST_F(MapTest, ScrollingRunsWhileTheArrowIsHeldAndStopsAtTheEndOrOutside) {
    prepare(0);
    ASSERT_EQ(map->mapX(), 0);
    canvas->deliver(lang::make<window::Event>(window::Event::kMouseDown, 765, 305, 0, 0, 1).get());
    EXPECT_TRUE(map->isScrolling());
    dialog_test::step(*map, 1);
    EXPECT_EQ(map->mapX(), -20);
    // The markers move with the picture.
    EXPECT_EQ(marker(1)->getX(), 85 - 20);
    map->pointerAt(900, 300);
    EXPECT_FALSE(map->isScrolling());
    canvas->deliver(lang::make<window::Event>(window::Event::kMouseDown, 765, 305, 0, 0, 1).get());
    for (int i = 0; i < 100; ++i)
        dialog_test::step(*map, i);
    EXPECT_EQ(map->mapX(), -1600);
    EXPECT_FALSE(map->isScrolling());
}

// Set-up: the numbers at 1, the frog's shadow and the selected-level marker shown, the editor's button
// hidden, and every marker hidden 5 pixels left of and 10 above where the script put it.
TEST_F(MapTest, SetUpHidesEveryMarkerAtItsPlaceAndShowsTheSelection) {
    std::string script = dialog_test::mapDialogScript();
    for (const char* hidden :
         {" FrogShadow AnimateSprite btn 0 0 3 1\n", " selectedlevelmarker AnimateSprite btn 0 0 3 1\n"}) {
        const size_t at = script.find(hidden);
        ASSERT_NE(at, std::string::npos) << hidden;
        script.insert(at + std::string(hidden).size() - 1, " -1");
    }
    script += " starteditor AnimateSprite btn 5 5 3 1\n";
    write("fresh.txt", script);
    write("fresh-main.txt", "<sprites> FreshMap MenuMapDialog:fresh.txt 0 0 800 600 0 0 0\n");
    load("fresh-main.txt");
    auto* fresh = get<MenuMapDialog>("FreshMap");
    ASSERT_NE(fresh, nullptr);
    for (const char* name : {"mapconsolestagenumber", "mapconsolelevelnumber"}) {
        lang::Ref<sprite::Sprite> n = fresh->getChild(name);
        EXPECT_EQ(static_cast<sprite::NumberSprite*>(n.get())->getValue(), 1) << name;
    }
    EXPECT_TRUE(fresh->getChild("FrogShadow")->isVisible());
    EXPECT_TRUE(fresh->getChild("selectedlevelmarker")->isVisible());
    EXPECT_FALSE(fresh->getChild("starteditor")->isVisible());
    for (int level = 1; level <= 60; ++level) {
        lang::Ref<sprite::Sprite> m = fresh->getChild(("levelmarker" + std::to_string(level)).c_str());
        EXPECT_FALSE(m->isVisible()) << level;
        EXPECT_EQ(m->getX(), 65 + 25 * level - 5) << level;
        EXPECT_EQ(m->getY(), 110 - 10) << level;
    }
}

// Every press of the map by mouse: the arrows between the ends, the selected-level marker, the start
// and back buttons, the left scroll and a release that ends a scroll.
TEST_F(MapTest, EachPressStoresTheSelectionAndShowsIt) {
    prepare(40, 30);
    EXPECT_EQ(stateOf(map, "mapconsolebackarrow"), 1) << "between the ends both arrows work";
    EXPECT_EQ(stateOf(map, "mapconsoleforwardarrow"), 1);
    back();
    EXPECT_EQ(map->selectedLevel(), 29);
    EXPECT_EQ(canvas->data->getInt(PlayerData::kSelectedLevel, 0), 29);
    EXPECT_EQ(marker(29)->getX(), 400) << "the map is centred on the level the arrow selected";
    EXPECT_EQ(shownNumber("mapconsolestagenumber"), 6);
    EXPECT_EQ(shownNumber("mapconsolelevelnumber"), 4);

    // A single press on the selected-level marker (beside the level's own marker) stores the selection
    // and starts the level.
    canvas->data->setInt(PlayerData::kSelectedLevel, 2);
    canvas->take();
    canvas->click(marker(29)->getX() + 21, marker(29)->getY() + 21);
    EXPECT_EQ(canvas->data->getInt(PlayerData::kSelectedLevel, 0), 29);
    EXPECT_EQ(canvas->take(), (std::vector<std::string>{"bstartgame"}));

    // A marker's press makes the start button usable again.
    dialog_test::buttonIn(map, "bstartgame")->setState(0);
    clickMarker(27);
    EXPECT_EQ(stateOf(map, "bstartgame"), 1);
    EXPECT_EQ(map->selectedLevel(), 27);
    canvas->data->setInt(PlayerData::kSelectedLevel, 3);
    canvas->take();
    canvas->click(625, 565);  // bstartgame
    canvas->click(25, 565);   // bbacktomainmenu
    EXPECT_EQ(canvas->take(), (std::vector<std::string>{"bstartgame", "bbacktomainmenu"}));
    EXPECT_EQ(canvas->data->getInt(PlayerData::kSelectedLevel, 0), 27) << "starting stores the selection";

    // Scrolling left runs to the map's left end; a release ends a scroll where it stands.
    prepare(60, 60);
    ASSERT_EQ(map->mapX(), -1160);
    canvas->deliver(lang::make<window::Event>(window::Event::kMouseDown, 15, 305, 0, 0, 1).get());
    dialog_test::step(*map, 1);
    EXPECT_EQ(map->mapX(), -1140);
    canvas->deliver(lang::make<window::Event>(window::Event::kMouseUp, 15, 305, 0, 0, 1).get());
    EXPECT_FALSE(map->isScrolling());
    dialog_test::step(*map, 2);
    EXPECT_EQ(map->mapX(), -1140);
    canvas->deliver(lang::make<window::Event>(window::Event::kMouseDown, 15, 305, 0, 0, 1).get());
    for (int f = 3; f < 100; ++f)
        dialog_test::step(*map, f);
    EXPECT_EQ(map->mapX(), 0);
    EXPECT_FALSE(map->isScrolling());
    for (const std::string& c : canvas->take())
        EXPECT_EQ(c, "") << "scrolling is no command";
}

// The scroll arrows pulse between 128 and 90, 20 frames each way; a completed level's marker fades in
// over 25 frames.
TEST_F(MapTest, TheArrowsPulseAndACompletedLevelsMarkerFadesIn) {
    prepare(10);
    auto* right = dialog_test::buttonIn(map, "scrollmapright");
    auto* left = dialog_test::buttonIn(map, "scrollmapleft");
    std::vector<int> lows, highs;
    int lowest = 255, highest = 0;
    for (int f = 0; f < 200; ++f) {
        const int before = right->getAlpha();
        dialog_test::step(*map, f);
        const int alpha = right->getAlpha();
        EXPECT_EQ(left->getAlpha(), alpha);
        lowest = std::min(lowest, alpha);
        highest = std::max(highest, alpha);
        if (alpha == 90 && before != 90)
            lows.push_back(f);
        if (alpha == 128 && before != 128)
            highs.push_back(f);
    }
    EXPECT_EQ(lowest, 90);
    EXPECT_EQ(highest, 128);
    ASSERT_GE(lows.size(), 3u);
    ASSERT_GE(highs.size(), 3u);
    for (size_t i = 0; i + 1 < lows.size(); ++i)
        EXPECT_EQ(lows[i + 1] - lows[i], 40) << "a pulse takes 20 frames each way";
    EXPECT_EQ(highs[0] - lows[0], 20);

    map->markLevelCompleted(4);
    auto* done = static_cast<sprite::AnimateSprite*>(marker(4));
    EXPECT_TRUE(done->isVisible());
    EXPECT_EQ(done->getAlpha(), 0);
    for (int f = 0; f < 24; ++f)
        dialog_test::step(*map, 300 + f);
    EXPECT_LT(done->getAlpha(), 128);
    dialog_test::step(*map, 324);
    EXPECT_EQ(done->getAlpha(), 128);
}

// Records what the tally asks of the game, in order.
class FakeGame : public LevelTally {
public:
    void playSound(int index) override { calls.push_back("sound " + std::to_string(index)); }
    int level() override { return levelNumber; }
    int consoleTimer() override { return timer; }
    int timerDivisor() override { return 4; }
    void countConsoleTimer() override {
        timer = std::min(timer + 5, 400);
        ++countFrames;
    }
    int consoleScore() override { return score; }
    int consoleSuns() override { return 4; }
    void startPiecesLeaving() override { calls.push_back("pieces leave"); }
    void replaceTilesWithEndAnimations() override { calls.push_back("tiles"); }
    void clearBoardForTally() override { calls.push_back("clear board"); }
    void releasePieces() override { calls.push_back("release"); }
    void showFloatingBonus(int points) override { floating += points; }
    void setBonusLevelNext() override { calls.push_back("bonus next"); }
    void progressStored() override { calls.push_back("progress"); }
    void startBonusTally() override { calls.push_back("bonus start"); }
    int sunsHeld() override { return 6; }
    int bonusPoints() override { return 700; }
    int bonusSuns() override { return 3; }
    void sendReport(int reason) override { calls.push_back("report " + std::to_string(reason)); }
    void putBackCarriedSun() override { calls.push_back("sun back"); }
    void hideBonusClickNumber() override {}
    void endBonusLevel() override { calls.push_back("bonus end"); }
    void placeBelowTopFence(sprite::Sprite*) override { calls.push_back("dialog up"); }
    void setArrowCursor() override { calls.push_back("arrow"); }

    std::vector<std::string> calls;
    int levelNumber = 7;
    int timer = 123;
    int score = 5000;
    int countFrames = 0;
    int floating = 0;
};

class TallyTest : public ::testing::Test, public dialog_test::DialogFixture {
protected:
    void SetUp() override {
        write("lc.txt",
              "<sprites>\n"
              " ibtncontinue ButtonSprite btn 100 100 3 1 2 1 0 1\n"
              " continuebuttonholder Sprite bg 90 90\n"
              " bonusnumbers_score NumberSprite digits 10 10\n"
              " bonusnumbers_bonus NumberSprite digits 10 30\n"
              " timeminutenumber NumberSprite digits 10 50\n"
              " numbersunsacquired NumberSprite digits 10 70\n");
        write("main.txt", "<sprites> LevelComplete LevelCompleteDialog:lc.txt 100 100 400 300 0 0 0\n");
        load("main.txt");
        dialog = get<LevelCompleteDialog>("LevelComplete");
        ASSERT_NE(dialog, nullptr);
        canvas->data->createProfile("Ann");
        canvas->data->selectProfile("Ann");
    }
    // Runs the tally as the frame update does: lower the countdown, run the step for the new value.
    int run(bool bonus) {
        dialog->beginTally();
        int countdown = LevelCompleteDialog::kStartCountdown;
        int frames = 0;
        while (countdown > 0 && frames < 5000) {
            --countdown;
            countdown = bonus ? dialog->bonusTallyStep(countdown, game) : dialog->tallyStep(countdown, game);
            ++frames;
        }
        return frames;
    }

    LevelCompleteDialog* dialog = nullptr;
    FakeGame game;
};

TEST_F(TallyTest, TheNormalTallyCountsTheTimerFullAndStoresTheRealTotal) {
    canvas->data->setHighestLevel(6);
    // The timer stands where a step of 5 never meets 400 exactly.
    game.timer = 123;
    run(false);
    EXPECT_EQ(game.timer, 400);
    const std::vector<std::string> expected = {"sound 24", "pieces leave", "sound 28", "tiles", "clear board",
                                               "dialog up", "release", "sound 34", "sound 33", "progress",
                                               "arrow"};
    std::vector<std::string> calls;
    for (const std::string& c : game.calls)
        if (c != "sound 32")
            calls.push_back(c);
    EXPECT_EQ(calls, expected);
    // 56 count frames of 2 steps each: a tick every 10 frames after the first, 20 points a tick.
    const int ticks = static_cast<int>(std::count(game.calls.begin(), game.calls.end(), "sound 32"));
    EXPECT_EQ(ticks, 5);
    EXPECT_EQ(dialog->bonusValue(), ticks * 20);
    EXPECT_EQ(game.floating, ticks * 20);
    EXPECT_EQ(dialog->total(), 5000 + ticks * 20);
    EXPECT_EQ(canvas->data->score(), 5000 + ticks * 20);
    // Level 7 is above the highest level reached: progress moves on.
    EXPECT_EQ(canvas->data->highestLevel(), 7);
    EXPECT_EQ(canvas->data->selectedLevel(), 8);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(stateOf(dialog, "ibtncontinue"), 1);
    lang::Ref<sprite::Sprite> time = dialog->getChild("timeminutenumber");
    EXPECT_EQ(static_cast<sprite::NumberSprite*>(time.get())->getValue(), 123 / 4);
}

TEST_F(TallyTest, AFifthLevelLeadsToTheBonusLevelAndAReplayedLevelKeepsTheProgress) {
    game.levelNumber = 10;
    canvas->data->setHighestLevel(9);
    run(false);
    EXPECT_NE(std::find(game.calls.begin(), game.calls.end(), "bonus next"), game.calls.end());
    EXPECT_EQ(canvas->data->highestLevel(), 9);

    game = FakeGame();
    game.levelNumber = 3;
    game.timer = 400;
    canvas->data->setHighestLevel(20);
    run(false);
    EXPECT_EQ(canvas->data->highestLevel(), 20);
    EXPECT_EQ(canvas->data->selectedLevel(), 21);
    EXPECT_EQ(dialog->bonusValue(), 0);
}

// The bonus level follows a fifth level: its end stores that level as reached, never one beyond it.
TEST_F(TallyTest, TheBonusTallyStoresSunsScoreAndTheLevelItFollowed) {
    game.levelNumber = 60;
    canvas->data->setHighestLevel(59);
    run(true);
    const std::vector<std::string> expected = {"bonus start", "report 1", "sound 33", "dialog up",
                                               "sun back", "bonus end", "arrow"};
    EXPECT_EQ(game.calls, expected);
    EXPECT_EQ(canvas->data->score(), 5700);
    EXPECT_EQ(canvas->data->suns(), 4);
    EXPECT_EQ(canvas->data->highestLevel(), 60);
    run(true);
    EXPECT_EQ(canvas->data->highestLevel(), 60);
    game.levelNumber = 5;
    canvas->data->setHighestLevel(30);
    run(true);
    EXPECT_EQ(canvas->data->highestLevel(), 30) << "level 5's bonus replayed unlocks nothing";
    canvas->data->setHighestLevel(4);
    run(true);
    EXPECT_EQ(canvas->data->highestLevel(), 5) << "level 5's first bonus counts level 5 as reached";
}

// What the player sees of each tally, step by step, in a dialog whose every text starts out shown.
TEST_F(TallyTest, EachStepShowsItsTextsAndNumbers) {
    std::string script = "<sprites>\n ibtncontinue ButtonSprite btn 100 100 3 1 2 1 0 1\n";
    for (const char* text : {"ilevelcompletetext", "icongratulationstext", "continuebuttonholder",
                             "iscoretext", "ibonustext", "itimetext", "isunsacquiredtext"})
        script += std::string(" ") + text + " AnimateSprite btn 10 10 3 1\n";
    for (const char* number :
         {"bonusnumbers_score", "bonusnumbers_bonus", "timeminutenumber", "numbersunsacquired"})
        script += std::string(" ") + number + " NumberSprite digits 10 10\n";
    write("full.txt", script);
    write("full-main.txt", "<sprites> FullTally LevelCompleteDialog:full.txt 100 100 400 300 0 0 0\n");
    load("full-main.txt");
    auto* d = get<LevelCompleteDialog>("FullTally");
    ASSERT_NE(d, nullptr);
    auto shown = [&] {
        std::string names;
        for (const char* name :
             {"ilevelcompletetext", "icongratulationstext", "ibtncontinue", "continuebuttonholder",
              "iscoretext", "bonusnumbers_score", "ibonustext", "bonusnumbers_bonus", "itimetext",
              "timeminutenumber", "isunsacquiredtext", "numbersunsacquired"})
            if (d->getChild(name)->isVisible())
                names += std::string(names.empty() ? "" : " ") + name;
        return names;
    };
    auto value = [&](const char* name) {
        lang::Ref<sprite::Sprite> n = d->getChild(name);
        return static_cast<sprite::NumberSprite*>(n.get())->getValue();
    };
    EXPECT_EQ(shown(), "") << "set-up hides every text, number and the continue button";

    // The steps that change what shows, by countdown value, and what shows once each has run.
    struct Seen {
        int countdown;
        std::string shown;
    };
    auto runChecking = [&](bool bonus, const std::vector<Seen>& expected) {
        d->showContinue(true);
        d->beginTally();
        size_t next = 0;
        int countdown = LevelCompleteDialog::kStartCountdown;
        for (int frames = 0; countdown > 0 && frames < 5000; ++frames) {
            --countdown;
            const int stepped = countdown;
            countdown = bonus ? d->bonusTallyStep(countdown, game) : d->tallyStep(countdown, game);
            if (next < expected.size() && stepped == expected[next].countdown) {
                EXPECT_EQ(shown(), expected[next].shown) << "after step " << stepped;
                ++next;
            }
        }
        EXPECT_EQ(next, expected.size()) << "every step was met";
    };

    game.timer = 200;
    runChecking(false,
                {{999, "isunsacquiredtext numbersunsacquired"},
                 {945, "ibonustext bonusnumbers_bonus isunsacquiredtext numbersunsacquired"},
                 {925,
                  "iscoretext bonusnumbers_score ibonustext bonusnumbers_bonus itimetext "
                  "timeminutenumber isunsacquiredtext numbersunsacquired"},
                 {890,
                  "ibtncontinue continuebuttonholder iscoretext bonusnumbers_score ibonustext "
                  "bonusnumbers_bonus itimetext timeminutenumber isunsacquiredtext numbersunsacquired"}});
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(value("numbersunsacquired"), 4) << "the console's suns";
    EXPECT_EQ(value("timeminutenumber"), 200 / 4) << "the timer over the level's divisor";
    EXPECT_EQ(value("bonusnumbers_score"), d->total()) << "the total replaces the score";
    EXPECT_EQ(value("bonusnumbers_bonus"), d->bonusValue());
    EXPECT_EQ(d->getChild("bonusnumbers_bonus")->getAlpha(), 70) << "the bonus fades back once counted";
    EXPECT_EQ(stateOf(d, "ibtncontinue"), 1);
    EXPECT_TRUE(d->continueHit(205, 205)) << "the continue button, in canvas coordinates";
    EXPECT_FALSE(d->continueHit(105, 105));
    d->showContinue(false);
    EXPECT_FALSE(d->continueHit(205, 205)) << "a hidden button is not hit";

    // The bonus level's tally, in a dialog shown as the last one left it.
    for (const char* name : {"bonusnumbers_bonus", "ilevelcompletetext"})
        d->getChild(name)->setColorTransform(128, 128, 128, 128);
    for (const char* name : {"iscoretext", "bonusnumbers_score", "ibonustext", "bonusnumbers_bonus",
                             "isunsacquiredtext", "numbersunsacquired"})
        d->getChild(name)->setVisible(false);
    d->setVisible(false);
    runChecking(true,
                {{999, "itimetext timeminutenumber"},
                 {995, "ilevelcompletetext icongratulationstext itimetext timeminutenumber"},
                 {990,
                  "ilevelcompletetext icongratulationstext iscoretext bonusnumbers_score itimetext "
                  "timeminutenumber"},
                 {965,
                  "ilevelcompletetext icongratulationstext iscoretext bonusnumbers_score ibonustext "
                  "bonusnumbers_bonus itimetext timeminutenumber isunsacquiredtext numbersunsacquired"},
                 {950,
                  "ilevelcompletetext icongratulationstext iscoretext bonusnumbers_score ibonustext "
                  "bonusnumbers_bonus isunsacquiredtext numbersunsacquired"},
                 {935,
                  "ilevelcompletetext icongratulationstext ibtncontinue continuebuttonholder iscoretext "
                  "bonusnumbers_score ibonustext bonusnumbers_bonus isunsacquiredtext "
                  "numbersunsacquired"}});
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->getChild("ilevelcompletetext")->getAlpha(), 128);
    EXPECT_EQ(value("numbersunsacquired"), 3) << "the suns the prizes won, not the points";
    EXPECT_EQ(value("bonusnumbers_score"), 5000 + 700);
    EXPECT_EQ(value("bonusnumbers_bonus"), 700);
    EXPECT_EQ(d->getChild("bonusnumbers_bonus")->getAlpha(), 70);
}

class ConsoleTest : public ::testing::Test, public dialog_test::DialogFixture {
protected:
    void SetUp() override {
        write("console.txt",
              "<sprites>\n"
              " Console Sprite bg 0 0\n"
              " itimeline Sprite bg 100 20\n"
              " wateroverlay Sprite bg 100 20\n"
              " waterlinetip Sprite bg 100 10\n"
              " timer_redalert Sprite bg 0 0\n"
              " numsunsonconsole NumberSprite digits 10 10\n"
              " Score NumberSprite digits 10 30\n"
              " Level NumberSprite digits 10 50\n"
              " Stage NumberSprite digits 10 70\n");
        write("main.txt", "<sprites> consoledialog ConsoleDialog:console.txt 0 500 800 100 0 1 0\n");
        load("main.txt");
        console = get<ConsoleDialog>("consoledialog");
        ASSERT_NE(console, nullptr);
        canvas->data->createProfile("Ann");
        canvas->data->selectProfile("Ann");
    }
    ConsoleDialog* console = nullptr;
};

TEST_F(ConsoleTest, ALevelStartsWithTheStoredScoreAndAtLeastOneSun) {
    canvas->data->setScore(4321);
    canvas->data->setSuns(1);
    console->setLevel(1);
    console->startLevel();
    EXPECT_EQ(console->score(), 4321);
    EXPECT_EQ(console->suns(), 3);
    EXPECT_EQ(canvas->data->suns(), 3);

    canvas->data->setSuns(0);
    console->setLevel(12);
    console->startLevel();
    EXPECT_EQ(console->suns(), 1);
    EXPECT_EQ(canvas->data->suns(), 1);
    lang::Ref<sprite::Sprite> stage = console->getChild("Stage");
    lang::Ref<sprite::Sprite> level = console->getChild("Level");
    EXPECT_EQ(static_cast<sprite::NumberSprite*>(stage.get())->getValue(), 3);
    EXPECT_EQ(static_cast<sprite::NumberSprite*>(level.get())->getValue(), 2);

    canvas->data->setSuns(7);
    console->startLevel();
    EXPECT_EQ(console->suns(), 7);
}

// What shows of the console after set-up, at a level's start, with the gold glow and with one more sun.
TEST_F(ConsoleTest, SetUpAndALevelsStartShowOnlyWhatTheLevelNeeds) {
    std::string script = "<sprites>\n";
    for (const char* name : {"goldtileincreasehighlight", "Console", "itimeline", "waterfalloverlay",
                             "timer_redalert", "timergraphic", "iwatertipmask"})
        script += std::string(" ") + name + " AnimateSprite btn 100 20 3 1\n";
    for (const char* name : {"wateroverlay", "waterlinetip"})
        script += std::string(" ") + name + " AnimateSprite btn 100 20 3 1 -1\n";
    for (const char* name : {"numsunsonconsole", "Score", "Level", "Stage"})
        script += std::string(" ") + name + " NumberSprite digits 10 10\n";
    write("full.txt", script);
    write("full-main.txt", "<sprites> FullConsole ConsoleDialog:full.txt 0 500 800 100 0 1 0\n");
    load("full-main.txt");
    auto* c = get<ConsoleDialog>("FullConsole");
    ASSERT_NE(c, nullptr);
    auto shown = [&] {
        std::string names;
        for (const char* name :
             {"goldtileincreasehighlight", "Console", "itimeline", "numsunsonconsole", "wateroverlay",
              "waterfalloverlay", "waterlinetip", "timer_redalert", "timergraphic", "iwatertipmask"})
            if (c->getChild(name)->isVisible())
                names += std::string(names.empty() ? "" : " ") + name;
        return names;
    };
    EXPECT_EQ(shown(), "wateroverlay waterlinetip timergraphic iwatertipmask");
    c->setLevel(4);
    c->startLevel();
    EXPECT_EQ(shown(), "Console numsunsonconsole") << "the timer's parts wait for the timer";
    lang::Ref<sprite::Sprite> suns = c->getChild("numsunsonconsole");
    EXPECT_EQ(static_cast<sprite::NumberSprite*>(suns.get())->getValue(), 3) << "no stored suns: three";
    c->raiseSuns();
    EXPECT_EQ(c->suns(), 4);
    EXPECT_EQ(static_cast<sprite::NumberSprite*>(suns.get())->getValue(), 4);
    c->setGoldGlow(true);
    EXPECT_TRUE(c->getChild("goldtileincreasehighlight")->isVisible());
    c->setGoldGlow(false);
    EXPECT_FALSE(c->getChild("goldtileincreasehighlight")->isVisible());
}

TEST_F(ConsoleTest, TheWaterTipWaitsForTheTimerAndNeverReachesOutOfTheBar) {
    lang::Ref<sprite::Sprite> tip = console->getChild("waterlinetip");
    // A level starts with its tip hidden: a bonus level, whose timer never runs, keeps it hidden.
    console->setLevel(5);
    console->resetForLevel();
    console->startLevel();
    EXPECT_FALSE(tip->isVisible());

    // The first step shows a line of one pixel: the tip, 30 pixels behind the line's end, is cut at
    // the bar's left end (the bar, "itimeline", is 60 wide at x 100).
    console->setTimer(0);
    console->timerStep(false);
    EXPECT_TRUE(tip->isVisible());
    util::RectangleNM shown = tip->getBounds();
    EXPECT_EQ(shown.x, 100);
    EXPECT_EQ(shown.x + shown.width, 100 + 1 - 30 + 60) << "the part of the tip on the bar still shows";
    EXPECT_EQ(shown.height, 20);

    // Further on, the tip is cut at the bar's right end.
    console->setTimer(400);
    for (int i = 0; i < 40; ++i)
        console->timerStep(false);
    shown = tip->getBounds();
    EXPECT_LE(shown.x + shown.width, 100 + 60);
}

TEST_F(ConsoleTest, TheWaterLineFollowsTheTimerUpwardAndRaisesTheAlertLate) {
    console->resetForLevel();
    console->setTimer(50);
    EXPECT_EQ(console->timerStep(false), 100 + 20);
    EXPECT_EQ(console->timerStep(false), 100 + 40);
    EXPECT_EQ(console->timerStep(false), 100 + 41);
    console->setTimer(10);  // never moves down
    EXPECT_EQ(console->timerStep(false), 100 + 41);
    EXPECT_FALSE(console->redAlert());
    // The line and the water show as wide as the displayed value.
    for (const char* name : {"itimeline", "wateroverlay"}) {
        lang::Ref<sprite::Sprite> s = console->getChild(name);
        EXPECT_TRUE(s->isVisible()) << name;
        EXPECT_EQ(s->getBounds().width, 41) << name;
    }
    lang::Ref<sprite::Sprite> alert = console->getChild("timer_redalert");
    console->setTimer(350);
    for (int i = 0; i < 40; ++i)
        console->timerStep(false);
    EXPECT_FALSE(console->redAlert());
    EXPECT_FALSE(alert->isVisible());
    console->setTimer(351);
    console->timerStep(false);
    EXPECT_EQ(console->displayedTimer(), 351);
    EXPECT_TRUE(console->redAlert());
    EXPECT_TRUE(alert->isVisible()) << "the red alert shows from 351";
    EXPECT_EQ(alert->getAlpha(), 128);
    // The tally's count carries the timer up to full.
    for (int i = 0; i < 20; ++i)
        console->timerStep(true);
    EXPECT_EQ(console->timer(), 400);
    EXPECT_EQ(console->displayedTimer(), 400);
}

}  // namespace
