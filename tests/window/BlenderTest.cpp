// The blend kernels: the rules on edge values, and the vector kernels against the scalar one.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "window/Blender.h"

using namespace window;

namespace {

uint32_t blendOne(uint32_t dst, uint32_t src, const BlendLevels& levels, bool additive = false) {
    if (additive) {
        Blender::blendAdditiveScalar(&dst, &src, 1, levels);
    } else {
        Blender::blendNormalScalar(&dst, &src, 1, levels);
    }
    return dst;
}

BlendLevels levels(int a, int r = 128, int g = 128, int b = 128) {
    return Blender::clampLevels(a, r, g, b);
}

}  // namespace

TEST(Blender, NormalModeEdgeValues) {
    const uint32_t dst = 0x40102030u;
    // Neutral levels: opaque source copied unchanged, transparent source skipped (target alpha kept).
    EXPECT_EQ(blendOne(dst, 0xFFA0B0C0u, levels(128)), 0xFFA0B0C0u);
    EXPECT_EQ(blendOne(dst, 0x00A0B0C0u, levels(128)), dst);
    // Alpha level 0 draws nothing; colour levels 0 give black.
    EXPECT_EQ(blendOne(dst, 0xFFA0B0C0u, levels(0)), dst);
    EXPECT_EQ(blendOne(dst, 0xFFA0B0C0u, levels(128, 0, 0, 0)), 0xFF000000u);
    // Half alpha: d + ((c - d) x 128 >> 8), rounding towards minus infinity.
    EXPECT_EQ(blendOne(0xFF000000u, 0x80FFFFFFu, levels(128)), 0xFF7F7F7Fu);
    EXPECT_EQ(blendOne(0xFFFFFFFFu, 0x80000000u, levels(128)), 0xFF7F7F7Fu);
    EXPECT_EQ(blendOne(0xFF0A0A0Au, 0x01000000u, levels(128)), 0xFF090909u);
    // Alpha level 255 turns source alpha 128 into 255: the source covers.
    EXPECT_EQ(blendOne(0xFF000000u, 0x80102030u, levels(255)), 0xFF102030u);
    // Brightening levels saturate at 255.
    EXPECT_EQ(blendOne(0xFF000000u, 0xFF80C0FFu, levels(128, 255, 255, 255)), 0xFFFFFFFFu);
    EXPECT_EQ(blendOne(0xFF000000u, 0xFF204060u, levels(128, 256, 192, 64)), 0xFF406030u);
}

TEST(Blender, AdditiveModeSaturatesAndScalesAfterAlpha) {
    EXPECT_EQ(blendOne(0xFF808080u, 0xFF808080u, levels(128), true), 0xFFFFFFFFu);
    EXPECT_EQ(blendOne(0xFF102030u, 0xFF010203u, levels(128), true), 0xFF112233u);
    EXPECT_EQ(blendOne(0x12345678u, 0x00FFFFFFu, levels(128), true), 0x12345678u);
    // Partial alpha: d + ((c x a >> 8) x level >> 7); level 64 halves what is added.
    EXPECT_EQ(blendOne(0xFF000000u, 0x80FF8000u, levels(128), true), 0xFF7F4000u);
    EXPECT_EQ(blendOne(0xFF000000u, 0x80FF8000u, levels(128, 64, 64, 64), true), 0xFF3F2000u);
    EXPECT_EQ(blendOne(0xFFF0F0F0u, 0x80FFFFFFu, levels(128), true), 0xFFFFFFFFu);
}

TEST(Blender, LevelsAreClampedToTheirRange) {
    const BlendLevels l = Blender::clampLevels(-5, 1 << 30, 128, -1);
    EXPECT_EQ(l.alpha, 0);
    EXPECT_EQ(l.red, Blender::kMaxLevel);
    EXPECT_EQ(l.blue, 0);
    // Huge levels never overflow: a covering source saturates.
    EXPECT_EQ(blendOne(0xFF000000u, 0xFF010101u, Blender::clampLevels(1 << 30, 1 << 30, 1 << 30, 1 << 30)),
              0xFF202020u);
}

namespace {

using Kernel = void (*)(uint32_t*, const uint32_t*, int, const BlendLevels&);

// Each blend mode's scalar reference and the versions that must agree with it.
struct Kernels {
    const char* name;
    Kernel scalar, sse2, avx2, dispatched;
};

const Kernels kKernels[] = {
    {"normal", Blender::blendNormalScalar, Blender::blendNormalSse2, Blender::blendNormalAvx2,
     Blender::blendNormal},
    {"additive", Blender::blendAdditiveScalar, Blender::blendAdditiveSse2, Blender::blendAdditiveAvx2,
     Blender::blendAdditive},
};

}  // namespace

