// sprite::InputThread: takes the canvas's queued mouse and key events and delivers them one by one.
#pragma once

#include <atomic>

#include "lang/Thread.h"

namespace sprite {

class GameCanvas;

// Started by its constructor. It holds the canvas without a reference: the canvas stops (and joins)
// the thread before it goes. Between events it waits on the queue's monitor, which enqueueEvent and
// requestStop notify.
class InputThread final : public lang::Thread {
public:
    static constexpr int kWaitMilliseconds = 3000;

    explicit InputThread(GameCanvas* canvas);

    LANG_CLASS_NAME(InputThread, Thread)

    void run() override;
    void requestStop();
    bool stopRequested() const { return stop_.load(std::memory_order_acquire); }

private:
    GameCanvas* canvas_;
    std::atomic<bool> stop_{false};
};

}  // namespace sprite
