// sprite::RenderThread: the canvas's frame loop, 25 frame steps a second with painting skipped when late.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "lang/Thread.h"

namespace sprite {

class GameCanvas;

// Started by its constructor. It holds the canvas without a reference: the canvas stops (and joins)
// the thread before it goes. requestStop() ends the loop at once, waking a frame wait.
class RenderThread final : public lang::Thread {
public:
    explicit RenderThread(GameCanvas* canvas);

    LANG_CLASS_NAME(RenderThread, Thread)

    void run() override;
    void requestStop();
    bool stopRequested() const { return stop_.load(std::memory_order_acquire); }

private:
    // Waits until the canvas clock reads `deadline` or a stop is asked for; false on a stop.
    bool waitUntil(int64_t deadline);
    void sleepFor(int milliseconds);

    GameCanvas* canvas_;
    std::atomic<bool> stop_{false};
    std::mutex waitLock_;
    std::condition_variable woken_;
};

}  // namespace sprite
