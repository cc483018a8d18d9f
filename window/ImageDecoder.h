// window::ImageDecoder: turns GIF, PNG or JPEG bytes into 0xAARRGGBB pixels (internal to window/).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace window {

// The result of one decode: width x height pixels, rows top to bottom, or no pixels and an error.
struct DecodedImage {
    std::unique_ptr<uint32_t[]> pixels;
    int width = 0;
    int height = 0;
    bool hasAlpha = false;
    bool looping = false;  // GIF: a "NETSCAPE2.0" application block was seen
    std::string error;     // what was wrong, when there are no pixels
    std::string warning;   // what was wrong with a source that still gave pixels (a file cut short)

    bool fail(std::string message) {
        pixels.reset();
        width = height = 0;
        error = std::move(message);
        return false;
    }
};

// Each decoder returns true with pixels, or false with `error` set. None of them throws, reads past
// `size` bytes or accepts more than Image::kMaxPixels pixels.
class ImageDecoder {
public:
    // "GIF87a"/"GIF89a" to the GIF decoder, the PNG signature to libpng, anything else to libjpeg.
    static bool decode(const uint8_t* data, size_t size, DecodedImage& out);
    // Our own decoder: the first image only.
    static bool decodeGif(const uint8_t* data, size_t size, DecodedImage& out);
    static bool decodePng(const uint8_t* data, size_t size, DecodedImage& out);
    static bool decodeJpeg(const uint8_t* data, size_t size, DecodedImage& out);
    // True when the size is within the limits of Image.
    static bool sizeAccepted(int64_t width, int64_t height);
};

}  // namespace window
