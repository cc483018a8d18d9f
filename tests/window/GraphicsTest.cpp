// window::GraphicsI: clipping to rectangles and regions, translation, contexts, blits, fills and lines.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "util/Region.h"
#include "window/Blender.h"
#include "window/GraphicsI.h"

using namespace window;

namespace {

struct Canvas {
    lang::Ref<Image> image;
    lang::Ref<Graphics> g;

    Canvas(int w, int h, uint32_t fill = 0) : image(lang::make<Image>(w, h)) {
        for (int i = 0; i < w * h; ++i)
            image->getPixels()[i] = fill;
        g = lang::adopt(image->getGraphics());
    }
    uint32_t at(int x, int y) { return image->getPixels()[y * image->getWidth() + x]; }
};

lang::Ref<Image> solid(int w, int h, uint32_t argb, bool alpha) {
    auto image = lang::make<Image>(w, h);
    for (int i = 0; i < w * h; ++i)
        image->getPixels()[i] = argb;
    image->setHasAlpha(alpha);
    return image;
}

}  // namespace

TEST(GraphicsClip, RegionOfSeveralRectanglesLimitsEveryDraw) {
    Canvas c(40, 30);
    util::Region region;
    region.add(2, 3, 10, 4);
    region.add(8, 5, 12, 10);    // overlaps the first
    region.add(30, 20, 20, 20);  // reaches past the target
    region.add(-5, 25, 8, 3);    // starts left of it
    c.g->setClip(&region);
    c.g->fillRectColor(0, 0, 40, 30, 0xFFFFFFFFu);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            ASSERT_EQ(c.at(x, y), region.contains(x, y) ? 0xFFFFFFFFu : 0u) << x << "," << y;
        }
    }
    // An image drawn through the same clip touches the same pixels only.
    Canvas d(40, 30);
    d.g->setClip(&region);
    d.g->drawImage(solid(60, 50, 0xFF00FF00u, false).get(), -10, -10);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(d.at(x, y), region.contains(x, y) ? 0xFF00FF00u : 0u);
    }
    lang::Ref<util::Region> clip = lang::adopt(c.g->getClip());
    EXPECT_TRUE(clip->contains(39, 29));
    EXPECT_FALSE(clip->contains(40, 29));
    EXPECT_FALSE(clip->contains(-1, 26));
    EXPECT_TRUE(clip->contains(0, 26));
}

TEST(GraphicsClip, RectanglesExclusionAndTranslation) {
    Canvas c(20, 20);
    c.g->translate(5, 4);
    int dx = 0, dy = 0;
    c.g->getTranslation(&dx, &dy);
    EXPECT_EQ(dx, 5);
    EXPECT_EQ(dy, 4);
    c.g->clipRect(0, 0, 10, 10);   // target (5, 4) to (15, 14)
    c.g->excludeRect(2, 2, 3, 3);  // target (7, 6) to (10, 9)
    util::RectangleNM bounds = c.g->getClipBounds();
    EXPECT_EQ(bounds.x, 0);
    EXPECT_EQ(bounds.y, 0);
    EXPECT_EQ(bounds.width, 10);
    EXPECT_EQ(bounds.height, 10);
    c.g->fillRect(-100, -100, 1000, 1000);
    EXPECT_EQ(c.at(5, 4), 0xFF000000u);
    EXPECT_EQ(c.at(14, 13), 0xFF000000u);
    EXPECT_EQ(c.at(4, 4), 0u);
    EXPECT_EQ(c.at(15, 13), 0u);
    EXPECT_EQ(c.at(7, 6), 0u);
    EXPECT_EQ(c.at(9, 8), 0u);
    EXPECT_EQ(c.at(10, 8), 0xFF000000u);

    // setClip takes the region in the context's own coordinates.
    util::Region region;
    region.add(0, 0, 1, 1);
    c.g->setClip(&region);
    EXPECT_EQ(c.g->clipRegion().getBounds().x, 5);
    c.g->setClip(nullptr);
    EXPECT_EQ(c.g->clipRegion().getBounds().width, 20);
    util::Region empty;
    c.g->setClip(&empty);
    c.g->fillRect(-5, -4, 20, 20);
    EXPECT_EQ(c.at(0, 0), 0u);
    EXPECT_EQ(c.g->getClipBounds().width, 0);
    // Clipping to nothing leaves nothing.
    c.g->setClip(nullptr);
    c.g->clipRect(0, 0, 0, 5);
    EXPECT_TRUE(c.g->clipRegion().isEmpty());
}

