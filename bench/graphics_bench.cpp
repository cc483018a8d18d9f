// Speed of software drawing and decoding, side by side with the references: the normal and additive
// blends of 64x64 sprites against pixman's OVER and ADD (and ADD doing the additive mode's own work),
// sprite-sized and whole-frame opaque copies
// against pixman's SRC and memcpy, fills against memset, text drawing, and our GIF decoder against
// giflib on a synthetic picture and on sprite sheets made the way game art is saved (interlaced,
// transparent, with local colour tables).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include <gif_lib.h>
#include <pixman.h>

#include "lang/Ref.h"
#include "window/Blender.h"
#include "window/Font.h"
#include "window/GraphicsI.h"
#include "window/ImageDecoder.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kSprite = 64;
constexpr int kSpritesPerRound = 256;

// The machines these run on are shared, so a repeated run (--benchmark_repetitions) reports its fastest
// repetition too: the least disturbed one, and the figure to compare side by side.
double fastest(const std::vector<double>& times) {
    return *std::min_element(times.begin(), times.end());
}

#define SPRITE_BENCHMARK(name) BENCHMARK(name)->ComputeStatistics("min", fastest)

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

// pixman blends premultiplied colours.
std::vector<uint32_t> premultiplied(std::vector<uint32_t> pixels) {
    for (uint32_t& p : pixels) {
        const uint32_t a = p >> 24;
        const uint32_t r = ((p >> 16) & 0xFF) * a / 255, g = ((p >> 8) & 0xFF) * a / 255,
                       b = (p & 0xFF) * a / 255;
        p = (a << 24) | (r << 16) | (g << 8) | b;
    }
    return pixels;
}

// pixman composing the sprite onto the frame at every position with one operator.
void pixmanSprites(benchmark::State& state, pixman_op_t op, std::vector<uint32_t> pixels) {
    std::vector<uint32_t> targetPixels(kWidth * kHeight, 0xFF204060u);
    pixman_image_t* dst =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, targetPixels.data(), kWidth * 4);
    pixman_image_t* src =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, kSprite, kSprite, pixels.data(), kSprite * 4);
    const auto at = positions();
    for (auto _ : state) {
        for (auto [x, y] : at)
            pixman_image_composite32(op, src, nullptr, dst, 0, 0, 0, 0, x, y, kSprite, kSprite);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(src);
    pixman_image_unref(dst);
    state.SetItemsProcessed(state.iterations() * kSpritesPerRound * kSprite * kSprite);
}

void BM_SpriteBlend_PixmanOver(benchmark::State& state) {
    pixmanSprites(state, PIXMAN_OP_OVER, premultiplied(spritePixels()));
}
SPRITE_BENCHMARK(BM_SpriteBlend_PixmanOver);

// Our sprites drawn through an image context, as the canvas draws them.
void drawSprites(benchmark::State& state, int mode, const std::vector<uint32_t>& pixels, bool hasAlpha) {
    auto target = lang::make<window::Image>(kWidth, kHeight);
    std::fill_n(target->getPixels(), kWidth * kHeight, 0xFF204060u);
    auto sprite = lang::make<window::Image>(kSprite, kSprite);
    std::memcpy(sprite->getPixels(), pixels.data(), pixels.size() * 4);
    sprite->setHasAlpha(hasAlpha);
    lang::Ref<window::Graphics> g = lang::adopt(target->getGraphics());
    g->setDrawMode(mode);
    const auto at = positions();
    for (auto _ : state) {
        for (auto [x, y] : at)
            g->drawImage(sprite.get(), x, y);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kSpritesPerRound * kSprite * kSprite);
    state.SetLabel(window::Blender::vectorKind());
}

// One version of a blend alone over the same sprites, a sprite a call as drawing makes them.
using BlendVersion = void (*)(uint32_t*, int, const uint32_t*, int, int, int, const window::BlendLevels&);

