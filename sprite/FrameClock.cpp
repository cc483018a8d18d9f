// sprite::FrameClock and sprite::FrameSchedule: the frame loop's clock and its schedule arithmetic.
#include "sprite/FrameClock.h"

#include <chrono>

namespace sprite {

int64_t FrameClock::now() {
    auto since = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
}

FrameSchedule::Pass FrameSchedule::afterStep(int64_t now, int frameDelay, bool allowFrameSkip) {
    Pass pass;
    frames_ += 1;
    pass.lag = int64_t{frameDelay} * frames_ + startTime_ - now;
    // The threshold is a fixed 40 ms whatever the frame length.
    if (pass.lag <= kSkipLag && allowFrameSkip && skipped_ < kMaxSkipped) {
        skipped_ += 1;
        pass.paint = false;
    } else {
        skipped_ = 0;
    }
    // Far behind: drop the backlog, so that the next frame is due one frame from now instead of the
    // missed frames running back to back.
    if (pass.lag < kForgetLag)
        startTime_ = now - int64_t{frameDelay} * frames_;
    // The next step starts when this frame's time is up: now + lag while the schedule holds.
    pass.deadline = startTime_ + int64_t{frameDelay} * frames_;
    return pass;
}

}  // namespace sprite
