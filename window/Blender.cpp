// The pixel kernels of software drawing: scalar references, SSE2 and AVX2 versions of the blends.
#include "window/Blender.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define LUMAROO_X86 1
#endif

namespace window {

namespace {

inline int32_t clampLevel(int32_t level) {
    return std::clamp<int32_t>(level, 0, Blender::kMaxLevel);
}

inline uint32_t channel(uint32_t pixel, int shift) {
    return (pixel >> shift) & 0xFFu;
}

// The vector kernels keep every intermediate in 16 bits: they run when the colour levels are at most
// 128 (a scaled channel stays below 256) and the alpha level at most 256 (alpha x level fits). The
// blend d + ((c - d) x a >> 8) is computed as (d x (256 - a) + c x a) >> 8, which is the same number:
// 256 x d is a multiple of 256, so flooring the sum equals adding d to the floored product.
bool vectorEligible(const BlendLevels& l) {
    return l.red <= 128 && l.green <= 128 && l.blue <= 128 && l.alpha <= 256;
}

#ifdef LUMAROO_X86

// Four pixels of the normal blend. levels16 holds blue, green, red, 128 per pixel (memory order).
inline __m128i blend4(__m128i s, __m128i d, __m128i alphaLevel16, __m128i levels16, bool scale) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i k254 = _mm_set1_epi16(254);
    const __m128i k256 = _mm_set1_epi16(256);
    __m128i sLo = _mm_unpacklo_epi8(s, zero);
    __m128i sHi = _mm_unpackhi_epi8(s, zero);
    __m128i dLo = _mm_unpacklo_epi8(d, zero);
    __m128i dHi = _mm_unpackhi_epi8(d, zero);
    __m128i aLo = _mm_shufflehi_epi16(_mm_shufflelo_epi16(sLo, 0xFF), 0xFF);
    __m128i aHi = _mm_shufflehi_epi16(_mm_shufflelo_epi16(sHi, 0xFF), 0xFF);
    aLo = _mm_srli_epi16(_mm_mullo_epi16(aLo, alphaLevel16), 7);
    aHi = _mm_srli_epi16(_mm_mullo_epi16(aHi, alphaLevel16), 7);
    if (scale) {
        sLo = _mm_srli_epi16(_mm_mullo_epi16(sLo, levels16), 7);
        sHi = _mm_srli_epi16(_mm_mullo_epi16(sHi, levels16), 7);
    }
    __m128i bLo = _mm_srli_epi16(
        _mm_add_epi16(_mm_mullo_epi16(dLo, _mm_sub_epi16(k256, aLo)), _mm_mullo_epi16(sLo, aLo)), 8);
    __m128i bHi = _mm_srli_epi16(
        _mm_add_epi16(_mm_mullo_epi16(dHi, _mm_sub_epi16(k256, aHi)), _mm_mullo_epi16(sHi, aHi)), 8);
    __m128i fullLo = _mm_cmpgt_epi16(aLo, k254);
    __m128i fullHi = _mm_cmpgt_epi16(aHi, k254);
    bLo = _mm_or_si128(_mm_and_si128(fullLo, sLo), _mm_andnot_si128(fullLo, bLo));
    bHi = _mm_or_si128(_mm_and_si128(fullHi, sHi), _mm_andnot_si128(fullHi, bHi));
    __m128i result = _mm_or_si128(_mm_packus_epi16(bLo, bHi), _mm_set1_epi32(static_cast<int>(0xFF000000u)));
    __m128i keep = _mm_packs_epi16(_mm_cmpeq_epi16(aLo, zero), _mm_cmpeq_epi16(aHi, zero));
    return _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, result));
}

