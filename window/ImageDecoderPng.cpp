// PNG decoding through libpng: palette, grey, 16-bit, tRNS and interlaced images all become 8-bit
// 0xAARRGGBB pixels. Samples are taken as stored (no gamma conversion), so a picture reads the same
// whatever bit depth or colour type it was saved with.
#include <bit>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include <png.h>

#include "window/ImageDecoder.h"

namespace window {

namespace {

struct PngState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t pos = 0;
    uint32_t* pixels = nullptr;
    png_bytep* rows = nullptr;
    int width = 0;
    int height = 0;
    bool alpha = false;
    char message[200] = {};
};

void onError(png_structp png, png_const_charp message) {
    auto* s = static_cast<PngState*>(png_get_error_ptr(png));
    std::snprintf(s->message, sizeof s->message, "%s", message);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void readBytes(png_structp png, png_bytep out, png_size_t length) {
    auto* s = static_cast<PngState*>(png_get_io_ptr(png));
    if (length > s->size - s->pos) {
        std::snprintf(s->message, sizeof s->message, "data truncated at byte %zu", s->size);
        png_longjmp(png, 1);
    }
    std::memcpy(out, s->data + s->pos, length);
    s->pos += length;
}

// 0 on success, 1 when libpng gave up (message in s.message), 2 when the picture is too large.
int runDecoder(PngState& s) {
    if (setjmp(png_jmpbuf(s.png)))
        return 1;
    png_set_read_fn(s.png, &s, readBytes);
    png_read_info(s.png, s.info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colorType = 0;
    png_get_IHDR(s.png, s.info, &width, &height, &depth, &colorType, nullptr, nullptr, nullptr);
    if (!ImageDecoder::sizeAccepted(width, height)) {
        std::snprintf(s.message, sizeof s.message, "%ux%u", static_cast<unsigned>(width),
                      static_cast<unsigned>(height));
        return 2;
    }
    const bool trns = png_get_valid(s.png, s.info, PNG_INFO_tRNS) != 0;
    s.alpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0 || trns;

    // Everything to 8-bit B, G, R, A bytes: one native 0xAARRGGBB word per pixel.
    png_set_expand(s.png);  // palette to RGB, grey below 8 bits to 8, tRNS to an alpha channel
    if (depth == 16)
        png_set_scale_16(s.png);
    if (!(colorType & PNG_COLOR_MASK_COLOR))
        png_set_gray_to_rgb(s.png);
    if (!s.alpha)
        png_set_filler(s.png, 0xFF, PNG_FILLER_AFTER);
    if (std::endian::native == std::endian::little) {
        png_set_bgr(s.png);
    } else {
        png_set_swap_alpha(s.png);
    }
    png_set_interlace_handling(s.png);
    png_read_update_info(s.png, s.info);
    if (png_get_rowbytes(s.png, s.info) != static_cast<size_t>(width) * 4) {
        std::snprintf(s.message, sizeof s.message, "unsupported pixel layout");
        return 1;
    }
    s.width = static_cast<int>(width);
    s.height = static_cast<int>(height);
    s.pixels = new (std::nothrow) uint32_t[static_cast<size_t>(width) * height];
    s.rows = new (std::nothrow) png_bytep[height];
    if (s.pixels == nullptr || s.rows == nullptr) {
        std::snprintf(s.message, sizeof s.message, "out of memory");
        return 1;
    }
    for (png_uint_32 y = 0; y < height; ++y) {
        s.rows[y] = reinterpret_cast<png_bytep>(s.pixels + static_cast<size_t>(y) * width);
    }
    png_read_image(s.png, s.rows);
    return 0;
}

}  // namespace

bool ImageDecoder::decodePng(const uint8_t* data, size_t size, DecodedImage& out) {
    out = DecodedImage();
    auto* s = new PngState;
    s->data = data;
    s->size = size;
    s->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, s, onError, onWarning);
    if (s->png != nullptr)
        s->info = png_create_info_struct(s->png);
    int result = 1;
    if (s->png == nullptr || s->info == nullptr) {
        std::snprintf(s->message, sizeof s->message, "cannot start libpng");
    } else {
        // Hostile files may declare huge chunks: keep libpng's own limits on what it buffers.
        png_set_chunk_malloc_max(s->png, 16u << 20);
        result = runDecoder(*s);
    }
    png_destroy_read_struct(&s->png, &s->info, nullptr);
    bool ok = false;
    if (result == 0) {
        out.pixels.reset(s->pixels);
        s->pixels = nullptr;
        out.width = s->width;
        out.height = s->height;
        out.hasAlpha = s->alpha;
        ok = true;
    } else if (result == 2) {
        out.fail(std::string("PNG too large: ") + s->message);
    } else {
        out.fail(std::string("PNG: ") + s->message);
    }
    delete[] s->pixels;
    delete[] s->rows;
    delete s;
    return ok;
}

}  // namespace window
