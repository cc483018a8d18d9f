// sprite::TextSprite: text in a platform font, rendered once into a picture of its own and blitted.
#pragma once

#include "sprite/Sprite.h"
#include "window/Font.h"
#include "window/FontMetrics.h"

namespace sprite {

// y is the baseline of the first line: the picture is drawn at y minus the font's ascent. The text
// is rendered into the picture with the glyphs' anti-aliased coverage as alpha, clipped to the picture
// on all four sides; outlined text gets four copies in the shadow colour under the text.
class TextSprite : public Sprite {
public:
    TextSprite();
    ~TextSprite() override;

    LANG_CLASS_NAME(TextSprite, Sprite)
    LANG_DECLARE_CLASS_RECORD(TextSprite);

    // Numbers 0-1 position, 2 line spacing.
    void init(window::ImageArray* images, lang::IntArray* numbers) override;
    void paint(window::Graphics* g) override;
    // Caret blink of an editable text.
    bool update(int frame, util::RectangleNM* out, util::Region* region) override;
    util::RectangleNM getBounds() override;
    // Drops the rendered picture; reloadImage renders it again.
    void unloadImage() override;
    void reloadImage() override;
    Sprite* clone() override;

    void setText(const char* text);
    const lang::String& getText() const { return text_; }
    void setColors(uint32_t textRgb, uint32_t shadowRgb);
    void setLineSpacing(int spacing);
    // Takes a reference; null gives the default face.
    void setFont(window::Font* font);
    void setOutlined(bool on);
    void setFillBackground(bool on);
    void setEditable(bool on);
    // Renders the text into the sprite's picture at the sprite's size.
    void render();
    int getAscent() const { return metrics_ ? metrics_->getAscent() : 0; }

private:
    void measure();
    // Writes one pass of the text in `rgb` at offset (dx, dy) inside the picture.
    void renderPass(uint32_t* pixels, int width, int height, uint32_t rgb, int dx, int dy);

    lang::Ref<window::Font> font_;
    lang::Ref<window::FontMetrics> metrics_;
    lang::String text_;
    window::Color textColor_;
    window::Color shadowColor_;
    bool outlined_ = false;
    bool fillBackground_ = false;
    int32_t lineSpacing_ = 0;
    bool canRender_ = false;
    bool editable_ = false;
    bool caretVisible_ = false;
};

}  // namespace sprite
