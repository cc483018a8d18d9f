// Sprite and AnimateSprite: bounds and dirty reporting, frame runs, moves, fades, hit tests, unloading.
#include <gtest/gtest.h>

#include "sprite/AnimateSprite.h"
#include "util/Region.h"
#include "sprite/SpriteArray.h"
#include "tests/sprite/SpriteTestSupport.h"
#include "window/GraphicsI.h"
#include "window/ImageArray.h"

namespace {

using lang::Ref;
using namespace sprite_test;

TEST(SpriteTest, ChangesReportOldAndNewBoundsOnceAndNothingWhenUnchanged) {
    auto s = lang::make<sprite::Sprite>();
    s->setImage(solidImage(10, 8, 0xFF112233).get());
    step(*s, 0);
    EXPECT_FALSE(step(*s, 1).changed) << "an unchanged sprite reports nothing";

    s->setLocation(0, 0);
    EXPECT_FALSE(step(*s, 2).changed) << "setLocation to the same point marks nothing";
    s->setLocationQuiet(50, 50);
    EXPECT_FALSE(step(*s, 3).changed) << "setLocationQuiet never marks";

    s->setLocation(60, 55);
    Step moved = step(*s, 4);
    EXPECT_TRUE(moved.changed);
    EXPECT_TRUE(moved.out.x == 50 && moved.out.y == 50 && moved.out.width == 20 && moved.out.height == 13)
        << "the union of the old and the new bounds";
    EXPECT_TRUE(moved.region.contains(50, 50) && moved.region.contains(69, 62));
    EXPECT_FALSE(moved.region.contains(70, 62));

    s->setVisible(false);
    Step hidden = step(*s, 5);
    EXPECT_TRUE(hidden.changed) << "hiding reports the last visible area once";
    EXPECT_FALSE(s->isShown());
    EXPECT_FALSE(step(*s, 6).changed);
    s->setVisible(true);
    EXPECT_TRUE(step(*s, 7).changed) << "showing reports the area on the next step";
    EXPECT_TRUE(s->isShown());
}

TEST(SpriteTest, BoundsFollowSizeClipAndMinusOne) {
    auto s = lang::make<sprite::Sprite>();
    s->setImage(solidImage(10, 10, 0xFFFFFFFF).get());
    s->setLocation(5, 5);
    util::RectangleNM clip(8, 0, 100, 12);
    s->setClipRect(&clip);
    util::RectangleNM b = s->getBounds();
    EXPECT_EQ(b.x, 8);
    EXPECT_EQ(b.width, 7);
    EXPECT_EQ(b.height, 7);
    s->setSize(-1, 10);
    EXPECT_TRUE(s->getBounds().isEmpty()) << "a width of -1 means no size";
}

TEST(SpriteTest, ContainsPointUsesTheCurrentPositionNotTheLastPaint) {
    auto s = lang::make<sprite::Sprite>();
    s->setImage(solidImage(10, 10, 0xFFFFFFFF).get());
    EXPECT_TRUE(s->containsPoint(0, 0)) << "before any paint";
    EXPECT_FALSE(s->containsPoint(10, 0)) << "right edge exclusive";
    s->setLocationQuiet(100, 100);
    EXPECT_TRUE(s->containsPoint(105, 105)) << "after a quiet move";
    EXPECT_FALSE(s->containsPoint(5, 5));
}

TEST(SpriteTest, InitTakesImageMaskAndPositionAndToleratesShortRecords) {
    auto picture = solidImage(4, 4, 0xFF00FF00);
    auto mask = solidImage(4, 4, 0x80000000);
    auto images = lang::make<window::ImageArray>(2);
    (*images)[0] = picture.get();
    (*images)[1] = mask.get();
    auto s = lang::make<sprite::Sprite>();
    s->init(images.get(), numbers({7, 9}).get());
    EXPECT_EQ(s->getX(), 7);
    EXPECT_EQ(s->getY(), 9);
    ASSERT_NE(s->getImage(), nullptr);
    EXPECT_NE(s->getImage(), picture.get()) << "the mask goes onto a copy";
    EXPECT_EQ(s->getImage()->getPixels()[0] >> 24, 0x80u);
    EXPECT_EQ(picture->getPixels()[0] >> 24, 0xFFu) << "the loader's picture is untouched";

    auto empty = lang::make<window::ImageArray>(1);
    auto t = lang::make<sprite::Sprite>();
    t->init(empty.get(), numbers({}).get());
    EXPECT_EQ(t->getImage(), nullptr) << "a null entry means no image";
    EXPECT_EQ(t->getX(), 0);
    auto a = lang::make<sprite::AnimateSprite>();
    a->init(empty.get(), numbers({3}).get());
    EXPECT_EQ(a->getX(), 3);
    EXPECT_EQ(a->getFrameCount(), 1) << "missing columns and rows count as 1";
}

TEST(SpriteTest, PaintDrawsWithLevelsAndClipAndLeavesTheContextNeutral) {
    auto target = solidImage(20, 20, 0xFF000000);
    auto g = lang::adopt(target->getGraphics());
    auto s = lang::make<sprite::Sprite>();
    s->setImage(solidImage(10, 10, 0xFFFF0000).get());
    s->setLocation(2, 2);
    s->setColorTransform(64, 128, 128, 128);
    step(*s, 0);
    s->paint(g.get());
    const uint32_t half = target->getPixels()[2 * 20 + 2];
    EXPECT_NEAR(static_cast<int>((half >> 16) & 0xFF), 127, 2) << "alpha level 64 blends half";
    EXPECT_TRUE(g->getFancyHelper()->unchanged()) << "the context's levels are reset";

    util::RectangleNM exclude(2, 2, 5, 10);
    s->setExcludeRect(&exclude);
    s->setColorTransform(128, 128, 128, 128);
    target->getPixels()[2 * 20 + 2] = 0xFF000000;
    s->paint(g.get());
    EXPECT_EQ(target->getPixels()[2 * 20 + 2], 0xFF000000u) << "the exclude rectangle is left out";
    EXPECT_EQ(target->getPixels()[2 * 20 + 8], 0xFFFF0000u);
}

TEST(SpriteTest, HitTestAndOpaqueEdgeReadTheRightPixels) {
    auto image = solidImage(6, 6, 0);
    uint32_t* p = image->getPixels();
    p[2 * 6 + 3] = 0xFF000000;
    p[4 * 6 + 3] = 0x40000000;
    auto s = lang::make<sprite::Sprite>();
    s->setImage(image.get());
    s->setLocation(10, 20);
    EXPECT_TRUE(s->hitTest(13, 22));
    EXPECT_FALSE(s->hitTest(12, 22)) << "transparent pixel inside the bounds";
    EXPECT_FALSE(s->hitTest(16, 22)) << "outside the image";
    int px = 13, py = 0;
    EXPECT_TRUE(s->findOpaqueEdge(&px, &py, 'T', 1));
    EXPECT_EQ(py, 22);
    EXPECT_TRUE(s->findOpaqueEdge(&px, &py, 'B', 1));
    EXPECT_EQ(py, 24);
    EXPECT_TRUE(s->findOpaqueEdge(&px, &py, 'B', 0x80));
    EXPECT_EQ(py, 22) << "the threshold skips the faint pixel";
    px = 0, py = 22;
    EXPECT_TRUE(s->findOpaqueEdge(&px, &py, 'R', 1));
    EXPECT_EQ(px, 13);
    px = 100;
    EXPECT_FALSE(s->findOpaqueEdge(&px, &py, 'T', 1)) << "a column outside the image";

    auto unloaded = lang::make<window::Image>(lang::String("+no such entry"));
    auto u = lang::make<sprite::Sprite>();
    u->setImage(unloaded.get());
    EXPECT_FALSE(u->hitTest(0, 0)) << "an image without pixels is never hit";
}

TEST(SpriteTest, UnloadOnlyWhatCanComeBack) {
    auto generated = solidImage(4, 4, 0xFFFFFFFF);
    auto s = lang::make<sprite::Sprite>();
    s->setImage(generated.get());
    s->unloadImage();
    EXPECT_TRUE(generated->isLoaded()) << "a picture made in memory has nowhere to come back from";

    auto packed = lang::make<window::Image>(lang::String("packentry"));
    // Decoded from memory, as image packs do: its name is no archive entry and no file.
    const uint8_t gif[] = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF,
                           ',', 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 1, 0, ';'};
    ASSERT_TRUE(packed->decode(gif, sizeof(gif), "test"));
    s->setImage(packed.get());
    s->unloadImage();
    EXPECT_TRUE(packed->isLoaded()) << "an image pack's picture keeps its pixels";
}

