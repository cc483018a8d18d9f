// Board pictures: tiles and their overlays, per-stage stone variants and edges, backdrops with alpha masks,
// fences, highlights and the tile animations.
#include <array>
#include <set>

#include "tools/ArtRecipes.h"
#include "tools/SvgRender.h"

namespace art {

namespace {

// Stone colour per stage (1..12) and the bonus level (13): light, mid and dark tones. Every stone stays a
// clear step darker than gold (see the content check), so gold squares read by lightness alone.
struct StonePalette {
    const char* light;
    const char* mid;
    const char* dark;
    const char* moss;
};
const std::array<StonePalette, 13> kStone = {{
    {"#b8b49a", "#8a8670", "#4e4c3c", "#6f8a3a"},  // mossy temple grey
    {"#c8ad78", "#9e804a", "#5a4424", "#6f7a32"},  // sandstone
    {"#d49a78", "#a8694a", "#5c3422", "#5f7a34"},  // red clay
    {"#a8b4bc", "#77858f", "#3c464e", "#4f7a54"},  // slate
    {"#9ccaa8", "#5f9a76", "#2c5440", "#3f7a3a"},  // jade
    {"#dcb060", "#b08434", "#604414", "#7a7a2a"},  // ochre
    {"#8c8c90", "#5c5c64", "#2a2a30", "#4a6a3a"},  // basalt
    {"#d8aaa4", "#b07e78", "#603c3a", "#6a7a44"},  // rose granite
    {"#8cc4c4", "#5a9494", "#264e50", "#3e7a5a"},  // teal stone
    {"#b4a0c8", "#84709c", "#44365a", "#5a6a4a"},  // amethyst stone
    {"#c2baa0", "#948a6c", "#524c38", "#7a8a42"},  // limestone
    {"#7a8070", "#565c4c", "#262a20", "#4a6a2a"},  // dark moss rock
    {"#c8b888", "#9a8656", "#54461e", "#7a7a34"},  // bonus: sunlit pale stone
}};

const char* kGoldDefs =
    "<linearGradient id=\"%gold\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"1\"><stop offset=\"0\" "
    "stop-color=\"#fff6b8\"/>"
    "<stop offset=\"0.35\" stop-color=\"#ffd23c\"/><stop offset=\"0.7\" stop-color=\"#d89a10\"/>"
    "<stop offset=\"1\" stop-color=\"#8a5a00\"/></linearGradient>"
    "<linearGradient id=\"%shine\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"1\"><stop offset=\"0.3\" "
    "stop-color=\"#fff\" "
    "stop-opacity=\"0\"/><stop offset=\"0.45\" stop-color=\"#fff\" stop-opacity=\"0.8\"/><stop "
    "offset=\"0.6\" "
    "stop-color=\"#fff\" stop-opacity=\"0\"/></linearGradient>";

std::string withPrefix(std::string text, const std::string& prefix) {
    for (size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + prefix.size())) {
        text.replace(at, 1, prefix);
    }
    return text;
}

std::string rect(double x, double y, double w, double h, double r, const std::string& attrs) {
    return "<rect x=\"" + num(x) + "\" y=\"" + num(y) + "\" width=\"" + num(w) + "\" height=\"" + num(h) +
           "\" rx=\"" + num(r) + "\" " + attrs + "/>";
}

// A polished gold square with bevel and a diagonal shine; `shine` moves the highlight band (0..1).
std::string goldSquare(double s, const std::string& prefix, double shine = 0.45) {
    std::string defs = withPrefix(kGoldDefs, prefix);
    std::string off1 = num(shine - 0.15), off2 = num(shine), off3 = num(shine + 0.15);
    defs += "<linearGradient id=\"" + prefix + "band\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"1\"><stop offset=\"" +
            off1 + "\" stop-color=\"#fff\" stop-opacity=\"0\"/><stop offset=\"" + off2 +
            "\" stop-color=\"#fff\" stop-opacity=\"0.75\"/><stop offset=\"" + off3 +
            "\" stop-color=\"#fff\" stop-opacity=\"0\"/></linearGradient>";
    return "<defs>" + defs + "</defs>" + rect(1, 1, s - 2, s - 2, 4, "fill=\"url(#" + prefix + "gold)\"") +
           rect(1.5, 1.5, s - 3, s - 3, 4,
                "fill=\"none\" stroke=\"#fff3b0\" stroke-width=\"1.5\" opacity=\"0.8\"") +
           rect(5, 5, s - 10, s - 10, 2,
                "fill=\"none\" stroke=\"#a86e00\" stroke-width=\"1.2\" opacity=\"0.7\"") +
           "<path d=\"M" + num(s * 0.5) + " " + num(s * 0.22) + " L" + num(s * 0.78) + " " + num(s * 0.5) +
           " L" + num(s * 0.5) + " " + num(s * 0.78) + " L" + num(s * 0.22) + " " + num(s * 0.5) +
           " Z\" fill=\"none\" stroke=\"#b07800\" stroke-width=\"1.2\" opacity=\"0.55\"/>" +
           rect(1, 1, s - 2, s - 2, 4, "fill=\"url(#" + prefix + "band)\"") +
           rect(0.5, 0.5, s - 1, s - 1, 4, "fill=\"none\" stroke=\"#5a3a00\" stroke-width=\"1\"");
}

// The carved frame laid over a stage's stone: light upper-left rim, dark lower-right rim, a groove.
std::string carvedFrame(double s, double opacityCentre) {
    return rect(0.5, 0.5, s - 1, s - 1, 3,
                "fill=\"#000\" fill-opacity=\"" + num(opacityCentre) +
                    "\" stroke=\"#1c140a\" stroke-width=\"1\" stroke-opacity=\"0.8\"") +
           "<path d=\"M2 " + num(s - 3) + " L2 2 L" + num(s - 3) +
           " 2\" fill=\"none\" stroke=\"#fff\" "
           "stroke-width=\"2\" stroke-opacity=\"0.35\" stroke-linecap=\"round\"/>"
           "<path d=\"M3 " +
           num(s - 2) + " L" + num(s - 2) + " " + num(s - 2) + " L" + num(s - 2) +
           " 3\" fill=\"none\" stroke=\"#000\" stroke-width=\"2\" stroke-opacity=\"0.35\" "
           "stroke-linecap=\"round\"/>";
}

// A raised stone plate for double and triple tiles; `marks` carved dots, `cracks` damage lines.
std::string plate(double s, int marks, int cracks, const std::string& prefix) {
    std::string g = prefix + "pl";
    std::string out =
        "<defs><linearGradient id=\"" + g +
        "\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"1\"><stop offset=\"0\" "
        "stop-color=\"#d8d2c0\"/><stop offset=\"1\" stop-color=\"#6c665a\"/></linearGradient></defs>";
    out += rect(7, 7, s - 14, s - 14, 4, "fill=\"url(#" + g + ")\" stroke=\"#2a241c\" stroke-width=\"1.5\"");
    out += rect(9, 9, s - 18, s - 18, 3,
                "fill=\"none\" stroke=\"#fff\" stroke-opacity=\"0.45\" stroke-width=\"1\"");
    for (int i = 0; i < marks; ++i) {
        double x = s / 2 + (i - (marks - 1) / 2.0) * 10;
        out += "<circle cx=\"" + num(x) + "\" cy=\"" + num(s / 2) + "\" r=\"3.4\" fill=\"#3a3226\"/>";
        out += "<circle cx=\"" + num(x - 0.8) + "\" cy=\"" + num(s / 2 - 0.8) +
               "\" r=\"1.2\" fill=\"#fff\" "
               "opacity=\"0.35\"/>";
    }
    if (cracks >= 1) {
        out += "<path d=\"M" + num(s * 0.18) + " " + num(s * 0.2) + " L" + num(s * 0.4) + " " +
               num(s * 0.42) + " L" + num(s * 0.34) + " " + num(s * 0.6) + " L" + num(s * 0.52) + " " +
               num(s * 0.82) + "\" fill=\"none\" stroke=\"#1c160e\" stroke-width=\"1.6\"/>";
    }
    if (cracks >= 2) {
        out += "<path d=\"M" + num(s * 0.84) + " " + num(s * 0.16) + " L" + num(s * 0.62) + " " +
               num(s * 0.36) + " L" + num(s * 0.7) + " " + num(s * 0.54) + " L" + num(s * 0.58) + " " +
               num(s * 0.84) + "\" fill=\"none\" stroke=\"#1c160e\" stroke-width=\"1.6\"/>";
    }
    return out;
}

// The marks of a double or triple tile that a piece leaves uncovered: the ivory rim, a jewel in a corner
// for every hit still to take and an empty socket for every hit taken (corners in the order top-left,
// bottom-right, top-right: two jewels sit on a diagonal, a third takes the top-right corner).
std::string hitMarks(const ArtContext& context, double s, int total, int left, const std::string& prefix) {
    static const double kCornerTurn[3] = {0, 180, 90};
    std::string out = svgPart(context, "tiles/rim.svg", prefix + "rim", 0, 0, s, s);
    for (int k = 0; k < total; ++k) {
        std::string part = k < left ? "tiles/gem.svg" : "tiles/socket.svg";
        out += "<g transform=\"rotate(" + num(kCornerTurn[k]) + " " + num(s / 2) + " " + num(s / 2) + ")\">" +
               svgPart(context, part, prefix + "c" + std::to_string(k), 0, 0, s, s) + "</g>";
    }
    return out;
}

int stageOfVarianceFrame(int frame) {
    return std::min(13, frame / 5 + 1);
}

std::string stoneSquare(double s, int stage, int variant, const std::string& prefix) {
    const StonePalette& p = kStone[stage - 1];
    Rng rng(static_cast<uint64_t>(stage * 100 + variant));
    std::string g = prefix + "st";
    std::string out = "<defs><linearGradient id=\"" + g +
                      "\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"1\"><stop offset=\"0\" "
                      "stop-color=\"" +
                      std::string(p.light) + "\"/><stop offset=\"0.6\" stop-color=\"" + p.mid +
                      "\"/><stop offset=\"1\" stop-color=\"" + mixHex(p.mid, p.dark, 0.5) +
                      "\"/></linearGradient></defs>";
    out += rect(0, 0, s, s, 0, "fill=\"url(#" + g + ")\"");
    for (int i = 0; i < 26; ++i) {
        double x = rng.range(0, s), y = rng.range(0, s), r = rng.range(0.6, 2.4);
        bool light = rng.pick(2) == 0;
        out += "<circle cx=\"" + num(x) + "\" cy=\"" + num(y) + "\" r=\"" + num(r) + "\" fill=\"" +
               (light ? p.light : p.dark) + "\" opacity=\"" + num(rng.range(0.15, 0.4)) + "\"/>";
    }
    if (variant % 2 == 1) {
        double x = rng.range(8, s - 8);
        out += "<path d=\"M" + num(x) + " 0 L" + num(x + rng.range(-6, 6)) + " " + num(s * 0.4) + " L" +
               num(x + rng.range(-8, 8)) + " " + num(s * 0.7) + "\" fill=\"none\" stroke=\"" + p.dark +
               "\" stroke-width=\"1\" opacity=\"0.6\"/>";
    }
    if (variant == 2 || variant == 4) {
        double x = rng.range(0, s), y = rng.range(s * 0.6, s);
        out += "<ellipse cx=\"" + num(x) + "\" cy=\"" + num(y) + "\" rx=\"" + num(rng.range(6, 12)) +
               "\" ry=\"" + num(rng.range(3, 6)) + "\" fill=\"" + p.moss + "\" opacity=\"0.55\"/>";
    }
    if (variant == 3) {
        out += "<path d=\"M" + num(s * 0.3) + " " + num(s * 0.3) + " l6 0 l0 6 l-6 0 Z M" + num(s * 0.62) +
               " " + num(s * 0.62) + " l6 0 l0 6 l-6 0 Z\" fill=\"none\" stroke=\"" + p.dark +
               "\" opacity=\"0.5\"/>";
    }
    return out;
}

// The squares stand like raised blocks over open ground, lit from the upper left. An edge piece lies in
// the hole (or off the board) beside a square: below it the block's front face and its cast shadow, to
// its right a cast shadow, above and to its left only a thin lit lip, so the scene shows through the rest.
std::string edgePiece(double s, int stage, int side, const std::string& prefix) {
    const StonePalette& p = kStone[stage - 1];
    std::string g = prefix + "eg", sh = prefix + "sh";
    auto shadow = [&](const char* x2, const char* y2) {
        return "<linearGradient id=\"" + sh + "\" x1=\"0\" y1=\"0\" x2=\"" + x2 + "\" y2=\"" + y2 +
               "\"><stop offset=\"0\" stop-color=\"#000\" stop-opacity=\"0.6\"/><stop offset=\"1\" "
               "stop-color=\"#000\" stop-opacity=\"0\"/></linearGradient>";
    };
    switch (side) {
        case 0:  // right of the square: its shaded side and the shadow it casts
            return "<defs>" + shadow("1", "0") + "</defs>" +
                   rect(0, 2, 14, s - 2, 0, "fill=\"url(#" + sh + ")\"") +
                   rect(0, 0, 3, s, 0, "fill=\"" + mixHex(p.dark, "#000000", 0.3) + "\"");
        case 1:  // below the square: the block's front face, then its shadow on the ground
            return "<defs>" + shadow("0", "1") + "<linearGradient id=\"" + g +
                   "\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\"><stop offset=\"0\" stop-color=\"" + p.mid +
                   "\"/><stop offset=\"1\" stop-color=\"" + p.dark + "\"/></linearGradient></defs>" +
                   rect(2, 7, s - 2, 12, 0, "fill=\"url(#" + sh + ")\"") +
                   rect(0, 0, s, 8, 0, "fill=\"url(#" + g + ")\"") +
                   rect(0, 7.5, s, 1.2, 0, "fill=\"#140c04\" opacity=\"0.8\"");
        case 2:  // left of the square: a lit lip along its left side
            return rect(s - 3, 0, 3, s, 0, "fill=\"" + std::string(p.light) + "\" opacity=\"0.85\"") +
                   rect(s - 3.6, 0, 0.8, s, 0, "fill=\"#140c04\" opacity=\"0.6\"");
        default:  // above the square: a lit lip along its top
            return rect(0, s - 3, s, 3, 0, "fill=\"" + std::string(p.light) + "\" opacity=\"0.85\"") +
                   rect(0, s - 3.6, s, 0.8, 0, "fill=\"#140c04\" opacity=\"0.6\"");
    }
}

// Outline path of the board's squares, for backdrop beds and masks, inflated by `grow` pixels.
std::string boardBedPath(const std::vector<std::vector<int>>& codes, int ox, int oy, int sq, double grow,
                         double r) {
    std::string out;
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 13; ++x) {
            if (!isSquareCode(codes[y][x]))
                continue;
            out += rect(ox + x * sq - grow, oy + y * sq - grow, sq + 2 * grow, sq + 2 * grow, r, "");
        }
    }
    return out;
}

