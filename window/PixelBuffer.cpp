// window::PixelBuffer: clipping of copies, blends and fills to a region, row by row through Blender.
#include "window/PixelBuffer.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace window {

namespace {

// The part of the rectangle [left, right) x [top, bottom) inside one clip box and inside the buffer;
// false when nothing is left.
struct Span {
    int x1, y1, x2, y2;
};

bool cut(const util::Region::Box& box, const PixelBuffer& buffer, int64_t left, int64_t top, int64_t right,
         int64_t bottom, Span& out) {
    const int64_t x1 = std::max<int64_t>({left, box.x1, 0});
    const int64_t y1 = std::max<int64_t>({top, box.y1, 0});
    const int64_t x2 = std::min<int64_t>({right, box.x2, buffer.width});
    const int64_t y2 = std::min<int64_t>({bottom, box.y2, buffer.height});
    if (x1 >= x2 || y1 >= y2)
        return false;
    out = Span{static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2), static_cast<int>(y2)};
    return true;
}

// Whether two pixel ranges share memory (compared as addresses: they may belong to unrelated arrays).
bool overlaps(const uint32_t* a, size_t aCount, const uint32_t* b, size_t bCount) {
    const auto aBegin = reinterpret_cast<uintptr_t>(a);
    const auto bBegin = reinterpret_cast<uintptr_t>(b);
    return aBegin < bBegin + bCount * sizeof(uint32_t) && bBegin < aBegin + aCount * sizeof(uint32_t);
}

size_t extent(int width, int height, int stride) {
    return static_cast<size_t>(height - 1) * static_cast<size_t>(stride) + static_cast<size_t>(width);
}

}  // namespace

void PixelBuffer::drawPixels(const util::Region& clip, const uint32_t* source, int sourceWidth,
                             int sourceHeight, int sourceStride, int64_t left, int64_t top, PixelOp op,
                             const BlendLevels& levels, DrawnArea* drawn) const {
    if (empty() || source == nullptr || sourceWidth <= 0 || sourceHeight <= 0 || sourceStride < sourceWidth)
        return;
    if (op != PixelOp::kCopy && levels.alpha == 0)
        return;
    // A picture drawn onto itself: blends and copies of other clip boxes would read pixels already
    // written, so the source is read from a copy of itself.
    std::vector<uint32_t> own;
    if (overlaps(source, extent(sourceWidth, sourceHeight, sourceStride), pixels,
                 extent(width, height, stride))) {
        own.resize(static_cast<size_t>(sourceWidth) * static_cast<size_t>(sourceHeight));
        for (int row = 0; row < sourceHeight; ++row) {
            std::memcpy(own.data() + static_cast<size_t>(row) * sourceWidth,
                        source + static_cast<size_t>(row) * sourceStride,
                        static_cast<size_t>(sourceWidth) * 4);
        }
        source = own.data();
        sourceStride = sourceWidth;
    }
    const int64_t right = left + sourceWidth;
    const int64_t bottom = top + sourceHeight;
    for (const util::Region::Box& box : clip.boxes()) {
        Span s;
        if (!cut(box, *this, left, top, right, bottom, s))
            continue;
        const int count = s.x2 - s.x1;
        const uint32_t* from = source + static_cast<size_t>(s.y1 - top) * sourceStride + (s.x1 - left);
        uint32_t* to = pixels + static_cast<size_t>(s.y1) * stride + s.x1;
        const int rows = s.y2 - s.y1;
        switch (op) {
            case PixelOp::kCopy:
                if (count == stride && sourceStride == stride) {
                    // Whole rows of both pictures: one contiguous copy.
                    std::memcpy(to, from, static_cast<size_t>(count) * static_cast<size_t>(rows) * 4);
                    break;
                }
                for (int row = 0; row < rows; ++row, from += sourceStride, to += stride)
                    std::memcpy(to, from, static_cast<size_t>(count) * 4);
                break;
            case PixelOp::kBlendNormal:
                Blender::blendNormal(to, stride, from, sourceStride, count, rows, levels);
                break;
            case PixelOp::kBlendAdditive:
                Blender::blendAdditive(to, stride, from, sourceStride, count, rows, levels);
                break;
        }
        if (drawn != nullptr)
            drawn->drawn(s.x1, s.y1, count, s.y2 - s.y1);
    }
}

void PixelBuffer::fillRect(const util::Region& clip, int64_t left, int64_t top, int64_t rectWidth,
                           int64_t rectHeight, uint32_t argb, DrawnArea* drawn) const {
    if (empty() || rectWidth <= 0 || rectHeight <= 0 || (argb >> 24) == 0)
        return;
    const bool covers = (argb >> 24) == 0xFFu;
    for (const util::Region::Box& box : clip.boxes()) {
        Span s;
        if (!cut(box, *this, left, top, left + rectWidth, top + rectHeight, s))
            continue;
        const int count = s.x2 - s.x1;
        uint32_t* to = pixels + static_cast<size_t>(s.y1) * stride + s.x1;
        if (covers && count == stride) {
            // Whole rows: one run over contiguous memory.
            Blender::fill(to, count * (s.y2 - s.y1), argb);
        } else {
            for (int row = s.y1; row < s.y2; ++row, to += stride) {
                if (covers) {
                    Blender::fill(to, count, argb);
                } else {
                    Blender::fillBlend(to, count, argb);
                }
            }
        }
        if (drawn != nullptr)
            drawn->drawn(s.x1, s.y1, count, s.y2 - s.y1);
    }
}

void PixelBuffer::plot(const util::Region& clip, int64_t x, int64_t y, uint32_t argb) const {
    if (empty() || x < 0 || y < 0 || x >= width || y >= height)
        return;
    if (!clip.contains(static_cast<int>(x), static_cast<int>(y)))
        return;
    pixels[static_cast<size_t>(y) * stride + static_cast<size_t>(x)] = argb;
}

}  // namespace window
