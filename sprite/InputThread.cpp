// sprite::InputThread: delivers queued events until stopped; an empty queue is waited on.
#include "sprite/InputThread.h"

#include "sprite/GameCanvas.h"

namespace sprite {

InputThread::InputThread(GameCanvas* canvas) : canvas_(canvas) {
    start();
}

void InputThread::requestStop() {
    util::Vector* queue = canvas_->eventQueue_.get();
    // Set under the queue's monitor, which the thread holds from its test of the flag until it waits:
    // the notify cannot fall between the two.
    lang::Synchronized guard(queue);
    stop_.store(true, std::memory_order_release);
    queue->notify();
}

void InputThread::run() {
    util::Vector* queue = canvas_->eventQueue_.get();
    while (!stopRequested()) {
        canvas_->deliverNextEvent();
        lang::Synchronized guard(queue);
        while (queue->size() == 0 && !stopRequested())
            queue->wait(kWaitMilliseconds);
    }
    queue->removeAllElements();
}

}  // namespace sprite