std::vector<std::vector<int>> bonusCodes() {
    return std::vector<std::vector<int>>(10, std::vector<int>(13, 1));
}

ArtImage backdrop(const PictureEntry& entry, const ArtContext& context, bool mask) {
    Layout layout = Layout::read(context.dataDir + "/layout.txt");
    std::string which = entry.arg(0);
    bool bonus = which == "bonus";
    int stage = 13;
    std::vector<std::vector<int>> codes;
    int ox = 0, oy = 0, sq = 0, cols = 13, rows = 10;
    if (bonus) {
        const std::vector<int>& o = layout.get("bonus_origin", 2);
        const std::vector<int>& c = layout.get("bonus_cell", 2);
        ox = o[0], oy = o[1], sq = c[0], cols = 6, rows = 6;
        codes = bonusCodes();
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 6; ++x)
                codes[y][x] = 0;
        }
    } else {
        int level = entry.intArg(0);
        if (level < 1 || level > 60)
            throw ArtError(entry.where + ": backdrop level must be 1..60");
        stage = (level - 1) / 5 + 1;
        codes = readBoardFile(context.dataDir + "/boards/board" + std::to_string(level) + ".txt");
        const std::vector<int>& o = layout.get("board_origin", 2);
        ox = o[0], oy = o[1], sq = layout.get("square", 1)[0];
    }
    (void)cols;
    (void)rows;
    int w = entry.frameWidth, h = entry.frameHeight;
    std::string body;
    if (mask) {
        // White where the backdrop shows: a narrow bed round the squares, soft at its rim. Holes show the
        // stage's scene through them, so a missing square reads as open ground, not as an empty slot.
        body =
            "<defs><filter id=\"soft\"><feGaussianBlur stdDeviation=\"1.5\"/></filter></defs>"
            "<g fill=\"#fff\" filter=\"url(#soft)\">" +
            boardBedPath(codes, ox, oy, sq, 3, 4) + "</g>";
        ArtImage grey = renderSvg(svgDocument(w, h, body), w, h, entry.where);
        for (Rgba& p : grey.pixels()) {
            // The mask carries its value in every channel, so it reads the same as alpha or as grey.
            p = Rgba{p.a, p.a, p.a, p.a};
        }
        return grey;
    }
    const StonePalette& p = kStone[stage - 1];
    Rng rng(entry.name);
    body =
        "<defs><radialGradient id=\"bed\" cx=\"0.35\" cy=\"0.3\" r=\"0.9\"><stop offset=\"0\" stop-color=\"" +
        mixHex(p.dark, "#000000", 0.1) + "\"/><stop offset=\"1\" stop-color=\"" +
        mixHex(p.dark, "#000000", 0.6) +
        "\"/></radialGradient><filter id=\"blur\"><feGaussianBlur stdDeviation=\"6\"/></filter></defs>"
        "<rect width=\"" +
        std::to_string(w) + "\" height=\"" + std::to_string(h) + "\" fill=\"url(#bed)\"/>";
    for (int i = 0; i < 160; ++i) {
        body += "<circle cx=\"" + num(rng.range(0, w)) + "\" cy=\"" + num(rng.range(0, h)) + "\" r=\"" +
                num(rng.range(1, 5)) + "\" fill=\"" + (rng.pick(2) ? p.mid : "#000") + "\" opacity=\"" +
                num(rng.range(0.05, 0.2)) + "\"/>";
    }
    // A carved rim just outside the squares and a shadow under them.
    body += "<g fill=\"" + std::string(p.mid) + "\" opacity=\"0.9\">" +
            boardBedPath(codes, ox, oy, sq, 11, 9) + "</g>";
    body += "<g fill=\"" + mixHex(p.light, "#ffffff", 0.2) + "\" opacity=\"0.5\">" +
            boardBedPath(codes, ox - 1, oy - 1, sq, 9, 8) + "</g>";
    body += "<g fill=\"#000\" opacity=\"0.75\" filter=\"url(#blur)\">" +
            boardBedPath(codes, ox + 3, oy + 4, sq, 4, 4) + "</g>";
    body += "<g fill=\"" + mixHex(p.dark, "#000000", 0.5) + "\">" + boardBedPath(codes, ox, oy, sq, 2, 3) +
            "</g>";
    return renderSvg(svgDocument(w, h, body), w, h, entry.where);
}

