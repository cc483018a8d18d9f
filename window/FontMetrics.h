// window::FontMetrics: ascent, descent, height and text widths of a font.
#pragma once

#include "lang/Ref.h"
#include "window/Font.h"

namespace window {

class FontMetrics : public lang::Object {
public:
    // Takes a reference on the font; a null font measures everything as 0.
    explicit FontMetrics(Font* font);

    LANG_CLASS_NAME(FontMetrics, Object)

    int getAscent() const { return ascent_; }
    int getDescent() const { return descent_; }
    int getHeight() const { return ascent_ + descent_; }
    int charWidth(char c) const;
    int stringWidth(const lang::String& text) const;
    int stringWidth(const char* text) const;
    // No reference for the caller.
    Font* getFont() const { return font_.get(); }

private:
    lang::Ref<Font> font_;
    int ascent_ = 0;
    int descent_ = 0;
};

}  // namespace window
