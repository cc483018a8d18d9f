// The game canvas in stepping mode on a scene of its named sprites, as the canvas tests drive it: a
// hand-driven clock, input through the canvas's real event paths, fake clips and a scratch settings store.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "game/ConsoleDialog.h"
#include "game/GamePieceSprite.h"
#include "game/KolbaxCanvas.h"
#include "game/LevelCompleteDialog.h"
#include "game/MenuSprite.h"
#include "game/PlayerData.h"
#include "game/TileGridSprite.h"
#include "game/TutorialDialog.h"
#include "sprite/AnimateSprite.h"
#include "sprite/DataLoader.h"
#include "sprite/NewFontSprite.h"
#include "sprite/store/User.h"
#include "tests/sprite/CanvasTestSupport.h"
#include "tests/support/ScratchSettings.h"
#include "tests/support/TempFolder.h"

namespace canvas_game {

using canvas_test::FakeClip;
using lang::Ref;

inline Ref<sprite::AnimateSprite> sheet(int x, int y, int columns, int rows, int w, int h) {
    auto s = lang::make<sprite::AnimateSprite>();
    s->setImageGrid(sprite_test::numberedSheet(columns, rows, w, h).get(), columns, rows);
    s->setLocation(x, y);
    return s;
}

template <class D>
inline Ref<D> gameDialog(int x, int y, int w, int h) {
    auto d = lang::make<D>();
    d->init(nullptr, sprite_test::numbers({x, y, w, h, 0, 1}).get());
    return d;
}

struct Game {
    // Stepping: frames one at a time on a hand-driven clock; otherwise the real render and input
    // threads, on frames of `frameDelay` ms. `beforeScene` adds to the scene and the store before the
    // canvas sets its scene up.
    explicit Game(bool stepping = true, int frameDelay = 40, std::function<void(Game&)> beforeScene = {})
        : canvas(lang::make<KolbaxCanvas>()) {
        gameRandom().setSeed(1234);
        canvas->setStepping(stepping);
        if (stepping)
            canvas->setClock(clock.get());
        canvas->setFrameDelay(frameDelay);
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
        // The definition script's sound list: a clip per index, so that every sound played is seen.
        auto table = lang::make<lang::ObjectArray>(kSounds);
        for (int i = 0; i < kSounds; ++i) {
            sounds.push_back(lang::make<FakeClip>());
            (*table)[i] = sounds.back().get();
        }
        canvas->resetScene(table.get());
        // The scene a definition script would give: fences, signs, the templates and the screens.
        add("background", canvas_test::block(0, 0, 800, 600, 0xff000000));
        add("gameTile", sheet(114, 80, 11, 1, 44, 44));
        add("gamePieces", sheet(0, 0, 18, 2, 44, 44));
        add("powerpieceoverlay", sheet(0, 0, 13, 13, 10, 10));
        add("newsunanim", sheet(0, 0, 5, 5, 10, 10));
        add("matchoutsparkle", sheet(0, 0, 4, 1, 10, 10));
        add("numberforboardscore", sheet(0, 0, 2, 1, 10, 10));
        add("itwinkle", sheet(0, 0, 3, 1, 10, 10));
        add("ibonusblocks", sheet(150, 100, 2, 1, 60, 60));
        add("ibonusprizes", sheet(0, 0, 12, 1, 40, 40));
        add("highlight", canvas_test::block(0, 0, 50, 50, 0x80ffffff));
        add("ipicketfence", canvas_test::block(0, 0, 800, 10, 0xff00ff00));
        add("ipicketfence2", canvas_test::block(0, 590, 800, 10, 0xff00ff00));
        add("ipicketfence3", canvas_test::block(0, 0, 10, 10, 0xff00ff00));
        add("dim", canvas_test::block(0, 0, 800, 600, 0x80000000));
        add("pausesign", canvas_test::block(300, 250, 200, 100, 0xffffffff));
        add("inomoremoves", canvas_test::block(300, 250, 200, 100, 0xffffffff));
        add("btn_MenuOnConsole", canvas_test::button("btn_MenuOnConsole", 10, 560));
        add("btn_consolesun", canvas_test::button("btn_consolesun", 40, 560));
        for (const char* screen :
             {"MainMenu", "MenuMap", "ExitDialog", "GameOver", "ChoosePlayer", "Options", "Instructions"})
            add(screen, canvas_test::dialog(200, 150, 400, 300));
        add("LevelComplete", gameDialog<LevelCompleteDialog>(200, 150, 400, 300));
        // Off the board, so that it takes no click meant for a piece.
        add("consoledialog", gameDialog<ConsoleDialog>(700, 0, 100, 60));
        if (beforeScene)
            beforeScene(*this);
        canvas->onSceneLoaded(nullptr);
        canvas->start();
    }
    // The player "Ann", chosen as the chooser would.
    PlayerData& profile() {
        PlayerData* data = canvas->playerData();
        if (data->currentProfile() != "Ann") {
            data->createProfile("Ann");
            action("profile:Ann");
        }
        return *data;
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
    void play(int level, int highest = 10) {
        profile().setHighestLevel(highest);
        profile().setSelectedLevel(level);
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
    // A click as the player makes it: press and release on the same point.
    void click(util::Point p) {
        send(window::Event::kMouseDown, p.x, p.y);
        send(window::Event::kMouseUp, p.x, p.y);
    }
    // Steps until the board waits in play for the player (or the level has ended).
    void untilQuiet(int limit = 600) {
        for (int i = 0; i < limit; ++i) {
            if (canvas->state() == KolbaxCanvas::kPlay && canvas->board().piecesAtRest())
                return;
            if (canvas->state() == KolbaxCanvas::kGameOver || canvas->state() == KolbaxCanvas::kLevelComplete)
                return;
            steps(1);
        }
    }
    // The swap that would gild the most squares, as a player reads the board, else one that stirs the
    // columns still to gild; invalid when there is no move. `gain` is the squares it would gild.
    SwapMove bestMove(int* gilded) {
        lang::Synchronized guard(canvas.get());
        Board& b = canvas->board();
        std::array<bool, board::kColumns> open{};
        for (int i = 0; i < board::kSquares; ++i)
            if (b.value(i / board::kRows, i % board::kRows) >= 0 &&
                !b.gold(i / board::kRows, i % board::kRows))
                open[static_cast<size_t>(i / board::kRows)] = true;
        SwapMove best;
        int bestGain = -1;
        *gilded = 0;
        for (int x = 0; x < board::kColumns; ++x)
            for (int y = 0; y < board::kRows; ++y)
                for (int d = 0; d < 2; ++d) {
                    const int x2 = x + (d == 0 ? 1 : 0), y2 = y + (d == 1 ? 1 : 0);
                    std::array<bool, board::kSquares> squares{};
                    if (!board::onBoard(x2, y2) || b.runSquaresAfterSwap(x, y, x2, y2, &squares) == 0)
                        continue;
                    int gilds = 0, stirs = 0;
                    for (int i = 0; i < board::kSquares; ++i) {
                        if (!squares[static_cast<size_t>(i)])
                            continue;
                        gilds += b.gold(i / board::kRows, i % board::kRows) ? 0 : 1;
                        stirs += open[static_cast<size_t>(i / board::kRows)] ? 1 : 0;
                    }
                    const int gain = gilds * 100 + stirs;
                    if (gain > bestGain) {
                        bestGain = gain;
                        *gilded = gilds;
                        best = SwapMove{x, y, x2, y2};
                    }
                }
        return best;
    }
    bool visible(const char* name) {
        sprite::Sprite* s = canvas->getSprite(name);
        return s != nullptr && s->isVisible();
    }
    int order(const char* name) { return canvas->indexOfSprite(canvas->getSprite(name)); }

    // How often sound `index` was played (or looped) since the counts were last cleared.
    int played(int index) {
        const auto& calls = sounds[static_cast<size_t>(index)]->calls;
        return static_cast<int>(std::count(calls.begin(), calls.end(), "play") +
                                std::count(calls.begin(), calls.end(), "loop"));
    }
    bool stopped(int index) {
        const auto& calls = sounds[static_cast<size_t>(index)]->calls;
        return std::find(calls.begin(), calls.end(), "stop") != calls.end();
    }
    void clearSounds() {
        for (auto& c : sounds)
            c->calls.clear();
    }

    static constexpr int kSounds = 64;
    testsupport::HeadlessWindow window;
    testsupport::ScratchSettings settings;
    Ref<sprite::ManualFrameClock> clock = lang::make<sprite::ManualFrameClock>(0);
    Ref<KolbaxCanvas> canvas;
    std::vector<Ref<FakeClip>> clips;
    std::vector<Ref<FakeClip>> sounds;
    std::vector<GamePlayReport> reports;
};

// The board of the no-more-moves cases: kinds 8..13 in a pattern whose neighbours always differ; row 0
// holds the only run to make, by swapping (2,0) with (3,0). No refill.
inline void setUpLastMove(Game& g, int suns) {
    Board& board = g.canvas->board();
    lang::Synchronized guard(g.canvas.get());
    std::array<SquareSetup, board::kSquares> squares{};
    for (int x = 0; x < board::kColumns; ++x)
        for (int y = 0; y < board::kRows; ++y)
            squares[static_cast<size_t>(board::squareIndex(x, y))].value = 8 + (x + 2 * y) % 6;
    for (int x : {0, 1, 3})
        squares[static_cast<size_t>(board::squareIndex(x, 0))].value = 0;
    squares[static_cast<size_t>(board::squareIndex(2, 0))].value = 1;
    board.setRefill(false);
    board.setSuns(suns);
    g.canvas->setSquares(squares);
}

}  // namespace canvas_game