std::string fence(const std::string& side, int w, int h) {
    Rng rng("fence" + side);
    std::string body =
        "<defs><linearGradient id=\"bam\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"0\"><stop offset=\"0\" "
        "stop-color=\"#5a4a18\"/><stop offset=\"0.35\" stop-color=\"#c8b050\"/><stop offset=\"0.7\" "
        "stop-color=\"#9a8430\"/><stop offset=\"1\" stop-color=\"#3e3210\"/></linearGradient>"
        "<linearGradient id=\"leaf\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"1\"><stop offset=\"0\" "
        "stop-color=\"#8cd050\"/><stop offset=\"1\" stop-color=\"#1e5a18\"/></linearGradient>"
        "<filter id=\"sh\"><feGaussianBlur in=\"SourceAlpha\" stdDeviation=\"3\"/><feOffset dx=\"3\" "
        "dy=\"4\"/><feComponentTransfer><feFuncA type=\"linear\" slope=\"0.5\"/></feComponentTransfer>"
        "<feMerge><feMergeNode/><feMergeNode in=\"SourceGraphic\"/></feMerge></filter></defs><g "
        "filter=\"url(#sh)\">";
    auto leaf = [&](double x, double y, double len, double angle) {
        return "<path transform=\"translate(" + num(x) + " " + num(y) + ") rotate(" + num(angle) +
               ")\" d=\"M0 0 C" + num(len * 0.3) + " " + num(-len * 0.25) + " " + num(len * 0.75) + " " +
               num(-len * 0.2) + " " + num(len) + " 0 C" + num(len * 0.75) + " " + num(len * 0.2) + " " +
               num(len * 0.3) + " " + num(len * 0.25) +
               " 0 0 Z\" fill=\"url(#leaf)\" stroke=\"#123a10\" stroke-width=\"1\"/><path "
               "transform=\"translate(" +
               num(x) + " " + num(y) + ") rotate(" + num(angle) + ")\" d=\"M2 0 L" + num(len * 0.9) +
               " 0\" stroke=\"#d8f0a0\" stroke-width=\"1\" opacity=\"0.6\"/>";
    };
    if (side == "top") {
        // Hanging canopy: a bamboo beam with leaves dipping down.
        body += "<rect x=\"-4\" y=\"4\" width=\"" + std::to_string(w + 8) +
                "\" height=\"14\" rx=\"6\" "
                "fill=\"#8a7428\" stroke=\"#2e2408\" stroke-width=\"1.5\"/><rect x=\"0\" y=\"6\" width=\"" +
                std::to_string(w) + "\" height=\"4\" fill=\"#e0cc70\" opacity=\"0.6\"/>";
        for (int x = 20; x < w; x += 90) {
            body +=
                "<rect x=\"" + std::to_string(x) + "\" y=\"3\" width=\"5\" height=\"16\" fill=\"#4a3a10\"/>";
        }
        for (int i = 0; i < 34; ++i) {
            double x = rng.range(0, w);
            bool edge = x < 110 || x > w - 110;
            double len = rng.range(edge ? 26 : 16, edge ? 40 : 26);
            body += leaf(x, 12, len, rng.range(50, 130));
        }
    } else {
        bool left = side == "left";
        double postX = left ? 28 : w - 58;
        body += "<rect x=\"" + num(postX) + "\" y=\"-10\" width=\"30\" height=\"" + std::to_string(h + 20) +
                "\" rx=\"8\" fill=\"url(#bam)\" stroke=\"#2e2408\" stroke-width=\"1.5\"/>";
        double thinX = left ? 6 : w - 26;
        body += "<rect x=\"" + num(thinX) + "\" y=\"-10\" width=\"20\" height=\"" + std::to_string(h + 20) +
                "\" rx=\"6\" fill=\"url(#bam)\" stroke=\"#2e2408\" stroke-width=\"1.2\"/>";
        for (int y = 60; y < h; y += 110) {
            body += "<rect x=\"" + num(std::min(postX, thinX) - 2) + "\" y=\"" + std::to_string(y) +
                    "\" width=\"56\" height=\"5\" rx=\"2\" fill=\"#5a4414\"/><rect x=\"" + num(postX - 1) +
                    "\" y=\"" + std::to_string(y - 3) + "\" width=\"32\" height=\"4\" fill=\"#3a2a08\"/>";
            body += "<path d=\"M" + num(std::min(postX, thinX)) + " " + std::to_string(y - 6) + " l52 12 M" +
                    num(std::min(postX, thinX)) + " " + std::to_string(y + 8) +
                    " l52 -10\" stroke=\"#6a4a1a\" "
                    "stroke-width=\"2.5\"/>";
        }
        for (int i = 0; i < 16; ++i) {
            double y = rng.range(0, h);
            double x = postX + 15;
            double angle = left ? rng.range(-40, 40) : rng.range(140, 220);
            body += leaf(x, y, rng.range(22, 38), angle);
        }
    }
    return body + "</g>";
}

