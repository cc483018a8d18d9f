// sprite::RenderThread: frame passes on the canvas's schedule, waiting between them on a condition.
#include "sprite/RenderThread.h"

#include <chrono>

#include "lang/Exception.h"
#include "sprite/GameCanvas.h"

namespace sprite {

RenderThread::RenderThread(GameCanvas* canvas) : canvas_(canvas) {
    start();
}

void RenderThread::requestStop() {
    {
        std::lock_guard<std::mutex> guard(waitLock_);
        stop_.store(true, std::memory_order_release);
    }
    woken_.notify_all();
}

bool RenderThread::waitUntil(int64_t deadline) {
    // The canvas clock may be a hand-driven one: wait in slices and read it again, so that a test
    // moving it sees the loop follow. On the steady clock the first slice is the whole wait.
    FrameClock* clock = canvas_->clock();
    for (;;) {
        const int64_t left = deadline - clock->now();
        if (left <= 0)
            return !stopRequested();
        std::unique_lock<std::mutex> guard(waitLock_);
        if (woken_.wait_for(guard, std::chrono::milliseconds(left), [this] { return stopRequested(); }))
            return false;
    }
}

void RenderThread::sleepFor(int milliseconds) {
    std::unique_lock<std::mutex> guard(waitLock_);
    woken_.wait_for(guard, std::chrono::milliseconds(milliseconds), [this] { return stopRequested(); });
}

void RenderThread::run() {
    FrameSchedule schedule;
    schedule.start(canvas_->clock()->now());
    while (!stopRequested()) {
        GameCanvas::FramePass pass = canvas_->runFramePass(schedule);
        // Outside the canvas lock: a box up for the player must not hold the input thread.
        canvas_->showPlayerNotices();
        if (pass.failed) {
            // A broken pass is dropped; the loop rests one frame and goes on.
            sleepFor(canvas_->frameDelay());
            continue;
        }
        if (pass.lag > 0 && !waitUntil(pass.deadline))
            break;
    }
}

}  // namespace sprite
