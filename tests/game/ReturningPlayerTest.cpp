// A player's second session and what the screen, the sound and the store show of it: the score and the
// suns carried from level to level, the map's selected level, leaving a level from its menu, volumes,
// the carried sun, the in-game menu over a red alert, play under a lesson, and what a level's start and
// end leave on the board. The canvas in stepping mode; input through its real event paths.
#include <gtest/gtest.h>

#include "sprite/NumberSprite.h"
#include "tests/game/CanvasGame.h"

namespace {

using canvas_game::Game;
using lang::Ref;

constexpr int kMenuMusicClip = 18;
constexpr int kMapMusicClip = 19;
const util::Point kConsoleSun(45, 565);
const util::Point kConsoleMenu(15, 565);

// The scene with what these tests look at beyond the fixture's: the carried sun's pictures, the hint
// brackets, a floating number that shows values and the bonus level's start text.
void extraScene(Game& g) {
    g.add("biggoldsunoncursor", canvas_test::block(0, 0, 30, 30, 0xffffff00));
    g.add("smallgoldsunoncursor", canvas_test::block(0, 0, 20, 20, 0xffffff00));
    g.add("hinthighlight1", canvas_test::block(0, 0, 44, 44, 0x80ffffff));
    g.add("hinthighlight2", canvas_test::block(0, 0, 44, 44, 0x80ffffff));
    g.add("ibonuslevelstarttext", canvas_game::sheet(160, 250, 1, 1, 400, 60));
    auto number = lang::make<sprite::NumberSprite>();
    number->setImage(sprite_test::numberedSheet(15, 1, 10, 14).get());
    g.canvas->removeSprite(g.canvas->getSprite("numberforboardscore"));
    g.add("numberforboardscore", number);
}

// Plays the hinted swap by two clicks; false when the board has no move.
bool playHint(Game& g) {
    SwapMove move;
    {
        lang::Synchronized guard(g.canvas.get());
        if (g.canvas->board().findHintMove() == 0)
            return false;
        move = g.canvas->board().hint();
    }
    g.click(g.centre(move.x1, move.y1));
    g.click(g.centre(move.x2, move.y2));
    return true;
}

TEST(ReturningPlayerTest, TheStoredScoreIsWhereALevelStartsAndStaysThere) {
    Game g(true, 40, extraScene);
    g.profile().setScore(1234);
    g.play(2);
    g.steps(5);
    EXPECT_EQ(g.canvas->board().score(), 1234);
    auto* console = static_cast<ConsoleDialog*>(g.canvas->getSprite("consoledialog"));
    EXPECT_EQ(console->score(), 1234) << "the console keeps the stored score past its first frame";
    ASSERT_TRUE(playHint(g));
    g.untilQuiet();
    EXPECT_GT(g.canvas->board().score(), 1234) << "points add to the stored score";
    g.steps(2);
    EXPECT_EQ(console->score(), g.canvas->board().score());
}

TEST(ReturningPlayerTest, FloatingPointsShowThePassesPoints) {
    Game g(true, 40, extraScene);
    g.play(2);
    const int before = g.canvas->board().score();
    ASSERT_TRUE(playHint(g));
    int shown = 0;
    for (int i = 0; i < 120 && shown == 0; ++i) {
        g.steps(1);
        for (const Ref<sprite::Sprite>& s : g.canvas->sceneSnapshot())
            if (s->instanceOf("NumberSprite") && s.get() != g.canvas->getSprite("numberforboardscore") &&
                s->isVisible())
                shown = std::max(shown, static_cast<sprite::NumberSprite*>(s.get())->getValue());
    }
    EXPECT_GT(shown, 0) << "the floating number of the first pass";
    g.untilQuiet();
    EXPECT_LE(shown, g.canvas->board().score() - before);
}

TEST(ReturningPlayerTest, TheMapKeepsTheSelectedLevelUnlessAStageWasJustFinished) {
    Game g;
    g.profile().setHighestLevel(12);
    g.profile().setSelectedLevel(7);
    g.action("bStart1");
    ASSERT_EQ(g.canvas->state(), KolbaxCanvas::kMap);
    EXPECT_EQ(g.profile().selectedLevel(), 7) << "a new session's map shows the level selected last";
    // A fifth level done (and its bonus level): the map moves on to the next stage.
    g.play(10, 12);
    g.action("mapbutton");
    EXPECT_EQ(g.canvas->state(), KolbaxCanvas::kMap);
    EXPECT_EQ(g.profile().selectedLevel(), 11);
    // Any other level: the selection stays.
    g.profile().setSelectedLevel(3);
    g.play(3, 12);
    g.action("mapbutton");
    EXPECT_EQ(g.profile().selectedLevel(), 3);
}

TEST(ReturningPlayerTest, LeavingALevelFromItsMenuCompletesNothingButABonusLevelsLevel) {
    Game g;
    g.play(6, 5);
    g.click(kConsoleMenu);
    ASSERT_TRUE(g.visible("ExitDialog"));
    g.action("EndGame");
    EXPECT_EQ(g.canvas->state(), KolbaxCanvas::kMainMenu);
    EXPECT_EQ(g.profile().highestLevel(), 5) << "ending level 6 does not complete it";
    g.action("mapbutton");
    // The bonus level after level 5: leaving it keeps level 5 done.
    g.profile().setHighestLevel(4);
    ASSERT_TRUE(g.canvas->startLevel(5, true));
    g.action("EndGame");
    EXPECT_EQ(g.profile().highestLevel(), 5);
}

TEST(ReturningPlayerTest, AUsedSunLeavesTheStoreAndACarriedSunNeverOutlivesItsLevel) {
    Game g(true, 40, extraScene);
    g.profile().setSuns(3);
    g.play(2);
    g.send(window::Event::kMouseDown, kConsoleSun.x, kConsoleSun.y);
    ASSERT_TRUE(g.canvas->sunCarried());
    sprite::Sprite* sun = g.canvas->getSprite("biggoldsunoncursor");
    ASSERT_TRUE(sun->isVisible());
    EXPECT_EQ(sun->getX() + sun->getWidth() / 2, kConsoleSun.x) << "the sun shows on the pointer at once";
    EXPECT_EQ(sun->getY() + sun->getHeight() / 2, kConsoleSun.y);
    g.send(window::Event::kMouseUp, kConsoleSun.x, kConsoleSun.y);
    g.click(g.centre(6, 6));
    EXPECT_FALSE(g.canvas->sunCarried());
    EXPECT_EQ(g.profile().suns(), 2) << "the used sun is taken off the stored count at once";

    // A sun carried when the time runs out goes back, in the model too, and its picture goes.
    g.untilQuiet();
    g.click(kConsoleSun);
    ASSERT_TRUE(g.canvas->sunCarried());
    {
        lang::Synchronized guard(g.canvas.get());
        g.canvas->board().setTimer(Board::kTimerFull);
    }
    for (int i = 0; i < 1000 && g.canvas->state() != KolbaxCanvas::kGameOver; ++i)
        g.steps(1);
    ASSERT_EQ(g.canvas->state(), KolbaxCanvas::kGameOver);
    EXPECT_FALSE(g.canvas->sunCarried());
    EXPECT_FALSE(g.visible("biggoldsunoncursor"));
    EXPECT_FALSE(g.visible("smallgoldsunoncursor"));
    g.send(window::Event::kMouseMove, 300, 300);
    EXPECT_FALSE(g.visible("biggoldsunoncursor")) << "no sun follows the pointer over game over";
}

TEST(ReturningPlayerTest, EffectsVolumeIsAppliedAtTheStartAndAtEveryChangeOfPlayer) {
    window::AudioClip::setMasterVolume(255);
    Game g(true, 40, [](Game& game) {
        PlayerData data(game.settings.user(), "Lumaroo");
        data.createProfile("Bo");
        data.selectProfile("Bo");
        data.setEffectsVolume(40);
        data.setMusicVolume(90);
        data.setLastProfile("Bo");
    });
    EXPECT_EQ(window::AudioClip::masterVolume(), 40) << "the returning player's effects volume";
    EXPECT_EQ(g.canvas->musicVolume(), 90);
    g.profile();  // Ann, with the default volumes
    EXPECT_EQ(window::AudioClip::masterVolume(), 255);
    EXPECT_EQ(g.canvas->musicVolume(), 128);
    window::AudioClip::setMasterVolume(255);
}

TEST(ReturningPlayerTest, ClosingADialogNeverBringsSilencedMusicBack) {
    Game g;
    g.steps(16);
    g.action("bStart1");
    g.play(2);
    for (int clip : {kMenuMusicClip, kMapMusicClip}) {
        EXPECT_EQ(g.clips[static_cast<size_t>(clip)]->fadeTarget, 0);
        EXPECT_TRUE(g.clips[static_cast<size_t>(clip)]->pausesAtEnd) << "a silenced track pauses";
    }
    const int menuVolume = g.clips[kMenuMusicClip]->volume;
    g.click(kConsoleMenu);
    g.action("bMenuOptionsFromExit");
    g.action("CLOSED");
    EXPECT_EQ(g.clips[kMenuMusicClip]->volume, menuVolume) << "the main menu's music stays silent";
    EXPECT_EQ(g.clips[kMapMusicClip]->fadeTarget, 0);
}

TEST(ReturningPlayerTest, TheInGameMenuHoldsARedAlertAndLeavingStopsIt) {
    Game g;
    g.play(2);
    {
        lang::Synchronized guard(g.canvas.get());
        g.canvas->board().setTimer(Board::kTimerFull);
    }
    for (int i = 0; i < 200 && g.canvas->board().redAlertFrames() < 0; ++i)
        g.steps(1);
    ASSERT_GT(g.canvas->board().redAlertFrames(), 0) << "the red alert runs";
    ASSERT_EQ(g.canvas->state(), KolbaxCanvas::kPlay);
    g.click(kConsoleMenu);
    ASSERT_TRUE(g.visible("ExitDialog"));
    g.steps(400);
    EXPECT_NE(g.canvas->state(), KolbaxCanvas::kGameOver) << "no loss comes while the menu is up";
    EXPECT_FALSE(g.visible("GameOver"));
    g.action("mapbutton");
    EXPECT_EQ(g.canvas->state(), KolbaxCanvas::kMap);
}

TEST(ReturningPlayerTest, APlayerPlaysUnderALessonAndTheLessonOnlyHoldsTheTimer) {
    testsupport::TempFolder folder;
    folder.write("tutorial.txt", "<data> 1 1 1 3 0 9 0 4 2 14 4 6 8 16 3 20 5 10 26 21 12 17 1\n<sprites>\n");
    folder.write("main.txt", "<sprites> itutorial TutorialDialog:tutorial.txt 400 300 380 200 0 0 0\n");
    auto loader = lang::make<sprite::DataLoader>(lang::String(folder.path().c_str()), nullptr, nullptr);
    ASSERT_TRUE(loader->load("main.txt"));
    Ref<TutorialDialog> tutorial =
        lang::share(static_cast<TutorialDialog*>(loader->sprites()->elementAt(0)));
    Game g(true, 40, [&](Game& game) { game.add("itutorial", tutorial); });
    g.play(2);
    {
        lang::Synchronized guard(g.canvas.get());
        ASSERT_TRUE(tutorial->offerPage(22));
    }
    ASSERT_TRUE(tutorial->isShowing());
    const int timer = g.canvas->board().timer();
    g.steps(40);
    EXPECT_EQ(g.canvas->board().timer(), timer) << "the timer waits while the lesson shows";
    // The console sun the lesson points at can be picked up, and a piece can be picked.
    g.click(kConsoleSun);
    EXPECT_TRUE(g.canvas->sunCarried());
    g.click(kConsoleSun);
    EXPECT_FALSE(g.canvas->sunCarried());
    ASSERT_TRUE(tutorial->isShowing());
    g.click(g.centre(4, 4));
    EXPECT_NE(g.canvas->board().selectedPiece(), board::kNone) << "a pick under the lesson";
    // Played under, the lesson gives way a little later.
    g.steps(80);
    EXPECT_FALSE(tutorial->isShowing()) << "a lesson played under closes after a while";
}

TEST(ReturningPlayerTest, RetryAndTheTallyLeaveNothingOfTheBoardBefore) {
    Game g(true, 40, extraScene);
    g.play(2);
    {
        lang::Synchronized guard(g.canvas.get());
        g.canvas->board().showHintSoon();
    }
    for (int i = 0; i < 200 && !g.visible("hinthighlight1"); ++i)
        g.steps(1);
    ASSERT_TRUE(g.visible("hinthighlight1")) << "the hint shows";
    {
        lang::Synchronized guard(g.canvas.get());
        g.canvas->board().setTimer(Board::kTimerFull);
    }
    for (int i = 0; i < 1000 && g.canvas->state() != KolbaxCanvas::kGameOver; ++i)
        g.steps(1);
    ASSERT_EQ(g.canvas->state(), KolbaxCanvas::kGameOver);
    EXPECT_FALSE(g.visible("hinthighlight1")) << "no hint on a lost board";
    g.action("retry");
    EXPECT_FALSE(g.visible("hinthighlight1")) << "the old hint is gone from the new board";
    EXPECT_FALSE(g.visible("hinthighlight2"));
    for (int i = 0; i < 400 && g.canvas->initialShowPhase(); ++i)
        g.steps(1);
    EXPECT_FALSE(g.visible("hinthighlight1"));
    EXPECT_FALSE(g.visible("highlight"));

    // A pick, then a swap: the busy board shows no selection ring.
    g.steps(60);
    ASSERT_TRUE(playHint(g));
    for (int i = 0; i < 100 && g.canvas->state() != KolbaxCanvas::kBusy; ++i)
        g.steps(1);
    ASSERT_EQ(g.canvas->state(), KolbaxCanvas::kBusy);
    EXPECT_FALSE(g.visible("highlight")) << "the busy state clears the selection";
}

TEST(ReturningPlayerTest, TheTallyTakesTheConsoleButtonsAway) {
    Game g;
    g.play(2);
    {
        lang::Synchronized guard(g.canvas.get());
        g.canvas->enterState(KolbaxCanvas::kLevelComplete);
    }
    for (int i = 0; i < 60; ++i)
        g.steps(1);
    for (const char* name : {"btn_consolesun", "btn_MenuOnConsole"}) {
        sprite::Sprite* b = g.canvas->getSprite(name);
        EXPECT_FALSE(b->isVisible()) << name;
        EXPECT_EQ(static_cast<sprite::ButtonSprite*>(b)->getState(), 0) << name;
    }
    g.click(kConsoleMenu);
    EXPECT_FALSE(g.visible("ExitDialog"));
}

TEST(ReturningPlayerTest, ABonusLevelAnnouncesItselfAndFadesItsText) {
    Game g(true, 40, extraScene);
    g.profile().setHighestLevel(10);
    ASSERT_TRUE(g.canvas->startLevel(10, true));
    EXPECT_TRUE(g.visible("ibonuslevelstarttext"));
    g.steps(90);
    auto* text = static_cast<sprite::AnimateSprite*>(g.canvas->getSprite("ibonuslevelstarttext"));
    EXPECT_FALSE(text->isVisible() && text->colorTransform()->alpha > 0) << "faded after 40 frames";
}

}  // namespace
