// Recipe dispatch and the SVG helpers that the recipe files share.
#include "tools/ArtRecipes.h"

#include <cstdio>
#include <sstream>

#include "tools/SvgRender.h"

namespace art {

std::string num(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    return buffer;
}

std::string mixHex(const std::string& a, const std::string& b, double t) {
    auto channel = [](const std::string& hex, int i) {
        return std::stoi(hex.substr(1 + 2 * i, 2), nullptr, 16);
    };
    char buffer[8];
    int c[3];
    for (int i = 0; i < 3; ++i) {
        double v = channel(a, i) + (channel(b, i) - channel(a, i)) * t;
        c[i] = static_cast<int>(std::lround(std::fmin(255.0, std::fmax(0.0, v))));
    }
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", c[0], c[1], c[2]);
    return buffer;
}

ArtImage renderFrames(const PictureEntry& entry,
                      const std::function<std::string(int, const std::string&)>& frame) {
    std::string body;
    for (int i = 0; i < entry.frameCount(); ++i) {
        int x = (i % entry.columns) * entry.frameWidth;
        int y = (i / entry.columns) * entry.frameHeight;
        std::string prefix = "f" + std::to_string(i) + "_";
        body += "<svg x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" width=\"" +
                std::to_string(entry.frameWidth) + "\" height=\"" + std::to_string(entry.frameHeight) +
                "\" overflow=\"hidden\">" + frame(i, prefix) + "</svg>";
    }
    return renderSvg(svgDocument(entry.sheetWidth(), entry.sheetHeight(), body), entry.sheetWidth(),
                     entry.sheetHeight(), entry.where + " (" + entry.name + ")");
}

namespace {

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

}  // namespace

std::string svgInner(const std::string& path, const std::string& prefix) {
    std::string text = readFileText(path);
    size_t open = text.find("<svg");
    size_t openEnd = open == std::string::npos ? open : text.find('>', open);
    size_t close = text.rfind("</svg>");
    if (openEnd == std::string::npos || close == std::string::npos || close < openEnd) {
        throw ArtError(path + ": expected an <svg> element");
    }
    std::string inner = text.substr(openEnd + 1, close - openEnd - 1);
    replaceAll(inner, "id=\"", "id=\"" + prefix);
    replaceAll(inner, "url(#", "url(#" + prefix);
    replaceAll(inner, "href=\"#", "href=\"#" + prefix);
    return inner;
}

std::string svgPart(const ArtContext& context, const std::string& art, const std::string& prefix, double x,
                    double y, double w, double h, const std::string& attrs) {
    std::string path = context.dataDir + "/art/" + art;
    std::string text = readFileText(path);
    size_t open = text.find("<svg");
    size_t openEnd = open == std::string::npos ? open : text.find('>', open);
    size_t box = open == std::string::npos ? open : text.find("viewBox=\"", open);
    if (box == std::string::npos || box > openEnd)
        throw ArtError(path + ": the <svg> element needs a viewBox");
    box += 9;
    std::string viewBox = text.substr(box, text.find('"', box) - box);
    return "<svg x=\"" + num(x) + "\" y=\"" + num(y) + "\" width=\"" + num(w) + "\" height=\"" + num(h) +
           "\" viewBox=\"" + viewBox + "\" overflow=\"visible\" " + attrs + ">" + svgInner(path, prefix) +
           "</svg>";
}

std::string svgTitleText(const std::string& text, double cx, double y, double size, const std::string& fill1,
                         const std::string& fill2, const std::string& outline, const std::string& prefix,
                         double maxWidth) {
    std::string fit;
    if (maxWidth > 0) {
        fit = " textLength=\"" + num(maxWidth) + "\" lengthAdjust=\"spacingAndGlyphs\"";
        // Only squeeze long texts: estimate the natural width from the face's average advance.
        double natural = text.size() * size * 0.62;
        if (natural <= maxWidth)
            fit.clear();
    }
    std::string font = "font-family=\"DejaVu Serif\" font-weight=\"bold\" font-size=\"" + num(size) +
                       "\" text-anchor=\"middle\"" + fit;
    std::string t = xmlText(text);
    std::string id = prefix + "tg";
    double o = std::fmax(2.0, size / 9.0);
    return "<defs><linearGradient id=\"" + id +
           "\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\"><stop offset=\"0.1\" "
           "stop-color=\"" +
           fill1 + "\"/><stop offset=\"0.9\" stop-color=\"" + fill2 +
           "\"/></linearGradient>"
           "<filter id=\"" +
           prefix +
           "sh\" x=\"-20%\" y=\"-40%\" width=\"140%\" height=\"180%\"><feGaussianBlur "
           "stdDeviation=\"" +
           num(size / 16.0) +
           "\"/></filter></defs>"
           "<text x=\"" +
           num(cx + size / 14.0) + "\" y=\"" + num(y + size / 10.0) + "\" " + font +
           " fill=\"#000\" opacity=\"0.55\" stroke=\"#000\" stroke-width=\"" + num(o * 2) +
           "\" stroke-linejoin=\"round\" filter=\"url(#" + prefix + "sh)\">" + t +
           "</text>"
           "<text x=\"" +
           num(cx) + "\" y=\"" + num(y) + "\" " + font + " fill=\"" + outline + "\" stroke=\"" + outline +
           "\" stroke-width=\"" + num(o * 2) + "\" stroke-linejoin=\"round\">" + t +
           "</text>"
           "<text x=\"" +
           num(cx) + "\" y=\"" + num(y) + "\" " + font + " fill=\"url(#" + id + ")\">" + t + "</text>";
}

std::string svgStar(double cx, double cy, double outer, double inner, int points, double rotation,
                    const std::string& attrs) {
    std::string d;
    for (int i = 0; i < points * 2; ++i) {
        double r = i % 2 == 0 ? outer : inner;
        double a = rotation + i * kPi / points - kPi / 2;
        d += (i == 0 ? "M" : "L") + num(cx + r * std::cos(a)) + " " + num(cy + r * std::sin(a)) + " ";
    }
    return "<path d=\"" + d + "Z\" " + attrs + "/>";
}

std::string svgSunDisc(double cx, double cy, double radius, double rotation, const std::string& prefix) {
    std::string g = prefix + "sd";
    return "<defs><radialGradient id=\"" + g +
           "\" cx=\"0.4\" cy=\"0.38\" r=\"0.65\"><stop offset=\"0\" "
           "stop-color=\"#fffde8\"/><stop offset=\"0.5\" stop-color=\"#ffd23a\"/><stop offset=\"1\" "
           "stop-color=\"#e07000\"/></radialGradient><linearGradient id=\"" +
           g +
           "r\" x1=\"0\" y1=\"0\" x2=\"1\" "
           "y2=\"1\"><stop offset=\"0\" stop-color=\"#fff6b0\"/><stop offset=\"1\" stop-color=\"#ff9a00\"/>"
           "</linearGradient></defs>" +
           svgStar(cx, cy, radius, radius * 0.62, 12, rotation,
                   "fill=\"url(#" + g + "r)\" stroke=\"#8a3c00\" stroke-width=\"" + num(radius * 0.06) +
                       "\" stroke-linejoin=\"round\"") +
           "<circle cx=\"" + num(cx) + "\" cy=\"" + num(cy) + "\" r=\"" + num(radius * 0.5) +
           "\" fill=\"url(#" + g + ")\" stroke=\"#9a4a00\" stroke-width=\"" + num(radius * 0.05) + "\"/>" +
           "<ellipse cx=\"" + num(cx - radius * 0.18) + "\" cy=\"" + num(cy - radius * 0.22) + "\" rx=\"" +
           num(radius * 0.18) + "\" ry=\"" + num(radius * 0.09) + "\" fill=\"#fff\" opacity=\"0.8\"/>";
}

ArtImage runRecipe(const PictureEntry& entry, const ArtContext& context) {
    if (entry.recipe.empty())
        throw ArtError(entry.where + ": " + entry.name + " has no recipe");
    const std::string& name = entry.recipe[0];
    if (name == "pieces")
        return recipePieces(entry, context);
    if (name == "piece")
        return recipePiece(entry, context);
    if (isBoardRecipe(name))
        return recipeBoard(entry, context);
    if (isEffectRecipe(name))
        return recipeEffects(entry, context);
    if (isScreenRecipe(name))
        return recipeScreens(entry, context);
    if (isUiRecipe(name))
        return recipeUi(entry, context);
    if (isFontRecipe(name))
        return recipeFonts(entry, context);
    throw ArtError(entry.where + ": unknown recipe '" + name + "' for " + entry.name);
}

}  // namespace art