TEST(SpriteTest, CloneSharesTheImageAndCopiesRectangles) {
    auto s = lang::make<sprite::AnimateSprite>();
    s->setImageGrid(numberedSheet(2, 2, 5, 5).get(), 2, 2);
    util::RectangleNM clip(0, 0, 3, 3);
    s->setClipRect(&clip);
    s->setFrame(3);
    auto label = lang::make<lang::String>("done");
    s->setNotify(nullptr, label.get());
    auto copy = lang::adopt(static_cast<sprite::AnimateSprite*>(s->clone()));
    EXPECT_STREQ(copy->getClassName(), "AnimateSprite");
    EXPECT_EQ(copy->getImage(), s->getImage());
    EXPECT_EQ(copy->getFrame(), 3);
    clip.width = 1;
    Ref<util::RectangleNM> copied = lang::adopt(copy->getClipRect());
    EXPECT_EQ(copied->width, 3);
    sprite::SpriteArray array(1);
    array[0] = copy.get();
    EXPECT_STREQ(array.getClassName(), "SpriteArray");
}

// --- AnimateSprite ---------------------------------------------------------------------------------

Ref<sprite::AnimateSprite> sheetSprite(int columns, int rows) {
    auto s = lang::make<sprite::AnimateSprite>();
    s->setImageGrid(numberedSheet(columns, rows, 4, 4).get(), columns, rows);
    return s;
}

