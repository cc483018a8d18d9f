// The loading frame: the start-up switches, the sound start's retry order, the loader thread's outcomes
// and the orderly exit, on a real (headless) window.
#include "sprite/LoaderFrame2.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "lang/Ref.h"
#include "sprite/store/User.h"
#include "tests/sprite/LoaderFrameTestSupport.h"
#include "tests/support/TempFolder.h"
#include "window/Component.h"

namespace {

using loaderframetest::BoxRecorder;
using loaderframetest::SteeredCanvas;
using sprite::LoaderFrame2;

lang::Ref<sprite::User> store(const testsupport::TempFolder& folder) {
    auto user = lang::make<sprite::User>(folder.path().c_str());
    user->setPath("LoaderTest");
    return user;
}

TEST(LoaderFrame2Switches, DepthAndThePreviousEndDecideFullScreen) {
    struct Case {
        int depth;
        int storedFullScreen;  // -1: none stored
        int storedNormalExit;  // -1: none stored
        bool fullScreen;
        int fullScreenAfter;  // -1: still none stored
        int normalExitAfter;
    };
    const Case cases[] = {
        {24, -1, -1, true, -1, 0},   // 24 bits: full screen unless told otherwise
        {16, -1, -1, false, -1, 0},  // 15, 16, 32 bits: a window unless told otherwise
        {15, -1, -1, false, -1, 0},
        {32, -1, -1, false, -1, 0},
        {32, 1, 1, true, 1, 0},
        {24, 0, 1, false, 0, 0},
        {8, 0, -1, true, 0, 0},  // a palette display: full screen whatever is stored
        {0, 1, -1, false, 1, 0},  // no depth known: the window is kept
        // The previous run ended without exit(): a window, FULLSCREEN forced to 0, NORMALEXIT kept 0.
        {32, 1, 0, false, 0, 0},
        {24, -1, 0, false, 0, 0},
        {8, -1, 0, false, 0, 0},
    };
    for (const Case& c : cases) {
        testsupport::TempFolder folder;
        auto settings = store(folder);
        if (c.storedFullScreen >= 0)
            settings->setInt(LoaderFrame2::kFullScreenSetting, c.storedFullScreen);
        if (c.storedNormalExit >= 0)
            settings->setInt(LoaderFrame2::kNormalExitSetting, c.storedNormalExit);
        SCOPED_TRACE("depth " + std::to_string(c.depth) + ", FULLSCREEN " + std::to_string(c.storedFullScreen) +
                     ", NORMALEXIT " + std::to_string(c.storedNormalExit));
        EXPECT_EQ(LoaderFrame2::startFullScreen(settings.get(), c.depth), c.fullScreen);
        EXPECT_EQ(settings->getInt(LoaderFrame2::kFullScreenSetting, -1), c.fullScreenAfter);
        EXPECT_EQ(settings->getInt(LoaderFrame2::kNormalExitSetting, -1), c.normalExitAfter);
    }
    EXPECT_FALSE(LoaderFrame2::startFullScreen(nullptr, 24)) << "no settings store: a window";
}

// A frame without a window whose sound start is recorded.
struct SoundFixture {
    testsupport::TempFolder folder;
    lang::Ref<LoaderFrame2> frame = lang::make<LoaderFrame2>();
    std::vector<std::tuple<int, bool>> starts;
    std::vector<size_t> shutdownsAt;  // number of starts made before each shutdown
    std::vector<bool> answers;        // what each start answers, in order (then false)

