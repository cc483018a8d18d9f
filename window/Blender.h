// window::Blender: the per-row pixel kernels of software drawing (blends, fills, copies).
#pragma once

#include <cstdint>

namespace window {

// Levels of one blit, already clamped to 0..kMaxLevel (128 = unchanged).
struct BlendLevels {
    int32_t alpha = 128;
    int32_t red = 128;
    int32_t green = 128;
    int32_t blue = 128;

    bool colorsUnchanged() const { return red == 128 && green == 128 && blue == 128; }
};

// The blend rules are written out on GraphicsI. Every kernel has a plain scalar version, the reference
// the vector versions are tested against pixel for pixel; the unsuffixed entry points pick the fastest
// version this processor runs. Drawing reaches them through PixelBuffer.
class Blender {
public:
    static constexpr int32_t kMaxLevel = 4096;

    // Clamps raw levels into the range the kernels accept.
    static BlendLevels clampLevels(int32_t alpha, int32_t red, int32_t green, int32_t blue);

    // Each blend comes in two forms: one row of count pixels, and `rows` rows with dst and src moving on
    // by their strides (in pixels) after each row, so that a whole picture takes one call and its kernel
    // is chosen once. The rows need not be blended in order, so dst and src must not overlap. The Sse2
    // and Avx2 versions are named so that tests and benchmarks can compare each with the scalar one; on a
    // processor without them (or with levels beyond their range) they run the scalar code.
    static void blendNormal(uint32_t* dst, int dstStride, const uint32_t* src, int srcStride, int count,
                            int rows, const BlendLevels& levels);
    static void blendNormalSse2(uint32_t* dst, int dstStride, const uint32_t* src, int srcStride, int count,
                                int rows, const BlendLevels& levels);
    static void blendNormalAvx2(uint32_t* dst, int dstStride, const uint32_t* src, int srcStride, int count,
                                int rows, const BlendLevels& levels);
    static void blendNormalScalar(uint32_t* dst, const uint32_t* src, int count, const BlendLevels& levels);
    static void blendAdditive(uint32_t* dst, int dstStride, const uint32_t* src, int srcStride, int count,
                              int rows, const BlendLevels& levels);
    static void blendAdditiveSse2(uint32_t* dst, int dstStride, const uint32_t* src, int srcStride, int count,
                                  int rows, const BlendLevels& levels);
    static void blendAdditiveAvx2(uint32_t* dst, int dstStride, const uint32_t* src, int srcStride, int count,
                                  int rows, const BlendLevels& levels);
    static void blendAdditiveScalar(uint32_t* dst, const uint32_t* src, int count, const BlendLevels& levels);

    static void blendNormal(uint32_t* dst, const uint32_t* src, int count, const BlendLevels& levels) {
        blendNormal(dst, 0, src, 0, count, 1, levels);
    }
    static void blendNormalSse2(uint32_t* dst, const uint32_t* src, int count, const BlendLevels& levels) {
        blendNormalSse2(dst, 0, src, 0, count, 1, levels);
    }
    static void blendNormalAvx2(uint32_t* dst, const uint32_t* src, int count, const BlendLevels& levels) {
        blendNormalAvx2(dst, 0, src, 0, count, 1, levels);
    }
    static void blendAdditive(uint32_t* dst, const uint32_t* src, int count, const BlendLevels& levels) {
        blendAdditive(dst, 0, src, 0, count, 1, levels);
    }
    static void blendAdditiveSse2(uint32_t* dst, const uint32_t* src, int count, const BlendLevels& levels) {
        blendAdditiveSse2(dst, 0, src, 0, count, 1, levels);
    }
    static void blendAdditiveAvx2(uint32_t* dst, const uint32_t* src, int count, const BlendLevels& levels) {
        blendAdditiveAvx2(dst, 0, src, 0, count, 1, levels);
    }

    // Blends one 0xAARRGGBB colour over count pixels by its alpha byte, as the normal mode does.
    static void fillBlend(uint32_t* dst, int count, uint32_t argb);
    static void fillBlendScalar(uint32_t* dst, int count, uint32_t argb);
    // Stores one value into count pixels.
    static void fill(uint32_t* dst, int count, uint32_t value);

    // Which vector kernels the running processor uses: "avx2", "sse2" or "scalar".
    static const char* vectorKind();
};

}  // namespace window
