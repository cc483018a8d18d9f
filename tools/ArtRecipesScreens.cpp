// Screen pictures: the rainforest-temple backgrounds of the twelve stages and the bonus level, the loading
// screen, the main menu with its weather, the level map, cursors and the window icon.
#include <algorithm>
#include <array>
#include <set>

#include "tools/ArtRecipes.h"
#include "tools/SvgRender.h"

namespace art {

namespace {

struct SkyPalette {
    const char* skyTop;
    const char* skyBottom;
    const char* far;
    const char* mid;
    const char* near;
    const char* water;
};

// One mood per stage, from morning mist through noon, dusk and moonlit night; the 13th is the bonus.
const std::array<SkyPalette, 13> kSky = {{
    {"#8fd0e8", "#f0f0c8", "#7aa88a", "#3f7a4a", "#1e4a26", "#3ab0b0"},
    {"#70c0f0", "#e8f8f0", "#8ab87a", "#4a8a3a", "#21501e", "#30a8c0"},
    {"#f0a870", "#ffe8b0", "#a88a6a", "#5a6a3a", "#2a3a1a", "#40a0a0"},
    {"#6aa8d8", "#c8e8e0", "#6a9a9a", "#2f6a5a", "#123a30", "#2a98a8"},
    {"#90e0c8", "#f0fff0", "#70b890", "#2e8a5a", "#0e4a2a", "#30c0b0"},
    {"#f8c860", "#fff0c0", "#b8a060", "#6a7a30", "#30401a", "#3ab0a0"},
    {"#4a6a98", "#a8b8c8", "#5a6a7a", "#2a4a4a", "#101e1e", "#206880"},
    {"#e890a0", "#ffe0c8", "#a87a8a", "#5a5a4a", "#2a2a20", "#3a98a8"},
    {"#58b8c8", "#d0f0e8", "#4a9a98", "#1e6a60", "#0a3a30", "#20a0a8"},
    {"#8a70b8", "#f0c8d0", "#7a6a98", "#3a4a5a", "#1a2028", "#3080a0"},
    {"#a8d8f8", "#fffff0", "#a0c8a0", "#5a9a5a", "#1e5a2a", "#40b8c8"},
    {"#1a2a4a", "#4a5a7a", "#2a3a4a", "#16262a", "#060e10", "#184858"},
    {"#ffd060", "#fff8d8", "#d0b060", "#8a8a3a", "#3a4a1a", "#40c0b0"},
}};

std::string ridge(double w, double h, double base, double amp, Rng& rng, const std::string& fill,
                  double opacity) {
    std::string d = "M0 " + num(h);
    double phase = rng.range(0, 6), freq = rng.range(2.0, 4.0);
    for (double x = 0; x <= w + 20; x += 20) {
        double y = base + amp * (0.6 * std::sin(x / w * freq * kPi + phase) +
                                 0.4 * std::sin(x / w * freq * 2.7 * kPi + phase * 2));
        d += " L" + num(x) + " " + num(y);
    }
    d += " L" + num(w + 20) + " " + num(h) + " Z";
    return "<path d=\"" + d + "\" fill=\"" + fill + "\" opacity=\"" + num(opacity) + "\"/>";
}

// Landmark `n` of the journey (data/art/screens/landmarkN.svg, a 200 x 200 drawing standing on its bottom
// edge), standing on (x, base) at `size` pixels high; `shade` below 1 darkens it for the night stages.
std::string landmark(const ArtContext& context, int n, double x, double base, double size, double shade,
                     const std::string& prefix) {
    std::string part = svgPart(context, "screens/landmark" + std::to_string(n) + ".svg", prefix, x - size / 2,
                               base - size, size, size);
    if (shade >= 1)
        return part;
    std::string f = prefix + "shade";
    return "<defs><filter id=\"" + f + "\"><feComponentTransfer><feFuncR type=\"linear\" slope=\"" +
           num(shade) + "\"/><feFuncG type=\"linear\" slope=\"" + num(shade) +
           "\"/><feFuncB type=\"linear\" slope=\"" + num(std::fmin(1.0, shade * 1.25)) +
           "\"/></feComponentTransfer></filter></defs><g filter=\"url(#" + f + ")\">" + part + "</g>";
}

bool nightPalette(int palette) {
    return palette == 11 || palette == 6;
}

std::string tree(double x, double base, double height, Rng& rng, const std::string& trunk,
                 const std::string& leaf, const std::string& light) {
    std::string out = "<path d=\"M" + num(x - 5) + " " + num(base) + " Q" + num(x + rng.range(-20, 20)) +
                      " " + num(base - height * 0.5) + " " + num(x) + " " + num(base - height) + " L" +
                      num(x + 6) + " " + num(base - height) + " Q" + num(x + rng.range(-10, 30)) + " " +
                      num(base - height * 0.5) + " " + num(x + 9) + " " + num(base) + " Z\" fill=\"" + trunk +
                      "\"/>";
    for (int k = 0; k < 7; ++k) {
        double cx = x + rng.range(-height * 0.28, height * 0.28),
               cy = base - height + rng.range(-height * 0.12, height * 0.15);
        double r = rng.range(height * 0.12, height * 0.2);
        out += "<circle cx=\"" + num(cx) + "\" cy=\"" + num(cy) + "\" r=\"" + num(r) + "\" fill=\"" + leaf +
               "\"/>";
        out += "<circle cx=\"" + num(cx - r * 0.3) + "\" cy=\"" + num(cy - r * 0.35) + "\" r=\"" +
               num(r * 0.5) + "\" fill=\"" + light + "\" opacity=\"0.35\"/>";
    }
    return out;
}

std::string palmLeaves(double x, double y, double size, Rng& rng, const std::string& colour, bool flip) {
    std::string out;
    for (int k = 0; k < 6; ++k) {
        double angle = (flip ? 180 : 0) + rng.range(-70, 70) + (flip ? -20 : 20);
        double len = size * rng.range(0.7, 1.0);
        out += "<path transform=\"translate(" + num(x) + " " + num(y) + ") rotate(" + num(angle) +
               ")\" d=\"M0 0 C" + num(len * 0.3) + " " + num(-len * 0.2) + " " + num(len * 0.7) + " " +
               num(-len * 0.15) + " " + num(len) + " " + num(len * 0.1) + " C" + num(len * 0.7) + " " +
               num(len * 0.12) + " " + num(len * 0.3) + " " + num(len * 0.15) + " 0 0 Z\" fill=\"" + colour +
               "\" stroke=\"#061a08\" stroke-width=\"1\"/>";
        out += "<path transform=\"translate(" + num(x) + " " + num(y) + ") rotate(" + num(angle) +
               ")\" d=\"M4 0 C" + num(len * 0.4) + " " + num(-len * 0.1) + " " + num(len * 0.7) + " " +
               num(-len * 0.05) + " " + num(len * 0.95) + " " + num(len * 0.09) +
               "\" fill=\"none\" stroke=\"#b8e880\" stroke-width=\"1.2\" "
               "opacity=\"0.5\"/>";
    }
    return out;
}

// A full jungle scene in the stage's light with its landmark (already placed, as SVG) standing in a clearing
// of the middle ground between x `clearFrom` and `clearTo`.
std::string jungleScene(double w, double h, int palette, const std::string& seed,
                        const std::string& landmarkSvg, double clearFrom, double clearTo) {
    const SkyPalette& p = kSky[palette];
    Rng rng(seed);
    std::string out =
        "<defs><linearGradient id=\"sky\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\"><stop offset=\"0\" "
        "stop-color=\"" +
        std::string(p.skyTop) + "\"/><stop offset=\"0.7\" stop-color=\"" + p.skyBottom +
        "\"/></linearGradient><linearGradient id=\"mist\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\"><stop "
        "offset=\"0\" stop-color=\"#ffffff\" stop-opacity=\"0\"/><stop offset=\"1\" stop-color=\"#ffffff\" "
        "stop-opacity=\"0.35\"/></linearGradient><linearGradient id=\"water\" x1=\"0\" y1=\"0\" x2=\"0\" "
        "y2=\"1\"><stop offset=\"0\" stop-color=\"" +
        p.water + "\"/><stop offset=\"1\" stop-color=\"" + mixHex(p.water, "#001018", 0.6) +
        "\"/></linearGradient><radialGradient id=\"sunglow\"><stop "
        "offset=\"0\" stop-color=\"#fffbe0\" stop-opacity=\"0.9\"/><stop offset=\"1\" "
        "stop-color=\"#fffbe0\" stop-opacity=\"0\"/></radialGradient></defs>";
    out += "<rect width=\"" + num(w) + "\" height=\"" + num(h) + "\" fill=\"url(#sky)\"/>";
    bool night = nightPalette(palette);
    double sunX = w * rng.range(0.15, 0.4), sunY = h * 0.18;
    out += "<circle cx=\"" + num(sunX) + "\" cy=\"" + num(sunY) + "\" r=\"" + num(h * 0.22) +
           "\" fill=\"url(#sunglow)\"/>";
    out += "<circle cx=\"" + num(sunX) + "\" cy=\"" + num(sunY) + "\" r=\"" + num(h * 0.05) + "\" fill=\"" +
           (night ? "#f0f0e0" : "#fff8d0") + "\"/>";
    if (night) {
        for (int k = 0; k < 60; ++k) {
            out += "<circle cx=\"" + num(rng.range(0, w)) + "\" cy=\"" + num(rng.range(0, h * 0.45)) +
                   "\" r=\"" + num(rng.range(0.4, 1.3)) + "\" fill=\"#ffffff\" opacity=\"" +
                   num(rng.range(0.3, 0.9)) + "\"/>";
        }
    }
    out += ridge(w, h, h * 0.42, h * 0.06, rng, p.far, 0.7);
    // The landmark stands in a clearing: the trees of the middle ground leave room around it.
    std::vector<std::pair<double, double>> clearings = {{clearFrom, clearTo}};
    out += "<rect y=\"" + num(h * 0.3) + "\" width=\"" + num(w) + "\" height=\"" + num(h * 0.25) +
           "\" fill=\"url(#mist)\"/>";
    out += ridge(w, h, h * 0.55, h * 0.05, rng, p.mid, 0.95);
    for (double x = -20; x < w + 40; x += rng.range(50, 90)) {
        bool clear = false;
        for (auto& c : clearings)
            clear = clear || (x > c.first && x < c.second);
        double height = h * rng.range(0.22, 0.32);
        if (!clear)
            out += tree(x, h * 0.68, height, rng, mixHex(p.mid, "#000000", 0.5), p.mid, p.skyBottom);
    }
    out += landmarkSvg;
    out += "<path d=\"M0 " + num(h * 0.74) + " Q" + num(w * 0.3) + " " + num(h * 0.7) + " " + num(w * 0.5) +
           " " + num(h * 0.76) + " T" + num(w) + " " + num(h * 0.73) + " L" + num(w) + " " + num(h) + " L0 " +
           num(h) + " Z\" fill=\"url(#water)\"/>";
    for (int k = 0; k < static_cast<int>(w / 20); ++k) {
        double x = rng.range(0, w), y = rng.range(h * 0.76, h * 0.98);
        out += "<path d=\"M" + num(x) + " " + num(y) + " l" + num(rng.range(10, 30)) +
               " 0\" stroke=\"#e8ffff\" "
               "stroke-width=\"1.2\" opacity=\"" +
               num(rng.range(0.2, 0.5)) + "\"/>";
    }
    out += ridge(w, h, h * 0.86, h * 0.04, rng, p.near, 1.0);
    for (double x = 0; x < w + 60; x += rng.range(120, 220)) {
        out += palmLeaves(x, h * rng.range(0.82, 0.92), h * rng.range(0.12, 0.2), rng,
                          mixHex(p.near, "#3a8a2a", 0.4), rng.pick(2) == 0);
    }
    // Hanging vines from the top edge frame the scene.
    for (double x = rng.range(0, 60); x < w; x += rng.range(90, 200)) {
        double len = h * rng.range(0.08, 0.28);
        out += "<path d=\"M" + num(x) + " -5 Q" + num(x + rng.range(-20, 20)) + " " + num(len * 0.5) + " " +
               num(x + rng.range(-8, 8)) + " " + num(len) + "\" fill=\"none\" stroke=\"" +
               mixHex(p.near, "#2a6a1a", 0.5) + "\" stroke-width=\"3\"/>";
        out += palmLeaves(x, len, h * 0.04, rng, mixHex(p.mid, "#4a9a3a", 0.5), false);
    }
    return out;
}

// A horizontal gradient through one colour per stage, so the light changes along the map without seams.
std::string stageGradient(const std::string& id, const std::array<const char*, 12>& colours, double darken) {
    std::string out = "<linearGradient id=\"" + id + "\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"0\">";
    for (int s = 0; s < 12; ++s) {
        out += "<stop offset=\"" + num((s + 0.5) / 12.0) + "\" stop-color=\"" +
               mixHex(colours[s], "#000000", darken) + "\"/>";
    }
    return out + "</linearGradient>";
}

std::array<const char*, 12> stageTones(const char* SkyPalette::*tone) {
    std::array<const char*, 12> out{};
    for (int s = 0; s < 12; ++s)
        out[s] = kSky[s].*tone;
    return out;
}

// The map's sky over the journey: morning at the camp, bright noon in the middle, a dim stretch by the
// cave, then the afternoon warming to gold over the temple.
const std::array<const char*, 12> kJourneySky = {"#9fd6ee", "#86ccf2", "#78c4f0", "#70bce8",
                                                 "#74c0e0", "#7cbcd8", "#6a90b8", "#88b4d0",
                                                 "#a8c8d0", "#d8c8a8", "#f4cc80", "#ffd060"};

// The level map: one continuous journey from the explorers' camp to the golden temple. Sky, hills and
// ground run through unbroken, their light changing from stage to stage; each stage's stretch holds its
// landmark, its title and its five level markers, joined by one winding path.
std::string journeyMap(const ArtContext& context, const Layout& layout, double w, double h) {
    Rng rng(std::string("journey"));
    double stageW = w / 12;
    std::string out =
        "<defs>" + stageGradient("sky", kJourneySky, 0) +
        stageGradient("far", stageTones(&SkyPalette::far), 0) +
        stageGradient("mid", stageTones(&SkyPalette::mid), 0) +
        stageGradient("near", stageTones(&SkyPalette::mid), 0.25) +
        "<linearGradient id=\"haze\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\"><stop offset=\"0.15\" "
        "stop-color=\"#fffbe8\" stop-opacity=\"0\"/><stop offset=\"0.5\" stop-color=\"#fffbe8\" "
        "stop-opacity=\"0.6\"/></linearGradient>"
        "<linearGradient id=\"ground\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\"><stop offset=\"0\" "
        "stop-color=\"#000\" stop-opacity=\"0\"/><stop offset=\"1\" stop-color=\"#000\" "
        "stop-opacity=\"0.25\"/></linearGradient></defs>";
    out += "<rect width=\"" + num(w) + "\" height=\"" + num(h) + "\" fill=\"url(#sky)\"/>";
    out += "<rect width=\"" + num(w) + "\" height=\"" + num(h * 0.6) + "\" fill=\"url(#haze)\"/>";
    out += ridge(w, h, h * 0.4, h * 0.07, rng, "url(#far)", 0.8);
    out += ridge(w, h, h * 0.5, h * 0.04, rng, "url(#mid)", 1.0);
    // Landmarks stand on the horizon, one in each stage's stretch; trees fill the ground between them.
    std::string landmarks;
    std::vector<std::pair<double, double>> clear;
    for (int s = 0; s < 12; ++s) {
        double x = s * stageW + stageW * 0.5, size = h * 0.3;
        landmarks += landmark(context, s + 1, x, h * 0.54, size, nightPalette(s) ? 0.7 : 1.0,
                              "lm" + std::to_string(s));
        clear.emplace_back(x - size * 0.5, x + size * 0.5);
    }
    for (double x = -20; x < w + 40; x += rng.range(40, 80)) {
        bool open = false;
        for (auto& c : clear)
            open = open || (x > c.first && x < c.second);
        int s = std::clamp(static_cast<int>(x / stageW), 0, 11);
        double height = h * rng.range(0.14, 0.22);
        if (!open)
            out += tree(x, h * 0.54, height, rng, mixHex(kSky[s].mid, "#000000", 0.5), kSky[s].mid,
                        kSky[s].skyBottom);
    }
    out += landmarks;
    out += ridge(w, h, h * 0.535, h * 0.012, rng, "url(#near)", 1.0) + "<rect y=\"" + num(h * 0.52) +
           "\" width=\"" + num(w) + "\" height=\"" + num(h * 0.48) + "\" fill=\"url(#ground)\"/>";
    for (int k = 0; k < static_cast<int>(w / 12); ++k) {
        double x = rng.range(0, w), y = rng.range(h * 0.55, h);
        int s = std::clamp(static_cast<int>(x / stageW), 0, 11);
        out += "<path d=\"M" + num(x) + " " + num(y) + " q3 -9 6 0 q2 -7 5 0\" fill=\"none\" stroke=\"" +
               mixHex(kSky[s].mid, "#b8e880", 0.3) + "\" stroke-width=\"1.4\" opacity=\"0.6\"/>";
    }
    // The path: a smooth curve through the markers, on to the temple's door.
    std::vector<std::pair<double, double>> points;
    for (int i = 1; i <= 60; ++i) {
        const std::vector<int>& m = layout.get("marker" + std::to_string(i), 2);
        points.emplace_back(m[0], m[1]);
    }
    points.emplace_back(w - stageW / 2, h * 0.54);
    std::string d = "M" + num(points[0].first) + " " + num(points[0].second);
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        auto p0 = points[i == 0 ? 0 : i - 1], p1 = points[i], p2 = points[i + 1];
        auto p3 = points[std::min(points.size() - 1, i + 2)];
        d += " C" + num(p1.first + (p2.first - p0.first) / 6) + " " +
             num(p1.second + (p2.second - p0.second) / 6) + " " + num(p2.first - (p3.first - p1.first) / 6) +
             " " + num(p2.second - (p3.second - p1.second) / 6) + " " + num(p2.first) + " " + num(p2.second);
    }
    out +=
        "<path d=\"" + d +
        "\" fill=\"none\" stroke=\"#2a1a08\" stroke-width=\"20\" stroke-linecap=\"round\" opacity=\"0.45\"/>"
        "<path d=\"" +
        d +
        "\" fill=\"none\" stroke=\"#d8c090\" stroke-width=\"11\" stroke-linecap=\"round\" "
        "stroke-dasharray=\"14 6\"/>";
    for (size_t i = 0; i < 60; ++i) {
        const auto& m = points[i];
        out += "<circle cx=\"" + num(m.first) + "\" cy=\"" + num(m.second) +
               "\" r=\"17\" fill=\"#6a5a40\" stroke=\"#2a1a08\" stroke-width=\"2\"/><circle cx=\"" +
               num(m.first - 3) + "\" cy=\"" + num(m.second - 3) +
               "\" r=\"6\" fill=\"#a8987a\" opacity=\"0.6\"/>";
    }
    for (int s = 0; s < 12; ++s) {
        out += svgTitleText("Stage " + std::to_string(s + 1), s * stageW + stageW / 2, 40, 26, "#fffbe8",
                            "#ffc830", "#2a1600", "st" + std::to_string(s));
    }
    return out;
}

std::string logo(double w, double h) {
    std::string out =
        "<defs><filter id=\"glow\" x=\"-20%\" y=\"-50%\" width=\"140%\" height=\"200%\"><feGaussianBlur "
        "stdDeviation=\"8\"/></filter></defs>";
    out += "<ellipse cx=\"" + num(w / 2) + "\" cy=\"" + num(h * 0.5) + "\" rx=\"" + num(w * 0.32) +
           "\" ry=\"" + num(h * 0.3) + "\" fill=\"#fff2b0\" opacity=\"0.45\" filter=\"url(#glow)\"/>";
    out += svgSunDisc(w / 2 + 170, h * 0.32, 34, 0.1, "lsun");
    Rng rng(std::string("logo"));
    for (int side = -1; side <= 1; side += 2) {
        for (int k = 0; k < 5; ++k) {
            double angle = (side < 0 ? 180 : 0) + side * (k * 18 - 30);
            double len = rng.range(60, 90);
            out += "<path transform=\"translate(" + num(w / 2 + side * 200) + " " + num(h * 0.55) +
                   ") rotate(" + num(angle) + ")\" d=\"M0 0 C" + num(len * 0.3) + " -16 " + num(len * 0.7) +
                   " -14 " + num(len) + " 0 C" + num(len * 0.7) + " 14 " + num(len * 0.3) +
                   " 16 0 0 Z\" fill=\"#3f9a30\" stroke=\"#0e3a0a\" "
                   "stroke-width=\"2\"/>";
        }
    }
    out += svgTitleText("Lumaroo", w / 2, h * 0.66, 104, "#fffbe0", "#ffb000", "#2a1200", "lt");
    out += svgTitleText("Temple of Gold", w / 2, h * 0.9, 28, "#ffffff", "#c8f0c0", "#0a2a10", "ls");
    return out;
}

std::string cursorHand(double s, bool open) {
    std::string out = "<g transform=\"scale(" + num(s / 32) +
                      ")\" stroke=\"#1a0e04\" stroke-width=\"1.4\" "
                      "stroke-linejoin=\"round\" fill=\"#ffe0b8\">";
    if (open) {
        out +=
            "<path d=\"M8 30 C4 24 4 18 6 14 L6 10 C6 8 9 8 9 10 L9 16 L9 5 C9 3 12 3 12 5 L12 15 L12 3 C12 "
            "1 15 1 "
            "15 3 L15 15 L15 5 C15 3 18 3 18 5 L18 17 L20 12 C21 10 24 11 23 13 L20 24 C19 28 17 30 14 30 "
            "Z\"/>";
    } else {
        out +=
            "<path d=\"M8 30 C4 25 3 20 5 16 L5 13 C5 11 8 11 8 13 L8 16 L8 3 C8 1 11 1 11 3 L11 15 L11 12 "
            "C11 10 "
            "14 10 14 12 L14 15 L14 13 C14 11 17 11 17 13 L17 16 L17 14 C17 12 20 12 20 14 L20 22 C20 27 18 "
            "30 14 30 Z\"/>";
    }
    out += "</g>";
    return out;
}

}  // namespace

