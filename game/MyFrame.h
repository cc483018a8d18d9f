// MyFrame: the game's main frame: the loading screen over the loading frame, and the program's run from
// opening the archive to the end of the message loop.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "lang/Ref.h"
#include "sprite/LoaderFrame2.h"

namespace sprite {
class GameCanvas2;
}
namespace util {
class Random;
}
namespace window {
class Image;
}

// The loading screen: a background picture chosen at random ("+background1" to "+background12"),
// the loading text, the bar growing with the loader's counts, and the logo, drawn into an off-screen
// picture and repainted every 60 ms until the canvas takes over (showCanvas frees the pictures).
// update() and showCanvas() hold the frame's monitor while they touch the pictures.
class MyFrame : public sprite::LoaderFrame2 {
public:
    using CanvasFactory = std::function<lang::Ref<sprite::GameCanvas2>()>;

    static constexpr int kWidth = 800;
    static constexpr int kHeight = 600;
    static constexpr int kRepaintTimer = 1;
    static constexpr int kRepaintMs = 60;
    // Where the loading text and the bar are drawn, and the height of the bar's clip.
    static constexpr int kBarX = 263;
    static constexpr int kBarY = 255;
    static constexpr int kBarClipHeight = 100;
    static constexpr int kBackgroundCount = 12;
    // The frame's colour (80, 80, 76), and the fill when the background picture has no pixels.
    static constexpr uint32_t kFrameRgb = 0x50504C;
    static constexpr uint32_t kNoBackgroundRgb = 0x50B44C;
    static constexpr const char* kScriptName = "+datfile";

    // `makeCanvas` makes the game canvas in create(); `random` (referenced; null: one seeded from the
    // clock) chooses the background.
    explicit MyFrame(CanvasFactory makeCanvas, util::Random* random = nullptr);
    ~MyFrame() override;

    const char* getClassName() const override { return "MyFrame"; }
    bool instanceOf(const char* className) const override {
        return lang::detail::sameName(className, "MyFrame") || LoaderFrame2::instanceOf(className);
    }

    // Creates the window, prepares the loading screen, makes the canvas, runs init (the start-up
    // switches), shows the frame, starts the repaint timer and the loader. False when the window or the
    // canvas's window cannot be made.
    bool create(window::Component* parent, const util::RectangleNM& bounds) override;
    // The loading-screen painter (nothing once the canvas has taken over).
    void update(window::Graphics* g) override;
    // Timer ticks repaint the loading screen.
    int64_t windowProc(int32_t message, int64_t wParam, int64_t lParam) override;
    void onActivate(bool active) override;
    // Stops the repaint timer, shows the canvas and frees the background and off-screen pictures.
    void showCanvas() override;

    // The background number for a draw of 0..99: ((percent mod 12) + 1).
    static int backgroundNumber(int percent) { return percent % kBackgroundCount + 1; }
    // The number chosen by create (0 before).
    int chosenBackground() const { return chosenBackground_; }
    // The loading screen is still up.
    bool showsLoadingScreen();
    // The loader's progress, 0 to 1: the canvas's loaded count over its load total (0 without a total).
    double progress() const;

    // The program: opens the archive in dataFolder, the display, the frame with its canvas, runs the
    // message loop and tears everything down. Every failure says why in a "Quillbeck Error" box (on
    // standard error without a display) and gives a non-zero result; a failed load gives 1.
    struct Program {
        std::string dataFolder;
        CanvasFactory makeCanvas;
        std::string settingsFolder;  // empty: the user's settings
        util::Random* random = nullptr;
        // Called once the frame runs, before the message loop (tests drive the program from here).
        std::function<void(MyFrame*)> started;
    };
    static int runProgram(const Program& program);

private:
    CanvasFactory makeCanvas_;
    lang::Ref<util::Random> random_;
    int chosenBackground_ = 0;
    lang::Ref<window::Image> background_;
    lang::Ref<window::Image> offscreen_;
    lang::Ref<window::Image> loadingImage_;
    lang::Ref<window::Image> logoImage_;
    lang::Ref<window::Image> loadBarImage_;
    int backgroundTop_ = 0;
};
