// NewFontSprite (bitmap fonts: layout, wrapping, truncation, editing, short tables), NumberSprite
// (layout modes, separators, rolling), TextSprite (rendering inside its picture) and RectSprite.
#include <gtest/gtest.h>

#include <climits>

#include "sprite/NewFontSprite.h"
#include "sprite/NumberSprite.h"
#include "sprite/RectSprite.h"
#include "sprite/TextSprite.h"
#include "tests/sprite/SpriteTestSupport.h"
#include "window/GraphicsI.h"

namespace {

using lang::Ref;
using namespace sprite_test;
using sprite::NewFontSprite;
using sprite::NumberSprite;

// A test font of `records` characters from 32: every glyph box 4 x 6 at x = 4 (c - 32) in the picture,
// advance 5; 'A' starts one pixel right of the pen, 'W' is 7 wide (2 beyond its advance).
struct TestFont {
    explicit TestFont(int records = 224) {
        picture = lang::make<window::Image>(224 * 4, 6, window::Image::kCleared);
        for (int i = 0; i < 224 * 4 * 6; ++i)
            picture->getPixels()[i] = 0xFF000000u | static_cast<uint32_t>((i % (224 * 4)) / 4 + 32);
        metrics = lang::make<window::Image>(6, records, window::Image::kCleared);
        for (int r = 0; r < records; ++r) {
            const int c = r + 32;
            int32_t words[6] = {4 * r, 0, c == ' ' ? 5 : 4, 6, c == 'A' ? 1 : 0, 5};
            if (c == 'W')
                words[2] = 7;
            for (int w = 0; w < 6; ++w)
                metrics->getPixels()[r * 6 + w] = static_cast<uint32_t>(words[w]);
        }
    }
    Ref<NewFontSprite> sprite(const char* text) const {
        auto s = lang::make<NewFontSprite>();
        s->setImage(picture.get());
        s->setFont(metrics.get());
        s->setText(text);
        return s;
    }
    Ref<window::Image> picture;
    Ref<window::Image> metrics;
};

TEST(NewFontSpriteTest, MeasuresLinesOffsetsOverhangAndSpacing) {
    TestFont font;
    auto s = font.sprite("abc");
    EXPECT_EQ(s->getWidth(), 15);
    EXPECT_EQ(s->getHeight(), 6);
    s->setText("A");
    EXPECT_EQ(s->getWidth(), 4) << "the first glyph's left offset is taken off";
    s->setText("aW\nab");
    EXPECT_EQ(s->getWidth(), 10);
    EXPECT_EQ(s->getOverhang(), 2);
    s->setLineSpacing(3);
    EXPECT_EQ(s->getHeight(), 15);
    s->setLetterSpacing(1);
    EXPECT_EQ(s->getWidth(), 8);
    s->setText("");
    EXPECT_EQ(s->getWidth(), 0);
    auto noTable = lang::make<NewFontSprite>();
    noTable->setText("abc");
    EXPECT_EQ(noTable->getWidth(), 0) << "a font without glyph table measures 0 by 0";
}

TEST(NewFontSpriteTest, PaintsEachGlyphFromItsBoxAlignedAndCentred) {
    TestFont font;
    auto s = font.sprite("ab");
    s->setLocation(20, 2);
    s->setAlign(NewFontSprite::kAlignCentre);
    s->update(1, nullptr, nullptr);
    auto target = solidImage(40, 10, 0xFF000000);
    auto g = lang::adopt(target->getGraphics());
    s->paint(g.get());
    const uint32_t* p = target->getPixels();
    EXPECT_EQ(p[3 * 40 + 15], 0xFF000000u | 'a') << "centred: the text starts at 20 - 10 / 2";
    EXPECT_EQ(p[3 * 40 + 20], 0xFF000000u | 'b');
    EXPECT_EQ(p[3 * 40 + 19], 0xFF000000u) << "the gap between the 4-wide boxes";
    EXPECT_EQ(p[1 * 40 + 15], 0xFF000000u) << "above the line";
}

TEST(NewFontSpriteTest, ShortTablesControlCharactersAndShortColourArraysAreSafe) {
    TestFont shortFont(10);
    auto s = shortFont.sprite("!\x01zz~\xFF");
    EXPECT_EQ(s->getWidth(), 5) << "only '!' has a record";
    s->setCharColors({static_cast<int32_t>(0x80808080u)});
    s->setCharStyles({4});
    s->update(0, nullptr, nullptr);
    auto target = solidImage(40, 10, 0xFF000000);
    auto g = lang::adopt(target->getGraphics());
    s->paint(g.get());
    EXPECT_EQ(target->getPixels()[4 * 40 + 4], 0xFFFFFFFFu) << "the underline of the styled glyph";
}

TEST(NewFontSpriteTest, WrapsAtSpacesOnlyAndTruncatesWithTheEllipsis) {
    TestFont font;
    auto s = font.sprite("aa bb cc");
    s->wrapToWidth(25);
    EXPECT_STREQ(s->getText().chars(), "aa bb\ncc");
    s->setText("abcdefgh ij");
    s->wrapToWidth(10);
    EXPECT_STREQ(s->getText().chars(), "abcdefgh\nij") << "a long word is never broken";

    s->setText("Hello world");
    s->truncateToWidth(30);
    EXPECT_STREQ(s->getText().chars(), "Hello\x85");
    s->setText("Hello");
    s->truncateToWidth(25);
    EXPECT_STREQ(s->getText().chars(), "Hello") << "a text that fits is left alone";
    s->setText("Hello");
    s->truncateToWidth(2);
    EXPECT_STREQ(s->getText().chars(), "\x85") << "narrower than the ellipsis: it ends";
}

Ref<window::Event> key(int code) {
    return lang::make<window::Event>(window::Event::kKeyDown, 0, 0, 0, code, 1);
}

TEST(NewFontSpriteTest, EditingKeys) {
    TestFont font;
    auto s = font.sprite("ab");
    s->setEditable(true);
    EXPECT_EQ(s->getCaretPos(), 2);
    EXPECT_FALSE(s->keyInput(key(window::Event::kF1).get(), 0, false)) << "F1 types no 'X'";
    EXPECT_FALSE(s->keyInput(key(window::Event::kUp).get(), 0, false));
    EXPECT_FALSE(s->keyInput(key(127).get(), 0, false));
    EXPECT_FALSE(s->keyInput(key('!').get(), 0, true)) << "filtered";
    EXPECT_FALSE(s->keyInput(key(window::Event::kDelete).get(), 0, false)) << "delete at the end";
    EXPECT_TRUE(s->keyInput(key(window::Event::kLeft).get(), 0, false));
    EXPECT_TRUE(s->keyInput(key('\xE9' & 0xFF).get(), 0, true));
    EXPECT_STREQ(s->getText().chars(), "a\xE9" "b");
    EXPECT_FALSE(s->keyInput(key('c').get(), 3, false)) << "the maximum length is reached";
    EXPECT_TRUE(s->keyInput(key(window::Event::kDelete).get(), 0, false));
    EXPECT_STREQ(s->getText().chars(), "a\xE9");
    s->setCaretPos(0);
    EXPECT_FALSE(s->keyInput(key(window::Event::kBackspace).get(), 0, false)) << "backspace at 0";
    s->setCaretPos(1);
    EXPECT_TRUE(s->keyInput(key(window::Event::kBackspace).get(), 0, false));
    EXPECT_STREQ(s->getText().chars(), "\xE9");
    EXPECT_EQ(s->getWidth(), 5);
    s->setOverwrite(true);
    EXPECT_FALSE(s->keyInput(key(window::Event::kLeft).get(), 0, false)) << "no caret moves in overwrite";
}

TEST(NewFontSpriteTest, TheCaretBlinksEveryTwentyStepsAndAnUnsetTextShowsTheName) {
    TestFont font;
    auto s = font.sprite("x");
    s->setEditable(true);
    s->update(20, nullptr, nullptr);
    EXPECT_TRUE(s->isCaretVisible());
    s->update(21, nullptr, nullptr);
    EXPECT_TRUE(s->isCaretVisible());
    s->update(40, nullptr, nullptr);
    EXPECT_FALSE(s->isCaretVisible());
    auto named = lang::make<NewFontSprite>();
    named->setFont(font.metrics.get());
    named->setName("Play");
    named->getBounds();
    EXPECT_STREQ(named->getText().chars(), "Play");
}

// --- NumberSprite ----------------------------------------------------------------------------------

Ref<NumberSprite> number(int value, int mode = 0) {
    auto n = lang::make<NumberSprite>();
    n->setImage(numberedSheet(15, 1, 10, 10).get());
    n->setMode(mode);
    n->setValue(value);
    return n;
}

std::vector<int> cells(const NumberSprite& n) {
    std::vector<int> out;
    for (const NumberSprite::Cell& c : n.layout())
        out.push_back(c.halfCells == 1 ? -100 - c.index : c.index);
    return out;
}

TEST(NumberSpriteTest, SeparatorsFollowTheLocale) {
    NumberSprite::setSeparators('.', ',');
    EXPECT_EQ(cells(*number(1234)), (std::vector<int>{9, 8, 7, -103, 6})) << "',' after the first digit";
    NumberSprite::setSeparators(',', ' ');
    EXPECT_EQ(cells(*number(1234)), (std::vector<int>{9, 8, 7, -100 - -1, 6})) << "a half-cell gap";
    EXPECT_EQ(cells(*number(150, NumberSprite::kModeMoney)), (std::vector<int>{5, 10, -103, 6, 2}));
    NumberSprite::setSeparators('.', '.');
    EXPECT_EQ(cells(*number(1234567)), (std::vector<int>{12, 11, 10, -104, 9, 8, 7, -104, 6}));
    NumberSprite::setSeparators('.', ',');
}

TEST(NumberSpriteTest, ModesSignsAndTheSmallestInt) {
    EXPECT_EQ(cells(*number(100, NumberSprite::kModeMoney)), (std::vector<int>{6, 2})) << "100 shows as 1";
    EXPECT_EQ(cells(*number(3725, NumberSprite::kModeTime)), (std::vector<int>{10, 5, 0, 7, 5, 0, 6}))
        << "1:02:05";
    EXPECT_EQ(cells(*number(7, NumberSprite::kModePlus)), (std::vector<int>{12, 2}));
    EXPECT_EQ(cells(*number(-7)), (std::vector<int>{12, 1}));
    auto smallest = number(INT_MIN);
    EXPECT_EQ(smallest->layout().front().index, 5 + 8) << "2147483648 ends in 8";
    EXPECT_EQ(smallest->layout().back().index, 1);
    auto digits = lang::make<NumberSprite>();
    digits->setImage(numberedSheet(10, 1, 10, 10).get());
    digits->setMode(NumberSprite::kModeDigitsOnly);
    digits->setMinDigits(3);
    digits->setValue(7);
    EXPECT_EQ(cells(*digits), (std::vector<int>{7, 0, 0}));
    EXPECT_EQ(digits->getCellWidth(), 10);
}

TEST(NumberSpriteTest, PaintsCellsLeftToRightFromItsAnchor) {
    auto n = number(12);
    n->setAlign(2);
    n->setLocation(30, 0);
    n->update(0, nullptr, nullptr);
    EXPECT_EQ(n->getBounds().x, 10);
    auto target = solidImage(40, 10, 0xFF000000);
    auto g = lang::adopt(target->getGraphics());
    n->paint(g.get());
    EXPECT_EQ(target->getPixels()[5 * 40 + 15], 0xFF000000u | 7) << "the '1' cell";
    EXPECT_EQ(target->getPixels()[5 * 40 + 25], 0xFF000000u | 8) << "the '2' cell";
    EXPECT_EQ(target->getPixels()[5 * 40 + 5], 0xFF000000u);
}

TEST(NumberSpriteTest, RollingReachesTheTargetExactlyAndStops) {
    for (int target : {1000, 1, -2500, 0}) {
        auto n = number(0);
        n->rollTo(target);
        int frames = 0, previousStep = 0;
        while (n->isRolling() && frames < 1000) {
            const int before = n->getValue();
            n->update(frames++, nullptr, nullptr);
            const int moved = n->getValue() - before;
            EXPECT_TRUE(target >= before ? moved >= 0 : moved <= 0) << "never overshoots";
            previousStep = moved;
        }
        (void)previousStep;
        EXPECT_EQ(n->getValue(), target);
        EXPECT_LT(frames, 60) << "counting accelerates";
    }
}

// --- TextSprite and RectSprite -----------------------------------------------------------------------

TEST(TextSpriteTest, RendersInsideItsPictureAboveTheBaseline) {
    auto t = lang::make<sprite::TextSprite>();
    t->setColors(0xFFFFFF, 0x000000);
    t->setLineSpacing(-8);
    t->setText("\xC9gyp\xC5\nQ\xC7j");
    ASSERT_NE(t->getImage(), nullptr);
    EXPECT_EQ(t->getImage()->getWidth(), t->getWidth());
    int inked = 0;
    const uint32_t* p = t->getImage()->getPixels();
    for (int i = 0; i < t->getWidth() * t->getHeight(); ++i)
        inked += (p[i] >> 24) != 0;
    EXPECT_GT(inked, 20);
    t->setLocation(10, 30);
    EXPECT_EQ(t->getBounds().y, 30 - t->getAscent());
    t->unloadImage();
    EXPECT_EQ(t->getImage(), nullptr);
    t->reloadImage();
    EXPECT_NE(t->getImage(), nullptr);
}

TEST(RectSpriteTest, DitherDrawsThroughTheTranslationAndClip) {
    auto r = lang::make<sprite::RectSprite>();
    r->init(nullptr, numbers({1, 1, 6, 6, static_cast<int>(0xFF00FF00u), 1, 1}).get());
    r->update(0, nullptr, nullptr);
    auto target = solidImage(10, 10, 0xFF000000);
    auto g = lang::adopt(target->getGraphics());
    g->translate(2, 1);
    g->clipRect(0, 0, 5, 4);
    r->paint(g.get());
    const uint32_t* p = target->getPixels();
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool inClip = x >= 2 && x < 7 && y >= 1 && y < 5;
            const bool inRect = x >= 3 && y >= 2;
            const bool on = inClip && inRect && ((x - 3 + y - 2) % 2 == 0);
            ASSERT_EQ(p[y * 10 + x], on ? 0xFF00FF00u : 0xFF000000u) << x << "," << y;
        }
    }
    r->setDithered(false);
    r->setColor(0x80FFFFFF);
    r->paint(g.get());
    EXPECT_NEAR(static_cast<int>(p[2 * 10 + 4] & 0xFF), 128, 2) << "plain fills blend by the alpha byte";
}

}  // namespace
