// JPEG decoding through libjpeg-turbo; its errors return here through setjmp/longjmp, never exit.
#include <bit>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include <jpeglib.h>

#include "window/ImageDecoder.h"

namespace window {

namespace {

// Progressive files may hold any number of scans; more than this is a hostile file that would only
// burn time.
constexpr int kMaxScans = 1000;

struct ErrorManager {
    jpeg_error_mgr base;
    jmp_buf escape;
    char message[JMSG_LENGTH_MAX];
};

void onError(j_common_ptr cinfo) {
    auto* errors = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, errors->message);
    longjmp(errors->escape, 1);
}

// Warnings (a truncated stream, a corrupt marker) are not printed; libjpeg goes on with what it has.
void onMessage(j_common_ptr, int) {}

struct ScanLimit {
    jpeg_progress_mgr base;
    j_decompress_ptr cinfo;
};

void onProgress(j_common_ptr cinfo) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxScans) {
        auto* errors = reinterpret_cast<ErrorManager*>(cinfo->err);
        std::snprintf(errors->message, sizeof errors->message, "more than %d scans", kMaxScans);
        longjmp(errors->escape, 1);
    }
}

// Everything that must survive a longjmp lives here, outside the frame that calls setjmp.
struct JpegState {
    jpeg_decompress_struct cinfo;
    ErrorManager errors;
    jpeg_progress_mgr progress;
    uint32_t* pixels = nullptr;
    uint8_t* row = nullptr;
    int width = 0;
    int height = 0;
};

// Returns 0 on success, 1 when libjpeg gave up (message in state.errors.message), 2 when too large.
int runDecoder(JpegState& s, const uint8_t* data, size_t size) {
    if (setjmp(s.errors.escape))
        return 1;
    jpeg_create_decompress(&s.cinfo);
    s.cinfo.progress = &s.progress;
    jpeg_mem_src(&s.cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&s.cinfo, TRUE);
    if (!ImageDecoder::sizeAccepted(s.cinfo.image_width, s.cinfo.image_height))
        return 2;
    const bool cmyk = s.cinfo.jpeg_color_space == JCS_CMYK || s.cinfo.jpeg_color_space == JCS_YCCK;
    if (cmyk) {
        s.cinfo.out_color_space = JCS_CMYK;
    } else {
        s.cinfo.out_color_space = std::endian::native == std::endian::little ? JCS_EXT_BGRA : JCS_EXT_ARGB;
    }
    jpeg_start_decompress(&s.cinfo);
    s.width = static_cast<int>(s.cinfo.output_width);
    s.height = static_cast<int>(s.cinfo.output_height);
    const size_t count = static_cast<size_t>(s.width) * static_cast<size_t>(s.height);
    s.pixels = new (std::nothrow) uint32_t[count];
    if (cmyk)
        s.row = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(s.width) * 4));
    if (s.pixels == nullptr || (cmyk && s.row == nullptr)) {
        std::snprintf(s.errors.message, sizeof s.errors.message, "out of memory");
        return 1;
    }
    while (s.cinfo.output_scanline < s.cinfo.output_height) {
        uint32_t* target =
            s.pixels + static_cast<size_t>(s.cinfo.output_scanline) * static_cast<size_t>(s.width);
        JSAMPROW rowPointer = cmyk ? s.row : reinterpret_cast<JSAMPROW>(target);
        if (jpeg_read_scanlines(&s.cinfo, &rowPointer, 1) != 1) {
            std::memset(target, 0, (count - static_cast<size_t>(target - s.pixels)) * sizeof(uint32_t));
            break;
        }
        if (cmyk) {
            // Adobe writes CMYK inverted: each byte already holds 255 - ink.
            for (int x = 0; x < s.width; ++x) {
                const uint8_t* p = s.row + 4 * x;
                const uint32_t k = p[3];
                target[x] =
                    0xFF000000u | ((p[0] * k / 255) << 16) | ((p[1] * k / 255) << 8) | (p[2] * k / 255);
            }
        }
    }
    jpeg_finish_decompress(&s.cinfo);
    return 0;
}

}  // namespace

bool ImageDecoder::decodeJpeg(const uint8_t* data, size_t size, DecodedImage& out) {
    out = DecodedImage();
    auto* s = new JpegState;
    std::memset(&s->cinfo, 0, sizeof s->cinfo);
    s->cinfo.err = jpeg_std_error(&s->errors.base);
    s->errors.base.error_exit = onError;
    s->errors.base.emit_message = onMessage;
    s->errors.message[0] = 0;
    std::memset(&s->progress, 0, sizeof s->progress);
    s->progress.progress_monitor = onProgress;
    const int result = runDecoder(*s, data, size);
    jpeg_destroy_decompress(&s->cinfo);
    std::free(s->row);
    bool ok = false;
    if (result == 0) {
        out.pixels.reset(s->pixels);
        s->pixels = nullptr;
        out.width = s->width;
        out.height = s->height;
        ok = true;
    } else if (result == 2) {
        out.fail("JPEG too large: " + std::to_string(s->cinfo.image_width) + "x" +
                 std::to_string(s->cinfo.image_height));
    } else {
        out.fail(std::string("JPEG: ") + s->errors.message);
    }
    delete[] s->pixels;
    delete s;
    return ok;
}

}  // namespace window
