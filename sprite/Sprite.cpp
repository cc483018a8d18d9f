// sprite::Sprite: bounds, dirty reporting, painting with levels, hit tests and image unloading.
#include "sprite/Sprite.h"

#include <filesystem>
#include <string>
#include <string_view>

#include "lang/ResourceFile.h"
#include "window/ImageArray.h"

namespace sprite {

LANG_DEFINE_CLASS_RECORD(Sprite);

Sprite::~Sprite() = default;

int Sprite::numberCount(const lang::IntArray* numbers) {
    return numbers != nullptr ? numbers->length() : 0;
}

int Sprite::numberAt(const lang::IntArray* numbers, int i) {
    return i >= 0 && i < numberCount(numbers) ? (*numbers)[i] : 0;
}

window::Image* Sprite::imageAt(window::ImageArray* images, int i) {
    if (images == nullptr || i < 0 || i >= images->length())
        return nullptr;
    // The loader's entries are objects; only real pictures count (tests and tools may plug in others).
    lang::Object* entry = static_cast<const lang::ObjectArray&>(*images)[i];
    if (entry == nullptr || !entry->instanceOf("Image"))
        return nullptr;
    return static_cast<window::Image*>(entry);
}

void Sprite::initImageAndPosition(window::ImageArray* images, lang::IntArray* numbers) {
    window::Image* first = imageAt(images, 0);
    window::Image* mask = imageAt(images, 1);
    if (first != nullptr && mask != nullptr) {
        // The picture is shared with the loader's table: the mask goes onto a copy of our own.
        lang::Ref<window::Image> masked = lang::adopt(first->copy());
        masked->applyMask(mask);
        setImage(masked.get());
    } else if (first != nullptr) {
        setImage(first);
    }
    setLocation(numberAt(numbers, 0), numberAt(numbers, 1));
}

void Sprite::init(window::ImageArray* images, lang::IntArray* numbers) {
    initImageAndPosition(images, numbers);
}

void Sprite::drawWithLevels(window::Graphics* g, window::Image* image, int x, int y) {
    window::FancyHelper* levels = colorTransform_.get();
    window::FancyHelper* contextLevels =
        levels != nullptr && !(levels->unchanged() && !levels->effectOn) ? g->getFancyHelper() : nullptr;
    if (contextLevels == nullptr) {
        g->drawImage(image, x, y);
        return;
    }
    contextLevels->copyLevels(*levels);
    g->drawImage(image, x, y);
    contextLevels->reset();
}

void Sprite::paint(window::Graphics* g) {
    if (!image_ || !shown_ || g == nullptr)
        return;
    if (!clipRect_ && !excludeRect_) {
        drawWithLevels(g, image_.get(), x_, y_);
        return;
    }
    lang::Ref<window::Graphics> clipped = lang::adopt(g->create());
    if (clipRect_)
        clipped->clipRect(clipRect_->x, clipRect_->y, clipRect_->width, clipRect_->height);
    if (excludeRect_)
        clipped->excludeRect(excludeRect_->x, excludeRect_->y, excludeRect_->width, excludeRect_->height);
    drawWithLevels(clipped.get(), image_.get(), x_, y_);
    clipped->dispose();
}

void Sprite::paintOutline(window::Graphics* g, const window::Color* color) {
    if (!shown_ || g == nullptr)
        return;
    util::RectangleNM b = getBounds();
    if (b.isEmpty())
        return;
    lang::Ref<window::Graphics> outline = lang::adopt(g->create());
    if (clipRect_)
        outline->clipRect(clipRect_->x, clipRect_->y, clipRect_->width, clipRect_->height);
    const uint32_t argb = color != nullptr ? color->argb() : 0xFF000000u;
    outline->fillRectColor(b.x, b.y, b.width, 1, argb);
    outline->fillRectColor(b.x, b.y + b.height - 1, b.width, 1, argb);
    outline->fillRectColor(b.x, b.y, 1, b.height, argb);
    outline->fillRectColor(b.x + b.width - 1, b.y, 1, b.height, argb);
    outline->dispose();
}

bool Sprite::update(int frame, util::RectangleNM* out, util::Region* region) {
    (void)frame;
    shown_ = visible_.load();
    if (!dirty_.load())
        return false;
    lang::Synchronized guard(&dirtyRect_, true);
    if (region != nullptr)
        region->add(dirtyRect_);
    if (out != nullptr && !dirtyRect_.isEmpty()) {
        if (out->isEmpty())
            out->setBounds(dirtyRect_);
        else
            out->add(dirtyRect_);
    }
    dirtyRect_.setBounds(0, 0, 0, 0);
    dirty_ = false;
    return true;
}

void Sprite::setLocation(int x, int y) {
    x = clampCoordinate(x);
    y = clampCoordinate(y);
    if (x == x_ && y == y_)
        return;
    markDirty();
    x_ = x;
    y_ = y;
    markDirty();
}

void Sprite::setLocationQuiet(int x, int y) {
    x_ = clampCoordinate(x);
    y_ = clampCoordinate(y);
}

void Sprite::moveBy(int dx, int dy) {
    if (dx == 0 && dy == 0)
        return;
    markDirty();
    x_ = clampCoordinate(static_cast<long long>(x_) + dx);
    y_ = clampCoordinate(static_cast<long long>(y_) + dy);
    markDirty();
}

void Sprite::setVisible(bool visible) {
    if (visible == visible_)
        return;
    markDirty();
    visible_ = visible;
    markDirty();
}

bool Sprite::containsPoint(int px, int py) {
    // The current bounds, not those of the last paint: a sprite moved quietly, or never painted yet,
    // is hit where it is.
    return getBounds().contains(px, py);
}

util::RectangleNM Sprite::getBounds() {
    const int w = width_, h = height_;
    if (w == -1 || h == -1)
        return util::RectangleNM(x_, y_, 0, 0);
    util::RectangleNM b(x_, y_, w, h);
    if (clipRect_)
        b.intersect(*clipRect_);
    return b;
}

void Sprite::setUserValue(int value) {
    markDirty();
    userValue_ = value;
    markDirty();
}

void Sprite::copySpriteTo(Sprite& other) {
    other.setName(getName());
    other.shown_ = shown_.load();
    other.visible_ = visible_.load();
    other.width_ = width_.load();
    other.height_ = height_.load();
    other.image_ = image_;
    other.x_ = x_.load();
    other.y_ = y_.load();
    other.userValue_ = userValue_;
    if (clipRect_)
        other.clipRect_ = lang::make<util::RectangleNM>(*clipRect_);
    if (excludeRect_)
        other.excludeRect_ = lang::make<util::RectangleNM>(*excludeRect_);
    if (colorTransform_) {
        other.colorTransform_ = lang::make<window::FancyHelper>();
        other.colorTransform_->copyLevels(*colorTransform_);
    }
}

Sprite* Sprite::clone() {
    auto* copy = new Sprite();
    copySpriteTo(*copy);
    return copy;
}

void Sprite::setClipRect(const util::RectangleNM* rect) {
    markDirty();
    clipRect_ = rect != nullptr ? lang::make<util::RectangleNM>(*rect) : nullptr;
    markDirty();
}

util::RectangleNM* Sprite::getClipRect() {
    return clipRect_ ? new util::RectangleNM(*clipRect_) : nullptr;
}

void Sprite::setExcludeRect(const util::RectangleNM* rect) {
    excludeRect_ = rect != nullptr ? lang::make<util::RectangleNM>(*rect) : nullptr;
}

void Sprite::setImage(window::Image* image) {
    markDirty();
    lang::Ref<window::Image> keep = lang::share(image);
    width_ = image != nullptr ? image->getWidth() : 0;
    height_ = image != nullptr ? image->getHeight() : 0;
    image_ = std::move(keep);
    markDirty();
}

void Sprite::setSize(int width, int height) {
    width = clampCoordinate(width);
    height = clampCoordinate(height);
    if (width == width_ && height == height_)
        return;
    markDirty();
    width_ = width;
    height_ = height;
    markDirty();
}

bool Sprite::findOpaqueEdge(int* px, int* py, char side, int threshold) {
    if (!image_ || px == nullptr || py == nullptr)
        return false;
    const uint32_t* pixels = image_->getPixels();
    if (pixels == nullptr)
        return false;
    const int w = image_->getWidth(), h = image_->getHeight();
    const int column = *px - x_, row = *py - y_;
    auto reaches = [&](int cx, int cy) {
        return static_cast<int>(pixels[static_cast<size_t>(cy) * w + cx] >> 24) >= threshold;
    };
    switch (side) {
    case 'T':
    case 'B':
        if (column < 0 || column >= w)
            return false;
        for (int i = 0; i < h; ++i) {
            const int cy = side == 'T' ? i : h - 1 - i;
            if (reaches(column, cy)) {
                *py = y_ + cy;
                return true;
            }
        }
        return false;
    case 'L':
    case 'R':
        if (row < 0 || row >= h)
            return false;
        for (int i = 0; i < w; ++i) {
            const int cx = side == 'L' ? i : w - 1 - i;
            if (reaches(cx, row)) {
                *px = x_ + cx;
                return true;
            }
        }
        return false;
    default:
        return false;
    }
}

bool Sprite::hitTest(int px, int py) {
    if (!image_)
        return containsPoint(px, py);
    const uint32_t* pixels = image_->getPixels();
    if (pixels == nullptr)
        return false;
    const int lx = px - x_, ly = py - y_;
    const int w = image_->getWidth(), h = image_->getHeight();
    if (lx < 0 || ly < 0 || lx >= w || ly >= h)
        return false;
    return (pixels[static_cast<size_t>(ly) * w + lx] >> 24) != 0;
}

window::FancyHelper* Sprite::colorTransform() {
    if (!colorTransform_)
        colorTransform_ = lang::make<window::FancyHelper>();
    return colorTransform_.get();
}

void Sprite::setColorTransform(int alpha, int red, int green, int blue) {
    window::FancyHelper* levels = colorTransform();
    if (levels->alpha == alpha && levels->red == red && levels->green == green && levels->blue == blue)
        return;
    levels->setLevels(alpha, red, green, blue);
    markDirty();
}

bool Sprite::setColorEffect(int a, int b, bool on) {
    window::FancyHelper* levels = colorTransform();
    levels->effectOn = on;
    levels->effectA = a;
    levels->effectB = b;
    return true;
}

int Sprite::getAlpha() {
    return colorTransform()->alpha;
}

void Sprite::unloadImage() {
    if (image_ && image_->isLoaded() && canReloadImage(image_.get()))
        image_->unload();
}

void Sprite::reloadImage() {
    if (image_ && !image_->isLoaded() && image_->getName().length() > 0)
        image_->reload();
}

void Sprite::addDirtyRect(const util::RectangleNM& rect) {
    lang::Synchronized guard(&dirtyRect_, true);
    if (dirtyRect_.width == 0)
        dirtyRect_.setBounds(rect);
    else
        dirtyRect_.add(rect);
    dirty_ = true;
}

void Sprite::markDirty() {
    if (!visible_)
        return;
    util::RectangleNM b = getBounds();
    if (b.width > 0 && b.height > 0 && b.x + b.width >= 0 && b.y + b.height >= 0)
        addDirtyRect(b);
}

util::RectangleNM Sprite::pendingDirtyRect() {
    lang::Synchronized guard(&dirtyRect_, true);
    return dirtyRect_;
}

namespace {

bool sourceExists(std::string_view part) {
    if (part.empty())
        return false;
    if (part[0] == '+') {
        lang::String entry(std::string(part.substr(1)).c_str());
        lang::Ref<lang::ResourceItem> item = lang::adopt(lang::getResource(entry, false));
        return static_cast<bool>(item);
    }
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::path(std::string(part)), error);
}

}  // namespace

bool canReloadImage(window::Image* image) {
    if (image == nullptr)
        return false;
    const std::string_view name = image->getName().view();
    // "picture|mask" reloads both parts; each must still be there.
    const size_t bar = name.find('|');
    if (!sourceExists(name.substr(0, bar)))
        return false;
    return bar == std::string_view::npos || sourceExists(name.substr(bar + 1));
}

}  // namespace sprite