inline __m128i select(__m128i mask, __m128i yes, __m128i no) {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

// Neutral levels: a is the source alpha itself, so opaque and transparent pixels are found with
// whole-pixel compares. Mixed groups take one multiply per channel: d + ((c - d) x a >> 8) is
// d + mulhi(2 (c - d), 128 a), both factors within 16 signed bits and the high half of the product
// floored as the arithmetic shift floors. Opaque pixels take the source as it is, transparent ones keep
// the target's alpha byte.
inline void blendNeutralSse2Kernel(uint32_t* dst, const uint32_t* src, int count) {
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i zero = _mm_setzero_si128();
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i sa = _mm_and_si128(s, alphaMask);
        const __m128i transparent = _mm_cmpeq_epi32(sa, zero);
        if (_mm_movemask_epi8(transparent) == 0xFFFF)
            continue;
        const __m128i opaque = _mm_cmpeq_epi32(sa, alphaMask);
        if (_mm_movemask_epi8(opaque) == 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), s);
            continue;
        }
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        const __m128i sLo = _mm_unpacklo_epi8(s, zero);
        const __m128i sHi = _mm_unpackhi_epi8(s, zero);
        const __m128i dLo = _mm_unpacklo_epi8(d, zero);
        const __m128i dHi = _mm_unpackhi_epi8(d, zero);
        const __m128i aLo = _mm_slli_epi16(_mm_shufflehi_epi16(_mm_shufflelo_epi16(sLo, 0xFF), 0xFF), 7);
        const __m128i aHi = _mm_slli_epi16(_mm_shufflehi_epi16(_mm_shufflelo_epi16(sHi, 0xFF), 0xFF), 7);
        const __m128i bLo =
            _mm_add_epi16(dLo, _mm_mulhi_epi16(_mm_slli_epi16(_mm_sub_epi16(sLo, dLo), 1), aLo));
        const __m128i bHi =
            _mm_add_epi16(dHi, _mm_mulhi_epi16(_mm_slli_epi16(_mm_sub_epi16(sHi, dHi), 1), aHi));
        const __m128i result =
            _mm_or_si128(_mm_packus_epi16(bLo, bHi), _mm_andnot_si128(transparent, alphaMask));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), select(opaque, s, result));
    }
    if (i < count)
        Blender::blendNormalScalar(dst + i, src + i, count - i, BlendLevels());
}

inline void blendNormalSse2Kernel(uint32_t* dst, const uint32_t* src, int count, const BlendLevels& l) {
    if (l.alpha == 128 && l.colorsUnchanged()) {
        blendNeutralSse2Kernel(dst, src, count);
        return;
    }
    const bool scale = !l.colorsUnchanged();
    const bool opaqueCovers = ((255 * l.alpha) >> 7) >= 255 && !scale;
    const __m128i alphaLevel16 = _mm_set1_epi16(static_cast<short>(l.alpha));
    const __m128i levels16 = _mm_setr_epi16(static_cast<short>(l.blue), static_cast<short>(l.green),
                                            static_cast<short>(l.red), 128, static_cast<short>(l.blue),
                                            static_cast<short>(l.green), static_cast<short>(l.red), 128);
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i zero = _mm_setzero_si128();
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i sa = _mm_and_si128(s, alphaMask);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(sa, zero)) == 0xFFFF)
            continue;
        if (opaqueCovers && _mm_movemask_epi8(_mm_cmpeq_epi32(sa, alphaMask)) == 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), s);
            continue;
        }
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), blend4(s, d, alphaLevel16, levels16, scale));
    }
    if (i < count)
        Blender::blendNormalScalar(dst + i, src + i, count - i, l);
}

// The common case, neutral levels: a is the source alpha itself, so opaque and transparent pixels are
// found with whole-pixel compares and the alpha is spread over the channels with one byte shuffle.
__attribute__((target("avx2"))) inline void blendNeutralAvx2Kernel(uint32_t* dst, const uint32_t* src,
                                                                   int count) {
    const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const __m256i zero = _mm256_setzero_si256();
    const __m256i k256 = _mm256_set1_epi16(256);
    // Byte 3 of pixels 0 and 1 (low half) or 2 and 3 (high half) of each 128-bit lane into 16-bit lanes.
    const __m256i spreadLo = _mm256_setr_epi8(3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1, 3, -1,
                                              3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1);
    const __m256i spreadHi = _mm256_setr_epi8(11, -1, 11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1,
                                              11, -1, 11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        const __m256i sa = _mm256_and_si256(s, alphaMask);
        if (_mm256_testz_si256(sa, sa))
            continue;
        const __m256i opaque = _mm256_cmpeq_epi32(sa, alphaMask);
        if (static_cast<uint32_t>(_mm256_movemask_epi8(opaque)) == 0xFFFFFFFFu) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), s);
            continue;
        }
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
        const __m256i aLo = _mm256_shuffle_epi8(s, spreadLo);
        const __m256i aHi = _mm256_shuffle_epi8(s, spreadHi);
        const __m256i bLo = _mm256_srli_epi16(
            _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), _mm256_sub_epi16(k256, aLo)),
                             _mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), aLo)),
            8);
        const __m256i bHi = _mm256_srli_epi16(
            _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), _mm256_sub_epi16(k256, aHi)),
                             _mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), aHi)),
            8);
        __m256i result = _mm256_or_si256(_mm256_packus_epi16(bLo, bHi), alphaMask);
        result = _mm256_blendv_epi8(result, s, opaque);
        result = _mm256_blendv_epi8(result, d, _mm256_cmpeq_epi32(sa, zero));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), result);
    }
    if (i < count)
        Blender::blendNormalScalar(dst + i, src + i, count - i, BlendLevels());
}