// The selection ring or the hint brackets, breathing: a soft glow of the drawing behind it swells and
// fades over the cycle while the drawing itself stays put, so it never jitters over the piece.
std::string highlightFrame(const ArtContext& context, double w, int i, int frames, bool select,
                           const std::string& prefix) {
    double t = 0.5 + 0.5 * std::sin(2 * kPi * i / frames);
    std::string art = select ? "tiles/select.svg" : "tiles/hint.svg";
    std::string glow = prefix + "gl";
    return "<defs><filter id=\"" + glow +
           "\" x=\"-10%\" y=\"-10%\" width=\"120%\" height=\"120%\"><feGaussianBlur stdDeviation=\"" +
           num(0.6 + 0.6 * t) +
           "\"/><feColorMatrix type=\"matrix\" values=\"0 0 0 0 1  0 0 0 0 1  0 0 0 0 1  0 0 0 " +
           num(0.25 + 0.35 * t) + " 0\"/></filter></defs><g filter=\"url(#" + glow + ")\">" +
           svgPart(context, art, prefix + "g", 0, 0, w, w) + "</g>" +
           svgPart(context, art, prefix, 0, 0, w, w);
}

// Frame `i` of the tile sheet (the frames of the tile table) in an s x s cell.
std::string tileFrame(const ArtContext& context, double s, int i, const std::string& prefix) {
    switch (i) {
        case 1:
            return carvedFrame(s, 0.05) + plate(s, 2, 0, prefix) + hitMarks(context, s, 2, 2, prefix);
        case 2:
            return carvedFrame(s, 0.05) + plate(s, 1, 1, prefix) + hitMarks(context, s, 2, 1, prefix);
        case 3:
            return carvedFrame(s, 0.05) + plate(s, 3, 0, prefix) + hitMarks(context, s, 3, 3, prefix);
        case 4:
            return carvedFrame(s, 0.05) + plate(s, 2, 1, prefix) + hitMarks(context, s, 3, 2, prefix);
        case 5:
            return carvedFrame(s, 0.05) + plate(s, 1, 2, prefix) + hitMarks(context, s, 3, 1, prefix);
        case 6:
            return goldSquare(s, prefix);
        case 7:
            return goldSquare(s, prefix, 0.7);
        case 9:
            return carvedFrame(s, 0.12) + svgPart(context, "tiles/vine.svg", prefix + "a", -9, 0, s, s) +
                   svgPart(context, "tiles/vine.svg", prefix + "b", 9, 0, s, s);
        case 10:
            return carvedFrame(s, 0.12) + svgPart(context, "tiles/vine.svg", prefix, 0, 0, s, s);
        default:
            return carvedFrame(s, 0.1);
    }
}

}  // namespace

