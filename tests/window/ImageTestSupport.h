// Helpers of the image tests: GIF, PNG and JPEG files written in memory by the reference libraries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"

namespace imagetest {

// A GIF to write with giflib: a logical screen, optional global table, one or more frames.
struct GifFrame {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    std::vector<uint32_t> localColors;  // empty: use the global table (0xRRGGBB, power-of-two count)
    int transparent = -1;               // written in a graphic control extension before the frame
    std::vector<uint8_t> indices;       // width x height, rows top to bottom
};

struct GifPicture {
    int screenWidth = 0, screenHeight = 0;
    std::vector<uint32_t> globalColors;  // empty: no global table
    bool looping = false;
    std::vector<GifFrame> frames;
};

std::vector<uint8_t> writeGif(const GifPicture& picture);
// giflib's reading of a GIF turned into 0xAARRGGBB screen pixels by the rules our decoder follows
// (first frame, transparent index to 0, uncovered screen shows index 0). Empty when giflib fails.
std::vector<uint32_t> giflibPixels(const std::vector<uint8_t>& file, int& width, int& height);

// PNG of 8-bit RGBA (or RGB when !alpha) pixels, written by libpng's simplified writer.
std::vector<uint8_t> writePng(const std::vector<uint32_t>& argb, int width, int height, bool alpha);
// PNG of the given colour type and bit depth through libpng's full writer (palette, grey, 16-bit,
// interlace, tRNS); pixels are produced from argb by the writer's conversion rules in the helper.
std::vector<uint8_t> writePngKind(const std::vector<uint32_t>& argb, int width, int height, int colorType,
                                  int bitDepth, bool interlaced, bool withTrns);
std::vector<uint8_t> writeJpeg(const std::vector<uint32_t>& argb, int width, int height, int quality,
                               bool progressive = false);

// The folder writeTempFile writes into: one for the test process, removed when it ends.
const testsupport::TempFolder& tempFolder();
// Writes bytes to a file of that name in tempFolder(); returns its path.
std::string writeTempFile(const std::string& name, const std::vector<uint8_t>& bytes);

}  // namespace imagetest