__attribute__((target("avx2"))) inline void blendNormalAvx2Kernel(uint32_t* dst, const uint32_t* src,
                                                                  int count, const BlendLevels& l) {
    if (l.alpha == 128 && l.colorsUnchanged()) {
        blendNeutralAvx2Kernel(dst, src, count);
        return;
    }
    const bool scale = !l.colorsUnchanged();
    const bool opaqueCovers = ((255 * l.alpha) >> 7) >= 255 && !scale;
    const __m256i alphaLevel16 = _mm256_set1_epi16(static_cast<short>(l.alpha));
    const short b = static_cast<short>(l.blue), g = static_cast<short>(l.green),
                r = static_cast<short>(l.red);
    const __m256i levels16 = _mm256_setr_epi16(b, g, r, 128, b, g, r, 128, b, g, r, 128, b, g, r, 128);
    const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const __m256i zero = _mm256_setzero_si256();
    const __m256i k254 = _mm256_set1_epi16(254);
    const __m256i k256 = _mm256_set1_epi16(256);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        __m256i sa = _mm256_and_si256(s, alphaMask);
        if (_mm256_testz_si256(sa, sa))
            continue;
        if (opaqueCovers &&
            static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi32(sa, alphaMask))) == 0xFFFFFFFFu) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), s);
            continue;
        }
        __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
        __m256i sLo = _mm256_unpacklo_epi8(s, zero);
        __m256i sHi = _mm256_unpackhi_epi8(s, zero);
        __m256i dLo = _mm256_unpacklo_epi8(d, zero);
        __m256i dHi = _mm256_unpackhi_epi8(d, zero);
        __m256i aLo = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(sLo, 0xFF), 0xFF);
        __m256i aHi = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(sHi, 0xFF), 0xFF);
        aLo = _mm256_srli_epi16(_mm256_mullo_epi16(aLo, alphaLevel16), 7);
        aHi = _mm256_srli_epi16(_mm256_mullo_epi16(aHi, alphaLevel16), 7);
        if (scale) {
            sLo = _mm256_srli_epi16(_mm256_mullo_epi16(sLo, levels16), 7);
            sHi = _mm256_srli_epi16(_mm256_mullo_epi16(sHi, levels16), 7);
        }
        __m256i bLo = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(dLo, _mm256_sub_epi16(k256, aLo)),
                                                         _mm256_mullo_epi16(sLo, aLo)),
                                        8);
        __m256i bHi = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(dHi, _mm256_sub_epi16(k256, aHi)),
                                                         _mm256_mullo_epi16(sHi, aHi)),
                                        8);
        __m256i fullLo = _mm256_cmpgt_epi16(aLo, k254);
        __m256i fullHi = _mm256_cmpgt_epi16(aHi, k254);
        bLo = _mm256_blendv_epi8(bLo, sLo, fullLo);
        bHi = _mm256_blendv_epi8(bHi, sHi, fullHi);
        __m256i result = _mm256_or_si256(_mm256_packus_epi16(bLo, bHi), alphaMask);
        __m256i keep = _mm256_packs_epi16(_mm256_cmpeq_epi16(aLo, zero), _mm256_cmpeq_epi16(aHi, zero));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_blendv_epi8(result, d, keep));
    }
    if (i < count)
        blendNormalSse2Kernel(dst + i, src + i, count - i, l);
}

