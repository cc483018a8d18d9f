// sprite::TextSprite: measuring and rendering platform-font text into the sprite's picture.
#include "sprite/TextSprite.h"

#include <algorithm>
#include <string>

namespace sprite {

LANG_DEFINE_CLASS_RECORD(TextSprite);

namespace {

constexpr int kPenStart = 2;

}  // namespace

TextSprite::TextSprite() {
    setFont(nullptr);
}

TextSprite::~TextSprite() = default;

void TextSprite::init(window::ImageArray* images, lang::IntArray* numbers) {
    (void)images;
    setLocation(numberAt(numbers, 0), numberAt(numbers, 1));
    setLineSpacing(numberAt(numbers, 2));
}

void TextSprite::setFont(window::Font* font) {
    font_ = font != nullptr ? lang::share(font) : lang::make<window::Font>(window::defaultFontFace(), 16);
    metrics_ = lang::make<window::FontMetrics>(font_.get());
    canRender_ = font_->isValid();
    measure();
}

void TextSprite::measure() {
    markDirty();
    int widest = 0, lines = 0;
    const std::string text(text_.view());
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        widest = std::max(widest, font_->stringWidth(text.c_str() + start, static_cast<int>(end - start)));
        ++lines;
        start = end + 1;
    }
    const int lineHeight = metrics_->getHeight();
    width_ = text.empty() ? 0 : widest + 2 * kPenStart;
    height_ = text.empty() ? 0 : lines * lineHeight + (lines - 1) * lineSpacing_ + (outlined_ ? 2 : 0);
    render();
    markDirty();
}

void TextSprite::setText(const char* text) {
    text_.assign(text != nullptr ? text : "");
    measure();
}

void TextSprite::setColors(uint32_t textRgb, uint32_t shadowRgb) {
    textColor_ = window::Color(static_cast<int32_t>(textRgb));
    shadowColor_ = window::Color(static_cast<int32_t>(shadowRgb));
    measure();
}

void TextSprite::setLineSpacing(int spacing) {
    lineSpacing_ = spacing;
    measure();
}

void TextSprite::setOutlined(bool on) {
    outlined_ = on;
    measure();
}

void TextSprite::setFillBackground(bool on) {
    fillBackground_ = on;
    markDirty();
}

void TextSprite::setEditable(bool on) {
    editable_ = on;
    markDirty();
}

void TextSprite::renderPass(uint32_t* pixels, int width, int height, uint32_t rgb, int dx, int dy) {
    const std::string text(text_.view());
    const int ascent = metrics_->getAscent();
    const int lineStep = metrics_->getHeight() + lineSpacing_;
    int penX = kPenStart, baseline = ascent;
    window::GlyphOutline glyph;
    for (char c : text) {
        if (c == '\n') {
            penX = kPenStart;
            baseline += lineStep;
            continue;
        }
        if (!font_->getGlyphOutline(c, glyph))
            continue;
        if (static_cast<unsigned char>(c) > ' ' && glyph.width > 0 && glyph.rows > 0) {
            const int left = std::max(0, penX + glyph.originX) + dx;
            const int top = baseline - glyph.originY + dy;
            for (int row = 0; row < glyph.rows; ++row) {
                const int y = top + row;
                // Accented capitals reach above the first line and descenders below the last: every
                // edge of the picture is a limit.
                if (y < 0 || y >= height)
                    continue;
                for (int col = 0; col < glyph.width; ++col) {
                    const int x = left + col;
                    if (x < 0 || x >= width)
                        continue;
                    const int v = glyph.at(col, row);
                    if (v == 0)
                        continue;
                    const uint32_t alpha = static_cast<uint32_t>(4 * v - 1);
                    uint32_t& pixel = pixels[static_cast<size_t>(y) * width + x];
                    if (alpha >= (pixel >> 24) || (pixel & 0xFFFFFFu) != rgb)
                        pixel = (std::max(alpha, pixel >> 24) << 24) | rgb;
                }
            }
        }
        penX += glyph.cellIncX;
    }
}

void TextSprite::render() {
    const int w = width_, h = height_;
    if (!canRender_ || w <= 0 || h <= 0) {
        image_.reset();
        return;
    }
    if (!image_ || image_->getWidth() != w || image_->getHeight() != h || !image_->isLoaded())
        image_ = lang::make<window::Image>(w, h, window::Image::kCleared);
    uint32_t* pixels = image_->getPixels();
    if (pixels == nullptr)
        return;
    const uint32_t clear = textColor_.value;
    std::fill(pixels, pixels + static_cast<size_t>(w) * h, clear);
    if (outlined_) {
        for (int o = 0; o < 4; ++o)
            renderPass(pixels, w, h, shadowColor_.value, (o & 1) * 2, (o >> 1) * 2);
        renderPass(pixels, w, h, textColor_.value, 1, 1);
    } else {
        renderPass(pixels, w, h, textColor_.value, 0, 0);
    }
    image_->setHasAlpha(true);
}

util::RectangleNM TextSprite::getBounds() {
    util::RectangleNM b(x_, y_ - getAscent(), width_, height_);
    if (clipRect_)
        b.intersect(*clipRect_);
    return b;
}

void TextSprite::paint(window::Graphics* g) {
    if (!shown_ || g == nullptr)
        return;
    const int top = y_ - getAscent();
    if (fillBackground_)
        g->fillRectColor(x_, top, width_, height_, shadowColor_.argb());
    if (image_)
        drawWithLevels(g, image_.get(), x_, top);
    if (editable_ && caretVisible_) {
        g->setColor(&textColor_);
        g->setFont(font_.get());
        g->drawString("|", x_ + width_ - 3, top);
    }
}

bool TextSprite::update(int frame, util::RectangleNM* out, util::Region* region) {
    if (editable_ && frame % 20 == 0) {
        caretVisible_ = !caretVisible_;
        markDirty();
    }
    return Sprite::update(frame, out, region);
}

void TextSprite::unloadImage() {
    image_.reset();
}

void TextSprite::reloadImage() {
    if (!image_)
        render();
}

Sprite* TextSprite::clone() {
    auto* copy = new TextSprite();
    copySpriteTo(*copy);
    copy->font_ = font_;
    copy->metrics_ = metrics_;
    copy->text_ = text_;
    copy->textColor_ = textColor_;
    copy->shadowColor_ = shadowColor_;
    copy->outlined_ = outlined_;
    copy->fillBackground_ = fillBackground_;
    copy->lineSpacing_ = lineSpacing_;
    copy->canRender_ = canRender_;
    copy->editable_ = editable_;
    copy->image_.reset();
    copy->render();
    return copy;
}

}  // namespace sprite
