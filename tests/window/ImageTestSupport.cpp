// Helpers of the image tests: reference encoders (giflib, libpng, libjpeg) and giflib's decoding.
#include "ImageTestSupport.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <stdexcept>

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>

namespace imagetest {

namespace {

int writeToVector(GifFileType* gif, const GifByteType* bytes, int length) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), bytes, bytes + length);
    return length;
}

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

ColorMapObject* makeMap(const std::vector<uint32_t>& colors) {
    std::vector<GifColorType> entries(colors.size());
    for (size_t i = 0; i < colors.size(); ++i) {
        entries[i].Red = static_cast<GifByteType>(colors[i] >> 16);
        entries[i].Green = static_cast<GifByteType>(colors[i] >> 8);
        entries[i].Blue = static_cast<GifByteType>(colors[i]);
    }
    return GifMakeMapObject(static_cast<int>(colors.size()), entries.data());
}

void check(int result, const char* what) {
    if (result != GIF_OK)
        throw std::runtime_error(std::string("giflib: ") + what);
}

}  // namespace

std::vector<uint8_t> writeGif(const GifPicture& picture) {
    std::vector<uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeToVector, &error);
    if (gif == nullptr)
        throw std::runtime_error("EGifOpen");
    EGifSetGifVersion(gif, true);
    ColorMapObject* global = picture.globalColors.empty() ? nullptr : makeMap(picture.globalColors);
    check(EGifPutScreenDesc(gif, picture.screenWidth, picture.screenHeight, 8, 0, global), "screen");
    GifFreeMapObject(global);
    if (picture.looping) {
        check(EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE), "leader");
        check(EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0"), "netscape");
        const unsigned char loop[3] = {1, 0, 0};
        check(EGifPutExtensionBlock(gif, 3, loop), "loop");
        check(EGifPutExtensionTrailer(gif), "trailer");
    }
    for (const GifFrame& frame : picture.frames) {
        if (frame.transparent >= 0) {
            const unsigned char gce[4] = {1, 0, 0, static_cast<unsigned char>(frame.transparent)};
            check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, gce), "gce");
        }
        ColorMapObject* local = frame.localColors.empty() ? nullptr : makeMap(frame.localColors);
        check(
            EGifPutImageDesc(gif, frame.left, frame.top, frame.width, frame.height, frame.interlaced, local),
            "descriptor");
        GifFreeMapObject(local);
        std::vector<int> order;
        if (frame.interlaced) {
            const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass) {
                for (int y = start[pass]; y < frame.height; y += step[pass])
                    order.push_back(y);
            }
        } else {
            for (int y = 0; y < frame.height; ++y)
                order.push_back(y);
        }
        for (int y : order) {
            std::vector<GifPixelType> row(
                frame.indices.begin() + static_cast<ptrdiff_t>(y) * frame.width,
                frame.indices.begin() + static_cast<ptrdiff_t>(y + 1) * frame.width);
            check(EGifPutLine(gif, row.data(), frame.width), "line");
        }
    }
    if (EGifCloseFile(gif, &error) != GIF_OK)
        throw std::runtime_error("EGifCloseFile");
    return out;
}

std::vector<uint32_t> giflibPixels(const std::vector<uint8_t>& file, int& width, int& height) {
    Reader reader{&file, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, readFromVector, &error);
    if (gif == nullptr)
        return {};
    std::vector<uint32_t> pixels;
    if (DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0) {
        const SavedImage& image = gif->SavedImages[0];
        const ColorMapObject* map =
            image.ImageDesc.ColorMap != nullptr ? image.ImageDesc.ColorMap : gif->SColorMap;
        uint32_t colors[256];
        for (int i = 0; i < 256; ++i)
            colors[i] = 0xFF000000u;
        for (int i = 0; map != nullptr && i < map->ColorCount; ++i) {
            colors[i] = 0xFF000000u | (uint32_t{map->Colors[i].Red} << 16) |
                        (uint32_t{map->Colors[i].Green} << 8) | map->Colors[i].Blue;
        }
        GraphicsControlBlock gcb;
        if (DGifSavedExtensionToGCB(gif, 0, &gcb) == GIF_OK && gcb.TransparentColor >= 0) {
            colors[gcb.TransparentColor] = 0;
        }
        width = gif->SWidth;
        height = gif->SHeight;
        pixels.assign(static_cast<size_t>(width) * height, colors[0]);
        const GifImageDesc& d = image.ImageDesc;
        for (int y = 0; y < d.Height; ++y) {
            for (int x = 0; x < d.Width; ++x) {
                const int sx = d.Left + x, sy = d.Top + y;
                if (sx >= width || sy >= height)
                    continue;
                pixels[static_cast<size_t>(sy) * width + sx] =
                    colors[image.RasterBits[static_cast<size_t>(y) * d.Width + x]];
            }
        }
    }
    DGifCloseFile(gif, &error);
    return pixels;
}

