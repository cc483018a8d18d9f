// ArtImage: a straight-alpha RGBA picture used by the content tools, with PNG and JPEG reading and writing.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace art {

// A failure of a content tool, with a message that names the file or entry and what was expected.
class ArtError : public std::runtime_error {
public:
    explicit ArtError(const std::string& message) : std::runtime_error(message) {}
};

// One pixel: red, green, blue and straight (not premultiplied) alpha.
struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 0;
};

// Draws the straight-alpha pixel `s` over `d` (source-over), `opacity` scaling the source alpha.
void blendPixel(Rgba& d, const Rgba& s, float opacity = 1.0f);

class ArtImage {
public:
    ArtImage() = default;
    ArtImage(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }
    Rgba& at(int x, int y) { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    const Rgba& at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    std::vector<Rgba>& pixels() { return pixels_; }
    const std::vector<Rgba>& pixels() const { return pixels_; }

    // Draws `src` with its alpha over this picture at (x, y), clipped to this picture.
    void blend(const ArtImage& src, int x, int y, float opacity = 1.0f);
    // Copies the rectangle (sx, sy, w, h) of `src` to (x, y), replacing pixels, clipped on both sides.
    void copyFrom(const ArtImage& src, int sx, int sy, int w, int h, int x, int y);
    void fill(Rgba colour);
    // True when some pixel is not fully opaque.
    bool hasTransparency() const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Rgba> pixels_;
};

// Writes 8-bit RGBA PNG (RGB when every pixel is opaque and `keepAlpha` is false).
void writePng(const ArtImage& image, const std::string& path, bool keepAlpha = true);
// Writes a baseline JPEG of the colour channels at the given quality (1-100).
void writeJpeg(const ArtImage& image, const std::string& path, int quality = 90);
// Reads a PNG or JPEG file (chosen by its signature); throws ArtError naming the file on any fault.
ArtImage readPicture(const std::string& path);
// Decodes PNG or JPEG bytes; `where` names the source in error messages.
ArtImage decodePicture(const std::vector<uint8_t>& bytes, const std::string& where);

std::vector<uint8_t> readFileBytes(const std::string& path);
void writeFileText(const std::string& path, const std::string& text);
std::string readFileText(const std::string& path);

}  // namespace art
