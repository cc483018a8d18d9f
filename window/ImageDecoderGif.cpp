// Our GIF decoder: header, extensions, colour tables, LZW image data and interlace, first image only.
#include <algorithm>
#include <cstring>
#include <vector>

#include "window/ImageDecoder.h"

namespace window {

namespace {

constexpr int kMaxCodes = 4096;

uint16_t read16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

// Reads a colour table of `entries` RGB triples into opaque 0xAARRGGBB colours.
void readTable(const uint8_t* p, int entries, uint32_t* colors) {
    for (int i = 0; i < entries; ++i, p += 3) {
        colors[i] = 0xFF000000u | (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
    }
}

// The LZW decoder. Strings are written straight into the output, back to front, from the prefix chain:
// each code also records its string's length and first byte, so that no output stack is needed on
// the common path.
class Lzw {
public:
    // Decodes `data` (the image's sub-blocks joined, followed by 8 zero bytes of padding) into out.
    // Returns the number of bytes written; decoding stops at the end code, at a code above the next
    // free code, at the end of the data or when out is full.
    size_t run(int minCodeSize, const uint8_t* data, size_t size, uint8_t* out, size_t outSize);

private:
    uint16_t prefix_[kMaxCodes];
    uint8_t suffix_[kMaxCodes];
    uint8_t first_[kMaxCodes];
    uint16_t length_[kMaxCodes];
    uint8_t stack_[kMaxCodes];
};

size_t Lzw::run(int minCodeSize, const uint8_t* data, size_t size, uint8_t* out, size_t outSize) {
    if (minCodeSize < 1 || minCodeSize > 8)
        return 0;
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    for (int i = 0; i < clear; ++i) {
        suffix_[i] = static_cast<uint8_t>(i);
        first_[i] = static_cast<uint8_t>(i);
        length_[i] = 1;
        prefix_[i] = 0;
    }
    int codeSize = minCodeSize + 1;
    int mask = (1 << codeSize) - 1;
    int next = clear + 2;
    int previous = -1;

    uint64_t bits = 0;
    int bitCount = 0;
    size_t pos = 0;
    size_t written = 0;

    while (written < outSize) {
        if (bitCount < codeSize) {
            if (pos + 8 <= size) {
                uint64_t word;
                std::memcpy(&word, data + pos, 8);
                bits |= word << bitCount;
                const int taken = (63 - bitCount) >> 3;
                pos += static_cast<size_t>(taken);
                bitCount += taken * 8;
            } else {
                while (bitCount < codeSize && pos < size) {
                    bits |= uint64_t{data[pos++]} << bitCount;
                    bitCount += 8;
                }
                if (bitCount < codeSize)
                    break;
            }
        }
        const int code = static_cast<int>(bits & static_cast<uint64_t>(mask));
        bits >>= codeSize;
        bitCount -= codeSize;

        if (code == clear) {
            codeSize = minCodeSize + 1;
            mask = (1 << codeSize) - 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code == end)
            break;
        if (previous < 0) {
            // The first code after a clear stands for itself; only a root code can.
            if (code > clear)
                break;
            out[written++] = static_cast<uint8_t>(code);
            previous = code;
            continue;
        }
        if (code > next)
            break;

        int length;
        uint8_t firstByte;
        int walk;
        if (code == next) {
            // Not in the table yet: the previous string followed by its own first byte.
            if (next >= kMaxCodes)
                break;
            length = length_[previous] + 1;
            firstByte = first_[previous];
            walk = previous;
        } else {
            length = length_[code];
            firstByte = first_[code];
            walk = code;
        }
        const size_t room = outSize - written;
        if (static_cast<size_t>(length) <= room) {
            uint8_t* p = out + written + length - 1;
            if (code == next)
                *p-- = firstByte;
            while (walk >= clear) {
                *p-- = suffix_[walk];
                walk = prefix_[walk];
            }
            *p = static_cast<uint8_t>(walk);
            written += static_cast<size_t>(length);
        } else {
            // The last string does not fit: spell it out and keep what does.
            int top = length;
            if (code == next)
                stack_[--top] = firstByte;
            while (walk >= clear) {
                stack_[--top] = suffix_[walk];
                walk = prefix_[walk];
            }
            stack_[--top] = static_cast<uint8_t>(walk);
            std::memcpy(out + written, stack_, room);
            written = outSize;
        }

        if (next < kMaxCodes) {
            prefix_[next] = static_cast<uint16_t>(previous);
            suffix_[next] = firstByte;
            first_[next] = first_[previous];
            length_[next] = static_cast<uint16_t>(length_[previous] + 1);
            ++next;
            if ((next & mask) == 0 && next < kMaxCodes) {
                ++codeSize;
                mask = (1 << codeSize) - 1;
            }
        }
        previous = code;
    }
    return written;
}

// The row of the image that the n-th stored row of an interlaced image belongs to: rows 0, 8, 16, ...;
// then 4, 12, ...; then 2, 6, ...; then 1, 3, 5, ....
void interlaceOrder(int height, std::vector<int>& rows) {
    rows.clear();
    rows.reserve(static_cast<size_t>(height));
    static const int kStart[4] = {0, 4, 2, 1};
    static const int kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = kStart[pass]; y < height; y += kStep[pass])
            rows.push_back(y);
    }
}

}  // namespace

