// window::GraphicsW: copies and fills on the window's picture, clipped to the context's region.
#include "window/GraphicsW.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "window/SdlVideo.h"

namespace window {

namespace {

// The normal-mode blend of one channel: d + ((c - d) x a >> 8).
inline uint32_t blendChannel(uint32_t c, uint32_t d, int32_t a) {
    int32_t value =
        static_cast<int32_t>(d) + (((static_cast<int32_t>(c) - static_cast<int32_t>(d)) * a) >> 8);
    return static_cast<uint32_t>(std::clamp(value, 0, 255));
}

inline uint32_t blendPixel(uint32_t source, uint32_t target, int32_t a) {
    uint32_t r = blendChannel((source >> 16) & 0xFF, (target >> 16) & 0xFF, a);
    uint32_t g = blendChannel((source >> 8) & 0xFF, (target >> 8) & 0xFF, a);
    uint32_t b = blendChannel(source & 0xFF, target & 0xFF, a);
    return 0xFF000000u | r << 16 | g << 8 | b;
}

// The part of a rectangle inside one clip box and inside the screen; false when nothing is left.
struct Span {
    int x1, y1, x2, y2;
};

bool intersect(const util::Region::Box& box, int x, int y, int width, int height, int screenWidth,
               int screenHeight, Span* out) {
    out->x1 = std::max({box.x1, x, 0});
    out->y1 = std::max({box.y1, y, 0});
    out->x2 = std::min({box.x2, x + width, screenWidth});
    out->y2 = std::min({box.y2, y + height, screenHeight});
    return out->x1 < out->x2 && out->y1 < out->y2;
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
    const int imageWidth = image->getWidth();
    const int imageHeight = image->getHeight();
    const bool blend = image->hasAlpha();
    int dx = 0;
    int dy = 0;
    getTranslation(&dx, &dy);
    const int left = x + dx;
    const int top = y + dy;

    sdl::Screen& screen = *screen_;
    std::lock_guard<std::mutex> guard(screen.mutex());
    if (!screen.alive())
        return;
    uint32_t* target = screen.pixels();
    const int stride = screen.stride();
    for (const util::Region::Box& box : clipRegion().boxes()) {
        Span s;
        if (!intersect(box, left, top, imageWidth, imageHeight, screen.width(), screen.height(), &s))
            continue;
        const int width = s.x2 - s.x1;
        for (int row = s.y1; row < s.y2; ++row) {
            const uint32_t* from = source + static_cast<size_t>(row - top) * imageWidth + (s.x1 - left);
            uint32_t* to = target + static_cast<size_t>(row) * stride + s.x1;
            if (!blend) {
                std::memcpy(to, from, static_cast<size_t>(width) * 4);
                continue;
            }
            for (int i = 0; i < width; ++i) {
                const int32_t a = static_cast<int32_t>(from[i] >> 24);
                if (a >= 255) {
                    to[i] = from[i] | 0xFF000000u;
                } else if (a > 0) {
                    to[i] = blendPixel(from[i], to[i], a);
                }
            }
        }
        screen.markChanged(s.x1, s.y1, width, s.y2 - s.y1);
    }
}

void GraphicsW::fillRectColor(int x, int y, int width, int height, uint32_t argb) {
    if (!screen_ || width <= 0 || height <= 0)
        return;
    const int32_t a = static_cast<int32_t>(argb >> 24);
    if (a == 0)
        return;
    int dx = 0;
    int dy = 0;
    getTranslation(&dx, &dy);
    const int left = x + dx;
    const int top = y + dy;

    sdl::Screen& screen = *screen_;
    std::lock_guard<std::mutex> guard(screen.mutex());
    if (!screen.alive())
        return;
    uint32_t* target = screen.pixels();
    const int stride = screen.stride();
    for (const util::Region::Box& box : clipRegion().boxes()) {
        Span s;
        if (!intersect(box, left, top, width, height, screen.width(), screen.height(), &s))
            continue;
        for (int row = s.y1; row < s.y2; ++row) {
            uint32_t* to = target + static_cast<size_t>(row) * stride;
            for (int col = s.x1; col < s.x2; ++col) {
                to[col] = a >= 255 ? (argb | 0xFF000000u) : blendPixel(argb, to[col], a);
            }
        }
        screen.markChanged(s.x1, s.y1, s.x2 - s.x1, s.y2 - s.y1);
    }
}

}  // namespace window