std::vector<uint8_t> writePng(const std::vector<uint32_t>& argb, int width, int height, bool alpha) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    std::vector<uint8_t> raw;
    for (uint32_t p : argb) {
        raw.push_back(static_cast<uint8_t>(p >> 16));
        raw.push_back(static_cast<uint8_t>(p >> 8));
        raw.push_back(static_cast<uint8_t>(p));
        if (alpha)
            raw.push_back(static_cast<uint8_t>(p >> 24));
    }
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, raw.data(), 0, nullptr)) {
        throw std::runtime_error("png size");
    }
    std::vector<uint8_t> out(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, raw.data(), 0, nullptr)) {
        throw std::runtime_error("png write");
    }
    out.resize(size);
    return out;
}

namespace {
void pngWrite(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}
void pngFlush(png_structp) {}
}  // namespace

std::vector<uint8_t> writePngKind(const std::vector<uint32_t>& argb, int width, int height, int colorType,
                                  int bitDepth, bool interlaced, bool withTrns) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("png write failed");
    }
    png_set_write_fn(png, &out, pngWrite, pngFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), bitDepth,
                 colorType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::map<uint32_t, int> paletteIndex;
    std::vector<png_color> palette;
    std::vector<png_byte> alphas;
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        for (uint32_t p : argb) {
            if (paletteIndex.count(p))
                continue;
            paletteIndex[p] = static_cast<int>(palette.size());
            palette.push_back(
                {static_cast<png_byte>(p >> 16), static_cast<png_byte>(p >> 8), static_cast<png_byte>(p)});
            alphas.push_back(static_cast<png_byte>(p >> 24));
        }
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
        if (withTrns)
            png_set_tRNS(png, info, alphas.data(), static_cast<int>(alphas.size()), nullptr);
    } else if (withTrns) {
        // The first pixel's colour is the transparent one.
        png_color_16 key{};
        const uint32_t p = argb[0];
        const int scale = bitDepth == 16 ? 257 : 1;
        key.red = static_cast<png_uint_16>(((p >> 16) & 0xFF) * scale);
        key.green = static_cast<png_uint_16>(((p >> 8) & 0xFF) * scale);
        key.blue = static_cast<png_uint_16>((p & 0xFF) * scale);
        key.gray = key.green;
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    png_write_info(png, info);
    const int passes = png_set_interlace_handling(png);
    std::vector<std::vector<png_byte>> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        std::vector<png_byte>& row = rows[static_cast<size_t>(y)];
        for (int x = 0; x < width; ++x) {
            const uint32_t p = argb[static_cast<size_t>(y) * width + x];
            auto put = [&](int v) {
                if (bitDepth == 16) {
                    const int wide = v * 257;
                    row.push_back(static_cast<png_byte>(wide >> 8));  // PNG samples are big-endian
                    row.push_back(static_cast<png_byte>(wide & 0xFF));
                } else {
                    row.push_back(static_cast<png_byte>(v));
                }
            };
            switch (colorType) {
                case PNG_COLOR_TYPE_PALETTE:
                    row.push_back(static_cast<png_byte>(paletteIndex[p]));
                    break;
                case PNG_COLOR_TYPE_GRAY:
                    put((p >> 8) & 0xFF);
                    break;
                case PNG_COLOR_TYPE_GRAY_ALPHA:
                    put((p >> 8) & 0xFF);
                    put(p >> 24);
                    break;
                case PNG_COLOR_TYPE_RGB:
                    put((p >> 16) & 0xFF);
                    put((p >> 8) & 0xFF);
                    put(p & 0xFF);
                    break;
                default:
                    put((p >> 16) & 0xFF);
                    put((p >> 8) & 0xFF);
                    put(p & 0xFF);
                    put(p >> 24);
                    break;
            }
        }
    }
    for (int pass = 0; pass < passes; ++pass) {
        for (auto& row : rows)
            png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<uint8_t> writeJpeg(const std::vector<uint32_t>& argb, int width, int height, int quality,
                               bool progressive) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        for (int x = 0; x < width; ++x) {
            const uint32_t p = argb[static_cast<size_t>(cinfo.next_scanline) * width + x];
            row[3 * x] = static_cast<unsigned char>(p >> 16);
            row[3 * x + 1] = static_cast<unsigned char>(p >> 8);
            row[3 * x + 2] = static_cast<unsigned char>(p);
        }
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&cinfo, &pointer, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

const testsupport::TempFolder& tempFolder() {
    static const testsupport::TempFolder folder;
    return folder;
}

std::string writeTempFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    return tempFolder().write(name,
                              std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace imagetest
