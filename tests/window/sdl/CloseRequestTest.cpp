// Close requests handed to the window thread from other threads (a loader, a signal watcher).
#include <thread>

#include "SdlTestSupport.h"

namespace window::testing {

using CloseRequestTest = SdlWindowTest;

TEST_F(CloseRequestTest, ARequestFromAnotherThreadRunsTheCloseHandlingOnTheWindowThread) {
    bool posted = false;
    std::thread other([&] { posted = frame->postCloseRequest(); });
    other.join();
    ASSERT_TRUE(posted);
    EXPECT_EQ(frame->closeRequests, 0) << "the request waits for the window thread";
    processPendingEvents();
    EXPECT_EQ(frame->closeRequests, 1) << "exactly one close request, as from the close box";
    EXPECT_EQ(frame->destroys, 0) << "a request is not a destruction: the frame's handler decides";
    EXPECT_TRUE(frame->hasWindow());
}

TEST_F(CloseRequestTest, ARequestForAWindowThatWentMeanwhileIsDropped) {
    ASSERT_TRUE(frame->postCloseRequest());
    frame->destroyWindow();
    processPendingEvents();
    EXPECT_EQ(frame->closeRequests, 0);
    EXPECT_EQ(frame->destroys, 1);
    EXPECT_FALSE(frame->postCloseRequest()) << "no window, nothing to close";

    lang::Ref<Frame> neverCreated = lang::make<Frame>();
    EXPECT_FALSE(neverCreated->postCloseRequest());
}

TEST_F(CloseRequestTest, ThePlainFrameClosesOnARequest) {
    lang::Ref<Frame> plain = lang::make<Frame>();
    ASSERT_TRUE(plain->create(nullptr, util::RectangleNM(0, 0, 320, 200)));
    std::thread other([&] { EXPECT_TRUE(plain->postCloseRequest()); });
    other.join();
    processPendingEvents();
    EXPECT_FALSE(plain->hasWindow());
    EXPECT_TRUE(frame->hasWindow()) << "only the frame asked for goes";
}

}  // namespace window::testing