std::vector<int> frames(sprite::AnimateSprite& s, int from, int count) {
    std::vector<int> seen;
    for (int f = from; f < from + count; ++f) {
        s.update(f, nullptr, nullptr);
        seen.push_back(s.getFrame());
    }
    return seen;
}

TEST(AnimateSpriteTest, LoopingPingPongAndOneShotRuns) {
    auto loop = sheetSprite(3, 2);
    loop->setFrameRange(1, 4);
    loop->setFrame(3);
    loop->setFrameStep(1, true);
    EXPECT_EQ(frames(*loop, 0, 5), (std::vector<int>{4, 1, 2, 3, 4}));

    auto back = sheetSprite(3, 2);
    back->setFrameRange(1, 4);
    back->setFrame(2);
    back->setFrameStep(-1, true);
    EXPECT_EQ(frames(*back, 0, 3), (std::vector<int>{1, 4, 3}));

    auto bounce = sheetSprite(4, 1);
    bounce->setPingPong(true);
    bounce->setFrameStep(1, true);
    EXPECT_EQ(frames(*bounce, 0, 8), (std::vector<int>{1, 2, 3, 3, 2, 1, 0, 0}));

    auto label = lang::make<lang::String>("Hide Piece");
    auto receiver = lang::make<LabelReceiver>();
    auto once = sheetSprite(4, 1);
    once->setNotify(receiver.get(), label.get());
    once->setFrameStep(1, false);
    EXPECT_TRUE(once->isAnimating());
    EXPECT_EQ(frames(*once, 0, 5), (std::vector<int>{1, 2, 3, 3, 3}));
    ASSERT_EQ(receiver->labels, (std::vector<std::string>{"Hide Piece"})) << "notified once";
    EXPECT_EQ(receiver->sources[0], once.get());
}

