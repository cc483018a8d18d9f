// When the game offers each tutorial page of a level: at the board's first showing, in play, or when the
// level's own squares or the bonus level first appear. The canvas in stepping mode with the tutorial as
// its script makes it (the page table's due levels), on each page's own level.
#include <gtest/gtest.h>

#include "tests/game/CanvasGame.h"

namespace {

using canvas_game::Game;
using canvas_game::setUpLastMove;
using lang::Ref;

Ref<TutorialDialog> tutorialFromScript(testsupport::TempFolder& folder) {
    folder.write("tutorial.txt",
                 "<data> 1 1 1 3 0 9 0 4 2 14 4 6 8 16 3 20 5 10 26 21 12 17 1\n<sprites>\n<end>\n");
    folder.write("main.txt", "<sprites> itutorial TutorialDialog:tutorial.txt 400 300 380 200 0 0 0\n<end>\n");
    auto loader = lang::make<sprite::DataLoader>(lang::String(folder.path().c_str()), nullptr, nullptr);
    EXPECT_TRUE(loader->load("main.txt"));
    auto* s = static_cast<sprite::Sprite*>(loader->sprites()->elementAt(0));
    return s->instanceOf("TutorialDialog") ? lang::share(static_cast<TutorialDialog*>(s))
                                           : Ref<TutorialDialog>();
}

struct Offer {
    int level;
    bool bonus;
    int page;
    const char* when;
};

// Starts the offer's level as the player does (its bonus level by the continue button after its fifth
// level's tally) and steps until a page shows; the page must be the offer's, below the top fence and
// marked seen.
void expectOffered(const Offer& offer) {
    SCOPED_TRACE(std::string("page ") + std::to_string(offer.page) + ": " + offer.when);
    testsupport::TempFolder folder;
    Ref<TutorialDialog> tutorial = tutorialFromScript(folder);
    ASSERT_TRUE(tutorial);
    Game g(true, 40, [&](Game& game) { game.add("itutorial", tutorial); });
    if (offer.bonus) {
        g.profile().markTutorialSeen(7);
        g.play(offer.level, offer.level - 1);
        tutorial->close();
        {
            lang::Synchronized guard(g.canvas.get());
            g.canvas->enterState(KolbaxCanvas::kLevelComplete);
        }
        for (int i = 0; i < 1200 && g.canvas->levelCompleteCountdown() > 0; ++i)
            g.steps(1);
        ASSERT_FALSE(tutorial->isShowing());
        g.action("ibtncontinue");
        ASSERT_TRUE(g.canvas->board().bonusLevel());
    } else {
        g.profile().setHighestLevel(offer.level);
        g.profile().setSelectedLevel(offer.level);
        g.action("bstartgame");
    }
    for (int i = 0; i < 600 && !tutorial->isShowing(); ++i)
        g.steps(1);
    ASSERT_TRUE(tutorial->isShowing());
    EXPECT_EQ(tutorial->page(), offer.page);
    EXPECT_LT(g.order("itutorial"), g.order("ipicketfence3")) << "below the top fence";
    EXPECT_GT(g.order("itutorial"), g.order("consoledialog")) << "over the board and its console";
    EXPECT_EQ(g.profile().getInt("TUT" + std::to_string(offer.page), 0), 1);
}

// Pages due at a level's start or in its play: page 0 on level 1, 3 on level 3, 7 on level 4 and 16 on
// the bonus level after level 5 (the due levels of the script above).
TEST(TutorialOffersTest, EachLevelsOwnPageShowsOnItsLevel) {
    const Offer offers[] = {
        {1, false, 0, "the first board with a move"},
        {3, false, 3, "play on level 3"},
        {4, false, 7, "the first board of a level that is a multiple of 4"},
        {5, true, 16, "the first bonus level"},
    };
    for (const Offer& offer : offers)
        expectOffered(offer);
}

// The first boards with cobwebs, two vines, one vine, double and triple tiles (levels 10, 26, 21, 12
// and 17) bring the pages of those squares (17 to 21). The board announces its squares while it is dealt,
// with the map still up: the pages show once the level has started.
TEST(TutorialOffersTest, TheSpecialSquaresOfALevelBringTheirPages) {
    const Offer offers[] = {
        {10, false, 17, "a board with cobwebs"},      {26, false, 18, "a board with two vines"},
        {21, false, 19, "a board with one vine"},     {12, false, 20, "a board with double tiles"},
        {17, false, 21, "a board with triple tiles"},
    };
    for (const Offer& offer : offers)
        expectOffered(offer);
}


// A press on the console sun brings its page on any level; a board left without moves while the console
// holds suns brings page 22 on its due level (1).
TEST(TutorialOffersTest, TheConsoleSunAndABoardWithoutMovesBringTheirPages) {
    {
        testsupport::TempFolder folder;
        Ref<TutorialDialog> tutorial = tutorialFromScript(folder);
        Game g(true, 40, [&](Game& game) { game.add("itutorial", tutorial); });
        g.profile().setSuns(2);
        g.play(7);  // a level on which no page is due
        ASSERT_FALSE(tutorial->isShowing()) << "page " << tutorial->page();
        g.click(util::Point(45, 565));
        ASSERT_TRUE(g.canvas->sunCarried());
        g.steps(8);
        EXPECT_TRUE(tutorial->isShowing());
        EXPECT_EQ(tutorial->page(), 5);
    }
    testsupport::TempFolder folder;
    Ref<TutorialDialog> tutorial = tutorialFromScript(folder);
    Game g(true, 40, [&](Game& game) { game.add("itutorial", tutorial); });
    g.play(1);
    g.action("btn_tutorialClose");
    ASSERT_FALSE(tutorial->isShowing());
    g.profile().setInt("TUT1", 1);  // the first matches' page was seen: the last move brings only 22
    setUpLastMove(g, 2);
    g.steps(4);
    g.click(g.centre(2, 0));
    g.click(g.centre(3, 0));
    for (int i = 0; i < 200 && !tutorial->isShowing(); ++i)
        g.steps(1);
    ASSERT_TRUE(g.canvas->board().noMoreMoves());
    EXPECT_TRUE(tutorial->isShowing());
    EXPECT_EQ(tutorial->page(), 22);
}

// On level 1, the first matches cleared after the first lesson bring page 1.
TEST(TutorialOffersTest, TheFirstMatchesClearedOnLevelOneBringPageOne) {
    testsupport::TempFolder folder;
    Ref<TutorialDialog> tutorial = tutorialFromScript(folder);
    Game g(true, 40, [&](Game& game) { game.add("itutorial", tutorial); });
    g.play(1);
    ASSERT_EQ(tutorial->page(), 0);
    g.action("btn_tutorialClose");
    g.untilQuiet();
    int gilded = 0;
    SwapMove m = g.bestMove(&gilded);
    ASSERT_TRUE(m.valid());
    g.click(g.centre(m.x1, m.y1));
    g.click(g.centre(m.x2, m.y2));
    for (int i = 0; i < 200 && !tutorial->isShowing(); ++i)
        g.steps(1);
    EXPECT_TRUE(tutorial->isShowing());
    EXPECT_EQ(tutorial->page(), 1);
}

// With tutorials switched off, the same moments show nothing.
TEST(TutorialOffersTest, NoPageShowsWithTutorialsOff) {
    for (int level : {1, 3, 10}) {
        SCOPED_TRACE("level " + std::to_string(level));
        testsupport::TempFolder folder;
        Ref<TutorialDialog> tutorial = tutorialFromScript(folder);
        ASSERT_TRUE(tutorial);
        Game g(true, 40, [&](Game& game) { game.add("itutorial", tutorial); });
        g.profile().setShowTutorials(false);
        g.play(level, level);
        g.steps(100);
        EXPECT_FALSE(tutorial->isVisible());
        EXPECT_EQ(tutorial->page(), TutorialDialog::kNoPage);
    }
}

}  // namespace
