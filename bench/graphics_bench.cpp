// Speed of software drawing and decoding, side by side with the references: the normal blend of
// 64x64 sprites against pixman's OVER, our GIF decoder against giflib, opaque copies and fills
// against memcpy and memset.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include <gif_lib.h>
#include <pixman.h>

#include "lang/Ref.h"
#include "window/Blender.h"
#include "window/GraphicsI.h"
#include "window/ImageDecoder.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kSprite = 64;
constexpr int kSpritesPerRound = 256;

// A round sprite: opaque inside, a soft edge and a translucent band, transparent corners.
std::vector<uint32_t> spritePixels() {
    std::vector<uint32_t> pixels(kSprite * kSprite);
    std::mt19937 rng(1);
    for (int y = 0; y < kSprite; ++y) {
        for (int x = 0; x < kSprite; ++x) {
            const double r = std::hypot(x - 31.5, y - 31.5);
            int alpha = r < 24 ? 255 : r < 32 ? static_cast<int>(255 * (32 - r) / 8) : 0;
            if (r > 12 && r < 16)
                alpha = 160;
            const uint32_t rgb = rng() & 0xFFFFFFu;
            pixels[y * kSprite + x] = (static_cast<uint32_t>(alpha) << 24) | rgb;
        }
    }
    return pixels;
}

std::vector<std::pair<int, int>> positions() {
    std::mt19937 rng(2);
    std::vector<std::pair<int, int>> at;
    for (int i = 0; i < kSpritesPerRound; ++i) {
        at.emplace_back(static_cast<int>(rng() % (kWidth - kSprite)),
                        static_cast<int>(rng() % (kHeight - kSprite)));
    }
    return at;
}

void BM_SpriteBlend_Ours(benchmark::State& state) {
    auto target = lang::make<window::Image>(kWidth, kHeight);
    std::fill_n(target->getPixels(), kWidth * kHeight, 0xFF204060u);
    auto sprite = lang::make<window::Image>(kSprite, kSprite);
    const std::vector<uint32_t> pixels = spritePixels();
    std::memcpy(sprite->getPixels(), pixels.data(), pixels.size() * 4);
    sprite->setHasAlpha(true);
    lang::Ref<window::Graphics> g = lang::adopt(target->getGraphics());
    const auto at = positions();
    for (auto _ : state) {
        for (auto [x, y] : at)
            g->drawImage(sprite.get(), x, y);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kSpritesPerRound * kSprite * kSprite);
    state.SetLabel(window::Blender::vectorKind());
}
BENCHMARK(BM_SpriteBlend_Ours);

// The SSE2 kernel alone, for processors without AVX2: the same sprites, row by row.
void BM_SpriteBlend_OursSse2Kernel(benchmark::State& state) {
    std::vector<uint32_t> target(kWidth * kHeight, 0xFF204060u);
    const std::vector<uint32_t> pixels = spritePixels();
    const auto at = positions();
    const window::BlendLevels neutral;
    for (auto _ : state) {
        for (auto [x, y] : at) {
            for (int row = 0; row < kSprite; ++row) {
                window::Blender::blendNormalSse2(&target[(y + row) * kWidth + x], &pixels[row * kSprite],
                                                 kSprite, neutral);
            }
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kSpritesPerRound * kSprite * kSprite);
}
BENCHMARK(BM_SpriteBlend_OursSse2Kernel);

void BM_SpriteBlend_PixmanOver(benchmark::State& state) {
    std::vector<uint32_t> targetPixels(kWidth * kHeight, 0xFF204060u);
    std::vector<uint32_t> pixels = spritePixels();
    // pixman blends premultiplied colours.
    for (uint32_t& p : pixels) {
        const uint32_t a = p >> 24;
        const uint32_t r = ((p >> 16) & 0xFF) * a / 255, g = ((p >> 8) & 0xFF) * a / 255,
                       b = (p & 0xFF) * a / 255;
        p = (a << 24) | (r << 16) | (g << 8) | b;
    }
    pixman_image_t* dst =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, targetPixels.data(), kWidth * 4);
    pixman_image_t* src =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, kSprite, kSprite, pixels.data(), kSprite * 4);
    const auto at = positions();
    for (auto _ : state) {
        for (auto [x, y] : at) {
            pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, dst, 0, 0, 0, 0, x, y, kSprite, kSprite);
        }
        benchmark::ClobberMemory();
    }
    pixman_image_unref(src);
    pixman_image_unref(dst);
    state.SetItemsProcessed(state.iterations() * kSpritesPerRound * kSprite * kSprite);
}
BENCHMARK(BM_SpriteBlend_PixmanOver);

int writeToVector(GifFileType* gif, const GifByteType* bytes, int length) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), bytes, bytes + length);
    return length;
}

