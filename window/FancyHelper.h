// window::FancyHelper: the colour and alpha levels an image is blended with, and the source of a blit.
#pragma once

#include <cstdint>

#include "lang/Object.h"

namespace window {

// A level scales a channel as value x level >> 7: 128 leaves it unchanged, 0 removes it. Levels above
// 128 brighten (the result saturates at 255).
class FancyHelper : public lang::Object {
public:
    static constexpr int32_t kUnchanged = 128;

    FancyHelper() = default;

    LANG_CLASS_NAME(FancyHelper, Object)

    // Back to 128, 128, 128, 128 with the effect off.
    void reset() {
        red = green = blue = alpha = kUnchanged;
        effectOn = false;
    }
    void setLevels(int32_t alphaLevel, int32_t redLevel, int32_t greenLevel, int32_t blueLevel) {
        alpha = alphaLevel;
        red = redLevel;
        green = greenLevel;
        blue = blueLevel;
    }
    // Takes the four levels and the effect settings of another level set.
    void copyLevels(const FancyHelper& other) {
        mode = other.mode;
        setLevels(other.alpha, other.red, other.green, other.blue);
        effectOn = other.effectOn;
        effectA = other.effectA;
        effectB = other.effectB;
    }
    // The levels packed as alpha, red, green, blue bytes (each clamped to 0..255).
    uint32_t packed() const;
    // Unpacks alpha, red, green, blue bytes into the four levels.
    void setPacked(uint32_t levels);
    bool colorsUnchanged() const { return red == kUnchanged && green == kUnchanged && blue == kUnchanged; }
    bool unchanged() const { return colorsUnchanged() && alpha == kUnchanged; }

    int32_t mode = 32;
    int32_t red = kUnchanged;
    int32_t green = kUnchanged;
    int32_t blue = kUnchanged;
    int32_t alpha = kUnchanged;
    // An effect the game may switch on; its two parameters are stored for it and not interpreted by
    // the blender.
    bool effectOn = false;
    int32_t effectA = 0;
    int32_t effectB = 0;

    // The source of the blit in progress (borrowed for its duration).
    const uint32_t* sourcePixels = nullptr;
    int32_t sourceWidth = 0;
    int32_t sourceHeight = 0;
    int32_t sourceStride = 0;
};

}  // namespace window
