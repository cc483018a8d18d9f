// The mouse wheel: SDL's wheel events come out as wheel events at the pointer, in the child's
// coordinates, with the notches turned the user's way.
#include "SdlTestSupport.h"

namespace window::testing {
namespace {

class WheelRecorder : public Recorder {
public:
    bool mouseWheel(Event* e, int x, int y) override {
        wheels.push_back(Seen{e->id, x, y, e->modifiers, e->key, e->clickCount});
        return true;
    }
    std::vector<Seen> wheels;
};

using WheelTest = SdlWindowTest;

TEST_F(WheelTest, TheWheelReachesTheComponentUnderThePointerWithItsNotches) {
    lang::Ref<WheelRecorder> child = lang::make<WheelRecorder>();
    ASSERT_TRUE(child->create(canvas.get(), util::RectangleNM(100, 50, 40, 30)));
    child->setVisible(true);
    child->requestFocus();
    pushMotion(110, 60, 0);
    auto wheel = [&](int y, uint32_t direction) {
        SDL_Event event;
        SDL_zero(event);
        event.type = SDL_MOUSEWHEEL;
        event.wheel.windowID = windowId();
        event.wheel.y = y;
        event.wheel.direction = direction;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    };
    wheel(2, SDL_MOUSEWHEEL_NORMAL);
    wheel(0, SDL_MOUSEWHEEL_NORMAL);  // a sideways turn: no notches up or down, no event
    wheel(1, SDL_MOUSEWHEEL_FLIPPED);
    processPendingEvents();
    ASSERT_EQ(child->wheels.size(), 2u);
    EXPECT_EQ(child->wheels[0].id, Event::kMouseWheel);
    EXPECT_EQ(child->wheels[0].key, 2);
    EXPECT_EQ(child->wheels[0].x, 10) << "the pointer in the child's coordinates";
    EXPECT_EQ(child->wheels[0].y, 10);
    EXPECT_EQ(child->wheels[1].key, -1) << "a flipped wheel is turned back to the user's direction";
    EXPECT_TRUE(canvas->seen.empty());
}

}  // namespace
}  // namespace window::testing