// An 800x600 picture of 256 colours: smooth shapes with dithering noise, as game art is.
const std::vector<uint8_t>& gifFile() {
    static const std::vector<uint8_t> file = [] {
        std::vector<uint8_t> out;
        int error = 0;
        GifFileType* gif = EGifOpen(&out, writeToVector, &error);
        EGifSetGifVersion(gif, true);
        std::vector<GifColorType> colors(256);
        for (int i = 0; i < 256; ++i) {
            colors[i] = {static_cast<GifByteType>(i), static_cast<GifByteType>(255 - i),
                         static_cast<GifByteType>(i * 7)};
        }
        ColorMapObject* map = GifMakeMapObject(256, colors.data());
        EGifPutScreenDesc(gif, kWidth, kHeight, 8, 0, map);
        EGifPutImageDesc(gif, 0, 0, kWidth, kHeight, false, nullptr);
        std::mt19937 rng(3);
        std::vector<GifPixelType> row(kWidth);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const double v = 128 + 60 * std::sin(x / 37.0) + 50 * std::cos(y / 23.0 + x / 91.0);
                row[x] =
                    static_cast<GifPixelType>((static_cast<int>(v) + static_cast<int>(rng() % 3)) & 0xFF);
            }
            EGifPutLine(gif, row.data(), kWidth);
        }
        EGifCloseFile(gif, &error);
        GifFreeMapObject(map);
        return out;
    }();
    return file;
}

void BM_GifDecode_Ours(benchmark::State& state) {
    const std::vector<uint8_t>& file = gifFile();
    for (auto _ : state) {
        window::DecodedImage image;
        window::ImageDecoder::decodeGif(file.data(), file.size(), image);
        benchmark::DoNotOptimize(image.pixels.get());
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
    state.counters["file_bytes"] = static_cast<double>(file.size());
}
BENCHMARK(BM_GifDecode_Ours);

struct Reader {
    const std::vector<uint8_t>* file;
    size_t pos;
};

int readFromVector(GifFileType* gif, GifByteType* bytes, int length) {
    auto* reader = static_cast<Reader*>(gif->UserData);
    const size_t n = std::min(static_cast<size_t>(length), reader->file->size() - reader->pos);
    std::memcpy(bytes, reader->file->data() + reader->pos, n);
    reader->pos += n;
    return static_cast<int>(n);
}

// giflib's decode of the same file; with `toArgb` its indices are also turned into 0xAARRGGBB pixels,
// the output our decoder produces.
void giflibDecode(benchmark::State& state, bool toArgb) {
    const std::vector<uint8_t>& file = gifFile();
    std::vector<uint32_t> pixels(kWidth * kHeight);
    for (auto _ : state) {
        Reader reader{&file, 0};
        int error = 0;
        GifFileType* gif = DGifOpen(&reader, readFromVector, &error);
        DGifSlurp(gif);
        if (toArgb) {
            uint32_t colors[256];
            for (int i = 0; i < 256; ++i) {
                const GifColorType& c = gif->SColorMap->Colors[i];
                colors[i] = 0xFF000000u | (uint32_t{c.Red} << 16) | (uint32_t{c.Green} << 8) | c.Blue;
            }
            const GifByteType* raster = gif->SavedImages[0].RasterBits;
            for (int i = 0; i < kWidth * kHeight; ++i)
                pixels[i] = colors[raster[i]];
            benchmark::DoNotOptimize(pixels.data());
        }
        DGifCloseFile(gif, &error);
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}

void BM_GifDecode_Giflib(benchmark::State& state) {
    giflibDecode(state, false);
}
BENCHMARK(BM_GifDecode_Giflib);

void BM_GifDecode_GiflibToArgb(benchmark::State& state) {
    giflibDecode(state, true);
}
BENCHMARK(BM_GifDecode_GiflibToArgb);

void BM_OpaqueCopy_Ours(benchmark::State& state) {
    auto target = lang::make<window::Image>(kWidth, kHeight);
    auto source = lang::make<window::Image>(kWidth, kHeight);
    std::fill_n(source->getPixels(), kWidth * kHeight, 0xFF336699u);
    lang::Ref<window::Graphics> g = lang::adopt(target->getGraphics());
    for (auto _ : state) {
        g->drawImage(source.get(), 0, 0);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}
BENCHMARK(BM_OpaqueCopy_Ours);

void BM_OpaqueCopy_Memcpy(benchmark::State& state) {
    std::vector<uint32_t> target(kWidth * kHeight), source(kWidth * kHeight, 0xFF336699u);
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), target.size() * 4);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}
BENCHMARK(BM_OpaqueCopy_Memcpy);

void BM_OpaqueFill_Ours(benchmark::State& state) {
    auto target = lang::make<window::Image>(kWidth, kHeight);
    lang::Ref<window::Graphics> g = lang::adopt(target->getGraphics());
    for (auto _ : state) {
        g->fillRectColor(0, 0, kWidth, kHeight, 0xFF336699u);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}
BENCHMARK(BM_OpaqueFill_Ours);

void BM_OpaqueFill_Memset(benchmark::State& state) {
    std::vector<uint32_t> target(kWidth * kHeight);
    for (auto _ : state) {
        std::memset(target.data(), 0x33, target.size() * 4);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}
BENCHMARK(BM_OpaqueFill_Memset);

}  // namespace
