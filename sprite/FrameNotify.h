// sprite::FrameNotify: one timed, labelled notification waiting for its frame step.
#pragma once

#include <cstdint>

#include "lang/Object.h"
#include "lang/Ref.h"
#include "lang/String.h"

namespace sprite {

// Made by GameCanvas2::scheduleNotify and held by its notification list; fired on the render thread
// under the canvas lock. A repeating notification's `frames` is its period (at least 1).
class FrameNotify : public lang::Object {
public:
    LANG_CLASS_NAME(FrameNotify, Object)

    // The sprite that handles the label; null means the canvas handles it.
    lang::Ref<lang::Object> receiver;
    // One-shot: frames still to wait; repeating: the period in frames.
    int32_t frames = 0;
    // Passed to the handler with the label (may be null).
    lang::Ref<lang::Object> source;
    lang::String label;
    bool repeating = false;
    // Repeating: frameCounter % frames - 1 at scheduling time.
    int32_t phase = 0;
    // Bumped whenever the entry is cancelled or reused, so that a firing pass that collected it
    // earlier can tell it no longer stands as collected.
    uint32_t generation = 0;
};

}  // namespace sprite
