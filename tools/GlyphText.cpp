// FreeType glyph rendering with fontconfig face lookup, dressed with gradient fill, outline and shadow.
#include "tools/GlyphText.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <vector>

namespace art {

struct GlyphText::Impl {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    int ascent = 0;
    int descent = 0;
};

namespace {

std::string findFontFile(const std::string& pattern) {
    FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(pattern.c_str()));
    if (pat == nullptr)
        throw ArtError("font '" + pattern + "': pattern does not parse");
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pat, &result);
    FcPatternDestroy(pat);
    if (match == nullptr)
        throw ArtError("font '" + pattern + "': no face found");
    FcChar8* file = nullptr;
    std::string path;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
        path = reinterpret_cast<char*>(file);
    FcPatternDestroy(match);
    if (path.empty())
        throw ArtError("font '" + pattern + "': face has no file");
    return path;
}

// Grows a coverage map by `radius` pixels (a disc), for outlines.
std::vector<float> dilate(const std::vector<float>& cov, int w, int h, int radius) {
    if (radius <= 0)
        return cov;
    std::vector<float> out(cov.size(), 0.0f);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            float best = 0.0f;
            for (int dy = -radius; dy <= radius; ++dy) {
                int yy = y + dy;
                if (yy < 0 || yy >= h)
                    continue;
                for (int dx = -radius; dx <= radius; ++dx) {
                    int xx = x + dx;
                    if (xx < 0 || xx >= w)
                        continue;
                    float d = std::sqrt(static_cast<float>(dx * dx + dy * dy));
                    float weight = std::clamp(radius + 0.5f - d, 0.0f, 1.0f);
                    best = std::max(best, cov[static_cast<size_t>(yy) * w + xx] * weight);
                }
            }
            out[static_cast<size_t>(y) * w + x] = best;
        }
    }
    return out;
}

std::vector<float> boxBlur(const std::vector<float>& cov, int w, int h) {
    std::vector<float> out(cov.size(), 0.0f);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            float sum = 0.0f;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    int xx = x + dx, yy = y + dy;
                    if (xx >= 0 && xx < w && yy >= 0 && yy < h)
                        sum += cov[static_cast<size_t>(yy) * w + xx];
                }
            }
            out[static_cast<size_t>(y) * w + x] = sum / 9.0f;
        }
    }
    return out;
}

// Dresses a coverage map (placed with `pad` pixels of room around it) with shadow, outline and fill.
ArtImage dress(const std::vector<float>& cov, int w, int h, int lineTop, int lineHeight,
               const GlyphStyle& s) {
    std::vector<float> outline = dilate(cov, w, h, s.outline);
    std::vector<float> shadowBase = boxBlur(outline, w, h);
    ArtImage out(w, h);
    for (int y = 0; y < h; ++y) {
        float t = std::clamp((y - lineTop) / static_cast<float>(std::max(1, lineHeight)), 0.0f, 1.0f);
        Rgba fill{static_cast<uint8_t>(s.top.r + (s.bottom.r - s.top.r) * t),
                  static_cast<uint8_t>(s.top.g + (s.bottom.g - s.top.g) * t),
                  static_cast<uint8_t>(s.top.b + (s.bottom.b - s.top.b) * t), 255};
        for (int x = 0; x < w; ++x) {
            Rgba px{};
            int sx = x - s.shadowX, sy = y - s.shadowY;
            if ((s.shadowX != 0 || s.shadowY != 0) && sx >= 0 && sy >= 0 && sx < w && sy < h) {
                float a = shadowBase[static_cast<size_t>(sy) * w + sx] * s.shadowColour.a;
                px = Rgba{s.shadowColour.r, s.shadowColour.g, s.shadowColour.b,
                          static_cast<uint8_t>(std::clamp(a, 0.0f, 255.0f))};
            }
            float oa = outline[static_cast<size_t>(y) * w + x];
            if (s.outline > 0 && oa > 0.0f)
                blendPixel(px, s.outlineColour, oa);
            float fa = cov[static_cast<size_t>(y) * w + x];
            if (fa > 0.0f)
                blendPixel(px, fill, fa);
            out.at(x, y) = px;
        }
    }
    return out;
}

}  // namespace