TEST(AnimateSpriteTest, AnIntervalDoesNotEndAOneShotRunEarly) {
    auto receiver = lang::make<LabelReceiver>();
    auto label = lang::make<lang::String>("end");
    auto s = sheetSprite(3, 1);
    s->setNotify(receiver.get(), label.get());
    s->setFrameTiming(3, 0);
    s->setFrameStep(1, false);
    frames(*s, 1, 5);
    EXPECT_TRUE(receiver->labels.empty()) << "frames between advances are still part of the run";
    EXPECT_EQ(s->getFrame(), 1);
    frames(*s, 6, 4);
    EXPECT_EQ(s->getFrame(), 2);
    EXPECT_EQ(receiver->labels.size(), 1u);
}

TEST(AnimateSpriteTest, GridlessAndBackwardRangesNeverDivideByZero) {
    auto s = lang::make<sprite::AnimateSprite>();
    s->setImage(solidImage(8, 8, 0xFFFFFFFF).get());
    s->setFrameStep(1, true);
    s->setFrameRange(5, 2);
    s->setFrame(-4);
    EXPECT_EQ(s->getFrame(), 0);
    frames(*s, 0, 3);
    EXPECT_EQ(s->getFrame(), 0);
    auto target = solidImage(8, 8, 0);
    auto g = lang::adopt(target->getGraphics());
    s->paint(g.get());
    EXPECT_TRUE(s->hitTest(1, 1));

    auto sheet = sheetSprite(4, 1);
    sheet->setFrameRange(3, 1);
    EXPECT_EQ(sheet->getFirstFrame(), 3);
    EXPECT_EQ(sheet->getLastFrame(), 3) << "a backward range plays its first frame";
    sheet->setFrame(99);
    EXPECT_EQ(sheet->getFrame(), 3) << "beyond the sheet shows the last frame";
}

TEST(AnimateSpriteTest, MovesArriveExactlyOnTheirLastStep) {
    auto s = sheetSprite(1, 1);
    s->setLocation(0, 0);
    s->moveTo(100, -7, 4);
    std::vector<int> xs;
    for (int f = 0; f < 4; ++f) {
        EXPECT_EQ(s->nextX(), f == 3 ? 100 : s->getX() + (100 - s->getX()) / (4 - f));
        s->update(f, nullptr, nullptr);
        xs.push_back(s->getX());
    }
    EXPECT_EQ(xs, (std::vector<int>{25, 50, 75, 100}));
    EXPECT_EQ(s->getY(), -7);
    EXPECT_EQ(s->getMoveSteps(), 0);

    auto jump = sheetSprite(1, 1);
    jump->moveTo(9, 9, 1);
    jump->update(0, nullptr, nullptr);
    EXPECT_EQ(jump->getX(), 9) << "a one-step move jumps at the next step";
}

TEST(AnimateSpriteTest, FadesLandOnTheirEndValueHideAndNotify) {
    auto receiver = lang::make<LabelReceiver>();
    auto label = lang::make<lang::String>("faded");
    auto s = sheetSprite(1, 1);
    s->setNotify(receiver.get(), label.get());
    s->fadeTo(0, 10, 1);
    for (int f = 0; f < 9; ++f) {
        s->update(f, nullptr, nullptr);
        EXPECT_TRUE(s->isVisible());
    }
    EXPECT_TRUE(receiver->labels.empty());
    s->update(9, nullptr, nullptr);
    EXPECT_EQ(s->getAlpha(), 0);
    EXPECT_FALSE(s->isVisible()) << "hidden after ten steps";
    EXPECT_EQ(receiver->labels.size(), 1u);

    auto up = sheetSprite(1, 1);
    up->setColorTransform(10, 128, 128, 128);
    up->fadeTo(128, 3, 0);
    frames(*up, 0, 3);
    EXPECT_EQ(up->getAlpha(), 128);
    EXPECT_TRUE(up->isVisible());
}