TEST(GraphicsContext, CreateSharesTargetAndStateButNotLaterChanges) {
    Canvas c(10, 10);
    c.g->translate(1, 1);
    c.g->clipRect(0, 0, 5, 5);
    c.g->setColor(0x00FF00u);
    lang::Ref<Graphics> child = lang::adopt(c.g->create());
    EXPECT_EQ(child->getColor(), 0x00FF00u);
    child->clipRect(0, 0, 2, 2);
    child->fillRect(0, 0, 10, 10);
    EXPECT_EQ(c.at(1, 1), 0xFF00FF00u);
    EXPECT_EQ(c.at(3, 3), 0u);
    c.g->fillRect(0, 0, 10, 10);
    EXPECT_EQ(c.at(5, 5), 0xFF00FF00u);
    EXPECT_EQ(c.at(6, 6), 0u);
    EXPECT_EQ(child->getFancyHelper() == c.g->getFancyHelper(), false);
    child->dispose();
    child->fillRectColor(0, 0, 10, 10, 0xFFFFFFFFu);
    EXPECT_EQ(c.at(2, 2), 0xFF00FF00u);
    EXPECT_EQ(static_cast<GraphicsI*>(child.get())->getImage(), nullptr);
    EXPECT_EQ(static_cast<GraphicsI*>(c.g.get())->getImage(), c.image.get());
}

TEST(GraphicsDraw, CopiesBlendsAndLevels) {
    // An image without alpha is copied exactly, alpha byte included.
    Canvas c(8, 8, 0xFF112233u);
    c.g->drawImage(solid(2, 2, 0x10445566u, false).get(), -1, -1);
    EXPECT_EQ(c.at(0, 0), 0x10445566u);
    EXPECT_EQ(c.at(1, 1), 0xFF112233u);

    // With alpha and neutral levels: opaque pixels unchanged, transparent skipped.
    auto sprite = solid(3, 1, 0xFFABCDEFu, true);
    sprite->getPixels()[1] = 0x00FFFFFFu;
    sprite->getPixels()[2] = 0x80FFFFFFu;
    FancyHelper* levels = c.g->getFancyHelper();
    ASSERT_NE(levels, nullptr);
    EXPECT_TRUE(levels->unchanged());
    c.g->drawImage(sprite.get(), 5, 7);
    EXPECT_EQ(c.at(5, 7), 0xFFABCDEFu);
    EXPECT_EQ(c.at(6, 7), 0xFF112233u);
    EXPECT_EQ(c.at(7, 7), 0xFF889099u);  // d + ((255 - d) x 128 >> 8) per channel

    // Alpha level 64 halves the source alpha (255 x 64 >> 7 = 127); the helper resets to neutral.
    levels->setLevels(64, 128, 128, 128);
    Canvas black(2, 2, 0xFF000000u);
    FancyHelper* blackLevels = black.g->getFancyHelper();
    blackLevels->setLevels(64, 128, 128, 128);
    black.g->drawImage(solid(1, 1, 0xFFFFFFFFu, true).get(), 0, 0);
    EXPECT_EQ(black.at(0, 0), 0xFF7E7E7Eu);
    levels->reset();
    EXPECT_TRUE(levels->unchanged());

    // Levels on an image without alpha still blend it.
    levels->setLevels(128, 0, 128, 256);
    c.g->drawImage(solid(1, 1, 0xFF406080u, false).get(), 1, 3);
    EXPECT_EQ(c.at(1, 3), 0xFF0060FFu);
    levels->reset();

    // Additive mode adds and saturates.
    EXPECT_EQ(c.g->setDrawMode(Graphics::kAdditiveMode), Graphics::kNormalMode);
    c.g->drawImage(solid(1, 1, 0xFFF00101u, false).get(), 2, 3);
    EXPECT_EQ(c.at(2, 3), 0xFFFF2334u);
    EXPECT_EQ(c.g->setDrawMode(0), Graphics::kAdditiveMode);

    // A part of an image, and an image that never loads.
    auto strip = solid(4, 1, 0xFF000001u, false);
    for (int i = 0; i < 4; ++i)
        strip->getPixels()[i] = 0xFF000000u | static_cast<uint32_t>(i);
    c.g->drawImage(strip.get(), 0, 5, 2, 0, 2, 1);
    EXPECT_EQ(c.at(0, 5), 0xFF000002u);
    EXPECT_EQ(c.at(1, 5), 0xFF000003u);
    EXPECT_EQ(c.at(2, 5), 0xFF112233u);
    auto missing = lang::make<Image>("/nonexistent/missing.gif");
    c.g->drawImage(missing.get(), 0, 0);
    EXPECT_EQ(c.at(1, 1), 0xFF112233u);
}

