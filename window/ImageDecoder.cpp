// Picks the decoder for a byte stream by its first bytes.
#include "window/ImageDecoder.h"

#include <cstring>

#include <png.h>

#include "window/Image.h"

namespace window {

bool ImageDecoder::sizeAccepted(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= Image::kMaxDimension && height <= Image::kMaxDimension &&
           width * height <= Image::kMaxPixels;
}

bool ImageDecoder::decode(const uint8_t* data, size_t size, DecodedImage& out) {
    if (size >= 6 && (std::memcmp(data, "GIF89a", 6) == 0 || std::memcmp(data, "GIF87a", 6) == 0)) {
        return decodeGif(data, size, out);
    }
    if (size >= 8 && png_sig_cmp(data, 0, 8) == 0)
        return decodePng(data, size, out);
    return decodeJpeg(data, size, out);
}

}  // namespace window