void kernelSprites(benchmark::State& state, BlendVersion blend) {
    std::vector<uint32_t> target(kWidth * kHeight, 0xFF204060u);
    const std::vector<uint32_t> pixels = spritePixels();
    const auto at = positions();
    const window::BlendLevels neutral;
    for (auto _ : state) {
        for (auto [x, y] : at)
            blend(&target[y * kWidth + x], kWidth, pixels.data(), kSprite, kSprite, kSprite, neutral);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kSpritesPerRound * kSprite * kSprite);
}

// The scalar reference, row by row.
void scalarSprites(benchmark::State& state,
                   void (*blend)(uint32_t*, const uint32_t*, int, const window::BlendLevels&)) {
    std::vector<uint32_t> target(kWidth * kHeight, 0xFF204060u);
    const std::vector<uint32_t> pixels = spritePixels();
    const auto at = positions();
    const window::BlendLevels neutral;
    for (auto _ : state) {
        for (auto [x, y] : at) {
            for (int row = 0; row < kSprite; ++row)
                blend(&target[(y + row) * kWidth + x], &pixels[row * kSprite], kSprite, neutral);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kSpritesPerRound * kSprite * kSprite);
}

void BM_SpriteBlend_Ours(benchmark::State& state) {
    drawSprites(state, window::Graphics::kNormalMode, spritePixels(), true);
}
SPRITE_BENCHMARK(BM_SpriteBlend_Ours);

// The SSE2 kernel alone, for processors without AVX2.
void BM_SpriteBlend_OursSse2Kernel(benchmark::State& state) {
    kernelSprites(state, window::Blender::blendNormalSse2);
}
SPRITE_BENCHMARK(BM_SpriteBlend_OursSse2Kernel);

void BM_SpriteAdd_Ours(benchmark::State& state) {
    drawSprites(state, window::Graphics::kAdditiveMode, spritePixels(), true);
}
SPRITE_BENCHMARK(BM_SpriteAdd_Ours);

void BM_SpriteAdd_OursSse2Kernel(benchmark::State& state) {
    kernelSprites(state, window::Blender::blendAdditiveSse2);
}
SPRITE_BENCHMARK(BM_SpriteAdd_OursSse2Kernel);

void BM_SpriteAdd_OursAvx2Kernel(benchmark::State& state) {
    kernelSprites(state, window::Blender::blendAdditiveAvx2);
}
SPRITE_BENCHMARK(BM_SpriteAdd_OursAvx2Kernel);

// The plain reference the vector kernels are checked against (what every processor ran before them).
void BM_SpriteAdd_OursScalarKernel(benchmark::State& state) {
    scalarSprites(state, window::Blender::blendAdditiveScalar);
}
SPRITE_BENCHMARK(BM_SpriteAdd_OursScalarKernel);

void BM_SpriteAdd_PixmanAdd(benchmark::State& state) {
    pixmanSprites(state, PIXMAN_OP_ADD, premultiplied(spritePixels()));
}
SPRITE_BENCHMARK(BM_SpriteAdd_PixmanAdd);

// The work the additive mode does, in pixman's terms: our pixels are not premultiplied, so each colour is
// weighted by its alpha before it is added. pixman does that with the sprite read as opaque colours
// (x8r8g8b8) through itself as the mask (its alpha channel). The plain ADD above gets the weighting done
// ahead of time, in the premultiplied copy it is handed; this one is the like-for-like comparison.
void BM_SpriteAdd_PixmanAddStraight(benchmark::State& state) {
    std::vector<uint32_t> pixels = spritePixels();
    std::vector<uint32_t> targetPixels(kWidth * kHeight, 0xFF204060u);
    pixman_image_t* dst =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, targetPixels.data(), kWidth * 4);
    pixman_image_t* colors =
        pixman_image_create_bits(PIXMAN_x8r8g8b8, kSprite, kSprite, pixels.data(), kSprite * 4);
    pixman_image_t* alphas =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, kSprite, kSprite, pixels.data(), kSprite * 4);
    const auto at = positions();
    for (auto _ : state) {
        for (auto [x, y] : at)
            pixman_image_composite32(PIXMAN_OP_ADD, colors, alphas, dst, 0, 0, 0, 0, x, y, kSprite, kSprite);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(alphas);
    pixman_image_unref(colors);
    pixman_image_unref(dst);
    state.SetItemsProcessed(state.iterations() * kSpritesPerRound * kSprite * kSprite);
}
SPRITE_BENCHMARK(BM_SpriteAdd_PixmanAddStraight);

