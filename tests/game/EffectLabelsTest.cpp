// The labels that end an effect's animation, and what the pointer shows on the board: each clean-up
// label hides or removes exactly its own sprite, the slow cascade rises and fades, a gold effect gilds
// the square it carries; the hand over a piece, the arrow off it, and the carried sun's two sizes.
#include <gtest/gtest.h>

#include "tests/game/CanvasGame.h"
#include "window/Cursor.h"

namespace {

using canvas_game::Game;
using lang::Ref;

// An effect as the canvas makes it: an unnamed copy in the scene with a notification pending.
Ref<sprite::AnimateSprite> effect(Game& g, const char* label) {
    auto fx = lang::make<sprite::AnimateSprite>();
    fx->setImageGrid(sprite_test::numberedSheet(2, 1, 10, 10).get(), 2, 1);
    fx->setLocation(300, 300);
    fx->setVisible(true);
    g.canvas->addSprite(nullptr, fx.get(), -1);
    auto text = lang::make<lang::String>(label);
    fx->setNotify(g.canvas.get(), text.get());
    return fx;
}

bool inScene(Game& g, sprite::Sprite* s) {
    return g.canvas->indexOfSprite(s) >= 0;
}

TEST(EffectLabelsTest, CleanUpLabelsHideOrRemoveTheirOwnSpriteOnly) {
    Game g;
    g.play(2);
    for (const char* label : {"Stop Shimmer", "Hide Cobweb", "Hide Sunburst", "Hide Fiver Flash", "Hide Vine",
                              "Hide Big Power Piece Explosions", "Hide Gold Twinkle", "Hide Gold Sun Twinkle",
                              "Hide Arrow", "Hide turned to gold anim", "Hide sun explosion", "Hide hopping sun",
                              "Hide Suns When They Arrive At Console Sun", "Bonus block broken"}) {
        Ref<sprite::AnimateSprite> fx = effect(g, label);
        Ref<sprite::AnimateSprite> other = effect(g, "Hide Cobweb");
        g.canvas->handleAction(fx.get(), lang::String(label));
        EXPECT_FALSE(fx->isVisible()) << label;
        EXPECT_TRUE(other->isVisible()) << label << " leaves other effects alone";
        g.canvas->removeSprite(other.get());
    }
    for (const char* label : {"Hide match out sparkle bling", "Hide Random Bomb Explosion", "Hide lightning",
                              "Hide static ball"}) {
        Ref<sprite::AnimateSprite> fx = effect(g, label);
        g.canvas->handleAction(fx.get(), lang::String(label));
        EXPECT_FALSE(fx->isVisible()) << label;
        g.steps(1);  // the scene lets go of removed sprites at the end of a frame
        EXPECT_FALSE(inScene(g, fx.get())) << label << " takes its sprite out of the scene";
    }
    // Without a sprite the clean-ups change nothing on the board.
    const int visibleBefore = [&] {
        int n = 0;
        for (int id = 0; id < 250; ++id)
            n += g.canvas->pieceSprite(id)->isVisible() ? 1 : 0;
        return n;
    }();
    g.action("Hide Piece");
    int visibleAfter = 0;
    for (int id = 0; id < 250; ++id)
        visibleAfter += g.canvas->pieceSprite(id)->isVisible() ? 1 : 0;
    EXPECT_EQ(visibleAfter, visibleBefore) << "\"Hide Piece\" with no sprite leaves the board as it is";
}

TEST(EffectLabelsTest, ASlowCascadeRisesFortyPixelsAndFadesWhateverFollowsItsPrefix) {
    Game g;
    g.play(2);
    for (const char* label : {"Slow cascading numbers outline", "Slow cascading"}) {
        Ref<sprite::AnimateSprite> fx = effect(g, label);
        g.canvas->handleAction(fx.get(), lang::String(label));
        g.steps(30);
        EXPECT_EQ(fx->getY(), 260) << label;
        EXPECT_FALSE(fx->isVisible() && fx->colorTransform()->alpha > 0) << label << " faded out";
    }
}

TEST(EffectLabelsTest, AGoldEffectGildsTheSquareItCarries) {
    Game g;
    g.play(2);
    Ref<sprite::AnimateSprite> fx = effect(g, "Turn this grid square to gold");
    fx->setUserValue(board::squareIndex(4, 5) + 1);
    ASSERT_FALSE(g.canvas->board().gold(4, 5));
    g.canvas->handleAction(fx.get(), lang::String("Turn this grid square to gold"));
    EXPECT_TRUE(g.canvas->board().gold(4, 5));
}

TEST(EffectLabelsTest, ThePointerShowsAHandOverAPieceAndTheCarriedSunShrinksThere) {
    Game g(true, 40, [](Game& game) {
        game.add("biggoldsunoncursor", canvas_test::block(0, 0, 30, 30, 0xffffff00));
        game.add("smallgoldsunoncursor", canvas_test::block(0, 0, 20, 20, 0xffffff00));
    });
    g.profile().setSuns(2);
    g.play(2);
    util::Point piece = g.centre(5, 5);
    g.send(window::Event::kMouseMove, piece.x, piece.y);
    ASSERT_NE(g.canvas->getCursor(), nullptr);
    EXPECT_EQ(g.canvas->getCursor()->kind(), window::Cursor::kHand);
    g.send(window::Event::kMouseMove, 790, 300);
    EXPECT_EQ(g.canvas->getCursor()->kind(), window::Cursor::kArrow) << "off the pieces the arrow is back";

    g.click(util::Point(45, 565));
    ASSERT_TRUE(g.canvas->sunCarried());
    g.send(window::Event::kMouseMove, piece.x, piece.y);
    EXPECT_TRUE(g.visible("smallgoldsunoncursor"));
    EXPECT_FALSE(g.visible("biggoldsunoncursor"));
    g.send(window::Event::kMouseMove, 790, 300);
    EXPECT_TRUE(g.visible("biggoldsunoncursor"));
    EXPECT_FALSE(g.visible("smallgoldsunoncursor"));
    sprite::Sprite* sun = g.canvas->getSprite("biggoldsunoncursor");
    EXPECT_EQ(sun->getX() + 15, 790) << "the sun follows the pointer";
}

// A sun that reaches the console lights its glow for a moment; the count shown is the model's.
TEST(EffectLabelsTest, ASunArrivingAtTheConsoleLightsItsGlowForAMoment) {
    Ref<sprite::Sprite> glow = canvas_test::block(0, 0, 40, 40, 0xffffd700);
    Game g(true, 40, [&](Game& game) {
        auto* console = static_cast<ConsoleDialog*>(game.canvas->getSprite("consoledialog"));
        console->addChild("goldtileincreasehighlight", glow.get());
    });
    g.profile().setSuns(2);
    g.play(2);
    auto* console = static_cast<ConsoleDialog*>(g.canvas->getSprite("consoledialog"));
    ASSERT_FALSE(glow->isVisible());
    {
        lang::Synchronized guard(g.canvas.get());
        g.canvas->board().setSuns(3);  // the model counted the arriving sun
    }
    g.action("Give gold sun");
    EXPECT_TRUE(glow->isVisible());
    EXPECT_EQ(console->suns(), 3) << "the console shows the model's count, not one more";
    g.steps(KolbaxCanvas::kGoldGlowFrames + 2);
    EXPECT_FALSE(glow->isVisible()) << "\"Hide Gold Tile Glow\" puts it out";
}

}  // namespace
