// sprite::RectSprite: plain and checkerboard fills through the drawing context.
#include "sprite/RectSprite.h"

#include <algorithm>

#include "window/GraphicsI.h"

namespace sprite {

LANG_DEFINE_CLASS_RECORD(RectSprite);

RectSprite::~RectSprite() = default;

void RectSprite::init(window::ImageArray* images, lang::IntArray* numbers) {
    (void)images;
    setLocation(numberAt(numbers, 0), numberAt(numbers, 1));
    setSize(numberAt(numbers, 2), numberAt(numbers, 3));
    setColor(static_cast<uint32_t>(numberAt(numbers, 4)));
    setVisible(numberAt(numbers, 5) != 0);
    setDithered(numberAt(numbers, 6) != 0);
}

void RectSprite::setColor(uint32_t argb) {
    if (argb == color_)
        return;
    color_ = argb;
    markDirty();
}

void RectSprite::setDithered(bool on) {
    if (on == dithered_)
        return;
    dithered_ = on;
    markDirty();
}

void RectSprite::paint(window::Graphics* g) {
    if (!shown_ || g == nullptr)
        return;
    const util::RectangleNM b = getBounds();
    if (b.isEmpty())
        return;
    if (!dithered_) {
        g->fillRectColor(b.x, b.y, b.width, b.height, color_);
        return;
    }
    paintDithered(g);
}

void RectSprite::paintDithered(window::Graphics* g) {
    if ((color_ >> 24) == 0 || !g->instanceOf("GraphicsI"))
        return;
    window::Image* target = static_cast<window::GraphicsI*>(g)->getImage();
    uint32_t* pixels = target != nullptr ? target->getPixels() : nullptr;
    if (pixels == nullptr || target->getWidth() != g->targetWidth() || target->getHeight() != g->targetHeight())
        return;
    const util::RectangleNM b = getBounds();
    int tx, ty;
    g->getTranslation(&tx, &ty);
    // The rectangle in target pixels; 64-bit so that far-off sprites cannot wrap around.
    const int64_t left = int64_t{b.x} + tx, top = int64_t{b.y} + ty;
    const int64_t right = left + b.width, bottom = top + b.height;
    const int stride = g->targetWidth();
    for (const util::Region::Box& box : g->clipRegion().boxes()) {
        const int x1 = static_cast<int>(std::max<int64_t>(left, box.x1));
        const int y1 = static_cast<int>(std::max<int64_t>(top, box.y1));
        const int x2 = static_cast<int>(std::min<int64_t>(right, box.x2));
        const int y2 = static_cast<int>(std::min<int64_t>(bottom, box.y2));
        for (int row = y1; row < y2; ++row) {
            // Rows alternate their starting pixel, counted from the rectangle's own corner so that
            // any clip draws the same pattern.
            int col = x1 + static_cast<int>(((x1 - left) + (row - top)) & 1);
            uint32_t* line = pixels + static_cast<size_t>(row) * stride;
            for (; col < x2; col += 2)
                line[col] = color_;
        }
    }
}

Sprite* RectSprite::clone() {
    auto* copy = new RectSprite();
    copySpriteTo(*copy);
    copy->color_ = color_;
    copy->dithered_ = dithered_;
    return copy;
}

}  // namespace sprite
