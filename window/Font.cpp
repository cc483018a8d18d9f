// window::Font on FreeType (glyph rendering) and fontconfig (finding the installed face for a name).
#include "window/Font.h"

#include <array>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include "lang/CodePage.h"

namespace window {

namespace {

// FreeType's library object is not thread-safe for creating and freeing faces: one lock guards it and
// fontconfig's matching.
std::mutex& libraryLock() {
    static std::mutex lock;
    return lock;
}

FT_Library library() {
    static FT_Library instance = [] {
        FT_Library created = nullptr;
        if (FT_Init_FreeType(&created) != 0)
            created = nullptr;
        // fontconfig's configuration is loaded on first use; give it back at exit so that leak checkers
        // see a clean process.
        std::atexit([] { FcFini(); });
        return created;
    }();
    return instance;
}

struct Match {
    std::string file;
    int index = 0;
    std::string family;
};

// Asks fontconfig for the installed face that best stands for `family` ("Arial" gives its metric twin
// Liberation Sans where installed).
bool matchFace(const std::string& family, bool bold, Match& match) {
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr)
        return false;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* found = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (found == nullptr)
        return false;
    FcChar8* file = nullptr;
    FcChar8* name = nullptr;
    int index = 0;
    const bool ok = FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch && file != nullptr;
    if (ok) {
        match.file = reinterpret_cast<const char*>(file);
        if (FcPatternGetInteger(found, FC_INDEX, 0, &index) == FcResultMatch)
            match.index = index;
        if (FcPatternGetString(found, FC_FAMILY, 0, &name) == FcResultMatch && name != nullptr) {
            match.family = reinterpret_cast<const char*>(name);
        }
    }
    FcPatternDestroy(found);
    return ok;
}

int roundPixels(FT_Pos value) {
    return static_cast<int>((value + 32) >> 6);
}

}  // namespace

struct Font::Face {
    FT_Face face = nullptr;
    int ascent = 0;
    int descent = 0;
    std::string family;
    // A face renders one glyph at a time; rendered outlines are kept per character.
    std::mutex lock;
    std::array<std::unique_ptr<GlyphOutline>, 256> glyphs;

    ~Face() {
        if (face != nullptr) {
            std::lock_guard<std::mutex> guard(libraryLock());
            FT_Done_Face(face);
        }
    }

    const GlyphOutline& glyph(unsigned char c);
};

const GlyphOutline& Font::Face::glyph(unsigned char c) {
    std::unique_ptr<GlyphOutline>& slot = glyphs[c];
    if (slot)
        return *slot;
    slot = std::make_unique<GlyphOutline>();
    GlyphOutline& out = *slot;
    if (FT_Load_Char(face, lang::toUnicode(c), FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0)
        return out;
    const FT_GlyphSlot g = face->glyph;
    out.cellIncX = roundPixels(g->advance.x);
    out.cellIncY = roundPixels(g->advance.y);
    const FT_Bitmap& bitmap = g->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.width == 0 || bitmap.rows == 0)
        return out;
    out.width = static_cast<int>(bitmap.width);
    out.rows = static_cast<int>(bitmap.rows);
    out.pitch = (out.width + 3) & ~3;
    out.originX = g->bitmap_left;
    out.originY = g->bitmap_top;
    out.levels.assign(static_cast<size_t>(out.pitch) * out.rows, 0);
    const int grays = bitmap.num_grays > 1 ? bitmap.num_grays - 1 : 255;
    for (int y = 0; y < out.rows; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
        for (int x = 0; x < out.width; ++x) {
            // FreeType's coverage 0..255 reduced to the 65 levels 0..64, rounding to nearest.
            out.levels[static_cast<size_t>(y) * out.pitch + x] =
                static_cast<uint8_t>((row[x] * 64 + grays / 2) / grays);
        }
    }
    return out;
}