TEST(Blender, VectorKernelsMatchScalarPixelForPixel) {
    std::mt19937 rng(42);
    static const uint8_t edgeAlpha[] = {0, 1, 2, 127, 128, 129, 253, 254, 255};
    const int edgeLevels[] = {0, 1, 64, 127, 128, 129, 200, 255, 256, 300};
    // Source kinds: any pixel; opaque or fully transparent; edge alphas; opaque; transparent.
    auto source = [&](int kind) -> uint32_t {
        const uint32_t bits = static_cast<uint32_t>(rng());
        switch (kind) {
            case 0:
                return bits;
            case 1:
                return (rng() & 1) ? bits | 0xFF000000u : bits & 0xFFFFFFu;
            case 2:
                return (uint32_t{edgeAlpha[rng() % 9]} << 24) | (bits & 0xFFFFFFu);
            case 3:
                return bits | 0xFF000000u;
            default:
                return bits & 0xFFFFFFu;
        }
    };
    int runs = 0;
    for (int trial = 0; trial < 600; ++trial) {
        const int count = static_cast<int>(rng() % 70);
        std::vector<uint32_t> src(static_cast<size_t>(count)), dst(static_cast<size_t>(count));
        for (auto& p : src)
            p = source(trial % 5);
        for (auto& p : dst)
            p = static_cast<uint32_t>(rng());
        BlendLevels l;
        if (trial % 3 != 0) {
            l = Blender::clampLevels(edgeLevels[rng() % 10], edgeLevels[rng() % 10], edgeLevels[rng() % 10],
                                     edgeLevels[rng() % 10]);
        }
        if (trial % 7 == 0)
            l = Blender::clampLevels(static_cast<int>(rng() % 260), 128, 128, 128);
        for (const Kernels& k : kKernels) {
            std::vector<uint32_t> expected = dst, sse2 = dst, avx2 = dst, dispatched = dst;
            k.scalar(expected.data(), src.data(), count, l);
            k.sse2(sse2.data(), src.data(), count, l);
            k.avx2(avx2.data(), src.data(), count, l);
            k.dispatched(dispatched.data(), src.data(), count, l);
            for (int i = 0; i < count; ++i) {
                ASSERT_EQ(sse2[i], expected[i]) << k.name << " sse2 trial " << trial << " pixel " << i
                                                << " src " << std::hex << src[i] << " dst " << dst[i];
                ASSERT_EQ(avx2[i], expected[i]) << k.name << " avx2 trial " << trial << " pixel " << i;
                ASSERT_EQ(dispatched[i], expected[i])
                    << k.name << " dispatch trial " << trial << " pixel " << i;
            }
        }
        ++runs;
    }
    EXPECT_EQ(runs, 600);
    SUCCEED() << "vector kind: " << Blender::vectorKind();
}

TEST(Blender, FillBlendMatchesScalarAndCoversOrSkips) {
    std::mt19937 rng(8);
    for (uint32_t alpha : {0u, 1u, 77u, 128u, 254u, 255u}) {
        const uint32_t color = (alpha << 24) | (rng() & 0xFFFFFFu);
        std::vector<uint32_t> dst(37);
        for (auto& p : dst)
            p = static_cast<uint32_t>(rng());
        std::vector<uint32_t> scalar = dst, fast = dst;
        Blender::fillBlendScalar(scalar.data(), 37, color);
        Blender::fillBlend(fast.data(), 37, color);
        EXPECT_EQ(scalar, fast) << alpha;
        if (alpha == 0) {
            EXPECT_EQ(fast, dst);
        }
        if (alpha == 255) {
            EXPECT_EQ(fast, std::vector<uint32_t>(37, color));
        }
        // The same result as blending a source pixel of that colour with neutral levels.
        for (size_t i = 0; i < dst.size(); ++i)
            EXPECT_EQ(fast[i], blendOne(dst[i], color, levels(128)));
    }
}

TEST(Blender, FillStoresEveryPixelWhateverTheValue) {
    for (uint32_t value : {0u, 0xFFFFFFFFu, 0xFF123456u, 0x80808080u}) {
        for (int count : {0, 1, 7, 8, 31, 32, 33, 100}) {
            std::vector<uint32_t> row(static_cast<size_t>(count) + 2, 0xDEADBEEFu);
            Blender::fill(row.data() + 1, count, value);
            EXPECT_EQ(row.front(), 0xDEADBEEFu);
            EXPECT_EQ(row.back(), 0xDEADBEEFu);
            for (int i = 1; i <= count; ++i)
                ASSERT_EQ(row[static_cast<size_t>(i)], value) << count;
        }
    }
}

