// window::Font, FontMetrics and text drawing: face lookup, glyph outlines and anti-aliased text.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <utility>
#include <vector>

#include "window/FontMetrics.h"
#include "window/GraphicsI.h"

using namespace window;

TEST(Font, ArialResolvesToAMetricTwinAndUnknownNamesStillGetAFace) {
    auto arial = lang::make<Font>("Arial");
    ASSERT_TRUE(arial->isValid());
    EXPECT_EQ(arial->getFamily().view(), "Liberation Sans");
    EXPECT_EQ(arial->getPixelHeight(), 10);
    auto unknown = lang::make<Font>("No Such Face At All", 16);
    ASSERT_TRUE(unknown->isValid());
    EXPECT_GT(unknown->getHeight(), arial->getHeight());
    EXPECT_EQ(defaultFontFace().view(), "Arial");
    setDefaultFontFace(lang::String(""));
    EXPECT_EQ(defaultFontFace().view(), "Arial");
}

TEST(Font, TheDefaultFaceIsACopyThatLaterSettingsLeaveAlone) {
    // A caller keeps what it was given even when the settings replace the name right after.
    const lang::String& held = defaultFontFace();
    setDefaultFontFace(lang::String("Verdana"));
    EXPECT_EQ(held.view(), "Arial");
    EXPECT_EQ(defaultFontFace().view(), "Verdana");
    setDefaultFontFace(lang::String("Arial"));
}

TEST(Font, FontsOfOneNameAndSizeShareTheirRenderedGlyphs) {
    auto first = lang::make<Font>("Arial", 17);
    auto second = lang::make<Font>("Arial", 17);
    auto bigger = lang::make<Font>("Arial", 18);
    auto bold = lang::make<Font>("Arial", 17, true);
    const GlyphOutline* shared = first->glyph('g');
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(second->glyph('g'), shared);
    EXPECT_NE(bigger->glyph('g'), shared);
    EXPECT_NE(bold->glyph('g'), shared);
    EXPECT_EQ(second->getFamily().view(), first->getFamily().view());
    // The face lives as long as any font using it: the first font going does not take it away.
    const int rows = shared->rows;
    first.reset();
    ASSERT_EQ(second->glyph('g'), shared);
    EXPECT_EQ(shared->rows, rows);
    GlyphOutline copy;
    ASSERT_TRUE(second->getGlyphOutline('g', copy));
    EXPECT_EQ(copy.levels, shared->levels);
}

TEST(Font, MetricsAddUpAndFollowTheSize) {
    auto font = lang::make<Font>("Arial", 24);
    auto metrics = lang::make<FontMetrics>(font.get());
    EXPECT_GT(metrics->getAscent(), 15);
    EXPECT_GT(metrics->getDescent(), 2);
    EXPECT_EQ(metrics->getHeight(), metrics->getAscent() + metrics->getDescent());
    const int widthH = metrics->charWidth('H');
    const int widthI = metrics->charWidth('i');
    EXPECT_GT(widthH, widthI);
    EXPECT_EQ(metrics->stringWidth("HiH"), 2 * widthH + widthI);
    EXPECT_EQ(metrics->stringWidth(lang::String("")), 0);
    auto none = lang::make<FontMetrics>(nullptr);
    EXPECT_EQ(none->stringWidth("abc"), 0);
}

TEST(Font, GlyphOutlinesHave65LevelsAndCover1252Characters) {
    auto font = lang::make<Font>("Arial", 32);
    GlyphOutline o;
    ASSERT_TRUE(font->getGlyphOutline('O', o));
    EXPECT_GT(o.width, 10);
    EXPECT_EQ(o.pitch % 4, 0);
    EXPECT_GE(o.pitch, o.width);
    EXPECT_GT(o.originY, 15);
    EXPECT_GE(o.cellIncX, o.width);
    bool full = false, partial = false;
    for (int y = 0; y < o.rows; ++y) {
        for (int x = 0; x < o.width; ++x) {
            ASSERT_LE(o.at(x, y), 64);
            full = full || o.at(x, y) == 64;
            partial = partial || (o.at(x, y) > 0 && o.at(x, y) < 64);
        }
    }
    EXPECT_TRUE(full);
    EXPECT_TRUE(partial);
    // A space has no ink but advances; 0xE9 (e acute) and 0x80 (euro) are real glyphs.
    GlyphOutline space;
    font->getGlyphOutline(' ', space);
    EXPECT_EQ(space.width * space.rows, 0);
    EXPECT_GT(space.cellIncX, 0);
    GlyphOutline eAcute, euro, e;
    font->getGlyphOutline(static_cast<char>(0xE9), eAcute);
    font->getGlyphOutline(static_cast<char>(0x80), euro);
    font->getGlyphOutline('e', e);
    EXPECT_GT(eAcute.originY, e.originY);
    EXPECT_GT(euro.width, 5);
}