TEST(AnimateSpriteTest, ASlowFadeMarksOnlyTheStepsThatChangeItsLevel) {
    // A level moves by whole units: 10 to 0 over 40 steps stands still for 30 of them, and a
    // full-screen overlay marked on those would be redrawn for nothing.
    auto s = sheetSprite(1, 1);
    s->setColorTransform(10, 128, 128, 128);
    s->update(0, nullptr, nullptr);
    s->fadeTo(0, 40, 0);
    int marked = 0;
    for (int f = 1; f <= 40; ++f) {
        const int before = s->getAlpha();
        util::Region region;
        const bool changed = s->update(f, nullptr, &region);
        EXPECT_EQ(changed, s->getAlpha() != before) << "step " << f;
        EXPECT_EQ(region.isEmpty(), !changed) << "step " << f;
        marked += changed ? 1 : 0;
    }
    EXPECT_EQ(s->getAlpha(), 0);
    EXPECT_EQ(marked, 10);
}

TEST(AnimateSpriteTest, MoveAndRunNotifyOnceWhenTheLaterEnds) {
    auto receiver = lang::make<LabelReceiver>();
    auto label = lang::make<lang::String>("both");
    auto s = sheetSprite(3, 1);
    s->setNotify(receiver.get(), label.get());
    s->setFrameStep(1, false);
    s->moveTo(50, 0, 5);
    frames(*s, 0, 4);
    EXPECT_TRUE(receiver->labels.empty()) << "the run has ended but the move has not";
    frames(*s, 4, 3);
    EXPECT_EQ(receiver->labels.size(), 1u);
}

TEST(AnimateSpriteTest, PausedSpritesFreezeAndIntervalsSkipPausedSteps) {
    auto s = sheetSprite(6, 1);
    s->setFrameTiming(2, 0);
    s->setFrameStep(1, true);
    s->update(0, nullptr, nullptr);
    EXPECT_EQ(s->getFrame(), 1);
    s->setPaused(true);
    frames(*s, 1, 3);
    EXPECT_EQ(s->getFrame(), 1);
    s->setPaused(false);
    s->update(4, nullptr, nullptr);  // animation time 1: odd, no advance
    EXPECT_EQ(s->getFrame(), 1);
    s->update(5, nullptr, nullptr);
    EXPECT_EQ(s->getFrame(), 2);
}

TEST(AnimateSpriteTest, PaintsOnlyTheCurrentCellAndHitTestsIt) {
    auto s = sheetSprite(3, 2);
    s->setLocation(2, 3);
    s->setFrame(4);
    s->update(0, nullptr, nullptr);
    auto target = solidImage(12, 12, 0xFF000000);
    auto g = lang::adopt(target->getGraphics());
    s->paint(g.get());
    const uint32_t* p = target->getPixels();
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 3 && y < 7;
            ASSERT_EQ(p[y * 12 + x], inside ? 0xFF000005u : 0xFF000000u) << x << "," << y;
        }
    }
    EXPECT_TRUE(s->hitTest(2, 3));
    EXPECT_FALSE(s->hitTest(6, 3));
}

TEST(AnimateSpriteTest, InitReadsGridVisibilityFrameAndTiming) {
    auto images = lang::make<window::ImageArray>(1);
    auto sheet = numberedSheet(4, 2, 8, 8);
    (*images)[0] = sheet.get();
    auto s = lang::make<sprite::AnimateSprite>();
    s->init(images.get(), numbers({1, 2, 4, 2, 5, 2, 1, 1}).get());
    EXPECT_EQ(s->getFrameCount(), 8);
    EXPECT_EQ(s->getWidth(), 8);
    EXPECT_EQ(s->getFrame(), 5);
    EXPECT_TRUE(s->isVisible());
    EXPECT_FALSE(s->isAnimating()) << "ping-pong runs never complete";
    auto hidden = lang::make<sprite::AnimateSprite>();
    hidden->init(images.get(), numbers({0, 0, 4, 2, -1}).get());
    EXPECT_FALSE(hidden->isVisible());
    EXPECT_EQ(hidden->getFrame(), 0);
}

}  // namespace