    explicit SoundFixture(int retryPauseMs) {
        frame->setSettingsFolder(folder.path());
        LoaderFrame2::SoundControl control;
        control.start = [this](int mix, bool winmm) {
            starts.emplace_back(mix, winmm);
            return starts.size() <= answers.size() && answers[starts.size() - 1];
        };
        control.shutdown = [this] { shutdownsAt.push_back(starts.size()); };
        frame->setSoundControl(control, retryPauseMs);
        frame->init(nullptr, lang::String("+datfile"), lang::String("LoaderTest"));
    }
};

TEST(LoaderFrame2Sound, TwoTriesWithTheSwitchesThenAFreshStartWithTheDirectOutput) {
    SoundFixture f(1);
    f.frame->settings()->setInt(LoaderFrame2::kMixBufferSetting, 50);
    f.frame->settings()->setInt(LoaderFrame2::kUseWinmmSetting, 0);
    f.answers = {false, false, true};
    EXPECT_TRUE(f.frame->initSound());
    EXPECT_EQ(f.starts, (std::vector<std::tuple<int, bool>>{{50, false}, {50, false}, {50, true}}));
    EXPECT_EQ(f.shutdownsAt, std::vector<size_t>{2}) << "the engine is shut down before the last try";

    SoundFixture second(1);
    second.answers = {false, true};
    EXPECT_TRUE(second.frame->initSound());
    EXPECT_EQ(second.starts, (std::vector<std::tuple<int, bool>>{{-1, false}, {-1, false}}))
        << "defaults: MIXBUFFER -1, USEWINMM 0; a second try that works ends the retries";
    EXPECT_TRUE(second.shutdownsAt.empty());

    SoundFixture failing(1);
    failing.frame->settings()->setInt(LoaderFrame2::kUseWinmmSetting, 7);
    EXPECT_FALSE(failing.frame->initSound());
    EXPECT_EQ(failing.starts, (std::vector<std::tuple<int, bool>>{{-1, true}, {-1, true}, {-1, true}}));
}

TEST(LoaderFrame2Sound, AnExitCutsTheRetryPauseShort) {
    SoundFixture f(60000);
    std::thread closer([&f] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        f.frame->exit();
    });
    const auto begun = std::chrono::steady_clock::now();
    EXPECT_FALSE(f.frame->initSound());
    closer.join();
    EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::seconds(30))
        << "the one-minute pause must end with the exit";
    EXPECT_EQ(f.starts.size(), 1u) << "no further tries once the frame exits";
    EXPECT_EQ(f.frame->settings()->getInt(LoaderFrame2::kNormalExitSetting, -1), 1);
}

