// sprite::NewFontSprite: measuring, painting glyphs with colours and styles, the caret and editing.
#include "sprite/NewFontSprite.h"

#include <algorithm>

namespace sprite {

LANG_DEFINE_CLASS_RECORD(NewFontSprite);

namespace {

int clampLevel(int level) {
    return std::clamp(level, 0, 255);
}

uint32_t packLevels(int alpha, int red, int green, int blue) {
    return (static_cast<uint32_t>(clampLevel(alpha)) << 24) | (static_cast<uint32_t>(clampLevel(red)) << 16) |
           (static_cast<uint32_t>(clampLevel(green)) << 8) | static_cast<uint32_t>(clampLevel(blue));
}

int level(uint32_t packed, int shift) {
    return static_cast<int>((packed >> shift) & 0xFFu);
}

}  // namespace

NewFontSprite::NewFontSprite() = default;

NewFontSprite::~NewFontSprite() = default;

void NewFontSprite::init(window::ImageArray* images, lang::IntArray* numbers) {
    window::Image* picture = imageAt(images, 0);
    if (picture != nullptr)
        image_ = lang::share(picture);
    font_ = lang::share(imageAt(images, 1));
    setLocation(numberAt(numbers, 0), numberAt(numbers, 1));
    align_ = numberAt(numbers, 2);
    if (numberCount(numbers) > 3) {
        const auto packed = static_cast<uint32_t>(numberAt(numbers, 3));
        setColorTransform(level(packed, 24), level(packed, 16), level(packed, 8), level(packed, 0));
    }
    lineSpacing_ = numberAt(numbers, 4);
    maxLength_ = numberAt(numbers, 5);
    letterSpacing_ = numberAt(numbers, 6);
    measure();
}

GlyphTable NewFontSprite::tableFor(int index) {
    return GlyphTable(glyphTableFor(index));
}

window::Image* NewFontSprite::glyphTableFor(int index) {
    const int style = index >= 0 && index < static_cast<int>(charStyles_.size()) ? charStyles_[index] & 3 : 0;
    if (style > 0 && altTables_[style - 1] && altFonts_[style - 1])
        return altTables_[style - 1].get();
    return font_.get();
}

window::Image* NewFontSprite::glyphSourceFor(int index) {
    const int style = index >= 0 && index < static_cast<int>(charStyles_.size()) ? charStyles_[index] & 3 : 0;
    if (style > 0 && altTables_[style - 1] && altFonts_[style - 1])
        return altFonts_[style - 1].get();
    return image_.get();
}

int32_t NewFontSprite::levelsFor(int index) const {
    // Colour arrays shorter than the text leave the rest of it in the default colour.
    return index >= 0 && index < static_cast<int>(charColors_.size()) ? charColors_[index] : defaultColor_;
}

NewFontSprite::Metrics NewFontSprite::measureText(const std::string& text, size_t from, size_t to) {
    Metrics m;
    GlyphTable main(font_.get());
    if (!main.valid() || from >= to || to > text.size())
        return m;
    int width = 0;
    bool first = true;
    GlyphRecord last;
    bool haveLast = false;
    auto endLine = [&] {
        m.width = std::max(m.width, width);
        if (haveLast && last.advance < last.width + last.leftOffset)
            m.overhang = std::max(m.overhang, last.width - last.advance + last.leftOffset);
        m.lines += 1;
        width = 0;
        first = true;
        haveLast = false;
    };
    for (size_t i = from; i < to; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\n') {
            endLine();
            continue;
        }
        GlyphRecord r;
        if (!tableFor(static_cast<int>(i)).record(c, r))
            continue;
        if (first)
            width -= r.leftOffset;
        first = false;
        width += r.advance - letterSpacing_;
        last = r;
        haveLast = true;
    }
    endLine();
    const int lineHeight = main.lineHeight();
    m.height = m.lines * lineHeight + (m.lines - 1) * lineSpacing_;
    return m;
}

void NewFontSprite::measure() {
    if (cachedImage_) {
        width_ = cachedImage_->getWidth();
        height_ = cachedImage_->getHeight();
        return;
    }
    const std::string text(text_.view());
    const Metrics m = measureText(text, 0, text.size());
    width_ = m.width;
    height_ = m.height;
    overhang_ = m.overhang;
}