TEST(Font, DrawnTextIsAntiAliasedAndInsideItsMeasuredBox) {
    auto image = lang::make<Image>(200, 60);
    lang::Ref<Graphics> g = lang::adopt(image->getGraphics());
    g->fillRectColor(0, 0, 200, 60, 0xFF000000u);
    auto font = lang::make<Font>("Arial", 20);
    auto metrics = lang::make<FontMetrics>(font.get());
    g->setFont(font.get());
    g->setColor(0xFFFFFFu);
    const lang::String text("Hello, World");
    const int x = 10, y = 15;
    g->drawString(text, x, y);
    const int width = metrics->stringWidth(text);
    int inked = 0, grey = 0;
    for (int py = 0; py < 60; ++py) {
        for (int px = 0; px < 200; ++px) {
            const uint32_t p = image->getPixels()[py * 200 + px];
            if (p == 0xFF000000u)
                continue;
            ++inked;
            // Grey pixels only: the colour is white blended over black.
            ASSERT_EQ(p & 0xFFu, (p >> 8) & 0xFFu);
            if ((p & 0xFFu) != 0xFFu)
                ++grey;
            // Inside the box the metrics give, allowing one pixel of overhang at the sides.
            EXPECT_GE(px, x - 1);
            EXPECT_LT(px, x + width + 1);
            EXPECT_GE(py, y);
            EXPECT_LT(py, y + metrics->getHeight());
        }
    }
    EXPECT_GT(inked, 100);
    EXPECT_GT(grey, 20);
}

// The plain way to put text down: every glyph's levels composed into an image (the stronger cover wins
// where glyphs overlap) and the image blended; drawString must give the same pixels.
TEST(Font, DrawnTextMatchesGlyphsComposedOneByOne) {
    auto font = lang::make<Font>("Arial", 23);
    const lang::String text("AVAWfij \xE9\xC7/|_\x80");
    const uint32_t color = 0x30C0F0u;
    int pen = 0, minX = 1 << 20, minY = 1 << 20, maxX = -(1 << 20), maxY = -(1 << 20);
    std::vector<std::pair<GlyphOutline, std::pair<int, int>>> placed;
    for (int i = 0; i < text.length(); ++i) {
        GlyphOutline glyph;
        ASSERT_TRUE(font->getGlyphOutline(text.charAt(i), glyph));
        const int left = pen + glyph.originX, top = font->getAscent() - glyph.originY;
        pen += glyph.cellIncX;
        if (glyph.width == 0 || glyph.rows == 0)
            continue;
        minX = std::min(minX, left), minY = std::min(minY, top);
        maxX = std::max(maxX, left + glyph.width), maxY = std::max(maxY, top + glyph.rows);
        placed.push_back({glyph, {left, top}});
    }
    auto ink = lang::make<Image>(maxX - minX, maxY - minY, Image::kCleared);
    for (const auto& [glyph, at] : placed) {
        for (int y = 0; y < glyph.rows; ++y) {
            for (int x = 0; x < glyph.width; ++x) {
                if (glyph.at(x, y) == 0)
                    continue;
                uint32_t& p =
                    ink->getPixels()[(at.second - minY + y) * ink->getWidth() + at.first - minX + x];
                const uint32_t alpha = 4u * glyph.at(x, y) - 1;
                if (alpha > (p >> 24))
                    p = alpha << 24 | color;
            }
        }
    }
    ink->setHasAlpha(true);
    for (int mode : {Graphics::kNormalMode, Graphics::kAdditiveMode}) {
        auto expected = lang::make<Image>(220, 50);
        auto drawn = lang::make<Image>(220, 50);
        for (int i = 0; i < 220 * 50; ++i)
            expected->getPixels()[i] = drawn->getPixels()[i] = 0xFF402010u + static_cast<uint32_t>(i % 97);
        lang::Ref<Graphics> reference = lang::adopt(expected->getGraphics());
        reference->setDrawMode(mode);
        reference->drawImage(ink.get(), 9 + minX, 6 + minY);
        lang::Ref<Graphics> g = lang::adopt(drawn->getGraphics());
        g->setDrawMode(mode);
        g->setFont(font.get());
        g->setColor(color);
        g->drawString(text, 9, 6);
        for (int i = 0; i < 220 * 50; ++i)
            ASSERT_EQ(drawn->getPixels()[i], expected->getPixels()[i]) << "mode " << mode << " pixel " << i;
    }
}

TEST(Font, OneFontMeasuresAndRendersFromSeveralThreads) {
    auto font = lang::make<Font>("Arial", 14);
    const lang::String text("Quick brown fox \xE9\x80");
    const int expected = font->stringWidth(text);
    std::vector<std::thread> threads;
    std::vector<int> widths(4);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            auto image = lang::make<Image>(160, 24);
            lang::Ref<Graphics> g = lang::adopt(image->getGraphics());
            g->setFont(font.get());
            for (int round = 0; round < 20; ++round)
                g->drawString(text, 0, 0);
            widths[static_cast<size_t>(t)] = font->stringWidth(text);
        });
    }
    for (auto& thread : threads)
        thread.join();
    for (int width : widths)
        EXPECT_EQ(width, expected);
}
