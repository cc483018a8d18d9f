// The game's main frame: the loading screen's picture, and the program's run from the archive to the
// end of the message loop (missing archive, failed load, SIGTERM as a close).
#include "game/MyFrame.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "lang/ResourceFile.h"
#include "sprite/store/User.h"
#include "tests/sprite/LoaderFrameTestSupport.h"
#include "tests/support/ArchiveBuilder.h"
#include "tests/support/TempFolder.h"
#include "util/Random.h"
#include "window/Component.h"
#include "window/Graphics.h"
#include "window/Image.h"
#include "window/MessageBox.h"

namespace {

using loaderframetest::BoxRecorder;
using loaderframetest::solidGif;
using loaderframetest::SteeredCanvas;

constexpr uint32_t kLoading = 0xFF00C800u;
constexpr uint32_t kBar = 0xFF0000C8u;
constexpr uint32_t kLogo = 0xFFC8C800u;

uint32_t backgroundColour(int n) {
    return 0xFF000000u | static_cast<uint32_t>(n * 20) << 16;
}

// An archive with the loading pictures (the backgrounds when asked), a registry name and, when asked,
// a definition script.
std::string writeArchive(const testsupport::TempFolder& folder, bool backgrounds, bool script) {
    testsupport::ArchiveBuilder archive;
    if (backgrounds) {
        for (int n = 1; n <= 12; ++n)
            archive.add("background" + std::to_string(n), solidGif(200, 100, static_cast<uint8_t>(n * 20), 0, 0));
    }
    archive.add("loading", solidGif(150, 20, 0, 200, 0));
    archive.add("loadbar", solidGif(100, 10, 0, 0, 200));
    archive.add("loading_logo", solidGif(50, 40, 200, 200, 0));
    archive.add("REGISTRYNAME", "FrameTest");
    archive.add("IDS_GAMETITLE", "Lumaroo");
    if (script)
        archive.add("datfile", "; steered by the test\n");
    archive.writeTo(folder, "Kolbax.bin");
    return folder.path();
}

int storedNormalExit(const testsupport::TempFolder& settings) {
    auto user = lang::make<sprite::User>(settings.path().c_str());
    user->setPath("FrameTest");
    return user->getInt("NORMALEXIT", -1);
}

TEST(MyFrameBackground, TheDrawPicksOneOfTwelve) {
    EXPECT_EQ(MyFrame::backgroundNumber(0), 1);
    EXPECT_EQ(MyFrame::backgroundNumber(11), 12);
    EXPECT_EQ(MyFrame::backgroundNumber(12), 1);
    EXPECT_EQ(MyFrame::backgroundNumber(99), 4);
}

class MyFrameScreen : public ::testing::Test {
protected:
    void open(bool backgrounds) {
        ::setenv("SDL_VIDEODRIVER", "dummy", 0);
        std::string reason;
        ASSERT_TRUE(window::openDisplay(&reason)) << reason;
        lang::openArchive((writeArchive(data, backgrounds, true) + "/Kolbax.bin").c_str());
        canvas = lang::make<SteeredCanvas>();
        canvas->setStepping(true);
        canvas->holdLoading();
        auto random = lang::make<util::Random>(7u);
        lang::Ref<SteeredCanvas> made = canvas;
        frame = lang::make<MyFrame>([made] { return lang::Ref<sprite::GameCanvas2>(made); }, random.get());
        frame->setSettingsFolder(settings.path());
        frame->setSoundControl({[](int, bool) { return true; }, [] {}});
        ASSERT_TRUE(frame->create(nullptr, util::RectangleNM(0, 0, 800, 600)));
        canvas->waitUntilLoading();
    }
    void TearDown() override {
        if (frame) {
            canvas->letLoadingEnd();
            frame->joinLoader();
            frame->destroyWindow();
            for (int i = 0; i < 10; ++i)
                window::processPendingEvents();
        }
        lang::closeArchives();
    }
    // The loading screen as update() draws it.
    lang::Ref<window::Image> picture() {
        auto image = lang::make<window::Image>(800, 600);
        lang::Ref<window::Graphics> g = lang::adopt(image->getGraphics());
        frame->update(g.get());
        g->dispose();
        return image;
    }
    static uint32_t at(window::Image* image, int x, int y) { return image->getPixels()[y * 800 + x]; }