Font::Font(const lang::String& face, int pixelHeight, bool bold)
    : name_(face), pixelHeight_(pixelHeight > 0 ? pixelHeight : 10), bold_(bold) {
    // The faces in use, by the name, size and weight asked for. An entry does not keep its face alive:
    // the last font using it frees it (its destructor takes the library lock, so no font may drop a
    // face while holding it here).
    std::lock_guard<std::mutex> guard(libraryLock());
    static std::map<std::tuple<std::string, int, bool>, std::weak_ptr<Face>> loadedFaces;
    std::weak_ptr<Face>& cached = loadedFaces[{std::string(face.view()), pixelHeight_, bold}];
    face_ = cached.lock();
    if (face_) {
        family_.assign(lang::utf8ToCp1252(face_->family).c_str());
        return;
    }
    FT_Library lib = library();
    if (lib == nullptr)
        return;
    const std::string wanted = lang::cp1252ToUtf8(face.view());
    // The face asked for, then DejaVu Sans, which the game's packages always install.
    for (const std::string& family : {wanted, std::string("DejaVu Sans")}) {
        Match match;
        if (family.empty() || !matchFace(family, bold, match))
            continue;
        FT_Face loaded = nullptr;
        if (FT_New_Face(lib, match.file.c_str(), match.index, &loaded) != 0)
            continue;
        if (FT_Set_Pixel_Sizes(loaded, 0, static_cast<FT_UInt>(pixelHeight_)) != 0) {
            FT_Done_Face(loaded);
            continue;
        }
        auto made = std::make_shared<Face>();
        made->face = loaded;
        made->ascent = roundPixels(loaded->size->metrics.ascender);
        made->descent = roundPixels(-loaded->size->metrics.descender);
        made->family = match.family;
        family_.assign(lang::utf8ToCp1252(match.family).c_str());
        face_ = std::move(made);
        cached = face_;
        break;
    }
}

Font::Font(const char* face, int pixelHeight, bool bold) : Font(lang::String(face), pixelHeight, bold) {}

Font::~Font() = default;

bool Font::isValid() const {
    return face_ != nullptr;
}

int Font::getAscent() const {
    return face_ != nullptr ? face_->ascent : 0;
}

int Font::getDescent() const {
    return face_ != nullptr ? face_->descent : 0;
}

int Font::charWidth(char c) const {
    if (face_ == nullptr)
        return 0;
    std::lock_guard<std::mutex> guard(face_->lock);
    return face_->glyph(static_cast<unsigned char>(c)).cellIncX;
}

int Font::stringWidth(const char* text, int length) const {
    if (face_ == nullptr || text == nullptr)
        return 0;
    std::lock_guard<std::mutex> guard(face_->lock);
    int width = 0;
    for (int i = 0; i < length; ++i)
        width += face_->glyph(static_cast<unsigned char>(text[i])).cellIncX;
    return width;
}

bool Font::getGlyphOutline(char c, GlyphOutline& out) const {
    const GlyphOutline* cached = glyph(c);
    out = cached != nullptr ? *cached : GlyphOutline();
    return cached != nullptr;
}

const GlyphOutline* Font::glyph(char c) const {
    if (face_ == nullptr)
        return nullptr;
    // An outline is written once, under the face's lock, and never changed or moved afterwards.
    std::lock_guard<std::mutex> guard(face_->lock);
    return &face_->glyph(static_cast<unsigned char>(c));
}

namespace {
std::mutex& defaultFaceLock() {
    static std::mutex lock;
    return lock;
}
lang::String& defaultFace() {
    static lang::String face("Arial");
    return face;
}
}  // namespace

lang::String defaultFontFace() {
    std::lock_guard<std::mutex> guard(defaultFaceLock());
    return defaultFace();
}

void setDefaultFontFace(const lang::String& face) {
    if (face.length() == 0)
        return;
    std::lock_guard<std::mutex> guard(defaultFaceLock());
    defaultFace().assign(face);
}

}  // namespace window
