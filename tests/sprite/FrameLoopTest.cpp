// The frame loop's schedule (skipped paints, forgotten lag) on a hand-driven clock, stepped and threaded.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "sprite/FrameClock.h"
#include "sprite/GameCanvas2.h"

namespace {

using lang::Ref;

struct SteppedCanvas {
    SteppedCanvas() {
        canvas->setStepping(true);
        canvas->setClock(clock.get());
        canvas->start();
    }
    ~SteppedCanvas() { canvas->destroy(); }
    // One pass that ends at time t: 'P' painted, 'S' skipped.
    char passAt(int64_t t) {
        clock->set(t);
        last = canvas->stepFrame();
        return last.painted ? 'P' : 'S';
    }
    Ref<sprite::ManualFrameClock> clock = lang::make<sprite::ManualFrameClock>(0);
    Ref<sprite::GameCanvas2> canvas = lang::make<sprite::GameCanvas2>();
    sprite::GameCanvas::FramePass last;
};

TEST(FrameLoopTest, LateFramesSkipAtMostTwoPaintsInARow) {
    SteppedCanvas s;
    std::string pattern;
    // Every pass ends 100 ms after the one before, 60 ms more than a frame lasts.
    for (int64_t t : {0, 100, 200, 300, 400})
        pattern += s.passAt(t);
    // Lags: 40, -20, -80, -140, -200: late by 40 ms or more skips, but the third late frame paints.
    EXPECT_EQ(pattern, "PPSSP");
    EXPECT_EQ(s.last.lag, -200) << "exactly -200 is not yet forgotten";
    EXPECT_EQ(s.canvas->frameCounter(), 5) << "the game state advances every frame, painted or not";
}

TEST(FrameLoopTest, ALagOver200MsIsForgottenNotCaughtUp) {
    SteppedCanvas s;
    EXPECT_EQ(s.passAt(0), 'P');
    EXPECT_EQ(s.passAt(1000), 'S') << "a one-second stall: lag -920";
    // The schedule restarts from the stall: the next pass, right after it, is early again and waits
    // one frame instead of running the missed frames back to back.
    EXPECT_EQ(s.passAt(1000), 'P');
    EXPECT_EQ(s.last.lag, 40);
    EXPECT_EQ(s.last.deadline, 1040);
    EXPECT_EQ(s.passAt(1040), 'P');
    EXPECT_EQ(s.last.lag, 40);
}

TEST(FrameLoopTest, WithoutFrameSkipEveryFramePaints) {
    SteppedCanvas s;
    s.canvas->setAllowFrameSkip(false);
    std::string pattern;
    for (int64_t t : {0, 100, 200, 300, 400, 500})
        pattern += s.passAt(t);
    EXPECT_EQ(pattern, "PPPPPP");
}

TEST(FrameLoopTest, TheScheduleIsSixtyFourBitAndSurvivesTheThirtyTwoBitWrap) {
    SteppedCanvas s;
    const int64_t nearWrap = (int64_t{1} << 32) - 60;
    EXPECT_EQ(s.passAt(nearWrap), 'P');
    EXPECT_EQ(s.passAt(nearWrap + 40), 'P');
    EXPECT_EQ(s.last.lag, 40) << "on time across 2^32 ms";
    EXPECT_EQ(s.passAt(nearWrap + 80), 'P');
    EXPECT_EQ(s.last.deadline, nearWrap + 120);
}

// The real render thread on a clock that only moves when told: it runs the frames that are due, then
// waits for the clock instead of spinning through more.
TEST(FrameLoopTest, TheRenderThreadFollowsItsClock) {
    auto clock = lang::make<sprite::ManualFrameClock>(0);
    auto canvas = lang::make<sprite::GameCanvas2>();
    canvas->setClock(clock.get());
    canvas->start();
    auto waitForFrames = [&](int n) {
        for (int i = 0; i < 2000 && canvas->frameCounter() < n; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return canvas->frameCounter();
    };
    EXPECT_EQ(waitForFrames(1), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(canvas->frameCounter(), 1) << "frame 2 is not due before the clock reads 40";
    clock->set(200);
    // Due at 40, 80, ..., 200: frames 2 to 5 run at once, frame 6 then waits for 240.
    EXPECT_EQ(waitForFrames(6), 6);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(canvas->frameCounter(), 6);
    canvas->stop();
    EXPECT_TRUE(canvas->isStopped());
    canvas->destroy();
}

}  // namespace