int NewFontSprite::lineWidth(int startIndex) {
    const std::string text(text_.view());
    if (startIndex < 0 || startIndex >= static_cast<int>(text.size()))
        return 0;
    size_t end = text.find('\n', static_cast<size_t>(startIndex));
    if (end == std::string::npos)
        end = text.size();
    return measureText(text, static_cast<size_t>(startIndex), end).width;
}

util::RectangleNM NewFontSprite::getBounds() {
    if (!textSet_ && getName().length() > 0) {
        // A text never set shows the sprite's name (definition scripts name labels by their text). The
        // loader names a sprite after its init, so an unnamed sprite waits for its name.
        textSet_ = true;
        text_ = getName();
        measure();
    }
    if (cachedImage_) {
        util::RectangleNM b(x_, y_, cachedImage_->getWidth(), cachedImage_->getHeight());
        if (clipRect_)
            b.intersect(*clipRect_);
        return b;
    }
    int w = width_ + 2;
    if (align_ == kAlignCentre && letterSpacing_ < 0)
        w += 2 * -letterSpacing_;
    int left = x_;
    if (align_ == kAlignCentre)
        left -= w / 2;
    else if (align_ == kAlignRight)
        left -= w;
    w += overhang_;
    if (editable_)
        w += caretWidth_;
    util::RectangleNM b(left, y_, w, height_);
    if (clipRect_)
        b.intersect(*clipRect_);
    return b;
}

int NewFontSprite::alignedX(int lineWidth) const {
    if (align_ == kAlignCentre)
        return x_ - lineWidth / 2;
    if (align_ == kAlignRight)
        return x_ - lineWidth;
    return x_;
}

void NewFontSprite::paint(window::Graphics* g) {
    if (!shown_ || g == nullptr)
        return;
    if (cachedImage_) {
        drawWithLevels(g, cachedImage_.get(), x_, y_);
        return;
    }
    GlyphTable main(font_.get());
    if (!main.valid() || text_.length() == 0 || !image_)
        return;
    const std::string text(text_.view());
    const int lineHeight = main.lineHeight();
    const window::FancyHelper* own = colorTransform_.get();
    auto lineStartX = [&](size_t start) {
        return alignedX(alignEachLine_ ? lineWidth(static_cast<int>(start)) : static_cast<int>(width_));
    };
    int penX = lineStartX(0), penY = y_;
    int caretX = penX, caretY = penY;
    bool first = true;
    for (size_t i = 0; i < text.size(); ++i) {
        if (static_cast<int>(i) == caretPos_) {
            caretX = penX;
            caretY = penY;
        }
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\n') {
            penY += lineHeight + lineSpacing_;
            penX = lineStartX(i + 1);
            first = true;
            continue;
        }
        GlyphRecord r;
        if (!tableFor(static_cast<int>(i)).record(c, r))
            continue;
        if (!first)
            penX += r.leftOffset;
        first = false;
        const auto levels = static_cast<uint32_t>(levelsFor(static_cast<int>(i)));
        auto scaled = [&](int shift, int spriteLevel) { return level(levels, shift) * spriteLevel / 128; };
        const int a = scaled(24, own ? own->alpha : 128), red = scaled(16, own ? own->red : 128),
                  green = scaled(8, own ? own->green : 128), blue = scaled(0, own ? own->blue : 128);
        if (c != ' ' && r.width > 0 && r.height > 0 && a > 0) {
            lang::Ref<window::Graphics> glyph = lang::adopt(g->create());
            glyph->clipRect(penX, penY, r.width, r.height);
            if (clipRect_)
                glyph->clipRect(clipRect_->x, clipRect_->y, clipRect_->width, clipRect_->height);
            if (window::FancyHelper* contextLevels = glyph->getFancyHelper())
                contextLevels->setLevels(a, red, green, blue);
            glyph->drawImage(glyphSourceFor(static_cast<int>(i)), penX - r.originX, penY - r.originY);
            glyph->dispose();
        }
        const int style = static_cast<int>(i) < static_cast<int>(charStyles_.size()) ? charStyles_[i] : 0;
        if ((style & 12) != 0 && a > 0) {
            const uint32_t line = (std::min(255, a * 2) << 24) | (std::min(255, red * 2) << 16) |
                                  (std::min(255, green * 2) << 8) | std::min(255, blue * 2);
            if (style & 4)
                g->fillRectColor(penX, penY + r.height - 2, r.advance, 1, line);
            if (style & 8)
                g->fillRectColor(penX, penY + r.height / 2, r.advance, 1, line);
        }
        penX += r.advance - r.leftOffset - letterSpacing_;
    }
    if (caretPos_ >= static_cast<int>(text.size())) {
        caretX = penX;
        caretY = penY;
    }
    if (!editable_ || !caretVisible_)
        return;
    GlyphRecord underscore;
    if (overwrite_ && main.record('_', underscore)) {
        lang::Ref<window::Graphics> glyph = lang::adopt(g->create());
        glyph->clipRect(caretX, caretY, underscore.width, underscore.height);
        glyph->drawImage(image_.get(), caretX - underscore.originX, caretY - underscore.originY);
        glyph->dispose();
    } else {
        g->fillRectColor(caretX, caretY, caretBarWidth_, lineHeight, caretColor_.argb());
    }
}

