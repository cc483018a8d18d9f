// ArtImage: pixel storage, blending and the PNG/JPEG codecs of the content tools (libpng, libjpeg).
#include "tools/ArtImage.h"

#include <jpeglib.h>
#include <png.h>
#include <setjmp.h>
#include <stdio.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

namespace art {

ArtImage::ArtImage(int width, int height) : width_(width), height_(height) {
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) {
        throw ArtError("picture size " + std::to_string(width) + "x" + std::to_string(height) +
                       " is outside 1..16384");
    }
    pixels_.assign(static_cast<size_t>(width) * height, Rgba{});
}

void blendPixel(Rgba& d, const Rgba& s, float opacity) {
    float sa = s.a / 255.0f * opacity;
    if (sa <= 0.0f)
        return;
    float da = d.a / 255.0f;
    float oa = sa + da * (1.0f - sa);
    auto mix = [&](uint8_t sc, uint8_t dc) {
        float v = (sc * sa + dc * da * (1.0f - sa)) / oa;
        return static_cast<uint8_t>(std::clamp(v + 0.5f, 0.0f, 255.0f));
    };
    d = Rgba{mix(s.r, d.r), mix(s.g, d.g), mix(s.b, d.b),
             static_cast<uint8_t>(std::clamp(oa * 255.0f + 0.5f, 0.0f, 255.0f))};
}

void ArtImage::blend(const ArtImage& src, int x, int y, float opacity) {
    int x0 = std::max(0, x), y0 = std::max(0, y);
    int x1 = std::min(width_, x + src.width()), y1 = std::min(height_, y + src.height());
    for (int ty = y0; ty < y1; ++ty) {
        for (int tx = x0; tx < x1; ++tx)
            blendPixel(at(tx, ty), src.at(tx - x, ty - y), opacity);
    }
}

void ArtImage::copyFrom(const ArtImage& src, int sx, int sy, int w, int h, int x, int y) {
    for (int j = 0; j < h; ++j) {
        int syy = sy + j, ty = y + j;
        if (syy < 0 || syy >= src.height() || ty < 0 || ty >= height_)
            continue;
        for (int i = 0; i < w; ++i) {
            int sxx = sx + i, tx = x + i;
            if (sxx < 0 || sxx >= src.width() || tx < 0 || tx >= width_)
                continue;
            at(tx, ty) = src.at(sxx, syy);
        }
    }
}

void ArtImage::fill(Rgba colour) {
    std::fill(pixels_.begin(), pixels_.end(), colour);
}

bool ArtImage::hasTransparency() const {
    return std::any_of(pixels_.begin(), pixels_.end(), [](const Rgba& p) { return p.a != 255; });
}

namespace {

struct FileCloser {
    void operator()(FILE* f) const {
        if (f != nullptr)
            fclose(f);
    }
};

void pngErrorToJmp(png_structp png, png_const_charp message) {
    auto* text = static_cast<std::string*>(png_get_error_ptr(png));
    if (text != nullptr)
        *text = message;
    png_longjmp(png, 1);
}

void pngWarningIgnored(png_structp, png_const_charp) {}

// Writes the rows with libpng's low-level interface; no gamma or colour-space chunk is written, so the
// bytes (the metrics tables of the bitmap fonts above all) are read back exactly as written.
bool writePngRows(FILE* file, int width, int height, bool alpha, png_bytep* rows, std::string& error) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, pngErrorToJmp, pngWarningIgnored);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, width, height, 8, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

struct JpegErrorManager {
    jpeg_error_mgr base;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void jpegErrorExit(j_common_ptr info) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    longjmp(manager->jump, 1);
}

