// The one millisecond clock of the program.
#pragma once

#include <chrono>
#include <cstdint>

namespace lang {

// Milliseconds on a steady clock, wrapping at 32 bits like a tick count.
inline uint32_t tickCount() {
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace lang
