// window::Graphics: clip, translation, colour and font state, and lines and text built on fills and blits.
#include "window/Graphics.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "window/FontMetrics.h"

namespace window {

Graphics::Graphics(int targetWidth, int targetHeight)
    : targetWidth_(std::max(0, targetWidth)), targetHeight_(std::max(0, targetHeight)) {
    clip_.add(0, 0, targetWidth_, targetHeight_);
}

void Graphics::copyStateFrom(const Graphics& other) {
    clip_ = other.clip_;
    translateX_ = other.translateX_;
    translateY_ = other.translateY_;
    color_ = other.color_;
    drawMode_ = other.drawMode_;
    font_ = other.font_;
}

void Graphics::dropTarget() {
    targetWidth_ = 0;
    targetHeight_ = 0;
    clip_.clear();
}

void Graphics::drawImage(Image* image, int x, int y, int sx, int sy, int width, int height) {
    if (image == nullptr || width <= 0 || height <= 0)
        return;
    lang::Ref<Graphics> part = lang::adopt(create());
    part->clipRect(x, y, width, height);
    part->drawImage(image, x - sx, y - sy);
    part->dispose();
}

int Graphics::setDrawMode(int mode) {
    const int previous = drawMode_;
    drawMode_ = mode;
    return previous;
}

void Graphics::clipRect(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) {
        clip_.clear();
        return;
    }
    clip_.intersect(x + translateX_, y + translateY_, width, height);
}

void Graphics::excludeRect(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0)
        return;
    clip_.subtract(x + translateX_, y + translateY_, width, height);
}

void Graphics::setClip(const util::Region* region) {
    clip_.clear();
    if (region == nullptr) {
        clip_.add(0, 0, targetWidth_, targetHeight_);
        return;
    }
    clip_ = *region;
    clip_.translate(translateX_, translateY_);
    clip_.intersect(0, 0, targetWidth_, targetHeight_);
}

util::Region* Graphics::getClip() const {
    auto* region = new util::Region(clip_);
    region->translate(-translateX_, -translateY_);
    return region;
}

util::RectangleNM Graphics::getClipBounds() const {
    util::RectangleNM bounds = clip_.getBounds();
    if (bounds.width > 0 && bounds.height > 0) {
        bounds.x -= translateX_;
        bounds.y -= translateY_;
    }
    return bounds;
}

void Graphics::dispose() {
    dropTarget();
}

void Graphics::fillRect(int x, int y, int width, int height) {
    fillRectColor(x, y, width, height, 0xFF000000u | color_);
}

void Graphics::setColor(const Color* color) {
    color_ = color != nullptr ? color->value : 0;
}

void Graphics::drawString(const char* text, int x, int y) {
    drawString(lang::String(text, true), x, y);
}

void Graphics::drawString(const lang::String& text, int x, int y) {
    if (text.length() == 0)
        return;
    Font* font = getFont();
    if (!font->isValid())
        return;
    // The text is composed once into a picture of its ink, coloured and with the glyphs' coverage as
    // alpha, and that picture is blended like any image with alpha. The outlines come from the font's
    // cache and the picture is a buffer kept per thread, so a string costs no allocation once warm.
    struct Placed {
        const GlyphOutline* glyph;
        int left;
        int top;
    };
    thread_local std::vector<Placed> glyphs;
    thread_local std::vector<uint8_t> cover;
    thread_local std::vector<uint32_t> ink;
    glyphs.clear();
    const int ascent = font->getAscent();
    int pen = 0;
    int minX = 0, minY = 0, maxX = 0, maxY = 0;
    for (int i = 0; i < text.length(); ++i) {
        const GlyphOutline* glyph = font->glyph(text.charAt(i));
        if (glyph == nullptr)
            return;
        const Placed placed{glyph, pen + glyph->originX, ascent - glyph->originY};
        pen += glyph->cellIncX;
        if (glyph->width <= 0 || glyph->rows <= 0)
            continue;
        const int right = placed.left + glyph->width;
        const int bottom = placed.top + glyph->rows;
        if (glyphs.empty()) {
            minX = placed.left, minY = placed.top, maxX = right, maxY = bottom;
        } else {
            minX = std::min(minX, placed.left), minY = std::min(minY, placed.top);
            maxX = std::max(maxX, right), maxY = std::max(maxY, bottom);
        }
        glyphs.push_back(placed);
    }
    if (glyphs.empty())
        return;
    const int width = maxX - minX;
    const int height = maxY - minY;
    const size_t area = static_cast<size_t>(width) * static_cast<size_t>(height);
    // Overlapping glyphs keep the stronger cover: the levels are merged by maximum first, then turned
    // into ink, levels 1 to 64 becoming alpha 3 to 255 in the current colour.
    cover.assign(area, 0);
    for (const Placed& placed : glyphs) {
        // Locals: the byte stores below could alias the glyph's fields, which would be read again for
        // every pixel.
        const int glyphWidth = placed.glyph->width;
        const int glyphRows = placed.glyph->rows;
        const size_t pitch = static_cast<size_t>(placed.glyph->pitch);
        const uint8_t* levels = placed.glyph->levels.data();
        uint8_t* target =
            cover.data() + static_cast<size_t>(placed.top - minY) * width + (placed.left - minX);
        for (int row = 0; row < glyphRows; ++row, levels += pitch, target += width) {
            for (int col = 0; col < glyphWidth; ++col)
                target[col] = std::max(target[col], levels[col]);
        }
    }
    ink.resize(area);
    for (size_t i = 0; i < area; ++i) {
        const uint32_t level = cover[i];
        ink[i] = (4 * level - (level != 0 ? 1 : 0)) << 24 | color_;
    }
    drawInk(ink.data(), width, height, x + minX, y + minY);
}

void Graphics::drawInk(const uint32_t* pixels, int width, int height, int x, int y) {
    lang::Ref<Image> image = lang::make<Image>(width, height, Image::kCleared);
    uint32_t* target = image->getPixels();
    if (target == nullptr)
        return;
    std::copy_n(pixels, static_cast<size_t>(width) * static_cast<size_t>(height), target);
    image->setHasAlpha(true);
    drawImage(image.get(), x, y);
}

void Graphics::drawLine(int x1, int y1, int x2, int y2) {
    // Bresenham; the end point itself is not drawn.
    const int dx = std::abs(x2 - x1);
    const int dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;
    int error = dx + dy;
    int x = x1, y = y1;
    const uint32_t argb = 0xFF000000u | color_;
    while (x != x2 || y != y2) {
        fillRectColor(x, y, 1, 1, argb);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += sx;
        }
        if (twice <= dx) {
            error += dx;
            y += sy;
        }
    }
}

void Graphics::setFont(Font* font) {
    font_ = lang::share(font);
}

Font* Graphics::getFont() {
    if (!font_)
        font_ = lang::make<Font>(defaultFontFace());
    return font_.get();
}

void Graphics::getTranslation(int* dx, int* dy) const {
    if (dx != nullptr)
        *dx = translateX_;
    if (dy != nullptr)
        *dy = translateY_;
}

void Graphics::translate(int dx, int dy) {
    translateX_ += dx;
    translateY_ += dy;
}

}  // namespace window
