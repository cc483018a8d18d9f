// Fuzz harness: the image decoder dispatch (our GIF decoder, libpng, libjpeg) on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "window/ImageDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    window::DecodedImage image;
    if (window::ImageDecoder::decode(data, size, image)) {
        // The whole picture must be addressable: read its last pixel and a sample of the others (reading
        // every one would make large pictures the fuzzer's bottleneck).
        if (image.width <= 0 || image.height <= 0 || !image.pixels)
            std::abort();
        uint32_t sum = image.pixels[0];
        const size_t count = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
        for (size_t i = 0; i < count; i += 4093)
            sum += image.pixels[i];
        sum += image.pixels[count - 1];
        if (sum == 0x12345678u && image.hasAlpha && image.looping)
            return 1;
    } else if (image.error.empty() || image.pixels) {
        std::abort();
    }
    return 0;
}
