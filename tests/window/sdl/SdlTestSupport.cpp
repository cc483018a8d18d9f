// The SDL window tests' environment (the dummy video driver unless told otherwise) and fixture.
#include "SdlTestSupport.h"

#include <cstdlib>

namespace window::testing {

namespace {

// Opens the display once for the whole run, on the main thread, which then is the window thread.
class DisplayEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        // A generous double-click time keeps fast successive presses counted even on a slow machine.
        SDL_SetHint(SDL_HINT_MOUSE_DOUBLE_CLICK_TIME, "10000");
        std::string reason;
        ASSERT_TRUE(openDisplay(&reason)) << reason;
    }
    void TearDown() override { closeDisplay(); }
};

const auto* environment = ::testing::AddGlobalTestEnvironment(new DisplayEnvironment);

}  // namespace

void SdlWindowTest::SetUp() {
    frame = lang::make<RecordingFrame>();
    ASSERT_TRUE(frame->create(nullptr, util::RectangleNM(0, 0, 800, 600)));
    canvas = lang::make<Recorder>();
    ASSERT_TRUE(canvas->create(frame.get(), util::RectangleNM(0, 0, 800, 600)));
    frame->setVisible(true);
    canvas->setVisible(true);
    canvas->requestFocus();
    processPendingEvents();
}

void SdlWindowTest::TearDown() {
    if (frame)
        frame->destroyWindow();
    processPendingEvents();
}

uint32_t SdlWindowTest::windowId() const {
    return SDL_GetWindowID(sdl::Access::window(frame.get()));
}

void SdlWindowTest::pushKey(uint32_t type, SDL_Keycode key, SDL_Scancode scancode, uint16_t mod,
                            bool repeat) {
    SDL_Event event;
    SDL_zero(event);
    event.type = type;
    event.key.windowID = windowId();
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = scancode;
    event.key.keysym.mod = mod;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

void SdlWindowTest::pushText(const char* utf8) {
    SDL_Event event;
    SDL_zero(event);
    event.type = SDL_TEXTINPUT;
    event.text.windowID = windowId();
    SDL_strlcpy(event.text.text, utf8, sizeof(event.text.text));
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

void SdlWindowTest::pushButton(bool down, uint8_t button, int x, int y) {
    SDL_Event event;
    SDL_zero(event);
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.windowID = windowId();
    event.button.button = button;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = 1;
    event.button.x = x;
    event.button.y = y;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

void SdlWindowTest::pushMotion(int x, int y, uint32_t state) {
    SDL_Event event;
    SDL_zero(event);
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = windowId();
    event.motion.state = state;
    event.motion.x = x;
    event.motion.y = y;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

void SdlWindowTest::pushWindowEvent(uint8_t kind) {
    SDL_Event event;
    SDL_zero(event);
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = windowId();
    event.window.event = kind;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

std::vector<uint32_t> SdlWindowTest::readScreen() {
    std::vector<uint32_t> pixels(800 * 600, 0);
    SDL_Renderer* renderer = sdl::Access::renderer(frame.get());
    EXPECT_NE(renderer, nullptr);
    if (renderer == nullptr)
        return pixels;
    SDL_Rect all{0, 0, 800, 600};
    EXPECT_EQ(SDL_RenderReadPixels(renderer, &all, SDL_PIXELFORMAT_ARGB8888, pixels.data(), 800 * 4), 0)
        << SDL_GetError();
    return pixels;
}

}  // namespace window::testing