// An opaque 64x64 sprite (a tile, a board piece without edges): copied, not blended.
std::vector<uint32_t> opaqueSpritePixels() {
    std::vector<uint32_t> pixels = spritePixels();
    for (uint32_t& p : pixels)
        p |= 0xFF000000u;
    return pixels;
}

void BM_SpriteCopy_Ours(benchmark::State& state) {
    drawSprites(state, window::Graphics::kNormalMode, opaqueSpritePixels(), false);
}
SPRITE_BENCHMARK(BM_SpriteCopy_Ours);

void BM_SpriteCopy_PixmanSrc(benchmark::State& state) {
    pixmanSprites(state, PIXMAN_OP_SRC, opaqueSpritePixels());
}
SPRITE_BENCHMARK(BM_SpriteCopy_PixmanSrc);

void BM_SpriteCopy_Memcpy(benchmark::State& state) {
    std::vector<uint32_t> target(kWidth * kHeight, 0xFF204060u);
    const std::vector<uint32_t> pixels = opaqueSpritePixels();
    const auto at = positions();
    for (auto _ : state) {
        for (auto [x, y] : at) {
            for (int row = 0; row < kSprite; ++row)
                std::memcpy(&target[(y + row) * kWidth + x], &pixels[row * kSprite], kSprite * 4);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kSpritesPerRound * kSprite * kSprite);
}
SPRITE_BENCHMARK(BM_SpriteCopy_Memcpy);

// A line of status text, as the game's labels draw it, 64 times a round at different places.
void BM_DrawString(benchmark::State& state) {
    auto target = lang::make<window::Image>(kWidth, kHeight);
    std::fill_n(target->getPixels(), kWidth * kHeight, 0xFF204060u);
    lang::Ref<window::Graphics> g = lang::adopt(target->getGraphics());
    auto font = lang::make<window::Font>("Arial", 14);
    g->setFont(font.get());
    g->setColor(0xFFEE88u);
    const lang::String text("Level 12   Score 123,456");
    for (auto _ : state) {
        for (int i = 0; i < 64; ++i)
            g->drawString(text, (i * 37) % 600, (i * 53) % 560);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 64);
}
BENCHMARK(BM_DrawString);

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

// Sprite sheets saved the way game art is: 8 x 4 frames of 64x64 shaded pieces on a transparent
// background, in the forms a paint program writes (global table, transparent with a local table,
// and that again interlaced).
struct SheetKind {
    const char* label;
    bool transparent;
    bool localTable;
    bool interlaced;
};

const SheetKind kSheets[] = {
    {"global table", false, false, false},
    {"transparent, local table", true, true, false},
    {"interlaced, transparent, local table", true, true, true},
};

constexpr int kSheetWidth = 512;
constexpr int kSheetHeight = 256;

std::vector<uint8_t> sheetGif(const SheetKind& kind) {
    std::vector<uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeToVector, &error);
    EGifSetGifVersion(gif, true);
    std::vector<GifColorType> colors(64);
    for (int i = 0; i < 64; ++i) {
        colors[i] = {static_cast<GifByteType>(40 + i * 3), static_cast<GifByteType>(200 - i * 2),
                     static_cast<GifByteType>((i * 37) & 0xFF)};
    }
    ColorMapObject* map = GifMakeMapObject(64, colors.data());
    EGifPutScreenDesc(gif, kSheetWidth, kSheetHeight, 6, 0, kind.localTable ? nullptr : map);
    if (kind.transparent) {
        const GifByteType control[4] = {0x01, 0, 0, 0};  // transparent index 0
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
    }
    EGifPutImageDesc(gif, 0, 0, kSheetWidth, kSheetHeight, kind.interlaced, kind.localTable ? map : nullptr);
    std::mt19937 rng(4);
    std::vector<std::vector<GifPixelType>> rows(kSheetHeight, std::vector<GifPixelType>(kSheetWidth));
    for (int y = 0; y < kSheetHeight; ++y) {
        for (int x = 0; x < kSheetWidth; ++x) {
            const double r = std::hypot(x % 64 - 31.5, y % 64 - 31.5);
            const int shade = 1 + static_cast<int>(r * 2 + (x / 64) * 5 + (y / 64) * 3 + rng() % 2) % 63;
            rows[y][x] = static_cast<GifPixelType>(r < 28 ? shade : 0);
        }
    }
    // An interlaced file holds its rows in four passes.
    static const int kStart[] = {0, 4, 2, 1};
    static const int kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < (kind.interlaced ? 4 : 1); ++pass) {
        const int start = kind.interlaced ? kStart[pass] : 0;
        const int step = kind.interlaced ? kStep[pass] : 1;
        for (int y = start; y < kSheetHeight; y += step)
            EGifPutLine(gif, rows[y].data(), kSheetWidth);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

// giflib's decode of a sheet (it puts interlaced rows in place itself) and the turn of its indices into
// 0xAARRGGBB pixels through the image's own table and transparent index.
void giflibSheetPixels(const std::vector<uint8_t>& file, std::vector<uint32_t>& pixels) {
    Reader reader{&file, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, readFromVector, &error);
    DGifSlurp(gif);
    const SavedImage& image = gif->SavedImages[0];
    const ColorMapObject* map =
        image.ImageDesc.ColorMap != nullptr ? image.ImageDesc.ColorMap : gif->SColorMap;
    GraphicsControlBlock control;
    int transparent = -1;
    if (DGifSavedExtensionToGCB(gif, 0, &control) == GIF_OK)
        transparent = control.TransparentColor;
    uint32_t colors[256] = {};
    for (int i = 0; i < map->ColorCount; ++i) {
        const GifColorType& c = map->Colors[i];
        colors[i] = 0xFF000000u | (uint32_t{c.Red} << 16) | (uint32_t{c.Green} << 8) | c.Blue;
    }
    if (transparent >= 0)
        colors[transparent] = 0;
    for (int i = 0; i < kSheetWidth * kSheetHeight; ++i)
        pixels[i] = colors[image.RasterBits[i]];
    DGifCloseFile(gif, &error);
}

void BM_GifDecodeSheet_Ours(benchmark::State& state) {
    const SheetKind& kind = kSheets[state.range(0)];
    const std::vector<uint8_t> file = sheetGif(kind);
    // Timing a decoder that reads the file wrongly would mean nothing: check it against giflib first.
    std::vector<uint32_t> reference(kSheetWidth * kSheetHeight);
    giflibSheetPixels(file, reference);
    window::DecodedImage first;
    if (!window::ImageDecoder::decodeGif(file.data(), file.size(), first) ||
        !std::equal(reference.begin(), reference.end(), first.pixels.get())) {
        state.SkipWithError("our decoder disagrees with giflib on this sheet");
        return;
    }
    for (auto _ : state) {
        window::DecodedImage image;
        window::ImageDecoder::decodeGif(file.data(), file.size(), image);
        benchmark::DoNotOptimize(image.pixels.get());
    }
    state.SetBytesProcessed(state.iterations() * kSheetWidth * kSheetHeight * 4);
    state.SetLabel(kind.label);
}
BENCHMARK(BM_GifDecodeSheet_Ours)->DenseRange(0, 2);

void BM_GifDecodeSheet_GiflibToArgb(benchmark::State& state) {
    const SheetKind& kind = kSheets[state.range(0)];
    const std::vector<uint8_t> file = sheetGif(kind);
    std::vector<uint32_t> pixels(kSheetWidth * kSheetHeight);
    for (auto _ : state) {
        giflibSheetPixels(file, pixels);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetBytesProcessed(state.iterations() * kSheetWidth * kSheetHeight * 4);
    state.SetLabel(kind.label);
}
BENCHMARK(BM_GifDecodeSheet_GiflibToArgb)->DenseRange(0, 2);

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
