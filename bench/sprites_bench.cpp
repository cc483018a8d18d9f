// The sprite engine's share of a frame: update and paint 250 animated 64 x 64 sprites with alpha (the
// piece pool of a full board) into an 800 x 600 picture through the dirty region, and redraw a
// 24-character bitmap-font text and a number. The frame lasts 40 ms; the goal is under 1 ms for the
// 250-sprite step and paint.
#include <benchmark/benchmark.h>

#include <vector>

#include "sprite/AnimateSprite.h"
#include "sprite/NewFontSprite.h"
#include "sprite/NumberSprite.h"
#include "util/Random.h"
#include "window/GraphicsI.h"

namespace {

using lang::Ref;

Ref<window::Image> pieceSheet() {
    // 8 frames of 64 x 64, a round piece with soft edges: most pixels opaque, the corners transparent.
    auto sheet = lang::make<window::Image>(8 * 64, 64);
    uint32_t* p = sheet->getPixels();
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 8 * 64; ++x) {
            const int dx = x % 64 - 32, dy = y - 32;
            const int d2 = dx * dx + dy * dy;
            const uint32_t alpha = d2 < 28 * 28 ? 255u : d2 < 32 * 32 ? 128u : 0u;
            p[y * 8 * 64 + x] = (alpha << 24) | static_cast<uint32_t>(0x30 + x % 64) << 16 | 0x8040u;
        }
    }
    sheet->setHasAlpha(true);
    return sheet;
}

struct Board {
    Board() : target(lang::make<window::Image>(800, 600, window::Image::kOffscreen)) {
        auto sheet = pieceSheet();
        util::Random random(7);
        for (int i = 0; i < 250; ++i) {
            auto s = lang::make<sprite::AnimateSprite>();
            s->setImageGrid(sheet.get(), 8, 1);
            s->setLocation(random.nextInt(800 - 64), random.nextInt(600 - 64));
            s->setFrameStep(1, true);
            pieces.push_back(s);
        }
    }
    // One frame: every sprite steps (all of them animate, so every one is dirty) and the dirty region
    // is painted.
    void frame(int n) {
        util::Region dirty;
        util::RectangleNM out;
        for (const Ref<sprite::AnimateSprite>& s : pieces)
            s->update(n, &out, &dirty);
        auto g = lang::adopt(target->getGraphics());
        g->setClip(&dirty);
        for (const Ref<sprite::AnimateSprite>& s : pieces) {
            if (s->isShown() && dirty.intersects(s->getBounds()))
                s->paint(g.get());
        }
        g->dispose();
    }
    Ref<window::Image> target;
    std::vector<Ref<sprite::AnimateSprite>> pieces;
};

void BM_PiecePoolFrame(benchmark::State& state) {
    Board board;
    int n = 0;
    for (auto _ : state)
        board.frame(n++);
    state.counters["sprites"] = 250;
}
BENCHMARK(BM_PiecePoolFrame)->Unit(benchmark::kMicrosecond);

// A bitmap font of 224 glyphs 12 x 18 with advance 11.
struct Font {
    Font() {
        picture = lang::make<window::Image>(224 * 12, 18);
        for (int i = 0; i < 224 * 12 * 18; ++i)
            picture->getPixels()[i] = (i % 3 == 0 ? 0xFF000000u : 0x80000000u) | 0xFFFFFFu;
        picture->setHasAlpha(true);
        metrics = lang::make<window::Image>(6, 224);
        for (int r = 0; r < 224; ++r) {
            const int32_t words[6] = {12 * r, 0, 12, 18, 0, 11};
            for (int w = 0; w < 6; ++w)
                metrics->getPixels()[r * 6 + w] = static_cast<uint32_t>(words[w]);
        }
    }
    Ref<window::Image> picture;
    Ref<window::Image> metrics;
};

void BM_NewFontSpriteRedraw(benchmark::State& state) {
    Font font;
    auto text = lang::make<sprite::NewFontSprite>();
    text->setImage(font.picture.get());
    text->setFont(font.metrics.get());
    text->setText("Level 12 complete: 34567");
    text->setLocation(100, 100);
    text->update(1, nullptr, nullptr);
    auto target = lang::make<window::Image>(800, 600);
    for (auto _ : state) {
        auto g = lang::adopt(target->getGraphics());
        text->paint(g.get());
        g->dispose();
    }
}
BENCHMARK(BM_NewFontSpriteRedraw)->Unit(benchmark::kMicrosecond);

void BM_NumberSpriteRedraw(benchmark::State& state) {
    auto strip = lang::make<window::Image>(15 * 20, 26);
    for (int i = 0; i < 15 * 20 * 26; ++i)
        strip->getPixels()[i] = i % 2 ? 0xFFFFFFFFu : 0x40FFFFFFu;
    strip->setHasAlpha(true);
    auto number = lang::make<sprite::NumberSprite>();
    number->setImage(strip.get());
    number->setLocation(700, 20);
    number->setAlign(2);
    auto target = lang::make<window::Image>(800, 600);
    int value = 1234567;
    for (auto _ : state) {
        number->setValue(value++);
        number->update(1, nullptr, nullptr);
        auto g = lang::adopt(target->getGraphics());
        number->paint(g.get());
        g->dispose();
    }
}
BENCHMARK(BM_NumberSpriteRedraw)->Unit(benchmark::kMicrosecond);

}  // namespace
