// Styled glyphs for the bitmap fonts and number strips: FreeType coverage with fill, outline and shadow.
#pragma once

#include <memory>
#include <string>

#include "tools/ArtImage.h"

namespace art {

// How a glyph is dressed: a vertical fill gradient, an outline of `outline` pixels and a soft shadow.
struct GlyphStyle {
    Rgba top{255, 255, 255, 255};
    Rgba bottom{255, 255, 255, 255};
    Rgba outlineColour{0, 0, 0, 255};
    int outline = 0;
    Rgba shadowColour{0, 0, 0, 150};
    int shadowX = 0, shadowY = 0;
};

// One rendered glyph: a picture with the padding of outline and shadow, placed relative to the pen.
struct StyledGlyph {
    ArtImage picture;  // empty for blank characters
    int left = 0;      // picture's left edge relative to the pen
    int top = 0;       // picture's top edge relative to the line's top
    int advance = 0;   // pen advance, whole pixels
};

class GlyphText {
public:
    // Opens the face that fontconfig resolves for `pattern` ("DejaVu Serif:bold") at `pixelSize`.
    GlyphText(const std::string& pattern, int pixelSize);
    ~GlyphText();
    GlyphText(const GlyphText&) = delete;
    GlyphText& operator=(const GlyphText&) = delete;

    int ascent() const;
    int lineHeight() const;  // ascent + descent of the face at this size
    bool hasGlyph(char32_t codePoint) const;
    StyledGlyph render(char32_t codePoint, const GlyphStyle& style) const;
    // A whole string (UTF-32) laid out on one line, picture trimmed to the line box plus padding.
    ArtImage renderLine(const std::u32string& text, const GlyphStyle& style, int letterSpacing = 0) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Frees fontconfig's process-wide configuration; call once no GlyphText is left and nothing else in the
// process (librsvg's text layout uses fontconfig too) will look up a face again.
void releaseFontLibrary();

}  // namespace art