// A real frame with a steered canvas as its child.
class LoaderFrame2Window : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("SDL_VIDEODRIVER", "dummy", 0);
        std::string reason;
        ASSERT_TRUE(window::openDisplay(&reason)) << reason;
        frame = lang::make<LoaderFrame2>();
        frame->setSettingsFolder(folder.path());
        frame->setSoundControl({[this](int, bool) { ++soundStarts; return true; }, [this] { ++soundShutdowns; }});
        ASSERT_TRUE(frame->create(nullptr, util::RectangleNM(0, 0, 640, 480)));
        canvas = lang::make<SteeredCanvas>();
        ASSERT_TRUE(canvas->create(frame.get(), util::RectangleNM(0, 0, 640, 480)));
        canvas->setStepping(true);  // no render or input threads: the test runs frames itself
        frame->setVisible(true);
        window::processPendingEvents();
    }
    void TearDown() override {
        if (frame) {
            frame->joinLoader();
            frame->destroyWindow();
        }
        pumpFor(50);
    }
    void start() {
        frame->init(canvas.get(), lang::String("steered.dat"), lang::String("LoaderTest"));
        frame->startLoading();
    }
    // Runs the window thread's messages until `done` or a generous limit.
    template <class Done>
    bool pumpUntil(Done done) {
        for (int i = 0; i < 2000 && !done(); ++i) {
            window::processPendingEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return done();
    }
    void pumpFor(int milliseconds) {
        for (int i = 0; i < milliseconds / 5; ++i) {
            window::processPendingEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    int storedNormalExit() { return store(folder)->getInt(LoaderFrame2::kNormalExitSetting, -1); }

    testsupport::TempFolder folder;
    lang::Ref<LoaderFrame2> frame;
    lang::Ref<SteeredCanvas> canvas;
    std::atomic<int> soundStarts{0};
    std::atomic<int> soundShutdowns{0};
    BoxRecorder boxes;
};

TEST_F(LoaderFrame2Window, ALoadedSceneStartsTheCanvasAndAnExitStoresANormalEnd) {
    canvas->holdLoading();
    start();
    canvas->waitUntilLoading();
    EXPECT_EQ(storedNormalExit(), 0) << "a run under way counts as abnormal until exit()";
    EXPECT_TRUE(frame->isLoading());
    canvas->letLoadingEnd();
    frame->joinLoader();
    EXPECT_TRUE(canvas->isStarted());
    EXPECT_EQ(soundStarts.load(), 1) << "the sound starts on the loader thread, before the scene";
    pumpFor(20);
    EXPECT_TRUE(canvas->isVisible()) << "the canvas took the window over";

    std::thread input([this] { frame->exit(); });  // the exit dialog's button, on the input thread
    input.join();
    ASSERT_TRUE(pumpUntil([this] { return !frame->hasWindow(); }));
    EXPECT_EQ(storedNormalExit(), 1);
    EXPECT_TRUE(canvas->isStopped());
    EXPECT_EQ(soundShutdowns.load(), 1);
    EXPECT_EQ(frame->exitCode(), 0);
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(LoaderFrame2Window, AFailedLoadSaysSoAndEndsThroughTheCloseRequest) {
    canvas->outcome = SteeredCanvas::Outcome::Fail;
    start();
    frame->joinLoader();
    EXPECT_TRUE(frame->loadFailed());
    EXPECT_FALSE(canvas->isStarted()) << "a half-built scene never starts";
    ASSERT_TRUE(pumpUntil([this] { return !frame->hasWindow(); }));
    EXPECT_EQ(canvas->exitRequests.load(), 1) << "the close request went through the canvas's exitGame";
    EXPECT_EQ(storedNormalExit(), 1);
    EXPECT_EQ(frame->exitCode(), 1) << "a failed load is no success";
    auto shown = boxes.boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].first, "Quillbeck Error");
    EXPECT_NE(shown[0].second.find("steered.dat"), std::string::npos) << shown[0].second;
}

TEST_F(LoaderFrame2Window, AnExceptionOutOfLoadingIsAFailedLoadWithItsText) {
    canvas->outcome = SteeredCanvas::Outcome::Throw;
    start();
    frame->joinLoader();
    EXPECT_TRUE(frame->loadFailed());
    EXPECT_FALSE(canvas->isStarted());
    EXPECT_NE(frame->loadError().find("definition 12: unknown class"), std::string::npos) << frame->loadError();
    ASSERT_TRUE(pumpUntil([this] { return !frame->hasWindow(); }));
    EXPECT_EQ(frame->exitCode(), 1);
}

TEST_F(LoaderFrame2Window, ACloseWhileLoadingHidesTheWindowAndEndsWhenTheLoaderReturns) {
    canvas->holdLoading();
    start();
    canvas->waitUntilLoading();
    frame->exit();  // on the window thread: must not wait for the loader
    pumpFor(30);
    EXPECT_TRUE(frame->hasWindow()) << "the loader is still at work";
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(storedNormalExit(), 1);
    canvas->letLoadingEnd();
    ASSERT_TRUE(pumpUntil([this] { return !frame->hasWindow(); }));
    EXPECT_FALSE(canvas->isStarted()) << "an exit during loading never starts the game";
    EXPECT_EQ(frame->exitCode(), 0);
}

TEST_F(LoaderFrame2Window, AScriptMissingFromTheArchiveIsAFailedLoadNamingIt) {
    // No archive is open here, so the archive answers nothing for "datfile": without the check, the
    // loader would read an empty script and start a game with no scene.
    frame->init(canvas.get(), lang::String("+datfile"), lang::String("LoaderTest"));
    frame->startLoading();
    frame->joinLoader();
    EXPECT_TRUE(frame->loadFailed());
    EXPECT_EQ(canvas->prepares.load(), 0) << "nothing is loaded from a script that is not there";
    EXPECT_NE(frame->loadError().find("\"datfile\" is missing from the data archive"), std::string::npos)
        << frame->loadError();
    ASSERT_TRUE(pumpUntil([this] { return !frame->hasWindow(); }));
}

TEST_F(LoaderFrame2Window, ACloseRequestWithoutACanvasIsIgnored) {
    ASSERT_TRUE(frame->postCloseRequest());
    pumpFor(20);
    EXPECT_TRUE(frame->hasWindow());
}

// The options dialog asks for full screen from the input thread; the switch happens later on the
// window thread. Once it has, the canvas's input path gets a command, and then the frame tells the
// switch's outcome.
TEST_F(LoaderFrame2Window, TheCanvasHearsOfASwitchOnceTheFrameHasDoneIt) {
    start();
    frame->joinLoader();
    ASSERT_TRUE(canvas->isStarted());
    std::thread input([this] { frame->setFullScreen(true, false); });
    input.join();
    canvas->deliverEvents();
    EXPECT_TRUE(canvas->commands.empty()) << "nothing is told before the window thread switched";
    pumpFor(20);
    if (!frame->isFullScreen())
        GTEST_SKIP() << "this display gives no full screen";
    canvas->deliverEvents();
    using Seen = std::vector<std::pair<std::string, bool>>;
    EXPECT_EQ(canvas->commands, (Seen{{sprite::GameCanvas2::kFullScreenSwitched, true}}));

    canvas->commands.clear();
    frame->setFullScreen(false, false);  // on the window thread
    canvas->deliverEvents();
    EXPECT_EQ(canvas->commands, (Seen{{sprite::GameCanvas2::kFullScreenSwitched, false}}));
}

TEST_F(LoaderFrame2Window, EscapeLeavesFullScreenAndDeactivationMinimisesUntilRestored) {
    start();
    frame->joinLoader();
    EXPECT_FALSE(frame->keyDown(nullptr, 27)) << "Escape in a window is not the frame's";
    frame->setFullScreen(true, false);
    pumpFor(20);
    if (!frame->isFullScreen())
        GTEST_SKIP() << "this display gives no full screen";
    EXPECT_FALSE(frame->keyDown(nullptr, 'a'));
    EXPECT_TRUE(frame->keyDown(nullptr, 27));
    pumpFor(20);
    EXPECT_FALSE(frame->isFullScreen());

    frame->setFullScreen(true, false);
    pumpFor(20);
    ASSERT_TRUE(frame->isFullScreen());
    frame->onActivate(false);  // another program's window became active
    pumpFor(20);
    EXPECT_FALSE(frame->isFullScreen());
    // Leaving full screen moves the window before the desktop shows it minimised: no return yet.
    frame->windowProc(window::msg::kPositionChanged, 0, 0);
    EXPECT_FALSE(frame->isFullScreen());
    frame->windowProc(window::msg::kSize, window::msg::kSizeMinimized, 0);
    frame->windowProc(window::msg::kPositionChanged, 0, 0);
    EXPECT_EQ(canvas->deactivations.load(), 1) << "the canvas hears that the window was minimised";
    EXPECT_FALSE(frame->isFullScreen());
    // Restored (visible, not minimised): back to full screen, once.
    frame->windowProc(window::msg::kSize, window::msg::kSizeRestored, window::msg::packPoint(640, 480));
    frame->windowProc(window::msg::kPositionChanged, 0, 0);
    pumpFor(20);
    EXPECT_TRUE(frame->isFullScreen());
    frame->setFullScreen(false, false);
    frame->onMoved();
    pumpFor(20);
    EXPECT_FALSE(frame->isFullScreen()) << "the return to full screen happens once";

    // A desktop that never minimises: the return is the window becoming active again.
    frame->setFullScreen(true, false);
    pumpFor(20);
    frame->onActivate(false);
    pumpFor(20);
    ASSERT_FALSE(frame->isFullScreen());
    frame->onActivate(true);
    pumpFor(20);
    EXPECT_TRUE(frame->isFullScreen());
}

}  // namespace
