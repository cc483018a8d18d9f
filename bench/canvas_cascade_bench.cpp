// The game canvas playing a real level in stepping mode: a swap that sets off a three-pass cascade, with
// pieces falling and new ones dropping in, sparkles on the cleared squares, flying points and gold
// effects, each frame the game's tick and the paint of what changed. Goal: <= 2 ms per frame (5% of
// the 40 ms frame).
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/KolbaxCanvas.h"
#include "lang/Ref.h"
#include "sprite/AnimateSprite.h"
#include "window/Frame.h"

namespace {

using lang::Ref;

// A picture of w x h with a round opaque middle and a soft rim when `alpha`.
Ref<window::Image> cellSheet(int columns, int rows, int w, int h, uint32_t seed) {
    auto image = lang::make<window::Image>(columns * w, rows * h);
    uint32_t* p = image->getPixels();
    const int stride = image->getStride() / 4;
    for (int y = 0; y < rows * h; ++y)
        for (int x = 0; x < columns * w; ++x) {
            const int dx = x % w - w / 2, dy = y % h - h / 2;
            const int r2 = dx * dx + dy * dy, edge = (w / 2) * (w / 2);
            const uint32_t a = r2 < edge * 2 / 3 ? 255u : r2 < edge ? 128u : 0u;
            p[y * stride + x] =
                (a << 24) | ((seed * 2654435761u + static_cast<uint32_t>(x * 7 + y * 3)) & 0xFFFFFFu);
        }
    image->setHasAlpha(true);
    return image;
}

Ref<sprite::AnimateSprite> templateSprite(int x, int y, int columns, int rows, int w, int h, uint32_t seed) {
    auto s = lang::make<sprite::AnimateSprite>();
    s->setImageGrid(cellSheet(columns, rows, w, h, seed).get(), columns, rows);
    s->setLocation(x, y);
    return s;
}

struct CascadeBoard {
    CascadeBoard() {
        frame = lang::make<window::Frame>();
        if (!frame->create(nullptr, util::RectangleNM(0, 0, 800, 600))) {
            std::fprintf(stderr, "bench_canvas: the window could not be created\n");
            std::exit(1);
        }
        frame->setVisible(true);
        canvas = lang::make<KolbaxCanvas>();
        canvas->setStepping(true);
        canvas->setClock(clock.get());
        canvas->create(frame.get(), util::RectangleNM(0, 0, 800, 600));
        canvas->setVisible(true);
        window::processPendingEvents();
        std::string error;
        if (!canvas->setBoardsFolder(LUMAROO_BOARDS_DIR, error)) {
            std::fprintf(stderr, "bench_canvas: %s\n", error.c_str());
            std::exit(1);
        }
        // The scene a definition script gives the board: backdrop, tile and piece sheets, effects, fences.
        auto background = lang::make<sprite::Sprite>();
        background->setImage(cellSheet(1, 1, 800, 600, 1).get());
        add("background", background);
        add("playarea", templateSprite(110, 76, 1, 1, 580, 448, 2));
        add("gameTile", templateSprite(114, 80, 11, 1, 44, 44, 3));
        add("gamePieces", templateSprite(0, 0, 18, 2, 44, 44, 4));
        add("powerpieceoverlay", templateSprite(0, 0, 13, 13, 74, 74, 5));
        add("newsunanim", templateSprite(0, 0, 5, 5, 74, 74, 6));
        add("matchoutsparkle", templateSprite(0, 0, 8, 1, 44, 44, 7));
        add("numberforboardscore", templateSprite(0, 0, 4, 1, 40, 24, 8));
        add("cascadetext", templateSprite(0, 0, 4, 1, 80, 24, 9));
        add("itwinkle", templateSprite(0, 0, 6, 1, 44, 44, 10));
        add("highlight", templateSprite(0, 0, 1, 1, 50, 50, 11));
        add("ipicketfence", templateSprite(0, 560, 1, 1, 800, 40, 12));
        add("ipicketfence2", templateSprite(0, 0, 1, 1, 800, 20, 13));
        add("ipicketfence3", templateSprite(0, 0, 1, 1, 10, 10, 14));
        canvas->onSceneLoaded(nullptr);
        canvas->start();
        if (!canvas->startLevel(1, false)) {
            std::fprintf(stderr, "bench_canvas: level 1 does not start\n");
            std::exit(1);
        }
        for (int i = 0; i < 400 && canvas->initialShowPhase(); ++i)
            step();
        for (int i = 0; i < 60; ++i)
            step();
    }
    ~CascadeBoard() {
        canvas->destroy();
        canvas->destroyWindow();
        frame->destroyWindow();
        window::processPendingEvents();
    }
    void add(const char* name, const Ref<sprite::Sprite>& s) { canvas->addSprite(name, s.get(), -1); }
    void add(const char* name, const Ref<sprite::AnimateSprite>& s) { canvas->addSprite(name, s.get(), -1); }
    void step() {
        clock->advance(canvas->frameDelay());
        canvas->stepFrame();
        window::processPendingEvents();
    }

