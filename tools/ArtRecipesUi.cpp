// Interface pictures: buttons with their state frames, dialog panels, the credits, titles and signs, knobs
// and check marks, instruction pages, and the console with its water timer.
#include <set>

#include "tools/ArtRecipes.h"
#include "tools/SvgRender.h"

namespace art {

namespace {

std::string rectA(double x, double y, double w, double h, double r, const std::string& attrs) {
    return "<rect x=\"" + num(x) + "\" y=\"" + num(y) + "\" width=\"" + num(w) + "\" height=\"" + num(h) +
           "\" rx=\"" + num(r) + "\" " + attrs + "/>";
}

std::string gradient(const std::string& id, const std::string& top, const std::string& bottom) {
    return "<linearGradient id=\"" + id +
           "\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\"><stop offset=\"0\" stop-color=\"" + top +
           "\"/><stop offset=\"1\" stop-color=\"" + bottom + "\"/></linearGradient>";
}

// A button plate; state 0 normal, 1 hover, 2 pressed, 3 disabled. Labels use the title face.
std::string buttonFrame(double w, double h, const std::string& label, int state, const std::string& p) {
    std::string top = "#3f8a4a", bottom = "#1a4a26";
    if (state == 1)
        top = "#5cb866", bottom = "#23602f";
    if (state == 2)
        top = "#1f5a2a", bottom = "#2f7a3a";
    if (state == 3)
        top = "#7a7a70", bottom = "#4a4a44";
    double r = std::fmin(h / 2.6, 14);
    std::string out =
        "<defs>" + gradient(p + "b", top, bottom) +
        gradient(p + "rim", state == 3 ? "#c8c0a8" : "#ffe9a0", state == 3 ? "#6a6458" : "#a8700c") +
        "<filter id=\"" + p +
        "gl\" x=\"-10%\" y=\"-30%\" width=\"120%\" height=\"160%\"><feGaussianBlur "
        "stdDeviation=\"2.5\"/></filter></defs>";
    if (state == 1) {
        out += rectA(3, 3, w - 6, h - 6, r, "fill=\"#fff0a0\" opacity=\"0.8\" filter=\"url(#" + p + "gl)\"");
    }
    out +=
        rectA(2, 2, w - 4, h - 4, r, "fill=\"url(#" + p + "rim)\" stroke=\"#2a1a04\" stroke-width=\"1.2\"");
    out +=
        rectA(5, 5, w - 10, h - 10, r - 2, "fill=\"url(#" + p + "b)\" stroke=\"#0e2a12\" stroke-width=\"1\"");
    out += rectA(7, 6.5, w - 14, (h - 12) * 0.45, r - 3,
                 "fill=\"#ffffff\" opacity=\"" + num(state == 2 ? 0.06 : 0.16) + "\"");
    // The label keeps its natural shape: a long label on a narrow button gets a smaller size, never
    // squeezed glyphs (the width estimate is the title face's mean advance plus its outline).
    double room = w - 2 * r - 10;
    double size = std::fmin(std::fmin(h * 0.5, 26), room / (label.size() * 0.66 + 0.5));
    double dy = state == 2 ? 1.5 : 0;
    std::string fill1 = state == 3 ? "#e0dcd0" : "#fffbe8", fill2 = state == 3 ? "#a8a498" : "#ffd860";
    out += "<g transform=\"translate(" + num(dy) + " " + num(dy) + ")\">" +
           svgTitleText(label, w / 2, h / 2 + size * 0.36, size, fill1, fill2,
                        state == 3 ? "#3a3a36" : "#2a1600", p + "t", w - 2 * r - 8) +
           "</g>";
    return out;
}

std::string panel(double w, double h, const std::string& title, const std::string& p) {
    std::string out = "<defs>" + gradient(p + "rim", "#ffe9a0", "#8a5a08") + "<linearGradient id=\"" + p +
                      "st\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"1\"><stop offset=\"0\" "
                      "stop-color=\"#6a5a40\"/><stop offset=\"1\" stop-color=\"#3a2e1e\"/></linearGradient>"
                      "<radialGradient id=\"" +
                      p +
                      "in\" cx=\"0.4\" cy=\"0.3\" r=\"0.9\"><stop offset=\"0\" "
                      "stop-color=\"#2c5a44\"/><stop offset=\"1\" stop-color=\"#12281e\"/></radialGradient>"
                      "<filter id=\"" +
                      p +
                      "sh\" x=\"-10%\" y=\"-10%\" width=\"120%\" height=\"120%\"><feGaussianBlur "
                      "stdDeviation=\"4\"/></filter></defs>";
    out += rectA(8, 10, w - 14, h - 14, 18, "fill=\"#000\" opacity=\"0.5\" filter=\"url(#" + p + "sh)\"");
    out +=
        rectA(4, 4, w - 12, h - 12, 18, "fill=\"url(#" + p + "st)\" stroke=\"#1a1208\" stroke-width=\"2\"");
    out += rectA(9, 9, w - 22, h - 22, 14, "fill=\"none\" stroke=\"url(#" + p + "rim)\" stroke-width=\"4\"");
    out += rectA(16, 16, w - 36, h - 36, 10,
                 "fill=\"url(#" + p + "in)\" stroke=\"#0a140e\" stroke-width=\"1.5\"");
    // Carved corner ornaments and a few leaves.
    double corners[4][2] = {{20, 20}, {w - 28, 20}, {20, h - 28}, {w - 28, h - 28}};
    for (auto& c : corners) {
        out += svgStar(c[0] + 2, c[1] + 2, 9, 4, 4, 0.785,
                       "fill=\"#ffd860\" stroke=\"#5a3a00\" stroke-width=\"1\"");
    }
    for (int side = 0; side < 2; ++side) {
        double x = side == 0 ? 6 : w - 10;
        for (int k = 0; k < 3; ++k) {
            double angle = (side == 0 ? 200 : -20) + k * (side == 0 ? 30 : -30);
            out += "<path transform=\"translate(" + num(x) + " " + num(h * 0.2 + k * 10) + ") rotate(" +
                   num(angle) +
                   ")\" d=\"M0 0 C6 -6 18 -6 24 0 C18 6 6 6 0 0 Z\" fill=\"#4a9a30\" stroke=\"#123a10\" "
                   "stroke-width=\"1\"/>";
        }
    }
    if (!title.empty()) {
        out += svgTitleText(title, w / 2, 58, 34, "#fffbe8", "#ffc830", "#2a1600", p + "t", w - 80);
        out += "<path d=\"M" + num(w * 0.2) + " 72 L" + num(w * 0.8) + " 72\" stroke=\"url(#" + p +
               "rim)\" "
               "stroke-width=\"2\"/>";
    }
    return out;
}

std::string sign(double w, double h, const std::string& title, const std::string& line,
                 const std::string& p) {
    return panel(w, h, "", p) +
           svgTitleText(title, w / 2, h * 0.5, 40, "#fffbe8", "#ffc830", "#2a1600", p + "a", w - 60) +
           svgTitleText(line, w / 2, h * 0.76, 20, "#ffffff", "#d0f0d8", "#0a200e", p + "b", w - 60);
}

std::string knob(double s, int state, const std::string& p) {
    double light = state == 1 ? 0.2 : state == 2 ? -0.1 : 0;
    std::string out =
        "<defs><radialGradient id=\"" + p +
        "k\" cx=\"0.35\" cy=\"0.3\" r=\"0.75\"><stop offset=\"0\" "
        "stop-color=\"" +
        mixHex("#fff6c0", "#ffffff", std::fmax(0, light)) +
        "\"/><stop offset=\"0.6\" "
        "stop-color=\"#e0a020\"/><stop offset=\"1\" stop-color=\"#6a4000\"/></radialGradient></defs>";
    out += "<circle cx=\"" + num(s / 2) + "\" cy=\"" + num(s / 2) + "\" r=\"" + num(s * 0.42) +
           "\" fill=\"url(#" + p + "k)\" stroke=\"#2a1600\" stroke-width=\"2\" opacity=\"" +
           (state == 3 ? "0.5" : "1") + "\"/>";
    out += "<path d=\"M" + num(s / 2) + " " + num(s * 0.22) + " L" + num(s / 2) + " " + num(s * 0.78) +
           "\" stroke=\"#5a3400\" stroke-width=\"2.5\" stroke-linecap=\"round\"/>";
    return out;
}

std::string checkMark(double s, int state, const std::string& p) {
    std::string colour = state == 1 ? "#c0ffb0" : state == 3 ? "#a0a0a0" : "#60e040";
    (void)p;
    return "<path d=\"M" + num(s * 0.15) + " " + num(s * 0.5) + " L" + num(s * 0.4) + " " + num(s * 0.78) +
           " L" + num(s * 0.9) + " " + num(s * 0.12) +
           "\" fill=\"none\" stroke=\"#0a2a04\" stroke-width=\"8\" "
           "stroke-linecap=\"round\" stroke-linejoin=\"round\"/><path d=\"M" +
           num(s * 0.15) + " " + num(s * 0.5) + " L" + num(s * 0.4) + " " + num(s * 0.78) + " L" +
           num(s * 0.9) + " " + num(s * 0.12) + "\" fill=\"none\" stroke=\"" + colour +
           "\" stroke-width=\"4.5\" stroke-linecap=\"round\" "
           "stroke-linejoin=\"round\"/>";
}

std::string arrowShape(double w, double h, double angle, int state, const std::string& p) {
    std::string top = state == 1 ? "#fff8c0" : state == 3 ? "#a8a8a0" : "#ffe070";
    std::string bottom = state == 3 ? "#5a5a54" : "#b06a00";
    double light = state == 2 ? 0.85 : 1.0;
    return "<defs>" + gradient(p + "a", top, bottom) + "</defs><g opacity=\"" +
           num(state == 3 ? 0.55 : light) + "\" transform=\"rotate(" + num(angle) + " " + num(w / 2) + " " +
           num(h / 2) + ")\"><path d=\"M" + num(w * 0.75) + " " + num(h * 0.5) + " L" + num(w * 0.25) + " " +
           num(h * 0.5 - std::fmin(w, h) * 0.38) + " L" + num(w * 0.25) + " " +
           num(h * 0.5 + std::fmin(w, h) * 0.38) + " Z\" fill=\"url(#" + p +
           "a)\" stroke=\"#3a1e00\" stroke-width=\"2.5\" stroke-linejoin=\"round\"/></g>";
}

std::string waterBand(double w, double h, double t, const std::string& p) {
    std::string d = "M0 " + num(h * 0.3);
    for (double x = 0; x <= w; x += 10) {
        d += " L" + num(x) + " " + num(h * 0.3 + std::sin((x / 40.0 + t) * 2 * kPi) * 2.2);
    }
    d += " L" + num(w) + " " + num(h) + " L0 " + num(h) + " Z";
    return "<defs>" + gradient(p + "w", "#7ff0f0", "#0a6a80") + "</defs><path d=\"" + d + "\" fill=\"url(#" +
           p + "w)\"/><path d=\"" + d.substr(0, d.find(" L" + num(w) + " " + num(h))) +
           "\" fill=\"none\" stroke=\"#e8ffff\" stroke-width=\"1.4\" opacity=\"0.8\"/>";
}

// A square of the board at (x, y) with an optional piece on it, drawn with the game's own tiles and pieces.
std::string snippetSquare(const ArtContext& context, double x, double y, int tileFrame,
                          const std::string& kind, const std::string& p) {
    std::string out = "<svg x=\"" + num(x) + "\" y=\"" + num(y) +
                      "\" width=\"48\" height=\"48\" overflow=\"visible\">" +
                      svgBoardSquare(context, 48, 1, tileFrame, p + "q") + "</svg>";
    if (!kind.empty())
        out += svgPiece(context, kind, x, y, 48, false, p + "p");
    return out;
}

// An arrow from (x0, y0) to (x1, y1) bending upwards by `bend`, with a head at the end (both ends when
// `both`), white with a dark edge so it reads over squares and pieces.
std::string snippetArrow(double x0, double y0, double x1, double y1, double bend, bool both) {
    double mx = (x0 + x1) / 2, my = (y0 + y1) / 2 - bend;
    std::string d =
        "M" + num(x0) + " " + num(y0) + " Q" + num(mx) + " " + num(my) + " " + num(x1) + " " + num(y1);
    auto head = [&](double x, double y, double fx, double fy) {
        double a = std::atan2(y - fy, x - fx);
        return "M" + num(x + std::cos(a + 2.6) * 10) + " " + num(y + std::sin(a + 2.6) * 10) + " L" + num(x) +
               " " + num(y) + " L" + num(x + std::cos(a - 2.6) * 10) + " " + num(y + std::sin(a - 2.6) * 10);
    };
    std::string heads = head(x1, y1, mx, my) + (both ? " " + head(x0, y0, mx, my) : "");
    return "<path d=\"" + d + " " + heads +
           "\" fill=\"none\" stroke=\"#14100a\" stroke-width=\"7\" stroke-linecap=\"round\" "
           "stroke-linejoin=\"round\"/><path d=\"" +
           d + " " + heads +
           "\" fill=\"none\" stroke=\"#fffbe8\" stroke-width=\"3.5\" stroke-linecap=\"round\" "
           "stroke-linejoin=\"round\"/>";
}

// The board snippet that illustrates page `page`: the rule shown with the real squares and pieces.
std::string pageSnippet(const ArtContext& context, int page, double w, double y, const std::string& p) {
    std::string out;
    auto id = [&](int k) { return p + "s" + std::to_string(k); };
    switch (page) {
        case 1: {  // a swap lines up three frogs, and their squares turn to gold
            double x = w / 2 - 200;
            const char* before[4] = {"frog", "frog", "crystal", "frog"};
            for (int k = 0; k < 4; ++k)
                out += snippetSquare(context, x + k * 50, y, 0, before[k], id(k));
            out += snippetArrow(x + 124, y - 2, x + 174, y - 2, 18, true);
            out += snippetArrow(x + 214, y + 24, x + 246, y + 24, 0, false);
            for (int k = 0; k < 3; ++k)
                out += snippetSquare(context, x + 256 + k * 50, y, 6, "", id(4 + k));
            break;
        }
        case 2: {  // the console sun breaks a piece and gilds its square
            double x = w / 2 - 170;
            out += "<svg x=\"" + num(x) + "\" y=\"" + num(y - 4) + "\" width=\"56\" height=\"56\">" +
                   svgSunDisc(28, 28, 26, 0, p + "sun") + "</svg>";
            out += snippetArrow(x + 56, y + 20, x + 124, y + 12, 24, false);
            out += snippetSquare(context, x + 130, y, 0, "butterfly", id(0));
            out += svgStar(x + 154, y + 24, 26, 8, 8, 0.2,
                           "fill=\"#fff6b0\" stroke=\"#8a4a00\" stroke-width=\"1.5\" "
                           "opacity=\"0.85\"");
            out += snippetArrow(x + 186, y + 24, x + 226, y + 24, 0, false);
            out += snippetSquare(context, x + 236, y, 6, "", id(1));
            out += snippetSquare(context, x + 286, y, 6, "mushroom", id(2));
            break;
        }
        case 3: {  // four power pieces with their overlays: area blast, row beam, column beam, dragonfly
            const int overlayFrame[4] = {4, 45, 66, 150};
            const char* kinds[4] = {"frog", "medallion", "crystal", "fern"};
            double x = w / 2 - 4 * 86 / 2 + 19;
            for (int k = 0; k < 4; ++k) {
                double sx = x + k * 86;
                bool over = overlayFrame[k] >= 42 && overlayFrame[k] < 105;
                std::string overlay = "<svg x=\"" + num(sx - 15) + "\" y=\"" + num(y - 15) +
                                      "\" width=\"78\" height=\"78\">" +
                                      svgPowerOverlay(context, 78, overlayFrame[k], id(k) + "o") + "</svg>";
                out += snippetSquare(context, sx, y, 0, "", id(k));
                if (!over)
                    out += overlay;
                out += svgPiece(context, kinds[k], sx, y, 48, false, id(k) + "p");
                if (over)
                    out += overlay;
            }
            break;
        }
        default: {  // a cobweb, a double and a triple tile under pieces, two vines and one vine
            double x = w / 2 - 5 * 58 / 2 + 5;
            out += snippetSquare(context, x, y, 0, "ant", id(0)) + "<svg x=\"" + num(x) + "\" y=\"" + num(y) +
                   "\" width=\"48\" height=\"48\">" +
                   svgPart(context, "tiles/cobweb.svg", id(0) + "w", 0, 0, 48, 48) + "</svg>";
            out += snippetSquare(context, x + 58, y, 1, "crystal", id(1));
            out += snippetSquare(context, x + 116, y, 3, "mushroom", id(2));
            out += snippetSquare(context, x + 174, y, 9, "", id(3));
            out += snippetSquare(context, x + 232, y, 10, "", id(4));
            break;
        }
    }
    return out;
}

std::string pageText(const ArtContext& context, int page, double w, double h, const std::string& p) {
    struct Page {
        const char* title;
        const char* lines[5];
    };
    const Page pages[4] = {
        {"Turn the temple to gold",
         {"Swap two neighbouring pieces to line up", "three or more of a kind.",
          "Every square under a match turns to gold.", "Turn every square gold before",
          "the water timer fills up."}},
        {"Cascades and suns",
         {"Pieces that fall into new matches", "score cascades worth much more.",
          "Collect suns in the bonus levels.", "Click the console sun, then a piece,",
          "to break it and gild its square."}},
        {"Power pieces",
         {"Glowing pieces carry a power:", "blasts, beams, the clock and", "the dragonfly. Match them to",
          "set them off. Hover over one", "to see what it will reach."}},
        {"Special squares",
         {"Cobwebs hold pieces until a match", "beside them tears the web.", "Double and triple tiles need",
          "several matches. Vines block the", "board until a blast clears them."}},
    };
    const Page& pg = pages[(page - 1) % 4];
    std::string out = svgTitleText(pg.title, w / 2, 40, 30, "#fffbe8", "#ffc830", "#2a1600", p + "t", w - 40);
    for (int i = 0; i < 5; ++i) {
        out +=
            "<text x=\"" + num(w / 2) + "\" y=\"" + num(84 + i * 29) +
            "\" font-family=\"DejaVu Sans\" "
            "font-size=\"19\" text-anchor=\"middle\" fill=\"#f4f0e0\" stroke=\"#0a1a10\" stroke-width=\"3\" "
            "paint-order=\"stroke\">" +
            xmlText(pg.lines[i]) + "</text>";
    }
    out += pageSnippet(context, (page - 1) % 4 + 1, w, h - 72, p + "n");
    return out;
}

}  // namespace

bool isUiRecipe(const std::string& name) {
    static const std::set<std::string> names = {
        "button",    "panel",     "credits",  "text",         "sign",         "dim",           "parchment",
        "inset",     "track",     "knob",     "check",        "checkbox",     "tutorialarrow", "closebutton",
        "rowbutton", "page",      "titles",   "scrollarrow",  "roundarrow",   "console",       "timeline",
        "water",     "waterfall", "watertip", "timergraphic", "watertipmask", "redalert",      "sunbutton"};
    return names.count(name) != 0;
}

ArtImage recipeUi(const PictureEntry& entry, const ArtContext& context) {
    const std::string& r = entry.recipe[0];
    double w = entry.frameWidth, h = entry.frameHeight;
    int n = entry.frameCount();
    if (r == "button") {
        std::string label = entry.arg(2);
        return renderFrames(entry,
                            [&](int i, const std::string& p) { return buttonFrame(w, h, label, i % 4, p); });
    }
    if (r == "panel") {
        std::string title = entry.recipe.size() > 3 ? entry.arg(2) : "";
        return renderFrames(entry, [&](int, const std::string& p) { return panel(w, h, title, p); });
    }
    if (r == "credits") {
        // The panel with its title, and the words of data/art/dialogs/credits.svg over it.
        return renderFrames(entry, [&](int, const std::string& p) {
            return panel(w, h, "Credits", p) +
                   svgPart(context, "dialogs/credits.svg", p + "c", 0, 0, w, h, "");
        });
    }
    if (r == "text") {
        double size = entry.intArg(0);
        std::string text = entry.arg(2);
        return renderFrames(entry, [&](int, const std::string& p) {
            return svgTitleText(text, w / 2, h / 2 + size * 0.36, size, "#fffbe8", "#ffc020", "#2a1200", p,
                                w - 12);
        });
    }
    if (r == "titles") {
        return renderFrames(entry, [&](int i, const std::string& p) {
            std::string text = entry.arg(static_cast<size_t>(i) % (entry.recipe.size() - 1));
            return svgTitleText(text, w / 2, h / 2 + 12, 32, "#fffbe8", "#ffc020", "#2a1200", p, w - 12);
        });
    }
    if (r == "sign") {
        return renderFrames(
            entry, [&](int, const std::string& p) { return sign(w, h, entry.arg(0), entry.arg(1), p); });
    }
    if (r == "dim") {
        return renderFrames(entry, [&](int, const std::string&) {
            return rectA(0, 0, w, h, 0, "fill=\"#081008\" opacity=\"0.55\"");
        });
    }
    if (r == "parchment") {
        return renderFrames(entry, [&](int, const std::string& p) {
            return "<defs><radialGradient id=\"" + p +
                   "pa\" cx=\"0.4\" cy=\"0.35\" r=\"0.8\"><stop offset=\"0\" "
                   "stop-color=\"#fff4d8\"/><stop offset=\"1\" "
                   "stop-color=\"#d8b880\"/></radialGradient></defs>" +
                   rectA(3, 3, w - 6, h - 6, 14,
                         "fill=\"url(#" + p + "pa)\" stroke=\"#6a4a1a\" stroke-width=\"3\"") +
                   rectA(10, 10, w - 20, h - 20, 10,
                         "fill=\"none\" stroke=\"#b08a4a\" stroke-width=\"1.5\" "
                         "stroke-dasharray=\"8 4\"");
        });
    }
    if (r == "inset") {
        return renderFrames(entry, [&](int, const std::string& p) {
            return "<defs>" + gradient(p + "i", "#0a1810", "#1e3a2a") + "</defs>" +
                   rectA(1, 1, w - 2, h - 2, 8,
                         "fill=\"url(#" + p + "i)\" stroke=\"#c8a040\" stroke-width=\"2\"") +
                   rectA(3, 3, w - 6, 6, 3, "fill=\"#000\" opacity=\"0.35\"");
        });
    }
    if (r == "track") {
        return renderFrames(entry, [&](int, const std::string& p) {
            return "<defs>" + gradient(p + "t", "#0a1810", "#2a4a30") + "</defs>" +
                   rectA(8, h / 2 - 5, w - 16, 10, 5,
                         "fill=\"url(#" + p + "t)\" stroke=\"#c8a040\" stroke-width=\"1.5\"");
        });
    }
    if (r == "knob")
        return renderFrames(entry, [&](int i, const std::string& p) { return knob(w, i, p); });
    if (r == "check")
        return renderFrames(entry, [&](int i, const std::string& p) { return checkMark(w, i, p); });
    if (r == "checkbox") {
        return renderFrames(entry, [&](int, const std::string&) {
            return rectA(3, 3, w - 6, h - 6, 6, "fill=\"#0e2216\" stroke=\"#e0b040\" stroke-width=\"2.5\"");
        });
    }
    if (r == "tutorialarrow") {
        return renderFrames(
            entry, [&](int i, const std::string& p) { return arrowShape(w, h, i * 90.0 - 90.0, 0, p); });
    }
    if (r == "scrollarrow" || r == "roundarrow") {
        double angle = entry.arg(0) == "left" ? 180 : 0;
        bool round = r == "roundarrow";
        return renderFrames(entry, [&](int i, const std::string& p) {
            std::string back;
            if (round) {
                back = "<circle cx=\"" + num(w / 2) + "\" cy=\"" + num(h / 2) + "\" r=\"" + num(w * 0.46) +
                       "\" fill=\"#1e4a2a\" stroke=\"#e0b040\" stroke-width=\"2.5\" opacity=\"" +
                       (i == 3 ? "0.5" : "1") + "\"/>";
            }
            return back + arrowShape(w, h, angle, i, p);
        });
    }
    if (r == "closebutton") {
        return renderFrames(entry, [&](int i, const std::string&) {
            std::string fill = i == 1 ? "#e05030" : i == 3 ? "#808078" : "#b03018";
            return "<circle cx=\"" + num(w / 2) + "\" cy=\"" + num(h / 2) + "\" r=\"" + num(w * 0.44) +
                   "\" fill=\"" + fill + "\" stroke=\"#3a0a00\" stroke-width=\"2\"/><path d=\"M" +
                   num(w * 0.32) + " " + num(h * 0.32) + " L" + num(w * 0.68) + " " + num(h * 0.68) + " M" +
                   num(w * 0.68) + " " + num(h * 0.32) + " L" + num(w * 0.32) + " " + num(h * 0.68) +
                   "\" stroke=\"#fff\" stroke-width=\"3\" stroke-linecap=\"round\"/>";
        });
    }
    if (r == "rowbutton") {
        // Frames: normal, hover, pressed, disabled, selected, selected hover. A row's name is drawn
        // over it in gold, so the selected plate stays dark inside: a lit green with a heavy gold rim,
        // a glow, and a sun at its right end that no other row has.
        return renderFrames(entry, [&](int i, const std::string& p) {
            if (i == 0 || i == 3)
                return std::string();
            if (i < 4) {
                double opacity = i == 1 ? 0.15 : 0.25;
                return rectA(2, 2, w - 4, h - 4, 8,
                             "fill=\"#ffffff\" fill-opacity=\"" + num(opacity) +
                                 "\" stroke=\"#ffffff\" stroke-width=\"2\"");
            }
            const bool hover = i == 5;
            std::string out = "<defs>" + gradient(p + "f", hover ? "#4a9a6a" : "#3a8258", "#1a4a30") +
                              gradient(p + "rim", "#fff2a0", "#c08010") + "<filter id=\"" + p +
                              "gl\" x=\"-10%\" y=\"-40%\" width=\"120%\" height=\"180%\"><feGaussianBlur "
                              "stdDeviation=\"2\"/></filter></defs>";
            out += rectA(
                3, 3, w - 6, h - 6, 9,
                "fill=\"#ffd23c\" opacity=\"" + num(hover ? 0.9 : 0.7) + "\" filter=\"url(#" + p + "gl)\"");
            out += rectA(3, 3, w - 6, h - 6, 9,
                         "fill=\"url(#" + p + "f)\" stroke=\"url(#" + p + "rim)\" stroke-width=\"3\"");
            out += rectA(6, 5.5, w - 12, (h - 10) * 0.4, 6, "fill=\"#ffffff\" opacity=\"0.12\"");
            out += svgSunDisc(w - 20, h / 2, h * 0.36, 0, p + "s");
            return out;
        });
    }
    if (r == "page") {
        int page = entry.intArg(0);
        return renderFrames(entry,
                            [&](int, const std::string& p) { return pageText(context, page, w, h, p); });
    }
    if (r == "console") {
        return renderFrames(entry, [&](int, const std::string& p) {
            std::string out = "<defs>" + gradient(p + "c", "#5a4a30", "#2a2014") +
                              gradient(p + "rim", "#ffe9a0", "#8a5a08") + "</defs>" +
                              rectA(0, 4, w, h - 4, 0, "fill=\"url(#" + p + "c)\"") +
                              rectA(0, 2, w, 5, 0, "fill=\"url(#" + p + "rim)\"");
            // Wells for the score, the timer track, stage-level and the sun.
            out += rectA(10, 16, 150, 44, 8, "fill=\"#10241a\" stroke=\"#c8a040\" stroke-width=\"1.5\"");
            out += rectA(194, 32, 412, 32, 10, "fill=\"#10241a\" stroke=\"#c8a040\" stroke-width=\"1.5\"");
            out += rectA(610, 16, 74, 44, 8, "fill=\"#10241a\" stroke=\"#c8a040\" stroke-width=\"1.5\"");
            out +=
                "<circle cx=\"718\" cy=\"36\" r=\"30\" fill=\"#10241a\" stroke=\"#c8a040\" "
                "stroke-width=\"1.5\"/>";
            // Labels at 15 pixels, each inside its well: the stage-level well is too narrow for "STAGE -
            // LEVEL" at a legible size, so it says "LEVEL" over the "stage - level" numbers. The dash
            // between them stands right of the well's middle: the stage number, right-aligned before
            // it, may have two digits, the level number after it only one (data/layout.txt).
            std::string label =
                "font-family=\"DejaVu Serif\" font-weight=\"bold\" font-size=\"15\" fill=\"#f0d070\" "
                "stroke=\"#10241a\" stroke-width=\"3\" paint-order=\"stroke\"";
            out +=
                "<text x=\"20\" y=\"30\" " + label + ">SCORE</text><text x=\"400\" y=\"27\" " + label +
                " text-anchor=\"middle\">TIME</text><text x=\"647\" y=\"31\" " + label +
                " text-anchor=\"middle\">LEVEL</text><text x=\"652\" y=\"51\" font-family=\"DejaVu Serif\" "
                "font-weight=\"bold\" font-size=\"18\" text-anchor=\"middle\" fill=\"#f0d070\">-</text>";
            return out;
        });
    }
    if (r == "timeline") {
        return renderFrames(entry, [&](int, const std::string& p) {
            return "<defs>" + gradient(p + "t", "#3a2a10", "#1a1208") + "</defs>" +
                   rectA(0, 0, w, h, h / 2,
                         "fill=\"url(#" + p + "t)\" stroke=\"#0a0804\" stroke-width=\"1\"");
        });
    }
    if (r == "water" || r == "timergraphic") {
        bool still = r == "timergraphic";
        return renderFrames(entry, [&](int i, const std::string& p) {
            double t = still ? 0.0 : i / static_cast<double>(n);
            return "<defs><clipPath id=\"" + p + "c\">" + rectA(0, 0, w, h, h / 2, "") +
                   "</clipPath></defs><g "
                   "clip-path=\"url(#" +
                   p + "c)\">" + waterBand(w, h, t, p) + "</g>";
        });
    }
    if (r == "watertipmask") {
        return renderFrames(entry, [&](int, const std::string& p) {
            return "<defs><linearGradient id=\"" + p +
                   "m\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"0\"><stop offset=\"0.9\" "
                   "stop-color=\"#fff\" stop-opacity=\"1\"/><stop offset=\"1\" stop-color=\"#fff\" "
                   "stop-opacity=\"0\"/>"
                   "</linearGradient></defs>" +
                   rectA(0, 0, w, h, 0, "fill=\"url(#" + p + "m)\"");
        });
    }
    if (r == "watertip" || r == "waterfall") {
        bool tip = r == "watertip";
        return renderFrames(entry, [&](int i, const std::string& p) {
            double t = i / static_cast<double>(n);
            std::string out = "<defs>" + gradient(p + "w", "#c8ffff", "#1a8aa0") + "</defs>";
            if (tip) {
                double crest = std::sin(2 * kPi * t) * 3;
                out += "<path d=\"M0 " + num(h * 0.35) + " Q" + num(w * 0.5) + " " + num(h * 0.1 + crest) +
                       " " + num(w * 0.8) + " " + num(h * 0.5) + " Q" + num(w) + " " + num(h * 0.8) + " " +
                       num(w * 0.7) + " " + num(h) + " L0 " + num(h) + " Z\" fill=\"url(#" + p +
                       "w)\" opacity=\"0.9\"/>";
                out += "<circle cx=\"" + num(w * 0.78) + "\" cy=\"" + num(h * 0.3 - crest) +
                       "\" r=\"2\" fill=\"#fff\"/>";
            } else {
                for (int k = 0; k < 6; ++k) {
                    double u = std::fmod(t + k / 6.0, 1.0);
                    out += "<circle cx=\"" + num(w * (0.2 + 0.12 * k)) + "\" cy=\"" +
                           num(h * (0.2 + 0.7 * u)) + "\" r=\"" + num(3 * (1 - u) + 1) +
                           "\" fill=\"#d8ffff\" opacity=\"" + num(1 - u) + "\"/>";
                }
            }
            return out;
        });
    }
    if (r == "redalert") {
        return renderFrames(entry, [&](int i, const std::string& p) {
            return "<defs><filter id=\"" + p +
                   "b\" x=\"-10%\" y=\"-50%\" width=\"120%\" height=\"200%\">"
                   "<feGaussianBlur stdDeviation=\"4\"/></filter></defs>" +
                   rectA(8, 8, w - 16, h - 16, (h - 16) / 2,
                         "fill=\"none\" stroke=\"#ff2010\" stroke-width=\"6\" "
                         "opacity=\"" +
                             std::string(i == 0 ? "0.9" : "0.5") + "\" filter=\"url(#" + p + "b)\"");
        });
    }
    if (r == "sunbutton") {
        return renderFrames(entry, [&](int i, const std::string& p) {
            std::string disc = svgSunDisc(w / 2, h / 2, w * 0.44, i == 1 ? 0.26 : 0, p);
            if (i == 1)
                disc = "<circle cx=\"" + num(w / 2) + "\" cy=\"" + num(h / 2) + "\" r=\"" + num(w * 0.48) +
                       "\" fill=\"#fff4a0\" opacity=\"0.5\"/>" + disc;
            if (i == 3)
                disc = "<g opacity=\"0.45\">" + disc + "</g>";
            if (i == 2)
                disc = "<g transform=\"translate(1 1)\">" + disc + "</g>";
            return disc;
        });
    }
    throw ArtError(entry.where + ": unknown interface recipe " + r);
}

}  // namespace art