std::string svgBoardSquare(const ArtContext& context, double s, int stage, int tileFrameIndex,
                           const std::string& prefix) {
    return stoneSquare(s, stage, 0, prefix + "s") + tileFrame(context, s, tileFrameIndex, prefix + "t");
}

bool isBoardRecipe(const std::string& name) {
    static const std::set<std::string> names = {"tiles",    "tileoverlays", "variance",   "edges",
                                                "shimmer",  "goldsweep",    "tilevanish", "highlight",
                                                "backdrop", "backdropmask", "fence"};
    return names.count(name) != 0;
}

ArtImage recipeBoard(const PictureEntry& entry, const ArtContext& context) {
    const std::string& r = entry.recipe[0];
    double s = entry.frameWidth;
    if (r == "backdrop" || r == "backdropmask")
        return backdrop(entry, context, r == "backdropmask");
    if (r == "fence") {
        std::string side = entry.arg(0);
        if (side != "left" && side != "right" && side != "top")
            throw ArtError(entry.where + ": fence side");
        return renderFrames(
            entry, [&](int, const std::string&) { return fence(side, entry.frameWidth, entry.frameHeight); });
    }
    if (r == "tiles") {
        if (entry.frameCount() != 11)
            throw ArtError(entry.where + ": the tile sheet holds frames 0-10");
        return renderFrames(
            entry, [&](int i, const std::string& prefix) { return tileFrame(context, s, i, prefix); });
    }
    if (r == "tileoverlays") {
        return renderFrames(entry, [&](int i, const std::string& prefix) -> std::string {
            if (i == 8)
                return svgPart(context, "tiles/cobweb.svg", prefix, 0, 0, s, s);
            if (i == 6 || i == 7) {
                return "<path d=\"M4 10 L4 4 L10 4 M" + num(s - 10) + " " + num(s - 4) + " L" + num(s - 4) +
                       " " + num(s - 4) + " L" + num(s - 4) + " " + num(s - 10) +
                       "\" fill=\"none\" stroke=\"#fffbe0\" "
                       "stroke-width=\"2\" stroke-linecap=\"round\" opacity=\"" +
                       (i == 7 ? "0.9" : "0.6") + "\"/>";
            }
            return "";
        });
    }
    if (r == "variance") {
        return renderFrames(entry, [&](int i, const std::string& prefix) {
            return stoneSquare(s, stageOfVarianceFrame(i), i % 5, prefix);
        });
    }
    if (r == "edges") {
        return renderFrames(
            entry, [&](int i, const std::string& prefix) { return edgePiece(s, i / 4 + 1, i % 4, prefix); });
    }
    if (r == "shimmer") {
        return renderFrames(entry, [&](int i, const std::string& prefix) {
            double t = (i + 1) / static_cast<double>(entry.frameCount() + 1);
            std::string g = prefix + "sh";
            return "<defs><linearGradient id=\"" + g +
                   "\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"1\"><stop offset=\"" + num(t * 1.4 - 0.35) +
                   "\" stop-color=\"#fff\" stop-opacity=\"0\"/><stop offset=\"" + num(t * 1.4 - 0.2) +
                   "\" stop-color=\"#fffbe0\" stop-opacity=\"0.7\"/><stop offset=\"" + num(t * 1.4 - 0.05) +
                   "\" stop-color=\"#fff\" stop-opacity=\"0\"/></linearGradient></defs>" +
                   rect(1, 1, s - 2, s - 2, 4, "fill=\"url(#" + g + ")\"");
        });
    }
    if (r == "goldsweep") {
        int n = entry.frameCount();
        return renderFrames(entry, [&](int i, const std::string& prefix) {
            double t = (i + 1) / static_cast<double>(n);
            double edge = t * 2 * s;
            std::string clip = prefix + "cl";
            std::string out = "<defs><clipPath id=\"" + clip + "\"><path d=\"M0 0 L" + num(edge) + " 0 L0 " +
                              num(edge) + " Z\"/></clipPath></defs><g clip-path=\"url(#" + clip + ")\">" +
                              goldSquare(s, prefix, 0.2 + 0.6 * t) + "</g>";
            if (i < n - 1) {
                out += "<path d=\"M" + num(edge) + " 0 L0 " + num(edge) +
                       "\" stroke=\"#fffbe0\" stroke-width=\"3\" "
                       "opacity=\"0.9\"/>";
                Rng rng(static_cast<uint64_t>(i + 7));
                for (int k = 0; k < 3; ++k) {
                    double u = rng.range(0.1, 0.9);
                    out += svgStar(edge * u, edge * (1 - u), 5, 1.4, 4, 0, "fill=\"#fff\"");
                }
            }
            return out;
        });
    }
    if (r == "tilevanish") {
        int n = entry.frameCount();
        return renderFrames(entry, [&](int i, const std::string& prefix) {
            double t = i / static_cast<double>(n - 1);
            double scale = 1.0 - 0.8 * t;
            std::string out = "<g opacity=\"" + num(1.0 - t) + "\" transform=\"translate(" + num(s / 2) +
                              " " + num(s / 2) + ") rotate(" + num(t * 90) + ") scale(" + num(scale) +
                              ") translate(" + num(-s / 2) + " " + num(-s / 2) + ")\">" +
                              goldSquare(s, prefix) + "</g>";
            Rng rng(static_cast<uint64_t>(i + 99));
            for (int k = 0; k < 4; ++k) {
                double a = rng.range(0, 2 * kPi), d = t * s * 0.45;
                out += svgStar(s / 2 + std::cos(a) * d, s / 2 + std::sin(a) * d, 5 * (1 - t) + 1, 1.3, 4, 0,
                               "fill=\"#fff8c0\"");
            }
            return out;
        });
    }
    if (r == "highlight") {
        bool select = entry.arg(0) == "select";
        return renderFrames(entry, [&](int i, const std::string& prefix) {
            return highlightFrame(context, s, i, entry.frameCount(), select, prefix);
        });
    }
    throw ArtError(entry.where + ": unknown board recipe " + r);
}

}  // namespace art
