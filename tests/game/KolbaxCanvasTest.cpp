// The game canvas in stepping mode on a scene of its named sprites: states, input through real events,
// the board model reaching the sprites, the pause paths and one report per level end.
#include <gtest/gtest.h>

#include "tests/game/CanvasGame.h"

namespace {

using canvas_game::Game;
using canvas_game::gameDialog;
using canvas_game::setUpLastMove;
using lang::Ref;

TEST(KolbaxCanvasTest, SceneSetUpBuildsPoolsAndOpensTheMainMenu) {
    Game g;
    EXPECT_EQ(g.canvas->state(), KolbaxCanvas::kMainMenu);
    EXPECT_TRUE(g.visible("MainMenu"));
    EXPECT_TRUE(g.visible("ChoosePlayer")) << "an empty profile name opens the chooser at once";
    EXPECT_FALSE(g.visible("pausesign"));
    EXPECT_EQ(g.clips.size(), 20u);
    ASSERT_NE(g.canvas->pieceSprite(249), nullptr);
    EXPECT_EQ(g.canvas->pieceSprite(250), nullptr);
    ASSERT_NE(g.canvas->tileSprite(12, 9), nullptr);
    util::Point p = g.canvas->squareToScreen(1, 2);
    EXPECT_EQ(p.x, 114 + 44);
    EXPECT_EQ(p.y, 80 + 88);
    g.steps(16);
    EXPECT_EQ(g.canvas->currentMusic(), KolbaxCanvas::kMusicMainMenu) << "StartMainMenuMusic after 15 frames";
}

TEST(KolbaxCanvasTest, SwapsByClicksAndDragsReachTheModelAndTheSprites) {
    Game g;
    g.play(1);
    Board& board = g.canvas->board();
    SwapMove move;
    {
        lang::Synchronized guard(g.canvas.get());
        ASSERT_GT(board.findHintMove(), 0);
        move = board.hint();
    }
    ASSERT_TRUE(move.valid());
    const int firstId = board.pieceId(move.x1, move.y1);
    util::Point a = g.centre(move.x1, move.y1);
    util::Point b = g.centre(move.x2, move.y2);
    g.send(window::Event::kMouseDown, a.x, a.y);
    EXPECT_TRUE(g.canvas->pieceSprite(firstId)->highlighted()) << "a first pick lights the piece";
    EXPECT_TRUE(g.visible("highlight"));
    g.send(window::Event::kMouseUp, a.x, a.y);
    g.send(window::Event::kMouseDown, b.x, b.y);
    EXPECT_NE(g.canvas->state(), KolbaxCanvas::kPlay) << "an accepted swap leaves play";
    g.steps(200);
    EXPECT_GT(board.score(), 0);
    EXPECT_EQ(g.canvas->state(), KolbaxCanvas::kPlay);
    // Every piece of the board stands, shown, on its own square.
    for (int x = 0; x < board::kColumns; ++x)
        for (int y = 0; y < board::kRows; ++y) {
            int id = board.pieceId(x, y);
            if (id < 0)
                continue;
            GamePieceSprite* s = g.canvas->pieceSprite(id);
            ASSERT_TRUE(s->isVisible()) << x << "," << y;
            util::Point p = g.canvas->squareToScreen(x, y);
            EXPECT_EQ(s->getX(), p.x) << x << "," << y;
            EXPECT_EQ(s->getY(), p.y) << x << "," << y;
        }
    // The next move by a drag: press, move onto the neighbour.
    {
        lang::Synchronized guard(g.canvas.get());
        ASSERT_GT(board.findHintMove(), 0);
        move = board.hint();
    }
    const int before = board.score();
    a = g.centre(move.x1, move.y1);
    b = g.centre(move.x2, move.y2);
    g.send(window::Event::kMouseDown, a.x, a.y);
    g.send(window::Event::kMouseDrag, b.x, b.y);
    g.send(window::Event::kMouseUp, b.x, b.y);
    g.steps(200);
    EXPECT_GT(board.score(), before) << "a drag onto a neighbour swaps";
}

// The whole way: the map's play button, every move a pair of clicks on the pieces, the level complete
// with its one report, the tally counted on the dialog, and the map again with the next level.
TEST(KolbaxCanvasTest, ALevelPlayedByClicksToCompletionRunsTheTallyAndOpensTheMap) {
    Game g;
    // Suns won in earlier bonus levels finish what swaps cannot reach.
    g.profile().setSuns(10);
    g.play(1, 0);
    Board& board = g.canvas->board();
    ASSERT_EQ(board.suns(), 10);
    int moves = 0, sunsPlaced = 0;
    for (; moves < 400 && g.canvas->state() != KolbaxCanvas::kLevelComplete; ++moves) {
        g.untilQuiet();
        if (g.canvas->state() != KolbaxCanvas::kPlay)
            break;
        int gilded = 0;
        SwapMove m = g.bestMove(&gilded);
        ASSERT_TRUE(m.valid()) << "a quiet board in play has a move";
        {
            // The test plays at its own pace: the clock is not what it checks.
            lang::Synchronized guard(g.canvas.get());
            board.setTimer(0);
        }
        if (gilded == 0 && board.suns() > 0) {
            // No swap reaches the squares left: a sun from the console gilds one.
            g.click(util::Point(45, 565));
            ASSERT_TRUE(g.canvas->sunCarried());
            for (int i = 0; i < board::kSquares; ++i) {
                const int x = i / board::kRows, y = i % board::kRows;
                if (board.value(x, y) >= 0 && !board.gold(x, y)) {
                    g.click(g.centre(x, y));
                    break;
                }
            }
            EXPECT_FALSE(g.canvas->sunCarried()) << "the sun went onto the square";
            ++sunsPlaced;
        } else {
            g.click(g.centre(m.x1, m.y1));
            g.click(g.centre(m.x2, m.y2));
        }
        g.steps(2);
    }
    g.untilQuiet();
    ASSERT_EQ(g.canvas->state(), KolbaxCanvas::kLevelComplete) << "after " << moves << " moves";
    ASSERT_EQ(g.reports.size(), 1u);
    EXPECT_EQ(g.reports[0].reason, GamePlayReport::kLevelComplete);
    EXPECT_EQ(g.reports[0].level, 1);
    EXPECT_EQ(g.reports[0].squaresLeft, 0);
    EXPECT_EQ(g.reports[0].score, board.score());
    EXPECT_EQ(g.reports[0].sunsUsed, sunsPlaced);
    EXPECT_STREQ(g.reports[0].player.chars(), "Ann");
    // Every square the level counts stands gold on the screen.
    g.steps(8);
    for (int x = 0; x < board::kColumns; ++x)
        for (int y = 0; y < board::kRows; ++y)
            if (board.value(x, y) >= 0) {
                TileGridSprite* tile = g.canvas->tileSprite(x, y);
                EXPECT_TRUE(tile->isVisible() && tile->getFrame() == board::kFrameGold) << x << "," << y;
            }
    for (int i = 0; i < 1200 && g.canvas->levelCompleteCountdown() > 0; ++i)
        g.steps(1);
    EXPECT_EQ(g.canvas->levelCompleteCountdown(), 0) << "the tally ran to its end";
    EXPECT_TRUE(g.visible("LevelComplete"));
    EXPECT_EQ(g.canvas->board().timer(), Board::kTimerFull) << "the time left was counted into the bonus";
    EXPECT_EQ(g.profile().highestLevel(), 1);
    EXPECT_EQ(g.profile().score(),
              static_cast<LevelCompleteDialog*>(g.canvas->getSprite("LevelComplete"))->total());
    g.action("ibtncontinue");
    EXPECT_EQ(g.canvas->state(), KolbaxCanvas::kMap);
    EXPECT_EQ(g.canvas->level(), 2);
    EXPECT_EQ(g.profile().selectedLevel(), 2);
    EXPECT_EQ(g.reports.size(), 1u);
}


// The last move played by clicks; the board then has none left.
void playLastMove(Game& g, int suns) {
    setUpLastMove(g, suns);
    g.steps(4);
    g.click(g.centre(2, 0));
    g.click(g.centre(3, 0));
    for (int i = 0; i < 200 && !g.canvas->board().noMoreMoves(); ++i)
        g.steps(1);
}

TEST(KolbaxCanvasTest, NoMoreMovesWithSunsLeavesTheConsoleSunToBreakAPiece) {
    Game g;
    g.play(1);
    Board& board = g.canvas->board();
    playLastMove(g, 2);
    ASSERT_TRUE(board.noMoreMoves());
    g.steps(Board::kNoMoreMovesDelay + 5);
    EXPECT_FALSE(g.visible("inomoremoves")) << "the sign is for a player without suns";
    EXPECT_NE(g.canvas->state(), KolbaxCanvas::kGameOver);

    g.canvas->handleAction(nullptr, lang::String("btn_tutorialClose"));
    g.click(util::Point(50, 570));
    ASSERT_TRUE(board.sunCarried()) << "the console sun is in reach";
    g.click(g.centre(6, 6));
    g.steps(60);
    EXPECT_EQ(board.suns(), 1);
    EXPECT_TRUE(board.gold(6, 6)) << "the sun broke the piece and gilded its square";
    EXPECT_NE(g.canvas->state(), KolbaxCanvas::kGameOver);
}

// With no move but a sun, the board waits in play: the timer runs on past the alarm mark, so a player
// who never uses the sun loses by time instead of a board that waits for ever.
TEST(KolbaxCanvasTest, NoMoreMovesWithSunsLetsTheTimerRunOn) {
    Game g;
    g.play(1);
    Board& board = g.canvas->board();
    playLastMove(g, 2);
    ASSERT_TRUE(board.noMoreMoves());
    g.steps(10);
    EXPECT_EQ(g.canvas->state(), KolbaxCanvas::kPlay);
    {
        lang::Synchronized guard(g.canvas.get());
        board.setTimer(385);
    }
    for (int i = 0; i < 600 && g.canvas->state() != KolbaxCanvas::kGameOver; ++i)
        g.steps(1);
    EXPECT_EQ(g.canvas->state(), KolbaxCanvas::kGameOver) << "time runs out on a board nobody plays";
}

TEST(KolbaxCanvasTest, NoMoreMovesAfterTheLastMoveEndsTheLevelWithOneReport) {
    Game g;
    g.play(1);
    Board& board = g.canvas->board();
    setUpLastMove(g, 0);
    EXPECT_EQ(g.canvas->pieceSprite(board.pieceId(2, 0))->kind(), 1)
        << "a board made by hand is shown as it is";
    g.steps(4);
    g.click(g.centre(2, 0));
    g.click(g.centre(3, 0));
    for (int i = 0; i < 200 && !g.visible("inomoremoves"); ++i)
        g.steps(1);
    ASSERT_TRUE(g.visible("inomoremoves"));
    g.clearSounds();
    g.click(g.centre(5, 1));
    EXPECT_EQ(board.selectedPiece(), board::kNone) << "the board takes no pick under the sign";
    EXPECT_EQ(g.played(KolbaxCanvas::kSoundRefused), 1) << "and says so";
    for (int i = 0; i < Board::kNoMoreMovesDelay + 5 && g.canvas->state() != KolbaxCanvas::kGameOver; ++i)
        g.steps(1);
    ASSERT_EQ(g.canvas->state(), KolbaxCanvas::kGameOver);
    EXPECT_FALSE(g.visible("inomoremoves"));
    EXPECT_TRUE(g.visible("GameOver"));
    ASSERT_EQ(g.reports.size(), 1u);
    EXPECT_EQ(g.reports[0].reason, GamePlayReport::kNoMoreMoves);
    EXPECT_EQ(g.reports[0].squaresLeft, board.playableSquares() - board.goldSquareCount());
    EXPECT_GT(g.reports[0].squaresLeft, 0);
}

// Level 5 replayed with level 7 reached: gilded by hand (no match pass: the quiet board's own check
// finds the goal), its bonus level picked by clicks, and the progress left where it was.
TEST(KolbaxCanvasTest, AGildedFifthLevelLeadsToItsBonusLevelAndBackToTheMap) {
    Game g;
    g.play(5, 7);
    Board& board = g.canvas->board();
    std::array<SquareSetup, board::kSquares> squares{};
    {
        lang::Synchronized guard(g.canvas.get());
        for (int i = 0; i < board::kSquares; ++i) {
            const int x = i / board::kRows, y = i % board::kRows;
            SquareSetup& s = squares[static_cast<size_t>(board::squareIndex(x, y))];
            s.value = board.value(x, y) < 0 ? board.value(x, y) : 8 + (x + 2 * y) % 6;
            s.tileType = board.tileType(x, y);
            s.frame = board.tileFrame(x, y);
            s.gold = s.value >= 0;
        }
    }
    g.canvas->setSquares(squares);
    for (int i = 0; i < 40 && g.canvas->state() != KolbaxCanvas::kLevelComplete; ++i)
        g.steps(1);
    ASSERT_EQ(g.canvas->state(), KolbaxCanvas::kLevelComplete);
    ASSERT_EQ(g.reports.size(), 1u);
    EXPECT_EQ(g.reports[0].level, 5);
    for (int i = 0; i < 1200 && g.canvas->levelCompleteCountdown() > 0; ++i)
        g.steps(1);
    EXPECT_TRUE(g.canvas->bonusNext()) << "level 5's tally calls for its bonus level";
    g.action("ibtncontinue");
    ASSERT_TRUE(board.bonusLevel());
    EXPECT_EQ(g.canvas->currentMusic(), KolbaxCanvas::kMusicBonus);
    for (int i = 0; i < 400 && g.canvas->initialShowPhase(); ++i)
        g.steps(1);
    {
        // The blocks are copies of the template: its name still finds the hidden template, not a copy.
        lang::Synchronized guard(g.canvas.get());
        sprite::Sprite* blockTemplate = g.canvas->getSprite("ibonusblocks");
        ASSERT_NE(blockTemplate, nullptr);
        EXPECT_FALSE(blockTemplate->isVisible());
    }
    // Picks by clicks on the blocks, each given time for its prize to fly.
    int picks = 0;
    for (; picks < 40 && board.bonusClicksLeft() > 0; ++picks) {
        ASSERT_GE(board.bonusClicksLeft(), 1);
        for (int i = 0; i < 200 && board.bonusBlastRunning(); ++i)
            g.steps(1);
        bool clicked = false;
        for (int i = 0; i < 36 && !clicked; ++i)
            if (board.bonusGrid().covered(i / 6, i % 6)) {
                g.click(util::Point(150 + (i % 6) * 60 + 30, 100 + (i / 6) * 60 + 30));
                EXPECT_FALSE(board.bonusGrid().covered(i / 6, i % 6))
                    << "a click on block " << i << " opens it";
                clicked = true;
            }
        ASSERT_TRUE(clicked);
        g.steps(60);
    }
    for (int i = 0; i < 600 && g.canvas->state() != KolbaxCanvas::kLevelComplete; ++i)
        g.steps(1);
    ASSERT_EQ(g.canvas->state(), KolbaxCanvas::kLevelComplete);
    for (int i = 0; i < 1200 && g.canvas->bonusCompleteCountdown() > 0; ++i)
        g.steps(1);
    ASSERT_EQ(g.reports.size(), 2u) << "the bonus tally reports once";
    EXPECT_EQ(g.reports[1].reason, GamePlayReport::kLevelComplete);
    EXPECT_EQ(g.reports[1].bonusScore, board.bonusPoints());
    EXPECT_EQ(g.profile().highestLevel(), 7) << "replaying a bonus level unlocks nothing new";
    g.action("ibtncontinue");
    EXPECT_EQ(g.canvas->state(), KolbaxCanvas::kMap);
    EXPECT_EQ(g.canvas->level(), 6);
    EXPECT_FALSE(g.canvas->bonusLevel());
}

TEST(KolbaxCanvasTest, EachMusicIdLoopsItsOwnClipsAndFadesTheOthers) {
    // Clips 15..19: in-game, in-game ambient loop, bonus, main menu, map.
    struct Case {
        int id;
        std::vector<size_t> loops;
    };
    const Case cases[] = {{KolbaxCanvas::kMusicInGame, {15, 16}},
                          {KolbaxCanvas::kMusicMainMenu, {18}},
                          {KolbaxCanvas::kMusicMap, {16, 19}},
                          {KolbaxCanvas::kMusicBonus, {17}}};
    for (const Case& c : cases) {
        Game g;
        for (auto& clip : g.clips)
            clip->calls.clear();
        g.canvas->switchMusic(KolbaxCanvas::kMusicNone, c.id);
        std::vector<size_t> looped;
        for (size_t i = 0; i < g.clips.size(); ++i) {
            const auto& calls = g.clips[i]->calls;
            if (std::find(calls.begin(), calls.end(), "loop") != calls.end()) {
                looped.push_back(i);
            } else if (i >= 15) {
                EXPECT_NE(std::find(calls.begin(), calls.end(), "fadeVolume"), calls.end())
                    << "music " << c.id << " fades clip " << i << " out";
            }
        }
        EXPECT_EQ(looped, c.loops) << "music " << c.id;
        EXPECT_EQ(g.canvas->currentMusic(), c.id);
    }
}

// The real threads: the render thread runs the level while the input thread takes a stream of
// presses, drags, releases and pause keys and the window thread reports focus losses. Every game part
// runs under the canvas lock; ThreadSanitizer checks that nothing is shared without it.
TEST(KolbaxCanvasTest, InputAndFocusLossWhileTheRenderThreadPlays) {
    Game g(false, 2);
    g.profile().setSelectedLevel(1);
    g.action("bstartgame");
    util::Random random(5);
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    int events = 0;
    while (std::chrono::steady_clock::now() < until) {
        const int x = 114 + random.nextInt(13 * 44), y = 80 + random.nextInt(10 * 44);
        auto down = canvas_test::mouse(window::Event::kMouseDown, x, y);
        g.canvas->mouseDown(down.get(), x, y);
        auto drag = canvas_test::mouse(window::Event::kMouseDrag, x + 44, y);
        g.canvas->mouseDrag(drag.get(), x + 44, y);
        auto up = canvas_test::mouse(window::Event::kMouseUp, x + 44, y);
        g.canvas->mouseUp(up.get(), x + 44, y);
        if (random.nextInt(20) == 0) {
            auto key = canvas_test::key(window::Event::kKeyDown, 'p');
            g.canvas->keyDown(key.get(), 'p');
        }
        if (random.nextInt(30) == 0)
            g.canvas->onDeactivate();
        events += 3;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // On a slow machine (a sanitizer, other work beside) the pieces may still be arriving, or the last
    // key may have paused the game: the render thread gets its time to run the level.
    g.canvas->resumeFromPause();
    const auto patience = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < patience) {
        {
            lang::Synchronized guard(g.canvas.get());
            if (g.canvas->board().frameCounter() > 0)
                break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    g.canvas->stop();
    lang::Synchronized guard(g.canvas.get());
    EXPECT_GT(events, 0);
    EXPECT_GT(g.canvas->board().frameCounter(), 0) << "the render thread ran the level";
    EXPECT_TRUE(g.canvas->state() >= KolbaxCanvas::kPlay &&
                g.canvas->state() <= KolbaxCanvas::kLevelComplete);
}

TEST(KolbaxCanvasTest, PieceArrivalRefusesBoardInput) {
    Game g;
    g.profile().setSelectedLevel(1);
    g.action("bstartgame");
    ASSERT_TRUE(g.canvas->initialShowPhase());
    util::Point a = g.centre(3, 3);
    g.send(window::Event::kMouseDown, a.x, a.y);
    EXPECT_EQ(g.canvas->board().selectedPiece(), board::kNone);
}

TEST(KolbaxCanvasTest, PauseKeyAndSignAndFocusLoss) {
    Game g;
    g.play(1);
    g.press('x');
    EXPECT_FALSE(g.canvas->paused()) << "other keys leave the pause alone";
    g.press('p');
    EXPECT_EQ(g.canvas->state(), KolbaxCanvas::kPaused);
    EXPECT_TRUE(g.visible("pausesign"));
    const int timer = g.canvas->board().timer();
    g.steps(30);
    EXPECT_EQ(g.canvas->board().timer(), timer) << "the board stands still while paused";
    g.send(window::Event::kMouseDown, 5, 5);
    EXPECT_EQ(g.canvas->state(), KolbaxCanvas::kPlay) << "a click on the sign only resumes";
    EXPECT_FALSE(g.visible("pausesign"));
    EXPECT_EQ(g.canvas->currentMusic(), KolbaxCanvas::kMusicInGame) << "resuming restarts the music";
    g.press('P');
    g.press('p');
    EXPECT_EQ(g.canvas->state(), KolbaxCanvas::kPlay) << "both letter cases toggle";
    g.canvas->onDeactivate();
    EXPECT_EQ(g.canvas->state(), KolbaxCanvas::kPlay) << "the window thread only queues";
    g.canvas->deliverEvents();
    EXPECT_EQ(g.canvas->state(), KolbaxCanvas::kPaused);
    g.press('p');
    EXPECT_EQ(g.canvas->state(), KolbaxCanvas::kPlay);
}

TEST(KolbaxCanvasTest, PauseKeyOverAScreenLeavesTheMusicAlone) {
    Game g;
    g.steps(16);
    const size_t menuMusic = 18;
    const size_t calls = g.clips[menuMusic]->calls.size();
    g.press('p');
    EXPECT_FALSE(g.canvas->paused());
    EXPECT_EQ(g.clips[menuMusic]->calls.size(), calls) << "no fade without a pause";
}

TEST(KolbaxCanvasTest, LossByTimeSendsOneReportAndRetryRestarts) {
    Game g;
    g.play(2);
    const int suns = g.canvas->board().suns();
    {
        lang::Synchronized guard(g.canvas.get());
        g.canvas->board().setTimer(Board::kTimerFull);
    }
    for (int i = 0; i < 1000 && g.canvas->state() != KolbaxCanvas::kGameOver; ++i)
        g.steps(1);
    ASSERT_EQ(g.canvas->state(), KolbaxCanvas::kGameOver);
    EXPECT_TRUE(g.visible("GameOver"));
    ASSERT_EQ(g.reports.size(), 1u);
    EXPECT_EQ(g.reports[0].reason, GamePlayReport::kTimeUp);
    EXPECT_EQ(g.reports[0].level, 2);
    g.canvas->exitGame();
    EXPECT_EQ(g.reports.size(), 1u) << "one report per level end";
    g.action("retry");
    EXPECT_EQ(g.canvas->retries(), 1);
    EXPECT_EQ(g.canvas->replayCount(), 100) << "a loss by time clears the count; a retry adds 100";
    EXPECT_EQ(g.canvas->state(), KolbaxCanvas::kPlay);
    EXPECT_EQ(g.canvas->board().suns(), suns + 1) << "a retry gives a sun per retry";
    EXPECT_EQ(g.profile().suns(), suns + 1);
}

TEST(KolbaxCanvasTest, MapClampsTheSelectedLevelAndKeepsCarriedSuns) {
    Game g;
    g.profile().setHighestLevel(60);
    g.profile().setSelectedLevel(60);
    g.action("bstartgame");
    g.steps(200);
    ASSERT_EQ(g.canvas->level(), 60);
    {
        lang::Synchronized guard(g.canvas.get());
        g.canvas->board().setSuns(3);
    }
    g.action("mapbutton");
    EXPECT_EQ(g.canvas->state(), KolbaxCanvas::kMap);
    EXPECT_EQ(g.profile().getInt("SEL_LVL", 0), 60) << "no level 61 is ever selected";
    EXPECT_EQ(g.profile().suns(), 3) << "the suns held are carried over";
    ASSERT_EQ(g.reports.size(), 1u);
    EXPECT_EQ(g.reports[0].reason, GamePlayReport::kToMap);
    g.action("bMenuExit");
    EXPECT_EQ(g.reports.size(), 1u) << "no report without a level in play";
}

TEST(KolbaxCanvasTest, GoldEffectUsesTheSquareItCarries) {
    Game g;
    g.play(1);
    auto fx = lang::make<sprite::AnimateSprite>();
    fx->setLocation(-500, -500);  // no tile stands there: a look-up by position would find none
    g.canvas->handleAction(fx.get(), lang::String("Hide turned to gold anim and show gold tile"));
    fx->setUserValue(board::squareIndex(2, 3) + 1);
    {
        lang::Synchronized guard(g.canvas.get());
        g.canvas->board().turnSquareGold(2, 3);
    }
    g.canvas->handleAction(fx.get(), lang::String("Hide turned to gold anim and show gold tile"));
    EXPECT_EQ(g.canvas->tileSprite(2, 3)->getFrame(), board::kFrameGold);
}

// The console's menu button is a button of the scene like any other: the routing presses it, and the
// game opens the in-game menu over the dimmer. Its ways back: closing returns to the state it was opened
// from, the instructions give way to the menu again, and the options stand where they were opened.
TEST(KolbaxCanvasTest, TheConsoleMenuButtonOpensTheInGameMenuAndEachWayBack) {
    Game g;
    g.play(1);
    g.click(util::Point(15, 565));
    ASSERT_TRUE(g.visible("ExitDialog")) << "the menu button opens the in-game menu";
    EXPECT_TRUE(g.visible("dim"));
    EXPECT_TRUE(g.canvas->paused());
    g.action("bMenuInstructionsFromExit");
    EXPECT_FALSE(g.visible("ExitDialog"));
    EXPECT_EQ(g.order("Instructions"), g.order("dim") + 1);
    g.canvas->getSprite("Instructions")->setVisible(false);  // its close button hides it, then passes up
    g.action("bInstructionsClose");
    EXPECT_TRUE(g.visible("ExitDialog")) << "the instructions give way to the in-game menu";
    g.action("bMenuOptionsFromExit");
    EXPECT_EQ(g.order("Options"), g.order("ipicketfence3") - 1);
    EXPECT_EQ(g.order("dim"), g.order("ipicketfence3") - 2);
    g.canvas->getSprite("Options")->setVisible(false);
    g.action("CLOSED");
    EXPECT_EQ(g.canvas->state(), KolbaxCanvas::kPlay) << "back to the state the menu was opened from";
    EXPECT_FALSE(g.visible("dim"));
    EXPECT_FALSE(g.canvas->paused());

    g.action("EndGame");
    ASSERT_EQ(g.canvas->state(), KolbaxCanvas::kMainMenu);
    g.action("bMenuOptions");
    EXPECT_EQ(g.order("dim"), g.order("MainMenu") + 1) << "over the main menu: the dimmer just above it";
    EXPECT_EQ(g.order("Options"), g.order("MainMenu") + 2);
}

// A returning player: the main menu greets them by name at once, and "SHOWLINK" 0 disables the
// publisher's link where it lives, among the main menu's buttons.
TEST(KolbaxCanvasTest, AReturningPlayerIsGreetedAndTheLinkInTheMenuCanBeTakenAway) {
    Ref<sprite::ButtonSprite> link = canvas_test::button("upsellQB", 50, 50);
    Ref<sprite::NewFontSprite> welcome = lang::make<sprite::NewFontSprite>();
    Game g(true, 40, [&](Game& game) {
        auto data = lang::make<PlayerData>(game.settings.user(), "Lumaroo");
        ASSERT_EQ(data->createProfile("Ann"), PlayerData::CreateResult::Created);
        data->setInt("Ann", PlayerData::kShowLink, 0);
        auto menu = gameDialog<MenuSprite>(0, 0, 800, 600);
        menu->addChild("upsellQB", link.get());
        menu->addChild("ProfileName", welcome.get());
        game.canvas->removeSprite(game.canvas->getSprite("MainMenu"));
        game.add("MainMenu", menu);
    });
    EXPECT_TRUE(g.visible("MainMenu"));
    EXPECT_FALSE(g.visible("ChoosePlayer")) << "a stored profile needs no chooser";
    EXPECT_EQ(std::string(welcome->getText().view()), "Welcome, Ann");
    EXPECT_EQ(link->getState(), sprite::ButtonSprite::kDisabled);
}

// The scene script's integer list is the kind table; a list that is no table of 18 distinct piece
// frames is refused whole.
TEST(KolbaxCanvasTest, TheSceneScriptsIntegerListIsTheKindTable) {
    Game g;
    testsupport::TempFolder folder;
    folder.write("scene.txt", "<data>\n 17 16 15 14 13 12 11 10 9 8 7 6 5 4 3 2 1 0\n<sprites>\n");
    folder.write("short.txt", "<data>\n 0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n<sprites>\n");
    folder.write("twice.txt", "<data>\n 1 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17\n<sprites>\n");
    auto load = [&](const char* script) {
        g.canvas->initResources(lang::String(folder.path().c_str()), g.settings.user(), lang::String(script),
                                0);
        EXPECT_TRUE(g.canvas->loadScene()) << script;
    };
    load("scene.txt");
    for (int i = 0; i < board::kKindCount; ++i)
        EXPECT_EQ(g.canvas->board().kindCode(i), 17 - i) << "kind " << i;
    EXPECT_EQ(g.canvas->board().kindIndexOf(17), 0);
    for (const char* bad : {"short.txt", "twice.txt"}) {
        load(bad);
        EXPECT_EQ(g.canvas->board().kindCode(0), 0) << bad << " leaves the codes 0..17";
        EXPECT_EQ(g.canvas->board().kindCode(17), 17) << bad;
    }
}

// The tutorial as its script makes it: each page due on the level its integer list gives.
Ref<TutorialDialog> tutorialFromScript(testsupport::TempFolder& folder) {
    folder.write("tutorial.txt", "<data> 1 1 1 3 0 9 0 4 2 14 4 6 8 16 3 20 5 10 26 21 12 17 1\n<sprites>\n");
    folder.write("main.txt", "<sprites> itutorial TutorialDialog:tutorial.txt 400 300 380 200 0 0 0\n");
    auto loader = lang::make<sprite::DataLoader>(lang::String(folder.path().c_str()), nullptr, nullptr);
    EXPECT_TRUE(loader->load("main.txt"));
    auto* s = static_cast<sprite::Sprite*>(loader->sprites()->elementAt(0));
    return s->instanceOf("TutorialDialog") ? lang::share(static_cast<TutorialDialog*>(s))
                                           : Ref<TutorialDialog>();
}

TEST(KolbaxCanvasTest, TheTenthSwapOnLevelOneAndAPowerPieceOnItsLevelBringTheirLessons) {
    testsupport::TempFolder folder;
    Ref<TutorialDialog> tutorial = tutorialFromScript(folder);
    ASSERT_TRUE(tutorial);
    {
        Game g(true, 40, [&](Game& game) { game.add("itutorial", tutorial); });
        g.play(1);
        Board& board = g.canvas->board();
        bool lessonTwo = false;
        for (int moves = 0; moves < 60 && !lessonTwo && g.canvas->state() != KolbaxCanvas::kGameOver;
             ++moves) {
            if (tutorial->isShowing())
                g.action("btn_tutorialClose");
            g.untilQuiet();
            {
                lang::Synchronized guard(g.canvas.get());
                board.setTimer(0);
            }
            int gilded = 0;
            SwapMove m = g.bestMove(&gilded);
            ASSERT_TRUE(m.valid());
            const int before = board.swapCount();
            g.click(g.centre(m.x1, m.y1));
            g.click(g.centre(m.x2, m.y2));
            lessonTwo = tutorial->page() == 2;
            EXPECT_TRUE(!lessonTwo || (before >= 9 && board.swapCount() > 9))
                << "lesson 2 waits for more than 9 swaps, shown after " << board.swapCount();
            g.steps(2);
        }
        EXPECT_TRUE(lessonTwo) << "lesson 2 was offered at an accepted swap once more than 9 were made";
    }
    tutorial->close();
    Game g(true, 40, [&](Game& game) { game.add("itutorial", tutorial); });
    Board& board = g.canvas->board();
    board.setPowersEnabled(false);  // no power piece of the level's own draw explains itself first
    g.play(2);
    ASSERT_FALSE(tutorial->isPageDone(8, 2));
    std::array<SquareSetup, board::kSquares> squares{};
    bool placed = false;
    for (int y = 0; y < board::kRows; ++y)
        for (int x = 0; x < board::kColumns; ++x) {
            SquareSetup& square = squares[static_cast<size_t>(board::squareIndex(x, y))];
            square.value = board.value(x, y) < 0 ? board.value(x, y) : 8 + (x + 2 * y) % 6;
            square.tileType = board.tileType(x, y);
            square.frame = board.tileFrame(x, y);
            if (square.value >= 0 && !placed) {
                placed = true;
                square.value = 3000 + 8;  // an area blast, explained on level 2
            }
        }
    g.canvas->setSquares(squares);
    tutorial->close();
    g.canvas->enterState(KolbaxCanvas::kPlay);
    EXPECT_EQ(tutorial->page(), 8) << "entering play offers the page of the first power piece";
    EXPECT_TRUE(tutorial->isShowing());
}

}  // namespace