// Additive blend. With a = source alpha x alpha level >> 7 the scalar rule adds (c x a >> 8) x level >> 7
// below full cover and c x level >> 7 at full cover; both are (c x a' >> 8) x level >> 7 with a' = a
// below 255 and a' = 256 from 255 on, so one formula serves every pixel. Each product stays below 2^16
// (255 x 256 at most), the sum saturates per byte exactly as min(255, d + add) does, and a = 0 keeps the
// target pixel, alpha byte included.
inline __m128i additive4(__m128i s, __m128i d, __m128i alphaLevel16, __m128i levels16, bool scale) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i k254 = _mm_set1_epi16(254);
    const __m128i k256 = _mm_set1_epi16(256);
    __m128i aLo = _mm_shufflehi_epi16(_mm_shufflelo_epi16(_mm_unpacklo_epi8(s, zero), 0xFF), 0xFF);
    __m128i aHi = _mm_shufflehi_epi16(_mm_shufflelo_epi16(_mm_unpackhi_epi8(s, zero), 0xFF), 0xFF);
    aLo = _mm_srli_epi16(_mm_mullo_epi16(aLo, alphaLevel16), 7);
    aHi = _mm_srli_epi16(_mm_mullo_epi16(aHi, alphaLevel16), 7);
    const __m128i keep = _mm_packs_epi16(_mm_cmpeq_epi16(aLo, zero), _mm_cmpeq_epi16(aHi, zero));
    aLo = select(_mm_cmpgt_epi16(aLo, k254), k256, aLo);
    aHi = select(_mm_cmpgt_epi16(aHi, k254), k256, aHi);
    // c x 256 in each 16-bit lane; the high half of its product with a' is c x a' >> 8.
    __m128i addLo = _mm_mulhi_epu16(_mm_unpacklo_epi8(zero, s), aLo);
    __m128i addHi = _mm_mulhi_epu16(_mm_unpackhi_epi8(zero, s), aHi);
    if (scale) {
        addLo = _mm_srli_epi16(_mm_mullo_epi16(addLo, levels16), 7);
        addHi = _mm_srli_epi16(_mm_mullo_epi16(addHi, levels16), 7);
    }
    const __m128i sum = _mm_or_si128(_mm_adds_epu8(d, _mm_packus_epi16(addLo, addHi)),
                                     _mm_set1_epi32(static_cast<int>(0xFF000000u)));
    return select(keep, d, sum);
}

// Neutral levels: a is the source alpha itself and the colour levels drop out. Opaque pixels (a' = 256)
// come out as d + c and transparent ones as d through the same arithmetic. The alpha byte must become
// 255 wherever the source's is not 0 and stay where it is: the AVX2 kernel multiplies min(source
// alpha, 1) x 256 by 0xFFFF, which gives 255 or 0, and adds it with saturation like the colours. With every
// pixel taking one path there are no branches to mispredict, which costs more than the skipped work saves.
inline void blendAdditiveNeutralSse2Kernel(uint32_t* dst, const uint32_t* src, int count) {
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i zero = _mm_setzero_si128();
    const __m128i k255 = _mm_set1_epi16(255);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        const __m128i sLo = _mm_unpacklo_epi8(s, zero);
        const __m128i sHi = _mm_unpackhi_epi8(s, zero);
        __m128i aLo = _mm_shufflehi_epi16(_mm_shufflelo_epi16(sLo, 0xFF), 0xFF);
        __m128i aHi = _mm_shufflehi_epi16(_mm_shufflelo_epi16(sHi, 0xFF), 0xFF);
        aLo = _mm_sub_epi16(aLo, _mm_cmpeq_epi16(aLo, k255));
        aHi = _mm_sub_epi16(aHi, _mm_cmpeq_epi16(aHi, k255));
        const __m128i add = _mm_packus_epi16(_mm_mulhi_epu16(_mm_slli_epi16(sLo, 8), aLo),
                                             _mm_mulhi_epu16(_mm_slli_epi16(sHi, 8), aHi));
        const __m128i written = _mm_andnot_si128(_mm_cmpeq_epi8(s, zero), alphaMask);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_or_si128(_mm_adds_epu8(d, add), written));
    }
    if (i < count)
        Blender::blendAdditiveScalar(dst + i, src + i, count - i, BlendLevels());
}