bool ImageDecoder::decodeGif(const uint8_t* data, size_t size, DecodedImage& out) {
    out = DecodedImage();
    if (size < 13)
        return out.fail("GIF header truncated: expected 13 bytes, found " + std::to_string(size));
    if (std::memcmp(data, "GIF87a", 6) != 0 && std::memcmp(data, "GIF89a", 6) != 0) {
        return out.fail("not a GIF: expected \"GIF87a\" or \"GIF89a\" at byte 0");
    }
    const int screenWidth = read16(data + 6);
    const int screenHeight = read16(data + 8);
    const uint8_t screenFlags = data[10];
    size_t pos = 13;

    uint32_t globalColors[256];
    bool hasGlobal = false;
    if (screenFlags & 0x80) {
        const int entries = 2 << (screenFlags & 7);
        if (pos + 3 * static_cast<size_t>(entries) > size) {
            return out.fail("GIF global colour table truncated at byte " + std::to_string(pos));
        }
        readTable(data + pos, entries, globalColors);
        std::fill(globalColors + entries, globalColors + 256, 0xFF000000u);
        pos += 3 * static_cast<size_t>(entries);
        hasGlobal = true;
    }

    int transparent = -1;
    bool looping = false;
    // Blocks up to the first image descriptor.
    for (;;) {
        if (pos >= size)
            return out.fail("GIF has no image: data ends at byte " + std::to_string(pos));
        const uint8_t introducer = data[pos++];
        if (introducer == 0x2C)
            break;
        if (introducer != 0x21) {
            return out.fail("GIF has no image: block " + std::to_string(introducer) + " at byte " +
                            std::to_string(pos - 1) + " before any image descriptor");
        }
        if (pos >= size)
            return out.fail("GIF extension truncated at byte " + std::to_string(pos));
        const uint8_t label = data[pos++];
        bool firstBlock = true;
        for (;;) {
            if (pos >= size)
                return out.fail("GIF extension truncated at byte " + std::to_string(pos));
            const size_t length = data[pos++];
            if (length == 0)
                break;
            if (pos + length > size)
                return out.fail("GIF extension truncated at byte " + std::to_string(pos));
            const uint8_t* block = data + pos;
            if (firstBlock) {
                if (label == 0xFF && length == 11 && std::memcmp(block, "NETSCAPE2.0", 11) == 0)
                    looping = true;
                if (label == 0xF9 && length >= 4 && (block[0] & 1))
                    transparent = block[3];
            }
            firstBlock = false;
            pos += length;
        }
    }

    if (pos + 9 > size)
        return out.fail("GIF image descriptor truncated at byte " + std::to_string(pos));
    const int left = read16(data + pos);
    const int top = read16(data + pos + 2);
    const int frameWidth = read16(data + pos + 4);
    const int frameHeight = read16(data + pos + 6);
    const uint8_t frameFlags = data[pos + 8];
    pos += 9;

    uint32_t colors[256];
    if (frameFlags & 0x80) {
        const int entries = 2 << (frameFlags & 7);
        if (pos + 3 * static_cast<size_t>(entries) > size) {
            return out.fail("GIF local colour table truncated at byte " + std::to_string(pos));
        }
        readTable(data + pos, entries, colors);
        std::fill(colors + entries, colors + 256, 0xFF000000u);
        pos += 3 * static_cast<size_t>(entries);
    } else if (hasGlobal) {
        std::memcpy(colors, globalColors, sizeof colors);
    } else {
        return out.fail("GIF image has neither a local nor a global colour table");
    }
    if (transparent >= 0)
        colors[transparent] = 0;

    if (screenWidth == 0 || screenHeight == 0)
        return out.fail("GIF logical screen is empty");
    if (!sizeAccepted(screenWidth, screenHeight) || !sizeAccepted(frameWidth, frameHeight)) {
        return out.fail("GIF too large: " + std::to_string(screenWidth) + "x" + std::to_string(screenHeight));
    }

    // The image data: the minimum code size, then sub-blocks, joined into one buffer. A truncated file
    // keeps what its last sub-block still holds; the image is built from whatever decodes.
    std::vector<uint8_t> stream;
    int minCodeSize = 0;
    if (pos < size) {
        minCodeSize = data[pos++];
        size_t total = 0;
        for (size_t scan = pos; scan < size;) {
            const size_t length = data[scan++];
            if (length == 0)
                break;
            const size_t available = std::min(length, size - scan);
            total += available;
            scan += available;
        }
        stream.resize(total + 8);
        size_t filled = 0;
        bool terminated = false;
        while (pos < size) {
            const size_t length = data[pos++];
            if (length == 0) {
                terminated = true;
                break;
            }
            const size_t available = std::min(length, size - pos);
            std::memcpy(stream.data() + filled, data + pos, available);
            filled += available;
            pos += available;
        }
        if (!terminated)
            out.warning = "GIF image data truncated at byte " + std::to_string(size);
    } else {
        out.warning = "GIF image data missing after byte " + std::to_string(size);
    }

    const size_t framePixels = static_cast<size_t>(frameWidth) * static_cast<size_t>(frameHeight);
    std::unique_ptr<uint8_t[]> indices(new uint8_t[framePixels == 0 ? 1 : framePixels]);
    size_t decoded = 0;
    if (framePixels > 0 && !stream.empty()) {
        std::unique_ptr<Lzw> lzw(new Lzw);
        decoded = lzw->run(minCodeSize, stream.data(), stream.size() - 8, indices.get(), framePixels);
    }
    // What did not decode, and what the image does not cover, shows index 0.
    if (decoded < framePixels)
        std::memset(indices.get() + decoded, 0, framePixels - decoded);

    const size_t screenPixels = static_cast<size_t>(screenWidth) * static_cast<size_t>(screenHeight);
    std::unique_ptr<uint32_t[]> pixels(new uint32_t[screenPixels]);
    const bool covers = left == 0 && top == 0 && frameWidth >= screenWidth && frameHeight >= screenHeight;
    if (!covers)
        std::fill(pixels.get(), pixels.get() + screenPixels, colors[0]);

    // A frame reaching past the logical screen is cut at its edges.
    const int visibleWidth = std::max(0, std::min(frameWidth, screenWidth - left));
    std::vector<int> rows;
    if (frameFlags & 0x40)
        interlaceOrder(frameHeight, rows);
    for (int stored = 0; stored < frameHeight; ++stored) {
        const int y = top + (rows.empty() ? stored : rows[static_cast<size_t>(stored)]);
        if (y >= screenHeight || visibleWidth == 0)
            continue;
        const uint8_t* src = indices.get() + static_cast<size_t>(stored) * static_cast<size_t>(frameWidth);
        uint32_t* dst = pixels.get() + static_cast<size_t>(y) * static_cast<size_t>(screenWidth) + left;
        for (int x = 0; x < visibleWidth; ++x)
            dst[x] = colors[src[x]];
    }

    out.pixels = std::move(pixels);
    out.width = screenWidth;
    out.height = screenHeight;
    out.hasAlpha = transparent >= 0;
    out.looping = looping;
    return true;
}

}  // namespace window
