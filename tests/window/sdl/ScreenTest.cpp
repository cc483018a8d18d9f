// The screen copy, painting, full screen, cursors, timers and the message loop on the dummy driver.
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

#include "SdlTestSupport.h"
#include "lang/Clock.h"
#include "util/Region.h"
#include "window/Color.h"
#include "window/Cursor.h"
#include "window/GraphicsW.h"
#include "window/Image.h"
#include "window/MessageBox.h"

namespace window::testing {
namespace {

using ScreenTest = SdlWindowTest;

// An opaque picture in which every pixel differs from its neighbours.
lang::Ref<Image> patternImage(int width, int height) {
    lang::Ref<Image> image = lang::make<Image>(width, height, Image::kCleared);
    uint32_t* pixels = image->getPixels();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels[y * width + x] = 0xFF000000u | static_cast<uint32_t>((x * 7) & 0xFF) << 16 |
                                    static_cast<uint32_t>((y * 3) & 0xFF) << 8 |
                                    static_cast<uint32_t>((x + y) & 0xFF);
        }
    }
    return image;
}

// Pumps the window thread until the condition holds or two seconds pass.
template <class Condition>
bool pumpUntil(Condition condition) {
    uint32_t start = lang::tickCount();
    while (!condition()) {
        if (lang::tickCount() - start > 2000)
            return false;
        processPendingEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

TEST_F(ScreenTest, TheCopyOfARegionShowsExactlyThosePixels) {
    lang::Ref<Graphics> g = lang::adopt(canvas->getGraphics());
    ASSERT_TRUE(g);
    g->fillRectColor(0, 0, 800, 600, 0xFF000000u);
    processPendingEvents();

    lang::Ref<Image> offscreen = patternImage(800, 600);
    util::Region dirty;
    dirty.add(10, 20, 50, 50);
    dirty.add(300, 200, 64, 33);
    dirty.add(790, 590, 30, 30);  // runs off the screen: only its visible part is copied
    lang::Ref<Graphics> copy = lang::adopt(g->create());
    copy->setClip(&dirty);
    copy->drawImage(offscreen.get(), 0, 0);
    copy->dispose();
    processPendingEvents();

    std::vector<uint32_t> shown = readScreen();
    const uint32_t* expected = offscreen->getPixels();
    int inside = 0;
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            bool in = dirty.contains(x, y);
            uint32_t want = in ? expected[y * 800 + x] : 0xFF000000u;
            ASSERT_EQ(shown[y * 800 + x], want) << "at " << x << "," << y;
            inside += in ? 1 : 0;
        }
    }
    EXPECT_EQ(inside, 50 * 50 + 64 * 33 + 10 * 10);
}

TEST_F(ScreenTest, ACopyFromAnotherThreadIsShownByTheWindowThread) {
    lang::Ref<Graphics> g = lang::adopt(canvas->getGraphics());
    g->fillRectColor(0, 0, 800, 600, 0xFF000000u);
    processPendingEvents();
    lang::Ref<Image> offscreen = patternImage(800, 600);
    std::thread render([&] {
        lang::Ref<Graphics> copy = lang::adopt(g->create());
        copy->clipRect(100, 100, 20, 20);
        copy->drawImage(offscreen.get(), 0, 0);
    });
    render.join();
    processPendingEvents();
    std::vector<uint32_t> shown = readScreen();
    EXPECT_EQ(shown[110 * 800 + 110], offscreen->getPixels()[110 * 800 + 110]);
    EXPECT_EQ(shown[99 * 800 + 110], 0xFF000000u);
}

TEST_F(ScreenTest, TranslucentImagesAndFillsBlendOverThePicture) {
    lang::Ref<Graphics> g = lang::adopt(canvas->getGraphics());
    g->fillRectColor(0, 0, 800, 600, 0xFF000000u);
    g->fillRectColor(0, 0, 10, 10, 0x80FFFFFFu);  // half white over black
    lang::Ref<Image> sprite = lang::make<Image>(2, 1, Image::kCleared);
    sprite->getPixels()[0] = 0x00FF0000u;  // transparent: leaves the picture alone
    sprite->getPixels()[1] = 0xFF00FF00u;
    sprite->setHasAlpha(true);
    g->drawImage(sprite.get(), 20, 0);
    // An image without alpha is copied as it is, whatever its alpha bytes say.
    lang::Ref<Image> opaque = lang::make<Image>(1, 1, Image::kCleared);
    opaque->getPixels()[0] = 0x00123456u;
    g->drawImage(opaque.get(), 30, 0);
    processPendingEvents();
    std::vector<uint32_t> shown = readScreen();
    EXPECT_EQ(shown[30], 0xFF123456u);
    EXPECT_EQ(shown[5 * 800 + 5], 0xFF7F7F7Fu);  // 0 + (255 * 128 >> 8)
    EXPECT_EQ(shown[20], 0xFF000000u);
    EXPECT_EQ(shown[21], 0xFF00FF00u);
}