GlyphText::GlyphText(const std::string& pattern, int pixelSize) : impl_(std::make_unique<Impl>()) {
    std::string file = findFontFile(pattern);
    if (FT_Init_FreeType(&impl_->library) != 0)
        throw ArtError("FreeType does not start");
    if (FT_New_Face(impl_->library, file.c_str(), 0, &impl_->face) != 0) {
        FT_Done_FreeType(impl_->library);
        throw ArtError(file + ": not a readable font face");
    }
    FT_Set_Pixel_Sizes(impl_->face, 0, static_cast<FT_UInt>(pixelSize));
    impl_->ascent = static_cast<int>((impl_->face->size->metrics.ascender + 63) >> 6);
    impl_->descent = static_cast<int>((-impl_->face->size->metrics.descender + 63) >> 6);
}

GlyphText::~GlyphText() {
    FT_Done_Face(impl_->face);
    FT_Done_FreeType(impl_->library);
}

int GlyphText::ascent() const {
    return impl_->ascent;
}
int GlyphText::lineHeight() const {
    return impl_->ascent + impl_->descent;
}

bool GlyphText::hasGlyph(char32_t codePoint) const {
    return FT_Get_Char_Index(impl_->face, codePoint) != 0;
}

StyledGlyph GlyphText::render(char32_t codePoint, const GlyphStyle& style) const {
    FT_Face face = impl_->face;
    StyledGlyph glyph;
    if (FT_Load_Char(face, codePoint, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) {
        throw ArtError("glyph U+" + std::to_string(static_cast<unsigned>(codePoint)) + " does not render");
    }
    FT_GlyphSlot slot = face->glyph;
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.width == 0 || bm.rows == 0)
        return glyph;
    int pad = style.outline + std::max(std::abs(style.shadowX), std::abs(style.shadowY)) + 1;
    int w = static_cast<int>(bm.width) + 2 * pad;
    int h = static_cast<int>(bm.rows) + 2 * pad;
    std::vector<float> cov(static_cast<size_t>(w) * h, 0.0f);
    for (unsigned y = 0; y < bm.rows; ++y) {
        for (unsigned x = 0; x < bm.width; ++x) {
            cov[static_cast<size_t>(y + pad) * w + x + pad] = bm.buffer[y * bm.pitch + x] / 255.0f;
        }
    }
    int top = impl_->ascent - slot->bitmap_top - pad;
    glyph.picture = dress(cov, w, h, -top, lineHeight(), style);
    glyph.left = slot->bitmap_left - pad;
    glyph.top = top;
    return glyph;
}

ArtImage GlyphText::renderLine(const std::u32string& text, const GlyphStyle& style, int letterSpacing) const {
    FT_Face face = impl_->face;
    int pad = style.outline + std::max(std::abs(style.shadowX), std::abs(style.shadowY)) + 1;
    int width = 0;
    for (char32_t c : text) {
        if (FT_Load_Char(face, c, FT_LOAD_DEFAULT) != 0)
            continue;
        width += static_cast<int>((face->glyph->advance.x + 32) >> 6) + letterSpacing;
    }
    int w = std::max(1, width + 2 * pad + 4), h = lineHeight() + 2 * pad;
    std::vector<float> cov(static_cast<size_t>(w) * h, 0.0f);
    int pen = pad + 2;
    for (char32_t c : text) {
        if (FT_Load_Char(face, c, FT_LOAD_RENDER) != 0)
            continue;
        FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bm = slot->bitmap;
        int ox = pen + slot->bitmap_left, oy = pad + impl_->ascent - slot->bitmap_top;
        for (unsigned y = 0; y < bm.rows; ++y) {
            for (unsigned x = 0; x < bm.width; ++x) {
                int xx = ox + static_cast<int>(x), yy = oy + static_cast<int>(y);
                if (xx < 0 || yy < 0 || xx >= w || yy >= h)
                    continue;
                float& c2 = cov[static_cast<size_t>(yy) * w + xx];
                c2 = std::min(1.0f, c2 + bm.buffer[y * bm.pitch + x] / 255.0f);
            }
        }
        pen += static_cast<int>((slot->advance.x + 32) >> 6) + letterSpacing;
    }
    return dress(cov, w, h, pad, lineHeight(), style);
}

void releaseFontLibrary() {
    FcFini();
}

}  // namespace art
