// BitmapScaler: scaled and rotated copies of a picture, nearest neighbour, for the zooming sprites.
#pragma once

#include "lang/Ref.h"
#include "window/Image.h"

// Each output pixel is mapped back into the source with the inverse transform in 16.16 fixed point,
// measured from the centres of the output and of the source; a point outside the source is transparent
// (all bits 0), never a pixel wrapped in from the other side.
class BitmapScaler : public lang::Object {
public:
    explicit BitmapScaler(window::Image* source);
    ~BitmapScaler() override;

    LANG_CLASS_NAME(BitmapScaler, Object)

    // The source scaled by `percent` (100 = as is) and turned by `radians`. The output is big enough for
    // the turned picture. Null when the result has no pixel (a scale of 0, or no source).
    lang::Ref<window::Image> rotateScale(double radians, double percent);
    // The source scaled to width by height; null for an empty size.
    lang::Ref<window::Image> scaleTo(int width, int height);

private:
    lang::Ref<window::Image> source_;
};
