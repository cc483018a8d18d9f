// Effect animations: power overlays, sun rays, bursts, sparkles, lightning, the dragonfly, bonus blocks
// and prizes. Every sheet is a real animation: each frame is drawn from its time in the cycle.
#include <functional>
#include <set>

#include "tools/ArtRecipes.h"
#include "tools/SvgRender.h"

namespace art {

namespace {

std::string circle(double cx, double cy, double r, const std::string& attrs) {
    return "<circle cx=\"" + num(cx) + "\" cy=\"" + num(cy) + "\" r=\"" + num(r) + "\" " + attrs + "/>";
}

std::string blurDef(const std::string& id, double deviation) {
    return "<filter id=\"" + id +
           "\" x=\"-50%\" y=\"-50%\" width=\"200%\" height=\"200%\"><feGaussianBlur "
           "stdDeviation=\"" +
           num(deviation) + "\"/></filter>";
}

std::string radial(const std::string& id, const std::string& inner, const std::string& outer,
                   double innerOpacity, double outerOpacity) {
    return "<radialGradient id=\"" + id + "\"><stop offset=\"0\" stop-color=\"" + inner +
           "\" stop-opacity=\"" + num(innerOpacity) + "\"/><stop offset=\"1\" stop-color=\"" + outer +
           "\" stop-opacity=\"" + num(outerOpacity) + "\"/></radialGradient>";
}

// A double-headed arrow along the x axis of length `len`, centred on 0, as a path.
std::string arrowPair(double len, double width) {
    double h = len / 2, head = width * 1.6;
    return "M" + num(-h) + " 0 L" + num(-h + head) + " " + num(-width) + " L" + num(-h + head) + " " +
           num(-width * 0.4) + " L" + num(h - head) + " " + num(-width * 0.4) + " L" + num(h - head) + " " +
           num(-width) + " L" + num(h) + " 0 L" + num(h - head) + " " + num(width) + " L" + num(h - head) +
           " " + num(width * 0.4) + " L" + num(-h + head) + " " + num(width * 0.4) + " L" + num(-h + head) +
           " " + num(width) + " Z";
}

std::string arrowsOverlay(double s, double t, int axes, const std::string& prefix) {
    // axes: 1 row, 2 column, 3 both. The arrows breathe outward and glow.
    double pulse = 0.5 + 0.5 * std::sin(2 * kPi * t);
    double len = s * (0.78 + 0.12 * pulse);
    std::string glow = prefix + "g";
    std::string out =
        "<defs>" + blurDef(glow, 2.2) + "<linearGradient id=\"" + prefix +
        "ag\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\"><stop offset=\"0\" "
        "stop-color=\"#ffffff\"/><stop offset=\"1\" stop-color=\"#7fe0ff\"/></linearGradient></defs>";
    std::string c = num(s / 2);
    auto one = [&](double angle) {
        std::string tf = "transform=\"translate(" + c + " " + c + ") rotate(" + num(angle) + ")\"";
        return "<path " + tf + " d=\"" + arrowPair(len, 5) + "\" fill=\"#30c8ff\" opacity=\"" +
               num(0.5 + 0.4 * pulse) + "\" filter=\"url(#" + glow + ")\"/><path " + tf + " d=\"" +
               arrowPair(len, 5) + "\" fill=\"url(#" + prefix +
               "ag)\" stroke=\"#0a4a7a\" stroke-width=\"1.2\" opacity=\"0.92\"/>";
    };
    if (axes & 1)
        out += one(0);
    if (axes & 2)
        out += one(90);
    if (axes == 3) {
        out += circle(s / 2, s / 2, s * 0.2 + pulse * 2,
                      "fill=\"none\" stroke=\"#ffffff\" stroke-width=\"2\" "
                      "stroke-dasharray=\"6 4\" transform=\"rotate(" +
                          num(t * 360) + " " + c + " " + c + ")\"");
    }
    return out;
}

std::string powerOverlayFrame(const ArtContext& context, double s, int frame, const std::string& prefix) {
    std::string c = num(s / 2);
    double cx = s / 2;
    if (frame <= 20) {  // area blast: the flame crown turns and breathes round the piece
        double t = (frame % 19) / 19.0;
        double pulse = 0.5 + 0.5 * std::sin(2 * kPi * t);
        double scale = 0.94 + 0.06 * pulse;
        return "<defs>" + radial(prefix + "r", "#ffb040", "#ff3000", 0.0, 0.55) + "</defs>" +
               circle(cx, cx, s * 0.45,
                      "fill=\"url(#" + prefix + "r)\" opacity=\"" + num(0.4 + 0.4 * pulse) + "\"") +
               "<g transform=\"translate(" + c + " " + c + ") scale(" + num(scale) + ") rotate(" +
               num(t * 30) + ") translate(-" + c + " -" + c + ")\">" +
               svgPart(context, "effects/area.svg", prefix + "a", 0, 0, s, s) + "</g>";
    }
    if (frame <= 41) {  // colour blast: a spinning rainbow halo
        double t = (frame - 21) / 21.0;
        std::string out = "<defs>" + blurDef(prefix + "b", 1.5) + "</defs><g transform=\"rotate(" +
                          num(t * 360) + " " + c + " " + c + ")\" filter=\"url(#" + prefix + "b)\">";
        const char* colours[] = {"#ff3030", "#ff9a00", "#ffe800", "#30d040", "#30a0ff", "#9040ff"};
        for (int k = 0; k < 6; ++k) {
            double a0 = k * kPi / 3, a1 = a0 + kPi / 3;
            double r = s * 0.42;
            out += "<path d=\"M" + c + " " + c + " L" + num(cx + r * std::cos(a0)) + " " +
                   num(cx + r * std::sin(a0)) + " A" + num(r) + " " + num(r) + " 0 0 1 " +
                   num(cx + r * std::cos(a1)) + " " + num(cx + r * std::sin(a1)) + " Z\" fill=\"" +
                   colours[k] + "\" opacity=\"0.75\"/>";
        }
        out += "</g>" + circle(cx, cx, s * 0.28, "fill=\"#ffffff\" opacity=\"0.5\"");
        return out;
    }
    if (frame <= 62)
        return arrowsOverlay(s, (frame - 42) / 21.0, 1, prefix);
    if (frame <= 83)
        return arrowsOverlay(s, (frame - 63) / 21.0, 2, prefix);
    if (frame <= 104)
        return arrowsOverlay(s, (frame - 84) / 21.0, 3, prefix);
    if (frame <= 125) {  // random blast: violet comets chase round the piece
        double t = (frame - 105) / 21.0;
        std::string out = "<g transform=\"rotate(" + num(t * 360) + " " + c + " " + c + ")\">" +
                          svgPart(context, "effects/random.svg", prefix + "a", 0, 0, s, s) + "</g>";
        Rng rng(static_cast<uint64_t>(frame));
        for (int k = 0; k < 3; ++k) {
            double a = rng.range(0, 2 * kPi), r = rng.range(s * 0.34, s * 0.4);
            out += svgStar(cx + r * std::cos(a), cx + r * std::sin(a), 4, 1.2, 4, 0,
                           "fill=\"#ffffd0\" stroke=\"#1a0640\" stroke-width=\"0.6\"");
        }
        return out;
    }
    if (frame <= 146) {  // clock: a glowing dial whose hand sweeps round
        double t = (frame - 126) / 21.0;
        std::string out = "<defs>" + radial(prefix + "r", "#c8fff0", "#20a080", 0.8, 0.0) + "</defs>" +
                          circle(cx, cx, s * 0.46, "fill=\"url(#" + prefix + "r)\"") +
                          circle(cx, cx, s * 0.4, "fill=\"none\" stroke=\"#e8fff8\" stroke-width=\"2.5\"");
        for (int k = 0; k < 12; ++k) {
            double a = k * kPi / 6;
            out += "<path d=\"M" + num(cx + std::cos(a) * s * 0.34) + " " + num(cx + std::sin(a) * s * 0.34) +
                   " L" + num(cx + std::cos(a) * s * 0.4) + " " + num(cx + std::sin(a) * s * 0.4) +
                   "\" stroke=\"#ffffff\" stroke-width=\"2\"/>";
        }
        double a = t * 2 * kPi - kPi / 2;
        out += "<path d=\"M" + c + " " + c + " L" + num(cx + std::cos(a) * s * 0.38) + " " +
               num(cx + std::sin(a) * s * 0.38) +
               "\" stroke=\"#ffffff\" stroke-width=\"3\" stroke-linecap=\"round\"/>";
        return out;
    }
    // dragonfly: an emerald ring with four wings beating round the piece
    double t = (frame - 147) / 22.0;
    double beat = std::sin(2 * kPi * t * 2);
    std::string out = circle(cx, cx, s * 0.36, "fill=\"none\" stroke=\"#06301a\" stroke-width=\"6\"") +
                      circle(cx, cx, s * 0.36, "fill=\"none\" stroke=\"#30d070\" stroke-width=\"3\"");
    const double base[4] = {-40, 40, 140, 220};
    for (int k = 0; k < 4; ++k) {
        double angle = base[k] + (k % 2 == 0 ? -1 : 1) * 12 * beat;
        out += "<g transform=\"translate(" + c + " " + c + ") rotate(" + num(angle) + ")\">" +
               svgPart(context, "effects/wing.svg", prefix + "w" + std::to_string(k), -cx, -cx, s, s) +
               "</g>";
    }
    return out;
}

std::string sparkle(double s, double t, int seed, const std::string& colour, const std::string& prefix) {
    // Stars fly out from the centre, growing then shrinking, with a fading flash at the start.
    Rng rng(static_cast<uint64_t>(seed));
    std::string out = "<defs>" + radial(prefix + "r", "#ffffff", colour, 1.0, 0.0) + "</defs>";
    if (t < 0.4)
        out += circle(s / 2, s / 2, s * (0.15 + t),
                      "fill=\"url(#" + prefix + "r)\" opacity=\"" + num(1 - t * 2.5) + "\"");
    for (int k = 0; k < 9; ++k) {
        double a = rng.range(0, 2 * kPi), speed = rng.range(0.25, 0.48);
        double d = s * speed * std::sqrt(t);
        double size = s * 0.1 * std::sin(kPi * std::min(0.95, t * 0.9 + 0.05));
        if (size <= 0.3)
            continue;
        out += svgStar(s / 2 + std::cos(a) * d, s / 2 + std::sin(a) * d, size, size * 0.3, 4, t * 2,
                       "fill=\"" + (k % 3 == 0 ? colour : std::string("#ffffff")) + "\"");
    }
    return out;
}

std::string burst(double s, double t, const std::string& colour, const std::string& prefix) {
    std::string out = "<defs>" + radial(prefix + "r", "#ffffff", colour, 0.95, 0.0) +
                      blurDef(prefix + "b", 1.5) + "</defs>";
    double r = s * (0.1 + 0.3 * std::sqrt(t));
    out += circle(s / 2, s / 2, r, "fill=\"url(#" + prefix + "r)\" opacity=\"" + num(1 - t) + "\"");
    out += circle(s / 2, s / 2, r * 1.05,
                  "fill=\"none\" stroke=\"" + colour + "\" stroke-width=\"" + num(4 * (1 - t) + 0.5) +
                      "\" opacity=\"" + num(1 - t) + "\" filter=\"url(#" + prefix + "b)\"");
    for (int k = 0; k < 12; ++k) {
        double a = k * kPi / 6 + t * 0.5;
        double r0 = r * 0.7, r1 = std::fmin(r * (1.1 + 0.3 * (k % 2)), s * 0.47);
        out += "<path d=\"M" + num(s / 2 + std::cos(a) * r0) + " " + num(s / 2 + std::sin(a) * r0) + " L" +
               num(s / 2 + std::cos(a) * r1) + " " + num(s / 2 + std::sin(a) * r1) +
               "\" stroke=\"#ffffff\" "
               "stroke-width=\"2\" stroke-linecap=\"round\" opacity=\"" +
               num(1 - t) + "\"/>";
    }
    return out;
}

std::string lightningFrame(double w, double h, int frame, const std::string& prefix) {
    Rng rng(static_cast<uint64_t>(frame * 31 + 5));
    std::string d = "M" + num(w / 2) + " 0";
    double x = w / 2;
    for (double y = 24; y < h; y += 24) {
        x = std::fmax(8, std::fmin(w - 8, x + rng.range(-14, 14)));
        d += " L" + num(x) + " " + num(std::fmin(y, h - 1));
    }
    std::string branch = "M" + num(w / 2) + " " + num(h * 0.35);
    double bx = w / 2;
    for (double y = h * 0.35 + 20; y < h * 0.6; y += 20) {
        bx = std::fmax(4, std::fmin(w - 4, bx + rng.range(-16, 6)));
        branch += " L" + num(bx) + " " + num(y);
    }
    double flicker = frame % 2 == 0 ? 1.0 : 0.7;
    return "<defs>" + blurDef(prefix + "b", 4) + "</defs><path d=\"" + d +
           "\" fill=\"none\" stroke=\"#90c0ff\" "
           "stroke-width=\"10\" opacity=\"" +
           num(0.7 * flicker) + "\" filter=\"url(#" + prefix + "b)\"/><path d=\"" + d +
           "\" fill=\"none\" stroke=\"#ffffff\" stroke-width=\"3\" stroke-linejoin=\"bevel\" opacity=\"" +
           num(flicker) + "\"/><path d=\"" + branch +
           "\" fill=\"none\" stroke=\"#e0f0ff\" stroke-width=\"1.6\" opacity=\"" + num(0.8 * flicker) +
           "\"/>";
}

std::string dragonflyBody(double s, double t, double angle, const std::string& prefix) {
    // Body along the y axis (head up), drawn then rotated to face the flight direction.
    double beat = std::sin(2 * kPi * t);
    double spread = 0.55 + 0.45 * beat;
    std::string c = num(s / 2);
    std::string out =
        "<defs><linearGradient id=\"" + prefix +
        "bd\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"0\"><stop "
        "offset=\"0\" stop-color=\"#1a6a3a\"/><stop offset=\"0.5\" stop-color=\"#50e090\"/><stop "
        "offset=\"1\" stop-color=\"#1a6a3a\"/></linearGradient></defs><g transform=\"translate(" +
        c + " " + c + ") rotate(" + num(angle) + ") scale(" + num(s / 64 * 0.9) + ")\">";
    for (int side = -1; side <= 1; side += 2) {
        for (int pair = 0; pair < 2; ++pair) {
            double y = pair == 0 ? -6 : 2;
            double ry = 6 * spread + 1.5;
            double rot = side * (pair == 0 ? -8 : 8);
            out += "<ellipse cx=\"" + num(side * 15) + "\" cy=\"" + num(y) + "\" rx=\"15\" ry=\"" + num(ry) +
                   "\" fill=\"#d8f8ff\" fill-opacity=\"0.55\" stroke=\"#6ab0c8\" stroke-width=\"0.8\" "
                   "transform=\"rotate(" +
                   num(rot) + " 0 " + num(y) + ")\"/>";
        }
    }
    out +=
        "<rect x=\"-2.5\" y=\"-4\" width=\"5\" height=\"30\" rx=\"2.5\" fill=\"url(#" + prefix +
        "bd)\" "
        "stroke=\"#0c3a1e\" stroke-width=\"0.8\"/><ellipse cx=\"0\" cy=\"-9\" rx=\"4.5\" ry=\"6\" "
        "fill=\"url(#" +
        prefix +
        "bd)\" stroke=\"#0c3a1e\" stroke-width=\"0.8\"/><circle cx=\"-3\" cy=\"-15\" r=\"3\" "
        "fill=\"#3050ff\" stroke=\"#0c1a3e\" stroke-width=\"0.6\"/><circle cx=\"3\" cy=\"-15\" r=\"3\" "
        "fill=\"#3050ff\" stroke=\"#0c1a3e\" stroke-width=\"0.6\"/><circle cx=\"-3.8\" cy=\"-15.8\" r=\"1\" "
        "fill=\"#fff\"/><circle cx=\"2.2\" cy=\"-15.8\" r=\"1\" fill=\"#fff\"/></g>";
    return out;
}

std::string prize(double s, int code, bool disabled, const std::string& prefix) {
    std::string out;
    std::string c = num(s / 2);
    auto coins = [&](int count, const std::string& label) {
        std::string r;
        for (int k = 0; k < count; ++k) {
            double y = s * 0.62 - k * 4;
            r += "<ellipse cx=\"" + c + "\" cy=\"" + num(y) + "\" rx=\"" + num(s * 0.3) + "\" ry=\"" +
                 num(s * 0.11) + "\" fill=\"#e0a020\" stroke=\"#6a4200\" stroke-width=\"1.2\"/>";
        }
        r += "<ellipse cx=\"" + c + "\" cy=\"" + num(s * 0.62 - (count - 1) * 4) + "\" rx=\"" +
             num(s * 0.24) + "\" ry=\"" + num(s * 0.07) + "\" fill=\"#fff0a0\" opacity=\"0.7\"/>";
        // Long amounts get a smaller size, so "10000" stays inside the frame with its outline.
        double size = std::fmin(s * 0.26, (s - 14) / (label.size() * 0.7));
        r += svgTitleText(label, s / 2, s * 0.36, size, "#ffffff", "#ffe080", "#4a2a00", prefix);
        return r;
    };
    switch (code) {
        case 0:
            out = coins(1, "100");
            break;
        case 1:
            out = coins(2, "500");
            break;
        case 2:
            out = coins(3, "1000");
            break;
        case 3:
            out = coins(4, "5000");
            break;
        case 4:
            out = coins(5, "10000");
            break;
        case 5:
            out = svgSunDisc(s / 2, s / 2, s * 0.36, 0, prefix);
            break;
        case 6:
            out = svgSunDisc(s * 0.38, s * 0.42, s * 0.26, 0, prefix + "a") +
                  svgSunDisc(s * 0.62, s * 0.6, s * 0.26, 0.2, prefix + "b");
            break;
        case 7:
            out = svgSunDisc(s * 0.5, s * 0.32, s * 0.22, 0, prefix + "a") +
                  svgSunDisc(s * 0.3, s * 0.64, s * 0.22, 0.2, prefix + "b") +
                  svgSunDisc(s * 0.7, s * 0.64, s * 0.22, 0.1, prefix + "c");
            break;
        case 8:
            out = arrowsOverlay(s, 0.25, 1, prefix);
            break;
        case 9:
            out = arrowsOverlay(s, 0.25, 2, prefix);
            break;
        case 10:
            out = "<defs>" + radial(prefix + "r", "#fff080", "#ff3000", 1, 0) + "</defs>" +
                  circle(s / 2, s / 2, s * 0.42, "fill=\"url(#" + prefix + "r)\"") +
                  svgStar(s / 2, s / 2, s * 0.3, s * 0.14, 8, 0,
                          "fill=\"#fff4c0\" stroke=\"#c04000\" stroke-width=\"1.5\"");
            break;
        default:
            out = svgTitleText("+1", s / 2, s * 0.68, s * 0.5, "#ffffff", "#a0ffa0", "#0a4a10", prefix);
            break;
    }
    if (disabled) {
        out = "<defs><filter id=\"" + prefix +
              "grey\"><feColorMatrix type=\"saturate\" values=\"0.1\"/>"
              "<feComponentTransfer><feFuncA type=\"linear\" "
              "slope=\"0.6\"/></feComponentTransfer></filter></defs>"
              "<g filter=\"url(#" +
              prefix + "grey)\">" + out + "</g>";
    }
    return out;
}

// A drawing breaking up at time t (0 whole, 1 gone): its four quarters drift apart, turn, shrink towards
// their own middles and fade. The shrinking outpaces the drift, so no shard ever leaves the frame.
// `body(prefix)` draws the whole picture, its ids starting with `prefix`.
std::string breakApart(double s, double t, const std::function<std::string(const std::string&)>& body,
                       const std::string& prefix) {
    if (t <= 0)
        return body(prefix);
    std::string out;
    const double dx[] = {-1, 1, -1, 1}, dy[] = {-1, -1, 1, 1};
    double drift = s * 0.08 * t, scale = 1 - 0.65 * t;
    for (int k = 0; k < 4; ++k) {
        std::string clip = prefix + "q" + std::to_string(k);
        double x0 = dx[k] < 0 ? 0 : s / 2, y0 = dy[k] < 0 ? 0 : s / 2;
        std::string qx = num(x0 + s / 4), qy = num(y0 + s / 4);
        out += "<defs><clipPath id=\"" + clip + "\"><rect x=\"" + num(x0) + "\" y=\"" + num(y0) +
               "\" width=\"" + num(s / 2) + "\" height=\"" + num(s / 2) +
               "\"/></clipPath></defs><g opacity=\"" + num(1 - t) + "\" transform=\"translate(" +
               num(dx[k] * drift) + " " + num(dy[k] * drift) + ") translate(" + qx + " " + qy + ") rotate(" +
               num(dx[k] * dy[k] * t * 20) + ") scale(" + num(scale) + ") translate(-" + qx + " -" + qy +
               ")\"><g clip-path=\"url(#" + clip + ")\">" + body(clip) + "</g></g>";
    }
    return out;
}

std::string bonusBlock(double s, int frame, bool cover, const std::string& prefix) {
    // A carved jade block with a sun glyph; the break frames split it into four falling shards.
    std::string g = prefix + "jb";
    std::string defs =
        "<defs><linearGradient id=\"" + g +
        "\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"1\"><stop offset=\"0\" "
        "stop-color=\"#a8f0c0\"/><stop offset=\"0.5\" stop-color=\"#3aa070\"/><stop offset=\"1\" "
        "stop-color=\"#14503a\"/></linearGradient></defs>";
    auto block = [&](double brighten) {
        std::string b = "<rect x=\"2\" y=\"2\" width=\"" + num(s - 4) + "\" height=\"" + num(s - 4) +
                        "\" rx=\"6\" fill=\"url(#" + g +
                        ")\" stroke=\"#0a2a1e\" stroke-width=\"2\"/><rect x=\"7\" "
                        "y=\"7\" width=\"" +
                        num(s - 14) + "\" height=\"" + num(s - 14) +
                        "\" rx=\"4\" fill=\"none\" "
                        "stroke=\"#d8ffe8\" stroke-opacity=\"0.5\" stroke-width=\"1.5\"/>" +
                        svgStar(s / 2, s / 2, s * 0.24, s * 0.12, 8, 0, "fill=\"#14503a\" opacity=\"0.7\"") +
                        circle(s / 2, s / 2, s * 0.09, "fill=\"#d8ffe8\" opacity=\"0.7\"");
        if (brighten > 0) {
            b += "<rect x=\"2\" y=\"2\" width=\"" + num(s - 4) + "\" height=\"" + num(s - 4) +
                 "\" rx=\"6\" "
                 "fill=\"#ffffff\" opacity=\"" +
                 num(brighten) + "\"/>";
        }
        return b;
    };
    if (cover) {
        // Button frames: normal, hover, pressed, disabled.
        double light[] = {0.0, 0.18, 0.3, 0.0};
        std::string out = defs + block(light[frame]);
        if (frame == 3)
            out = "<g opacity=\"0.5\">" + out + "</g>";
        return out;
    }
    return defs + breakApart(
                      s, frame / 9.0, [&](const std::string&) { return block(0); }, prefix);
}

}  // namespace

std::string svgPowerOverlay(const ArtContext& context, double size, int frame, const std::string& prefix) {
    return powerOverlayFrame(context, size, frame, prefix);
}

bool isEffectRecipe(const std::string& name) {
    static const std::set<std::string> names = {
        "overlays", "sunoverlay", "ring",      "sunburst",  "burst",      "cobwebanim",  "vineanim",
        "twinkle",  "sparkle",    "explosion", "lightning", "static",     "drip",        "hintarrow",
        "beam",     "dragonfly",  "sunspin",   "prizes",    "bonusblock", "cascadewords"};
    return names.count(name) != 0;
}

ArtImage recipeEffects(const PictureEntry& entry, const ArtContext& context) {
    const std::string& r = entry.recipe[0];
    double s = entry.frameWidth;
    int n = entry.frameCount();
    auto timeOf = [n](int i) { return n > 1 ? i / static_cast<double>(n - 1) : 0.0; };
    auto loopOf = [n](int i) { return i / static_cast<double>(n); };
    if (r == "overlays") {
        if (n < 169)
            throw ArtError(entry.where + ": the overlay sheet needs frames 0-168");
        return renderFrames(entry,
                            [&](int i, const std::string& p) { return powerOverlayFrame(context, s, i, p); });
    }
    if (r == "sunoverlay") {
        return renderFrames(entry, [&](int i, const std::string& p) {
            double t = loopOf(i);
            std::string out = "<defs>" + radial(p + "r", "#fff4a0", "#ffb000", 0.9, 0.0) + "</defs>" +
                              circle(s / 2, s / 2, s * 0.46, "fill=\"url(#" + p + "r)\"");
            out += "<g transform=\"rotate(" + num(t * 30) + " " + num(s / 2) + " " + num(s / 2) + ")\">";
            for (int k = 0; k < 12; ++k) {
                double a = k * kPi / 6;
                out += "<path d=\"M" + num(s / 2 + std::cos(a - 0.08) * s * 0.2) + " " +
                       num(s / 2 + std::sin(a - 0.08) * s * 0.2) + " L" +
                       num(s / 2 + std::cos(a) * s * 0.49) + " " + num(s / 2 + std::sin(a) * s * 0.49) +
                       " L" + num(s / 2 + std::cos(a + 0.08) * s * 0.2) + " " +
                       num(s / 2 + std::sin(a + 0.08) * s * 0.2) + " Z\" fill=\"#fff8c0\" opacity=\"0.6\"/>";
            }
            return out + "</g>";
        });
    }
    if (r == "ring") {
        std::string colour = entry.arg(1) == "white" ? "#ffffff" : "#ffd23c";
        return renderFrames(entry, [&](int i, const std::string& p) {
            double t = loopOf(i), pulse = 0.5 + 0.5 * std::sin(2 * kPi * t + 0.3);
            return "<defs>" + blurDef(p + "b", 1.5) + "</defs>" + "<rect x=\"7\" y=\"7\" width=\"" +
                   num(entry.frameWidth - 14) + "\" height=\"" + num(entry.frameHeight - 14) + "\" rx=\"" +
                   num(s * 0.2) + "\" fill=\"none\" stroke=\"" + colour + "\" stroke-width=\"" +
                   num(2 + 3 * pulse) + "\" opacity=\"" + num(0.5 + 0.5 * pulse) + "\" filter=\"url(#" + p +
                   "b)\"/><rect x=\"7\" y=\"7\" width=\"" + num(entry.frameWidth - 14) + "\" height=\"" +
                   num(entry.frameHeight - 14) + "\" rx=\"" + num(s * 0.2) +
                   "\" fill=\"none\" stroke=\"#ffffff\" stroke-width=\"1.5\" opacity=\"" +
                   num(0.4 + 0.6 * pulse) + "\"/>";
        });
    }
    if (r == "sunburst") {
        return renderFrames(entry, [&](int i, const std::string& p) {
            double t = timeOf(i);
            return burst(s, t, "#ffb000", p) + "<g opacity=\"" + num(1 - t) + "\">" +
                   svgSunDisc(s / 2, s / 2, s * (0.2 + 0.2 * t), t * 2, p + "s") + "</g>";
        });
    }
    if (r == "burst") {
        std::string colour = entry.arg(0) == "white" ? "#c0e8ff" : "#ffc000";
        return renderFrames(entry,
                            [&](int i, const std::string& p) { return burst(s, timeOf(i), colour, p); });
    }
    if (r == "cobwebanim" || r == "vineanim") {
        // Starts from the whole web or vine as the square showed it, then tears it apart.
        std::string part = r == "cobwebanim" ? "tiles/cobweb.svg" : "tiles/vine.svg";
        return renderFrames(entry, [&](int i, const std::string& p) {
            return breakApart(
                s, timeOf(i), [&](const std::string& id) { return svgPart(context, part, id, 0, 0, s, s); },
                p);
        });
    }
    if (r == "twinkle") {
        return renderFrames(entry, [&](int i, const std::string& p) {
            double t = timeOf(i), size = std::sin(kPi * t);
            return "<defs>" + radial(p + "r", "#ffffff", "#ffe080", 0.9, 0.0) + "</defs>" +
                   circle(s / 2, s / 2, s * 0.3 * size + 0.5, "fill=\"url(#" + p + "r)\"") +
                   svgStar(s / 2, s / 2, s * 0.48 * size + 0.5, s * 0.06 * size + 0.2, 4, t * 0.8,
                           "fill=\"#ffffff\"");
        });
    }
    if (r == "sparkle") {
        return renderFrames(entry, [&](int i, const std::string& p) {
            return sparkle(s, timeOf(i), static_cast<int>(entry.name.size()), "#ffe060", p);
        });
    }
    if (r == "explosion") {
        return renderFrames(entry, [&](int i, const std::string& p) {
            double t = timeOf(i);
            std::string out = burst(s, t, "#ff6000", p);
            Rng rng(static_cast<uint64_t>(3));
            for (int k = 0; k < 8; ++k) {
                double a = rng.range(0, 2 * kPi), d = s * 0.36 * std::sqrt(t);
                out += circle(s / 2 + std::cos(a) * d, s / 2 + std::sin(a) * d, s * 0.08 * (1 - t) + 0.5,
                              "fill=\"#402010\" opacity=\"" + num(0.8 * (1 - t)) + "\"");
            }
            if (t > 0.3) {
                out += circle(s / 2, s / 2 - t * 10, s * 0.3 * t,
                              "fill=\"#808080\" opacity=\"" + num(0.5 * (1 - t)) + "\"");
            }
            return out;
        });
    }
    if (r == "lightning") {
        return renderFrames(entry, [&](int i, const std::string& p) {
            return lightningFrame(entry.frameWidth, entry.frameHeight, i, p);
        });
    }
    if (r == "static") {
        return renderFrames(entry, [&](int i, const std::string& p) {
            Rng rng(static_cast<uint64_t>(i * 7 + 1));
            std::string out = "<defs>" + radial(p + "r", "#ffffff", "#4080ff", 1, 0) + blurDef(p + "b", 1) +
                              "</defs>" + circle(s / 2, s / 2, s * 0.3, "fill=\"url(#" + p + "r)\"");
            for (int k = 0; k < 5; ++k) {
                double a = rng.range(0, 2 * kPi);
                std::string d = "M" + num(s / 2) + " " + num(s / 2);
                double x = s / 2, y = s / 2;
                for (int j = 0; j < 4; ++j) {
                    x = std::fmin(s - 4, std::fmax(4, x + std::cos(a) * s * 0.1 + rng.range(-4, 4)));
                    y = std::fmin(s - 4, std::fmax(4, y + std::sin(a) * s * 0.1 + rng.range(-4, 4)));
                    d += " L" + num(x) + " " + num(y);
                }
                out += "<path d=\"" + d +
                       "\" stroke=\"#d0e8ff\" stroke-width=\"1.5\" fill=\"none\" filter=\"url(#" + p +
                       "b)\"/><path d=\"" + d + "\" stroke=\"#ffffff\" stroke-width=\"0.8\" fill=\"none\"/>";
            }
            return out;
        });
    }
    if (r == "drip") {
        return renderFrames(entry, [&](int i, const std::string& p) {
            double w = entry.frameWidth, h = entry.frameHeight, t = loopOf(i);
            double stretch = 1 + 0.15 * std::sin(2 * kPi * t + 0.3);
            return "<defs><linearGradient id=\"" + p +
                   "d\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"1\"><stop offset=\"0\" "
                   "stop-color=\"#e8ffff\"/><stop offset=\"1\" "
                   "stop-color=\"#2a9ab0\"/></linearGradient></defs>"
                   "<path transform=\"translate(" +
                   num(w / 2) + " " + num(h * 0.58) + ") scale(0.78 " + num(0.78 * stretch) + ")\" d=\"M0 " +
                   num(-h * 0.58) + " C" + num(w * 0.1) + " " + num(-h * 0.3) + " " + num(w * 0.42) + " " +
                   num(-h * 0.05) + " " + num(w * 0.42) + " " + num(h * 0.12) + " A" + num(w * 0.42) + " " +
                   num(w * 0.42) + " 0 0 1 " + num(-w * 0.42) + " " + num(h * 0.12) + " C" + num(-w * 0.42) +
                   " " + num(-h * 0.05) + " " + num(-w * 0.1) + " " + num(-h * 0.3) + " 0 " + num(-h * 0.58) +
                   " Z\" fill=\"url(#" + p +
                   "d)\" stroke=\"#0e5a6a\" stroke-width=\"0.8\" opacity=\"0.9\"/>" +
                   circle(w * 0.4, h * 0.62, w * 0.1, "fill=\"#ffffff\" opacity=\"0.8\"");
        });
    }
    if (r == "hintarrow") {
        return renderFrames(entry, [&](int i, const std::string& p) {
            double bob = std::sin(2 * kPi * loopOf(i)) * 3 + 1.5;
            return "<defs><linearGradient id=\"" + p +
                   "a\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\"><stop offset=\"0\" "
                   "stop-color=\"#fff8c0\"/><stop offset=\"1\" "
                   "stop-color=\"#ffa000\"/></linearGradient></defs>"
                   "<path transform=\"translate(0 " +
                   num(bob) + ")\" d=\"M" + num(s * 0.35) + " 5 L" + num(s * 0.65) + " 5 L" + num(s * 0.65) +
                   " " + num(s * 0.45) + " L" + num(s * 0.85) + " " + num(s * 0.45) + " L" + num(s * 0.5) +
                   " " + num(s * 0.82) + " L" + num(s * 0.15) + " " + num(s * 0.45) + " L" + num(s * 0.35) +
                   " " + num(s * 0.45) + " Z\" fill=\"url(#" + p +
                   "a)\" stroke=\"#5a2a00\" "
                   "stroke-width=\"2\" stroke-linejoin=\"round\"/>";
        });
    }
    if (r == "beam") {
        return renderFrames(entry, [&](int i, const std::string& p) {
            double angle = i * 90.0 - 90.0;  // frames: up, right, down, left
            return "<defs>" + blurDef(p + "b", 3) + "<linearGradient id=\"" + p +
                   "g\" x1=\"0\" y1=\"0\" x2=\"1\" "
                   "y2=\"0\"><stop offset=\"0\" stop-color=\"#30c8ff\" stop-opacity=\"0\"/><stop "
                   "offset=\"0.7\" "
                   "stop-color=\"#a0f0ff\"/><stop offset=\"1\" "
                   "stop-color=\"#ffffff\"/></linearGradient></defs>"
                   "<g transform=\"rotate(" +
                   num(angle) + " " + num(s / 2) + " " + num(s / 2) +
                   ")\"><rect x=\"0\" "
                   "y=\"" +
                   num(s * 0.36) + "\" width=\"" + num(s * 0.9) + "\" height=\"" + num(s * 0.28) +
                   "\" rx=\"" + num(s * 0.14) + "\" fill=\"url(#" + p + "g)\" filter=\"url(#" + p +
                   "b)\"/><rect x=\"" + num(s * 0.1) + "\" y=\"" + num(s * 0.44) + "\" width=\"" +
                   num(s * 0.8) + "\" height=\"" + num(s * 0.12) + "\" rx=\"" + num(s * 0.06) +
                   "\" fill=\"url(#" + p + "g)\"/>" + circle(s * 0.84, s / 2, s * 0.1, "fill=\"#ffffff\"") +
                   "</g>";
        });
    }
    if (r == "dragonfly") {
        std::string dir = entry.arg(0);
        double angle = dir == "right"  ? 90
                       : dir == "down" ? 180
                       : dir == "left" ? 270
                       : dir == "up"   ? 0
                                       : -30;
        return renderFrames(
            entry, [&](int i, const std::string& p) { return dragonflyBody(s, loopOf(i), angle, p); });
    }
    if (r == "sunspin") {
        return renderFrames(entry, [&](int i, const std::string& p) {
            double t = loopOf(i);
            return "<defs>" + radial(p + "r", "#fff8c0", "#ffb000", 0.7, 0.0) + "</defs>" +
                   circle(s / 2, s / 2, s * 0.5, "fill=\"url(#" + p + "r)\"") +
                   svgSunDisc(s / 2, s / 2, s * 0.42, t * kPi / 6, p);
        });
    }
    if (r == "prizes") {
        bool disabled = entry.arg(0) == "disabled";
        return renderFrames(entry, [&](int i, const std::string& p) { return prize(s, i, disabled, p); });
    }
    if (r == "bonusblock") {
        bool cover = entry.arg(0) == "cover";
        return renderFrames(entry, [&](int i, const std::string& p) { return bonusBlock(s, i, cover, p); });
    }
    if (r == "cascadewords") {
        bool outline = entry.arg(0) == "outline";
        const char* words[] = {"Cascade!", "Double!", "Triple!", "Super!", "Amazing!", "Incredible!"};
        return renderFrames(entry, [&](int i, const std::string& p) {
            double w = entry.frameWidth, h = entry.frameHeight;
            if (outline) {
                return "<text x=\"" + num(w / 2) + "\" y=\"" + num(h * 0.74) +
                       "\" font-family=\"DejaVu Serif\" "
                       "font-weight=\"bold\" font-size=\"" +
                       num(h * 0.66) +
                       "\" text-anchor=\"middle\" "
                       "fill=\"#3a1a00\" stroke=\"#3a1a00\" stroke-width=\"6\" stroke-linejoin=\"round\">" +
                       std::string(words[i % 6]) + "</text>";
            }
            return "<defs><linearGradient id=\"" + p +
                   "g\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\"><stop offset=\"0.2\" "
                   "stop-color=\"#ffffff\"/><stop offset=\"0.9\" "
                   "stop-color=\"#ffc020\"/></linearGradient></defs>"
                   "<text x=\"" +
                   num(w / 2) + "\" y=\"" + num(h * 0.74) +
                   "\" font-family=\"DejaVu Serif\" "
                   "font-weight=\"bold\" font-size=\"" +
                   num(h * 0.66) + "\" text-anchor=\"middle\" fill=\"url(#" + p + "g)\">" +
                   std::string(words[i % 6]) + "</text>";
        });
    }
    throw ArtError(entry.where + ": unknown effect recipe " + r);
}

}  // namespace art
