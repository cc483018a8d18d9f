// The game canvas in stepping mode on a scene of its named sprites: states, input through real events,
// the board model reaching the sprites, the pause paths and one report per level end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/GamePieceSprite.h"
#include "game/KolbaxCanvas.h"
#include "game/TileGridSprite.h"
#include "sprite/AnimateSprite.h"
#include "sprite/User.h"
#include "tests/sprite/CanvasTestSupport.h"
#include "tests/support/ScratchSettings.h"

namespace {

using canvas_test::FakeClip;
using lang::Ref;

Ref<sprite::AnimateSprite> sheet(int x, int y, int columns, int rows, int w, int h) {
    auto s = lang::make<sprite::AnimateSprite>();
    s->setImageGrid(sprite_test::numberedSheet(columns, rows, w, h).get(), columns, rows);
    s->setLocation(x, y);
    return s;
}

struct Game {
    Game() : canvas(lang::make<KolbaxCanvas>()) {
        gameRandom().setSeed(1234);
        canvas->setStepping(true);
        canvas->setClock(clock.get());
        canvas->create(window.frame(), util::RectangleNM(0, 0, 800, 600));
        canvas->setVisible(true);
        window.pump();
        canvas->initResources(lang::String("."), settings.user(), lang::String("test.dat"), 0);
        std::string error;
        EXPECT_TRUE(canvas->setBoardsFolder(LUMAROO_BOARDS_DIR, error)) << error;
        canvas->setClipFactory([this](const char*) {
            auto c = lang::make<FakeClip>();
            clips.push_back(c);
            return Ref<window::AudioClip>(c);
        });
        canvas->setReportObserver([this](const GamePlayReport& r) { reports.push_back(r); });
        // The scene a definition script would give: fences, signs, the templates and the screens.
        add("background", canvas_test::block(0, 0, 800, 600, 0xff000000));
        add("gameTile", sheet(114, 80, 11, 1, 44, 44));
        add("gamePieces", sheet(0, 0, 18, 2, 44, 44));
        add("powerpieceoverlay", sheet(0, 0, 13, 13, 10, 10));
        add("newsunanim", sheet(0, 0, 5, 5, 10, 10));
        add("matchoutsparkle", sheet(0, 0, 4, 1, 10, 10));
        add("numberforboardscore", sheet(0, 0, 2, 1, 10, 10));
        add("itwinkle", sheet(0, 0, 3, 1, 10, 10));
        add("highlight", canvas_test::block(0, 0, 50, 50, 0x80ffffff));
        add("ipicketfence", canvas_test::block(0, 0, 800, 10, 0xff00ff00));
        add("ipicketfence2", canvas_test::block(0, 590, 800, 10, 0xff00ff00));
        add("ipicketfence3", canvas_test::block(0, 0, 10, 10, 0xff00ff00));
        add("dim", canvas_test::block(0, 0, 800, 600, 0x80000000));
        add("pausesign", canvas_test::block(300, 250, 200, 100, 0xffffffff));
        add("inomoremoves", canvas_test::block(300, 250, 200, 100, 0xffffffff));
        add("btn_MenuOnConsole", canvas_test::button("btn_MenuOnConsole", 10, 560));
        add("btn_consolesun", canvas_test::button("btn_consolesun", 40, 560));
        for (const char* screen : {"MainMenu", "MenuMap", "ExitDialog", "GameOver", "LevelComplete", "ChoosePlayer"})
            add(screen, canvas_test::dialog(200, 150, 400, 300));
        canvas->onSceneLoaded(nullptr);
        canvas->start();
    }
    ~Game() {
        canvas->destroy();
        canvas->destroyWindow();
        window.pump();
    }
    void add(const char* name, Ref<sprite::Sprite> s) { canvas->addSprite(name, s.get(), -1); }
    template <typename T>
    void add(const char* name, Ref<T> s) {
        canvas->addSprite(name, s.get(), -1);
    }
    void steps(int n) {
        for (int i = 0; i < n; ++i) {
            clock->advance(canvas->frameDelay());
            canvas->stepFrame();
        }
    }
    void send(int id, int x, int y) {
        auto event = canvas_test::mouse(id, x, y);
        if (id == window::Event::kMouseDown)
            canvas->mouseDown(event.get(), x, y);
        else if (id == window::Event::kMouseUp)
            canvas->mouseUp(event.get(), x, y);
        else
            canvas->mouseDrag(event.get(), x, y);
        canvas->deliverEvents();
    }
    void press(int code) {
        auto event = canvas_test::key(window::Event::kKeyDown, code);
        canvas->keyDown(event.get(), code);
        canvas->deliverEvents();
    }
    void action(const char* label) { canvas->handleAction(nullptr, lang::String(label)); }
    // Starts a level from the map and waits until its pieces have arrived.
    void play(int level) {
        settings.user()->setInt("HIG_LVL", 10);
        settings.user()->setInt("SEL_LVL", level);
        action("bstartgame");
        for (int i = 0; i < 400 && canvas->initialShowPhase(); ++i)
            steps(1);
        ASSERT_FALSE(canvas->initialShowPhase());
        ASSERT_EQ(canvas->state(), KolbaxCanvas::kPlay);
        steps(60);  // the model's drop-in
    }
    util::Point centre(int x, int y) {
        util::Point p = canvas->squareToScreen(x, y);
        return util::Point(p.x + 22, p.y + 22);
    }
    bool visible(const char* name) {
        sprite::Sprite* s = canvas->getSprite(name);
        return s != nullptr && s->isVisible();
    }

    testsupport::HeadlessWindow window;
    testsupport::ScratchSettings settings;
    Ref<sprite::ManualFrameClock> clock = lang::make<sprite::ManualFrameClock>(0);
    Ref<KolbaxCanvas> canvas;
    std::vector<Ref<FakeClip>> clips;
    std::vector<GamePlayReport> reports;
};

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

TEST(KolbaxCanvasTest, PieceArrivalRefusesBoardInput) {
    Game g;
    g.settings.user()->setInt("SEL_LVL", 1);
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
    EXPECT_EQ(g.canvas->board().suns(), 1) << "a retry gives a sun per retry";
}

TEST(KolbaxCanvasTest, MapClampsTheSelectedLevelAndKeepsCarriedSuns) {
    Game g;
    g.settings.user()->setInt("HIG_LVL", 60);
    g.settings.user()->setInt("SEL_LVL", 60);
    g.action("bstartgame");
    g.steps(200);
    ASSERT_EQ(g.canvas->level(), 60);
    {
        lang::Synchronized guard(g.canvas.get());
        g.canvas->board().setSuns(3);
    }
    g.action("mapbutton");
    EXPECT_EQ(g.canvas->state(), KolbaxCanvas::kMap);
    EXPECT_EQ(g.settings.user()->getInt("SEL_LVL", 0), 60) << "no level 61 is ever selected";
    EXPECT_EQ(g.settings.user()->getInt("GLT", 0), 3) << "the suns held are carried over";
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

}  // namespace