TEST(Blender, VectorKernelsAgreeOnEveryAlphaAndChannelValue) {
    // Every source alpha against every channel value, at the alpha levels where a crosses 255 and the
    // colour levels where scaling starts, over targets near saturation and near zero. Pixels of one alpha
    // come in runs, so groups of all-transparent and all-opaque pixels take their short paths too.
    std::vector<uint32_t> src;
    for (uint32_t a = 0; a < 256; ++a) {
        for (uint32_t c = 0; c < 256; c += 3)
            src.push_back(a << 24 | c << 16 | (255 - c) << 8 | (c * 7 & 0xFFu));
    }
    const int count = static_cast<int>(src.size());
    for (const Kernels& k : kKernels) {
        for (int alpha : {1, 127, 128, 129, 255, 256}) {
            for (int level : {0, 1, 64, 127, 128}) {
                const BlendLevels l = Blender::clampLevels(alpha, level, 128, level);
                for (uint32_t background : {0x00000000u, 0x80F0F0F0u, 0xFF7F017Fu, 0x12FFFFFFu}) {
                    std::vector<uint32_t> expected(src.size(), background);
                    std::vector<uint32_t> sse2 = expected, avx2 = expected;
                    k.scalar(expected.data(), src.data(), count, l);
                    k.sse2(sse2.data(), src.data(), count, l);
                    k.avx2(avx2.data(), src.data(), count, l);
                    ASSERT_EQ(sse2, expected) << k.name << " alpha level " << alpha << " level " << level;
                    ASSERT_EQ(avx2, expected) << k.name << " alpha level " << alpha << " level " << level;
                }
            }
        }
    }
}

namespace {

using RowsKernel = void (*)(uint32_t*, int, const uint32_t*, int, int, int, const BlendLevels&);

struct RowsKernels {
    const char* name;
    Kernel scalar;
    RowsKernel sse2, avx2, dispatched;
};

const RowsKernels kRowsKernels[] = {
    {"normal", Blender::blendNormalScalar, Blender::blendNormalSse2, Blender::blendNormalAvx2,
     Blender::blendNormal},
    {"additive", Blender::blendAdditiveScalar, Blender::blendAdditiveSse2, Blender::blendAdditiveAvx2,
     Blender::blendAdditive},
};

// A sprite-like row: transparent margins, a soft edge, an opaque core with a translucent band, so that
// runs of every kind start and end at every position within a vector group.
uint32_t spritePixel(int x, int y, int width, std::mt19937& rng) {
    const int edge = std::min(x, width - 1 - x) - (y % 5);
    uint32_t alpha = edge < 0 ? 0 : edge < 3 ? static_cast<uint32_t>(60 * edge + 30) : 255;
    if (edge >= 6 && edge < 8)
        alpha = 160;
    return alpha << 24 | (static_cast<uint32_t>(rng()) & 0xFFFFFFu);
}

}  // namespace

TEST(Blender, BlocksOfRowsMatchTheScalarKernelRowByRow) {
    // A block of rows is blended with each row's whole vector groups first and the remainders after them:
    // every width (remainders of every size), strides wider than the rows, and pixels outside the drawn
    // rectangle left as they were.
    std::mt19937 rng(7);
    const BlendLevels levelsToTry[] = {BlendLevels(), Blender::clampLevels(200, 128, 128, 128),
                                       Blender::clampLevels(128, 64, 100, 128)};
    for (const RowsKernels& k : kRowsKernels) {
        for (const BlendLevels& l : levelsToTry) {
            for (int width = 0; width <= 37; ++width) {
                const int rows = 1 + width % 5;
                const int srcStride = width + 3;
                const int dstStride = width + 11;
                std::vector<uint32_t> src(static_cast<size_t>(srcStride) * rows);
                for (int y = 0; y < rows; ++y) {
                    for (int x = 0; x < srcStride; ++x)
                        src[static_cast<size_t>(y * srcStride + x)] = spritePixel(x, y, width, rng);
                }
                std::vector<uint32_t> dst(static_cast<size_t>(dstStride) * rows + 5);
                for (auto& p : dst)
                    p = static_cast<uint32_t>(rng());
                std::vector<uint32_t> expected = dst;
                for (int y = 0; y < rows; ++y) {
                    k.scalar(expected.data() + 2 + y * dstStride, src.data() + y * srcStride, width, l);
                }
                for (RowsKernel version : {k.sse2, k.avx2, k.dispatched}) {
                    std::vector<uint32_t> got = dst;
                    version(got.data() + 2, dstStride, src.data(), srcStride, width, rows, l);
                    ASSERT_EQ(got, expected) << k.name << " width " << width << " rows " << rows
                                             << " alpha level " << l.alpha << " red level " << l.red;
                }
            }
        }
    }
}
