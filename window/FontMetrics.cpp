// window::FontMetrics: the measures of a font, taken once when made.
#include "window/FontMetrics.h"

#include <cstring>

namespace window {

FontMetrics::FontMetrics(Font* font) : font_(lang::share(font)) {
    if (font_) {
        ascent_ = font_->getAscent();
        descent_ = font_->getDescent();
    }
}

int FontMetrics::charWidth(char c) const {
    return font_ ? font_->charWidth(c) : 0;
}

int FontMetrics::stringWidth(const lang::String& text) const {
    return font_ ? font_->stringWidth(text) : 0;
}

int FontMetrics::stringWidth(const char* text) const {
    return font_ && text != nullptr ? font_->stringWidth(text, static_cast<int>(std::strlen(text))) : 0;
}

}  // namespace window