// Decodes JPEG bytes into RGB rows; answers false and fills `error` on failure. Kept free of C++
// objects with destructors, because the library's errors come back through longjmp.
bool decodeJpegRaw(const uint8_t* data, size_t size, std::vector<uint8_t>& rgb, int& width, int& height,
                   std::string& error) {
    jpeg_decompress_struct info;
    JpegErrorManager manager;
    info.err = jpeg_std_error(&manager.base);
    manager.base.error_exit = jpegErrorExit;
    manager.base.output_message = [](j_common_ptr) {};  // warnings are counted below, not printed
    manager.message[0] = 0;
    if (setjmp(manager.jump)) {
        jpeg_destroy_decompress(&info);
        error = manager.message;
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    width = static_cast<int>(info.output_width);
    height = static_cast<int>(info.output_height);
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384 || info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        error = "unsupported size or colour layout";
        return false;
    }
    rgb.resize(static_cast<size_t>(width) * height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = rgb.data() + static_cast<size_t>(info.output_scanline) * width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    // The library only warns about data that ends early or is corrupt and fills in grey; a content
    // file must be whole.
    long warnings = manager.base.num_warnings;
    jpeg_destroy_decompress(&info);
    if (warnings > 0) {
        error = "the data ends early or is corrupt";
        return false;
    }
    return true;
}

bool encodeJpegRaw(FILE* file, const uint8_t* rgb, int width, int height, int quality, std::string& error) {
    jpeg_compress_struct info;
    JpegErrorManager manager;
    info.err = jpeg_std_error(&manager.base);
    manager.base.error_exit = jpegErrorExit;
    if (setjmp(manager.jump)) {
        jpeg_destroy_compress(&info);
        error = manager.message;
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(rgb + static_cast<size_t>(info.next_scanline) * width * 3);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

void writePng(const ArtImage& image, const std::string& path, bool keepAlpha) {
    bool alpha = keepAlpha || image.hasTransparency();
    int channels = alpha ? 4 : 3;
    std::vector<uint8_t> bytes(static_cast<size_t>(image.width()) * image.height() * channels);
    size_t k = 0;
    for (const Rgba& p : image.pixels()) {
        bytes[k++] = p.r;
        bytes[k++] = p.g;
        bytes[k++] = p.b;
        if (alpha)
            bytes[k++] = p.a;
    }
    std::vector<png_bytep> rows(image.height());
    for (int y = 0; y < image.height(); ++y) {
        rows[y] = bytes.data() + static_cast<size_t>(y) * image.width() * channels;
    }
    std::unique_ptr<FILE, FileCloser> file(fopen(path.c_str(), "wb"));
    if (!file)
        throw ArtError(path + ": cannot open for writing");
    std::string error;
    if (!writePngRows(file.get(), image.width(), image.height(), alpha, rows.data(), error)) {
        throw ArtError(path + ": PNG writing failed: " + error);
    }
    if (fflush(file.get()) != 0)
        throw ArtError(path + ": write failed");
}

void writeJpeg(const ArtImage& image, const std::string& path, int quality) {
    std::vector<uint8_t> rgb(static_cast<size_t>(image.width()) * image.height() * 3);
    size_t k = 0;
    for (const Rgba& p : image.pixels()) {
        rgb[k++] = p.r;
        rgb[k++] = p.g;
        rgb[k++] = p.b;
    }
    std::unique_ptr<FILE, FileCloser> file(fopen(path.c_str(), "wb"));
    if (!file)
        throw ArtError(path + ": cannot open for writing");
    std::string error;
    if (!encodeJpegRaw(file.get(), rgb.data(), image.width(), image.height(), quality, error)) {
        throw ArtError(path + ": JPEG writing failed: " + error);
    }
    if (fflush(file.get()) != 0)
        throw ArtError(path + ": write failed");
}

ArtImage decodePicture(const std::vector<uint8_t>& bytes, const std::string& where) {
    if (bytes.size() >= 8 && png_sig_cmp(bytes.data(), 0, 8) == 0) {
        png_image image;
        std::memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
            throw ArtError(where + ": not a readable PNG (" + image.message + ")");
        }
        image.format = PNG_FORMAT_RGBA;
        if (image.width == 0 || image.height == 0 || image.width > 16384 || image.height > 16384) {
            png_image_free(&image);
            throw ArtError(where + ": PNG size outside 1..16384");
        }
        ArtImage out(static_cast<int>(image.width), static_cast<int>(image.height));
        if (!png_image_finish_read(&image, nullptr, out.pixels().data(), 0, nullptr)) {
            std::string message = image.message;
            png_image_free(&image);
            throw ArtError(where + ": PNG data is damaged (" + message + ")");
        }
        return out;
    }
    if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) {
        std::vector<uint8_t> rgb;
        int width = 0, height = 0;
        std::string error;
        if (!decodeJpegRaw(bytes.data(), bytes.size(), rgb, width, height, error)) {
            throw ArtError(where + ": JPEG data is damaged (" + error + ")");
        }
        ArtImage out(width, height);
        for (size_t i = 0; i < out.pixels().size(); ++i) {
            out.pixels()[i] = Rgba{rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2], 255};
        }
        return out;
    }
    throw ArtError(where + ": expected a PNG or JPEG signature");
}

ArtImage readPicture(const std::string& path) {
    return decodePicture(readFileBytes(path), path);
}

std::vector<uint8_t> readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw ArtError(path + ": cannot open for reading");
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return bytes;
}

std::string readFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw ArtError(path + ": cannot open for reading");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFileText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    if (!out)
        throw ArtError(path + ": cannot open for writing");
    out << text;
    if (!out)
        throw ArtError(path + ": write failed");
}

}  // namespace art
