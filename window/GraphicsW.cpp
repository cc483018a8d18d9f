// window::GraphicsW: the pixel path on the window's picture, under the screen lock, marking what changed.
#include "window/GraphicsW.h"

#include <algorithm>
#include <mutex>

#include "window/PixelBuffer.h"
#include "window/SdlVideo.h"

namespace window {

namespace {

// Marks what a draw wrote as changed on the screen (called with the screen lock held): the rectangle
// [left, left + width) x [top, top + height) within the clip and the screen, which is exactly what the
// pixel path writes. One region operation for the whole draw: a dirty area of hundreds of boxes marked
// box by box would cost a region union per box.
void markDrawn(sdl::Screen& screen, const util::Region& clip, int64_t left, int64_t top, int64_t width,
               int64_t height) {
    const int64_t x1 = std::max<int64_t>(left, 0);
    const int64_t y1 = std::max<int64_t>(top, 0);
    const int64_t x2 = std::min<int64_t>(left + width, screen.width());
    const int64_t y2 = std::min<int64_t>(top + height, screen.height());
    if (x1 >= x2 || y1 >= y2 || clip.isEmpty())
        return;
    util::Region area(clip);
    area.intersect(static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2 - x1),
                   static_cast<int>(y2 - y1));
    screen.markChanged(area);
}

PixelBuffer screenBuffer(sdl::Screen& screen) {
    PixelBuffer buffer;
    buffer.pixels = screen.pixels();
    buffer.stride = screen.stride();
    buffer.width = screen.width();
    buffer.height = screen.height();
    return buffer;
}

// The screen's size, read under its lock since the window thread may change it.
int screenWidth(sdl::Screen* screen) {
    if (screen == nullptr)
        return 0;
    std::lock_guard<std::mutex> guard(screen->mutex());
    return screen->width();
}

int screenHeight(sdl::Screen* screen) {
    if (screen == nullptr)
        return 0;
    std::lock_guard<std::mutex> guard(screen->mutex());
    return screen->height();
}

}  // namespace

GraphicsW::GraphicsW(sdl::Screen* screen, int originX, int originY, const util::Region& clip)
    : GraphicsW(screen) {
    setClip(&clip);
    translate(originX, originY);
}

GraphicsW::GraphicsW(sdl::Screen* screen)
    : Graphics(screenWidth(screen), screenHeight(screen)), screen_(lang::share(screen)) {}

GraphicsW::~GraphicsW() = default;

Graphics* GraphicsW::create() {
    auto* copy = new GraphicsW(screen_.get());
    if (screen_)
        copy->copyStateFrom(*this);
    return copy;
}

void GraphicsW::dispose() {
    screen_.reset();
    Graphics::dispose();
}

void GraphicsW::drawImage(Image* image, int x, int y) {
    if (!screen_ || image == nullptr)
        return;
    const uint32_t* source = image->getPixels();
    if (source == nullptr)
        return;
    drawPixels(source, image->getWidth(), image->getHeight(), image->hasAlpha(), x, y);
}

void GraphicsW::drawInk(const uint32_t* pixels, int width, int height, int x, int y) {
    drawPixels(pixels, width, height, true, x, y);
}

void GraphicsW::drawPixels(const uint32_t* source, int width, int height, bool hasAlpha, int x, int y) {
    if (!screen_)
        return;
    PixelOp op = PixelOp::kCopy;
    if (getDrawMode() == kAdditiveMode) {
        op = PixelOp::kBlendAdditive;
    } else if (hasAlpha) {
        op = PixelOp::kBlendNormal;
    }
    int dx = 0;
    int dy = 0;
    getTranslation(&dx, &dy);
    sdl::Screen& screen = *screen_;
    std::lock_guard<std::mutex> guard(screen.mutex());
    if (!screen.alive())
        return;
    screenBuffer(screen).drawPixels(clipRegion(), source, width, height, width, int64_t{x} + dx,
                                    int64_t{y} + dy, op, BlendLevels());
    markDrawn(screen, clipRegion(), int64_t{x} + dx, int64_t{y} + dy, width, height);
}

void GraphicsW::fillRectColor(int x, int y, int width, int height, uint32_t argb) {
    if (!screen_ || width <= 0 || height <= 0 || (argb >> 24) == 0)
        return;
    int dx = 0;
    int dy = 0;
    getTranslation(&dx, &dy);
    sdl::Screen& screen = *screen_;
    std::lock_guard<std::mutex> guard(screen.mutex());
    if (!screen.alive())
        return;
    screenBuffer(screen).fillRect(clipRegion(), int64_t{x} + dx, int64_t{y} + dy, width, height, argb);
    markDrawn(screen, clipRegion(), int64_t{x} + dx, int64_t{y} + dy, width, height);
}

}  // namespace window