inline void blendAdditiveSse2Kernel(uint32_t* dst, const uint32_t* src, int count, const BlendLevels& l) {
    if (l.alpha == 128 && l.colorsUnchanged()) {
        blendAdditiveNeutralSse2Kernel(dst, src, count);
        return;
    }
    const bool scale = !l.colorsUnchanged();
    const __m128i alphaLevel16 = _mm_set1_epi16(static_cast<short>(l.alpha));
    const __m128i levels16 = _mm_setr_epi16(static_cast<short>(l.blue), static_cast<short>(l.green),
                                            static_cast<short>(l.red), 128, static_cast<short>(l.blue),
                                            static_cast<short>(l.green), static_cast<short>(l.red), 128);
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i zero = _mm_setzero_si128();
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i sa = _mm_and_si128(s, alphaMask);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(sa, zero)) == 0xFFFF)
            continue;
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), additive4(s, d, alphaLevel16, levels16, scale));
    }
    if (i < count)
        Blender::blendAdditiveScalar(dst + i, src + i, count - i, l);
}

__attribute__((target("avx2"))) inline void blendAdditiveNeutralAvx2Kernel(uint32_t* dst, const uint32_t* src,
                                                                           int count) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i k255 = _mm256_set1_epi32(255);
    const __m256i alphaWord = _mm256_set1_epi32(static_cast<int>(0xFFFF0000u));
    const __m256i alphaToOne = _mm256_set1_epi32(0x01FFFFFF);
    // Each pixel's word holds a' in its low half and 0xFFFF in its high half; the multipliers of pixels
    // 0 and 1 (low) or 2 and 3 (high) of each 128-bit lane are a' for the colour channels and 0xFFFF for
    // the alpha channel.
    const __m256i spreadLo = _mm256_setr_epi8(0, 1, 0, 1, 0, 1, 2, 3, 4, 5, 4, 5, 4, 5, 6, 7, 0, 1, 0, 1, 0,
                                              1, 2, 3, 4, 5, 4, 5, 4, 5, 6, 7);
    const __m256i spreadHi = _mm256_setr_epi8(8, 9, 8, 9, 8, 9, 10, 11, 12, 13, 12, 13, 12, 13, 14, 15, 8, 9,
                                              8, 9, 8, 9, 10, 11, 12, 13, 12, 13, 12, 13, 14, 15);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
        __m256i a = _mm256_srli_epi32(s, 24);
        a = _mm256_or_si256(_mm256_sub_epi32(a, _mm256_cmpeq_epi32(a, k255)), alphaWord);
        const __m256i c = _mm256_min_epu8(s, alphaToOne);
        const __m256i add = _mm256_packus_epi16(
            _mm256_mulhi_epu16(_mm256_unpacklo_epi8(zero, c), _mm256_shuffle_epi8(a, spreadLo)),
            _mm256_mulhi_epu16(_mm256_unpackhi_epi8(zero, c), _mm256_shuffle_epi8(a, spreadHi)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_adds_epu8(d, add));
    }
    if (i < count)
        blendAdditiveNeutralSse2Kernel(dst + i, src + i, count - i);
}

__attribute__((target("avx2"))) inline void blendAdditiveAvx2Kernel(uint32_t* dst, const uint32_t* src,
                                                                    int count, const BlendLevels& l) {
    if (l.alpha == 128 && l.colorsUnchanged()) {
        blendAdditiveNeutralAvx2Kernel(dst, src, count);
        return;
    }
    const bool scale = !l.colorsUnchanged();
    const __m256i alphaLevel16 = _mm256_set1_epi16(static_cast<short>(l.alpha));
    const short b = static_cast<short>(l.blue), g = static_cast<short>(l.green),
                r = static_cast<short>(l.red);
    const __m256i levels16 = _mm256_setr_epi16(b, g, r, 128, b, g, r, 128, b, g, r, 128, b, g, r, 128);
    const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const __m256i zero = _mm256_setzero_si256();
    const __m256i k254 = _mm256_set1_epi16(254);
    const __m256i k256 = _mm256_set1_epi16(256);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        const __m256i sa = _mm256_and_si256(s, alphaMask);
        if (_mm256_testz_si256(sa, sa))
            continue;
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
        __m256i aLo =
            _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(_mm256_unpacklo_epi8(s, zero), 0xFF), 0xFF);
        __m256i aHi =
            _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(_mm256_unpackhi_epi8(s, zero), 0xFF), 0xFF);
        aLo = _mm256_srli_epi16(_mm256_mullo_epi16(aLo, alphaLevel16), 7);
        aHi = _mm256_srli_epi16(_mm256_mullo_epi16(aHi, alphaLevel16), 7);
        const __m256i keep = _mm256_packs_epi16(_mm256_cmpeq_epi16(aLo, zero), _mm256_cmpeq_epi16(aHi, zero));
        aLo = _mm256_blendv_epi8(aLo, k256, _mm256_cmpgt_epi16(aLo, k254));
        aHi = _mm256_blendv_epi8(aHi, k256, _mm256_cmpgt_epi16(aHi, k254));
        __m256i addLo = _mm256_mulhi_epu16(_mm256_unpacklo_epi8(zero, s), aLo);
        __m256i addHi = _mm256_mulhi_epu16(_mm256_unpackhi_epi8(zero, s), aHi);
        if (scale) {
            addLo = _mm256_srli_epi16(_mm256_mullo_epi16(addLo, levels16), 7);
            addHi = _mm256_srli_epi16(_mm256_mullo_epi16(addHi, levels16), 7);
        }
        const __m256i sum =
            _mm256_or_si256(_mm256_adds_epu8(d, _mm256_packus_epi16(addLo, addHi)), alphaMask);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_blendv_epi8(sum, d, keep));
    }
    if (i < count)
        blendAdditiveSse2Kernel(dst + i, src + i, count - i, l);
}