TEST(GraphicsDraw, FillsBlendByTheirAlphaByteAndLinesStopBeforeTheirEnd) {
    Canvas c(10, 10, 0xFF000000u);
    c.g->fillRectColor(0, 0, 2, 2, 0x80FFFFFFu);
    EXPECT_EQ(c.at(0, 0), 0xFF7F7F7Fu);
    c.g->fillRectColor(0, 0, 2, 2, 0x00FFFFFFu);
    EXPECT_EQ(c.at(1, 1), 0xFF7F7F7Fu);
    c.g->fillRectColor(0, 0, INT32_MAX, 1, 0xFF0000FFu);
    EXPECT_EQ(c.at(9, 0), 0xFF0000FFu);
    c.g->fillRectColor(INT32_MIN + 5, 3, 10, 1, 0xFF0000FFu);
    EXPECT_EQ(c.at(0, 3), 0xFF000000u);

    c.g->setColor(0xFF0000u);
    c.g->drawLine(2, 5, 6, 5);
    EXPECT_EQ(c.at(2, 5), 0xFFFF0000u);
    EXPECT_EQ(c.at(5, 5), 0xFFFF0000u);
    EXPECT_EQ(c.at(6, 5), 0xFF000000u);
    c.g->drawLine(6, 7, 2, 7);
    EXPECT_EQ(c.at(6, 7), 0xFFFF0000u);
    EXPECT_EQ(c.at(3, 7), 0xFFFF0000u);
    EXPECT_EQ(c.at(2, 7), 0xFF000000u);
    c.g->drawLine(0, 9, 3, 6);
    EXPECT_EQ(c.at(0, 9), 0xFFFF0000u);
    EXPECT_EQ(c.at(1, 8), 0xFFFF0000u);
    EXPECT_EQ(c.at(2, 7), 0xFFFF0000u);
    EXPECT_EQ(c.at(3, 6), 0xFF000000u);
}

TEST(GraphicsDraw, WholeRowCopiesAndFillsTouchExactlyTheirRows) {
    Canvas c(16, 8, 0xFF010101u);
    auto source = lang::make<Image>(16, 8);
    for (int i = 0; i < 128; ++i)
        source->getPixels()[i] = 0xFF000000u | static_cast<uint32_t>(i);
    c.g->drawImage(source.get(), 0, 3);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(c.at(x, y),
                      y < 3 ? 0xFF010101u : 0xFF000000u | static_cast<uint32_t>((y - 3) * 16 + x));
        }
    }
    c.g->fillRectColor(-5, 1, 100, 2, 0xFF123456u);
    c.g->fillRectColor(0, 6, 16, 1, 0xFFFFFFFFu);
    for (int x = 0; x < 16; ++x) {
        EXPECT_EQ(c.at(x, 0), 0xFF010101u);
        EXPECT_EQ(c.at(x, 1), 0xFF123456u);
        EXPECT_EQ(c.at(x, 2), 0xFF123456u);
        EXPECT_EQ(c.at(x, 3), 0xFF000000u | static_cast<uint32_t>(x));
        EXPECT_EQ(c.at(x, 6), 0xFFFFFFFFu);
        EXPECT_EQ(c.at(x, 7), 0xFF000000u | static_cast<uint32_t>(64 + x));
    }
}

TEST(GraphicsDraw, AnImageDrawnOntoItselfIsReadAsItWasBeforeTheDraw) {
    std::mt19937 rng(7);
    for (bool alpha : {false, true}) {
        auto image = lang::make<Image>(64, 64);
        for (int i = 0; i < 64 * 64; ++i)
            image->getPixels()[i] = static_cast<uint32_t>(rng()) | (alpha ? 0u : 0xFF000000u);
        image->setHasAlpha(alpha);
        const std::vector<uint32_t> before(image->getPixels(), image->getPixels() + 64 * 64);
        // Down and to the right, through two clip boxes: rows and boxes written first lie where later
        // ones read.
        util::Region clip;
        clip.add(0, 0, 64, 30);
        clip.add(0, 30, 40, 34);
        lang::Ref<Graphics> g = lang::adopt(image->getGraphics());
        g->setClip(&clip);
        g->drawImage(image.get(), 5, 3);
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                uint32_t want = before[static_cast<size_t>(y * 64 + x)];
                if (clip.contains(x, y) && x >= 5 && y >= 3) {
                    const uint32_t source = before[static_cast<size_t>((y - 3) * 64 + x - 5)];
                    if (alpha) {
                        Blender::blendNormalScalar(&want, &source, 1, BlendLevels());
                    } else {
                        want = source;
                    }
                }
                ASSERT_EQ(image->getPixels()[y * 64 + x], want)
                    << "alpha " << alpha << " at " << x << "," << y;
            }
        }
    }
}