    // Level 1's squares (its holes kept) with pieces that make no run, except in columns 4..7 of the
    // bottom rows: swapping (6, 9) and (7, 9) clears a row, whose fall lines up a second row, whose
    // fall lines up a third. New pieces drop in above.
    void setUpCascade() {
        Board& board = canvas->board();
        std::array<SquareSetup, board::kSquares> squares{};
        for (int x = 0; x < board::kColumns; ++x)
            for (int y = 0; y < board::kRows; ++y) {
                SquareSetup& s = squares[static_cast<size_t>(board::squareIndex(x, y))];
                s.tileType = board.tileType(x, y);
                s.frame = board.tileFrame(x, y);
                s.value = board.value(x, y) == board::kHole ? board::kHole : 8 + (x + 2 * y) % 6;
            }
        auto put = [&](int x, int y, int kind) {
            squares[static_cast<size_t>(board::squareIndex(x, y))].value = kind;
        };
        put(4, 9, 0), put(5, 9, 0), put(6, 9, 2), put(7, 9, 0);  // pass 1: row 9, columns 4..6
        put(5, 8, 2), put(6, 8, 2), put(4, 8, 3);                // pass 2: row 9, columns 5..7
        put(5, 7, 3), put(6, 7, 3);                              // pass 3: row 9, columns 4..6
        canvas->setSquares(squares);
        lang::Synchronized guard(canvas.get());
        board.setTimer(0);
        // With a sun in hand a board left without moves goes on, as the filler leaves it.
        board.setSuns(1);
        board.pickPiece(6, 9);
        board.pickPiece(7, 9);
    }
    // The cascade has run out: the board waits for the player, or has found no move left.
    bool quiet() {
        lang::Synchronized guard(canvas.get());
        const Board& board = canvas->board();
        return board.piecesAtRest() && !board.effectsInFlight() &&
               (canvas->state() == KolbaxCanvas::kPlay || board.noMoreMoves());
    }

    Ref<window::Frame> frame;
    Ref<KolbaxCanvas> canvas;
    Ref<sprite::ManualFrameClock> clock = lang::make<sprite::ManualFrameClock>(0);
};

void BM_CascadeTickAndRender(benchmark::State& state) {
    CascadeBoard board;
    int cascades = 0, frames = 0, deepest = 0;
    bool running = false;
    for (auto _ : state) {
        if (!running || board.quiet()) {
            state.PauseTiming();
            board.setUpCascade();
            ++cascades;
            running = true;
            state.ResumeTiming();
        }
        board.step();
        ++frames;

        deepest = std::max(deepest, board.canvas->board().cascadeCount());
    }
    state.counters["cascades"] = cascades;
    state.counters["frames_per_cascade"] = cascades > 0 ? static_cast<double>(frames) / cascades : 0;
    // The passes after the swap's own: 2 is a three-pass cascade.
    state.counters["deepest_cascade"] = deepest;
}
BENCHMARK(BM_CascadeTickAndRender)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

}  // namespace
