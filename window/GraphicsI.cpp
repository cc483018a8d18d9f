// window::GraphicsI: software drawing into an image through the pixel path: copies, blends, fills, lines.
#include "window/GraphicsI.h"

#include <algorithm>
#include <cstdlib>

#include "window/Blender.h"
#include "window/PixelBuffer.h"

namespace window {

namespace {

int loadedWidth(Image* image) {
    return image != nullptr && image->getPixels() != nullptr ? image->getWidth() : 0;
}

int loadedHeight(Image* image) {
    return image != nullptr && image->getPixels() != nullptr ? image->getHeight() : 0;
}

}  // namespace

GraphicsI::GraphicsI(Image* image)
    : Graphics(loadedWidth(image), loadedHeight(image)), image_(lang::share(image)) {}

GraphicsI::~GraphicsI() = default;

PixelBuffer GraphicsI::targetBuffer() const {
    PixelBuffer buffer;
    if (!image_)
        return buffer;
    uint32_t* pixels = image_->getPixels();
    if (pixels == nullptr || image_->getWidth() != targetWidth() || image_->getHeight() != targetHeight()) {
        return buffer;
    }
    buffer.pixels = pixels;
    buffer.stride = targetWidth();
    buffer.width = targetWidth();
    buffer.height = targetHeight();
    return buffer;
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
    blit(source, image->getWidth(), image->getHeight(), image->hasAlpha(), x, y);
}

void GraphicsI::drawInk(const uint32_t* pixels, int width, int height, int x, int y) {
    blit(pixels, width, height, true, x, y);
}

void GraphicsI::blit(const uint32_t* source, int width, int height, bool hasAlpha, int x, int y) {
    const PixelBuffer target = targetBuffer();
    if (target.empty())
        return;
    int tx, ty;
    getTranslation(&tx, &ty);
    const bool neutral = !fancy_ || fancy_->unchanged();
    const bool additive = getDrawMode() == kAdditiveMode;
    PixelOp op = PixelOp::kBlendNormal;
    if (additive) {
        op = PixelOp::kBlendAdditive;
    } else if (!hasAlpha && neutral) {
        op = PixelOp::kCopy;
    }
    BlendLevels levels;
    if (fancy_)
        levels = Blender::clampLevels(fancy_->alpha, fancy_->red, fancy_->green, fancy_->blue);
    if (fancy_) {
        fancy_->sourcePixels = source;
        fancy_->sourceWidth = width;
        fancy_->sourceHeight = height;
        fancy_->sourceStride = width * 4;
    }
    target.drawPixels(clipRegion(), source, width, height, width, int64_t{x} + tx, int64_t{y} + ty, op,
                      levels);
    if (fancy_) {
        fancy_->sourcePixels = nullptr;
        fancy_->sourceWidth = fancy_->sourceHeight = fancy_->sourceStride = 0;
    }
}

void GraphicsI::fillRectColor(int x, int y, int width, int height, uint32_t argb) {
    int tx, ty;
    getTranslation(&tx, &ty);
    targetBuffer().fillRect(clipRegion(), int64_t{x} + tx, int64_t{y} + ty, width, height, argb);
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
    const PixelBuffer target = targetBuffer();
    if (target.empty())
        return;
    int tx, ty;
    getTranslation(&tx, &ty);
    const util::Region& clip = clipRegion();
    // Bresenham; the end point itself is not drawn.
    const int dx = std::abs(x2 - x1);
    const int dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;
    int error = dx + dy;
    int x = x1, y = y1;
    while (x != x2 || y != y2) {
        target.plot(clip, int64_t{x} + tx, int64_t{y} + ty, argb);
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