// Whole blocks of rows, so that a draw picks its kernel once and the row loop runs around it inlined. The
// levels are copied first: pixel stores may alias a referenced BlendLevels, and with a local copy the
// compiler decides between the neutral and the general kernel once per block instead of once per row.
void blendNormalSse2Rows(uint32_t* dst, int dstStride, const uint32_t* src, int srcStride, int count,
                         int rows, const BlendLevels& levels) {
    const BlendLevels l = levels;
    for (int row = 0; row < rows; ++row, dst += dstStride, src += srcStride)
        blendNormalSse2Kernel(dst, src, count, l);
}

__attribute__((target("avx2"))) void blendNormalAvx2Rows(uint32_t* dst, int dstStride, const uint32_t* src,
                                                         int srcStride, int count, int rows,
                                                         const BlendLevels& levels) {
    const BlendLevels l = levels;
    for (int row = 0; row < rows; ++row, dst += dstStride, src += srcStride)
        blendNormalAvx2Kernel(dst, src, count, l);
}

void blendAdditiveSse2Rows(uint32_t* dst, int dstStride, const uint32_t* src, int srcStride, int count,
                           int rows, const BlendLevels& levels) {
    const BlendLevels l = levels;
    for (int row = 0; row < rows; ++row, dst += dstStride, src += srcStride)
        blendAdditiveSse2Kernel(dst, src, count, l);
}

__attribute__((target("avx2"))) void blendAdditiveAvx2Rows(uint32_t* dst, int dstStride, const uint32_t* src,
                                                           int srcStride, int count, int rows,
                                                           const BlendLevels& levels) {
    const BlendLevels l = levels;
    for (int row = 0; row < rows; ++row, dst += dstStride, src += srcStride)
        blendAdditiveAvx2Kernel(dst, src, count, l);
}

enum class Kind { kScalar, kSse2, kAvx2 };

Kind detectKind() {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2"))
        return Kind::kAvx2;
    return Kind::kSse2;
}

const Kind kKind = detectKind();

#endif

}  // namespace

BlendLevels Blender::clampLevels(int32_t alpha, int32_t red, int32_t green, int32_t blue) {
    BlendLevels l;
    l.alpha = clampLevel(alpha);
    l.red = clampLevel(red);
    l.green = clampLevel(green);
    l.blue = clampLevel(blue);
    return l;
}

