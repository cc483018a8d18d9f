// window::GraphicsI: a drawing context that draws into an image in software.
#pragma once

#include "lang/Ref.h"
#include "window/Graphics.h"
#include "window/PixelBuffer.h"

namespace window {

// Blending of an image with alpha (or with levels) into the target: with a = source alpha x alpha
// level >> 7 and each colour channel c scaled by its level (c x level >> 7),
//   normal mode:   a >= 255 writes c (saturated); 0 < a < 255 writes d + ((c - d) x a >> 8);
//   additive mode: a >= 255 writes min(255, d + c); 0 < a < 255 writes
//                  min(255, d + ((raw c x a >> 8) x level >> 7));
// a = 0 leaves the target pixel alone; every written pixel becomes opaque. Levels are clamped to
// 0..4096.
class GraphicsI : public Graphics {
public:
    // Takes a reference on the image and loads it; an image without pixels gives a context that
    // draws nothing.
    explicit GraphicsI(Image* image);
    ~GraphicsI() override;

    LANG_CLASS_NAME(GraphicsI, Graphics)

    using Graphics::drawImage;
    void drawImage(Image* image, int x, int y) override;
    Graphics* create() override;
    void dispose() override;
    void fillRectColor(int x, int y, int width, int height, uint32_t argb) override;
    void drawLine(int x1, int y1, int x2, int y2) override;
    // Made on first use, starting at 128, 128, 128, 128.
    FancyHelper* getFancyHelper() override;

    // The target image (no reference for the caller), or null after dispose.
    Image* getImage() const { return image_.get(); }

protected:
    void drawInk(const uint32_t* pixels, int width, int height, int x, int y) override;

private:
    // The target's pixels, fetched for every operation so that an image unloaded meanwhile is never
    // written through a stale pointer; empty when the target has none or changed size.
    PixelBuffer targetBuffer() const;
    // Draws source pixels (width x height, rows width apart): copied when they have no alpha and no level
    // or mode changes them, blended otherwise.
    void blit(const uint32_t* source, int width, int height, bool hasAlpha, int x, int y);

    lang::Ref<Image> image_;
    lang::Ref<FancyHelper> fancy_;
};

}  // namespace window
