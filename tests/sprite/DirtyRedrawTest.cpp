// The dirty areas sprites report are exactly what changed: a redraw of only the reported region equals
// a full redraw, pixel for pixel, after random moves, shows, hides, frame changes and fades, with
// containers nested two deep. Also: dirty hand-over between threads.
#include <gtest/gtest.h>

#include <thread>

#include "sprite/AnimateSprite.h"
#include "sprite/DialogSprite.h"
#include "sprite/RectSprite.h"
#include "tests/sprite/SpriteTestSupport.h"
#include "util/Random.h"
#include "window/GraphicsI.h"

namespace {

using lang::Ref;
using namespace sprite_test;

// A number in [0, n): util::Random includes its upper bound.
int below(util::Random& random, int n) {
    return random.nextInt(n - 1);
}

constexpr int kWidth = 160, kHeight = 120;
constexpr uint32_t kBackground = 0xFF203040;

// Paints every shown sprite meeting `area` over the background, clipped to it (null: everything).
void render(window::Image& target, const std::vector<Ref<sprite::Sprite>>& scene, const util::Region* area) {
    auto g = lang::adopt(target.getGraphics());
    g->setClip(area);
    g->fillRectColor(0, 0, kWidth, kHeight, kBackground);
    for (const Ref<sprite::Sprite>& s : scene) {
        if (s->isShown() && (area == nullptr || area->intersects(s->getBounds())))
            s->paint(g.get());
    }
    g->dispose();
}

Ref<sprite::AnimateSprite> animated(util::Random& random) {
    auto s = lang::make<sprite::AnimateSprite>();
    auto sheet = numberedSheet(3, 2, 12, 10);
    // Some transparent pixels, so that blending and hidden areas show through.
    for (int i = 0; i < sheet->getWidth() * sheet->getHeight(); i += 7)
        sheet->getPixels()[i] &= 0x00FFFFFF;
    sheet->setHasAlpha(true);
    s->setImageGrid(sheet.get(), 3, 2);
    s->setLocation(below(random, kWidth), below(random, kHeight));
    return s;
}

void mutate(sprite::Sprite& s, util::Random& random) {
    switch (below(random, 7)) {
    case 0:
        s.setLocation(below(random, kWidth + 40) - 20, below(random, kHeight + 40) - 20);
        break;
    case 1:
        s.setVisible(!s.isVisible());
        break;
    case 2:
        if (s.instanceOf("AnimateSprite"))
            static_cast<sprite::AnimateSprite&>(s).setFrame(below(random, 6));
        break;
    case 3:
        if (s.instanceOf("AnimateSprite"))
            static_cast<sprite::AnimateSprite&>(s).moveTo(below(random, kWidth), below(random, kHeight),
                                                         1 + below(random, 5));
        break;
    case 4:
        if (s.instanceOf("AnimateSprite"))
            static_cast<sprite::AnimateSprite&>(s).fadeTo(below(random, 129), 1 + below(random, 4), 0);
        break;
    case 5:
        s.moveBy(below(random, 9) - 4, below(random, 9) - 4);
        break;
    default:
        if (s.instanceOf("FancyContainer") && below(random, 4) == 0)
            static_cast<sprite::FancyContainer&>(s).startFadeOut();
        break;
    }
}

TEST(DirtyRedrawTest, RegionRedrawEqualsFullRedrawAfterRandomChanges) {
    for (uint32_t seed : {1u, 2u, 3u, 4u}) {
        util::Random random(seed);
        std::vector<Ref<sprite::Sprite>> scene;
        std::vector<Ref<sprite::Sprite>> all;
        for (int i = 0; i < 6; ++i) {
            auto s = animated(random);
            scene.push_back(s);
            all.push_back(s);
        }
        auto outer = lang::make<sprite::DialogSprite>();
        outer->init(nullptr, numbers({20, 15, 100, 80, 0, 1}).get());
        auto inner = lang::make<sprite::FancyContainer>();
        inner->init(nullptr, numbers({10, 10, 60, 50}).get());
        outer->appendChild(inner.get());
        auto backdrop = lang::make<sprite::RectSprite>();
        backdrop->init(nullptr, numbers({0, 0, 100, 80, static_cast<int>(0xFF506070u), 1, 1}).get());
        outer->insertChildAfter(backdrop.get(), nullptr);
        for (int i = 0; i < 4; ++i) {
            auto a = animated(random), b = animated(random);
            outer->appendChild(a.get());
            inner->appendChild(b.get());
            all.push_back(a);
            all.push_back(b);
        }
        all.push_back(inner);
        all.push_back(outer);
        scene.push_back(outer);

        auto incremental = lang::make<window::Image>(kWidth, kHeight);
        auto full = lang::make<window::Image>(kWidth, kHeight);
        for (const Ref<sprite::Sprite>& s : scene)
            s->update(0, nullptr, nullptr);
        render(*incremental, scene, nullptr);
        for (int frame = 1; frame < 120; ++frame) {
            for (int n = below(random, 4); n > 0; --n)
                mutate(*all[static_cast<size_t>(below(random, static_cast<int>(all.size())))], random);
            util::Region dirty;
            for (const Ref<sprite::Sprite>& s : scene) {
                util::RectangleNM out;
                s->update(frame, &out, &dirty);
            }
            render(*incremental, scene, &dirty);
            render(*full, scene, nullptr);
            const uint32_t* a = incremental->getPixels();
            const uint32_t* b = full->getPixels();
            for (int i = 0; i < kWidth * kHeight; ++i) {
                ASSERT_EQ(a[i], b[i]) << "seed " << seed << " frame " << frame << " at " << i % kWidth << ","
                                      << i / kWidth << ": a change was not reported";
            }
        }
    }
}

TEST(DirtyRedrawTest, ChangesFromAnotherThreadAreHandedOverWhole) {
    auto s = lang::make<sprite::Sprite>();
    s->setImage(solidImage(4, 4, 0xFFFFFFFF).get());
    s->update(0, nullptr, nullptr);
    std::atomic<bool> done{false};
    std::thread input([&] {
        for (int i = 0; i < 2000; ++i)
            s->addDirtyRect(util::RectangleNM(i % 100, 0, 1, 1));
        done = true;
    });
    util::Region seen;
    for (int frame = 1; !done || s->update(frame, nullptr, &seen); ++frame)
        s->update(frame, nullptr, &seen);
    input.join();
    s->update(99999, nullptr, &seen);
    for (int x = 0; x < 100; ++x)
        EXPECT_TRUE(seen.contains(x, 0)) << x;
}

}  // namespace
