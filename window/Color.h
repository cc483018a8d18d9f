// window::Color: one packed 0xRRGGBB colour, as drawing contexts and text sprites use it.
#pragma once

#include <cstdint>

#include "lang/Object.h"

namespace window {

class Color : public lang::Object {
public:
    // rgb holds red in bits 16-23, green in 8-15 and blue in 0-7; any higher bits are dropped.
    explicit Color(int32_t rgb = 0) : value(static_cast<uint32_t>(rgb) & 0xFFFFFFu) {}
    Color(int red, int green, int blue)
        : value(((static_cast<uint32_t>(red) & 0xFFu) << 16) | ((static_cast<uint32_t>(green) & 0xFFu) << 8) |
                (static_cast<uint32_t>(blue) & 0xFFu)) {}

    LANG_CLASS_NAME(Color, Object)
    int32_t hashCode() const override { return static_cast<int32_t>(value); }

    int32_t getRGB() const { return static_cast<int32_t>(value); }
    int getRed() const { return static_cast<int>((value >> 16) & 0xFFu); }
    int getGreen() const { return static_cast<int>((value >> 8) & 0xFFu); }
    int getBlue() const { return static_cast<int>(value & 0xFFu); }
    // The colour as an opaque 0xAARRGGBB pixel.
    uint32_t argb() const { return 0xFF000000u | value; }

    uint32_t value;
};

}  // namespace window
