// BitmapScaler: inverse-mapped nearest-neighbour rotation and scaling in 16.16 fixed point.
#include "game/BitmapScaler.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr int64_t kOne = 1 << 16;
constexpr int64_t kHalf = 1 << 15;

}  // namespace

BitmapScaler::BitmapScaler(window::Image* source) : source_(lang::share(source)) {}
BitmapScaler::~BitmapScaler() = default;

lang::Ref<window::Image> BitmapScaler::rotateScale(double radians, double percent) {
    if (!source_ || percent <= 0)
        return {};
    const int sw = source_->getWidth();
    const int sh = source_->getHeight();
    const uint32_t* src = source_->getPixels();
    if (sw <= 0 || sh <= 0 || src == nullptr)
        return {};
    const double scale = percent / 100.0;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    // The box the turned, scaled picture needs.
    const double bw = (std::fabs(c) * sw + std::fabs(s) * sh) * scale;
    const double bh = (std::fabs(s) * sw + std::fabs(c) * sh) * scale;
    const int ow = static_cast<int>(std::lround(bw));
    const int oh = static_cast<int>(std::lround(bh));
    if (ow <= 0 || oh <= 0)
        return {};
    auto out = lang::make<window::Image>(ow, oh);
    out->setHasAlpha(true);
    uint32_t* dst = out->getPixels();
    if (dst == nullptr)
        return {};
    const int sstride = source_->getStride() / 4;  // bytes to pixels
    const int ostride = out->getStride() / 4;
    // Inverse transform: rotate by -radians, divide by the scale.
    const auto ic = static_cast<int64_t>(std::llround(c / scale * kOne));
    const auto is = static_cast<int64_t>(std::llround(s / scale * kOne));
    const int64_t ocx = static_cast<int64_t>(ow) * kOne / 2;
    const int64_t ocy = static_cast<int64_t>(oh) * kOne / 2;
    const int64_t scx = static_cast<int64_t>(sw) * kOne / 2;
    const int64_t scy = static_cast<int64_t>(sh) * kOne / 2;
    for (int y = 0; y < oh; ++y) {
        const int64_t dy = static_cast<int64_t>(y) * kOne + kHalf - ocy;
        for (int x = 0; x < ow; ++x) {
            const int64_t dx = static_cast<int64_t>(x) * kOne + kHalf - ocx;
            const int64_t sx = ((dx * ic + dy * is) >> 16) + scx;
            const int64_t sy = ((-dx * is + dy * ic) >> 16) + scy;
            // Floor division: a point just left of or above the source stays outside it.
            const int64_t px = sx >= 0 ? sx >> 16 : -1;
            const int64_t py = sy >= 0 ? sy >> 16 : -1;
            uint32_t pixel = 0;
            if (px >= 0 && px < sw && py >= 0 && py < sh)
                pixel = src[py * sstride + px];
            dst[static_cast<int64_t>(y) * ostride + x] = pixel;
        }
    }
    return out;
}

lang::Ref<window::Image> BitmapScaler::scaleTo(int width, int height) {
    if (!source_ || width <= 0 || height <= 0)
        return {};
    const int sw = source_->getWidth();
    const int sh = source_->getHeight();
    const uint32_t* src = source_->getPixels();
    if (sw <= 0 || sh <= 0 || src == nullptr)
        return {};
    auto out = lang::make<window::Image>(width, height);
    out->setHasAlpha(source_->hasAlpha());
    uint32_t* dst = out->getPixels();
    if (dst == nullptr)
        return {};
    const int sstride = source_->getStride() / 4;  // bytes to pixels
    const int ostride = out->getStride() / 4;
    const int64_t stepX = static_cast<int64_t>(sw) * kOne / width;
    const int64_t stepY = static_cast<int64_t>(sh) * kOne / height;
    for (int y = 0; y < height; ++y) {
        const int64_t py = (y * stepY + stepY / 2) >> 16;
        for (int x = 0; x < width; ++x) {
            const int64_t px = (x * stepX + stepX / 2) >> 16;
            dst[static_cast<int64_t>(y) * ostride + x] = src[py * sstride + px];
        }
    }
    return out;
}
