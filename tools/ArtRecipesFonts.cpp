// Bitmap fonts (glyph pictures plus the metrics table of six 32-bit words per character from 32) and
// number strips, rendered with FreeType from the faces named in data/fonts/fonts.txt.
#include <set>
#include <sstream>

#include "lang/CodePage.h"
#include "tools/ArtRecipes.h"
#include "tools/GlyphText.h"

namespace art {

namespace {

struct FontRecipe {
    std::string face;
    int size = 0;
    GlyphStyle style;
};

Rgba parseColour(const std::string& text, const std::string& where) {
    if (text.size() != 7 || text[0] != '#' ||
        text.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos) {
        throw ArtError(where + ": expected a colour #rrggbb, not '" + text + "'");
    }
    auto channel = [&](int i) {
        return static_cast<uint8_t>(std::stoi(text.substr(1 + 2 * i, 2), nullptr, 16));
    };
    return Rgba{channel(0), channel(1), channel(2), 255};
}

int parseInt(const std::string& text, const std::string& where, int lo, int hi) {
    size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != text.size() || value < lo || value > hi) {
        throw ArtError(where + ": expected a whole number " + std::to_string(lo) + ".." + std::to_string(hi) +
                       ", not '" + text + "'");
    }
    return value;
}

FontRecipe readFontRecipe(const std::string& path, const std::string& name) {
    std::istringstream in(readFileText(path));
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::string where = path + ":" + std::to_string(number);
        size_t start = line.find_first_not_of(" \t\r");
        if (start == std::string::npos || line[start] == '#')
            continue;
        std::vector<std::string> w = splitWords(line, where);
        if (w.empty() || w[0] != name)
            continue;
        if (w.size() != 9) {
            throw ArtError(where +
                           ": expected name, face, size, top, bottom, outline, colour, shadow-x, shadow-y");
        }
        FontRecipe recipe;
        recipe.face = w[1];
        recipe.size = parseInt(w[2], where, 6, 200);
        recipe.style.top = parseColour(w[3], where);
        recipe.style.bottom = parseColour(w[4], where);
        recipe.style.outline = parseInt(w[5], where, 0, 8);
        recipe.style.outlineColour = parseColour(w[6], where);
        recipe.style.shadowX = parseInt(w[7], where, -8, 8);
        recipe.style.shadowY = parseInt(w[8], where, -8, 8);
        return recipe;
    }
    throw ArtError(path + ": no font named " + name);
}

// The code point drawn for a Windows-1252 byte; bytes the code page leaves unassigned (and DEL) show a
// box, so every byte a text can hold has a visible glyph.
char32_t glyphFor(unsigned char c, const GlyphText& text) {
    char32_t u = lang::toUnicode(c);
    bool unassigned = c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
    if (unassigned || !text.hasGlyph(u))
        return text.hasGlyph(U'\u25A1') ? U'\u25A1' : U'?';
    return u;
}

struct Atlas {
    ArtImage picture;
    std::vector<int32_t> words;  // 6 per character 32..255
};

Atlas buildAtlas(const FontRecipe& recipe) {
    GlyphText text(recipe.face, recipe.size);
    std::vector<StyledGlyph> glyphs;
    int cellTop = 0, cellBottom = text.lineHeight();
    for (int c = 32; c < 256; ++c) {
        StyledGlyph g = text.render(glyphFor(static_cast<unsigned char>(c), text), recipe.style);
        if (c == 0xA0)
            g.picture = ArtImage();  // the no-break space is blank like the space
        if (!g.picture.empty()) {
            cellTop = std::min(cellTop, g.top);
            cellBottom = std::max(cellBottom, g.top + g.picture.height());
        }
        glyphs.push_back(std::move(g));
    }
    int cellHeight = cellBottom - cellTop;
    const int atlasWidth = 512;
    int x = 0, y = 0;
    std::vector<std::pair<int, int>> places;
    for (const StyledGlyph& g : glyphs) {
        int w = g.picture.empty() ? 0 : g.picture.width();
        if (x + w > atlasWidth) {
            x = 0;
            y += cellHeight + 1;
        }
        places.emplace_back(x, y);
        x += w + 1;
    }
    Atlas atlas;
    atlas.picture = ArtImage(atlasWidth, y + cellHeight);
    atlas.words.reserve(glyphs.size() * 6);
    int outline = recipe.style.outline;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const StyledGlyph& g = glyphs[i];
        auto [px, py] = places[i];
        int width = g.picture.empty() ? 0 : g.picture.width();
        if (!g.picture.empty())
            atlas.picture.blend(g.picture, px, py + (g.top - cellTop));
        int advance = g.advance + outline;
        if (i == 0)
            width = advance;  // the space: an empty box as wide as its advance
        atlas.words.insert(atlas.words.end(),
                           {px, py, width, cellHeight, g.picture.empty() ? 0 : g.left, advance});
    }
    return atlas;
}

ArtImage metricsImage(const std::vector<int32_t>& words) {
    // One character per row: six pixels whose 32-bit ARGB values are the record's words.
    ArtImage table(6, static_cast<int>(words.size() / 6));
    for (size_t i = 0; i < words.size(); ++i) {
        uint32_t w = static_cast<uint32_t>(words[i]);
        table.pixels()[i] = Rgba{static_cast<uint8_t>(w >> 16), static_cast<uint8_t>(w >> 8),
                                 static_cast<uint8_t>(w), static_cast<uint8_t>(w >> 24)};
    }
    return table;
}

ArtImage numberStrip(const PictureEntry& entry, const FontRecipe& recipe) {
    GlyphText text(recipe.face, recipe.size);
    std::u32string cells = entry.columns == 10 ? U"0123456789" : U":-+,.0123456789";
    if (static_cast<int>(cells.size()) != entry.frameCount()) {
        throw ArtError(entry.where + ": a number strip has 15 cells, or 10 with digits only");
    }
    std::vector<StyledGlyph> glyphs;
    int top = 1 << 20, bottom = -(1 << 20);
    for (char32_t c : cells) {
        glyphs.push_back(text.render(c, recipe.style));
        if (c >= U'0' && c <= U'9') {
            top = std::min(top, glyphs.back().top);
            bottom = std::max(bottom, glyphs.back().top + glyphs.back().picture.height());
        }
    }
    ArtImage strip(entry.sheetWidth(), entry.sheetHeight());
    int shift = (entry.frameHeight - (bottom - top)) / 2 - top;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const StyledGlyph& g = glyphs[i];
        if (g.picture.empty())
            continue;
        ArtImage cell(entry.frameWidth, entry.frameHeight);
        cell.blend(g.picture, (entry.frameWidth - g.picture.width()) / 2, g.top + shift);
        strip.blend(cell, static_cast<int>(i) * entry.frameWidth, 0);
    }
    return strip;
}

}  // namespace

bool isFontRecipe(const std::string& name) {
    return name == "font" || name == "fonttable" || name == "numbers";
}

ArtImage recipeFonts(const PictureEntry& entry, const ArtContext& context) {
    const std::string& r = entry.recipe[0];
    FontRecipe recipe = readFontRecipe(context.dataDir + "/fonts/fonts.txt", entry.arg(0));
    if (r == "numbers")
        return numberStrip(entry, recipe);
    Atlas atlas = buildAtlas(recipe);
    if (r == "fonttable")
        return metricsImage(atlas.words);
    return atlas.picture;
}

}  // namespace art
