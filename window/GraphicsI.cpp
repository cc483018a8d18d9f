// window::GraphicsI: software drawing into an image: copies, blends, fills and lines within the clip.
#include "window/GraphicsI.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "window/Blender.h"

namespace window {

namespace {

int loadedWidth(Image* image) {
    return image != nullptr && image->getPixels() != nullptr ? image->getWidth() : 0;
}

int loadedHeight(Image* image) {
    return image != nullptr && image->getPixels() != nullptr ? image->getHeight() : 0;
}

// The part of a rectangle (x1, y1 inclusive, x2, y2 exclusive) inside a clip box; false when none.
bool cut(const util::Region::Box& box, int& x1, int& y1, int& x2, int& y2) {
    x1 = std::max(x1, box.x1);
    y1 = std::max(y1, box.y1);
    x2 = std::min(x2, box.x2);
    y2 = std::min(y2, box.y2);
    return x1 < x2 && y1 < y2;
}

}  // namespace

GraphicsI::GraphicsI(Image* image)
    : Graphics(loadedWidth(image), loadedHeight(image)), image_(lang::share(image)) {}

GraphicsI::~GraphicsI() = default;

uint32_t* GraphicsI::targetPixels() const {
    if (!image_)
        return nullptr;
    uint32_t* pixels = image_->getPixels();
    if (pixels == nullptr || image_->getWidth() != targetWidth() || image_->getHeight() != targetHeight()) {
        return nullptr;
    }
    return pixels;
}

Graphics* GraphicsI::create() {
    auto* context = new GraphicsI(image_.get());
    context->copyStateFrom(*this);
    return context;
}

void GraphicsI::dispose() {
    Graphics::dispose();
    image_.reset();
}

FancyHelper* GraphicsI::getFancyHelper() {
    if (!fancy_)
        fancy_ = lang::make<FancyHelper>();
    return fancy_.get();
}

void GraphicsI::drawImage(Image* image, int x, int y) {
    if (image == nullptr)
        return;
    const uint32_t* source = image->getPixels();
    if (source == nullptr)
        return;
    blit(image, source, x, y, image->getWidth(), image->getHeight());
}

void GraphicsI::blit(Image* image, const uint32_t* source, int x, int y, int width, int height) {
    uint32_t* target = targetPixels();
    if (target == nullptr)
        return;
    int tx, ty;
    getTranslation(&tx, &ty);
    const int64_t wideLeft = int64_t{x} + tx;
    const int64_t wideTop = int64_t{y} + ty;
    if (wideLeft >= targetWidth() || wideTop >= targetHeight() || wideLeft + width <= 0 ||
        wideTop + height <= 0) {
        return;
    }
    const int left = static_cast<int>(wideLeft);
    const int top = static_cast<int>(wideTop);
    const int stride = targetWidth();

    const bool neutral = !fancy_ || fancy_->unchanged();
    const bool additive = getDrawMode() == kAdditiveMode;
    const bool copy = !image->hasAlpha() && neutral && !additive;
    BlendLevels levels;
    if (fancy_)
        levels = Blender::clampLevels(fancy_->alpha, fancy_->red, fancy_->green, fancy_->blue);
    if (!copy && levels.alpha == 0)
        return;
    if (fancy_) {
        fancy_->sourcePixels = source;
        fancy_->sourceWidth = width;
        fancy_->sourceHeight = height;
        fancy_->sourceStride = width * 4;
    }

    for (const util::Region::Box& box : clipRegion().boxes()) {
        // Clip boxes lie inside the target, so clamping the far edges to them first keeps every sum
        // below in range whatever the coordinates.
        int x1 = left, y1 = top;
        int x2 = static_cast<int>(std::min<int64_t>(int64_t{left} + width, box.x2));
        int y2 = static_cast<int>(std::min<int64_t>(int64_t{top} + height, box.y2));
        if (!cut(box, x1, y1, x2, y2))
            continue;
        const int count = x2 - x1;
        if (copy && count == stride && width == stride) {
            // Whole rows of both pictures: one contiguous copy.
            std::memmove(target + static_cast<size_t>(y1) * stride,
                         source + static_cast<size_t>(y1 - top) * width,
                         static_cast<size_t>(count) * static_cast<size_t>(y2 - y1) * sizeof(uint32_t));
            continue;
        }
        for (int row = y1; row < y2; ++row) {
            const uint32_t* from = source + static_cast<size_t>(row - top) * width + (x1 - left);
            uint32_t* to = target + static_cast<size_t>(row) * stride + x1;
            if (copy) {
                // memmove: an image may be drawn onto itself.
                std::memmove(to, from, static_cast<size_t>(count) * sizeof(uint32_t));
            } else if (additive) {
                Blender::blendAdditive(to, from, count, levels);
            } else {
                Blender::blendNormal(to, from, count, levels);
            }
        }
    }
    if (fancy_) {
        fancy_->sourcePixels = nullptr;
        fancy_->sourceWidth = fancy_->sourceHeight = fancy_->sourceStride = 0;
    }
}

void GraphicsI::fillRectColor(int x, int y, int width, int height, uint32_t argb) {
    if (width <= 0 || height <= 0 || (argb >> 24) == 0)
        return;
    uint32_t* target = targetPixels();
    if (target == nullptr)
        return;
    int tx, ty;
    getTranslation(&tx, &ty);
    const int64_t wideLeft = int64_t{x} + tx;
    const int64_t wideTop = int64_t{y} + ty;
    if (wideLeft >= targetWidth() || wideTop >= targetHeight() || wideLeft + width <= 0 ||
        wideTop + height <= 0) {
        return;
    }
    const int left = static_cast<int>(wideLeft);
    const int top = static_cast<int>(wideTop);
    const int stride = targetWidth();
    for (const util::Region::Box& box : clipRegion().boxes()) {
        // 64-bit edges: a huge rectangle must not wrap around.
        const int64_t right = std::min<int64_t>(int64_t{left} + width, box.x2);
        const int64_t bottom = std::min<int64_t>(int64_t{top} + height, box.y2);
        const int x1 = std::max(left, box.x1);
        const int y1 = std::max(top, box.y1);
        if (x1 >= right || y1 >= bottom)
            continue;
        const int count = static_cast<int>(right - x1);
        if (count == stride && (argb >> 24) == 0xFFu) {
            // Whole rows: one run over contiguous memory.
            Blender::fill(target + static_cast<size_t>(y1) * stride, count * static_cast<int>(bottom - y1),
                          argb);
            continue;
        }
        for (int row = y1; row < bottom; ++row) {
            Blender::fillBlend(target + static_cast<size_t>(row) * stride + x1, count, argb);
        }
    }
}

void GraphicsI::drawLine(int x1, int y1, int x2, int y2) {
    const uint32_t argb = 0xFF000000u | getColor();
    if (y1 == y2) {
        if (x1 != x2)
            fillRectColor(std::min(x1, x2 + 1), y1, std::abs(x2 - x1), 1, argb);
        return;
    }
    if (x1 == x2) {
        fillRectColor(x1, std::min(y1, y2 + 1), 1, std::abs(y2 - y1), argb);
        return;
    }
    uint32_t* target = targetPixels();
    if (target == nullptr)
        return;
    int tx, ty;
    getTranslation(&tx, &ty);
    const util::Region& clip = clipRegion();
    const util::RectangleNM bounds = clip.getBounds();
    const bool single = clip.boxes().size() == 1;
    const int stride = targetWidth();
    // Bresenham; the end point itself is not drawn.
    const int dx = std::abs(x2 - x1);
    const int dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;
    int error = dx + dy;
    int x = x1, y = y1;
    while (x != x2 || y != y2) {
        const int px = x + tx, py = y + ty;
        if (bounds.contains(px, py) && (single || clip.contains(px, py))) {
            target[static_cast<size_t>(py) * stride + px] = argb;
        }
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

}  // namespace window
