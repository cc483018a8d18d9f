// The one pixel path: the same drawing through an image context and through the window's context gives
// the same pixels, and the window shows exactly what was drawn.
#include <functional>
#include <random>
#include <string>

#include "SdlTestSupport.h"
#include "util/Region.h"
#include "window/Font.h"
#include "window/GraphicsI.h"
#include "window/Image.h"

namespace window::testing {
namespace {

using PixelPathTest = SdlWindowTest;

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// A picture of random colours; with `alpha`, random alpha too, a third of it transparent or opaque.
lang::Ref<Image> randomImage(std::mt19937& rng, int width, int height, bool alpha) {
    lang::Ref<Image> image = lang::make<Image>(width, height, Image::kCleared);
    uint32_t* pixels = image->getPixels();
    for (int i = 0; i < width * height; ++i) {
        uint32_t value = static_cast<uint32_t>(rng());
        if (!alpha) {
            value |= 0xFF000000u;
        } else if (i % 3 == 0) {
            value = (rng() & 1) != 0 ? value | 0xFF000000u : value & 0xFFFFFFu;
        }
        pixels[i] = value;
    }
    image->setHasAlpha(alpha);
    return image;
}

// One drawing step, run on both contexts.
struct Step {
    std::string name;
    std::function<void(Graphics&)> draw;
};

std::vector<Step> steps(std::mt19937& rng) {
    lang::Ref<Image> opaque = randomImage(rng, 90, 70, false);
    lang::Ref<Image> blended = randomImage(rng, 61, 45, true);
    lang::Ref<Image> added = randomImage(rng, 33, 120, true);
    lang::Ref<Font> font = lang::make<Font>("Arial", 18);
    std::vector<Step> list;
    list.push_back({"background", [](Graphics& g) { g.fillRectColor(0, 0, kWidth, kHeight, 0xFF203040u); }});
    // Every edge and every corner of the target, and pictures lying wholly outside it.
    const int xs[] = {-200, -40, 300, kWidth - 30, kWidth + 5};
    const int ys[] = {-150, -25, 250, kHeight - 20, kHeight + 5};
    for (int x : xs) {
        for (int y : ys) {
            const std::string at = " at " + std::to_string(x) + "," + std::to_string(y);
            list.push_back({"copy" + at, [opaque, x, y](Graphics& g) { g.drawImage(opaque.get(), x, y); }});
            list.push_back(
                {"blend" + at, [blended, x, y](Graphics& g) { g.drawImage(blended.get(), x + 7, y + 3); }});
            list.push_back({"additive" + at, [added, x, y](Graphics& g) {
                                const int previous = g.setDrawMode(Graphics::kAdditiveMode);
                                g.drawImage(added.get(), x - 5, y + 9);
                                g.setDrawMode(previous);
                            }});
            list.push_back(
                {"fill" + at, [x, y](Graphics& g) { g.fillRectColor(x, y, 45, 35, 0x80E0A010u); }});
        }
    }
    list.push_back(
        {"part of an image", [blended](Graphics& g) { g.drawImage(blended.get(), 400, 300, 5, 6, 30, 20); }});
    list.push_back({"text", [font](Graphics& g) {
                        g.setFont(font.get());
                        g.setColor(0xFFEE88u);
                        g.drawString("Quick brown fox \xE9\x80", 120, 80);
                        g.drawString("off the edge", -30, kHeight - 10);
                    }});
    list.push_back({"additive text", [font](Graphics& g) {
                        g.setFont(font.get());
                        g.setColor(0x3060FFu);
                        const int previous = g.setDrawMode(Graphics::kAdditiveMode);
                        g.drawString("Glow", 500, 200);
                        g.setDrawMode(previous);
                    }});
    list.push_back({"lines", [](Graphics& g) {
                        g.setColor(0x00FF00u);
                        g.drawLine(-10, -10, 900, 700);
                        g.drawLine(10, 590, 790, 15);
                        g.drawLine(5, 300, 795, 300);
                    }});
    return list;
}

// The drawing state both contexts share once the steps have set it up: a translation and a clip of
// several rectangles, with a hole, that cuts through pictures.
void clipAndTranslate(Graphics& g) {
    g.translate(13, -7);
    util::Region clip;
    clip.add(-13, 7, 500, 400);
    clip.add(450, 350, 400, 300);
    g.setClip(&clip);
    g.excludeRect(100, 100, 60, 200);
}

TEST_F(PixelPathTest, ImageAndWindowContextsDrawTheSamePixelsAndTheWindowShowsThem) {
    std::mt19937 rng(20240611);
    lang::Ref<Image> image = lang::make<Image>(kWidth, kHeight, Image::kCleared);
    lang::Ref<Graphics> onImage = lang::adopt(image->getGraphics());
    lang::Ref<Graphics> onScreen = lang::adopt(canvas->getGraphics());
    ASSERT_TRUE(onScreen);
    const std::vector<Step> list = steps(rng);
    for (int pass = 0; pass < 2; ++pass) {
        // The first pass draws with the contexts as made, the second translated and clipped.
        if (pass == 1) {
            clipAndTranslate(*onImage);
            clipAndTranslate(*onScreen);
        }
        for (const Step& step : list) {
            step.draw(*onImage);
            step.draw(*onScreen);
            processPendingEvents();
            const std::vector<uint32_t> shown = readScreen();
            const uint32_t* drawn = image->getPixels();
            int differences = 0;
            int firstX = -1, firstY = -1;
            for (int i = 0; i < kWidth * kHeight; ++i) {
                if (shown[static_cast<size_t>(i)] != drawn[i]) {
                    if (differences++ == 0)
                        firstX = i % kWidth, firstY = i / kWidth;
                }
            }
            ASSERT_EQ(differences, 0)
                << "pass " << pass << ", step " << step.name << ": first at " << firstX << "," << firstY;
        }
    }
}

}  // namespace
}  // namespace window::testing
