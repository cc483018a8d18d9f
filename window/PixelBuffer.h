// window::PixelBuffer: the one software pixel path: clipped copies, blends and fills on plain pixels.
#pragma once

#include <cstdint>

#include "util/Region.h"
#include "window/Blender.h"

namespace window {

// How source pixels meet the target: copied as they are, or blended by the rules written on GraphicsI.
enum class PixelOp { kCopy, kBlendNormal, kBlendAdditive };

// Told about every rectangle a draw wrote (target coordinates, inside the buffer), so that a screen can
// upload exactly those.
class DrawnArea {
public:
    virtual void drawn(int x, int y, int width, int height) = 0;

protected:
    ~DrawnArea() = default;
};

// Borrowed 0xAARRGGBB pixels: `height` rows of `width` pixels, `stride` pixels from one row to the next.
// Every drawing context draws through these operations: a context on an image passes the image's pixels,
// the window's context the screen's picture under the screen lock. Every operation is clipped to the
// clip region and to the buffer itself, and takes positions as 64-bit numbers so that no sum of a
// far-away position and a size wraps around.
struct PixelBuffer {
    uint32_t* pixels = nullptr;
    int stride = 0;
    int width = 0;
    int height = 0;

    bool empty() const { return pixels == nullptr || width <= 0 || height <= 0; }

    // Draws `source` (sourceWidth x sourceHeight pixels, sourceStride pixels a row) with its top-left
    // pixel at (left, top). The source may be this very buffer: rows are taken in the order that reads
    // each before it is overwritten.
    void drawPixels(const util::Region& clip, const uint32_t* source, int sourceWidth, int sourceHeight,
                    int sourceStride, int64_t left, int64_t top, PixelOp op, const BlendLevels& levels,
                    DrawnArea* drawn = nullptr) const;
    // Fills a rectangle with an 0xAARRGGBB colour blended by its alpha byte (255 covers, 0 draws nothing).
    void fillRect(const util::Region& clip, int64_t left, int64_t top, int64_t width, int64_t height,
                  uint32_t argb, DrawnArea* drawn = nullptr) const;
    // Stores an 0xAARRGGBB value into one pixel when the pixel lies inside the clip.
    void plot(const util::Region& clip, int64_t x, int64_t y, uint32_t argb) const;
};

}  // namespace window
