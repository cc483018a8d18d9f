// window::Font: a scalable font face found by name, with anti-aliased glyph outlines for text drawing.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "lang/String.h"

namespace window {

// One character's anti-aliased outline: grey levels 0 (none) to 64 (full), `rows` rows of `pitch`
// bytes (width rounded up to a multiple of 4). originX is the distance from the pen to the bitmap's
// left edge, originY the distance from the baseline up to its top row; cellIncX advances the pen.
struct GlyphOutline {
    static constexpr int kLevels = 65;

    int width = 0;
    int rows = 0;
    int pitch = 0;
    int originX = 0;
    int originY = 0;
    int cellIncX = 0;
    int cellIncY = 0;
    std::vector<uint8_t> levels;

    uint8_t at(int x, int y) const { return levels[static_cast<size_t>(y) * pitch + x]; }
};

// A font made from a face name: the name is resolved to an installed face ("Arial" to a metric
// twin such as Liberation Sans; a name nothing matches to DejaVu Sans). Text is Windows-1252 and is
// turned into Unicode only here. Fonts may be used from any thread. Fonts of one name, size and weight
// share one loaded face and its rendered glyphs, so making a font again costs a table look-up.
class Font : public lang::Object {
public:
    // A font of the given character height in pixels (the em size), normal weight unless bold.
    explicit Font(const lang::String& face, int pixelHeight = 10, bool bold = false);
    explicit Font(const char* face, int pixelHeight = 10, bool bold = false);
    ~Font() override;
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    LANG_CLASS_NAME(Font, Object)

    // The name the font was asked for.
    const lang::String& getName() const { return name_; }
    // The family of the face found for it ("Liberation Sans").
    const lang::String& getFamily() const { return family_; }
    int getPixelHeight() const { return pixelHeight_; }
    bool isBold() const { return bold_; }
    // False when no face at all could be loaded: the font then measures and draws nothing.
    bool isValid() const;

    // Pixels above and below the baseline, and their sum.
    int getAscent() const;
    int getDescent() const;
    int getHeight() const { return getAscent() + getDescent(); }
    // The pen advance of a character and of a text (the sum of its characters' advances).
    int charWidth(char c) const;
    int stringWidth(const char* text, int length) const;
    int stringWidth(const lang::String& text) const { return stringWidth(text.chars(), text.length()); }

    // The outline of one Windows-1252 character. Returns false (with `out` zeroed) when the font has
    // no face; a character without ink gives an empty bitmap and its advance.
    bool getGlyphOutline(char c, GlyphOutline& out) const;
    // The same outline without a copy: rendered once per font and size and kept as long as the font
    // lives. Null when the font has no face.
    const GlyphOutline* glyph(char c) const;

private:
    struct Face;

    lang::String name_;
    lang::String family_;
    int pixelHeight_;
    bool bold_;
    std::shared_ptr<Face> face_;
};

// The shared default face name: "Arial" until the settings give another. A copy, since the settings
// may replace the name at any time from another thread.
lang::String defaultFontFace();
// Replaces the default face name; an empty name is ignored.
void setDefaultFontFace(const lang::String& face);

}  // namespace window
