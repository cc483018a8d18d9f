// What each screen state and each button of the flow shows, plays and stores, as the player meets it:
// the pause, game over, the level's end, the main menu, the map, the in-game menu's ways out, retry,
// the options and the instructions, and the sounds of picks and refusals. The canvas in stepping mode,
// with a clip for every sound index, so that a sound that is not played shows.
#include <gtest/gtest.h>

#include "tests/game/CanvasGame.h"

namespace {

using canvas_game::Game;

constexpr int kSoundSelected = 2;
constexpr int kSoundButton = 6;
constexpr int kSoundSwapBack = 20;
constexpr int kSoundGameOver = 21;
constexpr int kSoundLevelComplete = 22;
constexpr int kSoundTimeRunningOut = 34;
constexpr int kSoundBurstScore = 40;
constexpr int kSoundBurstClick = 42;
const util::Point kConsoleSun(45, 565);
const util::Point kConsoleMenu(15, 565);

void loseByTime(Game& g) {
    {
        lang::Synchronized guard(g.canvas.get());
        g.canvas->board().setTimer(Board::kTimerFull);
    }
    for (int i = 0; i < 1000 && g.canvas->state() != KolbaxCanvas::kGameOver; ++i)
        g.steps(1);
    ASSERT_EQ(g.canvas->state(), KolbaxCanvas::kGameOver);
}

bool belowTopFence(Game& g, const char* name) {
    return g.order(name) < g.order("ipicketfence3");
}

TEST(ScreenStatesTest, PauseFadesEveryClipAndShowsTheSignOverTheDimmer) {
    Game g;
    g.play(2);
    g.press('p');
    ASSERT_EQ(g.canvas->state(), KolbaxCanvas::kPaused);
    for (size_t i = 0; i < g.clips.size(); ++i)
        EXPECT_EQ(g.clips[i]->fadeTarget, 0) << "clip " << i << " fades out in the pause";
    EXPECT_TRUE(g.visible("dim"));
    EXPECT_TRUE(g.visible("pausesign"));
    EXPECT_TRUE(belowTopFence(g, "pausesign"));
    EXPECT_GT(g.order("pausesign"), g.order("dim")) << "the sign stands over the dimmer";
}

TEST(ScreenStatesTest, GameOverByTimePlaysItsSoundStopsTheAlarmAndLeavesByMenuOrRetry) {
    Game g;
    g.profile().setSuns(2);
    g.play(2);
    g.clearSounds();
    loseByTime(g);
    EXPECT_GE(g.played(kSoundTimeRunningOut), 1) << "the alarm sounded first";
    EXPECT_EQ(g.played(kSoundGameOver), 1);
    EXPECT_TRUE(g.stopped(kSoundTimeRunningOut)) << "game over ends the alarm";
    EXPECT_TRUE(g.visible("GameOver"));
    EXPECT_TRUE(g.visible("dim"));
    EXPECT_TRUE(belowTopFence(g, "GameOver"));
    EXPECT_FALSE(g.visible("highlight"));

    // Retry: a new board with one more sun, stored.
    g.clearSounds();
    g.action("retry");
    EXPECT_TRUE(g.stopped(kSoundTimeRunningOut));
    EXPECT_FALSE(g.visible("GameOver"));
    EXPECT_FALSE(g.visible("dim"));
    EXPECT_EQ(g.profile().suns(), 3) << "GLT is the counter plus the retries";

    // The menu: the main menu over an empty board, its music 15 frames on.
    loseByTime(g);
    g.action("OverMenu");
    EXPECT_EQ(g.canvas->state(), KolbaxCanvas::kMainMenu);
    EXPECT_TRUE(g.visible("MainMenu"));
    for (const char* hidden : {"GameOver", "dim", "consoledialog", "highlight", "itutorial"})
        EXPECT_FALSE(g.visible(hidden)) << hidden;
    for (int id = 0; id < 250; ++id)
        ASSERT_FALSE(g.canvas->pieceSprite(id)->isVisible()) << "piece " << id << " left the board";
    g.steps(16);
    EXPECT_EQ(g.canvas->currentMusic(), KolbaxCanvas::kMusicMainMenu);
}

TEST(ScreenStatesTest, TheLevelsEndPlaysItsSoundStoresTheSelectionAndCountsTheTally) {
    Game g;
    g.profile().setSelectedLevel(2);
    g.play(2);
    g.clearSounds();
    {
        lang::Synchronized guard(g.canvas.get());
        g.canvas->enterState(KolbaxCanvas::kLevelComplete);
    }
    EXPECT_EQ(g.played(kSoundLevelComplete), 1);
    EXPECT_EQ(g.canvas->levelCompleteCountdown(), KolbaxCanvas::kCountdownStart);
    EXPECT_EQ(g.profile().selectedLevel(), 2);
    EXPECT_FALSE(g.visible("MainMenu"));
    for (int i = 0; i < 1200 && g.canvas->levelCompleteCountdown() > 0; ++i)
        g.steps(1);
    EXPECT_TRUE(g.visible("LevelComplete"));
    g.clearSounds();
    g.action("ibtncontinue");
    EXPECT_TRUE(g.stopped(kSoundLevelComplete));
    EXPECT_TRUE(g.stopped(kSoundTimeRunningOut));
    EXPECT_EQ(g.canvas->state(), KolbaxCanvas::kMap);
    EXPECT_EQ(g.profile().highestLevel(), 10) << "a replayed level keeps the progress";
    EXPECT_EQ(g.profile().selectedLevel(), 11);
}

TEST(ScreenStatesTest, TheMapHidesTheLevelAndPlaysItsMusic) {
    Game g;
    g.play(2);
    g.action("mapbutton");
    ASSERT_EQ(g.canvas->state(), KolbaxCanvas::kMap);
    EXPECT_TRUE(g.visible("MenuMap"));
    for (const char* hidden : {"consoledialog", "btn_consolesun", "background", "playarea", "dim", "highlight"})
        EXPECT_FALSE(g.visible(hidden)) << hidden;
    EXPECT_EQ(static_cast<sprite::ButtonSprite*>(g.canvas->getSprite("btn_MenuOnConsole"))->getState(), 0);
    EXPECT_EQ(g.canvas->currentMusic(), KolbaxCanvas::kMusicMap);
    EXPECT_EQ(g.canvas->levelCompleteCountdown(), 0);
    EXPECT_FALSE(g.canvas->paused());
    g.clearSounds();
    g.action("bbacktomainmenu");
    EXPECT_EQ(g.played(kSoundButton), 1);
    EXPECT_FALSE(g.visible("MenuMap"));
    EXPECT_EQ(g.canvas->state(), KolbaxCanvas::kMainMenu);
    g.clearSounds();
    g.action("bStart1");
    EXPECT_EQ(g.played(kSoundButton), 1);
    EXPECT_FALSE(g.visible("MainMenu"));
    EXPECT_TRUE(g.visible("MenuMap"));
}

TEST(ScreenStatesTest, StartingALevelHidesTheScreensAndCountsAReplay) {
    Game g;
    g.profile().setHighestLevel(4);
    g.profile().setSelectedLevel(3);
    g.action("bStart1");
    g.clearSounds();
    g.action("bstartgame");
    EXPECT_EQ(g.played(kSoundButton), 1);
    EXPECT_EQ(g.canvas->state(), KolbaxCanvas::kPlay);
    EXPECT_EQ(g.canvas->level(), 3);
    EXPECT_EQ(g.canvas->replayCount(), 1) << "level 3 is at or below the highest level reached";
    for (const char* hidden : {"MenuMap", "MainMenu", "dim", "highlight"})
        EXPECT_FALSE(g.visible(hidden)) << hidden;
    EXPECT_TRUE(g.visible("consoledialog"));
    EXPECT_TRUE(g.visible("btn_consolesun"));
    EXPECT_EQ(g.canvas->currentMusic(), KolbaxCanvas::kMusicInGame);
}

TEST(ScreenStatesTest, TheInGameMenuWaysOutReportAndStoreTheSuns) {
    Game g;
    g.profile().setSuns(4);
    g.play(2);
    g.click(kConsoleMenu);
    ASSERT_TRUE(g.visible("ExitDialog"));
    EXPECT_TRUE(belowTopFence(g, "ExitDialog"));
    g.clearSounds();
    g.action("mapbutton");
    EXPECT_EQ(g.played(kSoundButton), 1);
    EXPECT_FALSE(g.visible("ExitDialog"));
    ASSERT_EQ(g.reports.size(), 1u);
    EXPECT_EQ(g.reports[0].reason, GamePlayReport::kToMap);
    EXPECT_EQ(g.profile().suns(), 4) << "the suns held are stored for the next level";

    g.play(2);
    g.click(kConsoleMenu);
    g.action("EndGame");
    ASSERT_EQ(g.reports.size(), 2u);
    EXPECT_EQ(g.reports[1].reason, GamePlayReport::kEndGame);
    EXPECT_EQ(g.canvas->replayCount(), 0);
    EXPECT_EQ(g.canvas->state(), KolbaxCanvas::kMainMenu);
}

TEST(ScreenStatesTest, OptionsSilenceTheMusicOfTheirScreenAndBringItBackOnClose) {
    Game g;
    g.steps(16);
    ASSERT_EQ(g.canvas->currentMusic(), KolbaxCanvas::kMusicMainMenu);
    g.clearSounds();
    g.action("bMenuOptions");
    EXPECT_EQ(g.played(kSoundButton), 1);
    EXPECT_TRUE(g.visible("Options"));
    EXPECT_TRUE(g.visible("dim"));
    EXPECT_EQ(g.canvas->currentMusic(), KolbaxCanvas::kMusicNone) << "the main menu's music fades out";
    g.canvas->getSprite("Options")->setVisible(false);
    g.action("CLOSED");
    EXPECT_EQ(g.canvas->currentMusic(), KolbaxCanvas::kMusicMainMenu) << "and comes back on close";
    EXPECT_FALSE(g.visible("dim"));
    g.clearSounds();
    g.action("bMenuInstructions");
    EXPECT_EQ(g.played(kSoundButton), 1);
    EXPECT_TRUE(g.visible("Instructions"));
}

TEST(ScreenStatesTest, APickSoundsAndASwapWithoutARunGoesBackAloudAndDropsThePick) {
    Game g;
    g.play(2);
    Board& board = g.canvas->board();
    // Two neighbours whose swap makes no run.
    SwapMove dud;
    {
        lang::Synchronized guard(g.canvas.get());
        std::array<bool, board::kSquares> squares{};
        for (int x = 0; x + 1 < board::kColumns && !dud.valid(); ++x)
            for (int y = 0; y < board::kRows && !dud.valid(); ++y)
                if (board.value(x, y) >= 0 && board.value(x + 1, y) >= 0 && board.pieceId(x, y) >= 0 &&
                    board.pieceId(x + 1, y) >= 0 && board.tileType(x, y) == board::kTilePlain &&
                    board.tileType(x + 1, y) == board::kTilePlain &&
                    board.runSquaresAfterSwap(x, y, x + 1, y, &squares) == 0)
                    dud = SwapMove{x, y, x + 1, y};
    }
    ASSERT_TRUE(dud.valid());
    g.clearSounds();
    g.click(g.centre(dud.x1, dud.y1));
    EXPECT_EQ(g.played(kSoundSelected), 1) << "a first pick";
    EXPECT_TRUE(g.visible("highlight"));
    g.click(g.centre(dud.x2, dud.y2));
    g.untilQuiet();
    EXPECT_GE(g.played(kSoundSwapBack), 1) << "a swap that makes no run goes back, aloud";
    EXPECT_FALSE(g.visible("highlight"));
    EXPECT_EQ(board.selectedPiece(), board::kNone);
}

TEST(ScreenStatesTest, TheMenuButtonWithACarriedSunSendsItBackAndOpensTheMenuLater) {
    Game g;
    g.profile().setSuns(2);
    g.play(2);
    g.click(kConsoleSun);
    ASSERT_TRUE(g.canvas->sunCarried());
    g.click(kConsoleMenu);
    EXPECT_FALSE(g.canvas->sunCarried()) << "the sun goes back to the console";
    EXPECT_FALSE(g.visible("ExitDialog")) << "the menu waits for the sun";
    g.steps(11);
    EXPECT_TRUE(g.visible("ExitDialog"));
    EXPECT_TRUE(g.visible("dim"));
    EXPECT_EQ(g.canvas->board().suns(), 2);
}

TEST(ScreenStatesTest, BurstsAtTheScoreAndAtTheClickSoundWhereTheyLand) {
    Game g;
    g.play(2);
    g.clearSounds();
    g.action("Do burst at score area");
    EXPECT_EQ(g.played(kSoundBurstScore), 1);
    g.action("Do burst at click area");
    EXPECT_EQ(g.played(kSoundBurstClick), 1);
}

TEST(ScreenStatesTest, EachLevelHasTheBackgroundOfItsStageAndBonusLevelsShareOneBackdrop) {
    EXPECT_EQ(KolbaxCanvas::backgroundName(1), "+background1");
    EXPECT_EQ(KolbaxCanvas::backgroundName(6), "+background2");
    EXPECT_EQ(KolbaxCanvas::backgroundName(60), "+background12");
    EXPECT_EQ(KolbaxCanvas::backgroundName(65), "+background13");
    EXPECT_EQ(KolbaxCanvas::backgroundName(66), "+background1") << "outside the stages: stage 1";
    EXPECT_EQ(KolbaxCanvas::backgroundName(0), "+background1");
    EXPECT_EQ(KolbaxCanvas::playareaName(23, false), "+playarea23");
    EXPECT_EQ(KolbaxCanvas::playareaName(61, false), "");
    for (int level : {5, 30, 60, 61})
        EXPECT_EQ(KolbaxCanvas::playareaName(level, true), "+playarea_bonus");
}

}  // namespace