TEST_F(ScreenTest, ACopyIntoADestroyedWindowIsSkipped) {
    lang::Ref<Graphics> g = lang::adopt(canvas->getGraphics());
    lang::Ref<Image> offscreen = patternImage(800, 600);
    frame->destroyWindow();
    processPendingEvents();
    g->drawImage(offscreen.get(), 0, 0);  // the window is gone: nothing happens, nothing breaks
    std::thread render([&] {
        lang::Ref<Graphics> copy = lang::adopt(g->create());
        copy->drawImage(offscreen.get(), 0, 0);
        copy->fillRect(0, 0, 10, 10);
    });
    render.join();
    processPendingEvents();
    EXPECT_EQ(canvas->getGraphics(), nullptr);
}

TEST_F(ScreenTest, RepaintFromAnotherThreadPaintsOnTheWindowThread) {
    lang::Ref<Color> green = lang::make<Color>(0, 200, 0);
    canvas->setBackground(green.get());
    int before = canvas->paints;
    std::thread other([this] { canvas->repaint(); });
    other.join();
    ASSERT_TRUE(pumpUntil([&] { return canvas->paints > before; }));
    std::vector<uint32_t> shown = readScreen();
    EXPECT_EQ(shown[300 * 800 + 400], 0xFF00C800u);  // update filled with the background colour
}

TEST_F(ScreenTest, AChildCanvasHidesTheFramesPaintUnderIt) {
    lang::Ref<Color> red = lang::make<Color>(255, 0, 0);
    lang::Ref<Color> blue = lang::make<Color>(0, 0, 255);
    frame->setBackground(red.get());
    canvas->setBackground(blue.get());
    canvas->setSize(400, 600);  // the frame shows where the canvas was
    processPendingEvents();
    std::vector<uint32_t> shown = readScreen();
    EXPECT_EQ(shown[100 * 800 + 100], 0xFF0000FFu);
    EXPECT_EQ(shown[100 * 800 + 500], 0xFFFF0000u);
}

