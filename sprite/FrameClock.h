// sprite::FrameClock: the millisecond clock that paces the frame loop, replaceable by a hand-driven one.
#pragma once

#include <atomic>
#include <cstdint>

#include "lang/Object.h"

namespace sprite {

// Milliseconds on a steady clock, 64 bits wide so that a game left running for weeks never sees the
// schedule wrap. The canvas reads it once per frame pass; tests and tools that step frames by hand
// give the canvas a ManualFrameClock so that "late" and "early" are theirs to decide.
class FrameClock : public lang::Object {
public:
    LANG_CLASS_NAME(FrameClock, Object)
    virtual int64_t now();
};

// A clock that only moves when told to. Any thread may read or move it.
class ManualFrameClock : public FrameClock {
public:
    explicit ManualFrameClock(int64_t start = 0) : now_(start) {}
    LANG_CLASS_NAME(ManualFrameClock, FrameClock)

    int64_t now() override { return now_.load(std::memory_order_acquire); }
    void set(int64_t milliseconds) { now_.store(milliseconds, std::memory_order_release); }
    void advance(int64_t milliseconds) { now_.fetch_add(milliseconds, std::memory_order_acq_rel); }

private:
    std::atomic<int64_t> now_;
};

// The frame loop's schedule: frame n is due frameDelay x n milliseconds after the start. After each
// frame step the loop asks whether to paint and how long to wait. The rules are those the game has
// always had: painting (the costly part) is skipped when the loop is 40 ms or more behind, but never
// more than two frames in a row, and a lag of more than 200 ms is forgotten rather than caught up.
class FrameSchedule {
public:
    static constexpr int64_t kSkipLag = -40;
    static constexpr int64_t kForgetLag = -200;
    static constexpr int kMaxSkipped = 2;

    struct Pass {
        bool paint = true;
        // frameDelay x frames + startTime - now: negative when behind the schedule.
        int64_t lag = 0;
        // When the next frame is due (on the schedule's clock); the loop waits until then if lag > 0.
        int64_t deadline = 0;
    };

    void start(int64_t now) {
        startTime_ = now;
        frames_ = 0;
        skipped_ = 0;
    }
    // Counts the frame step just done at `now` and decides about its paint.
    Pass afterStep(int64_t now, int frameDelay, bool allowFrameSkip);

    int64_t startTime() const { return startTime_; }
    int64_t frames() const { return frames_; }
    int skipped() const { return skipped_; }

private:
    int64_t startTime_ = 0;
    int64_t frames_ = 0;
    int skipped_ = 0;
};

}  // namespace sprite
