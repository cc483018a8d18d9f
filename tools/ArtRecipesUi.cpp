// Interface pictures: buttons with their state frames, dialog panels, titles and signs, knobs and check
// marks, instruction pages, and the console with its water timer.
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
    double size = std::fmin(h * 0.5, 26);
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

std::string pageText(int page, double w, double h, const std::string& p) {
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
    std::string out = svgTitleText(pg.title, w / 2, 44, 30, "#fffbe8", "#ffc830", "#2a1600", p + "t", w - 40);
    for (int i = 0; i < 5; ++i) {
        out +=
            "<text x=\"" + num(w / 2) + "\" y=\"" + num(100 + i * 34) +
            "\" font-family=\"DejaVu Sans\" "
            "font-size=\"20\" text-anchor=\"middle\" fill=\"#f4f0e0\" stroke=\"#0a1a10\" stroke-width=\"3\" "
            "paint-order=\"stroke\">" +
            xmlText(pg.lines[i]) + "</text>";
    }
    // A small illustration under the text: three pieces in a row over gold squares.
    double y = h - 70;
    for (int k = 0; k < 5; ++k) {
        double x = w / 2 - 125 + k * 50;
        bool gold = k >= 1 && k <= 3;
        out += rectA(x, y, 48, 48, 5,
                     gold ? "fill=\"#ffd23c\" stroke=\"#8a5a00\" stroke-width=\"2\""
                          : "fill=\"#8a8670\" stroke=\"#3a382c\" stroke-width=\"2\"");
        if (gold)
            out += svgStar(x + 24, y + 24, 12, 5, 4, 0, "fill=\"#fff8c0\"");
    }
    return out;
}

}  // namespace

bool isUiRecipe(const std::string& name) {
    static const std::set<std::string> names = {
        "button",    "panel",    "text",         "sign",         "dim",           "parchment",   "inset",
        "track",     "knob",     "check",        "checkbox",     "tutorialarrow", "closebutton", "rowbutton",
        "page",      "titles",   "scrollarrow",  "roundarrow",   "console",       "timeline",    "water",
        "waterfall", "watertip", "timergraphic", "watertipmask", "redalert",      "sunbutton"};
    return names.count(name) != 0;
}

ArtImage recipeUi(const PictureEntry& entry, const ArtContext& context) {
    (void)context;
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
        // Frames: normal, hover, pressed, disabled, selected.
        return renderFrames(entry, [&](int i, const std::string&) {
            if (i == 0 || i == 3)
                return std::string();
            std::string fill = i == 4 ? "#ffd23c" : "#ffffff";
            double opacity = i == 1 ? 0.15 : i == 2 ? 0.25 : 0.35;
            return rectA(2, 2, w - 4, h - 4, 8,
                         "fill=\"" + fill + "\" fill-opacity=\"" + num(opacity) + "\" stroke=\"" + fill +
                             "\" stroke-width=\"2\"");
        });
    }
    if (r == "page") {
        int page = entry.intArg(0);
        return renderFrames(entry, [&](int, const std::string& p) { return pageText(page, w, h, p); });
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
            out += rectA(612, 16, 72, 44, 8, "fill=\"#10241a\" stroke=\"#c8a040\" stroke-width=\"1.5\"");
            out +=
                "<circle cx=\"718\" cy=\"36\" r=\"30\" fill=\"#10241a\" stroke=\"#c8a040\" "
                "stroke-width=\"1.5\"/>";
            out +=
                "<text x=\"20\" y=\"27\" font-family=\"DejaVu Serif\" font-weight=\"bold\" font-size=\"11\" "
                "fill=\"#e8c860\">SCORE</text><text x=\"400\" y=\"26\" font-family=\"DejaVu Serif\" "
                "font-weight=\"bold\" font-size=\"12\" text-anchor=\"middle\" fill=\"#e8c860\">TIME</text>"
                "<text x=\"648\" y=\"27\" font-family=\"DejaVu Serif\" font-weight=\"bold\" font-size=\"10\" "
                "text-anchor=\"middle\" fill=\"#e8c860\">STAGE - LEVEL</text><text x=\"648\" y=\"50\" "
                "font-family=\"DejaVu Serif\" font-weight=\"bold\" font-size=\"16\" text-anchor=\"middle\" "
                "fill=\"#e8c860\">-</text>";
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
