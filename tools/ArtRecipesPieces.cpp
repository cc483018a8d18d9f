// Piece pictures: the 18 kinds drawn from data/art/pieces/*.svg, plain and lit, as a sheet and one by one.
#include <array>

#include "tools/ArtRecipes.h"
#include "tools/SvgRender.h"

namespace art {

namespace {

// The kind table's order: frame n of the sheet is kind code n.
const std::array<const char*, 18> kKinds = {
    "frog",  "panther",  "gorilla",   "medallion", "crystal",   "ant",
    "fern",  "nugget",   "bluemask",  "brownmask", "arrowhead", "roundmedallion",
    "frond", "mushroom", "butterfly", "moneybags", "bluerobot", "sun"};

// One piece in a size x size cell: soft shadow down-right (light from the upper left), the icon, and for
// the lit look a white rim inside a dark edge (it reads on stone and on gold alike) and slightly brighter
// colours that keep their saturation.
std::string pieceBody(const std::string& icon, int size, bool lit, const std::string& prefix) {
    double s = size;
    double inset = s * 0.06;
    double box = s - 2 * inset;
    std::string place = "x=\"" + num(inset) + "\" y=\"" + num(inset) + "\" width=\"" + num(box) +
                        "\" height=\"" + num(box) + "\" viewBox=\"0 0 100 100\"";
    std::string defs =
        "<defs><filter id=\"" + prefix +
        "shadow\" x=\"-20%\" y=\"-20%\" width=\"140%\" "
        "height=\"140%\"><feGaussianBlur in=\"SourceAlpha\" stdDeviation=\"3\"/><feOffset dx=\"3\" "
        "dy=\"4\"/><feComponentTransfer><feFuncA type=\"linear\" slope=\"0.55\"/>"
        "</feComponentTransfer></filter>"
        "<filter id=\"" +
        prefix +
        "glow\" x=\"-40%\" y=\"-40%\" width=\"180%\" height=\"180%\">"
        "<feMorphology in=\"SourceAlpha\" operator=\"dilate\" radius=\"3.2\" result=\"outer\"/>"
        "<feMorphology in=\"SourceAlpha\" operator=\"dilate\" radius=\"1.8\" result=\"inner\"/>"
        "<feFlood flood-color=\"#1a0c00\" flood-opacity=\"0.9\"/><feComposite in2=\"outer\" operator=\"in\" "
        "result=\"dark\"/><feFlood flood-color=\"#ffffff\"/><feComposite in2=\"inner\" operator=\"in\" "
        "result=\"light\"/><feMerge><feMergeNode in=\"dark\"/><feMergeNode in=\"light\"/></feMerge>"
        "</filter>"
        "<filter id=\"" +
        prefix +
        "bright\"><feComponentTransfer><feFuncR type=\"linear\" "
        "slope=\"1.12\" intercept=\"0.04\"/><feFuncG type=\"linear\" slope=\"1.12\" intercept=\"0.04\"/>"
        "<feFuncB type=\"linear\" slope=\"1.1\" intercept=\"0.03\"/></feComponentTransfer></filter>"
        "</defs>";
    std::string body = defs;
    if (lit) {
        body += "<g filter=\"url(#" + prefix + "glow)\"><svg " + place + ">" + icon + "</svg></g>";
        body += "<g filter=\"url(#" + prefix + "bright)\"><svg " + place + ">" + icon + "</svg></g>";
    } else {
        body += "<g filter=\"url(#" + prefix + "shadow)\"><svg " + place + ">" + icon + "</svg></g>";
        body += "<svg " + place + ">" + icon + "</svg>";
    }
    return body;
}

std::string iconPath(const ArtContext& context, const std::string& kind) {
    return context.dataDir + "/art/pieces/" + kind + ".svg";
}

}  // namespace

std::string svgPiece(const ArtContext& context, const std::string& kind, double x, double y, double size,
                     bool lit, const std::string& prefix) {
    int cell = static_cast<int>(std::lround(size));
    return "<svg x=\"" + num(x) + "\" y=\"" + num(y) + "\" width=\"" + num(size) + "\" height=\"" +
           num(size) + "\" viewBox=\"0 0 " + std::to_string(cell) + " " + std::to_string(cell) +
           "\" overflow=\"visible\">" +
           pieceBody(svgInner(iconPath(context, kind), prefix + "i"), cell, lit, prefix) + "</svg>";
}

ArtImage recipePieces(const PictureEntry& entry, const ArtContext& context) {
    if (entry.frameCount() != 36)
        throw ArtError(entry.where + ": the piece sheet holds 36 frames");
    return renderFrames(entry, [&](int i, const std::string& prefix) {
        const char* kind = kKinds[i % 18];
        return pieceBody(svgInner(iconPath(context, kind), prefix + "i"), entry.frameWidth, i >= 18, prefix);
    });
}

ArtImage recipePiece(const PictureEntry& entry, const ArtContext& context) {
    std::string kind = entry.arg(0);
    bool known = false;
    for (const char* k : kKinds)
        known = known || kind == k;
    if (!known)
        throw ArtError(entry.where + ": '" + kind + "' is not one of the 18 piece kinds");
    return renderFrames(entry, [&](int i, const std::string& prefix) {
        return pieceBody(svgInner(iconPath(context, kind), prefix + "i"), entry.frameWidth, i > 0, prefix);
    });
}

}  // namespace art