    testsupport::TempFolder data;
    testsupport::TempFolder settings;
    lang::Ref<SteeredCanvas> canvas;
    lang::Ref<MyFrame> frame;
};

TEST_F(MyFrameScreen, TheBarGrowsWithTheLoadersCounts) {
    open(true);
    const int n = frame->chosenBackground();
    ASSERT_GE(n, 1);
    ASSERT_LE(n, 12);
    auto empty = picture();
    EXPECT_EQ(at(empty.get(), 10, 10), kLogo);
    EXPECT_EQ(at(empty.get(), 450, 300), backgroundColour(n)) << "the chosen background, centred";
    EXPECT_EQ(at(empty.get(), 100, 100), 0xFF000000u | MyFrame::kFrameRgb) << "around it the frame's colour";
    EXPECT_EQ(at(empty.get(), 270, 258), kLoading) << "a total of 0 draws no bar";

    canvas->setLoadCounts(10, 5);
    auto half = picture();
    EXPECT_EQ(at(half.get(), 270, 258), kBar);
    EXPECT_EQ(at(half.get(), 312, 258), kBar) << "half of the 100-pixel bar";
    EXPECT_EQ(at(half.get(), 314, 258), kLoading) << "beyond the clip the loading text shows";
    EXPECT_EQ(at(half.get(), 270, 270), kLoading) << "below the bar's picture";

    canvas->letLoadingEnd();
    frame->joinLoader();
    EXPECT_TRUE(canvas->isStarted());
    EXPECT_FALSE(frame->showsLoadingScreen()) << "the canvas took over: the pictures are gone";
}

TEST_F(MyFrameScreen, WithoutABackgroundPictureTheFillShows) {
    open(false);
    auto shown = picture();
    EXPECT_EQ(at(shown.get(), 450, 300), 0xFF000000u | MyFrame::kNoBackgroundRgb);
    EXPECT_EQ(at(shown.get(), 100, 100), 0xFF000000u | MyFrame::kNoBackgroundRgb);
    EXPECT_EQ(at(shown.get(), 270, 258), kLoading);
}

TEST(MyFrameProgram, AMissingArchiveSaysSoAndEndsNonZero) {
    BoxRecorder boxes;
    testsupport::TempFolder empty;
    MyFrame::Program program;
    program.dataFolder = empty.path();
    EXPECT_NE(MyFrame::runProgram(program), 0);
    program.dataFolder = "";
    EXPECT_NE(MyFrame::runProgram(program), 0);
    auto shown = boxes.boxes();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].first, "Quillbeck Error");
    EXPECT_NE(shown[0].second.find("Kolbax.bin"), std::string::npos) << shown[0].second;
    EXPECT_NE(shown[1].second.find("Kolbax.bin"), std::string::npos) << shown[1].second;
    EXPECT_EQ(lang::archiveListHead(), nullptr);
}

TEST(MyFrameProgram, AMissingDefinitionScriptEndsTheRunWithAnErrorAndANormalExit) {
    BoxRecorder boxes;
    testsupport::TempFolder data;
    testsupport::TempFolder settings;
    MyFrame::Program program;
    program.dataFolder = writeArchive(data, true, false);
    program.settingsFolder = settings.path();
    program.makeCanvas = [] { return lang::Ref<sprite::GameCanvas2>(lang::make<SteeredCanvas>()); };
    EXPECT_EQ(MyFrame::runProgram(program), 1);
    EXPECT_EQ(storedNormalExit(settings), 1);
    auto shown = boxes.boxes();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back().first, "Quillbeck Error");
    EXPECT_NE(shown.back().second.find("datfile"), std::string::npos) << shown.back().second;
}

TEST(MyFrameProgram, SigtermClosesTheGameLikeTheCloseBox) {
    testsupport::TempFolder data;
    testsupport::TempFolder settings;
    lang::Ref<SteeredCanvas> canvas = lang::make<SteeredCanvas>();
    MyFrame::Program program;
    program.dataFolder = writeArchive(data, true, true);
    program.settingsFolder = settings.path();
    program.makeCanvas = [canvas] { return lang::Ref<sprite::GameCanvas2>(canvas); };
    std::thread killer;
    program.started = [&](MyFrame*) {
        killer = std::thread([canvas] {
            for (int i = 0; i < 2000 && !canvas->isStarted(); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            ::kill(::getpid(), SIGTERM);
        });
    };
    EXPECT_EQ(MyFrame::runProgram(program), 0);
    killer.join();
    EXPECT_TRUE(canvas->isStarted());
    EXPECT_EQ(canvas->exitRequests.load(), 1) << "the signal took the close box's path";
    EXPECT_TRUE(canvas->isStopped());
    EXPECT_EQ(storedNormalExit(settings), 1);
}

TEST(MyFrameProgram, SigtermEndsAFailedLoadWhoseErrorBoxNobodyAnswers) {
    // The box stays up until the test lets it go, or for ten seconds, so that a close that waits for it
    // fails the test instead of hanging it.
    std::mutex lock;
    std::condition_variable changed;
    bool shown = false, letGo = false, answered = false;
    window::setMessageBoxHook([&](std::string_view, std::string_view) {
        std::unique_lock<std::mutex> guard(lock);
        shown = true;
        changed.notify_all();
        changed.wait_for(guard, std::chrono::seconds(10), [&] { return letGo; });
        answered = true;
        changed.notify_all();
    });
    testsupport::TempFolder data;
    testsupport::TempFolder settings;
    lang::Ref<SteeredCanvas> canvas = lang::make<SteeredCanvas>();
    canvas->outcome = SteeredCanvas::Outcome::Fail;
    MyFrame::Program program;
    program.dataFolder = writeArchive(data, true, true);
    program.settingsFolder = settings.path();
    program.makeCanvas = [canvas] { return lang::Ref<sprite::GameCanvas2>(canvas); };
    std::thread killer;
    program.started = [&](MyFrame*) {
        killer = std::thread([&] {
            {
                std::unique_lock<std::mutex> guard(lock);
                changed.wait_for(guard, std::chrono::seconds(10), [&] { return shown; });
            }
            ::kill(::getpid(), SIGTERM);
        });
    };
    const auto began = std::chrono::steady_clock::now();
    EXPECT_EQ(MyFrame::runProgram(program), 1) << "a failed load ends non-zero";
    const auto took = std::chrono::steady_clock::now() - began;
    killer.join();
    {
        std::unique_lock<std::mutex> guard(lock);
        EXPECT_TRUE(shown);
        EXPECT_FALSE(answered) << "the game waited for the box to be answered";
        letGo = true;
        changed.notify_all();
        changed.wait(guard, [&] { return answered; });
    }
    window::setMessageBoxHook({});
    EXPECT_LT(took, std::chrono::seconds(5));
    EXPECT_EQ(canvas->exitRequests.load(), 1) << "the signal took the close box's path";
    EXPECT_EQ(storedNormalExit(settings), 1);
}

}  // namespace
