// The drawing recipes of tools/artgen: each turns one line of data/pictures.txt into a picture.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>

#include "tools/ArtImage.h"
#include "tools/ArtList.h"
#include "tools/SvgRender.h"

namespace art {

struct ArtContext {
    std::string dataDir;  // the repository's data/ folder
};

// Draws the picture of `entry`; the result has the sheet size the list promises (for fonts, its own size).
ArtImage runRecipe(const PictureEntry& entry, const ArtContext& context);

// ---- helpers shared by the recipe files ----

// A small deterministic generator, so every build draws the same pictures.
class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x1234567ull) { next(); }
    explicit Rng(const std::string& seed) : Rng(static_cast<uint64_t>(std::hash<std::string>{}(seed))) {}
    uint64_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    double unit() { return (next() >> 11) * (1.0 / 9007199254740992.0); }
    double range(double lo, double hi) { return lo + (hi - lo) * unit(); }
    int pick(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }

private:
    uint64_t state_;
};

// Number formatting for SVG attributes (two decimals, no locale).
std::string num(double value);
// "#rrggbb" of a colour mixed between a and b (t in 0..1); both given as "#rrggbb".
std::string mixHex(const std::string& a, const std::string& b, double t);

// Draws a sheet: `frame(i, prefix)` returns the SVG body of frame i in a frame-sized coordinate space; ids
// in it must start with `prefix` so frames never share gradients. Frames are clipped to their cells.
ArtImage renderFrames(const PictureEntry& entry,
                      const std::function<std::string(int, const std::string&)>& frame);
// An SVG drawing file of data/art without its outer <svg> element, ids prefixed with `prefix`.
std::string svgInner(const std::string& path, const std::string& prefix);
// The drawing file `art` (a path under data/art, e.g. "tiles/gem.svg") fitted into the box (x, y, w, h)
// through its own viewBox, ids prefixed with `prefix`; `attrs` go on the nested <svg> element.
std::string svgPart(const ArtContext& context, const std::string& art, const std::string& prefix, double x,
                    double y, double w, double h, const std::string& attrs = "");

// Text with outline and drop shadow in the game's title face, as SVG (centred on cx, baseline y).
std::string svgTitleText(const std::string& text, double cx, double y, double size, const std::string& fill1,
                         const std::string& fill2, const std::string& outline, const std::string& prefix,
                         double maxWidth = 0);

// Frame-local shapes used by several recipes.
std::string svgStar(double cx, double cy, double outer, double inner, int points, double rotation,
                    const std::string& attrs);
std::string svgSunDisc(double cx, double cy, double radius, double rotation, const std::string& prefix);

// Board parts for pictures that show a piece of the board (the instruction pages): a square of `stage`
// showing tile frame `tileFrame`, a piece of kind `kind` (its drawing's name) in a size x size box at (x, y),
// and frame `frame` of the power overlays in a size x size cell.
std::string svgBoardSquare(const ArtContext& context, double s, int stage, int tileFrame,
                           const std::string& prefix);
std::string svgPiece(const ArtContext& context, const std::string& kind, double x, double y, double size,
                     bool lit, const std::string& prefix);
std::string svgPowerOverlay(const ArtContext& context, double size, int frame, const std::string& prefix);

// Recipes, grouped by file.
ArtImage recipePieces(const PictureEntry& entry, const ArtContext& context);
ArtImage recipePiece(const PictureEntry& entry, const ArtContext& context);
ArtImage recipeBoard(const PictureEntry& entry, const ArtContext& context);
ArtImage recipeEffects(const PictureEntry& entry, const ArtContext& context);
ArtImage recipeScreens(const PictureEntry& entry, const ArtContext& context);
ArtImage recipeUi(const PictureEntry& entry, const ArtContext& context);
ArtImage recipeFonts(const PictureEntry& entry, const ArtContext& context);

// True when the recipe name belongs to the group's file.
bool isBoardRecipe(const std::string& name);
bool isEffectRecipe(const std::string& name);
bool isScreenRecipe(const std::string& name);
bool isUiRecipe(const std::string& name);
bool isFontRecipe(const std::string& name);

constexpr double kPi = 3.14159265358979323846;

}  // namespace art
