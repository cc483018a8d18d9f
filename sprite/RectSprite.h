// sprite::RectSprite: a filled rectangle, plain or dithered, without an image.
#pragma once

#include "sprite/Sprite.h"

namespace sprite {

class RectSprite : public Sprite {
public:
    RectSprite() = default;
    ~RectSprite() override;

    LANG_CLASS_NAME(RectSprite, Sprite)
    LANG_DECLARE_CLASS_RECORD(RectSprite);

    // Numbers 0-3 x, y, width, height; 4 the colour (packed alpha, red, green, blue); 5 visible when
    // not 0; 6 dithered when not 0.
    void init(window::ImageArray* images, lang::IntArray* numbers) override;
    // Plain: the context fills the rectangle, blending by the colour's alpha byte. Dithered (image
    // contexts only): the colour is written into every other pixel, in a checkerboard anchored at the
    // rectangle's corner, through the context's translation and clip.
    void paint(window::Graphics* g) override;
    Sprite* clone() override;

    void setColor(uint32_t argb);
    uint32_t getColor() const { return color_; }
    void setDithered(bool on);
    bool isDithered() const { return dithered_; }

private:
    void paintDithered(window::Graphics* g);

    uint32_t color_ = 0;
    bool dithered_ = false;
};

}  // namespace sprite
