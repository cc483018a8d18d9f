// window::FancyHelper: packing of the four levels into one alpha-red-green-blue word.
#include "window/FancyHelper.h"

#include <algorithm>

namespace window {

namespace {
uint32_t levelByte(int32_t level) {
    return static_cast<uint32_t>(std::clamp<int32_t>(level, 0, 255));
}
}  // namespace

uint32_t FancyHelper::packed() const {
    return (levelByte(alpha) << 24) | (levelByte(red) << 16) | (levelByte(green) << 8) | levelByte(blue);
}

void FancyHelper::setPacked(uint32_t levels) {
    setLevels(static_cast<int32_t>(levels >> 24), static_cast<int32_t>((levels >> 16) & 0xFFu),
              static_cast<int32_t>((levels >> 8) & 0xFFu), static_cast<int32_t>(levels & 0xFFu));
}

}  // namespace window