TEST_F(ScreenTest, FullScreenOnAndOff) {
    SDL_Window* window = sdl::Access::window(frame.get());
    frame->setFullScreen(true, false);
    EXPECT_TRUE(frame->isFullScreen());
    EXPECT_NE(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    processPendingEvents();
    // The picture keeps its game size; the renderer scales it to the desktop.
    int w = 0;
    int h = 0;
    SDL_RenderGetLogicalSize(sdl::Access::renderer(frame.get()), &w, &h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    EXPECT_EQ(frame->getSize().width, 800);
    // The pointer comes back in game pixels: the middle of the desktop is the middle of the game.
    int desktopWidth = 0;
    int desktopHeight = 0;
    SDL_GetWindowSize(window, &desktopWidth, &desktopHeight);
    pushMotion(desktopWidth / 2, desktopHeight / 2, 0);
    processPendingEvents();
    ASSERT_FALSE(canvas->seen.empty());
    EXPECT_EQ(canvas->seen.back().x, 400);
    EXPECT_EQ(canvas->seen.back().y, 300);

    frame->setFullScreen(false, false);
    EXPECT_FALSE(frame->isFullScreen());
    EXPECT_EQ(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    SDL_GetWindowSize(window, &w, &h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);

    // From another thread the switch waits for the window thread.
    std::thread other([this] { frame->setFullScreen(true, false); });
    other.join();
    EXPECT_FALSE(frame->isFullScreen());
    processPendingEvents();
    EXPECT_TRUE(frame->isFullScreen());
    frame->setFullScreen(false, false);
}

// A window on a desktop whose work area is smaller than it (an 800 by 600 screen with a panel): the
// whole window, borders included, stays inside the work area, with the picture's aspect.
TEST(WindowPlacement, TheWholeWindowFitsTheWorkAreaWithThePicturesAspect) {
    using Borders = Frame::Borders;
    // A large desktop: the window keeps its size and is centred.
    util::RectangleNM big =
        Frame::windowedPlacement(800, 600, util::RectangleNM(0, 0, 1920, 1080), {30, 2, 2, 2});
    EXPECT_EQ(big.width, 800);
    EXPECT_EQ(big.height, 600);
    EXPECT_EQ(big.x, 2 + (1916 - 800) / 2);
    EXPECT_EQ(big.y, 30 + (1080 - 32 - 600) / 2);

    // 800 by 600 with a 28-pixel panel on top and a 24-pixel title bar: the height decides.
    util::RectangleNM small =
        Frame::windowedPlacement(800, 600, util::RectangleNM(0, 28, 800, 572), {24, 1, 1, 1});
    EXPECT_EQ(small.height, 572 - 24 - 1);
    EXPECT_EQ(small.width, 547 * 800 / 600);
    EXPECT_EQ(small.y, 28 + 24);
    EXPECT_EQ(small.y + small.height + 1, 600) << "the bottom border ends on the screen's last row";
    EXPECT_EQ(small.x, 1 + (798 - small.width) / 2);

    // A tall, narrow area: the width decides.
    util::RectangleNM narrow = Frame::windowedPlacement(800, 600, util::RectangleNM(10, 0, 600, 1000), {});
    EXPECT_EQ(narrow.width, 600);
    EXPECT_EQ(narrow.height, 450);
    EXPECT_EQ(narrow.x, 10);
    EXPECT_EQ(narrow.y, (1000 - 450) / 2);

    // Every area and border: inside the area, never larger than the picture, aspect kept to a pixel.
    for (int areaWidth : {100, 640, 799, 800, 801, 1024, 1366}) {
        for (int areaHeight : {80, 480, 572, 599, 600, 627, 768}) {
            for (const Borders& b : {Borders{}, Borders{24, 1, 1, 1}, Borders{37, 4, 4, 4}}) {
                const util::RectangleNM area(5, 17, areaWidth, areaHeight);
                const util::RectangleNM r = Frame::windowedPlacement(800, 600, area, b);
                SCOPED_TRACE(std::to_string(areaWidth) + "x" + std::to_string(areaHeight) + " top border " +
                             std::to_string(b.top));
                EXPECT_GE(r.x - b.left, area.x);
                EXPECT_GE(r.y - b.top, area.y);
                EXPECT_LE(r.x + r.width + b.right, area.x + area.width);
                EXPECT_LE(r.y + r.height + b.bottom, area.y + area.height);
                EXPECT_LE(r.width, 800);
                EXPECT_LE(r.height, 600);
                EXPECT_LE(std::abs(r.width * 600 - r.height * 800), 800) << r.width << "x" << r.height;
                const bool fits = 800 + b.left + b.right <= areaWidth && 600 + b.top + b.bottom <= areaHeight;
                EXPECT_EQ(r.width == 800 && r.height == 600, fits);
            }
        }
    }
    // No room at all: still a window, one pixel at least.
    util::RectangleNM none =
        Frame::windowedPlacement(800, 600, util::RectangleNM(0, 0, 10, 10), {24, 8, 8, 8});
    EXPECT_GE(none.width, 1);
    EXPECT_GE(none.height, 1);
}

// The same on a real (headless) display: a frame larger than the desktop gets a window that fits it,
// its picture keeps its size in game pixels, and clicks arrive in game pixels.
TEST(WindowPlacement, AFrameLargerThanTheDesktopGetsAWindowThatFits) {
    auto frame = lang::make<Frame>();
    SDL_Rect usable;
    ASSERT_EQ(SDL_GetDisplayUsableBounds(0, &usable), 0);
    const int width = usable.w * 2;
    const int height = usable.w * 3 / 2;  // 4:3, taller than the desktop too
    ASSERT_TRUE(frame->create(nullptr, util::RectangleNM(0, 0, width, height)));
    auto canvas = lang::make<Recorder>();
    ASSERT_TRUE(canvas->create(frame.get(), util::RectangleNM(0, 0, width, height)));
    frame->setVisible(true);
    canvas->setVisible(true);
    canvas->requestFocus();
    processPendingEvents();

    SDL_Window* window = sdl::Access::window(frame.get());
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(window, &x, &y);
    SDL_GetWindowSize(window, &w, &h);
    EXPECT_GE(x, usable.x);
    EXPECT_GE(y, usable.y);
    EXPECT_LE(x + w, usable.x + usable.w);
    EXPECT_LE(y + h, usable.y + usable.h);
    EXPECT_LE(std::abs(w * 3 - h * 4), 4) << w << "x" << h;
    int logicalWidth = 0, logicalHeight = 0;
    SDL_RenderGetLogicalSize(sdl::Access::renderer(frame.get()), &logicalWidth, &logicalHeight);
    EXPECT_EQ(logicalWidth, width);
    EXPECT_EQ(logicalHeight, height);
    EXPECT_EQ(frame->getSize().width, width);

    // A press in the middle of the window is the middle of the picture.
    SDL_Event event;
    SDL_zero(event);
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.windowID = SDL_GetWindowID(window);
    event.button.button = SDL_BUTTON_LEFT;
    event.button.state = SDL_PRESSED;
    event.button.x = w / 2;
    event.button.y = h / 2;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    event.type = SDL_MOUSEBUTTONUP;
    event.button.state = SDL_RELEASED;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    processPendingEvents();
    ASSERT_EQ(canvas->seen.size(), 2u);
    EXPECT_NEAR(canvas->seen[0].x, width / 2, 2);
    EXPECT_NEAR(canvas->seen[0].y, height / 2, 2);

    frame->destroyWindow();
    processPendingEvents();
}

// The switch is the window thread's: asked for from another thread it is pending until done there,
// and the frame says when it has been done and what it did.
TEST_F(ScreenTest, ASwitchAskedForElsewhereIsPendingUntilDoneAndThenTold) {
    std::thread other([this] { frame->setFullScreen(true, false); });
    other.join();
    EXPECT_TRUE(frame->fullScreenSwitchPending());
    EXPECT_FALSE(frame->isFullScreen());
    EXPECT_TRUE(frame->switches.empty()) << "nothing has been done yet";
    processPendingEvents();
    EXPECT_FALSE(frame->fullScreenSwitchPending());
    EXPECT_TRUE(frame->isFullScreen());
    EXPECT_EQ(frame->switches, std::vector<bool>{true});

    // On the window thread the switch is done at once, and told before setFullScreen returns.
    frame->setFullScreen(false, false);
    EXPECT_EQ(frame->switches, (std::vector<bool>{true, false}));
    // A request that changes nothing is answered too: the caller learns the state it is in.
    frame->setFullScreen(false, false);
    EXPECT_EQ(frame->switches, (std::vector<bool>{true, false, false}));

    // Refused: told that the frame stayed windowed.
    std::vector<std::string> boxes;
    MessageBoxHook previous = setMessageBoxHook([&](std::string_view, std::string_view text) {
        boxes.emplace_back(text);
    });
    auto windowless = lang::make<RecordingFrame>();
    windowless->setFullScreen(true, false);
    setMessageBoxHook(previous);
    EXPECT_EQ(windowless->switches, std::vector<bool>{false});
    EXPECT_EQ(boxes.size(), 1u);

    // A switch whose window went before the window thread came to it is no longer pending.
    std::thread late([this] { frame->setFullScreen(true, false); });
    late.join();
    EXPECT_TRUE(frame->fullScreenSwitchPending());
    frame->destroyWindow();
    processPendingEvents();
    EXPECT_FALSE(frame->fullScreenSwitchPending());
    EXPECT_EQ(frame->switches.size(), 3u) << "no window, nothing done, nothing told";
}

TEST_F(ScreenTest, WhenFullScreenIsRefusedTheFrameSaysSoAndStaysWindowed) {
    std::vector<std::string> boxes;
    MessageBoxHook previous = setMessageBoxHook([&](std::string_view title, std::string_view text) {
        boxes.push_back(std::string(title) + "|" + std::string(text));
    });
    lang::Ref<Frame> windowless = lang::make<Frame>();  // nothing to switch: the platform refuses
    windowless->setFullScreen(true, false);
    setMessageBoxHook(previous);
    EXPECT_FALSE(windowless->isFullScreen());
    EXPECT_EQ(boxes, std::vector<std::string>{"Quillbeck Error|Unable to switch to Fullscreen mode."});
}

TEST_F(ScreenTest, MaximisingEntersFullScreenWhenTheFrameAllowsIt) {
    pushWindowEvent(SDL_WINDOWEVENT_MAXIMIZED);
    processPendingEvents();
    EXPECT_FALSE(frame->isFullScreen());
    frame->setMaximizeToFullScreen(true);
    pushWindowEvent(SDL_WINDOWEVENT_MAXIMIZED);
    processPendingEvents();
    EXPECT_TRUE(frame->isFullScreen());
    frame->setFullScreen(false, false);
}

TEST_F(ScreenTest, CursorChangesFromAnotherThreadArePostedToTheWindowThread) {
    canvas->setCursor(Cursor::arrow());
    EXPECT_EQ(Cursor::applied(), Cursor::arrow());
    std::thread input([this] { canvas->setCursor(Cursor::hand()); });
    input.join();
    EXPECT_EQ(canvas->getCursor(), Cursor::hand());
    EXPECT_EQ(Cursor::applied(), Cursor::arrow());  // not yet: only the window thread sets it
    processPendingEvents();
    EXPECT_EQ(Cursor::applied(), Cursor::hand());
}

TEST_F(ScreenTest, ThePointerShowsTheCursorOfTheComponentUnderIt) {
    lang::Ref<Recorder> button = lang::make<Recorder>();
    ASSERT_TRUE(button->create(canvas.get(), util::RectangleNM(100, 100, 40, 30)));
    button->setVisible(true);
    canvas->setCursor(Cursor::hand());
    button->setCursor(Cursor::cross());
    pushMotion(110, 110, 0);
    processPendingEvents();
    EXPECT_EQ(Cursor::applied(), Cursor::cross());
    pushMotion(300, 300, 0);
    processPendingEvents();
    EXPECT_EQ(Cursor::applied(), Cursor::hand());
}

TEST_F(ScreenTest, TheEightSharedCursorsStandInForMissingShapes) {
    const int32_t kinds[] = {Cursor::kHand,  Cursor::kProgram105, Cursor::kOpenHand, Cursor::kProgram107,
                             Cursor::kArrow, Cursor::kIBeam,      Cursor::kWait,     Cursor::kCross};
    for (int32_t kind : kinds) {
        Cursor* cursor = Cursor::shared(kind);
        ASSERT_NE(cursor, nullptr) << kind;
        EXPECT_EQ(cursor->kind(), kind);
        EXPECT_EQ(Cursor::shared(kind), cursor);  // shared: always the same object
        cursor->apply();  // without an archive or system cursors the arrow stands in, harmlessly
        EXPECT_EQ(Cursor::applied(), cursor);
    }
    EXPECT_EQ(Cursor::shared(103), nullptr);
    // Without any archive the hand has no picture of its own.
    EXPECT_FALSE(Cursor::hand()->apply());
}

TEST_F(ScreenTest, TimersTickOnTheWindowThreadUntilKilled) {
    frame->setTimer(1, 5);
    ASSERT_TRUE(pumpUntil([&] { return frame->timerTicks.size() >= 2; }));
    for (int id : frame->timerTicks)
        EXPECT_EQ(id, 1);
    frame->killTimer(1);
    processPendingEvents();
    size_t ticks = frame->timerTicks.size();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    processPendingEvents();
    EXPECT_EQ(frame->timerTicks.size(), ticks);
}

TEST_F(ScreenTest, TheMessageLoopEndsWithThePostedExitCode) {
    std::thread other([] { postQuitMessage(3); });
    int code = runMessageLoop();
    other.join();
    EXPECT_EQ(code, 3);
}

TEST_F(ScreenTest, AnIdleMessageLoopSleepsUntilAPostWakesIt) {
    // Headless, SDL's own wait would look at its queue every millisecond.
    auto threadCpuNanos = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
    };
    std::atomic<int64_t> postedAt{0};
    std::thread other([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        postedAt = lang::tickCount();
        postQuitMessage(4);
    });
    const int64_t cpuBefore = threadCpuNanos();
    const int code = runMessageLoop();
    const int64_t endedAt = lang::tickCount();
    const int64_t cpu = threadCpuNanos() - cpuBefore;
    other.join();
    EXPECT_EQ(code, 4);
    EXPECT_LT(endedAt - postedAt.load(), 50) << "the post woke the loop";
    EXPECT_LT(cpu, 2000000) << "half a second of waiting cost " << cpu / 1000 << " us of CPU";
}

TEST_F(ScreenTest, WithoutADisplayMessageBoxesGoToStandardError) {
    ::testing::internal::CaptureStderr();
    showMessageBox("Quillbeck Error", "Unable to switch to Fullscreen mode.");
    showMessageBox("Caf\xE9", "na\xEFve");
    std::string written = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(written, "Quillbeck Error: Unable to switch to Fullscreen mode.\nCaf\xC3\xA9: na\xC3\xAFve\n");
}

TEST_F(ScreenTest, TheDisplayDepthCountsFourBytePixelsAs32) {
    int depth = Frame::displayDepth();
    SDL_DisplayMode mode;
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &mode), 0);
    if (SDL_BYTESPERPIXEL(mode.format) == 4) {
        EXPECT_EQ(depth, 32);
    } else {
        EXPECT_EQ(depth, static_cast<int>(SDL_BITSPERPIXEL(mode.format)));
    }
}

}  // namespace
}  // namespace window::testing