bool NewFontSprite::update(int frame, util::RectangleNM* out, util::Region* region) {
    if (editable_ && frame % kBlinkFrames == 0) {
        caretVisible_ = !caretVisible_;
        markDirty();
    }
    return AnimateSprite::update(frame, out, region);
}

void NewFontSprite::setColorTransform(int alpha, int red, int green, int blue) {
    AnimateSprite::setColorTransform(alpha, red, green, blue);
    colorLevels_ = static_cast<int32_t>(packLevels(alpha, red, green, blue));
}

void NewFontSprite::replaceText(const std::string& text, int caret) {
    markDirty();
    text_.assign(text.c_str());
    textSet_ = true;
    caretPos_ = std::clamp(caret, 0, text_.length());
    measure();
    markDirty();
}

void NewFontSprite::setText(const char* text) {
    const std::string value(text != nullptr ? text : "");
    replaceText(value, static_cast<int>(value.size()));
}

void NewFontSprite::setCaretPos(int pos) {
    markDirty();
    caretPos_ = std::clamp(pos, 0, text_.length());
    markDirty();
}

void NewFontSprite::setEditable(bool on) {
    markDirty();
    editable_ = on;
    GlyphRecord underscore;
    caretWidth_ = on ? std::max<int>(caretBarWidth_, GlyphTable(font_.get()).record('_', underscore)
                                                          ? underscore.width : 0)
                     : 0;
    markDirty();
}

void NewFontSprite::setOverwrite(bool on) {
    markDirty();
    overwrite_ = on;
    markDirty();
}

void NewFontSprite::setAlign(int align) {
    markDirty();
    align_ = align;
    markDirty();
}

void NewFontSprite::setLetterSpacing(int spacing) {
    markDirty();
    letterSpacing_ = spacing;
    measure();
    markDirty();
}

void NewFontSprite::setLineSpacing(int spacing) {
    markDirty();
    lineSpacing_ = spacing;
    measure();
    markDirty();
}

void NewFontSprite::setAlignEachLine(bool on) {
    markDirty();
    alignEachLine_ = on;
    markDirty();
}

void NewFontSprite::setFont(window::Image* metrics) {
    markDirty();
    font_ = lang::share(metrics);
    measure();
    markDirty();
}

void NewFontSprite::setAltFont(int n, window::Image* picture, window::Image* metrics) {
    if (n < 1 || n > 3)
        return;
    markDirty();
    altFonts_[n - 1] = lang::share(picture);
    altTables_[n - 1] = lang::share(metrics);
    measure();
    markDirty();
}

void NewFontSprite::setCharColors(std::vector<int32_t> colors) {
    charColors_ = std::move(colors);
    markDirty();
}

void NewFontSprite::setCharStyles(std::vector<int32_t> styles) {
    markDirty();
    charStyles_ = std::move(styles);
    measure();
    markDirty();
}

void NewFontSprite::setDefaultColor(int32_t packedLevels) {
    defaultColor_ = packedLevels;
    markDirty();
}

void NewFontSprite::setCachedImage(window::Image* picture) {
    markDirty();
    if (picture != nullptr) {
        if (!cachedImage_) {
            savedX_ = x_;
            savedY_ = y_;
        }
        cachedImage_ = lang::share(picture);
    } else if (cachedImage_) {
        cachedImage_.reset();
        if (savedX_ != -1 || savedY_ != -1)
            setLocationQuiet(savedX_, savedY_);
        savedX_ = savedY_ = -1;
    }
    measure();
    markDirty();
}

