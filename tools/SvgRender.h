// SVG rendering for the content tools: SVG text in, straight-alpha pictures out (librsvg + cairo).
#pragma once

#include <string>

#include "tools/ArtImage.h"

namespace art {

// Renders an SVG document onto a transparent picture of the given size (the document's own viewport is
// scaled to fill it). `where` names the source in error messages.
ArtImage renderSvg(const std::string& svg, int width, int height, const std::string& where);

// An SVG document of the given pixel size around `body`.
std::string svgDocument(int width, int height, const std::string& body);
// Escapes text for SVG character data.
std::string xmlText(const std::string& text);

}  // namespace art
