// window::Graphics: the drawing context, with the clip, origin, colour, font and draw mode it keeps.
#pragma once

#include <cstdint>

#include "lang/Ref.h"
#include "lang/String.h"
#include "util/RectangleNM.h"
#include "util/Region.h"
#include "window/Color.h"
#include "window/FancyHelper.h"
#include "window/Font.h"
#include "window/Image.h"

namespace window {

// A context draws onto a target of a fixed size (an image, or the window). Coordinates passed to every
// operation are moved by the translation before they reach the target. The clip is kept in target
// coordinates as a region; it starts as the whole target and drawing never leaves it.
//
// Subclasses provide the pixel operations (drawImage, fillRectColor, create); lines and text have
// implementations here made of those, which a subclass may replace with faster ones.
class Graphics : public lang::Object {
public:
    static constexpr int kNormalMode = 0;
    static constexpr int kAdditiveMode = 1;

    LANG_CLASS_NAME(Graphics, Object)

    // Draws the image with its top-left corner at (x, y): blended when it has alpha or the context's
    // level set is not neutral, copied otherwise. An image without pixels draws nothing.
    virtual void drawImage(Image* image, int x, int y) = 0;
    // Draws the part (sx, sy, width, height) of the image with its top-left corner at (x, y).
    virtual void drawImage(Image* image, int x, int y, int sx, int sy, int width, int height);

    // 1 is the additive mode, any other value the normal one. Returns the previous mode.
    virtual int setDrawMode(int mode);
    int getDrawMode() const { return drawMode_; }

    // Intersects the clip with a rectangle.
    virtual void clipRect(int x, int y, int width, int height);
    // Cuts a rectangle out of the clip.
    virtual void excludeRect(int x, int y, int width, int height);
    // Replaces the clip by the region (within the target); null restores the whole target. An empty
    // region leaves nothing to draw on.
    virtual void setClip(const util::Region* region);
    // The clip as a new region (one reference for the caller).
    virtual util::Region* getClip() const;
    // The smallest rectangle holding the clip (all zero when nothing is left to draw on).
    virtual util::RectangleNM getClipBounds() const;

    // A new context (one reference for the caller) on the same target with the same translation,
    // clip, colour, font and draw mode.
    virtual Graphics* create() = 0;
    // Lets go of the target; afterwards the context draws nothing.
    virtual void dispose();

    // Fills a rectangle in the current colour.
    virtual void fillRect(int x, int y, int width, int height);
    // Fills a rectangle with an 0xAARRGGBB colour whose alpha byte blends it over what is there
    // (255 covers, 0 leaves it unchanged).
    virtual void fillRectColor(int x, int y, int width, int height, uint32_t argb) = 0;
    void setColor(const Color* color);
    void setColor(uint32_t rgb) { color_ = rgb & 0xFFFFFFu; }
    uint32_t getColor() const { return color_; }

    // Draws Windows-1252 text in the current font and colour, anti-aliased; (x, y) is the top-left
    // corner of the text's cell (the baseline lies the font's ascent below y).
    virtual void drawString(const lang::String& text, int x, int y);
    void drawString(const char* text, int x, int y);
    // A one-pixel line in the current colour from (x1, y1) up to, not including, (x2, y2).
    virtual void drawLine(int x1, int y1, int x2, int y2);

    // The font text is drawn in (without one, a font of the default face).
    void setFont(Font* font);
    // No reference for the caller.
    Font* getFont();

    void getTranslation(int* dx, int* dy) const;
    void translate(int dx, int dy);

    // The context's own level set used by the next draws (no reference for the caller), or null when
    // the context has none.
    virtual FancyHelper* getFancyHelper() { return nullptr; }
    // Makes the target ready before clip operations.
    virtual void prepare() {}

    int targetWidth() const { return targetWidth_; }
    int targetHeight() const { return targetHeight_; }
    // The clip in target coordinates (for subclasses and tests).
    const util::Region& clipRegion() const { return clip_; }

protected:
    // Blends width x height pixels of 0xAARRGGBB ink (rows `width` apart) with its top-left corner at
    // (x, y), as drawImage blends an image with alpha: how drawString puts its text down. This version
    // wraps the ink in an image; the software contexts draw it straight from the buffer.
    virtual void drawInk(const uint32_t* pixels, int width, int height, int x, int y);

    // A context on a target of this size, clipped to the whole of it.
    Graphics(int targetWidth, int targetHeight);
    // Takes translation, clip, colour, font and draw mode from another context.
    void copyStateFrom(const Graphics& other);
    // Makes the clip empty and the target size 0 (after dispose).
    void dropTarget();

private:
    int targetWidth_;
    int targetHeight_;
    util::Region clip_;
    int translateX_ = 0;
    int translateY_ = 0;
    uint32_t color_ = 0;  // 0xRRGGBB
    int drawMode_ = kNormalMode;
    lang::Ref<Font> font_;
};

}  // namespace window