void Blender::blendNormalScalar(uint32_t* dst, const uint32_t* src, int count, const BlendLevels& l) {
    const bool scale = !l.colorsUnchanged();
    for (int i = 0; i < count; ++i) {
        const uint32_t s = src[i];
        const int32_t a = static_cast<int32_t>(s >> 24) * l.alpha >> 7;
        if (a <= 0)
            continue;
        int32_t c[3] = {static_cast<int32_t>(channel(s, 16)), static_cast<int32_t>(channel(s, 8)),
                        static_cast<int32_t>(channel(s, 0))};
        if (scale) {
            c[0] = c[0] * l.red >> 7;
            c[1] = c[1] * l.green >> 7;
            c[2] = c[2] * l.blue >> 7;
        }
        uint32_t out = 0xFF000000u;
        if (a >= 255) {
            for (int k = 0; k < 3; ++k)
                out |= static_cast<uint32_t>(std::min(c[k], 255)) << (16 - 8 * k);
        } else {
            const uint32_t d = dst[i];
            for (int k = 0; k < 3; ++k) {
                const int32_t dc = static_cast<int32_t>(channel(d, 16 - 8 * k));
                const int32_t v = dc + ((c[k] - dc) * a >> 8);
                out |= static_cast<uint32_t>(std::min(v, 255)) << (16 - 8 * k);
            }
        }
        dst[i] = out;
    }
}

void Blender::blendAdditiveScalar(uint32_t* dst, const uint32_t* src, int count, const BlendLevels& l) {
    const bool scale = !l.colorsUnchanged();
    const int32_t level[3] = {l.red, l.green, l.blue};
    for (int i = 0; i < count; ++i) {
        const uint32_t s = src[i];
        const int32_t a = static_cast<int32_t>(s >> 24) * l.alpha >> 7;
        if (a <= 0)
            continue;
        const uint32_t d = dst[i];
        uint32_t out = 0xFF000000u;
        for (int k = 0; k < 3; ++k) {
            const int shift = 16 - 8 * k;
            const int32_t c = static_cast<int32_t>(channel(s, shift));
            const int32_t dc = static_cast<int32_t>(channel(d, shift));
            int32_t add;
            if (a >= 255) {
                add = scale ? c * level[k] >> 7 : c;
            } else {
                add = (c * a >> 8) * level[k] >> 7;
            }
            out |= static_cast<uint32_t>(std::min(dc + add, 255)) << shift;
        }
        dst[i] = out;
    }
}

void Blender::blendNormal(uint32_t* dst, int dstStride, const uint32_t* src, int srcStride, int count,
                          int rows, const BlendLevels& l) {
#ifdef LUMAROO_X86
    if (kKind == Kind::kAvx2) {
        blendNormalAvx2(dst, dstStride, src, srcStride, count, rows, l);
        return;
    }
#endif
    blendNormalSse2(dst, dstStride, src, srcStride, count, rows, l);
}

void Blender::blendNormalSse2(uint32_t* dst, int dstStride, const uint32_t* src, int srcStride, int count,
                              int rows, const BlendLevels& l) {
    if (l.alpha == 0 || count <= 0 || rows <= 0)
        return;
#ifdef LUMAROO_X86
    if (vectorEligible(l)) {
        blendNormalSse2Rows(dst, dstStride, src, srcStride, count, rows, l);
        return;
    }
#endif
    for (int row = 0; row < rows; ++row, dst += dstStride, src += srcStride)
        blendNormalScalar(dst, src, count, l);
}

void Blender::blendNormalAvx2(uint32_t* dst, int dstStride, const uint32_t* src, int srcStride, int count,
                              int rows, const BlendLevels& l) {
    if (l.alpha == 0 || count <= 0 || rows <= 0)
        return;
#ifdef LUMAROO_X86
    if (vectorEligible(l) && kKind == Kind::kAvx2) {
        blendNormalAvx2Rows(dst, dstStride, src, srcStride, count, rows, l);
        return;
    }
#endif
    for (int row = 0; row < rows; ++row, dst += dstStride, src += srcStride)
        blendNormalScalar(dst, src, count, l);
}

void Blender::blendAdditive(uint32_t* dst, int dstStride, const uint32_t* src, int srcStride, int count,
                            int rows, const BlendLevels& l) {
#ifdef LUMAROO_X86
    if (kKind == Kind::kAvx2) {
        blendAdditiveAvx2(dst, dstStride, src, srcStride, count, rows, l);
        return;
    }
#endif
    blendAdditiveSse2(dst, dstStride, src, srcStride, count, rows, l);
}

void Blender::blendAdditiveSse2(uint32_t* dst, int dstStride, const uint32_t* src, int srcStride, int count,
                                int rows, const BlendLevels& l) {
    if (l.alpha == 0 || count <= 0 || rows <= 0)
        return;
#ifdef LUMAROO_X86
    if (vectorEligible(l)) {
        blendAdditiveSse2Rows(dst, dstStride, src, srcStride, count, rows, l);
        return;
    }
#endif
    for (int row = 0; row < rows; ++row, dst += dstStride, src += srcStride)
        blendAdditiveScalar(dst, src, count, l);
}

