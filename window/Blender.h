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
// version this processor runs.
class Blender {
public:
    static constexpr int32_t kMaxLevel = 4096;

    // Clamps raw levels into the range the kernels accept.
    static BlendLevels clampLevels(int32_t alpha, int32_t red, int32_t green, int32_t blue);

    static void blendNormal(uint32_t* dst, const uint32_t* src, int count, const BlendLevels& levels);
    static void blendNormalScalar(uint32_t* dst, const uint32_t* src, int count, const BlendLevels& levels);
    // The vector versions, named so that tests can compare each with the scalar one; on a processor
    // without them (or with levels beyond their range) they run the scalar code.
    static void blendNormalSse2(uint32_t* dst, const uint32_t* src, int count, const BlendLevels& levels);
    static void blendNormalAvx2(uint32_t* dst, const uint32_t* src, int count, const BlendLevels& levels);
    static void blendAdditive(uint32_t* dst, const uint32_t* src, int count, const BlendLevels& levels);
    static void blendAdditiveScalar(uint32_t* dst, const uint32_t* src, int count, const BlendLevels& levels);
    // Blends one 0xAARRGGBB colour over count pixels by its alpha byte, as the normal mode does.
    static void fillBlend(uint32_t* dst, int count, uint32_t argb);
    static void fillBlendScalar(uint32_t* dst, int count, uint32_t argb);
    // Stores one value into count pixels.
    static void fill(uint32_t* dst, int count, uint32_t value);

    // Which vector kernels the running processor uses: "avx2", "sse2" or "scalar".
    static const char* vectorKind();
};

}  // namespace window