bool NewFontSprite::keyInput(window::Event* event, int maxLength, bool filter) {
    if (event == nullptr)
        return false;
    std::string text(text_.view());
    int caret = std::clamp<int>(caretPos_, 0, static_cast<int>(text.size()));
    const int key = event->key;
    switch (key) {
    case window::Event::kBackspace:
        if (caret == 0)
            return false;
        text.erase(static_cast<size_t>(caret - 1), 1);
        replaceText(text, caret - 1);
        return true;
    case window::Event::kLeft:
        if (overwrite_ || caret == 0)
            return false;
        setCaretPos(caret - 1);
        return true;
    case window::Event::kRight:
        if (overwrite_ || caret >= static_cast<int>(text.size()))
            return false;
        setCaretPos(caret + 1);
        return true;
    case window::Event::kDelete:
        if (caret >= static_cast<int>(text.size()))
            return false;
        text.erase(static_cast<size_t>(caret), 1);
        replaceText(text, caret);
        return true;
    default:
        break;
    }
    // Only character codes insert: function and arrow keys carry codes above 255 whose low byte is a
    // letter (F1 is 0x458, 'X').
    if (key < 32 || key > 255 || key == 127)
        return false;
    if (maxLength != 0 && static_cast<int>(text.size()) >= maxLength)
        return false;
    const char c = static_cast<char>(key);
    if (filter && !lang::isNameChar(c))
        return false;
    text.insert(static_cast<size_t>(caret), 1, c);
    replaceText(text, caret + 1);
    return true;
}

void NewFontSprite::truncateToWidth(int limit) {
    std::string text(text_.view());
    if (measureText(text, 0, text.size()).width <= limit)
        return;
    text.push_back(kEllipsis);
    // Letters go one at a time from before the ellipsis; when only the ellipsis is left, that is all
    // there is to cut, even if it does not fit.
    while (text.size() > 1 && measureText(text, 0, text.size()).width > limit)
        text.erase(text.size() - 2, 1);
    replaceText(text, static_cast<int>(text.size()));
}

void NewFontSprite::wrapToWidth(int limit) {
    std::string text(text_.view());
    size_t lineStart = 0;
    size_t lastBreak = std::string::npos;
    for (size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : '\n';
        if (c != ' ' && c != '\n')
            continue;
        if (lastBreak != std::string::npos && measureText(text, lineStart, i).width > limit) {
            text[lastBreak] = '\n';
            lineStart = lastBreak + 1;
        }
        if (c == '\n') {
            lineStart = i + 1;
            lastBreak = std::string::npos;
        } else {
            lastBreak = i;
        }
    }
    replaceText(text, caretPos_);
}

void NewFontSprite::unloadImage() {
    AnimateSprite::unloadImage();
    for (const lang::Ref<window::Image>& picture : altFonts_) {
        if (picture && picture->isLoaded() && canReloadImage(picture.get()))
            picture->unload();
    }
}

void NewFontSprite::reloadImage() {
    AnimateSprite::reloadImage();
    for (const lang::Ref<window::Image>& picture : altFonts_) {
        if (picture && !picture->isLoaded() && picture->getName().length() > 0)
            picture->reload();
    }
}

Sprite* NewFontSprite::clone() {
    auto* copy = new NewFontSprite();
    copySpriteTo(*copy);
    copyAnimationTo(*copy);
    copy->text_ = text_;
    copy->align_ = align_;
    copy->font_ = font_;
    copy->caretWidth_ = caretWidth_;
    copy->letterSpacing_ = letterSpacing_;
    copy->lineSpacing_ = lineSpacing_;
    copy->maxLength_ = maxLength_;
    copy->caretColor_ = caretColor_;
    copy->textSet_ = textSet_;
    copy->editable_ = editable_;
    copy->overwrite_ = overwrite_;
    copy->caretPos_ = caretPos_;
    copy->caretBarWidth_ = caretBarWidth_;
    copy->alignEachLine_ = alignEachLine_;
    for (int i = 0; i < 3; ++i) {
        copy->altFonts_[i] = altFonts_[i];
        copy->altTables_[i] = altTables_[i];
    }
    copy->charColors_ = charColors_;
    copy->charStyles_ = charStyles_;
    copy->defaultColor_ = defaultColor_;
    copy->colorLevels_ = colorLevels_;
    copy->cachedImage_ = cachedImage_;
    copy->savedX_ = savedX_;
    copy->savedY_ = savedY_;
    copy->measure();
    return copy;
}

}  // namespace sprite