bool isScreenRecipe(const std::string& name) {
    static const std::set<std::string> names = {
        "background", "loading",    "loadbar",     "logo",       "mainmenu", "sunrays", "raindrop", "streak",
        "map",        "mapconsole", "levelmarker", "frogmarker", "shadow",   "cursor",  "icon"};
    return names.count(name) != 0;
}

ArtImage recipeScreens(const PictureEntry& entry, const ArtContext& context) {
    const std::string& r = entry.recipe[0];
    double w = entry.frameWidth, h = entry.frameHeight;
    int n = entry.frameCount();
    if (r == "background") {
        int stage = entry.intArg(0);
        if (stage < 1 || stage > 13)
            throw ArtError(entry.where + ": background stage must be 1..13");
        // Each stage's background is its own place on the journey: its landmark, large, in its own light.
        return renderFrames(entry, [&](int, const std::string& p) {
            Rng rng(entry.name);
            double x = w * rng.range(0.3, 0.7), size = h * 0.5;
            std::string mark =
                landmark(context, stage, x, h * 0.72, size, nightPalette(stage - 1) ? 0.6 : 1.0, p + "lm");
            return jungleScene(w, h, stage - 1, entry.name, mark, x - size * 0.55, x + size * 0.55);
        });
    }
    if (r == "mainmenu") {
        return renderFrames(entry, [&](int, const std::string&) {
            // The golden temple stands to the right of the menu buttons, where they never hide it.
            double x = w * 0.84, size = h * 0.44;
            std::string mark = landmark(context, 12, x, h * 0.72, size, 1.0, "mm");
            return jungleScene(w, h, 0, "mainmenu", mark, x - size * 0.6, x + size * 0.6) + "<rect width=\"" +
                   num(w) + "\" height=\"" + num(h) + "\" fill=\"#0a2010\" opacity=\"0.15\"/>";
        });
    }
    if (r == "map") {
        Layout layout = Layout::read(context.dataDir + "/layout.txt");
        return renderFrames(entry,
                            [&](int, const std::string&) { return journeyMap(context, layout, w, h); });
    }
    if (r == "loading" || r == "loadbar") {
        bool bar = r == "loadbar";
        return renderFrames(entry, [&](int, const std::string& p) {
            if (bar) {
                return "<defs><linearGradient id=\"" + p +
                       "b\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\"><stop offset=\"0\" "
                       "stop-color=\"#fff8b0\"/><stop offset=\"0.5\" stop-color=\"#ffc828\"/><stop "
                       "offset=\"1\" "
                       "stop-color=\"#b07000\"/></linearGradient></defs><rect x=\"7\" y=\"43\" width=\"" +
                       num(w - 14) + "\" height=\"14\" rx=\"7\" fill=\"url(#" + p +
                       "b)\"/><rect x=\"10\" y=\"45\" width=\"" + num(w - 20) +
                       "\" height=\"4\" rx=\"2\" fill=\"#ffffff\" opacity=\"0.6\"/>";
            }
            return svgTitleText("Loading...", w / 2, 30, 26, "#fffbe8", "#ffc830", "#2a1600", p) +
                   "<rect x=\"3\" y=\"39\" width=\"" + num(w - 6) +
                   "\" height=\"22\" rx=\"11\" fill=\"#10241a\" "
                   "stroke=\"#e0b040\" stroke-width=\"2.5\"/>";
        });
    }
    if (r == "logo")
        return renderFrames(entry, [&](int, const std::string&) { return logo(w, h); });
    if (r == "sunrays") {
        return renderFrames(entry, [&](int, const std::string&) {
            std::string out =
                "<defs><radialGradient id=\"rg\" cx=\"0.2\" cy=\"0\" r=\"1.1\"><stop offset=\"0\" "
                "stop-color=\"#fff6c0\" stop-opacity=\"0.9\"/><stop offset=\"1\" stop-color=\"#fff6c0\" "
                "stop-opacity=\"0\"/></radialGradient></defs>";
            Rng rng(std::string("rays"));
            for (int k = 0; k < 9; ++k) {
                double a0 = 0.3 + k * 0.13 + rng.range(-0.03, 0.03), a1 = a0 + rng.range(0.03, 0.07);
                double len = w * 1.4;
                out += "<path d=\"M" + num(w * 0.2) + " -20 L" + num(w * 0.2 + std::cos(a0) * len) + " " +
                       num(std::sin(a0) * len) + " L" + num(w * 0.2 + std::cos(a1) * len) + " " +
                       num(std::sin(a1) * len) + " Z\" fill=\"url(#rg)\" opacity=\"" +
                       num(rng.range(0.3, 0.6)) + "\"/>";
            }
            return out;
        });
    }
    if (r == "raindrop" || r == "streak") {
        bool drop = r == "raindrop";
        return renderFrames(entry, [&](int, const std::string&) {
            if (drop) {
                return "<path d=\"M" + num(w / 2) + " 1 C" + num(w * 0.6) + " " + num(h * 0.5) + " " +
                       num(w - 1) + " " + num(h * 0.65) + " " + num(w / 2) + " " + num(h - 1) + " C1 " +
                       num(h * 0.65) + " " + num(w * 0.4) + " " + num(h * 0.5) + " " + num(w / 2) +
                       " 1 Z\" fill=\"#d8f4ff\" opacity=\"0.75\" "
                       "stroke=\"#6ab0d0\" stroke-width=\"0.6\"/>";
            }
            return "<path d=\"M" + num(w - 2) + " 1 L2 " + num(h - 1) +
                   "\" stroke=\"#e8f8ff\" stroke-width=\"1.6\" "
                   "stroke-linecap=\"round\" opacity=\"0.6\"/>";
        });
    }
    if (r == "mapconsole") {
        return renderFrames(entry, [&](int, const std::string& p) {
            return "<defs><linearGradient id=\"" + p +
                   "c\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\"><stop offset=\"0\" "
                   "stop-color=\"#5a4a30\"/><stop offset=\"1\" "
                   "stop-color=\"#2a2014\"/></linearGradient></defs>"
                   "<rect y=\"6\" width=\"" +
                   num(w) + "\" height=\"" + num(h - 6) + "\" fill=\"url(#" + p +
                   "c)\"/>"
                   "<rect y=\"3\" width=\"" +
                   num(w) +
                   "\" height=\"5\" fill=\"#e0b040\"/><rect x=\"300\" y=\"18\" "
                   "width=\"200\" height=\"54\" rx=\"10\" fill=\"#10241a\" stroke=\"#c8a040\" "
                   "stroke-width=\"1.5\"/>"
                   "<text x=\"350\" y=\"36\" font-family=\"DejaVu Serif\" font-weight=\"bold\" "
                   "font-size=\"15\" text-anchor=\"middle\" fill=\"#f0d070\">STAGE</text><text x=\"450\" "
                   "y=\"36\" font-family=\"DejaVu Serif\" font-weight=\"bold\" font-size=\"15\" "
                   "text-anchor=\"middle\" fill=\"#f0d070\">LEVEL</text>";
        });
    }
    if (r == "levelmarker") {
        // Frames: open, completed (gold), locked.
        return renderFrames(entry, [&](int i, const std::string& p) {
            std::string top = i == 1 ? "#fff4a0" : i == 2 ? "#a0a098" : "#b0f0c0";
            std::string bottom = i == 1 ? "#c88a00" : i == 2 ? "#50504a" : "#2a8a4a";
            return "<defs><radialGradient id=\"" + p +
                   "m\" cx=\"0.35\" cy=\"0.3\" r=\"0.8\"><stop offset=\"0\" "
                   "stop-color=\"" +
                   top + "\"/><stop offset=\"1\" stop-color=\"" + bottom +
                   "\"/></radialGradient>"
                   "</defs><circle cx=\"" +
                   num(w / 2) + "\" cy=\"" + num(h / 2) + "\" r=\"" + num(w * 0.42) + "\" fill=\"url(#" + p +
                   "m)\" stroke=\"#1a1006\" stroke-width=\"2\"/>" +
                   (i == 1 ? svgStar(w / 2, h / 2, w * 0.26, w * 0.11, 5, 0,
                                     "fill=\"#fffbe0\" stroke=\"#8a5a00\"")
                           : "");
        });
    }
    if (r == "frogmarker") {
        std::string icon = svgInner(context.dataDir + "/art/pieces/frog.svg", "fm");
        return renderFrames(entry, [&](int i, const std::string& p) {
            double hop = std::fabs(std::sin(kPi * i / n)) * 8;
            return "<svg x=\"4\" y=\"" + num(4 - hop + 6) + "\" width=\"" + num(w - 8) + "\" height=\"" +
                   num(h - 12) + "\" viewBox=\"0 0 100 100\">" + icon + "</svg>" +
                   (i == 0 ? "" : std::string()) + (p.empty() ? "" : "");
        });
    }
    if (r == "shadow") {
        return renderFrames(entry, [&](int, const std::string&) {
            return "<defs><radialGradient id=\"s\"><stop offset=\"0\" stop-color=\"#000\" "
                   "stop-opacity=\"0.55\"/><stop "
                   "offset=\"1\" stop-color=\"#000\" stop-opacity=\"0\"/></radialGradient></defs><ellipse "
                   "cx=\"" +
                   num(w / 2) + "\" cy=\"" + num(h / 2) + "\" rx=\"" + num(w / 2) + "\" ry=\"" + num(h / 2) +
                   "\" fill=\"url(#s)\"/>";
        });
    }
    if (r == "cursor") {
        bool open = entry.arg(0) == "open";
        return renderFrames(entry, [&](int, const std::string&) { return cursorHand(w, open); });
    }
    if (r == "icon") {
        return renderFrames(entry, [&](int, const std::string& p) {
            return "<rect x=\"0.5\" y=\"0.5\" width=\"" + num(w - 1) + "\" height=\"" + num(h - 1) +
                   "\" rx=\"" + num(w * 0.2) + "\" fill=\"#1e5a2a\" stroke=\"#e0b040\" stroke-width=\"" +
                   num(w / 16) + "\"/>" + svgSunDisc(w / 2, h / 2, w * 0.4, 0, p);
        });
    }
    throw ArtError(entry.where + ": unknown screen recipe " + r);
}

}  // namespace art