void Blender::blendAdditiveAvx2(uint32_t* dst, int dstStride, const uint32_t* src, int srcStride, int count,
                                int rows, const BlendLevels& l) {
    if (l.alpha == 0 || count <= 0 || rows <= 0)
        return;
#ifdef LUMAROO_X86
    if (vectorEligible(l) && kKind == Kind::kAvx2) {
        blendAdditiveAvx2Rows(dst, dstStride, src, srcStride, count, rows, l);
        return;
    }
#endif
    for (int row = 0; row < rows; ++row, dst += dstStride, src += srcStride)
        blendAdditiveScalar(dst, src, count, l);
}

void Blender::fillBlendScalar(uint32_t* dst, int count, uint32_t argb) {
    const int32_t a = static_cast<int32_t>(argb >> 24);
    if (a == 0)
        return;
    if (a == 255) {
        fill(dst, count, argb);
        return;
    }
    const int32_t c[3] = {static_cast<int32_t>(channel(argb, 16)), static_cast<int32_t>(channel(argb, 8)),
                          static_cast<int32_t>(channel(argb, 0))};
    for (int i = 0; i < count; ++i) {
        const uint32_t d = dst[i];
        uint32_t out = 0xFF000000u;
        for (int k = 0; k < 3; ++k) {
            const int32_t dc = static_cast<int32_t>(channel(d, 16 - 8 * k));
            out |= static_cast<uint32_t>(dc + ((c[k] - dc) * a >> 8)) << (16 - 8 * k);
        }
        dst[i] = out;
    }
}

void Blender::fillBlend(uint32_t* dst, int count, uint32_t argb) {
    const uint32_t a = argb >> 24;
    if (a == 0 || count <= 0)
        return;
    if (a == 255) {
        fill(dst, count, argb);
        return;
    }
#ifdef LUMAROO_X86
    // The same blend with a constant source: (d x (256 - a) + c x a) >> 8 per channel.
    const __m128i zero = _mm_setzero_si128();
    const __m128i color16 = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(argb)), zero);
    const __m128i ca = _mm_mullo_epi16(color16, _mm_set1_epi16(static_cast<short>(a)));
    const __m128i inverse = _mm_set1_epi16(static_cast<short>(256 - a));
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        __m128i lo =
            _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), inverse), ca), 8);
        __m128i hi =
            _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), inverse), ca), 8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i),
                         _mm_or_si128(_mm_packus_epi16(lo, hi), alphaMask));
    }
    if (i < count)
        fillBlendScalar(dst + i, count - i, argb);
#else
    fillBlendScalar(dst, count, argb);
#endif
}

#ifdef LUMAROO_X86
namespace {
__attribute__((target("avx2"))) void fillAvx2(uint32_t* dst, int count, uint32_t value) {
    const __m256i v = _mm256_set1_epi32(static_cast<int>(value));
    int i = 0;
    for (; i + 32 <= count; i += 32) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), v);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i + 8), v);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i + 16), v);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i + 24), v);
    }
    for (; i + 8 <= count; i += 8)
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), v);
    for (; i < count; ++i)
        dst[i] = value;
}
}  // namespace
#endif

void Blender::fill(uint32_t* dst, int count, uint32_t value) {
    if (count <= 0)
        return;
    // A value of four equal bytes (black, white, transparent) is a plain memset, the fastest store.
    if ((value & 0xFFu) * 0x01010101u == value) {
        std::memset(dst, static_cast<int>(value & 0xFFu), static_cast<size_t>(count) * sizeof(uint32_t));
        return;
    }
#ifdef LUMAROO_X86
    if (kKind == Kind::kAvx2) {
        fillAvx2(dst, count, value);
        return;
    }
    const __m128i v = _mm_set1_epi32(static_cast<int>(value));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), v);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i + 4), v);
    }
    for (; i < count; ++i)
        dst[i] = value;
#else
    std::fill_n(dst, count, value);
#endif
}

const char* Blender::vectorKind() {
#ifdef LUMAROO_X86
    return kKind == Kind::kAvx2 ? "avx2" : "sse2";
#else
    return "scalar";
#endif
}

}  // namespace window
